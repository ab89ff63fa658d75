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

namespace {

// Evaluated afresh this often: each turn adds a rounding of about 1e-16 to every cosine, so that
// even a year of turns stays far below what a position resolves.
constexpr int kTurnsBetweenEvaluations = 128;
// The loops below go four terms at a time, which the compiler turns into vector instructions.
constexpr std::size_t kLanes = 4;

// The Earth's terms laid out for the day-to-day run: amplitudes and one day's turn of each term's
// phase in plain arrays, padded with zero terms to a multiple of four, and where each series lies.
// The first term of each series, the largest (and for L1 the one of 6283 radians), is summed in
// extended precision apart from the rest, which double holds well enough.
struct RunTable
{
    std::size_t size = 0;  // padded
    std::vector<double> a, daySin, dayCos, b, c;
    struct Series
    {
        std::size_t first = 0, count = 0;
        Extended leadingA = 0;
    };
    std::array<std::array<Series, 6>, 3> series{};  // L, B, R by power
};

std::size_t VariableSlot(char variable)
{
    return variable == 'L' ? 0 : variable == 'B' ? 1 : 2;
}

const RunTable& Table()
{
    static const RunTable table = [] {
        RunTable t;
        const std::size_t n = kVsopEarthTermsCount;
        t.size = (n + kLanes - 1) / kLanes * kLanes;
        t.a.assign(t.size, 0);
        t.daySin.assign(t.size, 0);
        t.dayCos.assign(t.size, 1);
        t.b.assign(t.size, 0);
        t.c.assign(t.size, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const VsopRow& row = kVsopEarthTerms[i];
            RunTable::Series& s = t.series[VariableSlot(row.variable)][static_cast<std::size_t>(row.power)];
            if (s.count == 0) {
                s.first = i;
                s.leadingA = row.a;
            } else {
                t.a[i] = static_cast<double>(row.a);
            }
            ++s.count;
            // In extended precision, so that the turns add no error of their own beyond the
            // rounding to double.
            const Extended step = row.c * kDayInMillennia;
            t.daySin[i] = static_cast<double>(std::sin(step));
            t.dayCos[i] = static_cast<double>(std::cos(step));
        }
        return t;
    }();
    return table;
}

// Sum of a[i] x[i] + b[i] y[i] over [first, first + count): the run's own order of summation,
// four partial sums side by side.
double DotProducts(const double* a, const double* x, const double* b, const double* y, std::size_t first,
                   std::size_t count)
{
    double partial[kLanes] = {};
    std::size_t i = first;
    const std::size_t end = first + count;
    for (; i + kLanes <= end; i += kLanes)
        for (std::size_t k = 0; k < kLanes; ++k)
            partial[k] += a[i + k] * x[i + k];
    for (; i < end; ++i)
        partial[0] += a[i] * x[i];
    if (b) {
        i = first;
        for (; i + kLanes <= end; i += kLanes)
            for (std::size_t k = 0; k < kLanes; ++k)
                partial[k] += b[i + k] * y[i + k];
        for (; i < end; ++i)
            partial[0] += b[i] * y[i];
    }
    return (partial[0] + partial[1]) + (partial[2] + partial[3]);
}

}  // namespace

void EarthDayRun::MoveTo(TDateTime day)
{
    if (m_started && day == m_day)
        return;
    const bool nextDay = m_started && day == m_day + 1 && m_turnsSinceEvaluated < kTurnsBetweenEvaluations;
    m_day = day;
    m_started = true;
    if (!nextDay) {
        Evaluate();
        return;
    }
    const RunTable& t = Table();
    double* __restrict s = m_sin.data();
    double* __restrict c = m_cos.data();
    const double* __restrict ts = t.daySin.data();
    const double* __restrict tc = t.dayCos.data();
    for (std::size_t i = 0; i < t.size; i += kLanes) {
        for (std::size_t k = i; k < i + kLanes; ++k) {
            const double sinPhase = s[k];
            const double cosPhase = c[k];
            s[k] = sinPhase * tc[k] + cosPhase * ts[k];
            c[k] = cosPhase * tc[k] - sinPhase * ts[k];
        }
    }
    ++m_turnsSinceEvaluated;
}

