// The Moon's position, parallax and phase.
#include "astro/moon.h"

#include <cmath>
#include <cstdlib>

#include "astro/astro_tables.h"
#include "astro/sun.h"

namespace {

constexpr Extended kEarthRadiusM = 6378140;
constexpr Extended kAxisRatio = 0.99664719L;
constexpr Extended kAxisRatioSquared = 0.99330562133489608L;
constexpr Extended kSunParallaxArcsec = 8.794L;

// The eccentricity factor of a term with `m` times the Sun's mean anomaly.
Extended EccentricityFactor(int m, Extended E)
{
    switch (std::abs(m)) {
    case 1:
        return E;
    case 2:
        return E * E;
    default:
        return 1;
    }
}

}  // namespace

MoonPhase MoonPhaseFrom(const TSkyPosition& sun, const TSkyPosition& moon)
{
    const Extended cosPsi = CosD(moon.EclipticLatitude) * CosD(moon.EclipticLongitude - sun.EclipticLongitude);
    const Extended psi = DegToRad(ArcCosD(cosPsi));  // geocentric elongation
    Extended i = std::atan(sun.Distance * std::sin(psi) / (moon.Distance - sun.Distance * std::cos(psi)));
    i = RadToDeg(i);
    if (i < 0)
        i += 180;
    const Extended elongation = PutIn360(moon.EclipticLongitude - sun.EclipticLongitude);
    if (elongation > 180)
        i = -i;
    MoonPhase phase;
    phase.phaseAngle = i;
    phase.illumination = (1 + CosD(i)) / 2;
    phase.age = elongation / 360 * kSynodicMonth;
    return phase;
}

TSkyPosition MoonPosition(TDateTime t)
{
    return MoonPosition(t, Nutation(t));
}

namespace {

// The Moon's mean elements at one instant, degrees, not reduced.
struct MoonArguments
{
    Extended Lp, D, M, Mp, F, A1, A2, A3, E;
};

MoonArguments ArgumentsAt(TDateTime t)
{
    const Extended T = JulianCenturies(t);
    const Extended T2 = T * T;
    const Extended T3 = T2 * T;
    const Extended T4 = T3 * T;
    MoonArguments a;
    a.Lp = 218.3164591L + 481267.88134236L * T - 0.0013268L * T2 + T3 / 538841 - T4 / 65194000;
    a.D = 297.8502042L + 445267.1115168L * T - 0.00163L * T2 + T3 / 545868 - T4 / 113065000;
    a.M = 357.5291092L + 35999.0502909L * T - 0.0001536L * T2 + T3 / 24490000;
    a.Mp = 134.9634114L + 477198.8676313L * T + 0.008997L * T2 + T3 / 69699 - T4 / 1471200;
    a.F = 93.2720993L + 483202.0175273L * T - 0.0034029L * T2 - T3 / 3526000 + T4 / 863310000;
    a.A1 = 119.75L + 131.849L * T;
    a.A2 = 53.09L + 479264.29L * T;
    a.A3 = 313.45L + 481266.484L * T;
    a.E = 1 - 0.002516L * T - 0.0000074L * T2;
    return a;
}

// The position from the periodic terms; `termSinCos`(d, m, mp, f) gives the sine and cosine of
// d D + m M + mp M' + f F.
template <typename TermSinCos>
TSkyPosition PositionFromTerms(const MoonArguments& a, const NutationResult& nutation, TermSinCos termSinCos)
{
    Extended sumL = 0;
    Extended sumR = 0;
    for (std::size_t i = 0; i < kMoonTermsLrCount; ++i) {
        const MoonTermLr& row = kMoonTermsLr[i];
        const Extended e = EccentricityFactor(row.m, a.E);
        const SinCosPair sc = termSinCos(row.d, row.m, row.mp, row.f);
        sumR += row.r * sc.cos * e;
        sumL += row.l * sc.sin * e;
    }
    sumL += 3958 * SinD(a.A1) + 1962 * SinD(a.Lp - a.F) + 318 * SinD(a.A2);

    Extended sumB = 0;
    for (std::size_t i = 0; i < kMoonTermsBCount; ++i) {
        const MoonTermB& row = kMoonTermsB[i];
        sumB += row.b * termSinCos(row.d, row.m, row.mp, row.f).sin * EccentricityFactor(row.m, a.E);
    }
    sumB += -2235 * SinD(a.Lp) + 382 * SinD(a.A3) + 175 * SinD(a.A1 - a.F) + 175 * SinD(a.A1 + a.F)
            + 127 * SinD(a.Lp - a.Mp) - 115 * SinD(a.Lp + a.Mp);

    TSkyPosition p;
    p.EclipticLongitude = a.Lp + sumL / 1000000;
    p.EclipticLatitude = sumB / 1000000;
    p.Distance = 385000.56L + sumR / 1000;
    EclipticToEquatorial(p, nutation);
    return p;
}

}  // namespace

