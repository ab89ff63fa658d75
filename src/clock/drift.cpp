// The drift correction's arithmetic.
#include "clock/drift.h"

#include <cmath>
#include <cstdio>

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

std::string FormatCorrection(double secondsPerDay)
{
    // A result that rounds to nothing reads "0.000000", not "-0.000000".
    if (std::fabs(secondsPerDay) < 5e-7)
        secondsPerDay = 0;
    char text[64];
    std::snprintf(text, sizeof text, "%8.6f", secondsPerDay);
    return text;
}
