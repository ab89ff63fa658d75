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
    // Copies: fetching one day may take the ring slot of another.
    const WholeDay days[3] = {At(day - 1), At(day), At(day + 1)};
    RiseSetDay sun;
    RiseSetDay moon;
    sun.day = moon.day = day;
    sun.siderealTime = moon.siderealTime = days[1].siderealTime;
    for (int k = 0; k < 3; ++k) {
        sun.alpha[k] = days[k].sun.RightAscension;
        sun.delta[k] = days[k].sun.Declination;
        moon.alpha[k] = days[k].moon.RightAscension;
        moon.delta[k] = days[k].moon.Declination;
    }
    sun.standardAltitude = kSunStandardAltitude;
    moon.standardAltitude = MoonStandardAltitude(MoonParallax(days[1].moon.Distance));

    const int zone = ZoneOffsetHours(day);
    const Extended west = -static_cast<Extended>(m_longitude);
    std::string sunText = RiseSetText([&] { return RiseSetPairFrom(sun, west, m_latitude); }, zone);
    std::string moonText = RiseSetText([&] { return RiseSetPairFrom(moon, west, m_latitude); }, zone);

    // The Earth stands at the day after, whose positions were needed last; the phase's instant is
    // a quarter of a day before it.
    m_earth.MoveTo(day + 1);
    const TDateTime instant = day + kPhaseHour;
    const NutationResult nutation = NutationByMultiples(instant);
    const TSkyPosition sunThen = SunPositionFromEarth(m_earth.PositionAfter(kPhaseHour - 1), instant, nutation);
    return ComposeLine(std::move(sunText), std::move(moonText),
                       MoonPhaseFrom(sunThen, MoonPositionByMultiples(instant, nutation)));
}
