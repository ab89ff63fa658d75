// Reading and setting the machine's clock. Core code never reads the clock itself; it is handed
// the moment, so that tests can run at any date.
#pragma once

#include <chrono>

class SystemClock
{
public:
    using TimePoint = std::chrono::system_clock::time_point;
    virtual ~SystemClock() = default;
    virtual TimePoint Now() const = 0;
    // The local zone's offset from UTC at that moment (positive east of Greenwich).
    virtual std::chrono::seconds UtcOffset(TimePoint at) const = 0;
    // False when this process may not set the clock.
    virtual bool Set(TimePoint utc) = 0;
};
