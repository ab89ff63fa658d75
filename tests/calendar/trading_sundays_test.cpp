// Trading Sundays against the lists published for each year since the ban began.
#include "calendar/trading_sundays.h"

#include <gtest/gtest.h>

#include <set>

#include "calendar/date_format.h"
#include "calendar/feasts.h"

namespace {

struct Year
{
    int year;
    std::set<std::string> trading;  // "mm.dd"
};

// Each year as published by at least two Polish news sites (tests/data/README names them).
// Where they disagree the act decides:
// - 2018: the February list on wiara.pl names 20 August among the closed days, a Monday (19
//   August is meant); the June lists of rmf24.pl and tvp.info agree with the act.
// - 2023: lists printed before the amendment of 29 November 2023 (radiozet.pl, dzienniklodzki.pl)
//   give 17 and 24 December; the amended act and the December lists (tokfm.pl, superbiz.se.pl)
//   give 10 and 17 December.
// - 2025: lists printed before the 2025 amendment (dziennikwschodni.pl, December 2024) lack 7
//   December; tvn24.pl and businessinsider.com.pl have it.
const Year kPublished[] = {
    {2018, {"03.04", "03.25", "04.29", "05.06", "05.27", "06.03", "06.24", "07.01", "07.29", "08.05", "08.26",
            "09.02", "09.30", "10.07", "10.28", "11.04", "11.25", "12.02", "12.16", "12.23", "12.30"}},
    {2019,
     {"01.27", "02.24", "03.31", "04.14", "04.28", "05.26", "06.30", "07.28", "08.25", "09.29", "10.27", "11.24",
      "12.15", "12.22", "12.29"}},
    {2020, {"01.26", "04.05", "04.26", "06.28", "08.30", "12.13", "12.20"}},
    {2021, {"01.31", "03.28", "04.25", "06.27", "08.29", "12.12", "12.19"}},
    {2022, {"01.30", "04.10", "04.24", "06.26", "08.28", "12.11", "12.18"}},
    {2023, {"01.29", "04.02", "04.30", "06.25", "08.27", "12.10", "12.17"}},
    {2024, {"01.28", "03.24", "04.28", "06.30", "08.25", "12.15", "12.22"}},
    {2025, {"01.26", "04.13", "04.27", "06.29", "08.31", "12.07", "12.14", "12.21"}},
    {2026, {"01.25", "03.29", "04.26", "06.28", "08.30", "12.06", "12.13", "12.20"}},
};

}  // namespace

TEST(TradingSundays, MatchPublishedLists)
{
    for (const Year& y : kPublished) {
        for (TDateTime day = EncodeDate(y.year, 1, 1); day <= EncodeDate(y.year, 12, 31); day += 1) {
            const std::string key = FormatDateTime("mm.dd", day);
            SCOPED_TRACE(std::to_string(y.year) + "." + key);
            const std::optional<bool> trading = IsTradingSunday(day);
            if (DayOfWeek(day) != 1 || day < EncodeDate(2018, 3, 1)) {
                EXPECT_FALSE(trading.has_value());
                continue;
            }
            ASSERT_TRUE(trading.has_value());
            EXPECT_EQ(*trading, y.trading.count(key) == 1);
        }
    }
}

TEST(TradingSundays, AnyTimeOfTheDayCounts)
{
    EXPECT_EQ(IsTradingSunday(EncodeDate(2025, 12, 14) + 0.99), std::optional<bool>(true));
    EXPECT_EQ(IsTradingSunday(EncodeDate(2018, 2, 25)), std::nullopt);  // the ban began on 1 March 2018
}

// Easter on 25 April makes the last Sunday of April a holiday: closed, and no other Sunday of
// the month takes its place.
TEST(TradingSundays, EasterOnTheLastSundayOfAprilStaysClosed)
{
    EXPECT_EQ(IsTradingSunday(EncodeDate(2038, 4, 25)), std::optional<bool>(false));
    EXPECT_EQ(IsTradingSunday(EncodeDate(2038, 4, 18)), std::optional<bool>(true));  // Palm Sunday
    EXPECT_EQ(IsTradingSunday(EncodeDate(2038, 4, 11)), std::optional<bool>(false));
}

// With 24 December on a Sunday, the three Sundays before it (2028: 3, 10 and 17 December).
TEST(TradingSundays, WigiliaOnASundayMovesTheChristmasRunBack)
{
    EXPECT_EQ(IsTradingSunday(EncodeDate(2028, 12, 24)), std::optional<bool>(false));
    for (const int day : {3, 10, 17})
        EXPECT_EQ(IsTradingSunday(EncodeDate(2028, 12, day)), std::optional<bool>(true)) << day;
    EXPECT_EQ(IsTradingSunday(EncodeDate(2028, 11, 26)), std::optional<bool>(false));
}

TEST(TradingSundays, NoHolidayAndARightCountInAnyYear)
{
    for (int year = 2020; year <= 2100; ++year) {
        SCOPED_TRACE(year);
        int count = 0;
        for (TDateTime day = EncodeDate(year, 1, 1); day <= EncodeDate(year, 12, 31); day += 1) {
            if (IsTradingSunday(day).value_or(false)) {
                ++count;
                EXPECT_FALSE(IsPublicHoliday(day)) << DateKey(day);
            }
        }
        // Four month ends, Palm Sunday and the Christmas run, less one when Easter is April's
        // last Sunday.
        const int christmas = year >= 2025 ? 3 : 2;
        EXPECT_GE(count, 4 + christmas);
        EXPECT_LE(count, 5 + christmas);
    }
}
