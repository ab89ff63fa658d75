// Easter and the moveable feasts, checked against published dates and an independent computus.
#include "calendar/feasts.h"

#include <gtest/gtest.h>

#include "calendar/date_format.h"
#include "calendar/day_info.h"

namespace {

// The "Meeus/Jones/Butcher" Gregorian algorithm: a different derivation from the one the program
// uses, so agreement over every year means something.
DateParts AnonymousGregorianEaster(int y)
{
    const int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return {y, month, day};
}

// Gauss's Easter formula with the Gregorian corrections, with the two exceptions.
DateParts GaussEaster(int y)
{
    const int a = y % 19, b = y % 4, c = y % 7;
    const int k = y / 100, p = (13 + 8 * k) / 25, q = k / 4;
    const int M = (15 - p + k - q) % 30, N = (4 + k - q) % 7;
    const int d = (19 * a + M) % 30, e = (2 * b + 4 * c + 6 * d + N) % 7;
    int day = 22 + d + e;
    if (d == 29 && e == 6)
        return {y, 4, 19};
    if (d == 28 && e == 6 && (11 * M + 11) % 30 < 19)
        return {y, 4, 18};
    if (day > 31)
        return {y, 4, day - 31};
    return {y, 3, day};
}

std::string Feast(int y, int m, int d)
{
    return FeastOfDay(EncodeDate(y, m, d), EasterSunday(y));
}

}  // namespace

TEST(Easter, PublishedDates)
{
    struct Row
    {
        int year, month, day;
    };
    const Row rows[] = {{2000, 4, 23}, {2008, 3, 23}, {2024, 3, 31}, {2025, 4, 20}, {2026, 4, 5}, {2038, 4, 25},
                        {2285, 3, 22}, {1818, 3, 22}, {1943, 4, 25}, {1954, 4, 18}, {1981, 4, 19}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.year);
        EXPECT_EQ(DecodeDate(EasterSunday(r.year)), (DateParts{r.year, r.month, r.day}));
    }
}

TEST(Easter, AgreesWithGaussForEveryYear)
{
    for (int y = 1; y <= 9999; ++y) {
        const DateParts got = DecodeDate(EasterSunday(y));
        ASSERT_EQ(got, GaussEaster(y)) << y;
        ASSERT_EQ(got, AnonymousGregorianEaster(y)) << y;
        ASSERT_EQ(DayOfWeek(EasterSunday(y)), 1) << y;
        ASSERT_TRUE((got.month == 3 && got.day >= 22) || (got.month == 4 && got.day <= 25)) << y;
    }
}

TEST(Feasts, TheWeekAroundEaster2024)
{
    EXPECT_EQ(Feast(2024, 2, 14), "Popielec\r\n");
    EXPECT_EQ(Feast(2024, 3, 28), "Wielki Czwartek\r\n");
    EXPECT_EQ(Feast(2024, 3, 29), "Wielki Piątek\r\n");
    EXPECT_EQ(Feast(2024, 3, 30), "Wielka Sobota\r\n");
    EXPECT_EQ(Feast(2024, 3, 31), "Wielkanoc\r\n");
    EXPECT_EQ(Feast(2024, 4, 1), "Pon. Wielkanocny\r\n");
    EXPECT_EQ(Feast(2024, 5, 30), "Boże Ciało\r\n");
    EXPECT_EQ(Feast(2024, 4, 2), "");
    EXPECT_EQ(Feast(2024, 2, 15), "");
}

TEST(Feasts, ExtremeEasters)
{
    EXPECT_EQ(Feast(2038, 4, 25), "Wielkanoc\r\n");
    EXPECT_EQ(Feast(2038, 4, 26), "Pon. Wielkanocny\r\n");
    EXPECT_EQ(Feast(2038, 6, 24), "Boże Ciało\r\n");
    EXPECT_EQ(Feast(2285, 3, 22), "Wielkanoc\r\n");
    EXPECT_EQ(Feast(2285, 2, 4), "Popielec\r\n");
}

