// The recording sound of the tests.
#include "platform/fake/fake_sound.h"

void FakeSound::PlayTone(int frequency, int ms)
{
    std::function<void(const Call&)> onCall;
    const Call call{Call::Tone, frequency, ms, {}};
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
        onCall = m_onCall;
    }
    if (onCall)
        onCall(call);
}

bool FakeSound::PlayAlarmWave(const std::filesystem::path& file)
{
    std::function<void(const Call&)> onCall;
    const Call call{Call::Wave, 0, 0, file};
    bool result = false;
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
        onCall = m_onCall;
        result = m_waveResult;
    }
    if (onCall)
        onCall(call);
    return result;
}

void FakeSound::SetWaveResult(bool played)
{
    std::lock_guard lock(m_mutex);
    m_waveResult = played;
}

void FakeSound::SetOnCall(std::function<void(const Call&)> onCall)
{
    std::lock_guard lock(m_mutex);
    m_onCall = std::move(onCall);
}

std::vector<FakeSound::Call> FakeSound::Calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

void FakeSound::ClearCalls()
{
    std::lock_guard lock(m_mutex);
    m_calls.clear();
}
