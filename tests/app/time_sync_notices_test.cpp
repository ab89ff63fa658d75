// How often the ends of network time runs speak: a question whenever someone is there to answer
// it, a notice once per run of the program or once a day, never one per retry.
#include "app/time_sync_notices.h"

#include <gtest/gtest.h>

using Told = TimeSyncNotices::LargeStepTold;

TEST(TimeSyncNotices, ALargeStepIsAskedWhenSomeoneIsThereAndNoticedOnceOtherwise)
{
    TimeSyncNotices notices;
    EXPECT_EQ(notices.OnLargeStep(false, false), Told::Notify);
    EXPECT_EQ(notices.OnLargeStep(false, false), Told::Nothing);
    // The notice given does not stop the question when the user is there.
    EXPECT_EQ(notices.OnLargeStep(true, false), Told::Ask);
    EXPECT_EQ(notices.OnLargeStep(false, true), Told::Ask);
    EXPECT_EQ(notices.OnLargeStep(false, false), Told::Nothing);

    TimeSyncNotices asked;
    EXPECT_EQ(asked.OnLargeStep(false, true), Told::Ask);
    EXPECT_EQ(asked.OnLargeStep(false, false), Told::Notify) << "a question is no notice";
}

TEST(TimeSyncNotices, AClockNotSetIsToldOnceADay)
{
    TimeSyncNotices notices;
    const TDateTime evening = EncodeDate(2024, 12, 31) + 0.99;
    EXPECT_TRUE(notices.TellClockNotSet(evening));
    EXPECT_FALSE(notices.TellClockNotSet(evening + 0.005));
    EXPECT_TRUE(notices.TellClockNotSet(EncodeDate(2025, 1, 1) + 0.001));
    EXPECT_FALSE(notices.TellClockNotSet(EncodeDate(2025, 1, 1) + 0.5));
    // A clock set back to the day before tells it again there.
    EXPECT_TRUE(notices.TellClockNotSet(evening));
    // The first day of the calendar is a day like any other.
    TimeSyncNotices atZero;
    EXPECT_TRUE(atZero.TellClockNotSet(0.5));
}
