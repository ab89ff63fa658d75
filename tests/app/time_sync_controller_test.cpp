// The window's network time runs and drift correction, over a scripted network and fake clocks.
// The worker measures with a clock of its own, so the test thread never shares one with it.
#include "app/time_sync_controller.h"

#include <gtest/gtest.h>

#include "clock/local_time.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "../platform/hostile_files.h"
#include "../platform/temp_dir.h"
#include "platform/read_file.h"
#include "clock/server_list.h"
#include "clock/sntp.h"
#include "platform/program_dir.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/fake_udp_transport.h"
#include "platform/fake/memory_settings_store.h"
#include "../clock/scripted_time_server.h"

using namespace std::chrono;

namespace {

const SystemClock::TimePoint kStart = sys_days{year{2024} / 3 / 14} + hours{9};

// Holds a scripted server's answer while it is closed.
struct Gate
{
    std::mutex m;
    std::condition_variable cv;
    bool open = true;
    void Close()
    {
        std::lock_guard l(m);
        open = false;
    }
    void Open()
    {
        {
            std::lock_guard l(m);
            open = true;
        }
        cv.notify_all();
    }
    void Wait()
    {
        std::unique_lock l(m);
        cv.wait(l, [this] { return open; });
    }
};

class TimeSyncTest : public testing::Test
{
protected:
    TimeSyncTest()
    {
        WriteWholeFile(m_dir.Path() / "TIMESRV.INI", "ntp.example\r\n");
        m_settings.LastCorrection = LocalNow() - 3;
    }
    TimeSyncController& Controller()
    {
        if (!m_controller)
            m_controller = std::make_unique<TimeSyncController>(m_settings, m_store, m_clock, m_dir.Path(), "",
                                                                NetworkTime{m_net, m_workerClock, milliseconds(500)});
        return *m_controller;
    }
    TDateTime LocalNow() const { return ::LocalNow(m_clock); }
    // Polls as the 100 ms timer does until the run has ended.
    SyncOutcome WaitForRun()
    {
        for (int i = 0; i < 5000; ++i) {
            if (auto outcome = Controller().PollTimeSync())
                return *outcome;
            std::this_thread::sleep_for(milliseconds(1));
        }
        ADD_FAILURE() << "the run never ended";
        return {};
    }

    TempDir m_dir;
    FakeSystemClock m_clock{kStart, hours(1)};
    std::shared_ptr<FakeSystemClock> m_workerClock = std::make_shared<FakeSystemClock>(kStart);
    std::shared_ptr<FakeUdpTransport> m_net = std::make_shared<FakeUdpTransport>();
    MemorySettingsStore m_store;
    Settings m_settings;
    std::unique_ptr<TimeSyncController> m_controller;
};

}  // namespace

TEST_F(TimeSyncTest, StartUpRunSetsTheClockByTheOffsetAndStoresTheTime)
{
    m_net->AddServer("ntp.example", ScriptedTimeServer(*m_workerClock, milliseconds(80), milliseconds(-2500)));
    m_settings.SyncEnabled = true;
    m_settings.DailyCorrection = 2.0;  // never together with a run
    Controller().StartUp();
    EXPECT_TRUE(Controller().SyncRunning());
    const SyncOutcome outcome = WaitForRun();
    EXPECT_TRUE(outcome.found);
    EXPECT_FALSE(outcome.byUser);
    EXPECT_NEAR(outcome.offsetMs, -2500, 1);
    ASSERT_EQ(m_clock.Shifts().size(), 1u);
    EXPECT_NEAR(static_cast<double>(m_clock.Shifts()[0].count()), -2500e3, 1e3);
    EXPECT_EQ(m_store.WrittenNames(), (std::vector<std::string>{"Czas synchronizacji"}));
    EXPECT_EQ(m_settings.SyncTime, "2024.03.14   09:59:57");  // local time, after the change
    EXPECT_FALSE(Controller().SyncRunning());
    EXPECT_TRUE(Controller().SyncDoneSinceStart());
    // Done since the start: the 5-minute timer starts nothing more.
    Controller().Timer3Timer();
    EXPECT_FALSE(Controller().SyncRunning());
    EXPECT_EQ(m_net->Asked().size(), 1u);
}

