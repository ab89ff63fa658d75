// The Moon: apparent position from the ELP-2000/82 abridgement, parallax, phase and age.
#pragma once

#include "astro/time_base.h"

// Half the mean synodic month: an age up to this counts as waxing.
constexpr Extended kHalfSynodicMonth = 14.7652945L;
constexpr Extended kSynodicMonth = 29.530589L;

// Apparent geocentric ecliptic longitude and latitude, distance, right ascension and declination
// of the Moon at t (UT taken as dynamical time).
TSkyPosition MoonPosition(TDateTime t);
// The same with the nutation at t already at hand.
TSkyPosition MoonPosition(TDateTime t, const NutationResult& nutation);
// The same with each term's sine and cosine built from those of the four mean elements by the
// angle-addition rule: a tenth of the cosines, within 1e-12 degree and 1e-6 km of MoonPosition.
TSkyPosition MoonPositionByMultiples(TDateTime t, const NutationResult& nutation);

// The Moon's equatorial horizontal parallax in degrees at `distance` km from the Earth's centre.
Extended MoonParallax(Extended distance);

// Replaces the geocentric right ascension and declination of `position` (the Moon at t) by those
// seen from an observer `height` metres above sea level at west longitude `longitudeWest` and
// latitude `latitude` (degrees), and sets Parallax from the position's distance.
void TopocentricCorrection(TSkyPosition& position, Extended height, Extended longitudeWest, Extended latitude,
                           TDateTime t);

// The Moon's phase angle at t in degrees, 0..180, negative while waning.
Extended MoonPhaseAngle(TDateTime t);
// The lit fraction of the Moon's disc, 0..1.
Extended MoonIllumination(TDateTime t);
// The Moon's elongation from the Sun as a share of the mean synodic month: 0 <= age < 29.530589
// days (not the time since the last new moon).
Extended MoonAge(TDateTime t);

// Phase angle and age from one pair of positions, for callers that want both at one instant.
struct MoonPhase
{
    Extended phaseAngle = 0;    // degrees, as MoonPhaseAngle
    Extended illumination = 0;  // as MoonIllumination
    Extended age = 0;           // days, as MoonAge
};
MoonPhase MoonPhaseAt(TDateTime t);
// The same from the Sun's and the Moon's apparent geocentric positions at one instant.
MoonPhase MoonPhaseFrom(const TSkyPosition& sun, const TSkyPosition& moon);
