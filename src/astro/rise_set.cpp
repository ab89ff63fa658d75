// Rise and set times by the three-position method.
#include "astro/rise_set.h"

#include <array>
#include <cmath>

#include "astro/moon.h"
#include "astro/sun.h"
#include "astro/time_base.h"
#include "astro/vsop.h"

namespace {

constexpr Extended kMoonSemiDiameterAndRefraction = 34.0L / 60;
// The correction is repeated because one step leaves the fast-moving Moon minutes off; it
// converges in two or three steps, and the limit only guards against a place where it does not.
constexpr int kMaxCorrections = 10;
constexpr Extended kConverged = 1e-6L;  // day
// A correction of more than half a day means the approximate time was no approximation: the body
// only grazes the standard altitude, and no crossing belongs to this day.
constexpr Extended kLargestCorrection = 0.5L;

using DayPositions = RiseSetDay;

DayPositions PositionsFor(RiseSetBody body, Extended longitudeWest, Extended latitude, TDateTime date)
{
    DayPositions p;
    p.day = std::trunc(date);
    p.siderealTime = SiderealTime(p.day);
    std::array<TSkyPosition, 3> positions;
    if (body == RiseSetBody::Sun) {
        const std::array<EarthPosition, 3> earth = EarthCoordinatesAround(p.day);
        for (int k = 0; k < 3; ++k)
            positions[k] = SunPositionFromEarth(earth[k], p.day + (k - 1));
        p.standardAltitude = kSunStandardAltitude;
    } else {
        for (int k = 0; k < 3; ++k)
            positions[k] = MoonPosition(p.day + (k - 1));
        // The standard altitude holds the Moon's parallax (0.7275 pi), so the positions above are
        // geocentric: topocentric ones would count the parallax twice.
        TSkyPosition here = date == p.day ? positions[1] : MoonPosition(date);
        TopocentricCorrection(here, 0, longitudeWest, latitude, date);
        p.standardAltitude = MoonStandardAltitude(here.Parallax);
    }
    for (int k = 0; k < 3; ++k) {
        p.alpha[k] = positions[k].RightAscension;
        p.delta[k] = positions[k].Declination;
    }
    return p;
}

// cos H0 of the day, or E_NoRiseSet when the body stays above or below the standard altitude. A
// NaN (from a latitude no trigonometry makes sense of) fails the same test.
Extended HourAngleAtStandardAltitude(const DayPositions& p, Extended latitude)
{
    const Extended cosH0 = (SinD(p.standardAltitude) - SinD(latitude) * SinD(p.delta[1]))
                           / (CosD(latitude) * CosD(p.delta[1]));
    if (!(cosH0 >= -1 && cosH0 <= 1))
        throw E_NoRiseSet();
    return ArcCosD(cosH0);
}

TDateTime EventTime(const DayPositions& p, RiseSetEvent event, Extended longitudeWest, Extended latitude, Extended H0)
{
    const Extended m0 = (p.alpha[1] + longitudeWest - p.siderealTime) / 360;
    Extended m = event == RiseSetEvent::Rise ? m0 - H0 / 360 : m0 + H0 / 360;
    m -= std::trunc(m);
    if (m < 0)
        m += 1;

    for (int step = 0; step < kMaxCorrections; ++step) {
        const Extended alpha = Interpolate3(p.alpha[0], p.alpha[1], p.alpha[2], m);
        const Extended delta = Interpolate3(p.delta[0], p.delta[1], p.delta[2], m);
        const Extended theta = p.siderealTime + 360.985647L * m;
        Extended H = PutIn360(theta - longitudeWest - alpha);
        if (H > 180)
            H -= 360;
        const Extended h = ArcSinD(SinD(latitude) * SinD(delta) + CosD(latitude) * CosD(delta) * CosD(H));
        const Extended dm = (h - p.standardAltitude) / (360 * CosD(delta) * CosD(latitude) * SinD(H));
        if (!(std::fabs(dm) <= kLargestCorrection))
            throw E_NoRiseSet();
        // Not reduced to the day again: an event close to midnight may end up just outside it.
        m += dm;
        if (std::fabs(dm) < kConverged)
            break;
    }
    const TDateTime result = static_cast<TDateTime>(p.day + m);
    if (!std::isfinite(result))
        throw E_NoRiseSet();
    return result;
}

}  // namespace

