// Tone threads, joined once they are done so that none outlives the player.
#include "contacts/tone_player.h"

#include "platform/sound.h"

void TonePlayer::Play(int frequencyHz, std::chrono::milliseconds duration)
{
    m_runs.remove_if([](Run& run) {
        if (!run.done->load())
            return false;
        run.thread.join();
        return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    Sound& sound = m_sound;
    std::thread thread([&sound, frequencyHz, duration, done] {
        sound.PlayTone(frequencyHz, static_cast<int>(duration.count()));
        done->store(true);
    });
    m_runs.push_back({std::move(thread), std::move(done)});
}

void TonePlayer::Wait()
{
    for (Run& run : m_runs)
        run.thread.join();
    m_runs.clear();
}
