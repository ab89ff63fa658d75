// The VSOP87 planetary theory, version D, for the Earth: heliocentric ecliptic coordinates
// referred to the mean ecliptic and equinox of date.
#pragma once

#include <array>
#include <vector>

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

// The Earth's position at whole days taken one after another, as an almanac of many days needs it.
// Each term's phase is carried from one day to the next by turning its sine and cosine through the
// term's fixed one-day step, so a day costs multiplications instead of 2,425 cosines; the series
// are evaluated afresh at the first day, after any other move, and every few days, which keeps the
// positions within 1e-12 degree of EarthCoordinates.
class EarthDayRun
{
public:
    // Moves to the whole day `day` (00:00 UT).
    void MoveTo(TDateTime day);
    TDateTime Day() const { return m_day; }
    // EarthCoordinates at the current day.
    EarthPosition Position() const;
    // EarthCoordinates at the current day + `days` (a fraction of a day, either way), from the same
    // phases turned by that step.
    EarthPosition PositionAfter(Extended days);

private:
    void Evaluate();
    // The sums at `date` from the phases at m_day: each term's cosine there is weightsOfCos x cos +
    // weightsOfSin x sin of its phase at m_day (amplitude included), and the leading term of each
    // series, kept in extended precision, is leadingCos times its amplitude.
    EarthPosition Sum(TDateTime date, const std::array<double, 18>& leadingCos, const double* weightsOfCos,
                      const double* weightsOfSin) const;

    TDateTime m_day = 0;
    bool m_started = false;
    int m_turnsSinceEvaluated = 0;
    std::vector<double> m_sin;  // of each term's phase at m_day, in table order
    std::vector<double> m_cos;
    Extended m_offset = 0;  // the step the vectors below were made for
    std::vector<double> m_offsetSin;
    std::vector<double> m_offsetCos;
    std::vector<double> m_weightsOfCos;
    std::vector<double> m_weightsOfSin;
};
