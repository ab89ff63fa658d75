// The alarm thread's order of sounds, pauses and stop checks on fake time and fake sound, and the
// thread handling around it (one alarm at a time, stop, the end of the program while it sounds).
#include "clock/alarm_sound.h"

#include "platform/fake/fake_sound.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono;
using Call = FakeSound::Call;

namespace {

// Time moves only by the sounds played and the pauses slept; the pauses are recorded.
struct FakeTime
{
    double now = 1000.0;
    std::vector<long long> pauses;

    AlarmTiming Timing()
    {
        return {[this] { return now; },
                [this](milliseconds pause) {
                    pauses.push_back(pause.count());
                    now += static_cast<double>(pause.count()) / 1000.0;
                }};
    }
    void Follow(FakeSound& sound)
    {
        sound.SetOnCall([this](const Call& call) { now += call.ms / 1000.0; });
    }
};

const Call kHigh{Call::Tone, 1000, 200, {}};
const Call kLow{Call::Tone, 600, 200, {}};

bool WaitUntil(const std::function<bool()>& done, milliseconds limit = seconds(5))
{
    const auto end = steady_clock::now() + limit;
    while (!done()) {
        if (steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(milliseconds(1));
    }
    return true;
}

// A sleep that holds the alarm thread until the test opens it.
class Latch
{
public:
    void Wait()
    {
        std::unique_lock lock(m_mutex);
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
    }
    void WaitForSleeper()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_waiting > 0; });
    }
    void Open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_waiting = 0;
    bool m_open = false;
};

}  // namespace

TEST(AlarmThread, PauseShortensOverTheFirstMinute)
{
    EXPECT_EQ(TalarmThread::Pause(0).count(), 3000);
    EXPECT_EQ(TalarmThread::Pause(1).count(), 2950);
    EXPECT_EQ(TalarmThread::Pause(0.4).count(), 2980);
    EXPECT_EQ(TalarmThread::Pause(59.2).count(), 40);
    EXPECT_EQ(TalarmThread::Pause(59.6).count(), 20);
    EXPECT_EQ(TalarmThread::Pause(59.9).count(), 20);
    EXPECT_EQ(TalarmThread::Pause(400).count(), 20);
}

TEST(AlarmThread, FiveSecondsOfTonesAreTwoPairsWithTheirPauses)
{
    auto sound = std::make_shared<FakeSound>();
    FakeTime time;
    time.Follow(*sound);
    auto signal = std::make_shared<AlarmSignal>();
    TalarmThread alarm(signal, sound, "/prog/ALARM.WAV", false, 5, time.Timing());
    EXPECT_TRUE(signal->Sounding);
    alarm.Execute();
    EXPECT_FALSE(signal->Sounding);
    EXPECT_EQ(sound->Calls(), (std::vector<Call>{kHigh, kLow, kHigh, kLow}));
    // 3000 ms less 50 ms per second since the start: 0.4 s, then 3.78 s in.
    ASSERT_EQ(time.pauses.size(), 2u);
    EXPECT_EQ(time.pauses[0], 2980);
    EXPECT_NEAR(static_cast<double>(time.pauses[1]), 2810, 2);
}

TEST(AlarmThread, SoundCardWithoutTheFileFallsBackToTonesEachCycle)
{
    auto sound = std::make_shared<FakeSound>();
    FakeTime time;
    time.Follow(*sound);
    auto signal = std::make_shared<AlarmSignal>();
    TalarmThread(signal, sound, "/prog/ALARM.WAV", true, 5, time.Timing()).Execute();
    const Call wave{Call::Wave, 0, 0, "/prog/ALARM.WAV"};
    EXPECT_EQ(sound->Calls(), (std::vector<Call>{wave, kHigh, kLow, wave, kHigh, kLow}));
}

TEST(AlarmThread, APlayedFileNeedsNoTonesAndTheLengthCountsFromTheStart)
{
    auto sound = std::make_shared<FakeSound>();
    sound->SetWaveResult(true);
    FakeTime time;
    // A 20 s file: after it the pause is (60 - 20) / 20 s, after the second (60 - 42) / 20 s, and
    // the end check after that pause ends a 30 s alarm.
    sound->SetOnCall([&time](const Call&) { time.now += 20; });
    auto signal = std::make_shared<AlarmSignal>();
    TalarmThread(signal, sound, "/prog/ALARM.WAV", true, 30, time.Timing()).Execute();
    EXPECT_EQ(sound->Calls().size(), 2u);
    EXPECT_EQ(time.pauses, (std::vector<long long>{2000, 900}));
}

TEST(AlarmThread, AWaveOfHoursEndsWithTheAlarmsLengthOrAStop)
{
    // Eleven hours of sound in tenths of a second: a 30 s alarm ends after 30 s of it.
    auto sound = std::make_shared<FakeSound>();
    sound->SetWaveResult(true);
    FakeTime time;
    sound->SetWavePieces(11 * 36000, [&time] { time.now += 0.1; });
    auto signal = std::make_shared<AlarmSignal>();
    TalarmThread(signal, sound, "/prog/ALARM.WAV", true, 30, time.Timing()).Execute();
    EXPECT_EQ(sound->Calls().size(), 1u);
    EXPECT_NEAR(static_cast<double>(sound->PiecesPlayed()), 300, 2);
    EXPECT_FALSE(signal->Sounding);

    // A stop during the wave is seen at the next piece, and no tones follow.
    auto stopped = std::make_shared<FakeSound>();
    stopped->SetWaveResult(true);
    stopped->SetWavePieces(11 * 36000, [&time, &signal, &stopped] {
        time.now += 0.1;
        if (stopped->PiecesPlayed() == 5)
            signal->StopRequested = true;
    });
    TalarmThread(signal, stopped, "/prog/ALARM.WAV", true, 3600, time.Timing()).Execute();
    EXPECT_EQ(stopped->PiecesPlayed(), 5);
    EXPECT_EQ(stopped->Calls().size(), 1u);
}

