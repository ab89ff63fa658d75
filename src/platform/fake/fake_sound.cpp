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

bool FakeSound::PlayAlarmWave(const std::filesystem::path& file, const std::function<bool()>& goOn)
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
    long long pieces = 0;
    std::function<void()> onPiece;
    {
        std::lock_guard lock(m_mutex);
        pieces = m_pieces;
        onPiece = m_onPiece;
    }
    for (long long i = 0; i < pieces && goOn(); ++i) {
        {
            std::lock_guard lock(m_mutex);
            ++m_piecesPlayed;
        }
        if (onPiece)
            onPiece();
    }
    return result;
}

void FakeSound::SetWavePieces(long long pieces, std::function<void()> onPiece)
{
    std::lock_guard lock(m_mutex);
    m_pieces = pieces;
    m_onPiece = std::move(onPiece);
}

long long FakeSound::PiecesPlayed() const
{
    std::lock_guard lock(m_mutex);
    return m_piecesPlayed;
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
