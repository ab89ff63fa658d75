// The alarm's sound on a worker thread of its own, and the full-hour tone.
#pragma once

#include "platform/sound.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

// The flags the window and the alarm thread share. The thread holds its own share of this record
// (and of everything else it uses), so nothing it touches goes away before it ends, also when
// the program ends while the alarm sounds.
struct AlarmSignal
{
    std::atomic<bool> Sounding{false};       // an alarm thread has been created and has not finished
    std::atomic<bool> StopRequested{false};  // the user asked the alarm to stop
    // Called on the alarm thread once Sounding is cleared; set before the first alarm starts.
    std::function<void()> Ended;
};

// What the alarm thread measures and waits with. Only differences of `seconds` matter, so a
// monotonic count serves, and a change of the system clock (a network time run during the alarm)
// neither stretches nor cuts the alarm. Tests hand in a fake time and a sleeper that moves it.
struct AlarmTiming
{
    std::function<double()> seconds;
    std::function<void(std::chrono::milliseconds)> sleep;
};

inline constexpr int kAlarmToneHigh = 1000;  // Hz, the first tone of a pair
inline constexpr int kAlarmToneLow = 600;    // Hz, the second
inline constexpr int kAlarmToneMs = 200;
inline constexpr int kHourToneFrequency = 900;
inline constexpr int kHourToneMs = 100;

// One alarm: the wave file or a pair of tones, again and again with a pause that shortens over
// the first minute, until `duration` seconds have passed or a stop is requested.
class TalarmThread
{
public:
    // Sets Sounding: from here on no second alarm starts.
    TalarmThread(std::shared_ptr<AlarmSignal> signal, std::shared_ptr<Sound> sound, std::filesystem::path wave,
                 bool useSoundCard, int duration, AlarmTiming timing);
    // The whole alarm; clears Sounding on every way out. StopRequested is looked at before each
    // sound, between the two tones of a pair, after each sound and between the pieces of a wave
    // (with the alarm's length), never during a pause, so a stop takes effect after at most the
    // current pause, tone or piece of a wave.
    void Execute();

    // The pause after a sound that ends `elapsedSeconds` after the start: 3 s at first, 50 ms less
    // for every second, never under 20 ms.
    static std::chrono::milliseconds Pause(double elapsedSeconds);

private:
    void BeepPair();

    std::shared_ptr<AlarmSignal> m_signal;
    std::shared_ptr<Sound> m_sound;
    std::filesystem::path m_wave;
    bool m_useSoundCard;
    int m_duration;
    AlarmTiming m_timing;
};

// The window's side of the alarm sound: at most one alarm thread at a time.
class AlarmSound
{
public:
    // `wave` is the alarm file ("ALARM.WAV" in the program directory). Without a timing the thread
    // uses the steady clock and a sleep that ends early when this object goes.
    AlarmSound(std::shared_ptr<Sound> sound, std::filesystem::path wave, AlarmTiming timing = {});
    // Asks a running alarm to stop and waits a little for it, at most about one tone; a wave file
    // still playing then ends on its own, with its own share of everything it uses.
    ~AlarmSound();
    AlarmSound(const AlarmSound&) = delete;
    AlarmSound& operator=(const AlarmSound&) = delete;

    // Starts an alarm thread; false, and nothing happens, while one still sounds (also when the
    // system refuses a new thread).
    bool StartAlarmSound(bool useSoundCard, int duration);
    void StopAlarmSound();
    bool IsAlarmSounding() const;
    // `ended` is called, on the alarm's thread, each time an alarm has ended; set it before the
    // first StartAlarmSound.
    void OnAlarmEnded(std::function<void()> ended) { m_signal->Ended = std::move(ended); }

private:
    struct ExitGate;
    std::shared_ptr<AlarmSignal> m_signal = std::make_shared<AlarmSignal>();
    std::shared_ptr<ExitGate> m_gate;
    std::shared_ptr<Sound> m_sound;
    std::filesystem::path m_wave;
    AlarmTiming m_timing;
};

// The full-hour signal: one 900 Hz tone of 100 ms on a short-lived thread of its own, so the window
// never waits for it. Silently nothing when the system refuses a thread.
void StartHourSignal(std::shared_ptr<Sound> sound);
// A reminder's own sound, the same way: two short rising tones, unlike the hour's single one and
// the alarm's ring, so that the ear tells a note from the clock.
void StartReminderSignal(std::shared_ptr<Sound> sound);
