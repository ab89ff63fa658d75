// Julian days, the VSOP87D Earth series, nutation and sidereal time against published values.
#include "astro/time_base.h"

#include <cmath>

#include <gtest/gtest.h>

#include "astro/vsop.h"

namespace {

double D(long double x)
{
    return static_cast<double>(x);
}

// variable 0, 1, 2: L, B, R.
VsopTerm Term(const TVSOP& body, int variable, int index, int power)
{
    switch (variable) {
    case 0:
        return body.LongitudeTerm(index, power);
    case 1:
        return body.LatitudeTerm(index, power);
    default:
        return body.RadiusTerm(index, power);
    }
}

}  // namespace

TEST(TimeBase, J2000NoonIsJulianDay2451545)
{
    const TDateTime noon = EncodeDate(2000, 1, 1) + 0.5;
    EXPECT_EQ(JulianDay(noon), 2451545.0L);
    EXPECT_EQ(JulianCenturies(noon), 0.0L);
    TVSOPEarth earth;
    earth.SetDate(noon);
    EXPECT_EQ(earth.Tau(), 0.0L);
    EXPECT_EQ(JulianDay(0), 2415018.5L);
}

TEST(Vsop, EarthSeriesHoldThePublishedTermCountsAndRows)
{
    // Term counts of the VSOP87D Earth file; 0 where the variable has no series of that power.
    const int counts[3][6] = {{559, 341, 142, 22, 11, 5}, {184, 99, 49, 11, 5, 0}, {526, 292, 139, 27, 10, 3}};
    const TVSOPEarth earth;
    for (int v = 0; v < 3; ++v) {
        for (int power = 0; power < 6; ++power) {
            SCOPED_TRACE(testing::Message() << "LBR"[v] << power);
            const int n = counts[v][power];
            if (n > 0) {
                EXPECT_NE(Term(earth, v, n - 1, power).A, 0.0L);
            }
            EXPECT_EQ(Term(earth, v, n, power).A, 0.0L);
            EXPECT_EQ(Term(earth, v, -1, power).A, 0.0L);
        }
    }
    EXPECT_EQ(Term(earth, 0, 0, 6).A, 0.0L);

    struct Row
    {
        int variable, power, index;
        long double a, b, c;
    };
    const Row rows[] = {
        {0, 0, 0, 175347045.673L, 0, 0},
        {0, 0, 1, 3341656.456L, 4.66925680417L, 6283.0758499914L},
        {0, 0, 2, 34894.275L, 4.62610241759L, 12566.1516999828L},
        {0, 0, 558, 0.049L, 2.44790934886L, 13613.804277336L},
        {0, 1, 0, 628331966747.491L, 0, 0},
        {0, 1, 1, 206058.863L, 2.67823455584L, 6283.0758499914L},
        {1, 0, 0, 279.62L, 3.19870156017L, 84334.66158130829L},
        {1, 0, 1, 101.643L, 5.42248619256L, 5507.5532386674L},
        {2, 0, 0, 100013988.799L, 0, 0},
        {2, 0, 1, 1670699.626L, 3.09846350771L, 6283.0758499914L},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "LBR"[r.variable] << r.power << " #" << r.index);
        const VsopTerm t = Term(earth, r.variable, r.index, r.power);
        EXPECT_EQ(t.A, r.a);
        EXPECT_EQ(t.B, r.b);
        EXPECT_EQ(t.C, r.c);
    }
}

TEST(Vsop, EarthOn13October1992)
{
    // Heliocentric FK5 position of the Earth, 1992-10-13 00:00.
    const EarthPosition e = EarthCoordinates(EncodeDate(1992, 10, 13));
    EXPECT_NEAR(D(e.l), 19.90727, 0.000005);
    EXPECT_NEAR(D(e.b), -0.000200, 0.0000005);
    EXPECT_NEAR(D(e.r), 0.9976085, 0.00000005);
}

TEST(Vsop, RowRunsSumExactlyAsTheTermAccessorsDo)
{
    // The direct sums over the table rows must be the published algorithm's sums, bit for bit.
    for (const TDateTime t : {EncodeDate(1992, 10, 13), EncodeDate(2024, 6, 21) + 0.75, EncodeDate(1, 1, 1)}) {
        SCOPED_TRACE(t);
        TVSOPEarth earth;
        earth.SetDate(t);
        EXPECT_EQ(earth.HelioLongitude(), earth.SumSeries(&TVSOP::LongitudeTerm));
        EXPECT_EQ(earth.HelioLatitude(), earth.SumSeries(&TVSOP::LatitudeTerm));
        EXPECT_EQ(earth.HelioRadius(), earth.SumSeries(&TVSOP::RadiusTerm));
    }
}

TEST(Vsop, NonFiniteDateGivesNaNWithoutHanging)
{
    // A zero term ends each series, but zero times the cosine of NaN is NaN, not zero.
    TVSOPEarth earth;
    earth.SetDate(NAN);
    EXPECT_TRUE(std::isnan(earth.SumSeries(&TVSOP::RadiusTerm)));
    EXPECT_TRUE(std::isnan(EarthCoordinates(INFINITY).l));
}

TEST(TimeBase, NutationOn13October1992)
{
    const NutationResult n = Nutation(EncodeDate(1992, 10, 13));
    EXPECT_NEAR(D(n.deltaPsi), 0.0044189, 0.00000005);
    EXPECT_NEAR(D(n.deltaPsi * 3600), 15.91, 0.005);
    EXPECT_NEAR(D(n.obliquity), 23.440144, 0.0000005);
}

TEST(TimeBase, SiderealTimeAtGreenwich)
{
    // 1987-04-10 00:00 UT: apparent sidereal time 13h 10m 46.1351s = 197.692230 degrees; the
    // truncated nutation series costs a few thousandths of a second of time.
    EXPECT_NEAR(D(SiderealTime(EncodeDate(1987, 4, 10))), 197.692230, 0.0001);
}

TEST(Vsop, ThreeDaysAtOnceAgreeWithThreeSeparateEvaluations)
{
    for (const TDateTime t : {EncodeDate(1992, 10, 13), EncodeDate(2024, 6, 21), EncodeDate(9999, 12, 30)}) {
        SCOPED_TRACE(t);
        const std::array<EarthPosition, 3> around = EarthCoordinatesAround(t);
        for (int k = 0; k < 3; ++k) {
            const EarthPosition single = EarthCoordinates(t + (k - 1));
            EXPECT_NEAR(D(around[k].l), D(single.l), 1e-13);
            EXPECT_NEAR(D(around[k].b), D(single.b), 1e-13);
            EXPECT_NEAR(D(around[k].r), D(single.r), 1e-15);
        }
    }
}