TEST_F(TimeSyncTest, FailedRunCountsAsDoneAndTouchesNoClock)
{
    m_settings.SyncEnabled = true;
    Controller().Timer3Timer();
    const SyncOutcome outcome = WaitForRun();
    EXPECT_FALSE(outcome.found);
    EXPECT_TRUE(m_clock.Shifts().empty());
    EXPECT_EQ(m_store.WrittenNames(), (std::vector<std::string>{"Czas synchronizacji"}));
    EXPECT_TRUE(Controller().SyncDoneSinceStart());
}

TEST_F(TimeSyncTest, ALargeStepIsLeftForTheUserAndNeverCountsAsDrift)
{
    // 30 years ahead: the run reports it and leaves the clock; only the user's word moves it.
    const auto thirtyYears = duration_cast<milliseconds>(years(30));
    m_net->AddServer("ntp.example", ScriptedTimeServer(*m_workerClock, milliseconds(80), thirtyYears));
    m_settings.SyncEnabled = true;
    m_settings.PendingCorrection = -3;
    m_settings.TotalCorrection = 17;
    Controller().StartUp();
    const SyncOutcome outcome = WaitForRun();
    EXPECT_TRUE(outcome.found);
    EXPECT_TRUE(outcome.largeStep);
    EXPECT_TRUE(outcome.change.Ok());
    EXPECT_NEAR(outcome.offsetMs, static_cast<double>(thirtyYears.count()), 1);
    EXPECT_TRUE(m_clock.Shifts().empty());
    EXPECT_EQ(m_store.WrittenNames(), (std::vector<std::string>{"Czas synchronizacji"}));
    EXPECT_EQ(m_settings.PendingCorrection, -3);
    EXPECT_EQ(m_settings.TotalCorrection, 17);
    EXPECT_TRUE(Controller().ApplyLargeStep(outcome.offsetMs).Ok());
    ASSERT_EQ(m_clock.Shifts().size(), 1u);
    EXPECT_NEAR(static_cast<double>(m_clock.Shifts()[0].count()), static_cast<double>(thirtyYears.count()) * 1e3, 1e3);

    // 999 s is no large step and is made at once, behind as well as ahead.
    m_net->AddServer("ntp.example", ScriptedTimeServer(*m_workerClock, milliseconds(80), seconds(-999)));
    Controller().SpeedButton7Click();
    EXPECT_FALSE(WaitForRun().largeStep);
    EXPECT_EQ(m_clock.Shifts().size(), 2u);
}

TEST(LargeStepTexts, SayHowFarAndWhichWay)
{
    EXPECT_EQ(ClockDifferenceText(1000.4e3), "16 min 40 s");
    EXPECT_EQ(ClockDifferenceText(-(3 * 3600 + 5 * 60 + 59) * 1e3), "3 godz. 5 min");
    EXPECT_EQ(ClockDifferenceText(47.9 * 3600e3), "47 godz. 54 min");
    EXPECT_EQ(ClockDifferenceText(2436806442e3), "28203 dni");
    EXPECT_EQ(LargeStepQuestion(2000e3),
              "Zegar różni się od czasu serwera o 33 min 20 s (zegar się spóźnia). Ustawić?");
    EXPECT_EQ(LargeStepNotice(-2000e3), "Zegar różni się od czasu serwera o 33 min 20 s (zegar się spieszy) i nie "
                                        "został ustawiony. Przycisk synchronizacji ustawi go po potwierdzeniu.");
}

TEST_F(TimeSyncTest, EmptyServerListSetsNothing)
{
    WriteWholeFile(m_dir.Path() / "TIMESRV.INI", "\r\n   \r\n");
    Controller().SpeedButton7Click();
    const SyncOutcome outcome = WaitForRun();
    EXPECT_FALSE(outcome.found);
    EXPECT_TRUE(m_clock.Shifts().empty());
    EXPECT_TRUE(m_net->Asked().empty());
}

