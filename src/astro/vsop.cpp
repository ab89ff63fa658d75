// VSOP87D Earth series and their evaluation.
#include "astro/vsop.h"

#include <array>
#include <cmath>
#include <vector>

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

constexpr Extended kDayInMillennia = 1.0L / 365250;

// Sine and cosine of each Earth term's phase step over one day, C / 365250, by table row.
const std::vector<SinCosPair>& DaySteps()
{
    static const std::vector<SinCosPair> steps = [] {
        std::vector<SinCosPair> v(kVsopEarthTermsCount);
        for (std::size_t i = 0; i < kVsopEarthTermsCount; ++i)
            v[i] = SinCosRad(kVsopEarthTerms[i].c * kDayInMillennia);
        return v;
    }();
    return steps;
}

// One variable's series at the three taus of the days before, on and after the middle one.
std::array<Extended, 3> SumAround(const TVSOPEarth& body, char variable, const std::array<Extended, 3>& taus)
{
    const std::vector<SinCosPair>& steps = DaySteps();
    std::array<Extended, 3> result{};
    for (int power = 5; power >= 0; --power) {
        const TVSOP::TermRun run = body.Series(variable, power);
        Extended before = 0;
        Extended on = 0;
        Extended after = 0;
        for (int i = 0; i < run.count; ++i) {
            const VsopRow& row = run.first[i];
            const SinCosPair angle = SinCosRad(row.b + row.c * taus[1]);
            const SinCosPair& step = steps[static_cast<std::size_t>(&row - kVsopEarthTerms)];
            on += row.a * angle.cos;
            before += row.a * (angle.cos * step.cos + angle.sin * step.sin);
            after += row.a * (angle.cos * step.cos - angle.sin * step.sin);
        }
        result[0] = result[0] * taus[0] + before;
        result[1] = result[1] * taus[1] + on;
        result[2] = result[2] * taus[2] + after;
    }
    for (Extended& x : result)
        x *= 1e-8L;
    return result;
}

}  // namespace

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
                        + DegToRad(0.03916L / 3600) * (std::cos(lp) + std::sin(lp))
                              * (std::sin(latitude) / std::cos(latitude));
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

std::array<EarthPosition, 3> EarthCoordinatesAround(TDateTime t)
{
    std::array<TVSOPEarth, 3> days;
    std::array<Extended, 3> taus{};
    for (int k = 0; k < 3; ++k) {
        days[k].SetDate(t + (k - 1));
        taus[k] = days[k].Tau();
    }
    // Sums of the middle day's evaluator; the outer taus only weigh the powers of tau.
    const std::array<Extended, 3> r = SumAround(days[1], 'R', taus);
    const std::array<Extended, 3> l = SumAround(days[1], 'L', taus);
    const std::array<Extended, 3> b = SumAround(days[1], 'B', taus);
    std::array<EarthPosition, 3> positions;
    for (int k = 0; k < 3; ++k) {
        Extended lk = l[k];
        Extended bk = b[k];
        days[k].ConvertToFK5(lk, bk);
        positions[k] = {PutIn360(RadToDeg(lk)), RadToDeg(bk), r[k]};
    }
    return positions;
}