// Dates as Polish church calendars print them; Ascension is kept on the following Sunday.
TEST(Feasts, TheFeastsCalendarsPrint)
{
    struct Row
    {
        int y, m, d;
        const char* text;
    };
    const Row rows[] = {
        {2025, 2, 27, "Tłusty Czwartek\r\n"},
        {2026, 2, 12, "Tłusty Czwartek\r\n"},
        {2025, 4, 13, "Niedziela Palmowa\r\n"},
        {2025, 6, 1, "Wniebowstąpienie Pańskie\r\n"},
        {2025, 6, 8, "Zesłanie Ducha Świętego — Zielone Świątki\r\n"},
        {2025, 11, 30, "I Niedziela Adwentu\r\n"},
        {2022, 11, 27, "I Niedziela Adwentu\r\n"},  // Christmas on a Sunday: the earliest start
        {2023, 12, 3, "I Niedziela Adwentu\r\n"},   // Christmas on a Monday: the latest
        {2023, 11, 26, ""},
        {2025, 5, 29, ""},  // the Thursday of Ascension elsewhere
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        EXPECT_EQ(Feast(r.y, r.m, r.d), r.text);
    }
}

TEST(Feasts, HolidayEntriesFollowTheGridsYear)
{
    EXPECT_EQ(MoveableHolidayEntries(2024).easterMonday, "2024.04.01");
    EXPECT_EQ(MoveableHolidayEntries(2024).corpusChristi, "2024.05.30");
    EXPECT_EQ(MoveableHolidayEntries(2025).easterMonday, "2025.04.21");
    EXPECT_EQ(MoveableHolidayEntries(2025).corpusChristi, "2025.06.19");
    EXPECT_EQ(MoveableHolidayEntries(2026).easterMonday, "2026.04.06");
    EXPECT_EQ(MoveableHolidayEntries(2026).corpusChristi, "2026.06.04");
    ASSERT_EQ(FixedHolidays().size(), 8u);
    EXPECT_EQ(FixedHolidays().front(), "    .12.25");
    EXPECT_EQ(FixedHolidays().back(), "    .11.11");
}

TEST(DayTexts, FeastReplacesTheTablesHoliday)
{
    NameDayTable table;
    table.Load();
    // 14 February 2024 is Ash Wednesday: the feast wins over the table's observance.
    DayTexts ash = NamesAndHoliday(table, EncodeDate(2024, 2, 14), EasterSunday(2024));
    EXPECT_EQ(ash.holiday, "Popielec\r\n");
    DayTexts val = NamesAndHoliday(table, EncodeDate(2025, 2, 14), EasterSunday(2025));
    EXPECT_EQ(val.holiday, "Dzień zakochanych");
    DayTexts plain = NamesAndHoliday(table, EncodeDate(2024, 1, 2), EasterSunday(2024));
    EXPECT_EQ(plain.holiday, "");
}

// Easter on 22 March puts Ascension on 3 May: the holiday keeps its name and the feast follows it.
// The seven older feasts still replace the table's text.
TEST(DayTexts, AFixedHolidayKeepsItsTextBeforeALaterFeast)
{
    NameDayTable table;
    table.Load();
    const std::string may3 = NamesAndHoliday(table, EncodeDate(2025, 5, 3), EasterSunday(2025)).holiday;
    ASSERT_FALSE(may3.empty());
    EXPECT_EQ(NamesAndHoliday(table, EncodeDate(2285, 5, 3), EasterSunday(2285)).holiday,
              may3 + ", Wniebowstąpienie Pańskie\r\n");
    EXPECT_EQ(NamesAndHoliday(table, EncodeDate(2025, 4, 13), EasterSunday(2025)).holiday, "Niedziela Palmowa\r\n");
}

// The grids colour 6 January from 2011 and 24 December from 2025 (the laws that made them days
// off); the panel names the holiday in exactly those years, and the table's own text wins.
TEST(DayTexts, LaterPublicHolidaysAreNamedFromTheYearTheyBegan)
{
    NameDayTable table;
    table.Load();
    struct Row
    {
        int y, m, d;
        const char* holiday;
    };
    const Row rows[] = {
        {2011, 1, 6, "Trzech Króli"}, {2024, 1, 6, "Trzech Króli"}, {2010, 1, 6, ""},
        {2025, 12, 24, "Wigilia"},    {2024, 12, 24, "Wigilia"},    {2024, 1, 7, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        const DayTexts t = NamesAndHoliday(table, EncodeDate(r.y, r.m, r.d), EasterSunday(r.y));
        EXPECT_EQ(t.holiday, r.holiday);
        if (r.m == 1 && r.d == 6) {
            EXPECT_EQ(t.names, "Kacpra\r\n Melchiora\r\n Baltazara");
        }
    }
}
