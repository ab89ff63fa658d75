// Julian days, nutation, sidereal time and the ecliptic-to-equatorial rotation.
#include "astro/time_base.h"

namespace {

struct NutationRow
{
    int d, m, mp, f, om;
    int psi0, psi1, eps0, eps1;  // 0.0001"; psi1 and eps1 in tenths of that per century
};

// The 31 largest terms of the IAU 1980 nutation series: more would not change a minute of any
// rise or set time.
constexpr NutationRow kNutationRows[31] = {
    {0, 0, 0, 0, 1, -171996, -1742, 92025, 89},
    {-2, 0, 0, 2, 2, -13187, -16, 5736, -31},
    {0, 0, 0, 2, 2, -2274, -2, 977, -5},
    {0, 0, 0, 0, 2, 2062, 2, -895, 5},
    {0, 1, 0, 0, 0, 1426, -34, 54, -1},
    {0, 0, 1, 0, 0, 712, 1, -7, 0},
    {-2, 1, 0, 2, 2, -517, 12, 224, -6},
    {0, 0, 0, 2, 1, -386, -4, 200, 0},
    {0, 0, 1, 2, 2, -301, 0, 129, -1},
    {-2, -1, 0, 2, 2, 217, -5, -95, 3},
    {-2, 0, 1, 0, 0, -158, 0, 0, 0},
    {-2, 0, 0, 2, 1, 129, 1, -70, 0},
    {0, 0, -1, 2, 2, 123, 0, -53, 0},
    {2, 0, 0, 0, 0, 63, 0, 0, 0},
    {0, 0, 1, 0, 1, 63, 1, -33, 0},
    {2, 0, -1, 2, 2, -59, 0, 26, 0},
    {0, 0, -1, 0, 1, -58, -1, 32, 0},
    {0, 0, 1, 2, 1, -51, 0, 27, 0},
    {-2, 0, 2, 0, 0, 48, 0, 0, 0},
    {0, 0, -2, 2, 1, 46, 0, -24, 0},
    {2, 0, 0, 2, 2, -38, 0, 16, 0},
    {0, 0, 2, 2, 2, -31, 0, 13, 0},
    {0, 0, 2, 0, 0, 29, 0, 0, 0},
    {-2, 0, 1, 2, 2, 29, 0, -12, 0},
    {0, 0, 0, 2, 0, 26, 0, 0, 0},
    {-2, 0, 0, 2, 0, -22, 0, 0, 0},
    {0, 0, -1, 2, 1, 21, 0, -10, 0},
    {0, 2, 0, 0, 0, 17, -1, 0, 0},
    {2, 0, -1, 0, 1, 16, 0, -8, 0},
    {-2, 2, 0, 2, 2, -16, 1, 7, 0},
    {0, 1, 0, 0, 1, -15, 0, 9, 0},
};

constexpr bool MultipliersWithin(int largest)
{
    for (const NutationRow& row : kNutationRows)
        for (int k : {row.d, row.m, row.mp, row.f, row.om})
            if (k < -largest || k > largest)
                return false;
    return true;
}
static_assert(MultipliersWithin(AngleMultiples::kLargest));

}  // namespace

Extended JulianDay(TDateTime t)
{
    return static_cast<Extended>(t) + JulianDayOffset;
}

Extended JulianCenturies(TDateTime t)
{
    return (JulianDay(t) - 2451545) / 36525;
}

namespace {

// The nutation from the series; `rowSinCos`(row) gives the sine and cosine of the row's argument
// d D + m M + mp M' + f F + om Omega with the elements `e` (D, M, M', F, Omega) reduced to 0..360.
template <typename RowSinCos>
NutationResult NutationFrom(Extended T, RowSinCos rowSinCos)
{
    const Extended T2 = T * T;
    const Extended T3 = T2 * T;
    Extended dPsi = 0;
    Extended dEps = 0;
    for (const NutationRow& row : kNutationRows) {
        const SinCosPair sc = rowSinCos(row);
        dPsi += sc.sin * (row.psi0 + row.psi1 * T * 0.1L);
        dEps += sc.cos * (row.eps0 + row.eps1 * T * 0.1L);
    }
    dPsi = dPsi * 0.0001L / 3600;
    dEps = dEps * 0.0001L / 3600;
    const Extended meanObliquity = 84381.448L - 46.815L * T - 0.00059L * T2 + 0.001813L * T3;
    return {dPsi, meanObliquity / 3600 + dEps};
}

struct NutationElements
{
    Extended D, M, Mp, F, Om;
};

NutationElements ElementsAt(Extended T)
{
    const Extended T2 = T * T;
    const Extended T3 = T2 * T;
    return {PutIn360(297.85036L + 445267.11148L * T - 0.0019142L * T2 + T3 / 189474),
            PutIn360(357.52772L + 35999.05034L * T - 0.0001603L * T2 - T3 / 300000),
            PutIn360(134.96298L + 477198.867398L * T + 0.0086972L * T2 + T3 / 56250),
            PutIn360(93.27191L + 483202.017538L * T - 0.0036825L * T2 + T3 / 327270),
            PutIn360(125.04452L - 1934.136261L * T + 0.0020708L * T2 + T3 / 450000)};
}

}  // namespace

NutationResult Nutation(TDateTime t)
{
    const Extended T = JulianCenturies(t);
    const NutationElements e = ElementsAt(T);
    return NutationFrom(T, [&e](const NutationRow& row) {
        return SinCosD(row.d * e.D + row.m * e.M + row.mp * e.Mp + row.f * e.F + row.om * e.Om);
    });
}

NutationResult NutationByMultiples(TDateTime t)
{
    const Extended T = JulianCenturies(t);
    const NutationElements e = ElementsAt(T);
    const AngleMultiples D(e.D), M(e.M), Mp(e.Mp), F(e.F), Om(e.Om);
    return NutationFrom(T, [&](const NutationRow& row) {
        return AddAngles(AddAngles(AddAngles(D.Of(row.d), M.Of(row.m)), AddAngles(Mp.Of(row.mp), F.Of(row.f))),
                         Om.Of(row.om));
    });
}

Extended SiderealTime(TDateTime t)
{
    return SiderealTime(t, Nutation(t));
}

Extended SiderealTime(TDateTime t, const NutationResult& n)
{
    const Extended J = JulianDay(t);
    const Extended T = JulianCenturies(t);
    return PutIn360(280.46061837L + 360.98564736629L * (J - 2451545) + T * T * (0.000387933L - T / 38710000)
                    + n.deltaPsi * CosD(n.obliquity));
}

void EclipticToEquatorial(TSkyPosition& position, TDateTime t)
{
    EclipticToEquatorial(position, Nutation(t));
}

void EclipticToEquatorial(TSkyPosition& position, const NutationResult& n)
{
    const Extended lambda = PutIn360(position.EclipticLongitude + n.deltaPsi);
    const Extended beta = position.EclipticLatitude;
    const Extended eps = n.obliquity;
    position.EclipticLongitude = lambda;
    position.RightAscension = ArcTan2D(SinD(lambda) * CosD(eps) - TanD(beta) * SinD(eps), CosD(lambda));
    position.Declination = ArcSinD(SinD(beta) * CosD(eps) + CosD(beta) * SinD(eps) * SinD(lambda));
}
