// Fire-and-forget tones: each plays on a short-lived thread of its own, so the window never
// waits for the sound card.
#pragma once

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <thread>

class Sound;

class TonePlayer
{
public:
    explicit TonePlayer(Sound& sound) : m_sound(sound) {}
    ~TonePlayer() { Wait(); }
    TonePlayer(const TonePlayer&) = delete;
    TonePlayer& operator=(const TonePlayer&) = delete;

    // The frequency and duration are handed to the thread when it starts.
    void Play(int frequencyHz, std::chrono::milliseconds duration);
    // Until every tone has played; the sound must outlive its threads.
    void Wait();

private:
    struct Run
    {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    Sound& m_sound;
    std::list<Run> m_runs;
};
