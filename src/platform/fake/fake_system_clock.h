// A clock for tests: time moves only when the test says so.
#pragma once

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
        ++m_setCalls;
        return m_maySet;
    }

    void Advance(std::chrono::milliseconds step) { m_now += step; }
    void SetOffset(std::chrono::seconds offset) { m_offset = offset; }
    void SetMaySet(bool maySet) { m_maySet = maySet; }
    int SetCalls() const { return m_setCalls; }

private:
    TimePoint m_now;
    std::chrono::seconds m_offset;
    bool m_maySet = true;
    int m_setCalls = 0;
};
