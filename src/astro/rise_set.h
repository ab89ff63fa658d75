// Rise and set of the Sun and the Moon: three positions a day apart, the approximate time from the
// hour angle at the standard altitude, and interpolated corrections.
#pragma once

#include <stdexcept>

#include "astro/ah_math.h"
#include "calendar/datetime.h"

// The body does not cross its standard altitude on the day (polar day or night, or a Moon that
// stays up or down), or the place given makes the computation meaningless (a latitude that gives
// no finite answer). An expected outcome, not a fault: the day view shows "----/----".
class E_NoRiseSet : public std::runtime_error
{
public:
    E_NoRiseSet() : std::runtime_error("No rises or sets calculable") {}
};

enum class RiseSetEvent
{
    Rise,
    Set
};
enum class RiseSetBody
{
    Sun,
    Moon
};

// Interpolation of three values one day apart at the fraction n of the day of y2; a difference of
// more than 100 degrees between neighbours counts as a wrap through 360.
Extended Interpolate3(Extended y1, Extended y2, Extended y3, Extended n);

// The instant (UT, as TDateTime) of the event on the Universal-Time day of `date` (its time of day
// is ignored) for an observer at `longitudeWest` (degrees, positive WEST) and `latitude` (degrees,
// positive north). The result may lie a little before or after that day when the event is close
// to midnight. Throws E_NoRiseSet when there is no event that day.
TDateTime RiseSet(RiseSetBody body, RiseSetEvent event, Extended longitudeWest, Extended latitude, TDateTime date);

TDateTime SunRise(Extended longitudeWest, Extended latitude, TDateTime date);
TDateTime SunSet(Extended longitudeWest, Extended latitude, TDateTime date);
TDateTime MoonRise(Extended longitudeWest, Extended latitude, TDateTime date);
TDateTime MoonSet(Extended longitudeWest, Extended latitude, TDateTime date);

// Rise and set of one body on one day from one set of positions: the same answers as the two
// separate calls at half the cost. Throws E_NoRiseSet as RiseSet does.
struct RiseAndSet
{
    TDateTime rise = 0;
    TDateTime set = 0;
};
RiseAndSet RiseSetPair(RiseSetBody body, Extended longitudeWest, Extended latitude, TDateTime date);

// What one day's rise and set are computed from, for callers that keep the positions of whole days
// and hand each to the three days that need it.
struct RiseSetDay
{
    TDateTime day = 0;          // 00:00 UT
    Extended siderealTime = 0;  // apparent sidereal time at Greenwich at 00:00 UT, degrees
    Extended alpha[3] = {};     // apparent geocentric right ascension a day before, on, a day after
    Extended delta[3] = {};     // declination likewise
    Extended standardAltitude = 0;
};
// The standard altitudes: the Sun's, and the Moon's from its parallax (degrees) on the day.
constexpr Extended kSunStandardAltitude = -0.8333L;
Extended MoonStandardAltitude(Extended parallax);
// RiseSetPair from such inputs: the same answers as RiseSetPair given the same positions.
RiseAndSet RiseSetPairFrom(const RiseSetDay& inputs, Extended longitudeWest, Extended latitude);
