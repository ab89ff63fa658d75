// Sound that only counts, safe to call from several threads.
#pragma once

#include "platform/sound.h"

#include <atomic>

class FakeSound final : public Sound
{
public:
    bool Tone(int frequencyHz, std::chrono::milliseconds duration) override
    {
        lastFrequency = frequencyHz;
        lastDurationMs = static_cast<int>(duration.count());
        ++tones;
        return true;
    }
    std::atomic<int> tones{0};
    std::atomic<int> lastFrequency{0};
    std::atomic<int> lastDurationMs{0};
};
