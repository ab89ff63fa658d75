// The day panel's sun and moon line for whole days.
#include "astro/sun_moon_line.h"

#include <cmath>

#include <gtest/gtest.h>

#include "astro/places.h"

namespace {

constexpr double kWarsawLat = 52.236620;
constexpr double kWarsawLon = 21.027916;

bool IsTimesOrDashes(const std::string& text)
{
    if (text == "----/----")
        return true;
    const std::string pattern = "00:00/00:00";
    if (text.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((pattern[i] == '0') != (text[i] >= '0' && text[i] <= '9') || (pattern[i] != '0' && text[i] != pattern[i]))
            return false;
    return true;
}

}  // namespace

TEST(SunMoonLine, WarsawOnSolsticesAndNewYear)
{
    struct Row
    {
        int y, m, d;
        const char* sun;
        const char* moon;  // nullptr: not checked
        const char* phase;
    };
    const Row rows[] = {
        {2024, 6, 21, "04:14/21:01", "21:21/02:51", "100 % (+)"},
        {2024, 12, 21, "07:43/15:25", nullptr, "61 % (-)"},
        {2025, 1, 1, nullptr, nullptr, "4 % (+)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        const SunMoonLine line = BuildSunMoonLine(EncodeDate(r.y, r.m, r.d), kWarsawLat, kWarsawLon);
        if (r.sun != nullptr) {
            EXPECT_EQ(line.sunText, r.sun);
            EXPECT_EQ(line.caption, std::string("W/Z: ") + r.sun);
        }
        if (r.moon) {
            EXPECT_EQ(line.moonText, r.moon);
        }
        EXPECT_EQ(line.phaseText, r.phase);
        // The sun, the moon and the phase, then the day's length and its place in the year.
        ASSERT_EQ(line.hintLines.size(), 5u);
        EXPECT_EQ(line.hintLines[0], "Słońce W/Z: " + line.sunText);
        EXPECT_EQ(line.hintLines[1], "Księżyc W/Z: " + line.moonText);
        EXPECT_EQ(line.hintLines[2], std::string("Księżyc faza: ") + r.phase);
        EXPECT_EQ(line.hintLines[3], line.dayLengthLine);
        EXPECT_EQ(line.hintLines[4], line.dayOfYearLine);
        EXPECT_EQ(line.Hint(), line.hintLines[0] + "\r\n" + line.hintLines[1] + "\r\n" + line.hintLines[2] + "\r\n"
                                   + line.hintLines[3] + "\r\n" + line.hintLines[4]);
    }
}

TEST(SunMoonLine, PolarDayShowsDashes)
{
    for (const int month : {6, 12}) {
        SCOPED_TRACE(month);
        const SunMoonLine line = BuildSunMoonLine(EncodeDate(2024, month, 21), 70, 21.0);
        EXPECT_EQ(line.sunText, "----/----");
        EXPECT_EQ(line.caption, "W/Z: ----/----");
    }
    // The Moon stays up at 80 N while the Sun still rises and sets (04:23 and 17:07 UT, winter time).
    const SunMoonLine line = BuildSunMoonLine(EncodeDate(2024, 3, 20), 80, 21);
    EXPECT_EQ(line.sunText, "05:23/18:07");
    EXPECT_EQ(line.moonText, "----/----");
}

TEST(SunMoonLine, ZoneOffsetFollowsTheFixedEuropeanRule)
{
    struct Row
    {
        int y, m, d, hours;
    };
    const Row rows[] = {
        {2024, 3, 30, 1},  {2024, 3, 31, 2},   // last Sunday of March already has summer time
        {2024, 10, 26, 2}, {2024, 10, 27, 1},  // the last Sunday of October has winter time
        {2025, 3, 29, 1},  {2025, 3, 30, 2},  {2025, 10, 25, 2}, {2025, 10, 26, 1},
        {2024, 1, 1, 1},   {2024, 7, 1, 2},   {2024, 12, 31, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        EXPECT_EQ(ZoneOffsetHours(EncodeDate(r.y, r.m, r.d)), r.hours);
        EXPECT_EQ(ZoneOffsetHours(EncodeDate(r.y, r.m, r.d) + 0.99), r.hours);
    }
}

TEST(SunMoonLine, PhaseRoundsHalfToEvenAndHalfAMonthIsStillWaxing)
{
    struct Row
    {
        long double illumination, age;
        const char* expected;
    };
    // Fractions that are exact in binary, so the halves are real halves.
    const Row rows[] = {
        {0.125L, 1, "12 % (+)"},          {0.375L, 1, "38 % (+)"},    {0.625L, 20, "62 % (-)"},
        {0.875L, 20, "88 % (-)"},         {0.0L, 0, "0 % (+)"},       {1.0L, 14.7652945L, "100 % (+)"},
        {1.0L, 14.7652946L, "100 % (-)"}, {0.004L, 29.5L, "0 % (-)"}, {0.996L, 14, "100 % (+)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected);
        EXPECT_EQ(FormatPhase(r.illumination, r.age), r.expected);
    }
}

TEST(SunMoonLine, AbsurdPlacesGiveTimesOrDashes)
{
    const double places[][2] = {{1e300, 21}, {52, 1e300}, {90, 21}, {-90, 21}, {52, 540}, {NAN, NAN}};
    for (const auto& place : places) {
        SCOPED_TRACE(testing::Message() << place[0] << ", " << place[1]);
        const SunMoonLine line = BuildSunMoonLine(EncodeDate(2024, 6, 21), place[0], place[1]);
        EXPECT_TRUE(IsTimesOrDashes(line.sunText)) << line.sunText;
        EXPECT_TRUE(IsTimesOrDashes(line.moonText)) << line.moonText;
        EXPECT_EQ(line.phaseText, "100 % (+)");
    }
    // The Sun at the pole on midsummer day never sets; at the south pole it never rises.
    EXPECT_EQ(BuildSunMoonLine(EncodeDate(2024, 6, 21), 90, 21).sunText, "----/----");
    EXPECT_EQ(BuildSunMoonLine(EncodeDate(2024, 6, 21), -90, 21).sunText, "----/----");
    // A longitude a full turn away is the same place.
    EXPECT_EQ(BuildSunMoonLine(EncodeDate(2024, 6, 21), kWarsawLat, kWarsawLon + 360).sunText, "04:14/21:01");
}

TEST(SunMoonLine, LatitudesBeyondThePolesHaveNoTimesAndLongitudesTurnRound)
{
    // Whatever the trigonometry would make of them, places off the globe show no times at all,
    // on every day: a huge latitude once gave finite sun times while a smaller one gave dashes.
    for (const double latitude : {1e308, -1e308, 1000.0, 90.000001, -90.5, double(NAN), double(INFINITY)}) {
        for (const TDateTime day : {EncodeDate(2024, 1, 10), EncodeDate(2024, 6, 21), EncodeDate(1905, 9, 3)}) {
            SCOPED_TRACE(testing::Message() << latitude << " on " << day);
            const SunMoonLine line = BuildSunMoonLine(day, latitude, kWarsawLon);
            EXPECT_EQ(line.sunText, "----/----");
            EXPECT_EQ(line.moonText, "----/----");
        }
    }
    // Any number of turns, either way, and the half turn beyond 180 lands on the other side.
    const TDateTime day = EncodeDate(2024, 3, 14);
    const SunMoonLine warsaw = BuildSunMoonLine(day, kWarsawLat, kWarsawLon);
    for (const double longitude : {kWarsawLon + 3600, kWarsawLon - 720, kWarsawLon + 360 * 1e6}) {
        SCOPED_TRACE(longitude);
        const SunMoonLine line = BuildSunMoonLine(day, kWarsawLat, longitude);
        EXPECT_EQ(line.sunText, warsaw.sunText);
        EXPECT_EQ(line.moonText, warsaw.moonText);
    }
    EXPECT_EQ(BuildSunMoonLine(day, -33.9, 200).sunText, BuildSunMoonLine(day, -33.9, -160).sunText);
    EXPECT_EQ(BuildSunMoonLine(day, 40, -190).moonText, BuildSunMoonLine(day, 40, 170).moonText);
    EXPECT_NE(warsaw.sunText, "----/----");
}

// Before 1899-12-30 dates are negative numbers; the times of day must not turn round there.
// Sunrise in Warsaw in the last days of December is at about 07:45 and sunset at about 15:30
// in any century, and moves by at most a minute a day.
TEST(SunMoonLine, DaysBeforeTheEpochKeepTheirTimes)
{
    const std::string around = BuildSunMoonLine(EncodeDate(1899, 12, 30), kWarsawLat, kWarsawLon).sunText;
    for (const TDateTime day : {EncodeDate(1899, 12, 29), EncodeDate(1899, 12, 31), EncodeDate(1, 12, 30)}) {
        SCOPED_TRACE(testing::Message() << day);
        const std::string sun = BuildSunMoonLine(day, kWarsawLat, kWarsawLon).sunText;
        ASSERT_EQ(sun.size(), 11u);
        EXPECT_EQ(sun.substr(0, 3), around.substr(0, 3));  // "07:"
        EXPECT_EQ(sun.substr(5, 4), around.substr(5, 4));  // "/15:"
    }
    EXPECT_EQ(around.substr(0, 3), "07:");
    const std::string summer = BuildSunMoonLine(EncodeDate(1800, 6, 21), kWarsawLat, kWarsawLon).sunText;
    EXPECT_EQ(summer.substr(0, 3), "04:");
    EXPECT_EQ(summer.substr(5, 3), "/21");
}

// The day's length runs from the rise to the set the line shows, so it agrees with them to the
// minute their rounding allows; over a year it changes by at most a few minutes a day in Warsaw
// (about 3.6 around the equinoxes, up to 5 after rounding both) and the comparison with yesterday says so in the right
// direction.
TEST(SunMoonLine, DayLengthFollowsTheShownTimes)
{
    SunMoonAlmanac almanac(kWarsawLat, kWarsawLon);
    std::optional<int> previous;
    for (TDateTime day = EncodeDate(2025, 1, 1); day <= EncodeDate(2025, 12, 31); day += 1) {
        const SunMoonLine line = almanac.Line(day);
        SCOPED_TRACE(line.sunText + " " + line.dayLengthLine);
        const auto minutesOf = [](const std::string& hhmm) {
            return std::stoi(hhmm.substr(0, 2)) * 60 + std::stoi(hhmm.substr(3, 2));
        };
        const int shown = minutesOf(line.sunText.substr(6, 5)) - minutesOf(line.sunText.substr(0, 5));
        const std::size_t colon = line.dayLengthText.find(':');
        ASSERT_NE(colon, std::string::npos);
        const int length = std::stoi(line.dayLengthText.substr(0, colon)) * 60
                           + std::stoi(line.dayLengthText.substr(colon + 1));
        EXPECT_LE(std::abs(length - shown), 1);
        if (previous) {
            EXPECT_LE(std::abs(length - *previous), 5);
            EXPECT_EQ(line.dayLengthLine, DayLengthLine(length, previous));
        }
        previous = length;
    }
}

TEST(SunMoonLine, DayLengthAndDayOfYearTexts)
{
    EXPECT_EQ(DayLengthLine(476, 478), "Dzień trwa 7 h 56 min, o 2 min krócej niż wczoraj");
    EXPECT_EQ(DayLengthLine(1003, 1000), "Dzień trwa 16 h 43 min, o 3 min dłużej niż wczoraj");
    EXPECT_EQ(DayLengthLine(462, 462), "Dzień trwa 7 h 42 min, tyle co wczoraj");
    EXPECT_EQ(DayLengthLine(45, std::nullopt), "Dzień trwa 0 h 45 min");
    EXPECT_EQ(DayOfYearLine(EncodeDate(2025, 12, 7)), "341. dzień roku, zostało 24");
    EXPECT_EQ(DayOfYearLine(EncodeDate(2024, 12, 31)), "366. dzień roku, zostało 0");
    EXPECT_EQ(DayOfYearLine(EncodeDate(2024, 2, 29) + 0.5), "60. dzień roku, zostało 306");
}

// At 80 N the Sun neither rises nor sets around the solstices: the hint names which, the sun line
// keeps its dashes and the printed length stays empty. Also in the south, where the seasons turn.
TEST(SunMoonLine, PolarDayAndNightAreNamed)
{
    struct Row
    {
        double latitude;
        int m, d;
        const char* line;
    };
    const Row rows[] = {{80, 6, 21, "Dzień polarny"},
                        {80, 12, 21, "Noc polarna"},
                        {-80, 6, 21, "Noc polarna"},
                        {-80, 12, 21, "Dzień polarny"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.latitude << " on " << r.m << '-' << r.d);
        const SunMoonLine line = BuildSunMoonLine(EncodeDate(2025, r.m, r.d), r.latitude, 15.0);
        EXPECT_EQ(line.sunText, "----/----");
        EXPECT_EQ(line.dayLengthText, "");
        EXPECT_EQ(line.dayLengthLine, r.line);
        ASSERT_EQ(line.hintLines.size(), 5u);
        EXPECT_EQ(line.hintLines[3], r.line);
    }
}
