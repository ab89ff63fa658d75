// Apparent positions of the Sun and the Moon, the Moon's parallax and phase, against published values.
#include "astro/moon.h"

#include <gtest/gtest.h>

#include "astro/sun.h"

namespace {

double D(long double x)
{
    return static_cast<double>(x);
}

}  // namespace

TEST(SunPosition, On21June2024)
{
    const TSkyPosition p = SunPosition(EncodeDate(2024, 6, 21));
    EXPECT_NEAR(D(p.EclipticLongitude), 90.1244, 0.00005);
    EXPECT_NEAR(D(p.RightAscension), 90.1356, 0.00005);
    EXPECT_NEAR(D(p.Declination), 23.4382, 0.00005);
    EXPECT_NEAR(D(p.Distance / 1e6L), 152.02, 0.005);
}

TEST(MoonPosition, On12April1992)
{
    const TSkyPosition p = MoonPosition(EncodeDate(1992, 4, 12));
    EXPECT_NEAR(D(p.EclipticLongitude), 133.16727, 0.000005);
    EXPECT_NEAR(D(p.EclipticLatitude), -3.22913, 0.000005);
    EXPECT_NEAR(D(p.Distance), 368409.7, 0.05);
    EXPECT_NEAR(D(p.RightAscension), 134.68847, 0.000005);
    EXPECT_NEAR(D(p.Declination), 13.76836, 0.000005);
}

TEST(MoonPosition, TopocentricAtWarsaw)
{
    const TDateTime t = EncodeDate(2024, 6, 21);
    TSkyPosition p = MoonPosition(t);
    EXPECT_NEAR(D(p.RightAscension), 255.4588, 0.00005);
    EXPECT_NEAR(D(p.Declination), -27.3271, 0.00005);
    TopocentricCorrection(p, 0, -21.027916L, 52.236620L, t);
    EXPECT_NEAR(D(p.RightAscension), 255.0754, 0.00005);
    EXPECT_NEAR(D(p.Declination), -28.2107, 0.00005);
    EXPECT_NEAR(D(p.Parallax), 0.95069, 0.000005);
}

TEST(MoonPhase, LitShareAndAge)
{
    struct Row
    {
        int y, m, d;
        double illumination, illuminationTolerance, age;
    };
    // At 18:00 UT of each day.
    const Row rows[] = {
        {2024, 6, 21, 0.99717, 0.000005, 14.458},
        {2025, 1, 1, 0.04, 0.005, 1.843},
        {2024, 12, 21, 0.61, 0.005, 21.092},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        const TDateTime t = EncodeDate(r.y, r.m, r.d) + 0.75;
        EXPECT_NEAR(D(MoonIllumination(t)), r.illumination, r.illuminationTolerance);
        EXPECT_NEAR(D(MoonAge(t)), r.age, 0.0005);
        // Waxing until half the synodic month, and the phase angle's sign says the same.
        EXPECT_EQ(MoonPhaseAngle(t) >= 0, MoonAge(t) <= kHalfSynodicMonth);
    }
}
