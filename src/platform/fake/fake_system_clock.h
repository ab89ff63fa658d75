// A clock for tests: time moves only when the test says so.
#pragma once

#include <functional>
#include <vector>

#include "platform/system_clock.h"

class FakeSystemClock final : public SystemClock
{
public:
    explicit FakeSystemClock(TimePoint start, std::chrono::seconds offset = std::chrono::seconds(0))
        : m_now(start), m_offset(offset)
    {
    }
    TimePoint Now() const override { return m_now; }
    std::chrono::seconds UtcOffset(TimePoint) const override { return m_offset; }
    bool Set(TimePoint utc) override
    {
        if (m_maySet)
            m_now = utc;
        return m_maySet;
    }
    // Records every shift asked for; moves the time only when the change is allowed.
    ClockChange Shift(std::chrono::microseconds delta) override
    {
        m_shifts.push_back(delta);
        // While the real time service waits for the user's authorisation, the window's events go on.
        if (m_duringShift && !m_inShift) {
            m_inShift = true;
            m_duringShift();
            m_inShift = false;
        }
        if (!m_maySet)
            return {m_refusal, {}};
        m_now += delta;
        return {};
    }
    std::optional<std::chrono::milliseconds> Uptime() const override { return m_uptime; }

    void Advance(std::chrono::milliseconds step)
    {
        m_now += step;
        if (m_uptime)
            *m_uptime += step;
    }
    void SetMaySet(bool maySet, ClockChangeError refusal = ClockChangeError::NoPrivilege)
    {
        m_maySet = maySet;
        m_refusal = refusal;
    }
    void SetUptime(std::optional<std::chrono::milliseconds> uptime) { m_uptime = uptime; }
    void SetDuringShift(std::function<void()> duringShift) { m_duringShift = std::move(duringShift); }
    const std::vector<std::chrono::microseconds>& Shifts() const { return m_shifts; }

private:
    TimePoint m_now;
    std::chrono::seconds m_offset;
    bool m_maySet = true;
    ClockChangeError m_refusal = ClockChangeError::NoPrivilege;
    std::vector<std::chrono::microseconds> m_shifts;
    std::function<void()> m_duringShift;
    bool m_inShift = false;
    std::optional<std::chrono::milliseconds> m_uptime = std::chrono::minutes(5);
};
