// The machine's real clock, in the zone Windows is set to.
#pragma once

#include "platform/system_clock.h"

class WindowsSystemClock final : public SystemClock
{
public:
    TimePoint Now() const override;
    std::chrono::seconds UtcOffset(TimePoint at) const override;
    // SetSystemTime, after switching on the right to change the system time in the process's
    // token; false when the user does not have that right.
    bool Set(TimePoint utc) override;
    std::optional<std::chrono::milliseconds> Uptime() const override;
};

// The offset of local time from UTC for a moment, as Windows' zone rules for that year give it.
// Separate from the clock so that tests can ask without touching anything.
std::chrono::seconds LocalOffsetAt(std::chrono::system_clock::time_point at);
