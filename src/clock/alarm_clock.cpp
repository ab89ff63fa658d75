// The clock bar's decisions.
#include "clock/alarm_clock.h"

#include "calendar/date_format.h"

#include <algorithm>
#include <cmath>

namespace {

// Just under one second in days: the countdown then shows the second still running, not the
// one already begun, and reaches 00:00:00 only as the alarm time arrives.
constexpr TDateTime kAlmostOneSecond = 1.1574e-5;

std::optional<int> TwoDigits(std::string_view text)
{
    if (text.size() != 2 || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9')
        return std::nullopt;
    return (text[0] - '0') * 10 + (text[1] - '0');
}

// The comparisons with the alarm time run on whole milliseconds of the day, as the clock is
// shown: a tick at 07:00:00.000 is then exactly at the time, whatever the floating point says.
long long MsOfDay(TDateTime value)
{
    return SplitRounded(value).ms;
}

}  // namespace

int ClampAlarmDuration(int seconds)
{
    return std::clamp(seconds, kMinAlarmDuration, kMaxAlarmDuration);
}

std::optional<TDateTime> ParseAlarmText(std::string_view text)
{
    if (text.size() != 5 || text[2] != ':')
        return std::nullopt;
    const auto hour = TwoDigits(text.substr(0, 2));
    const auto minute = TwoDigits(text.substr(3, 2));
    if (!hour || !minute || *hour > 23 || *minute > 59)
        return std::nullopt;
    return EncodeTime(*hour, *minute, 0);
}

TDateTime TimeOfDay(TDateTime value)
{
    return value - std::floor(value);
}

std::string CountdownCaption(TDateTime alarmTime, TDateTime now)
{
    return FormatDateTime(" hh:nn:ss", alarmTime + 1 - TimeOfDay(now) + kAlmostOneSecond);
}

std::string TrayHint(bool toggleDown, std::string_view alarmText)
{
    return toggleDown ? "Alarm: " + std::string(alarmText) : std::string("Budzik nieaktywny");
}

bool AlarmClock::AlarmTextChanged(std::string text, bool sounding)
{
    m_alarmText = std::move(text);
    return Release(sounding);
}

bool AlarmClock::Press(TDateTime now)
{
    m_armed = false;
    const auto time = ParseAlarmText(m_alarmText);
    if (!time) {
        m_toggleDown = false;
        return false;
    }
    m_toggleDown = true;
    m_alarmTime = *time;
    // The countdown is right from the press on, not only from the next tick.
    m_caption = CountdownCaption(m_alarmTime, now);
    if (MsOfDay(now) < MsOfDay(m_alarmTime))
        m_armed = true;
    return true;
}

bool AlarmClock::Release(bool sounding)
{
    m_toggleDown = false;
    m_caption = kAlarmToggleCaption;
    m_stopVisible = false;
    return sounding;
}

ClockTickResult AlarmClock::Tick(TDateTime now, bool sounding)
{
    ClockTickResult result;
    std::string text = FormatDateTime("hh:nn:ss", now);
    if (text != m_lastClockText) {
        m_lastClockText = std::move(text);
        result.secondChanged = true;
        result.clockText = m_lastClockText;
        result.trayHint = TrayHint(m_toggleDown, m_alarmText);
        // The minute is remembered also while the signal is off, so that switching it on in the
        // middle of a full hour waits for the next one.
        const std::string minute = m_lastClockText.substr(0, 5);
        if (minute != m_lastMinuteText) {
            m_lastMinuteText = minute;
            result.hourSignal = m_hourSignalEnabled && minute.substr(3, 2) == "00";
        }
    }
    if (m_toggleDown) {
        if (m_armed && MsOfDay(now) > MsOfDay(m_alarmTime)) {
            result.startAlarm = true;
            m_armed = false;
            m_stopVisible = true;
        }
        m_caption = CountdownCaption(m_alarmTime, now);
    }
    // A sound started by this very tick is not running yet; STOP stays for at least one tick.
    if (m_stopVisible && !sounding && !result.startAlarm)
        m_stopVisible = false;
    return result;
}

AlarmState AlarmClock::State() const
{
    if (!m_toggleDown)
        return AlarmState::Off;
    if (m_armed)
        return AlarmState::Armed;
    return m_stopVisible ? AlarmState::Ringing : AlarmState::WaitingForTomorrow;
}
