// Nationwide school breaks against the school-year calendars published for 2022/23-2025/26.
#include "calendar/school_year.h"

#include <gtest/gtest.h>

#include "calendar/date_format.h"

namespace {

struct Span
{
    int y1, m1, d1, y2, m2, d2;
    const char* name;
};

}  // namespace

// The first and last day of each break, and the days either side of it, which are not in it.
// Sources: the education ministry's calendars of the school years (2023/24: 23-31 December,
// 28 March-2 April, classes end 21 June; 2024/25: 17-22 April, classes end 27 June; 2025/26: 22-31
// December, 22 December being a Monday, 2-7 April, classes end 26 June) and sosnowiec.org.pl
// (December 2022: the Easter break of 2023 from 6 to 11 April).
TEST(SchoolYear, BreaksMatchPublishedCalendars)
{
    const Span spans[] = {
        {2023, 4, 6, 2023, 4, 11, "wiosenna przerwa świąteczna"},
        {2023, 12, 23, 2023, 12, 31, "zimowa przerwa świąteczna"},
        {2024, 3, 28, 2024, 4, 2, "wiosenna przerwa świąteczna"},
        {2024, 6, 22, 2024, 8, 31, "ferie letnie"},
        {2025, 4, 17, 2025, 4, 22, "wiosenna przerwa świąteczna"},
        {2025, 6, 28, 2025, 8, 31, "ferie letnie"},
        {2025, 12, 22, 2025, 12, 31, "zimowa przerwa świąteczna"},
        {2026, 4, 2, 2026, 4, 7, "wiosenna przerwa świąteczna"},
        {2026, 6, 27, 2026, 8, 31, "ferie letnie"},
    };
    for (const Span& s : spans) {
        const TDateTime first = EncodeDate(s.y1, s.m1, s.d1);
        const TDateTime last = EncodeDate(s.y2, s.m2, s.d2);
        SCOPED_TRACE(DateKey(first) + " - " + DateKey(last));
        EXPECT_NE(NationwideSchoolBreak(first - 1), s.name);
        for (TDateTime day = first; day <= last; day += 1)
            EXPECT_EQ(NationwideSchoolBreak(day), s.name) << DateKey(day);
        // 1 January is a holiday, not part of the break; 1 September starts the year or is a
        // day before it that no break names.
        EXPECT_EQ(NationwideSchoolBreak(last + 1), "");
    }
}

TEST(SchoolYear, ClassesEndOnTheFirstFridayAfterTwentiethOfJune)
{
    // 20 June itself a Friday (2025): a week later.
    EXPECT_EQ(DateKey(LastDayOfClasses(2025)), "2025.06.27");
    EXPECT_EQ(DateKey(LastDayOfClasses(2024)), "2024.06.21");
    EXPECT_EQ(DateKey(LastDayOfClasses(2026)), "2026.06.26");
    for (int year = 2018; year <= 2100; ++year) {
        const TDateTime last = LastDayOfClasses(year);
        ASSERT_EQ(DayOfWeek(last), 6) << year;
        ASSERT_GT(last, EncodeDate(year, 6, 20)) << year;
        ASSERT_LE(last, EncodeDate(year, 6, 27)) << year;
    }
}
