// The clock bar's decisions: alarm parse, countdown, ring, states, full-hour trigger.
#include "clock/alarm_clock.h"

#include <gtest/gtest.h>

#include <cmath>
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
    EXPECT_EQ(clock.State(), AlarmState::Armed);
    EXPECT_TRUE(clock.ToggleDown());
    EXPECT_EQ(clock.Caption(), " 00:00:00");
}

namespace {

// Ticks every `step` from `from` up to `to` (excluded); the moments that rang.
// `soundLasts`: a ring's sound goes on to the end of the run, as a ringing alarm's does while the
// user reaches for "Drzemka"; otherwise every sound has ended by the next tick.
std::vector<TDateTime> TickAlong(AlarmClock& clock, TDateTime from, TDateTime to, TDateTime step, int* missed = nullptr,
                                 bool soundLasts = false)
{
    std::vector<TDateTime> rang;
    // Each moment counted from `from`, so that no rounding piles up over the many ticks.
    for (long long i = 0;; ++i) {
        const TDateTime now = from + static_cast<TDateTime>(i) * step;
        if (now >= to - 1e-9)
            break;
        const ClockTickResult result = clock.Tick(now, soundLasts && !rang.empty());
        if (result.startAlarm)
            rang.push_back(now);
        if (missed && result.missedAlarm)
            ++*missed;
    }
    return rang;
}

constexpr TDateTime kTenthSecond = 100 / kMsPerDay;

void ExpectRangAt(const std::vector<TDateTime>& rang, const std::vector<TDateTime>& expected)
{
    ASSERT_EQ(rang.size(), expected.size());
    for (std::size_t i = 0; i < rang.size(); ++i)
        EXPECT_NEAR((rang[i] - expected[i]) * 86400, 0, 0.001) << "ring " << i;
}

}  // namespace

TEST(AlarmClock, PressedJustBeforeMidnightForMidnightRingsAtMidnight)
{
    AlarmClock clock = PressedAt("00:00", At(23, 58, 52));
    EXPECT_EQ(clock.State(), AlarmState::Armed);
    EXPECT_EQ(clock.Caption(), " 00:01:09");
    ExpectRangAt(TickAlong(clock, At(23, 58, 52), At(0, 1, 0, 0, 1), kTenthSecond), {At(0, 0, 0, 100, 1)});
}

TEST(AlarmClock, RingsAgainEveryDayWhileTheToggleStaysDown)
{
    AlarmClock clock = PressedAt("07:00", At(6, 0, 0));
    // Once a minute for three days; each ring on the first tick past 07:00.
    ExpectRangAt(TickAlong(clock, At(6, 0, 30), At(6, 0, 30, 0, 3), EncodeTime(0, 1, 0)),
                 {At(7, 0, 30), At(7, 0, 30, 0, 1), At(7, 0, 30, 0, 2)});
    clock.Tick(At(6, 0, 0, 0, 3), false);
    EXPECT_EQ(clock.Caption(), " 01:00:01");
    clock.Release(false);
    EXPECT_TRUE(TickAlong(clock, At(6, 0, 30, 0, 3), At(8, 0, 0, 0, 3), EncodeTime(0, 1, 0)).empty());
}

