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

MoonPhase PhaseFrom(const TSkyPosition& sun, const TSkyPosition& moon)
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

}  // namespace

TSkyPosition MoonPosition(TDateTime t)
{
    const Extended T = JulianCenturies(t);
    const Extended T2 = T * T;
    const Extended T3 = T2 * T;
    const Extended T4 = T3 * T;
    const Extended Lp = 218.3164591L + 481267.88134236L * T - 0.0013268L * T2 + T3 / 538841 - T4 / 65194000;
    const Extended D = 297.8502042L + 445267.1115168L * T - 0.00163L * T2 + T3 / 545868 - T4 / 113065000;
    const Extended M = 357.5291092L + 35999.0502909L * T - 0.0001536L * T2 + T3 / 24490000;
    const Extended Mp = 134.9634114L + 477198.8676313L * T + 0.008997L * T2 + T3 / 69699 - T4 / 1471200;
    const Extended F = 93.2720993L + 483202.0175273L * T - 0.0034029L * T2 - T3 / 3526000 + T4 / 863310000;
    const Extended A1 = 119.75L + 131.849L * T;
    const Extended A2 = 53.09L + 479264.29L * T;
    const Extended A3 = 313.45L + 481266.484L * T;
    const Extended E = 1 - 0.002516L * T - 0.0000074L * T2;

    Extended sumL = 0;
    Extended sumR = 0;
    for (std::size_t i = 0; i < kMoonTermsLrCount; ++i) {
        const MoonTermLr& row = kMoonTermsLr[i];
        const Extended arg = row.d * D + row.m * M + row.mp * Mp + row.f * F;
        const Extended e = EccentricityFactor(row.m, E);
        const SinCosPair sc = SinCosD(arg);
        sumR += row.r * sc.cos * e;
        sumL += row.l * sc.sin * e;
    }
    sumL += 3958 * SinD(A1) + 1962 * SinD(Lp - F) + 318 * SinD(A2);

    Extended sumB = 0;
    for (std::size_t i = 0; i < kMoonTermsBCount; ++i) {
        const MoonTermB& row = kMoonTermsB[i];
        sumB += row.b * SinD(row.d * D + row.m * M + row.mp * Mp + row.f * F) * EccentricityFactor(row.m, E);
    }
    sumB += -2235 * SinD(Lp) + 382 * SinD(A3) + 175 * SinD(A1 - F) + 175 * SinD(A1 + F) + 127 * SinD(Lp - Mp)
            - 115 * SinD(Lp + Mp);

    TSkyPosition p;
    p.EclipticLongitude = Lp + sumL / 1000000;
    p.EclipticLatitude = sumB / 1000000;
    p.Distance = 385000.56L + sumR / 1000;
    EclipticToEquatorial(p, t);
    return p;
}

void TopocentricCorrection(TSkyPosition& position, Extended height, Extended longitudeWest, Extended latitude,
                           TDateTime t)
{
    const Extended u = ArcTanD(kAxisRatioSquared * TanD(latitude));
    const Extended rhoSin = kAxisRatio * SinD(u) + height / kEarthRadiusM * SinD(latitude);
    const Extended rhoCos = CosD(u) + height / kEarthRadiusM * CosD(latitude);
    const Extended parallax = ArcSinD(SinD(kSunParallaxArcsec / 3600) / (position.Distance / kKmPerAu));
    position.Parallax = parallax;

    const Extended alpha = position.RightAscension;
    const Extended delta = position.Declination;
    const Extended H = SiderealTime(t) - longitudeWest - alpha;
    const Extended denominator = CosD(delta) - rhoCos * SinD(parallax) * CosD(H);
    const Extended dAlpha = ArcTanD(-rhoCos * SinD(parallax) * SinD(H) / denominator);
    position.RightAscension = alpha + dAlpha;
    position.Declination = ArcTanD((SinD(delta) - rhoSin * SinD(parallax)) * CosD(dAlpha) / denominator);
}

MoonPhase MoonPhaseAt(TDateTime t)
{
    return PhaseFrom(SunPosition(t), MoonPosition(t));
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
