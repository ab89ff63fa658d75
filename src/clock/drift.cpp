// Drift correction arithmetic.
#include "clock/drift.h"

#include <cmath>
#include <cstdio>

#include "calendar/date_format.h"
#include "platform/system_clock.h"

std::optional<DriftStep> DriftCorrectionDue(double daily, TDateTime now, TDateTime last, double pending,
                                            std::chrono::milliseconds uptime)
{
    if (uptime > kDriftCorrectionWindow || daily == 0)
        return std::nullopt;
    DriftStep s;
    s.step = std::fabs(daily) > 1 ? 10 : 6;
    s.owed = (now - last) * daily + pending;
    if (std::fabs(s.owed) <= s.step / 2)
        return std::nullopt;
    // Overshooting by half a step leaves the clock about half a step ahead, so the next step falls
    // due only when a whole step has built up again.
    const double whole = std::trunc(s.owed);
    s.shift = whole >= 0 ? whole + s.step / 2 : whole - s.step / 2;
    return s;
}

std::optional<TDateTime> ShiftedLocalTime(TDateTime localNow, double seconds)
{
    const TimeParts t = DecodeTime(localNow);
    // DecodeTime rounds, so a moment a hair before midnight belongs to the next day's 00:00:00.
    const TDateTime date = std::floor(localNow + 0.5 / kMsPerDay);
    const long long total = std::llround(seconds) + t.hour * 3600LL + t.minute * 60LL + t.second;
    if (total < 0 || total > 86399)
        return std::nullopt;
    return date + static_cast<double>(total) / 86400.0;
}

TDateTime ParseHms(std::string_view text)
{
    if (text.size() != 8 || text[2] != ':' || text[5] != ':')
        return 0;
    auto pair = [&](std::size_t at) {
        int value = 0;
        bool digits = false;
        for (std::size_t i = at; i < at + 2; ++i) {
            const char c = text[i];
            if (c == ' ' && !digits)
                continue;
            if (c < '0' || c > '9')
                return -1;
            value = value * 10 + (c - '0');
            digits = true;
        }
        return digits ? value : -1;
    };
    const int h = pair(0), m = pair(3), s = pair(6);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return 0;
    return EncodeTime(h, m, s);
}

std::string DaysHours(double days)
{
    // Half a millisecond up, so that a span computed as a difference of two dates is not a hair short
    // of its last whole hour.
    const double d = days + 0.5 / kMsPerDay;
    const double whole = std::trunc(d);
    const double hours = std::trunc((d - whole) * 24);
    return std::to_string(static_cast<long long>(whole)) + " dni " + std::to_string(static_cast<long long>(hours))
           + " h";
}

std::string FormatCorrection(double secondsPerDay)
{
    // A result that rounds to nothing reads "0.000000", not "-0.000000".
    if (std::fabs(secondsPerDay) < 5e-7)
        secondsPerDay = 0;
    char text[64];
    std::snprintf(text, sizeof text, "%8.6f", secondsPerDay);
    return text;
}

ReferenceReading ReadReference(TDateTime hms, TDateTime localNow)
{
    const TDateTime date = std::floor(localNow);
    ReferenceReading r;
    r.diff = hms - (localNow - date);
    r.moment = date + hms;
    if (r.diff > 0.5) {
        r.diff -= 1;
        r.moment -= 1;
    } else if (r.diff < -0.5) {
        r.diff += 1;
        r.moment += 1;
    }
    constexpr double hour = 1.0 / 24;
    if (r.diff > hour)
        r.diff -= hour;
    if (r.diff < -hour)
        r.diff += hour;
    return r;
}

CalibrationTexts ShowCalibrationTexts(TDateTime start, TDateTime stop, double lastCalibration, TDateTime now)
{
    constexpr std::string_view pattern = "yyyy.mm.dd  hh:nn:ss";
    CalibrationTexts t;
    if (start != 0)
        t.start = FormatDateTime(pattern, start);
    if (stop != 0)
        t.stop = FormatDateTime(pattern, stop);
    if (start != 0)
        t.stop += "  (" + DaysHours((stop != 0 ? stop : now) - start) + ")";
    t.result = FormatCorrection(lastCalibration);
    return t;
}

namespace {

TDateTime LocalNowOf(const SystemClock& clock)
{
    const SystemClock::TimePoint now = clock.Now();
    return LocalDateTime(now, clock.UtcOffset(now));
}

}  // namespace

ClockChange SetLocalTime(SystemClock& clock, TDateTime local)
{
    const double deltaMs = (local - LocalNowOf(clock)) * kMsPerDay;
    return clock.Shift(std::chrono::microseconds(std::llround(deltaMs * 1000)));
}

std::optional<ClockChange> ShiftLocalTime(SystemClock& clock, double seconds)
{
    const auto target = ShiftedLocalTime(LocalNowOf(clock), seconds);
    if (!target)
        return std::nullopt;
    return SetLocalTime(clock, *target);
}
