// Rise and set of the Sun and the Moon against almanac and ephemeris times, and their failure modes.
#include "astro/rise_set.h"

#include <cmath>

#include <gtest/gtest.h>

#include "calendar/date_format.h"

namespace {

constexpr long double kWarsawLat = 52.236620L;
constexpr long double kWarsawWest = -21.027916L;

std::string Hhnn(TDateTime t)
{
    return FormatDateTime("hh:nn", t);
}

}  // namespace

TEST(RiseSet, MatchesAlmanacTimesInUt)
{
    // Sun: almanac times. Moon: an independent ephemeris; the Moon's times need the geocentric
    // positions and the repeated correction (a single step from topocentric positions gives
    // 19:22/00:41 in Warsaw and 18:39/04:05 at 80 N).
    struct Row
    {
        const char* where;
        RiseSetBody body;
        long double west, lat;
        int y, m, d;
        const char* rise;
        const char* set;
    };
    const RiseSetBody sun = RiseSetBody::Sun;
    const RiseSetBody moon = RiseSetBody::Moon;
    const Row rows[] = {
        {"Warsaw summer", sun, kWarsawWest, kWarsawLat, 2024, 6, 21, "02:14", "19:01"},
        {"Warsaw winter", sun, kWarsawWest, kWarsawLat, 2024, 12, 21, "06:43", "14:25"},
        // The rise comes out late in the UT day, after the set: both are shown as they come.
        {"65 N midsummer", sun, -21, 65, 2024, 6, 21, "23:37", "21:39"},
        {"80 N equinox", sun, -21, 80, 2024, 3, 20, "04:23", "17:07"},
        {"Warsaw summer", moon, kWarsawWest, kWarsawLat, 2024, 6, 21, "19:21", "00:51"},
        {"80 N after the equinox", moon, -21, 80, 2024, 3, 25, "18:34", "04:25"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.where << (r.body == sun ? " Sun" : " Moon"));
        const TDateTime day = EncodeDate(r.y, r.m, r.d);
        const TDateTime rise = r.body == sun ? SunRise(r.west, r.lat, day) : MoonRise(r.west, r.lat, day);
        const TDateTime set = r.body == sun ? SunSet(r.west, r.lat, day) : MoonSet(r.west, r.lat, day);
        EXPECT_EQ(Hhnn(rise), r.rise);
        EXPECT_EQ(Hhnn(set), r.set);
        // The time of day handed in does not matter for the Sun: the event belongs to the UT day.
        if (r.body == sun) {
            EXPECT_EQ(Hhnn(SunRise(r.west, r.lat, day + 0.9)), r.rise);
        }
        const RiseAndSet both = RiseSetPair(r.body, r.west, r.lat, day);
        EXPECT_EQ(both.rise, rise);
        EXPECT_EQ(both.set, set);
    }
}

TEST(RiseSet, PolarDayAndNightAndCircumpolarMoonHaveNoEvents)
{
    for (const int month : {6, 12}) {
        SCOPED_TRACE(month);
        const TDateTime day = EncodeDate(2024, month, 21);
        EXPECT_THROW(SunRise(-21, 70, day), E_NoRiseSet);
        EXPECT_THROW(SunSet(-21, 70, day), E_NoRiseSet);
        EXPECT_THROW(SunRise(-21, -70, day), E_NoRiseSet);
    }
    EXPECT_THROW(MoonRise(-21, 80, EncodeDate(2024, 3, 20)), E_NoRiseSet);
    EXPECT_THROW(MoonSet(-21, 80, EncodeDate(2024, 3, 20)), E_NoRiseSet);
    try {
        SunRise(-21, 70, EncodeDate(2024, 6, 21));
    } catch (const E_NoRiseSet& e) {
        EXPECT_STREQ(e.what(), "No rises or sets calculable");
    }
}

TEST(RiseSet, InterpolationFollowsRightAscensionThroughZero)
{
    // Right ascension wraps from 359 to 1 degree around the March equinox: the differences are
    // taken across the wrap, and the threshold for it is 100 degrees.
    EXPECT_NEAR(static_cast<double>(Interpolate3(359, 0, 1, 0.5L)), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(Interpolate3(358, 359, 0.5L, 0.5L)), 359.6875, 1e-12);
    EXPECT_NEAR(static_cast<double>(Interpolate3(1, 2, 4, 1)), 4, 1e-15);
    EXPECT_NEAR(static_cast<double>(Interpolate3(10, 120, 230, 0)), 120, 1e-15);
    // A step of 150 degrees back already counts as a wrap (a = 210, b = 0): 50 + 0.25 * 105.
    EXPECT_NEAR(static_cast<double>(Interpolate3(200, 50, 50, 0.5L)), 76.25, 1e-12);
}

TEST(RiseSet, AnyPlaceGivesATimeOrNoEventNeverACrashOrHang)
{
    const TDateTime day = EncodeDate(2024, 6, 21);
    const long double places[][2] = {
        {1e300L, 52},   {-1e300L, 52}, {21, 1e300L}, {21, -1e300L}, {NAN, 52},      {21, NAN},
        {INFINITY, 52}, {21, 90},      {21, -90},    {721, 52},     {-3600.5L, 52}, {1e19L, 1e19L},
    };
    for (const auto& place : places) {
        SCOPED_TRACE(testing::Message() << static_cast<double>(place[0]) << ", " << static_cast<double>(place[1]));
        for (const RiseSetBody body : {RiseSetBody::Sun, RiseSetBody::Moon}) {
            try {
                const RiseAndSet t = RiseSetPair(body, place[0], place[1], day);
                EXPECT_TRUE(std::isfinite(t.rise) && std::isfinite(t.set));
                EXPECT_LT(std::fabs(t.rise - day), 10);
            } catch (const E_NoRiseSet&) {
            }
        }
    }
}

TEST(RiseSet, LongitudesAFullTurnApartAgree)
{
    const TDateTime day = EncodeDate(2024, 6, 21);
    EXPECT_EQ(Hhnn(SunRise(kWarsawWest + 720, kWarsawLat, day)), "02:14");
    EXPECT_EQ(Hhnn(SunSet(kWarsawWest - 360, kWarsawLat, day)), "19:01");
}