TEST_F(TimeSyncTest, WithSynchronisationOffTheTimerNeverStartsARun)
{
    Controller().Timer3Timer();
    EXPECT_FALSE(Controller().SyncRunning());
    // Turned on later (the configuration dialog), the next tick of the timer starts one.
    m_settings.SyncEnabled = true;
    Controller().Timer3Timer();
    EXPECT_TRUE(Controller().SyncRunning());
    WaitForRun();
}

TEST_F(TimeSyncTest, ButtonDuringARunStartsNoSecondButResetsTheBookkeeping)
{
    Gate gate;
    gate.Close();
    m_net->AddServer("ntp.example", ScriptedTimeServer(*m_workerClock, milliseconds(80), milliseconds(700), 48,
                                                       [&gate] { gate.Wait(); }));
    m_settings.SyncEnabled = true;
    m_settings.PendingCorrection = -3;
    m_settings.TotalCorrection = 17;
    Controller().StartUp();
    Controller().SpeedButton7Click();
    EXPECT_EQ(m_store.WrittenNames(),
              (std::vector<std::string>{"Ostatnia korekta", "Pozostało do korekty", "Korekta łącznie"}));
    EXPECT_EQ(m_settings.PendingCorrection, 0);
    EXPECT_EQ(m_settings.TotalCorrection, 0);
    EXPECT_NEAR(m_settings.LastCorrection, LocalNow(), 1e-9);
    gate.Open();
    const SyncOutcome outcome = WaitForRun();
    EXPECT_TRUE(outcome.byUser);  // the user now waits for this run's result
    EXPECT_EQ(m_net->Asked().size(), 1u);
}

TEST_F(TimeSyncTest, CalibrationRefusesTheButton)
{
    m_settings.CalibrationStart = LocalNow() - 2;
    try {
        Controller().SpeedButton7Click();
        FAIL() << "no refusal";
    } catch (const ECalibrationRunning& e) {
        EXPECT_STREQ(e.what(),
                     "Program jest w trybie obliczania korekty dobowej. Aktualizacja czasu nie jest możliwa.");
    }
    EXPECT_FALSE(Controller().SyncRunning());
    EXPECT_TRUE(m_store.WrittenNames().empty());
    // An ended calibration holds nothing back.
    m_settings.CalibrationStop = LocalNow() - 1;
    Controller().SpeedButton7Click();
    EXPECT_TRUE(Controller().SyncRunning());
    WaitForRun();
}

TEST_F(TimeSyncTest, AClockThatCannotBeSetIsReportedWithTheReason)
{
    m_net->AddServer("ntp.example", ScriptedTimeServer(*m_workerClock, milliseconds(80), milliseconds(1234)));
    m_clock.SetMaySet(false, ClockChangeError::AutomaticSync);
    Controller().SpeedButton7Click();
    const SyncOutcome outcome = WaitForRun();
    EXPECT_TRUE(outcome.byUser);
    EXPECT_EQ(outcome.change.error, ClockChangeError::AutomaticSync);
    EXPECT_EQ(ClockNotSetMessage(outcome.offsetMs, outcome.change),
              "Nie udało się ustawić zegara. Różnica względem serwera czasu: +1.2 s. Przyczyna: w systemie jest "
              "włączona automatyczna synchronizacja czasu.");
}

TEST_F(TimeSyncTest, TimerTicksWhileTheClockIsBeingSetChangeItOnlyOnce)
{
    m_net->AddServer("ntp.example", ScriptedTimeServer(*m_workerClock, milliseconds(80), milliseconds(4000)));
    m_settings.SyncEnabled = true;
    std::vector<bool> nestedPolls;
    m_clock.SetDuringShift([this, &nestedPolls] {
        nestedPolls.push_back(Controller().PollTimeSync().has_value());
        Controller().Timer3Timer();
        Controller().SpeedButton7Click();
        nestedPolls.push_back(Controller().PollTimeSync().has_value());
    });
    Controller().StartUp();
    const SyncOutcome outcome = WaitForRun();
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(m_clock.Shifts().size(), 1u);
    EXPECT_EQ(nestedPolls, (std::vector<bool>{false, false}));
    EXPECT_EQ(m_net->Asked().size(), 1u);
    EXPECT_FALSE(Controller().SyncRunning());
}