void EarthDayRun::Evaluate()
{
    const RunTable& t = Table();
    TVSOPEarth earth;
    earth.SetDate(m_day);
    const Extended tau = earth.Tau();
    m_sin.assign(t.size, 0);
    m_cos.assign(t.size, 1);
    for (std::size_t i = 0; i < kVsopEarthTermsCount; ++i) {
        const VsopRow& row = kVsopEarthTerms[i];
        const SinCosPair angle = SinCosRad(row.b + row.c * tau);
        m_sin[i] = static_cast<double>(angle.sin);
        m_cos[i] = static_cast<double>(angle.cos);
    }
    m_turnsSinceEvaluated = 0;
}

EarthPosition EarthDayRun::Sum(TDateTime date, const std::array<double, 18>& leadingCos, const double* weightsOfCos,
                               const double* weightsOfSin) const
{
    const RunTable& t = Table();
    TVSOPEarth earth;
    earth.SetDate(date);
    const Extended tau = earth.Tau();
    const auto variable = [&](char name) {
        Extended result = 0;
        for (int power = 5; power >= 0; --power) {
            const std::size_t slot = VariableSlot(name) * 6 + static_cast<std::size_t>(power);
            const RunTable::Series& s = t.series[VariableSlot(name)][static_cast<std::size_t>(power)];
            Extended sum = 0;
            if (s.count > 0)
                sum = s.leadingA * static_cast<Extended>(leadingCos[slot])
                      + DotProducts(weightsOfCos, m_cos.data(), weightsOfSin, m_sin.data(), s.first + 1, s.count - 1);
            result = result * tau + sum;
        }
        return result * 1e-8L;
    };
    const Extended r = variable('R');
    Extended l = variable('L');
    Extended b = variable('B');
    earth.ConvertToFK5(l, b);
    return {PutIn360(RadToDeg(l)), RadToDeg(b), r};
}

EarthPosition EarthDayRun::Position() const
{
    const RunTable& t = Table();
    std::array<double, 18> leading{};
    for (std::size_t v = 0; v < 3; ++v)
        for (std::size_t p = 0; p < 6; ++p)
            leading[v * 6 + p] = m_cos[t.series[v][p].first];
    return Sum(m_day, leading, t.a.data(), nullptr);
}

EarthPosition EarthDayRun::PositionAfter(Extended days)
{
    const RunTable& t = Table();
    if (m_offsetCos.empty() || days != m_offset) {
        // cos(phase + step) = cos(phase) cos(step) - sin(phase) sin(step), with the amplitudes
        // folded into the two weights.
        m_offset = days;
        m_offsetCos.assign(t.size, 1);
        m_offsetSin.assign(t.size, 0);
        m_weightsOfCos.assign(t.size, 0);
        m_weightsOfSin.assign(t.size, 0);
        for (std::size_t i = 0; i < kVsopEarthTermsCount; ++i) {
            const Extended step = kVsopEarthTerms[i].c * kDayInMillennia * days;
            m_offsetCos[i] = static_cast<double>(std::cos(step));
            m_offsetSin[i] = static_cast<double>(std::sin(step));
            m_weightsOfCos[i] = t.a[i] * m_offsetCos[i];
            m_weightsOfSin[i] = -t.a[i] * m_offsetSin[i];
        }
    }
    std::array<double, 18> leading{};
    for (std::size_t v = 0; v < 3; ++v)
        for (std::size_t p = 0; p < 6; ++p) {
            const std::size_t f = t.series[v][p].first;
            leading[v * 6 + p] = m_cos[f] * m_offsetCos[f] - m_sin[f] * m_offsetSin[f];
        }
    return Sum(static_cast<TDateTime>(m_day + days), leading, m_weightsOfCos.data(), m_weightsOfSin.data());
}
