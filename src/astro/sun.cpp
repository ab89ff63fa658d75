// The Sun's apparent position from the Earth's VSOP87 coordinates.
#include "astro/sun.h"

#include "astro/vsop.h"

TSkyPosition SunPosition(TDateTime t)
{
    return SunPositionFromEarth(EarthCoordinates(t), t);
}

TSkyPosition SunPositionFromEarth(const EarthPosition& earth, TDateTime t)
{
    return SunPositionFromEarth(earth, t, Nutation(t));
}

TSkyPosition SunPositionFromEarth(const EarthPosition& earth, TDateTime t, const NutationResult& nutation)
{
    Extended theta = earth.l + 180;
    Extended beta = -earth.b;
    const Extended T = (JulianDay(t) - 2451545) / 365250 * 10;
    const Extended lp = theta + (-1.397L - 0.00031L * T) * T;
    // The FK5 correction is applied a second time here on top of the one in EarthCoordinates. The
    // extra 0.09" in longitude moves no rise or set time by a second, and every position this
    // program ever showed carries it.
    theta -= 0.09033L / 3600;
    beta += (0.03916L / 3600) * (CosD(lp) - SinD(lp));
    theta -= (20.4898L / 3600) / earth.r;  // aberration

    TSkyPosition p;
    p.EclipticLongitude = PutIn360(theta);
    p.EclipticLatitude = beta;
    p.Distance = earth.r * kKmPerAu;
    EclipticToEquatorial(p, nutation);
    return p;
}
