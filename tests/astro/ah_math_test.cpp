// Angle reduction and the quadrant rules of the degree functions.
#include "astro/ah_math.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

TEST(AngleMath, PutIn360ReducesWithTiesToEven)
{
    struct Row
    {
        long double x, expected;
    };
    const Row rows[] = {
        {-30, 330},  {720, 0},         {540, 180},          {180, 180},
        {-180, 180}, {359.5L, 359.5L}, {-720.25L, 359.75L}, {3600000000000.5L, 0.5L},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "x=" << static_cast<double>(r.x));
        EXPECT_EQ(PutIn360(r.x), r.expected);
    }
}

TEST(AngleMath, PutIn360StaysFiniteAndInRangeForAnyInput)
{
    // Values whose multiple of 360 would overflow 64-bit integers, and non-numbers, must neither
    // crash nor hang the loop that lifts negative remainders.
    // A tiny negative angle lifted by 360 rounds to 360 itself, which is out of range too.
    for (long double x : {1e300L, -1e300L, 1e19L, -1e19L, 3.4e18L, std::numeric_limits<long double>::max(), -1e-20L,
                          -std::numeric_limits<long double>::denorm_min()}) {
        SCOPED_TRACE(static_cast<double>(x));
        const long double r = PutIn360(x);
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 360);
    }
    EXPECT_TRUE(std::isnan(PutIn360(NAN)));
    EXPECT_TRUE(std::isnan(PutIn360(INFINITY)));
    EXPECT_TRUE(std::isnan(PutIn360(-INFINITY)));
}

TEST(AngleMath, ArcTan2DCoversMinus90To270)
{
    struct Row
    {
        long double y, x, expected;
    };
    const Row rows[] = {{1, -1, 135}, {-1, -1, 225}, {-1, 1, -45}, {1, 1, 45}, {1, 0, 90}, {-1, 0, -90}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "y=" << static_cast<double>(r.y) << " x=" << static_cast<double>(r.x));
        EXPECT_NEAR(static_cast<double>(ArcTan2D(r.y, r.x)), static_cast<double>(r.expected), 1e-12);
    }
}

TEST(AngleMath, DegreeFunctionsReduceTheirArgument)
{
    EXPECT_NEAR(static_cast<double>(SinD(30)), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(SinD(30 + 360 * 1000)), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(CosD(-60)), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(TanD(45)), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(ArcCosD(0.5L)), 60.0, 1e-13);
    EXPECT_NEAR(static_cast<double>(ArcSinD(-1)), -90.0, 1e-13);
}

TEST(AngleMath, SinCosRadAgreesWithTheLibraryToDoublePrecision)
{
#ifdef DNIARZ_INEXACT_LONG_DOUBLE_LIBRARY
    GTEST_SKIP() << "this C library's extended sine and cosine are no reference at double precision";
#endif
    // The C library's extended sine and cosine are the reference; the arguments cover what the
    // series and the degree functions pass (up to some 10^5 radians) and the quadrant edges. The
    // bound is what a double sine of an exactly reduced argument can reach: a reduction done in
    // double instead would be off by 1e-12 and more at these arguments.
    long double worst = 0;
    auto check = [&](long double x) {
        const SinCosPair p = SinCosRad(x);
        worst = std::max({worst, std::fabs(p.sin - std::sin(x)), std::fabs(p.cos - std::cos(x)),
                          std::fabs(CosRad(x) - std::cos(x))});
    };
    for (int i = -20000; i <= 20000; ++i) {
        check(i * 0.000785398163397448309615660845819875721L * 10);
        check(i * 7.3123456789L);
        check(i * 0.0001L + 0.5L);
    }
    for (int q = -8; q <= 8; ++q)
        check(q * 1.57079632679489661923132169163975144L);
    EXPECT_LT(static_cast<double>(worst), 3e-16);
    // Outside the fast range and for non-numbers it defers to the library.
    EXPECT_EQ(SinCosRad(1e12L).cos, std::cos(1e12L));
    EXPECT_TRUE(std::isnan(SinCosRad(NAN).sin));
}
