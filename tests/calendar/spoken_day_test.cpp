// The words a screen reader hears for a day of the month grid.
#include "calendar/spoken_day.h"

#include <gtest/gtest.h>

// Weekdays from printed calendars; the ends of the supported range from the proleptic Gregorian
// calendar (1 January of year 1 was a Monday, 31 December 9999 a Friday).
TEST(SpokenDayName, NamesWeekdayDayGenitiveMonthAndYear)
{
    struct Row
    {
        int y, m, d;
        const char* spoken;
    };
    const Row rows[] = {
        {2025, 12, 24, "środa, 24 grudnia 2025"},       {2024, 2, 29, "czwartek, 29 lutego 2024"},
        {2023, 1, 1, "niedziela, 1 stycznia 2023"},     {2026, 3, 2, "poniedziałek, 2 marca 2026"},
        {2026, 4, 7, "wtorek, 7 kwietnia 2026"},        {2026, 5, 1, "piątek, 1 maja 2026"},
        {2026, 6, 13, "sobota, 13 czerwca 2026"},       {2026, 7, 30, "czwartek, 30 lipca 2026"},
        {2026, 8, 15, "sobota, 15 sierpnia 2026"},      {2026, 9, 1, "wtorek, 1 września 2026"},
        {2026, 10, 31, "sobota, 31 października 2026"}, {2026, 11, 11, "środa, 11 listopada 2026"},
        {1, 1, 1, "poniedziałek, 1 stycznia 1"},        {9999, 12, 31, "piątek, 31 grudnia 9999"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.spoken);
        EXPECT_EQ(SpokenDayName(EncodeDate(r.y, r.m, r.d), {}), r.spoken);
        // The time of day never reaches the words (before 1899-12-30 a value's fraction counts
        // backwards, so only later days are simply added to).
        if (r.y >= 1900) {
            EXPECT_EQ(SpokenDayName(EncodeDate(r.y, r.m, r.d) + 0.75, {}), r.spoken);
        }
    }
}

TEST(SpokenDayName, AddsHolidayMarksAndToday)
{
    struct Row
    {
        const char* what;
        SpokenDayFacts facts;
        const char* spoken;
    };
    const Row rows[] = {
        {"holiday with a note", {"Wigilia", false, true, false}, "środa, 24 grudnia 2025, Wigilia, notatka"},
        {"today only", {"", false, false, true}, "środa, 24 grudnia 2025, dziś"},
        {"all at once",
         {"Wigilia", true, true, true},
         "środa, 24 grudnia 2025, Wigilia, niedziela handlowa, notatka, dziś"},
        // The day panel's feast texts end in CR LF and may hold two lines; blanks are no words.
        {"feast lines",
         {"Boże Narodzenie\r\n Wigilia \r\n\r\n", false, false, false},
         "środa, 24 grudnia 2025, Boże Narodzenie, Wigilia"},
        {"lone line feeds", {"\nA\n\tB", false, false, false}, "środa, 24 grudnia 2025, A, B"},
        {"blank holiday", {" \r\n \t", false, true, false}, "środa, 24 grudnia 2025, notatka"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(SpokenDayName(EncodeDate(2025, 12, 24), r.facts), r.spoken);
    }
}
