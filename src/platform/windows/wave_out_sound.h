// Sound through the waveOut calls, which every Windows has and which lead to the default device;
// sound files are read by the program's own WAV reader.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "platform/sound.h"

class WaveOutSound final : public Sound
{
public:
    // Plays interleaved 16-bit samples in pieces of a tenth of a second, asking `goOn` before each,
    // and returns when they have been heard or `goOn` said no (the rest is then dropped); false
    // when no device took them. Tests put a recorder in the device's place.
    using Device = std::function<bool(unsigned channels, unsigned rate, std::span<const std::int16_t> samples,
                                      const std::function<bool()>& goOn)>;

    WaveOutSound();
    explicit WaveOutSound(Device device) : m_device(std::move(device)) {}

    void PlayTone(int frequency, int ms) override;
    bool PlayAlarmWave(const std::filesystem::path& file, const std::function<bool()>& goOn) override;

private:
    Device m_device;
};

// The default device through waveOut.
bool PlayOnWaveOut(unsigned channels, unsigned rate, std::span<const std::int16_t> samples,
                   const std::function<bool()>& goOn);
