// The astronomical time base: Julian days, nutation, sidereal time, ecliptic to equatorial
// coordinates, and the sky position record that the Sun and Moon computations fill.
#pragma once

#include "astro/ah_math.h"
#include "calendar/datetime.h"

// Julian day of TDateTime 0 (1899-12-30 00:00) and the TDateTime of 2000-01-01 00:00, the origin
// of the series' time arguments.
constexpr Extended JulianDayOffset = 2451544.5L - 36526.0L;
constexpr TDateTime kJ2000Date = 36526.0;

// An apparent geocentric (or, after TopocentricCorrection, topocentric) position.
struct TSkyPosition
{
    Extended EclipticLongitude = 0;  // degrees, equinox of date; 0..360 once EclipticToEquatorial ran
    Extended EclipticLatitude = 0;   // degrees
    Extended Distance = 0;           // km from the centre of the Earth
    Extended RightAscension = 0;     // degrees, -90 < alpha < 270 (not reduced further)
    Extended Declination = 0;        // degrees
    Extended Parallax = 0;           // degrees; the Moon's equatorial horizontal parallax only
};

// t is taken as Universal Time and as the time of the series alike: there is no Delta T.
Extended JulianDay(TDateTime t);
// Julian centuries from J2000.0.
Extended JulianCenturies(TDateTime t);

struct NutationResult
{
    Extended deltaPsi = 0;   // nutation in longitude, degrees
    Extended obliquity = 0;  // true obliquity of the ecliptic, degrees
};

// The 31 largest terms of the IAU 1980 theory of nutation.
NutationResult Nutation(TDateTime t);
// The same with each row's sine and cosine built from those of the five elements by the
// angle-addition rule: a sixth of the cosines, within 1e-15 degree of Nutation.
NutationResult NutationByMultiples(TDateTime t);

// Apparent sidereal time at Greenwich for the instant t (UT), degrees 0..360.
Extended SiderealTime(TDateTime t);
// The same with the nutation at t already at hand: several positions of one instant share it.
Extended SiderealTime(TDateTime t, const NutationResult& nutation);

// Adds the nutation in longitude to the position's ecliptic longitude (reduced into 0..360) and
// fills its right ascension and declination for the true equator and equinox of t.
void EclipticToEquatorial(TSkyPosition& position, TDateTime t);
void EclipticToEquatorial(TSkyPosition& position, const NutationResult& nutation);
