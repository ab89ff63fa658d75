// The VSOP87 planetary theory, version D, for the Earth: heliocentric ecliptic coordinates
// referred to the mean ecliptic and equinox of date.
#pragma once

#include <array>

#include "astro/ah_math.h"
#include "astro/astro_tables.h"
#include "calendar/datetime.h"

// One term A cos(B + C tau): A x 1e8 (1e-8 radian or 1e-8 AU), B in radians, C in radians per
// Julian millennium.
struct VsopTerm
{
    Extended A = 0;
    Extended B = 0;
    Extended C = 0;
};

// A body's series, evaluated for one date. The term accessors give term `index` (from 0) of the
// series of tau to the power `power` (0..5), or a zero term past either end of a series and for a
// power the variable has no series of; the zero term is what ends a sum.
class TVSOP
{
public:
    virtual ~TVSOP() = default;

    virtual VsopTerm LongitudeTerm(int index, int power) const = 0;
    virtual VsopTerm LatitudeTerm(int index, int power) const = 0;
    virtual VsopTerm RadiusTerm(int index, int power) const = 0;

    void SetDate(TDateTime date) { m_date = date; }
    TDateTime Date() const { return m_date; }

    // Julian millennia from J2000.0.
    Extended Tau() const;

    using TermAccessor = VsopTerm (TVSOP::*)(int index, int power) const;
    // The six series of one variable summed and combined as a polynomial in tau, in the units of
    // the variable (radians or astronomical units).
    Extended SumSeries(TermAccessor accessor) const;

    // One series as a run of table rows, for bodies whose tables are laid out that way; the
    // Helio functions then sum the rows directly, with the same result as SumSeries and without a
    // virtual call per term. The default, an empty run, makes them use SumSeries.
    struct TermRun
    {
        const VsopRow* first = nullptr;
        int count = 0;
    };
    virtual TermRun Series(char variable, int power) const;

    Extended HelioLongitude() const;  // radians
    Extended HelioLatitude() const;   // radians
    Extended HelioRadius() const;     // astronomical units

    // Turns VSOP's dynamical ecliptic coordinates (radians) into the FK5 frame.
    void ConvertToFK5(Extended& longitude, Extended& latitude) const;

private:
    Extended SumVariable(char variable, TermAccessor accessor) const;

    TDateTime m_date = 0;
};

class TVSOPEarth final : public TVSOP
{
public:
    VsopTerm LongitudeTerm(int index, int power) const override;
    VsopTerm LatitudeTerm(int index, int power) const override;
    VsopTerm RadiusTerm(int index, int power) const override;
    TermRun Series(char variable, int power) const override;
};

struct EarthPosition
{
    Extended l = 0;  // heliocentric longitude, degrees 0..360, FK5
    Extended b = 0;  // heliocentric latitude, degrees, FK5
    Extended r = 0;  // radius vector, astronomical units
};

// The Earth's heliocentric position at t (taken as the time of the series, without Delta T).
EarthPosition EarthCoordinates(TDateTime t);

// EarthCoordinates at t - 1, t and t + 1 day, for the three positions of a rise or set. The outer
// days' cosines come from the middle day's sine and cosine by the angle-addition rule with each
// term's fixed one-day step, so the three cost little more than one; they agree with three
// separate calls to within 1e-13 degree.
std::array<EarthPosition, 3> EarthCoordinatesAround(TDateTime t);
