// Angle arithmetic in degrees.
#include "astro/ah_math.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr Extended kPi = std::numbers::pi_v<long double>;

// 2 pi in three parts: the first two have so few significant bits that their products with a
// turn count below 2^32 are exact, so x - 2 pi k loses nothing to cancellation.
constexpr Extended kTwoPiHigh = 0x6487ed51p-28L;
constexpr Extended kTwoPiMiddle = 0x2168c235p-61L;
constexpr Extended kTwoPiLow = -0xece675d1fc8f8cbbp-127L;
constexpr Extended kTurnsPerRadian = 0.15915494309189533576888376337251436203446L;
// Beyond this the turn count no longer fits the exact products; the library takes over.
constexpr Extended kLargestFastArgument = 1e9L;
// Adding and taking away 1.5 x 2^(p-1), p the type's mantissa bits, rounds a value below
// 2^(p-2) to an integer without a library call; the widest type differs between compilers
// (80-bit here, 64-bit with some), so the constant follows the type.
constexpr Extended RoundingBias()
{
    Extended bias = 1.5L;
    for (int i = 1; i < std::numeric_limits<Extended>::digits; ++i)
        bias *= 2;
    return bias;
}
constexpr Extended kRoundingBias = RoundingBias();
// PutIn360's turn counts must stay below 2^(p-2) for that rounding.
constexpr Extended kLargestRoundedTurns = std::numeric_limits<Extended>::digits >= 64 ? 9.0e15L : 1.0e15L;

// x less a whole number of turns, |r| <= pi, exact to the last bit of the extended type; false
// where the turn count is too large for that (or x is not a number).
bool ReduceToTurn(Extended x, double& reduced)
{
    if (!(std::fabs(x) < kLargestFastArgument))
        return false;
    const Extended k = (x * kTurnsPerRadian + kRoundingBias) - kRoundingBias;
    const Extended r = ((x - k * kTwoPiHigh) - k * kTwoPiMiddle) - k * kTwoPiLow;
    reduced = static_cast<double>(r);
    return true;
}

}  // namespace

// The argument is reduced in extended precision and only its sine and cosine are taken in double:
// for |r| <= pi they differ from the extended ones by less than 2.5e-16, far below anything the
// series resolve. The library's extended versions cost ten times as much, and x87 arithmetic on
// current processors is too slow for an extended polynomial of our own to do better.
SinCosPair SinCosRad(Extended x)
{
    double r = 0;
    if (!ReduceToTurn(x, r))
        return {std::sin(x), std::cos(x)};
    double s = 0;
    double c = 0;
    ::sincos(r, &s, &c);
    return {s, c};
}

Extended CosRad(Extended x)
{
    double r = 0;
    if (!ReduceToTurn(x, r))
        return std::cos(x);
    return std::cos(r);
}

Extended DegToRad(Extended x)
{
    return x / 180 * kPi;
}

Extended RadToDeg(Extended x)
{
    return x * 180 / kPi;
}

Extended PutIn360(Extended x)
{
    if (!std::isfinite(x))
        return NAN;
    const Extended q = x / 360;
    Extended r;
    // The multiple of 360 is formed in 64-bit integers while it fits, as the stored results of
    // this function always have been; beyond that range the integer product would overflow, and
    // fmod gives the exact remainder instead.
    if (std::fabs(q) < kLargestRoundedTurns) {
        // Rounds half to even, as the default rounding mode does, and |k| stays below 2^53, so
        // k * 360 is exact whether formed in 64-bit integers or here.
        const Extended k = (q + kRoundingBias) - kRoundingBias;
        r = x - k * 360;
    } else {
        r = std::fmod(x, 360.0L);
    }
    while (r < 0)
        r += 360;
    // A tiny negative remainder plus 360 rounds to 360 itself.
    if (r >= 360)
        r -= 360;
    return r;
}

Extended SinD(Extended x)
{
    return SinCosRad(DegToRad(PutIn360(x))).sin;
}

Extended CosD(Extended x)
{
    return SinCosRad(DegToRad(PutIn360(x))).cos;
}

SinCosPair SinCosD(Extended x)
{
    return SinCosRad(DegToRad(PutIn360(x)));
}

Extended TanD(Extended x)
{
    const SinCosPair a = SinCosRad(DegToRad(PutIn360(x)));
    return a.sin / a.cos;
}

Extended ArcSinD(Extended x)
{
    return RadToDeg(std::asin(x));
}

Extended ArcCosD(Extended x)
{
    return RadToDeg(kPi / 2 - std::asin(x));
}

Extended ArcTanD(Extended x)
{
    return RadToDeg(std::atan(x));
}

Extended ArcTan2D(Extended y, Extended x)
{
    if (x == 0)
        return y > 0 ? 90 : (y < 0 ? -90 : 0);
    Extended a = RadToDeg(std::atan(y / x));
    if (x < 0)
        a += 180;
    return a;
}

AngleMultiples::AngleMultiples(Extended degrees)
{
    const SinCosPair one = SinCosD(degrees);
    m_multiples[kLargest] = {0, 1};
    for (int k = 1; k <= kLargest; ++k) {
        const SinCosPair next = AddAngles(m_multiples[kLargest + k - 1], one);
        m_multiples[kLargest + k] = next;
        m_multiples[kLargest - k] = {-next.sin, next.cos};
    }
}