Extended MoonStandardAltitude(Extended parallax)
{
    return 0.7275L * parallax - kMoonSemiDiameterAndRefraction;
}

Extended Interpolate3(Extended y1, Extended y2, Extended y3, Extended n)
{
    Extended a = y2 - y1;
    Extended b = y3 - y2;
    if (a > 100)
        a -= 360;
    if (a < -100)
        a += 360;
    if (b > 100)
        b -= 360;
    if (b < -100)
        b += 360;
    const Extended c = b - a;
    return y2 + n / 2 * (a + b + n * c);
}

namespace {

// A latitude beyond the poles is no place on Earth, however the trigonometry below would treat it
// (a huge one even gives finite times); a longitude is only an angle, so any turn of it is the same.
void CheckPlace(Extended& longitudeWest, Extended latitude)
{
    if (!(latitude >= -90 && latitude <= 90))
        throw E_NoRiseSet();
    if (!(longitudeWest >= -180 && longitudeWest <= 180)) {
        longitudeWest = std::fmod(longitudeWest, 360.0L);
        if (longitudeWest > 180)
            longitudeWest -= 360;
        else if (longitudeWest < -180)
            longitudeWest += 360;
    }
}

}  // namespace

TDateTime RiseSet(RiseSetBody body, RiseSetEvent event, Extended longitudeWest, Extended latitude, TDateTime date)
{
    CheckPlace(longitudeWest, latitude);
    const DayPositions p = PositionsFor(body, longitudeWest, latitude, date);
    return EventTime(p, event, longitudeWest, latitude, HourAngleAtStandardAltitude(p, latitude));
}

RiseAndSet RiseSetPair(RiseSetBody body, Extended longitudeWest, Extended latitude, TDateTime date)
{
    CheckPlace(longitudeWest, latitude);
    const DayPositions p = PositionsFor(body, longitudeWest, latitude, date);
    const Extended H0 = HourAngleAtStandardAltitude(p, latitude);
    return {EventTime(p, RiseSetEvent::Rise, longitudeWest, latitude, H0),
            EventTime(p, RiseSetEvent::Set, longitudeWest, latitude, H0)};
}

RiseAndSet RiseSetPairFrom(const RiseSetDay& p, Extended longitudeWest, Extended latitude)
{
    CheckPlace(longitudeWest, latitude);
    const Extended H0 = HourAngleAtStandardAltitude(p, latitude);
    return {EventTime(p, RiseSetEvent::Rise, longitudeWest, latitude, H0),
            EventTime(p, RiseSetEvent::Set, longitudeWest, latitude, H0)};
}

TDateTime SunRise(Extended longitudeWest, Extended latitude, TDateTime date)
{
    return RiseSet(RiseSetBody::Sun, RiseSetEvent::Rise, longitudeWest, latitude, date);
}

TDateTime SunSet(Extended longitudeWest, Extended latitude, TDateTime date)
{
    return RiseSet(RiseSetBody::Sun, RiseSetEvent::Set, longitudeWest, latitude, date);
}

TDateTime MoonRise(Extended longitudeWest, Extended latitude, TDateTime date)
{
    return RiseSet(RiseSetBody::Moon, RiseSetEvent::Rise, longitudeWest, latitude, date);
}

TDateTime MoonSet(Extended longitudeWest, Extended latitude, TDateTime date)
{
    return RiseSet(RiseSetBody::Moon, RiseSetEvent::Set, longitudeWest, latitude, date);
}
