// The working-time norm against the tables Polish payroll sites publish for each month.
#include "calendar/working_time.h"

#include <gtest/gtest.h>

#include <tuple>

#include "calendar/feasts.h"

// 2025: gazetaprawna.pl and kadry.infor.pl (November 2025); 2026: kadry.infor.pl (October 2025)
// and prawowkulturze.pl. Tables printed before the 2025 amendment made 24 December a holiday
// (multizawodowi.pl) give December 2025 as 168 hours and the year as 2000; the law gives 160.
TEST(WorkingTime, MatchesPublishedMonthlyNorms)
{
    struct Year
    {
        int year;
        int hours[12];
    };
    const Year years[] = {
        {2025, {168, 160, 168, 168, 160, 160, 184, 160, 176, 184, 144, 160}},
        {2026, {160, 160, 176, 168, 160, 168, 184, 160, 176, 176, 160, 160}},
    };
    for (const Year& y : years) {
        for (int month = 1; month <= 12; ++month) {
            SCOPED_TRACE(testing::Message() << y.year << '-' << month);
            const WorkingTime norm = MonthWorkingTime(y.year, month);
            EXPECT_EQ(norm.hours, y.hours[month - 1]);
            EXPECT_EQ(norm.days * 8, norm.hours);
        }
    }
}

TEST(WorkingTime, SaturdayHolidaysOweAnotherDayOff)
{
    // 2025: 3 May and 1 November; 2026: 15 August and 26 December.
    for (const auto& [y, m, d] : {std::tuple{2025, 5, 3}, {2025, 11, 1}, {2026, 8, 15}, {2026, 12, 26}})
        EXPECT_TRUE(IsSaturdayHoliday(EncodeDate(y, m, d))) << y << '-' << m << '-' << d;
    EXPECT_FALSE(IsSaturdayHoliday(EncodeDate(2026, 11, 1)));  // a Sunday: nothing owed
    EXPECT_FALSE(IsSaturdayHoliday(EncodeDate(2025, 5, 10)));  // a plain Saturday
}

// No month of the years the program is most used in comes out without a norm or above the most
// weekdays a month can hold.
TEST(WorkingTime, EveryMonthHasAPlausibleNorm)
{
    for (int year = 2018; year <= 2100; ++year)
        for (int month = 1; month <= 12; ++month) {
            const WorkingTime norm = MonthWorkingTime(year, month);
            ASSERT_GE(norm.days, 15) << year << '-' << month;
            ASSERT_LE(norm.days, 23) << year << '-' << month;
        }
}