TEST_F(TimeSyncTest, DriftCorrectionAtStartUp)
{
    struct Row
    {
        const char* name;
        minutes uptime;
        double daily;
        std::optional<double> shift;
    };
    const Row rows[] = {
        {"5 minutes after boot", minutes(5), 2.0, 11},
        {"owed 4.9 s", minutes(5), 4.9 / 3, {}},
        {"20 minutes after boot", minutes(20), 2.0, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeSystemClock clock(kStart, hours(1));
        clock.SetUptime(r.uptime);
        MemorySettingsStore store;
        Settings settings;
        settings.DailyCorrection = r.daily;
        settings.LastCorrection = ::LocalNow(clock) - 3;
        settings.TotalCorrection = 0;
        TimeSyncController controller(settings, store, clock, m_dir.Path(), "", {m_net, m_workerClock});
        controller.StartUp();
        EXPECT_FALSE(controller.SyncRunning());
        if (!r.shift) {
            EXPECT_TRUE(clock.Shifts().empty());
            EXPECT_TRUE(store.WrittenNames().empty());
            continue;
        }
        ASSERT_EQ(clock.Shifts().size(), 1u);
        EXPECT_EQ(clock.Shifts()[0], seconds(11));
        EXPECT_NEAR(settings.PendingCorrection, -5, 1e-6);
        EXPECT_NEAR(settings.TotalCorrection, 11, 1e-9);
        EXPECT_NEAR(settings.LastCorrection, ::LocalNow(clock), 1e-9);
        EXPECT_EQ(store.WrittenNames(),
                  (std::vector<std::string>{"Ostatnia korekta", "Pozostało do korekty", "Korekta łącznie"}));
    }
}

TEST_F(TimeSyncTest, DriftStepThatCannotBeMadeStoresNothing)
{
    m_settings.DailyCorrection = 2.0;
    m_clock.SetMaySet(false);
    ASSERT_TRUE(Controller().ApplyDriftCorrection());
    EXPECT_TRUE(m_store.WrittenNames().empty());
    EXPECT_EQ(m_settings.TotalCorrection, 0);
    // Five seconds before midnight a step of 11 s would cross it: not made, nothing stored.
    FakeSystemClock late(sys_days{year{2024} / 3 / 14} + hours{22} + minutes{59} + seconds{55}, hours(1));
    TimeSyncController controller(m_settings, m_store, late, m_dir.Path(), "", {m_net, m_workerClock});
    m_settings.LastCorrection = ::LocalNow(late) - 3;
    ASSERT_TRUE(controller.ApplyDriftCorrection());
    EXPECT_TRUE(late.Shifts().empty());
    EXPECT_TRUE(m_store.WrittenNames().empty());
}

TEST(ServerListFile, TheUsersCopyBeforeTheShippedOneBeforeTheBuiltInList)
{
    TempDir user, shared;
    auto read = [&] { return ReadServerList(LocateProgramFile(user.Path(), shared.Path(), kServerListFileName)); };
    EXPECT_EQ(read(), "pl.pool.ntp.org\r\npl.pool.ntp.org\r\n");
    WriteWholeFile(shared.Path() / "TIMESRV.INI", "shipped.example\n");
    EXPECT_EQ(read(), "shipped.example\r\n");
    WriteWholeFile(user.Path() / "TIMESRV.INI", "  tempus1.gum.gov.pl \r\n\r\ntempus2.gum.gov.pl\t\r\n");
    EXPECT_EQ(read(), "tempus1.gum.gov.pl\r\ntempus2.gum.gov.pl\r\n");
}

TEST(ServerListFile, WhatIsNoFileGivesTheBuiltInListAtOnce)
{
    TempDir dir;
    for (HostileFile kind : kHostileFiles) {
        SCOPED_TRACE(Name(kind));
        ASSERT_TRUE(MakeHostileFile(dir.Path() / "TIMESRV.INI", kind, kSmallFileLimit));
        EXPECT_EQ(ReadServerList(dir.Path() / "TIMESRV.INI"), LoadServerList(std::nullopt));
    }
}
