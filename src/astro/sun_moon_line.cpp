// The text of the sun and moon line.
#include "astro/sun_moon_line.h"

#include <cmath>

#include "astro/moon.h"
#include "astro/rise_set.h"
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

std::string RiseSetText(RiseSetBody body, TDateTime date, double latitude, double longitude, int zoneHours)
{
    try {
        // The computation takes longitude positive to the west.
        const RiseAndSet times = RiseSetPair(body, -static_cast<Extended>(longitude), latitude, date);
        // The times are running day counts, which below 0 (before 1899-12-30) do not follow the
        // date-time convention of a time of day counted forward; only the time of day is shown.
        const auto clock = [zoneHours](Extended t) {
            const double local = static_cast<double>(t) + zoneHours / 24.0;
            return FormatDateTime("hh:nn", local - std::floor(local));
        };
        return clock(times.rise) + "/" + clock(times.set);
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

SunMoonLine BuildSunMoonLine(TDateTime date, double latitude, double longitude)
{
    const TDateTime day = DateOf(date);
    const int zone = ZoneOffsetHours(day);
    SunMoonLine line;
    line.sunText = RiseSetText(RiseSetBody::Sun, day, latitude, longitude, zone);
    line.caption = "W/Z: " + line.sunText;
    line.moonText = RiseSetText(RiseSetBody::Moon, day, latitude, longitude, zone);

    // 18:00 UT of the day, without the zone shift.
    const MoonPhase phase = MoonPhaseAt(day + 0.75);
    line.percentage = RoundHalfEven(phase.illumination * 100);
    line.waxing = phase.age <= kHalfSynodicMonth;
    line.phaseText = FormatPhase(phase.illumination, phase.age);
    line.hintLines = {"Słońce W/Z: " + line.sunText, "Księżyc W/Z: " + line.moonText,
                      "Księżyc faza: " + line.phaseText};
    return line;
}
