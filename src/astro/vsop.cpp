// VSOP87D Earth series and their evaluation.
#include "astro/vsop.h"

#include <array>
#include <cmath>

#include "astro/astro_tables.h"
#include "astro/time_base.h"

namespace {

// Where each of the 18 series starts in the generated table, found once: the table keeps the
// published order, so each series is one run of rows.
class EarthSeries
{
public:
    EarthSeries()
    {
        for (std::size_t i = 0; i < kVsopEarthTermsCount; ++i) {
            const VsopRow& row = kVsopEarthTerms[i];
            TVSOP::TermRun& s = m_series[Slot(row.variable)][static_cast<std::size_t>(row.power)];
            if (s.count == 0)
                s.first = &row;
            ++s.count;
        }
    }

    TVSOP::TermRun Run(char variable, int power) const
    {
        if (power < 0 || power > 5)
            return {};
        return m_series[Slot(variable)][static_cast<std::size_t>(power)];
    }

    VsopTerm Term(char variable, int index, int power) const
    {
        const TVSOP::TermRun s = Run(variable, power);
        if (index < 0 || index >= s.count)
            return {};
        const VsopRow& row = s.first[index];
        return {row.a, row.b, row.c};
    }

private:
    static std::size_t Slot(char variable) { return variable == 'L' ? 0 : variable == 'B' ? 1 : 2; }

    std::array<std::array<TVSOP::TermRun, 6>, 3> m_series{};
};

const EarthSeries& Earth()
{
    static const EarthSeries series;
    return series;
}

} // namespace

Extended TVSOP::Tau() const
{
    return (static_cast<Extended>(m_date) - kJ2000Date - 0.5L) / 365250;
}

Extended TVSOP::SumSeries(TermAccessor accessor) const
{
    const Extended tau = Tau();
    Extended sums[6] = {};
    for (int power = 0; power <= 5; ++power) {
        Extended s = 0;
        for (int index = 0;; ++index) {
            const VsopTerm term = (this->*accessor)(index, power);
            const Extended v = term.A * CosRad(term.B + term.C * tau);
            s += v;
            // Every published amplitude is non-zero, so a zero value marks the end of a series.
            // A zero from a real term would end the sum early as well; with finite tau that takes
            // an exact zero of the cosine, which does not occur.
            if (v == 0 || std::isnan(v))
                break;
        }
        sums[power] = s;
    }
    return (((((sums[5] * tau + sums[4]) * tau + sums[3]) * tau + sums[2]) * tau + sums[1]) * tau + sums[0]) * 1e-8L;
}

TVSOP::TermRun TVSOP::Series(char, int) const
{
    return {};
}

Extended TVSOP::SumVariable(char variable, TermAccessor accessor) const
{
    if (Series(variable, 0).count == 0)
        return SumSeries(accessor);
    // The same sums as SumSeries, term for term and in the same order, straight from the rows.
    const Extended tau = Tau();
    Extended result = 0;
    for (int power = 5; power >= 0; --power) {
        const TermRun run = Series(variable, power);
        Extended s = 0;
        for (int i = 0; i < run.count; ++i) {
            const VsopRow& row = run.first[i];
            s += row.a * CosRad(row.b + row.c * tau);
        }
        result = result * tau + s;
    }
    return result * 1e-8L;
}

Extended TVSOP::HelioLongitude() const
{
    return SumVariable('L', &TVSOP::LongitudeTerm);
}

Extended TVSOP::HelioLatitude() const
{
    return SumVariable('B', &TVSOP::LatitudeTerm);
}

Extended TVSOP::HelioRadius() const
{
    return SumVariable('R', &TVSOP::RadiusTerm);
}

void TVSOP::ConvertToFK5(Extended& longitude, Extended& latitude) const
{
    const Extended T = 10 * Tau();
    const Extended lp = longitude + DegToRad((-1.397L - 0.00031L * T) * T);
    const Extended dL = -DegToRad(0.09033L / 3600)
        + DegToRad(0.03916L / 3600) * (std::cos(lp) + std::sin(lp)) * (std::sin(latitude) / std::cos(latitude));
    const Extended dB = DegToRad(0.03916L / 3600) * (std::cos(lp) - std::sin(lp));
    longitude += dL;
    latitude += dB;
}

VsopTerm TVSOPEarth::LongitudeTerm(int index, int power) const
{
    return Earth().Term('L', index, power);
}

VsopTerm TVSOPEarth::LatitudeTerm(int index, int power) const
{
    return Earth().Term('B', index, power);
}

VsopTerm TVSOPEarth::RadiusTerm(int index, int power) const
{
    return Earth().Term('R', index, power);
}

TVSOP::TermRun TVSOPEarth::Series(char variable, int power) const
{
    return Earth().Run(variable, power);
}

EarthPosition EarthCoordinates(TDateTime t)
{
    TVSOPEarth earth;
    earth.SetDate(t);
    const Extended r = earth.HelioRadius();
    Extended l = earth.HelioLongitude();
    Extended b = earth.HelioLatitude();
    earth.ConvertToFK5(l, b);
    return {PutIn360(RadToDeg(l)), RadToDeg(b), r};
}
