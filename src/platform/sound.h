// Sound output: a blocking tone and the playing of a sound file. Both may be called from several
// threads at once (the alarm and the full-hour signal can overlap).
#pragma once

#include <filesystem>
#include <functional>

// Below this a file is no sound anyone made for an alarm (a 1 Hz file plays for hours).
inline constexpr int kMinWaveRate = 4000;

class Sound
{
public:
    virtual ~Sound() = default;
    // A tone of `frequency` Hz for `ms` milliseconds; returns after about that time, also when no
    // device can play it. A frequency of 18 Hz or less is silence for the duration.
    virtual void PlayTone(int frequency, int ms) = 0;
    // Plays the file and returns when it has finished, or as soon as `goOn`, asked before every
    // piece of at most about 100 ms of sound, says no: a stop or the end of the alarm must not
    // wait for the end of a long file or a slow device. False for a missing or unreadable file,
    // one slower than kMinWaveRate samples a second, or when no device takes the sound; the caller
    // then falls back to tones.
    virtual bool PlayAlarmWave(const std::filesystem::path& file, const std::function<bool()>& goOn) = 0;
};
