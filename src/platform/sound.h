// Short tones through the sound card.
#pragma once

#include <chrono>

class Sound
{
public:
    virtual ~Sound() = default;
    // Plays a sine tone and returns when it has played; false when no sound could be made.
    // Blocking, so callers that must not wait run it on a thread of its own.
    virtual bool Tone(int frequencyHz, std::chrono::milliseconds duration) = 0;
};
