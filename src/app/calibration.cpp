// Drift calibration.
#include "app/calibration.h"

#include "app/local_now.h"
#include "app/time_sync_controller.h"

Calibration::Calibration(Settings& settings, SettingsStore& store, SystemClock& clock, bool persist)
    : m_settings(settings), m_store(store), m_clock(clock), m_persist(persist)
{
}

bool Calibration::StopEnabled() const
{
    const auto uptime = m_clock.Uptime();
    return uptime && *uptime < kCalibrationStopWindow && CalibrationInProgress(m_settings);
}

CalibrationTexts Calibration::Texts() const
{
    return ShowCalibrationTexts(m_settings.CalibrationStart, m_settings.CalibrationStop, m_settings.LastCalibration,
                                LocalNow(m_clock));
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
    m_settings.CalibrationStart = start;
    m_settings.TotalCorrection = 0;
    m_settings.CalibrationStop = 0;
    // A failed write keeps the values in memory for this run of the program.
    if (m_persist)
        (void)SaveValues(m_store, m_settings,
                         {SettingId::CalibrationStart, SettingId::CalibrationStop, SettingId::TotalCorrection});
    return change;
}

std::optional<Calibration::Measure> Calibration::Measured(std::string_view estop) const
{
    const TDateTime hms = ParseHms(estop);
    if (hms == 0)
        return std::nullopt;
    const ReferenceReading r = ReadReference(hms, LocalNow(m_clock));
    // A measurement that ends where or before it began has no rate.
    if (r.moment <= m_settings.CalibrationStart)
        return std::nullopt;
    return Measure{r.diff * 86400 + m_settings.TotalCorrection, r.moment};
}

std::optional<ClockChange> Calibration::Stop(std::string_view estop)
{
    if (!CalibrationInProgress(m_settings) || m_settingClock)
        return std::nullopt;
    const auto measure = Measured(estop);
    if (!measure)
        return std::nullopt;
    m_settingClock = true;
    const ClockChange change = SetLocalTime(m_clock, measure->moment);
    m_settingClock = false;
    if (!change.Ok())
        return change;
    m_settings.CalibrationStop = measure->moment;
    m_settings.LastCalibration = measure->seconds / (m_settings.CalibrationStop - m_settings.CalibrationStart);
    m_settings.TotalCorrection = 0;
    if (m_persist)
        (void)SaveValues(m_store, m_settings,
                         {SettingId::CalibrationStop, SettingId::LastCalibration, SettingId::TotalCorrection});
    return change;
}

std::optional<std::string> Calibration::Test(std::string_view estop) const
{
    if (m_settings.CalibrationStart == 0)
        return std::nullopt;
    const auto measure = Measured(estop);
    if (!measure)
        return std::nullopt;
    return FormatCorrection(measure->seconds / (measure->moment - m_settings.CalibrationStart));
}