TSkyPosition MoonPosition(TDateTime t, const NutationResult& nutation)
{
    const MoonArguments a = ArgumentsAt(t);
    return PositionFromTerms(
        a, nutation, [&a](int d, int m, int mp, int f) { return SinCosD(d * a.D + m * a.M + mp * a.Mp + f * a.F); });
}

TSkyPosition MoonPositionByMultiples(TDateTime t, const NutationResult& nutation)
{
    const MoonArguments a = ArgumentsAt(t);
    const AngleMultiples D(a.D), M(a.M), Mp(a.Mp), F(a.F);
    constexpr int kMost = AngleMultiples::kLargest;
    return PositionFromTerms(a, nutation, [&](int d, int m, int mp, int f) {
        // The published tables stay within the multiples kept; any other row is summed directly.
        if (std::abs(d) > kMost || std::abs(m) > kMost || std::abs(mp) > kMost || std::abs(f) > kMost)
            return SinCosD(d * a.D + m * a.M + mp * a.Mp + f * a.F);
        return AddAngles(AddAngles(D.Of(d), M.Of(m)), AddAngles(Mp.Of(mp), F.Of(f)));
    });
}

void TopocentricCorrection(TSkyPosition& position, Extended height, Extended longitudeWest, Extended latitude,
                           TDateTime t)
{
    const Extended u = ArcTanD(kAxisRatioSquared * TanD(latitude));
    const Extended rhoSin = kAxisRatio * SinD(u) + height / kEarthRadiusM * SinD(latitude);
    const Extended rhoCos = CosD(u) + height / kEarthRadiusM * CosD(latitude);
    const Extended parallax = MoonParallax(position.Distance);
    position.Parallax = parallax;

    const Extended alpha = position.RightAscension;
    const Extended delta = position.Declination;
    const Extended H = SiderealTime(t) - longitudeWest - alpha;
    const Extended denominator = CosD(delta) - rhoCos * SinD(parallax) * CosD(H);
    const Extended dAlpha = ArcTanD(-rhoCos * SinD(parallax) * SinD(H) / denominator);
    position.RightAscension = alpha + dAlpha;
    position.Declination = ArcTanD((SinD(delta) - rhoSin * SinD(parallax)) * CosD(dAlpha) / denominator);
}

Extended MoonParallax(Extended distance)
{
    return ArcSinD(SinD(kSunParallaxArcsec / 3600) / (distance / kKmPerAu));
}

MoonPhase MoonPhaseAt(TDateTime t)
{
    return MoonPhaseFrom(SunPosition(t), MoonPosition(t));
}

Extended MoonPhaseAngle(TDateTime t)
{
    return MoonPhaseAt(t).phaseAngle;
}

Extended MoonIllumination(TDateTime t)
{
    return MoonPhaseAt(t).illumination;
}

Extended MoonAge(TDateTime t)
{
    return MoonPhaseAt(t).age;
}
