// The Polish calendar's lines of the printed day view: after the older lines, in a fixed order.
#include "app/print_day.h"

#include <gtest/gtest.h>

#include "print_day_lines.h"

TEST(PrintDayCalendar, KeysKeepTheirOrderAndTheNewOnesFollow)
{
    const auto lines = PrintDayLines(PrintDayInput{EncodeDate(2025, 12, 14)});
    std::vector<std::string> keys;
    for (const auto& line : lines)
        keys.push_back(line.first);
    const std::vector<std::string> expected = {
        "date",         "weekday",       "month",      "holiday",     "names",     "sun",
        "moon",         "phase",         "note",       "yearly-note", "reminders", "trading-sunday",
        "working-days", "working-hours", "day-length", "day-of-year", "school"};
    EXPECT_EQ(keys, expected);
}

TEST(PrintDayCalendar, TradingSundayOnSundaysOnly)
{
    struct Row
    {
        int y, m, d;
        const char* trading;
    };
    const Row rows[] = {
        {2025, 12, 14, "tak"}, {2025, 12, 28, "nie"}, {2025, 12, 15, ""}, {2018, 2, 25, ""},  // before the ban
        {2018, 4, 1, "nie"},  // the first Sunday of April 2018 was Easter
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        EXPECT_EQ(Value(PrintDayLines(PrintDayInput{EncodeDate(r.y, r.m, r.d)}), "trading-sunday"), r.trading);
    }
}

// The norm of the day's month on every day of it; the month tables are checked in the calendar's tests.
TEST(PrintDayCalendar, WorkingTimeOfTheDaysMonth)
{
    const auto lines = PrintDayLines(PrintDayInput{EncodeDate(2025, 11, 30)});
    EXPECT_EQ(Value(lines, "working-days"), "18");
    EXPECT_EQ(Value(lines, "working-hours"), "144");
}

// Warsaw, the program's default place. The length from the almanac's times (rise 07:33, set
// 15:26 local on 7 December 2025 in published Warsaw tables, 7 h 53 min), within a minute.
TEST(PrintDayCalendar, DayLengthAndDayOfYear)
{
    struct Row
    {
        int y, m, d;
        double latitude;
        const char* dayOfYear;
        bool hasLength;
    };
    const Row rows[] = {
        {2025, 12, 7, 52.2297, "341/365", true}, {2024, 12, 31, 52.2297, "366/366", true},
        {2025, 1, 1, 52.2297, "1/365", true},    {2025, 6, 21, 80.0, "172/365", false},  // polar day
        {2025, 12, 21, 80.0, "355/365", false},                                          // polar night
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d << " at " << r.latitude);
        PrintDayInput input{EncodeDate(r.y, r.m, r.d)};
        input.latitude = r.latitude;
        input.longitude = 21.0122;
        const auto lines = PrintDayLines(input);
        EXPECT_EQ(Value(lines, "day-of-year"), r.dayOfYear);
        EXPECT_EQ(Value(lines, "day-length").empty(), !r.hasLength);
    }
}

TEST(PrintDayCalendar, SchoolBreaks)
{
    EXPECT_EQ(Value(PrintDayLines(PrintDayInput{EncodeDate(2025, 12, 22)}), "school"), "zimowa przerwa świąteczna");
    EXPECT_EQ(Value(PrintDayLines(PrintDayInput{EncodeDate(2025, 12, 19)}), "school"), "");
}

// With a voivodeship, its winter holidays; without one, or for another voivodeship, none. The
// nationwide breaks are named either way.
TEST(PrintDayCalendar, WinterHolidaysOfTheChosenVoivodeship)
{
    const WinterHolidays winter = ParseWinterHolidays("2026-02-02 2026-02-15 dolnośląskie, opolskie\n").holidays;
    struct Row
    {
        int y, m, d;
        const char* voivodeship;
        const char* school;
    };
    const Row rows[] = {
        {2026, 2, 10, "dolnośląskie", "ferie zimowe"},
        {2026, 2, 2, "opolskie", "ferie zimowe"},
        {2026, 2, 15, "opolskie", "ferie zimowe"},
        {2026, 2, 16, "opolskie", ""},
        {2026, 2, 10, "mazowieckie", ""},
        {2026, 2, 10, "", ""},
        {2026, 2, 10, "Opolskie", ""},
        {2026, 4, 7, "opolskie", "wiosenna przerwa świąteczna"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d << ' ' << r.voivodeship);
        PrintDayInput input{EncodeDate(r.y, r.m, r.d)};
        input.winterHolidays = &winter;
        input.voivodeship = r.voivodeship;
        EXPECT_EQ(Value(PrintDayLines(input), "school"), r.school);
    }
}
