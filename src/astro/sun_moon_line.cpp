// The text of the sun and moon line.
#include "astro/sun_moon_line.h"

#include <cmath>
#include <optional>

#include "astro/moon.h"
#include "astro/rise_set.h"
#include "astro/sun.h"
#include "calendar/date_format.h"

namespace {

constexpr const char* kNoTimes = "----/----";

TDateTime LastSunday(int year, int month)
{
    TDateTime day = EncodeDate(year, month, 31);
    while (DayOfWeek(day) != 1)
        day -= 1;
    return day;
}

// `times` computes a body's rise and set; it may throw.
template <typename Times>
std::string RiseSetText(Times times, int zoneHours)
{
    try {
        const RiseAndSet t = times();
        // The times are running day counts, which below 0 (before 1899-12-30) do not follow the
        // date-time convention of a time of day counted forward; only the time of day is shown.
        const auto clock = [zoneHours](Extended x) {
            const double local = static_cast<double>(x) + zoneHours / 24.0;
            return FormatDateTime("hh:nn", local - std::floor(local));
        };
        return clock(t.rise) + "/" + clock(t.set);
    } catch (const E_NoRiseSet&) {
        // Polar day or night, or no place on Earth. Any other failure is a fault and goes on up.
        return kNoTimes;
    }
}

// Ties go to the even neighbour (50.5 gives 50, 51.5 gives 52), as the percentage always has; the
// rounding of printf or of the current floating-point mode is not relied upon.
int RoundHalfEven(Extended x)
{
    const Extended lower = std::floor(x);
    const Extended fraction = x - lower;
    Extended result = lower;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(lower, 2.0L) != 0))
        result += 1;
    return static_cast<int>(result);
}

}  // namespace

int ZoneOffsetHours(TDateTime date)
{
    const TDateTime day = DateOf(date);
    const int year = DecodeDate(day).year;
    const TDateTime hour = 1.0 / 24;
    const TDateTime march = LastSunday(year, 3);
    const TDateTime october = LastSunday(year, 10);
    return (march - hour <= day && day <= october - hour) ? 2 : 1;
}

std::string FormatPhase(long double illumination, long double age)
{
    return std::to_string(RoundHalfEven(illumination * 100)) + " % " + (age <= kHalfSynodicMonth ? "(+)" : "(-)");
}

std::string DayLengthLine(int minutes, std::optional<int> yesterdayMinutes)
{
    std::string line = "Dzień trwa " + std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
    if (!yesterdayMinutes)
        return line;
    const int change = minutes - *yesterdayMinutes;
    if (change == 0)
        return line + ", tyle co wczoraj";
    return line + ", o " + std::to_string(std::abs(change)) + " min " + (change < 0 ? "krócej" : "dłużej")
           + " niż wczoraj";
}

std::string DayOfYearLine(TDateTime date)
{
    const int year = DecodeDate(date).year;
    const int day = static_cast<int>(DateOf(date) - EncodeDate(year, 1, 1)) + 1;
    const int days = IsLeapYear(year) ? 366 : 365;
    return std::to_string(day) + ". dzień roku, zostało " + std::to_string(days - day);
}

std::string SunMoonLine::Hint() const
{
    std::string hint;
    for (const std::string& line : hintLines) {
        if (!hint.empty())
            hint += "\r\n";
        hint += line;
    }
    return hint;
}

namespace {

// A day's length in whole minutes, empty when the Sun does not both rise and set.
std::optional<int> DayMinutes(const std::optional<RiseAndSet>& times)
{
    if (!times)
        return std::nullopt;
    return static_cast<int>(std::lround(static_cast<double>(times->set - times->rise) * 24 * 60));
}

std::optional<RiseAndSet> TryRiseSet(const RiseSetDay& inputs, Extended west, Extended latitude)
{
    try {
        return RiseSetPairFrom(inputs, west, latitude);
    } catch (const E_NoRiseSet&) {
        // Polar day or night, or no place on Earth; any other failure goes on up.
        return std::nullopt;
    }
}

SunMoonLine ComposeLine(std::string sunText, std::string moonText, const MoonPhase& phase)
{
    SunMoonLine line;
    line.sunText = std::move(sunText);
    line.caption = "W/Z: " + line.sunText;
    line.moonText = std::move(moonText);
    line.percentage = RoundHalfEven(phase.illumination * 100);
    line.waxing = phase.age <= kHalfSynodicMonth;
    line.phaseText = FormatPhase(phase.illumination, phase.age);
    line.hintLines = {"Słońce W/Z: " + line.sunText, "Księżyc W/Z: " + line.moonText,
                      "Księżyc faza: " + line.phaseText};
    return line;
}

// 18:00 UT of the day, without the zone shift: the instant of the phase.
constexpr TDateTime kPhaseHour = 0.75;

}  // namespace

