// The alarm and full-hour sound threads.
#include "clock/alarm_sound.h"

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

// Wakes the real sleeps of an alarm thread when the window's alarm goes away, so that the program
// ends without waiting out a pause of up to three seconds.
struct AlarmSound::ExitGate
{
    std::mutex mutex;
    std::condition_variable wake;
    bool closed = false;

    void SleepFor(std::chrono::milliseconds pause)
    {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, pause, [this] { return closed; });
    }
    void Close()
    {
        {
            std::lock_guard lock(mutex);
            closed = true;
        }
        wake.notify_all();
    }
};

namespace {

class ClearOnExit
{
public:
    explicit ClearOnExit(std::atomic<bool>& flag) : m_flag(flag) {}
    ~ClearOnExit() { m_flag = false; }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

private:
    std::atomic<bool>& m_flag;
};

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

TalarmThread::TalarmThread(std::shared_ptr<AlarmSignal> signal, std::shared_ptr<Sound> sound,
                           std::filesystem::path wave, bool useSoundCard, int duration, AlarmTiming timing)
    : m_signal(std::move(signal)), m_sound(std::move(sound)), m_wave(std::move(wave)), m_useSoundCard(useSoundCard),
      m_duration(duration), m_timing(std::move(timing))
{
    m_signal->Sounding = true;
}

std::chrono::milliseconds TalarmThread::Pause(double elapsedSeconds)
{
    const double ms = std::round((60.0 - elapsedSeconds) / 20.0 * 1000.0);
    return std::chrono::milliseconds(ms < 20.0 ? 20 : static_cast<long long>(ms));
}

void TalarmThread::BeepPair()
{
    if (m_signal->StopRequested)
        return;
    m_sound->PlayTone(kAlarmToneHigh, kAlarmToneMs);
    if (m_signal->StopRequested)
        return;
    m_sound->PlayTone(kAlarmToneLow, kAlarmToneMs);
}

void TalarmThread::Execute()
{
    const ClearOnExit clear(m_signal->Sounding);
    const double start = m_timing.seconds();
    while (!m_signal->StopRequested) {
        // A missing or broken file falls back to the tones for this cycle only; it may be back
        // in place for the next.
        // A wave is cut short by a stop or by the end of the alarm's length, however long it is.
        const auto goOn = [this, start] {
            return !m_signal->StopRequested && m_timing.seconds() <= start + m_duration;
        };
        if (!m_useSoundCard || !m_sound->PlayAlarmWave(m_wave, goOn))
            BeepPair();
        if (m_signal->StopRequested)
            break;
        m_timing.sleep(Pause(m_timing.seconds() - start));
        if (m_timing.seconds() > start + m_duration)
            break;
    }
}

AlarmSound::AlarmSound(std::shared_ptr<Sound> sound, std::filesystem::path wave, AlarmTiming timing)
    : m_gate(std::make_shared<ExitGate>()), m_sound(std::move(sound)), m_wave(std::move(wave)),
      m_timing(std::move(timing))
{
    if (!m_timing.seconds)
        m_timing.seconds = SteadySeconds;
    if (!m_timing.sleep)
        m_timing.sleep = [gate = m_gate](std::chrono::milliseconds pause) { gate->SleepFor(pause); };
}

AlarmSound::~AlarmSound()
{
    m_signal->StopRequested = true;
    m_gate->Close();
    // Long enough for the tone in progress; a wave file is not waited for.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (m_signal->Sounding && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool AlarmSound::StartAlarmSound(bool useSoundCard, int duration)
{
    if (m_signal->Sounding)
        return false;
    m_signal->StopRequested = false;
    auto alarm = std::make_shared<TalarmThread>(m_signal, m_sound, m_wave, useSoundCard, duration, m_timing);
    try {
        std::thread([alarm, signal = m_signal] {
            try {
                alarm->Execute();
            } catch (...) {
                // A failing sound ends this alarm; Sounding is already cleared.
            }
            if (signal->Ended)
                signal->Ended();
        }).detach();
    } catch (const std::system_error&) {
        m_signal->Sounding = false;
        return false;
    }
    return true;
}

void AlarmSound::StopAlarmSound()
{
    m_signal->StopRequested = true;
}

bool AlarmSound::IsAlarmSounding() const
{
    return m_signal->Sounding;
}

namespace {

struct Tone
{
    int frequency;
    int ms;
};

void PlayTonesAside(std::shared_ptr<Sound> sound, std::vector<Tone> tones)
{
    try {
        std::thread([sound = std::move(sound), tones = std::move(tones)] {
            try {
                for (const Tone& tone : tones)
                    sound->PlayTone(tone.frequency, tone.ms);
            } catch (...) {
                // The signal is a courtesy; a failing device costs only these tones.
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread, no tone.
    }
}

}  // namespace

void StartHourSignal(std::shared_ptr<Sound> sound)
{
    PlayTonesAside(std::move(sound), {{kHourToneFrequency, kHourToneMs}});
}

void StartReminderSignal(std::shared_ptr<Sound> sound)
{
    // A frequency of 18 Hz or less is silence: the gap between the two.
    PlayTonesAside(std::move(sound), {{1320, 90}, {0, 60}, {1760, 140}});
}
