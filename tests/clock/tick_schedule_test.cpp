// When the window's clock sleeps and when it wakes.
#include "clock/tick_schedule.h"

#include <gtest/gtest.h>

namespace {

TDateTime At(int h, int n, int s, int ms = 0)
{
    return EncodeDate(2024, 3, 11) + EncodeTime(h, n, s, ms);
}

TickNeeds Hidden(bool hourSignal = false, std::optional<TDateTime> ring = std::nullopt)
{
    return {false, hourSignal, ring, std::nullopt};
}

}  // namespace

TEST(TickSchedule, ShownTheTickLandsJustAfterEachWholeSecond)
{
    EXPECT_EQ(MsToNextTick(At(10, 0, 0, 400), {}), 600 + kTickLateMs);
    // Exactly on a second, the tick that reads it has already been: the next one is a second on.
    EXPECT_EQ(MsToNextTick(At(10, 0, 0), {}), 1000 + kTickLateMs);
    EXPECT_EQ(MsToNextTick(At(23, 59, 59, 999), {}), 1 + kTickLateMs);
    // A visible window ticks every second whatever else waits.
    EXPECT_EQ(MsToNextTick(At(6, 59, 59, 500), {true, true, At(7, 0, 0), std::nullopt}), 500 + kTickLateMs);
}

TEST(TickSchedule, HiddenItSleepsUntilTheNextEventThatMatters)
{
    // Nothing due: the longest sleep, which also notices a clock that jumped.
    EXPECT_EQ(MsToNextTick(At(10, 0, 0, 400), Hidden()), kLongestHiddenSleepMs);
    // Midnight moves the day on.
    EXPECT_EQ(MsToNextTick(At(23, 59, 30), Hidden()), 30000 + kTickLateMs);
    // The full hour only while its signal is on.
    EXPECT_EQ(MsToNextTick(At(13, 59, 59, 900), Hidden(true)), 100 + kTickLateMs);
    EXPECT_EQ(MsToNextTick(At(13, 59, 59, 900), Hidden(false)), kLongestHiddenSleepMs);
    // The alarm, and the earliest of several.
    EXPECT_EQ(MsToNextTick(At(6, 59, 30, 500), Hidden(false, At(7, 0, 0))), 29500 + kTickLateMs);
    EXPECT_EQ(MsToNextTick(At(6, 59, 50), Hidden(true, At(7, 0, 0))), 10000 + kTickLateMs);
    EXPECT_EQ(MsToNextTick(At(6, 59, 50), Hidden(false, At(7, 0, 5))), 15000 + kTickLateMs);
}

TEST(TickSchedule, APassedRingOrAFarOneNeverStallsTheClock)
{
    // A ring the clock is already past (a jump, a snooze over): at once.
    EXPECT_EQ(MsToNextTick(At(7, 5, 0), Hidden(false, At(7, 0, 0))), kTickLateMs);
    // A ring a day away after the clock went back: still the longest sleep, not a day.
    EXPECT_EQ(MsToNextTick(At(7, 0, 0), Hidden(true, At(7, 0, 0) + 2)), kLongestHiddenSleepMs);
}

TEST(TickSchedule, HiddenItWakesForANoteReminderToo)
{
    TickNeeds needs = Hidden(false, At(7, 0, 0));
    needs.nextReminder = At(6, 59, 40);
    EXPECT_EQ(MsToNextTick(At(6, 59, 30), needs), 10000 + kTickLateMs);
    // The earlier of the alarm and the reminder; a passed reminder at once.
    needs.nextReminder = At(7, 0, 20);
    EXPECT_EQ(MsToNextTick(At(6, 59, 30), needs), 30000 + kTickLateMs);
    needs.nextReminder = At(6, 0, 0);
    EXPECT_EQ(MsToNextTick(At(6, 59, 30), needs), kTickLateMs);
}
