// The almanac of many days: the same lines as one day at a time, whatever the order of the days.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "astro/places.h"
#include "astro/sun_moon_line.h"
#include "astro/vsop.h"
#include "calendar/date_format.h"

namespace {

struct Place
{
    std::string name;
    double latitude;
    double longitude;
};

// The fifteen built-in cities, and places where the polar day and night, the southern sky and the
// date line take other branches of the computation.
std::vector<Place> Places()
{
    std::vector<Place> places;
    CityTable table;
    table.Load();
    for (const std::string& name : table.Names()) {
        const std::optional<CityCoordinates> c = table.Coordinates(name);
        places.push_back({name, ParseCoordinate(c->latitude, 0), ParseCoordinate(c->longitude, 0)});
    }
    places.push_back({"70N", 70, 21});
    places.push_back({"80N", 80, 21});
    places.push_back({"65N", 65, 21});
    places.push_back({"34S", -33.92, 18.42});
    places.push_back({"date line", -41.29, 179.99});
    places.push_back({"west", 40.71, -74.01});
    return places;
}

void ExpectSameLine(const SunMoonLine& expected, const SunMoonLine& actual)
{
    EXPECT_EQ(expected.caption, actual.caption);
    EXPECT_EQ(expected.moonText, actual.moonText);
    EXPECT_EQ(expected.phaseText, actual.phaseText);
    EXPECT_EQ(expected.Hint(), actual.Hint());
}

}  // namespace

// Runs of consecutive days in each of ten years at every place: long enough to cross the fresh
// evaluations of the Earth's series, the changes of zone offset and every phase of the Moon.
TEST(SunMoonAlmanac, ConsecutiveDaysGiveTheLinesOfSeparateDays)
{
    const std::vector<Place> places = Places();
    ASSERT_EQ(places.size(), 21u);
    for (std::size_t p = 0; p < places.size(); ++p) {
        const Place& place = places[p];
        SunMoonAlmanac almanac(place.latitude, place.longitude);
        for (int year = 2020; year < 2030; ++year) {
            // A different stretch of each year for each place and year, so that the runs together
            // reach every season.
            const TDateTime start = EncodeDate(year, 1, 1) + static_cast<int>((p * 37 + year * 53) % 320);
            for (int i = 0; i < 40; ++i) {
                const TDateTime day = start + i;
                SCOPED_TRACE(testing::Message() << place.name << ' ' << FormatDateTime("yyyy.mm.dd", day));
                ExpectSameLine(BuildSunMoonLine(day, place.latitude, place.longitude), almanac.Line(day));
            }
        }
    }
}

TEST(SunMoonAlmanac, AnyOrderOfDaysGivesTheSameLines)
{
    SunMoonAlmanac almanac(52.236620, 21.027916);
    const TDateTime base = EncodeDate(2024, 3, 28);
    // Backwards, repeated, jumps far away and back to a day whose neighbours are half remembered.
    const int offsets[] = {0, 1, 2, 2, 1, 0, -1, 40, 3, -300, -299, 41, 4, 5, -1, 100000, -100000};
    for (int offset : offsets) {
        const TDateTime day = base + offset;
        SCOPED_TRACE(offset);
        ExpectSameLine(BuildSunMoonLine(day, 52.236620, 21.027916), almanac.Line(day));
    }
    // A time of day is ignored as BuildSunMoonLine ignores it.
    ExpectSameLine(BuildSunMoonLine(base, 52.236620, 21.027916), almanac.Line(base + 0.9));
}

TEST(SunMoonAlmanac, PlacesWithoutAnswerShowDashes)
{
    for (const auto& [lat, lon] : {std::pair{91.0, 0.0}, {NAN, 21.0}, {52.0, NAN}, {-1e300, 0.0}}) {
        SCOPED_TRACE(testing::Message() << lat << ' ' << lon);
        SunMoonAlmanac almanac(lat, lon);
        for (int i = 0; i < 3; ++i)
            ExpectSameLine(BuildSunMoonLine(EncodeDate(2024, 6, 20 + i), lat, lon),
                           almanac.Line(EncodeDate(2024, 6, 20 + i)));
    }
}

// The Earth carried from day to day stays on the series over a long run, also a quarter of a day
// back from each day and at both ends of the calendar.
TEST(EarthDayRun, StaysOnTheSeriesOverLongRuns)
{
    for (const TDateTime start : {EncodeDate(2024, 1, 1), EncodeDate(1, 1, 1), EncodeDate(9998, 1, 1)}) {
        EarthDayRun run;
        for (int i = 0; i < 400; ++i) {
            const TDateTime day = start + i;
            run.MoveTo(day);
            for (const Extended offset : {0.0L, -0.25L}) {
                const EarthPosition expected = EarthCoordinates(day + static_cast<double>(offset));
                const EarthPosition actual = offset == 0 ? run.Position() : run.PositionAfter(offset);
                SCOPED_TRACE(testing::Message() << start << '+' << i << ' ' << static_cast<double>(offset));
                ASSERT_NEAR(static_cast<double>(std::remainder(expected.l - actual.l, 360.0L)), 0, 1e-11);
                ASSERT_NEAR(static_cast<double>(expected.b), static_cast<double>(actual.b), 1e-11);
                ASSERT_NEAR(static_cast<double>(expected.r), static_cast<double>(actual.r), 1e-13);
            }
        }
    }
}
