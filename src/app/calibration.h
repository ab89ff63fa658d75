// The drift calibration as the dialog drives it: Start, Stop and Tst over the stored values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "clock/drift.h"
#include "platform/settings_store.h"
#include "platform/system_clock.h"

class Calibration
{
public:
    Calibration(Settings& settings, SettingsStore& store, SystemClock& clock, bool persist = true);

    // Stop is offered only in the first hour after the computer started, during a calibration.
    bool StopEnabled() const;
    // The three result captions as they stand now.
    CalibrationTexts Texts() const;

    // Each takes the masked edit's text. nullopt: nothing done (no valid time, no calibration to
    // stop, or a measurement of no length). Otherwise how setting the clock went; when it failed,
    // nothing was stored, because a measurement from an unset clock would be wrong.
    std::optional<ClockChange> Start(std::string_view estart);
    std::optional<ClockChange> Stop(std::string_view estop);
    // What Stop would compute, as the text to append to Label10; changes nothing.
    std::optional<std::string> Test(std::string_view estop) const;

    const Settings& Values() const { return m_settings; }

private:
    // Seconds the clock lost over the measurement up to the reference `hms`, and the reference moment.
    struct Measure
    {
        double seconds = 0;
        TDateTime moment = 0;
    };
    std::optional<Measure> Measured(std::string_view estop) const;

    Settings& m_settings;
    SettingsStore& m_store;
    SystemClock& m_clock;
    bool m_persist;
    // A press is setting the clock (perhaps waiting for the user's authorisation).
    bool m_settingClock = false;
};
