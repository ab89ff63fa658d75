// Sound output: a blocking tone and the playing of a sound file. Both may be called from several
// threads at once (the alarm and the full-hour signal can overlap).
#pragma once

#include <filesystem>

class Sound
{
public:
    virtual ~Sound() = default;
    // A tone of `frequency` Hz for `ms` milliseconds; returns after about that time, also when no
    // device can play it. A frequency of 18 Hz or less is silence for the duration.
    virtual void PlayTone(int frequency, int ms) = 0;
    // Plays the whole file and returns when it has finished. False for a missing or unreadable
    // file or when no device takes the sound; the caller then falls back to tones.
    virtual bool PlayAlarmWave(const std::filesystem::path& file) = 0;
};
