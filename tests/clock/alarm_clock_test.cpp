// The clock bar's decisions: alarm parse, countdown, ring, states, full-hour trigger.
#include "clock/alarm_clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 2024-03-11 (a Monday) at the given local time.
TDateTime At(int h, int n, int s, int ms = 0, int dayOffset = 0)
{
    return EncodeDate(2024, 3, 11) + dayOffset + EncodeTime(h, n, s, ms);
}

AlarmClock PressedAt(const std::string& text, TDateTime now)
{
    AlarmClock clock;
    clock.AlarmTextChanged(text, false);
    clock.Press(now);
    return clock;
}

}  // namespace

TEST(AlarmText, OnlyCompleteTimesOfDayAreAccepted)
{
    struct Row
    {
        const char* text;
        double hours;  // < 0: refused
    };
    const Row rows[] = {{"07:00", 7},  {"00:00", 0},  {"23:59", 23 + 59 / 60.0},
                        {"24:00", -1}, {"25:00", -1}, {"12:60", -1},
                        {"1:", -1},    {"00:", -1},   {"1 :  ", -1},
                        {"", -1},      {"07:0", -1},  {"07:000", -1},
                        {"07-00", -1}, {"ab:cd", -1}, {" 7:00", -1},
                        {"-1:00", -1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const auto time = ParseAlarmText(r.text);
        ASSERT_EQ(time.has_value(), r.hours >= 0);
        if (time) {
            EXPECT_NEAR(*time * 24, r.hours, 1e-9);
        }
    }
}

TEST(AlarmText, StoredLengthIsKeptBetweenFiveSecondsAndAnHour)
{
    EXPECT_EQ(ClampAlarmDuration(300), 300);
    EXPECT_EQ(ClampAlarmDuration(0), 5);
    EXPECT_EQ(ClampAlarmDuration(-40), 5);
    EXPECT_EQ(ClampAlarmDuration(3601), 3600);
    EXPECT_EQ(ClampAlarmDuration(5), 5);
}

TEST(Countdown, ShowsTheTimeLeftRoundedUpToWholeSeconds)
{
    const TDateTime seven = *ParseAlarmText("07:00");
    struct Row
    {
        TDateTime now;
        const char* caption;
    };
    const Row rows[] = {
        {At(6, 59, 30, 500), " 00:00:30"},
        {At(6, 59, 59, 1), " 00:00:01"},
        {At(6, 59, 59, 999), " 00:00:01"},
        {At(6, 59, 58, 999), " 00:00:02"},
        {At(7, 0, 0, 1), " 00:00:00"},
        {At(7, 0, 1, 500), " 23:59:59"},
        {At(22, 0, 0, 500), " 09:00:00"},
        {At(0, 0, 0, 500), " 07:00:00"},
        // Just under a second is added and the sum rounded to the millisecond, so a moment on a
        // whole second shows one second more.
        {At(6, 0, 0), " 01:00:01"},
        {At(7, 0, 0), " 00:00:01"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.caption);
        EXPECT_EQ(CountdownCaption(seven, r.now), r.caption);
    }
}

TEST(AlarmClock, PressedHalfAMinuteBeforeRingsOnTheFirstTickPastTheTime)
{
    AlarmClock clock = PressedAt("07:00", At(6, 59, 30, 500));
    EXPECT_EQ(clock.State(), AlarmState::Armed);
    EXPECT_EQ(clock.Caption(), " 00:00:30");

    TDateTime now = At(6, 59, 30, 500);
    int rings = 0;
    TDateTime rangAt = 0;
    // Ticks every 100 ms up to 07:00:00.000 exactly: the time must be strictly passed.
    for (; now <= At(7, 0, 0) + 1e-9; now += EncodeTime(0, 0, 0, 100)) {
        ASSERT_FALSE(clock.Tick(now, false).startAlarm);
    }
    for (int i = 0; i < 50; ++i, now += EncodeTime(0, 0, 0, 100)) {
        if (clock.Tick(now, rings > 0).startAlarm) {
            ++rings;
            rangAt = now;
        }
    }
    EXPECT_EQ(rings, 1);
    EXPECT_NEAR((rangAt - At(7, 0, 0, 100)) * 86400, 0, 0.001);
    EXPECT_EQ(clock.State(), AlarmState::Ringing);
    EXPECT_TRUE(clock.StopVisible());
}

TEST(AlarmClock, StopStaysWhileTheSoundRunsAndGoesOnTheNextTickAfter)
{
    AlarmClock clock = PressedAt("07:00", At(6, 59, 0));
    EXPECT_TRUE(clock.Tick(At(7, 0, 0, 50), false).startAlarm);
    // The sound has not begun within the firing tick itself.
    EXPECT_TRUE(clock.StopVisible());
    clock.Tick(At(7, 0, 0, 150), true);
    EXPECT_TRUE(clock.StopVisible());
    clock.Tick(At(7, 0, 0, 250), false);
    EXPECT_FALSE(clock.StopVisible());
    EXPECT_EQ(clock.State(), AlarmState::WaitingForTomorrow);
    EXPECT_TRUE(clock.ToggleDown());
    EXPECT_EQ(clock.Caption(), " 00:00:00");
}

TEST(AlarmClock, PressedAfterTheTimeCountsDownButNeverRings)
{
    AlarmClock clock = PressedAt("07:00", At(22, 0, 0, 200));
    EXPECT_EQ(clock.State(), AlarmState::WaitingForTomorrow);
    EXPECT_EQ(clock.Caption(), " 09:00:00");
    std::vector<std::string> captions;
    for (TDateTime now = At(22, 0, 0, 200); now < At(7, 30, 0, 0, 1); now += EncodeTime(0, 0, 30)) {
        ASSERT_FALSE(clock.Tick(now, false).startAlarm);
        captions.push_back(clock.Caption());
    }
    EXPECT_EQ(captions[1], " 08:59:30");
    EXPECT_EQ(captions[2], " 08:59:00");
    EXPECT_TRUE(clock.ToggleDown());
}

TEST(AlarmClock, PressedExactlyAtTheTimeWaitsForTomorrow)
{
    EXPECT_EQ(PressedAt("07:00", At(7, 0, 0)).State(), AlarmState::WaitingForTomorrow);
    EXPECT_EQ(PressedAt("07:00", At(6, 59, 59, 999)).State(), AlarmState::Armed);
}

TEST(AlarmClock, AnInvalidTimeSpringsTheToggleBack)
{
    for (const char* text : {"25:00", "07:61", "1:", ""}) {
        SCOPED_TRACE(text);
        AlarmClock clock;
        clock.AlarmTextChanged(text, false);
        EXPECT_FALSE(clock.Press(At(6, 0, 0)));
        EXPECT_FALSE(clock.ToggleDown());
        EXPECT_EQ(clock.State(), AlarmState::Off);
        EXPECT_EQ(clock.Caption(), kAlarmToggleCaption);
        EXPECT_FALSE(clock.Tick(At(23, 0, 0), false).startAlarm);
    }
}

TEST(AlarmClock, EditingOrReleasingWhileRingingStopsAndTurnsOff)
{
    for (bool edit : {true, false}) {
        SCOPED_TRACE(edit ? "edit" : "release");
        AlarmClock clock = PressedAt("07:00", At(6, 0, 0));
        ASSERT_TRUE(clock.Tick(At(7, 0, 1), false).startAlarm);
        const bool stop = edit ? clock.AlarmTextChanged("07:05", true) : clock.Release(true);
        EXPECT_TRUE(stop);
        EXPECT_EQ(clock.State(), AlarmState::Off);
        EXPECT_EQ(clock.Caption(), kAlarmToggleCaption);
        EXPECT_FALSE(clock.StopVisible());
        // Off means off: the countdown does not come back with the next tick.
        clock.Tick(At(7, 0, 2), true);
        EXPECT_EQ(clock.Caption(), kAlarmToggleCaption);
    }
}

TEST(AlarmClock, FiresOnceAndOnlyAPressBeforeTheTimeArmsAgain)
{
    AlarmClock clock = PressedAt("07:00", At(6, 0, 0));
    ASSERT_TRUE(clock.Tick(At(7, 0, 1), false).startAlarm);
    EXPECT_FALSE(clock.Tick(At(7, 0, 1, 100, 1), false).startAlarm);
    clock.Release(false);
    EXPECT_TRUE(clock.Press(At(6, 30, 0, 0, 2)));
    EXPECT_EQ(clock.State(), AlarmState::Armed);
    EXPECT_TRUE(clock.Tick(At(7, 0, 0, 100, 2), false).startAlarm);
}

TEST(ClockTick, TextAndHintChangeOncePerSecond)
{
    AlarmClock clock;
    int changes = 0;
    std::string lastText;
    for (TDateTime now = At(12, 0, 58, 50); now < At(12, 1, 1); now += EncodeTime(0, 0, 0, 100)) {
        const ClockTickResult result = clock.Tick(now, false);
        if (result.secondChanged) {
            ++changes;
            lastText = result.clockText;
            EXPECT_EQ(result.trayHint, "Budzik nieaktywny");
        }
    }
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(lastText, "12:01:00");
    // The value is rounded to the millisecond before the second is cut off.
    EXPECT_EQ(clock.Tick(At(12, 1, 59, 999) + 0.6 / kMsPerDay, false).clockText, "12:02:00");

    clock.AlarmTextChanged("06:45", false);
    clock.Press(At(12, 3, 0));
    EXPECT_EQ(clock.Tick(At(12, 3, 0), false).trayHint, "Alarm: 06:45");
}

TEST(HourSignal, OneTonePerFullHourAlsoAfterTheClockWasSetBack)
{
    struct Step
    {
        TDateTime from, to;  // ticks every 100 ms in [from, to)
        bool enabled;
        int tones;
    };
    const Step steps[] = {
        {At(10, 0, 20), At(10, 0, 21), true, 1},  // a start in a full hour sounds at once
        {At(10, 59, 59), At(11, 0, 3), true, 1},  // one tone, not one per tick
        {At(11, 5, 0), At(11, 5, 2), true, 0},    // ...
        {At(10, 59, 0), At(11, 0, 2), true, 1},   // set back from 11:05 to 10:59: 11:00 again
        {At(11, 30, 0), At(12, 0, 0), false, 0},  // off: nothing,
        {At(12, 0, 0), At(12, 0, 30), false, 0},  // and the minute is still kept,
        {At(12, 0, 30), At(12, 0, 40), true, 0},  // so switching on at 12:00:30 waits
        {At(12, 59, 59), At(13, 0, 1), true, 1},  // for 13:00
    };
    AlarmClock clock;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "from " << s.from * 24);
        clock.SetHourSignalEnabled(s.enabled);
        int tones = 0;
        for (TDateTime now = s.from; now < s.to; now += EncodeTime(0, 0, 0, 100))
            tones += clock.Tick(now, false).hourSignal ? 1 : 0;
        EXPECT_EQ(tones, s.tones);
    }
}
