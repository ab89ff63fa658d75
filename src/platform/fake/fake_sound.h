// Sound for tests: records every call, plays nothing, and lets a test react to each call (move a
// fake time on by the tone's length, hold the caller until a signal).
#pragma once

#include "platform/sound.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class FakeSound final : public Sound
{
public:
    struct Call
    {
        enum Kind
        {
            Tone,
            Wave
        } kind = Tone;
        int frequency = 0;           // tones only
        int ms = 0;                  // tones only
        std::filesystem::path file;  // waves only
        bool operator==(const Call&) const = default;
    };

    void PlayTone(int frequency, int ms) override;
    bool PlayAlarmWave(const std::filesystem::path& file, const std::function<bool()>& goOn) override;

    // What PlayAlarmWave reports; false at first, as for a missing file.
    void SetWaveResult(bool played);
    // A wave of `pieces` pieces: before each the caller's goOn is asked, after each `onPiece` runs
    // (a test moves its time on). None at first: the wave is over at once.
    void SetWavePieces(long long pieces, std::function<void()> onPiece);
    long long PiecesPlayed() const;
    // Runs inside every call, on the caller's thread, after it has been recorded.
    void SetOnCall(std::function<void(const Call&)> onCall);
    std::vector<Call> Calls() const;
    void ClearCalls();

private:
    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
    bool m_waveResult = false;
    long long m_pieces = 0;
    long long m_piecesPlayed = 0;
    std::function<void()> m_onPiece;
    std::function<void(const Call&)> m_onCall;
};
