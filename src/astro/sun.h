// The apparent geocentric position of the Sun.
#pragma once

#include "astro/time_base.h"

// Kilometres per astronomical unit.
constexpr Extended kKmPerAu = 149597869;

// Ecliptic longitude and latitude, distance, right ascension and declination of the Sun at t (UT
// taken as the time of the series); Parallax stays 0.
TSkyPosition SunPosition(TDateTime t);

struct EarthPosition;
// SunPosition from the Earth's heliocentric position at t, for callers that have it already.
TSkyPosition SunPositionFromEarth(const EarthPosition& earth, TDateTime t);
// And with the nutation at t as well.
TSkyPosition SunPositionFromEarth(const EarthPosition& earth, TDateTime t, const NutationResult& nutation);