TEST(AlarmClock, PressedAtOrAfterTheTimeRingsTheNextDay)
{
    // In the evening for the morning, and exactly at the time: the latter is not strictly before.
    for (const TDateTime pressed : {At(22, 0, 0, 200), At(7, 0, 0), At(7, 0, 0, 1)}) {
        SCOPED_TRACE(pressed * 24);
        AlarmClock clock = PressedAt("07:00", pressed);
        EXPECT_EQ(clock.State(), AlarmState::Armed);
        ExpectRangAt(TickAlong(clock, pressed, At(7, 30, 0, 0, 1), EncodeTime(0, 0, 30)),
                     {DateOf(pressed) + 1 + EncodeTime(7, 0, 0) + (pressed > At(12, 0, 0) ? 0 : EncodeTime(0, 0, 0))
                      + std::fmod(TimeOfDay(pressed) - EncodeTime(7, 0, 0) + 1, EncodeTime(0, 0, 30))
                      + (std::fmod(TimeOfDay(pressed) - EncodeTime(7, 0, 0) + 1, EncodeTime(0, 0, 30)) < 1e-9
                             ? EncodeTime(0, 0, 30)
                             : 0)});
    }
    EXPECT_EQ(PressedAt("07:00", At(22, 0, 0, 200)).Caption(), " 09:00:00");
    EXPECT_EQ(PressedAt("07:00", At(6, 59, 59, 999)).NextRing().value_or(0), At(7, 0, 0));
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

TEST(AlarmClock, AClockStepNeitherRingsTwiceNorSkipsADaySilently)
{
    struct Step
    {
        const char* what;
        TDateTime from, to;  // ticks every 100 ms after the alarm rang at 07:00:00.1 on day 0
        int rings;
    };
    const Step steps[] = {
        {"back two seconds over the time", At(6, 59, 58), At(7, 0, 5), 0},
        {"back an hour (end of summer time)", At(6, 0, 1), At(7, 0, 5), 0},
        {"back to yesterday evening", At(23, 0, 0, 0, -1), At(7, 0, 5), 0},
        {"back more than a day: the clock's days ring again", At(6, 59, 59, 0, -2), At(7, 0, 1, 0, -2), 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        AlarmClock clock = PressedAt("07:00", At(6, 59, 0));
        ASSERT_TRUE(clock.Tick(At(7, 0, 0, 100), false).startAlarm);
        int missed = 0;
        EXPECT_EQ(TickAlong(clock, s.from, s.to, kTenthSecond, &missed).size(), std::size_t(s.rings));
        EXPECT_EQ(missed, 0);
        // Whatever happened, the alarm is there the next morning of the clock.
        EXPECT_EQ(clock.NextRing().value_or(0), DateOf(s.to) + 1 + EncodeTime(7, 0, 0));
    }
}

TEST(AlarmClock, AfterAStepBackTheFirstAlarmTimeAheadRingsUnlessItHasRung)
{
    struct Step
    {
        const char* what;
        bool rangToday;  // pressed at 06:59 and rung at 07:00:00.1 on day 0, else pressed at `from`
        TDateTime from;  // the clock's time before the step
        int hoursBack;
        TDateTime next;  // the next ring right after the step
    };
    const Step steps[] = {
        {"an hour", false, At(22, 0, 0), 1, At(7, 0, 0, 0, 1)},
        {"23 hours: tomorrow's clock morning becomes today's", false, At(22, 0, 0), 23, At(7, 0, 0)},
        {"25 hours", false, At(22, 0, 0), 25, At(7, 0, 0)},
        {"47 hours", false, At(22, 0, 0), 47, At(7, 0, 0, 0, -1)},
        {"three days", false, At(22, 0, 0), 72, At(7, 0, 0, 0, -2)},
        {"an hour back over today's ring", true, At(7, 30, 0), 1, At(7, 0, 0, 0, 1)},
        {"a day back to before today's ring", true, At(8, 0, 0), 24, At(7, 0, 0, 0, 1)},
        {"26 hours back to before yesterday's time", true, At(8, 0, 0), 26, At(7, 0, 0, 0, -1)},
    };
    constexpr TDateTime kTenSeconds = 10000 / kMsPerDay;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        AlarmClock clock = PressedAt("07:00", s.rangToday ? At(6, 59, 0) : s.from);
        if (s.rangToday) {
            ASSERT_TRUE(clock.Tick(At(7, 0, 0, 100), false).startAlarm);
        }
        ASSERT_FALSE(clock.Tick(s.from, false).startAlarm);
        const TDateTime back = s.from - s.hoursBack / 24.0;
        const ClockTickResult result = clock.Tick(back, false);
        EXPECT_FALSE(result.startAlarm);
        EXPECT_FALSE(result.missedAlarm);
        EXPECT_NEAR((clock.NextRing().value_or(0) - s.next) * 86400, 0, 0.001);
        // Exactly one ring, at that time: no morning skipped, none rung twice.
        int missed = 0;
        ExpectRangAt(TickAlong(clock, back + kTenSeconds / 2, s.next + EncodeTime(0, 1, 0), kTenSeconds, &missed),
                     {s.next + kTenSeconds / 2});
        EXPECT_EQ(missed, 0);
    }
}

TEST(AlarmClock, AJumpForwardOverTheTimeRingsLateOrReportsTheMiss)
{
    struct Jump
    {
        const char* what;
        TDateTime to;
        bool rings;  // otherwise the miss is reported
    };
    const Jump jumps[] = {
        {"network time, a few seconds", At(7, 0, 3), true},
        {"woken twenty minutes after", At(7, 20, 0), true},
        {"woken thirty minutes after", At(7, 30, 0), true},
        {"woken half an hour and a second after", At(7, 30, 1), false},
        {"woken at noon", At(12, 0, 0), false},
        {"asleep for three days, woken just after", At(7, 10, 0, 0, 3), true},
        {"asleep for three days, woken at noon", At(12, 0, 0, 0, 3), false},
    };
    for (const Jump& j : jumps) {
        SCOPED_TRACE(j.what);
        AlarmClock clock = PressedAt("07:00", At(23, 0, 0, 0, -1));
        clock.Tick(At(6, 59, 0), false);
        const ClockTickResult result = clock.Tick(j.to, false);
        EXPECT_EQ(result.startAlarm, j.rings);
        EXPECT_EQ(result.missedAlarm, !j.rings);
        // Once only; the next ring is the following morning.
        int missed = 0;
        EXPECT_TRUE(TickAlong(clock, j.to, j.to + EncodeTime(0, 0, 10), kTenthSecond, &missed).empty());
        EXPECT_EQ(missed, 0);
        EXPECT_EQ(clock.NextRing().value_or(0), DateOf(j.to) + 1 + EncodeTime(7, 0, 0));
    }
}

TEST(Snooze, RingsAgainAfterItsMinutesUntilStopped)
{
    AlarmClock clock = PressedAt("07:00", At(6, 59, 0));
    ASSERT_TRUE(clock.Tick(At(7, 0, 0, 100), false).startAlarm);
    ASSERT_TRUE(clock.Snooze(At(7, 0, 10), 5));
    EXPECT_EQ(clock.State(), AlarmState::Snoozed);
    EXPECT_EQ(clock.Caption(), " 00:05:01");
    // STOP stays while the snooze waits, as it ends the snooze.
    clock.Tick(At(7, 0, 11), false);
    EXPECT_TRUE(clock.StopVisible());
    ExpectRangAt(TickAlong(clock, At(7, 0, 11), At(7, 6, 0), kTenthSecond, nullptr, true), {At(7, 5, 10, 100)});
    ASSERT_TRUE(clock.Snooze(At(7, 6, 0), 5));
    ExpectRangAt(TickAlong(clock, At(7, 6, 0), At(7, 12, 0), kTenthSecond, nullptr, true), {At(7, 11, 0, 100)});
    clock.Stop();
    clock.Tick(At(7, 12, 0, 100), false);
    EXPECT_FALSE(clock.StopVisible());
    EXPECT_EQ(clock.State(), AlarmState::Armed);
    // The daily ring stays: the next is tomorrow's.
    EXPECT_TRUE(TickAlong(clock, At(7, 12, 0), At(6, 59, 0, 0, 1), EncodeTime(0, 0, 30)).empty());
    EXPECT_EQ(clock.NextRing().value_or(0), At(7, 0, 0, 0, 1));
    EXPECT_EQ(ClampSnoozeMinutes(0), 1);
    EXPECT_EQ(ClampSnoozeMinutes(61), 60);
}

// The minutes come from the settings as stored; a value out of range (edited by hand, or from an
// older export) is held to 1..60 where the snooze starts, not only where the settings are read.
// A snooze belongs to a ring in progress. "Drzemka" from a notification the desktop kept after the
// ring ended, minutes or an hour later, or pressed with the alarm off, schedules nothing.
TEST(Snooze, OnlyARingInProgressIsSnoozed)
{
    struct Row
    {
        const char* what;
        TDateTime at;
        bool soundEnded;
        bool released;
    };
    const Row rows[] = {
        {"while the sound goes on", At(7, 0, 10), false, false},
        {"a second after the sound ended", At(7, 0, 11), true, false},
        {"an hour after the sound ended", At(8, 0, 11), true, false},
        {"with the alarm switched off during the ring", At(7, 0, 11), false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        AlarmClock clock = PressedAt("07:00", At(6, 59, 0));
        ASSERT_TRUE(clock.Tick(At(7, 0, 0, 100), false).startAlarm);
        clock.Tick(At(7, 0, 5), true);
        if (r.soundEnded)
            clock.Tick(At(7, 0, 10), false);
        if (r.released)
            clock.Release(true);
        const bool inProgress = !r.soundEnded && !r.released;
        EXPECT_EQ(clock.Snooze(r.at, 5), inProgress);
        EXPECT_EQ(clock.Snoozing(), inProgress);
        if (!r.released) {
            EXPECT_NEAR(clock.NextRing().value_or(0), inProgress ? r.at + EncodeTime(0, 5, 0) : At(7, 0, 0, 0, 1),
                        1e-8);
        }
    }
    // Nor twice: a second "Drzemka" while one waits does not move it on.
    AlarmClock twice = PressedAt("07:00", At(6, 59, 0));
    twice.Tick(At(7, 0, 0, 100), false);
    ASSERT_TRUE(twice.Snooze(At(7, 0, 10), 5));
    EXPECT_FALSE(twice.Snooze(At(7, 3, 0), 5));
    EXPECT_NEAR(twice.NextRing().value_or(0), At(7, 5, 10), 1e-8);
}

TEST(Snooze, MinutesOutOfRangeAreHeldToOneToSixty)
{
    struct Row
    {
        int minutes;
        TDateTime ring;
    };
    const Row rows[] = {{90, At(8, 0, 10, 100)}, {61, At(8, 0, 10, 100)}, {1000000, At(8, 0, 10, 100)},
                        {0, At(7, 1, 10, 100)},  {-5, At(7, 1, 10, 100)}, {60, At(8, 0, 10, 100)}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.minutes);
        AlarmClock clock = PressedAt("07:00", At(6, 59, 0));
        ASSERT_TRUE(clock.Tick(At(7, 0, 0, 100), false).startAlarm);
        ASSERT_TRUE(clock.Snooze(At(7, 0, 10), r.minutes));
        ExpectRangAt(TickAlong(clock, At(7, 0, 10), At(8, 30, 0), kTenthSecond), {r.ring});
    }
}

TEST(Snooze, AcrossMidnightAndOverClockSteps)
{
    // Snoozed five minutes before midnight: rings on the next day.
    AlarmClock night = PressedAt("23:50", At(23, 0, 0));
    ASSERT_TRUE(night.Tick(At(23, 50, 0, 100), false).startAlarm);
    night.Snooze(At(23, 55, 0), 10);
    ExpectRangAt(TickAlong(night, At(23, 55, 0), At(0, 10, 0, 0, 1), kTenthSecond), {At(0, 5, 0, 100, 1)});

    // A clock set back an hour does not stretch the snooze beyond its minutes...
    AlarmClock back = PressedAt("07:00", At(6, 59, 0));
    back.Tick(At(7, 0, 0, 100), false);
    back.Snooze(At(7, 1, 0), 5);
    ExpectRangAt(TickAlong(back, At(6, 1, 30), At(6, 10, 0), kTenthSecond), {At(6, 6, 30, 100)});
    // ...and one moved forward over it rings at once.
    AlarmClock ahead = PressedAt("07:00", At(6, 59, 0));
    ahead.Tick(At(7, 0, 0, 100), false);
    ahead.Snooze(At(7, 1, 0), 5);
    EXPECT_TRUE(ahead.Tick(At(7, 20, 0), false).startAlarm);
    EXPECT_FALSE(ahead.Snoozing());

    // Releasing the toggle ends the snooze; pressed again, only the daily ring is left.
    AlarmClock released = PressedAt("07:00", At(6, 59, 0));
    released.Tick(At(7, 0, 0, 100), false);
    released.Snooze(At(7, 1, 0), 5);
    released.Release(false);
    EXPECT_FALSE(released.Snooze(At(7, 2, 0), 5));
    released.Press(At(7, 2, 0));
    EXPECT_TRUE(TickAlong(released, At(7, 2, 0), At(7, 10, 0), kTenthSecond).empty());
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
