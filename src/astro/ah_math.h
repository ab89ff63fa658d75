// Angle arithmetic in degrees, in the widest floating type of the platform.
#pragma once

using Extended = long double;

// Sine and cosine of x radians, within 2.5e-16 of the exact values. A refresh of the day view takes
// some ten thousand of them for the VSOP87 sums alone, which the C library's extended-precision
// versions make several milliseconds.
struct SinCosPair
{
    Extended sin = 0;
    Extended cos = 0;
};
SinCosPair SinCosRad(Extended x);
Extended CosRad(Extended x);

Extended DegToRad(Extended x);
Extended RadToDeg(Extended x);

// x reduced into 0 <= r < 360. The quotient x / 360 is rounded half to even and its multiple of
// 360 taken away, so 540 gives 180. A NaN or an infinity gives NaN; finite values of any size give
// a finite result, which keeps every caller's loops and comparisons finite.
Extended PutIn360(Extended x);

// Sine, cosine and tangent (sine over cosine) of an angle in degrees, reduced with PutIn360 first.
Extended SinD(Extended x);
Extended CosD(Extended x);
Extended TanD(Extended x);
// SinD and CosD of one angle together, for half the work.
SinCosPair SinCosD(Extended x);

// Inverse functions giving degrees. ArcCosD is pi/2 - arcsin(x); both are NaN outside -1..1.
Extended ArcSinD(Extended x);
Extended ArcCosD(Extended x);
Extended ArcTanD(Extended x);  // -90..+90
// arctan(y / x), plus 180 when x < 0, so -90 < result < 270; x = 0 gives +90 or -90 by the sign
// of y (0 when y is 0 as well).
Extended ArcTan2D(Extended y, Extended x);

// Sines and cosines of the whole multiples -4x..4x of one angle x in degrees, from one SinCosD by
// the angle-addition rule, for series whose arguments are sums of small multiples of a few angles.
class AngleMultiples
{
public:
    static constexpr int kLargest = 4;
    explicit AngleMultiples(Extended degrees);
    // |k| <= kLargest.
    const SinCosPair& Of(int k) const { return m_multiples[k + kLargest]; }

private:
    SinCosPair m_multiples[2 * kLargest + 1];
};
// Sine and cosine of the sum of two angles given by theirs.
inline SinCosPair AddAngles(const SinCosPair& a, const SinCosPair& b)
{
    return {a.sin * b.cos + a.cos * b.sin, a.cos * b.cos - a.sin * b.sin};
}
