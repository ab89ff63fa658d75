// Sound through ALSA's default device, which on desktops leads on to PipeWire or PulseAudio;
// sound files are read with libsndfile.
#pragma once

#include "platform/sound.h"

class AlsaSound final : public Sound
{
public:
    AlsaSound();
    void PlayTone(int frequency, int ms) override;
    bool PlayAlarmWave(const std::filesystem::path& file, const std::function<bool()>& goOn) override;
};
