// The clock bar's decisions.
#include "clock/alarm_clock.h"

#include "calendar/date_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

constexpr long long kDayMs = 86400000;

// The comparisons with the alarm time run on whole milliseconds, as the clock is shown: a tick at
// 07:00:00.000 is then exactly at the time, whatever the floating point says.
long long Ms(TDateTime value)
{
    const DayAndMs split = SplitRounded(value);
    return split.day * kDayMs + split.ms;
}

long long FloorDiv(long long a, long long b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// The next moment of the alarm time that the clock has not reached: today's when it is still
// ahead, else tomorrow's (a press exactly at the time waits for tomorrow).
long long NextOccurrence(long long nowMs, long long alarmMsOfDay)
{
    const long long today = FloorDiv(nowMs, kDayMs) * kDayMs + alarmMsOfDay;
    return nowMs < today ? today : today + kDayMs;
}

// The latest alarm time the clock is strictly past.
long long LatestPassed(long long nowMs, long long alarmMsOfDay)
{
    return NextOccurrence(nowMs, alarmMsOfDay) - kDayMs;
}

}  // namespace

int ClampAlarmDuration(int seconds)
{
    return std::clamp(seconds, kMinAlarmDuration, kMaxAlarmDuration);
}

int ClampSnoozeMinutes(int minutes)
{
    return std::clamp(minutes, kMinSnoozeMinutes, kMaxSnoozeMinutes);
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
    m_snoozeAt.reset();
    const auto time = ParseAlarmText(m_alarmText);
    if (!time) {
        m_toggleDown = false;
        return false;
    }
    m_toggleDown = true;
    m_alarmTime = *time;
    m_alarmMsOfDay = Ms(*time);
    m_nextMs = NextOccurrence(Ms(now), m_alarmMsOfDay);
    // The countdown is right from the press on, not only from the next tick.
    m_caption = MakeCaption(Ms(now));
    return true;
}

bool AlarmClock::Release(bool sounding)
{
    m_toggleDown = false;
    m_snoozeAt.reset();
    m_caption = kAlarmToggleCaption;
    m_stopVisible = false;
    return sounding;
}

bool AlarmClock::Snooze(TDateTime now, int minutes)
{
    if (State() != AlarmState::Ringing)
        return false;
    m_snoozeMinutes = ClampSnoozeMinutes(minutes);
    m_snoozeAt = Ms(now) + m_snoozeMinutes * 60000LL;
    m_stopVisible = true;
    m_caption = MakeCaption(Ms(now));
    return true;
}

void AlarmClock::Stop()
{
    m_snoozeAt.reset();
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
        const long long nowMs = Ms(now);
        bool ring = false;
        bool missed = false;
        if (nowMs > m_nextMs) {
            const long long latest = LatestPassed(nowMs, m_alarmMsOfDay);
            if (nowMs - latest <= kLateRingLimitMs) {
                ring = true;
                m_lastRungMs = latest;
            } else {
                missed = true;
            }
            m_nextMs = latest + kDayMs;
        } else if (m_nextMs - nowMs > kDayMs) {
            // The clock went back: the first alarm time ahead of it rings, unless it is the very
            // date and time that has already rung.
            m_nextMs = NextOccurrence(nowMs, m_alarmMsOfDay);
            if (m_lastRungMs == m_nextMs)
                m_nextMs += kDayMs;
        }
        if (m_snoozeAt) {
            const long long limit = nowMs + m_snoozeMinutes * 60000LL;
            if (nowMs > *m_snoozeAt) {
                (nowMs - *m_snoozeAt <= kLateRingLimitMs ? ring : missed) = true;
                m_snoozeAt.reset();
            } else if (*m_snoozeAt > limit) {
                m_snoozeAt = limit;
            }
        }
        // A ring now makes up for a snooze or a day missed with it: one sound, no report.
        if (ring) {
            m_snoozeAt.reset();
            result.startAlarm = true;
            m_stopVisible = true;
        } else if (missed) {
            result.missedAlarm = true;
        }
        m_caption = MakeCaption(nowMs);
    }
    // A sound started by this very tick is not running yet; STOP stays for at least one tick, and
    // for as long as a snooze waits, since STOP ends it.
    if (m_stopVisible && !sounding && !result.startAlarm && !m_snoozeAt)
        m_stopVisible = false;
    return result;
}

long long AlarmClock::NextRingMs() const
{
    return m_snoozeAt ? std::min(*m_snoozeAt, m_nextMs) : m_nextMs;
}

std::optional<TDateTime> AlarmClock::NextRing() const
{
    if (!m_toggleDown)
        return std::nullopt;
    const long long ms = NextRingMs();
    const long long day = FloorDiv(ms, kDayMs);
    return static_cast<TDateTime>(day) + static_cast<TDateTime>(ms - day * kDayMs) / kMsPerDay;
}

std::string AlarmClock::MakeCaption(long long nowMs) const
{
    const long long next = NextRingMs();
    const long long left = next - nowMs;
    if (left <= kDayMs) {
        const long long nextOfDay = next - FloorDiv(next, kDayMs) * kDayMs;
        return CountdownCaption(static_cast<TDateTime>(nextOfDay) / kMsPerDay,
                                static_cast<TDateTime>(nowMs - FloorDiv(nowMs, kDayMs) * kDayMs) / kMsPerDay);
    }
    // Only after the clock went back: the hours run past 24 rather than show a ring a day early.
    const long long seconds = (left + 999) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, " %02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

AlarmState AlarmClock::State() const
{
    if (!m_toggleDown)
        return AlarmState::Off;
    if (m_snoozeAt)
        return AlarmState::Snoozed;
    return m_stopVisible ? AlarmState::Ringing : AlarmState::Armed;
}
