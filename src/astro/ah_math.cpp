// Angle arithmetic in degrees.
#include "astro/ah_math.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

constexpr Extended kPi = std::numbers::pi_v<long double>;

} // namespace

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
    if (std::fabs(q) < 9.0e15L) {
        const std::int64_t k = std::llrint(q);  // the default rounding mode: ties to even
        r = x - static_cast<Extended>(k * 360);
    } else {
        r = std::fmod(x, 360.0L);
    }
    while (r < 0)
        r += 360;
    return r;
}

Extended SinD(Extended x)
{
    return std::sin(DegToRad(PutIn360(x)));
}

Extended CosD(Extended x)
{
    return std::cos(DegToRad(PutIn360(x)));
}

Extended TanD(Extended x)
{
    const Extended a = DegToRad(PutIn360(x));
    return std::sin(a) / std::cos(a);
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
