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
    // Plays interleaved 16-bit samples and returns when they have been heard; false when no device
    // took them. Tests put a recorder in the device's place.
    using Device = std::function<bool(unsigned channels, unsigned rate, std::span<const std::int16_t> samples)>;

    WaveOutSound();
    explicit WaveOutSound(Device device) : m_device(std::move(device)) {}

    void PlayTone(int frequency, int ms) override;
    bool PlayAlarmWave(const std::filesystem::path& file) override;

private:
    Device m_device;
};

// The default device through waveOut.
bool PlayOnWaveOut(unsigned channels, unsigned rate, std::span<const std::int16_t> samples);
