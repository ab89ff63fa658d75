// The drift calibration.
#include "clock/calibration.h"

#include <cmath>
#include <utility>

#include "calendar/date_format.h"
#include "clock/drift.h"
#include "clock/local_time.h"

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

bool CalibrationInProgress(TDateTime start, TDateTime stop)
{
    return start != 0 && stop == 0;
}

Calibration::Calibration(CalibrationValues values, SystemClock& clock, StoreCalibration store)
    : m_values(values), m_clock(clock), m_store(std::move(store))
{
}

bool Calibration::StopEnabled() const
{
    const auto uptime = m_clock.Uptime();
    return uptime && *uptime < kCalibrationStopWindow && CalibrationInProgress(m_values.start, m_values.stop);
}

CalibrationTexts Calibration::Texts() const
{
    return ShowCalibrationTexts(m_values.start, m_values.stop, m_values.lastCalibration, LocalNow(m_clock));
}

void Calibration::Store(std::initializer_list<CalibrationValue> values) const
{
    if (m_store)
        m_store(values);
}

std::optional<ClockChange> Calibration::Start(std::string_view estart)
{
    const TDateTime hms = ParseHms(estart);
    if (hms == 0 || m_settingClock)
        return std::nullopt;
    // The reference's date, even when it and the PC clock lie on either side of midnight.
    const TDateTime start = ReadReference(hms, LocalNow(m_clock)).moment;
    m_settingClock = true;
    const ClockChange change = SetLocalTime(m_clock, start);
    m_settingClock = false;
    if (!change.Ok())
        return change;
    m_values.start = start;
    m_values.totalCorrection = 0;
    m_values.stop = 0;
    Store({CalibrationValue::Start, CalibrationValue::Stop, CalibrationValue::TotalCorrection});
    return change;
}

std::optional<Calibration::Measure> Calibration::Measured(std::string_view estop) const
{
    const TDateTime hms = ParseHms(estop);
    if (hms == 0)
        return std::nullopt;
    const ReferenceReading r = ReadReference(hms, LocalNow(m_clock));
    // A measurement that ends where or before it began has no rate.
    if (r.moment <= m_values.start)
        return std::nullopt;
    return Measure{r.diff * 86400 + m_values.totalCorrection, r.moment};
}

std::optional<ClockChange> Calibration::Stop(std::string_view estop)
{
    if (!CalibrationInProgress(m_values.start, m_values.stop) || m_settingClock)
        return std::nullopt;
    const auto measure = Measured(estop);
    if (!measure)
        return std::nullopt;
    m_settingClock = true;
    const ClockChange change = SetLocalTime(m_clock, measure->moment);
    m_settingClock = false;
    if (!change.Ok())
        return change;
    m_values.stop = measure->moment;
    m_values.lastCalibration = measure->seconds / (m_values.stop - m_values.start);
    m_values.totalCorrection = 0;
    Store({CalibrationValue::Stop, CalibrationValue::LastCalibration, CalibrationValue::TotalCorrection});
    return change;
}

std::optional<std::string> Calibration::Test(std::string_view estop) const
{
    if (m_values.start == 0)
        return std::nullopt;
    const auto measure = Measured(estop);
    if (!measure)
        return std::nullopt;
    return FormatCorrection(measure->seconds / (measure->moment - m_values.start));
}
