// The clock bar's decisions: the clock text, the tray hint, the full-hour trigger, the alarm's
// states and its countdown. Every operation is handed the moment (local time); nothing here reads
// a clock or touches a control.
#pragma once

#include "calendar/datetime.h"

#include <optional>
#include <string>
#include <string_view>

// The toggle's caption while the alarm is off.
inline constexpr std::string_view kAlarmToggleCaption = "Zał/Wył";

// Shortest and longest alarm, seconds; a stored length outside is brought to the nearer end.
inline constexpr int kMinAlarmDuration = 5;
inline constexpr int kMaxAlarmDuration = 3600;
int ClampAlarmDuration(int seconds);

// "hh:nn" (two digits, a colon, two digits; hour 0..23, minute 0..59) as a time of day in days,
// seconds 0. Nullopt for anything else, an incomplete entry such as "1:" or "07:" included.
std::optional<TDateTime> ParseAlarmText(std::string_view text);

// The time-of-day part of a local date-time, 0 <= result < 1 (days).
TDateTime TimeOfDay(TDateTime value);

// " hh:nn:ss", a leading blank: the time left from `now` until the next `alarmTime` (both local,
// days), modulo 24 hours and rounded up to whole seconds by adding just under one second.
std::string CountdownCaption(TDateTime alarmTime, TDateTime now);

// The tray icon's hint: the alarm time while the toggle is down, otherwise that the alarm is off.
std::string TrayHint(bool toggleDown, std::string_view alarmText);

enum class AlarmState
{
    Off,
    Armed,
    WaitingForTomorrow,
    Ringing
};

// What one clock tick asks of the window.
struct ClockTickResult
{
    bool secondChanged = false;  // clockText and trayHint below are new
    std::string clockText;       // "hh:nn:ss"
    std::string trayHint;
    bool hourSignal = false;  // a full hour has begun and the signal is on: StartHourSignal
    bool startAlarm = false;  // StartAlarmSound now; STOP is shown
};

// The alarm toggle, its time and caption, the STOP button and the clock's memory of the last
// second and minute shown.
class AlarmClock
{
public:
    // The alarm box's text changed: the toggle goes up as if released. True when a sound is
    // playing that must be stopped.
    bool AlarmTextChanged(std::string text, bool sounding);
    // The toggle was pressed at `now`. False when the text is no valid time: the toggle springs
    // back up, silently. A time at or before now waits for tomorrow and never rings on its own.
    bool Press(TDateTime now);
    // The toggle was released. True when a sound is playing that must be stopped.
    bool Release(bool sounding);
    // One tick at `now`; `sounding` tells whether an alarm thread still runs.
    ClockTickResult Tick(TDateTime now, bool sounding);

    void SetHourSignalEnabled(bool enabled) { m_hourSignalEnabled = enabled; }

    bool ToggleDown() const { return m_toggleDown; }
    bool Armed() const { return m_armed; }
    bool StopVisible() const { return m_stopVisible; }
    const std::string& Caption() const { return m_caption; }
    const std::string& AlarmText() const { return m_alarmText; }
    AlarmState State() const;

private:
    std::string m_alarmText = "00:00";
    TDateTime m_alarmTime = 0;
    bool m_toggleDown = false;
    bool m_armed = false;
    bool m_stopVisible = false;
    bool m_hourSignalEnabled = false;
    std::string m_caption{kAlarmToggleCaption};
    std::string m_lastClockText;
    std::string m_lastMinuteText;
};
