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
    Armed,    // the toggle is down: the alarm rings at its next time, every day
    Ringing,  // STOP is shown
    Snoozed   // rings again when the snooze is over, then daily as before
};

// What one clock tick asks of the window.
struct ClockTickResult
{
    bool secondChanged = false;  // clockText and trayHint below are new
    std::string clockText;       // "hh:nn:ss"
    std::string trayHint;
    bool hourSignal = false;   // a full hour has begun and the signal is on: StartHourSignal
    bool startAlarm = false;   // StartAlarmSound now; STOP is shown
    bool missedAlarm = false;  // the time went by while the computer slept or its clock jumped
                               // by more than kLateRingLimit: tell the user, do not ring so late
};

// How late after its time a ring is still worth it: a computer woken from sleep or a clock moved
// forward over the alarm time rings on the first tick, as long as the time is no older than this.
inline constexpr long long kLateRingLimitMs = 30 * 60 * 1000;

// Shortest, longest and default snooze, minutes.
inline constexpr int kMinSnoozeMinutes = 1;
inline constexpr int kMaxSnoozeMinutes = 60;
inline constexpr int kDefaultSnoozeMinutes = 5;
int ClampSnoozeMinutes(int minutes);

// The alarm toggle, its time and caption, the STOP button and the clock's memory of the last
// second and minute shown.
//
// The alarm is a daily one. It keeps the moment of its next ring as a local date and time: at a
// press, today's alarm time if the clock has not reached it yet, otherwise tomorrow's; after each
// ring, the same time on the next day. A tick rings when the clock is strictly past that moment.
// The clock may jump (network time, the daily drift correction, the user, the start or end of
// summer time, a computer asleep over the alarm time), and the rule for a jump is:
// - Forward over the alarm time: the first tick rings, late, if the latest passed alarm time lies
//   no more than kLateRingLimit back; older than that, it does not ring (a morning alarm at noon
//   helps nobody) but reports the miss, so that no day is skipped silently. Either way the next
//   ring is the one after that latest passed time: several slept days ring or report once.
// - Back, by any amount: the next ring is the first alarm time after the clock's new time, so no
//   morning of the clock goes by without a ring (a wrong date set right again). Only a date and
//   time that has already rung is not rung again as the clock passes it once more (a second or
//   two of network time, the hour given back at the end of summer time): the ring after it waits.
// A snooze is one extra ring after a number of minutes; it follows the same rule forward, and a
// jump back never makes it wait longer than its minutes.
class AlarmClock
{
public:
    // The alarm box's text changed: the toggle goes up as if released. True when a sound is
    // playing that must be stopped.
    bool AlarmTextChanged(std::string text, bool sounding);
    // The toggle was pressed at `now`. False when the text is no valid time: the toggle springs
    // back up, silently. Otherwise the alarm rings next today if its time is still ahead (strictly
    // later than now), else tomorrow.
    bool Press(TDateTime now);
    // The toggle was released. True when a sound is playing that must be stopped.
    bool Release(bool sounding);
    // "Drzemka" at `now`: the alarm rings once more after `minutes` (brought within 1..60); the
    // caller stops the sound. False (nothing changes) unless a ring is in progress: a snooze
    // after the ring ended, or while one already waits, would ring where nobody asked.
    bool Snooze(TDateTime now, int minutes);
    // STOP: ends a snooze too; the daily ring stays.
    void Stop();
    // One tick at `now`; `sounding` tells whether an alarm thread still runs.
    ClockTickResult Tick(TDateTime now, bool sounding);

    void SetHourSignalEnabled(bool enabled) { m_hourSignalEnabled = enabled; }

    bool ToggleDown() const { return m_toggleDown; }
    bool StopVisible() const { return m_stopVisible; }
    bool Snoozing() const { return m_snoozeAt.has_value(); }
    const std::string& Caption() const { return m_caption; }
    const std::string& AlarmText() const { return m_alarmText; }
    // The local moment of the next ring, a snooze included; nullopt while the toggle is up. A
    // timer may sleep until then: a tick before it changes nothing but the texts.
    std::optional<TDateTime> NextRing() const;
    AlarmState State() const;

private:
    std::string MakeCaption(long long nowMs) const;
    long long NextRingMs() const;

    std::string m_alarmText = "00:00";
    TDateTime m_alarmTime = 0;
    long long m_alarmMsOfDay = 0;
    long long m_nextMs = 0;                 // the next daily ring, ms since 1899-12-30 local
    std::optional<long long> m_lastRungMs;  // the alarm time of the latest daily ring, same count
    std::optional<long long> m_snoozeAt;    // the snooze's ring, same count
    int m_snoozeMinutes = kDefaultSnoozeMinutes;
    bool m_toggleDown = false;
    bool m_stopVisible = false;
    bool m_hourSignalEnabled = false;
    std::string m_caption{kAlarmToggleCaption};
    std::string m_lastClockText;
    std::string m_lastMinuteText;
};