TEST(AlarmThread, StopIsSeenBetweenTheTonesAndAfterEachSound)
{
    struct Row
    {
        const char* name;
        int stopAfterCall;  // 1-based call after which the stop arrives
        std::size_t calls;
        std::size_t pauses;
    };
    const Row rows[] = {
        {"between the tones", 1, 1, 0}, {"after the pair", 2, 2, 0}, {"after the second pair", 4, 4, 1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto sound = std::make_shared<FakeSound>();
        FakeTime time;
        auto signal = std::make_shared<AlarmSignal>();
        int calls = 0;
        sound->SetOnCall([&](const Call& call) {
            time.now += call.ms / 1000.0;
            if (++calls == r.stopAfterCall)
                signal->StopRequested = true;
        });
        TalarmThread(signal, sound, "/prog/ALARM.WAV", false, 300, time.Timing()).Execute();
        EXPECT_EQ(sound->Calls().size(), r.calls);
        EXPECT_EQ(time.pauses.size(), r.pauses);
        EXPECT_FALSE(signal->Sounding);
    }
}

TEST(AlarmThread, AFailingSoundStillClearsSounding)
{
    auto sound = std::make_shared<FakeSound>();
    sound->SetOnCall([](const Call&) { throw std::runtime_error("device gone"); });
    FakeTime time;
    auto signal = std::make_shared<AlarmSignal>();
    TalarmThread alarm(signal, sound, "/prog/ALARM.WAV", false, 300, time.Timing());
    EXPECT_THROW(alarm.Execute(), std::runtime_error);
    EXPECT_FALSE(signal->Sounding);
}

TEST(AlarmSound, OneAlarmAtATimeAndStopTakesEffectWhenThePauseEnds)
{
    auto sound = std::make_shared<FakeSound>();
    Latch latch;
    std::atomic<int> slept{0};
    AlarmTiming timing{[] { return 0.0; },
                       [&](milliseconds) {
                           ++slept;
                           latch.Wait();
                       }};
    AlarmSound alarm(sound, "/prog/ALARM.WAV", timing);
    ASSERT_TRUE(alarm.StartAlarmSound(false, 300));
    EXPECT_TRUE(alarm.IsAlarmSounding());
    EXPECT_FALSE(alarm.StartAlarmSound(true, 300));

    latch.WaitForSleeper();
    alarm.StopAlarmSound();
    EXPECT_TRUE(alarm.IsAlarmSounding());  // still in its pause
    latch.Open();
    ASSERT_TRUE(WaitUntil([&] { return !alarm.IsAlarmSounding(); }));
    EXPECT_EQ(sound->Calls(), (std::vector<Call>{kHigh, kLow}));
    EXPECT_EQ(slept, 1);

    // A new alarm after the end clears the old stop.
    sound->ClearCalls();
    ASSERT_TRUE(alarm.StartAlarmSound(false, 300));
    ASSERT_TRUE(WaitUntil([&] { return sound->Calls().size() >= 2; }));
    alarm.StopAlarmSound();
    ASSERT_TRUE(WaitUntil([&] { return !alarm.IsAlarmSounding(); }));
}

TEST(AlarmSound, EndingTheProgramWhileItSoundsNeitherHangsNorLeavesAnythingDangling)
{
    auto sound = std::make_shared<FakeSound>();
    std::weak_ptr<FakeSound> watch = sound;
    const auto before = steady_clock::now();
    {
        // Real time and real (3 s) pauses.
        AlarmSound alarm(sound, "/prog/ALARM.WAV");
        ASSERT_TRUE(alarm.StartAlarmSound(false, 300));
        ASSERT_TRUE(WaitUntil([&] { return sound->Calls().size() >= 2; }));
        sound.reset();
    }
    EXPECT_LT(steady_clock::now() - before, seconds(2));
    // The thread held its own share of the sound and has let go of it.
    EXPECT_TRUE(WaitUntil([&] { return watch.expired(); }));
}

TEST(HourSignal, OneShortToneOnItsOwnThread)
{
    auto sound = std::make_shared<FakeSound>();
    const auto caller = std::this_thread::get_id();
    std::atomic<bool> otherThread{false};
    sound->SetOnCall([&](const Call&) { otherThread = std::this_thread::get_id() != caller; });
    StartHourSignal(sound);
    ASSERT_TRUE(WaitUntil([&] { return sound->Calls().size() == 1; }));
    EXPECT_EQ(sound->Calls()[0], (Call{Call::Tone, 900, 100, {}}));
    ASSERT_TRUE(WaitUntil([&] { return sound.use_count() == 1; }));
    EXPECT_TRUE(otherThread);
}