SunMoonLine BuildSunMoonLine(TDateTime date, double latitude, double longitude)
{
    return SunMoonAlmanac(latitude, longitude).Line(date);
}

SunMoonAlmanac::SunMoonAlmanac(double latitude, double longitude) : m_latitude(latitude), m_longitude(longitude)
{
}

const SunMoonAlmanac::WholeDay& SunMoonAlmanac::At(TDateTime day)
{
    for (const WholeDay& d : m_days)
        if (d.known && d.day == day)
            return d;
    WholeDay& d = m_days[m_next];
    m_next = (m_next + 1) % m_days.size();
    d.day = day;
    d.known = true;
    d.nutation = NutationByMultiples(day);
    d.siderealTime = SiderealTime(day, d.nutation);
    m_earth.MoveTo(day);
    d.sun = SunPositionFromEarth(m_earth.Position(), day, d.nutation);
    d.moon = MoonPositionByMultiples(day, d.nutation);
    return d;
}

SunMoonLine SunMoonAlmanac::Line(TDateTime date)
{
    const TDateTime day = DateOf(date);
    // Copies: fetching one day may take the ring slot of another. The day before yesterday comes
    // first so that a run of days keeps asking the Earth for later days only.
    const WholeDay days[4] = {At(day - 2), At(day - 1), At(day), At(day + 1)};
    const auto inputs = [&days](int first, bool ofSun) {
        RiseSetDay in;
        in.day = days[first + 1].day;
        in.siderealTime = days[first + 1].siderealTime;
        for (int k = 0; k < 3; ++k) {
            const TSkyPosition& body = ofSun ? days[first + k].sun : days[first + k].moon;
            in.alpha[k] = body.RightAscension;
            in.delta[k] = body.Declination;
        }
        in.standardAltitude = ofSun ? kSunStandardAltitude
                                    : MoonStandardAltitude(MoonParallax(days[first + 1].moon.Distance));
        return in;
    };
    const RiseSetDay sun = inputs(1, true);
    const RiseSetDay moon = inputs(1, false);

    const int zone = ZoneOffsetHours(day);
    const Extended west = -static_cast<Extended>(m_longitude);
    const std::optional<RiseAndSet> sunTimes = TryRiseSet(sun, west, m_latitude);
    std::string sunText = RiseSetText(
        [&] {
            if (!sunTimes)
                throw E_NoRiseSet();
            return *sunTimes;
        },
        zone);
    std::string moonText = RiseSetText([&] { return RiseSetPairFrom(moon, west, m_latitude); }, zone);
    const std::optional<int> minutes = DayMinutes(sunTimes);
    const std::optional<int> yesterday = DayMinutes(TryRiseSet(inputs(0, true), west, m_latitude));

    // The Earth stands at the day after, whose positions were needed last; the phase's instant is
    // a quarter of a day before it.
    m_earth.MoveTo(day + 1);
    const TDateTime instant = day + kPhaseHour;
    const NutationResult nutation = NutationByMultiples(instant);
    const TSkyPosition sunThen = SunPositionFromEarth(m_earth.PositionAfter(kPhaseHour - 1), instant, nutation);
    SunMoonLine line = ComposeLine(std::move(sunText), std::move(moonText),
                                   MoonPhaseFrom(sunThen, MoonPositionByMultiples(instant, nutation)));
    if (minutes) {
        line.dayLengthText = std::to_string(*minutes / 60) + ":" + (*minutes % 60 < 10 ? "0" : "")
                             + std::to_string(*minutes % 60);
        line.dayLengthLine = DayLengthLine(*minutes, yesterday);
    } else if (std::isfinite(m_latitude) && std::fabs(m_latitude) <= 90) {
        // Without a rise or a set the Sun stays up or down all day: its height at noon tells which.
        const double noonAltitude = 90.0 - std::fabs(m_latitude - static_cast<double>(days[2].sun.Declination));
        line.dayLengthLine = noonAltitude > kSunStandardAltitude ? "Dzień polarny" : "Noc polarna";
    }
    line.dayOfYearLine = DayOfYearLine(day);
    line.hintLines.push_back(line.dayLengthLine);
    line.hintLines.push_back(line.dayOfYearLine);
    return line;
}
