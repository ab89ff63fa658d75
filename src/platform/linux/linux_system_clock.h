// The machine's real clock, in the zone the C library is set to (TZ or /etc/localtime).
#pragma once

#include <functional>

#include "platform/system_clock.h"

class LinuxSystemClock final : public SystemClock
{
public:
    // Asks the system's time service to move the clock, for a process without the privilege.
    using PrivilegedShift = std::function<ClockChange(std::chrono::microseconds delta)>;

    LinuxSystemClock() = default;
    explicit LinuxSystemClock(PrivilegedShift privilegedShift) : m_privilegedShift(std::move(privilegedShift)) {}

    TimePoint Now() const override;
    std::chrono::seconds UtcOffset(TimePoint at) const override;
    bool Set(TimePoint utc) override;
    // Steps the clock directly where the process may (CAP_SYS_TIME), otherwise through the
    // privileged shift, when one was given.
    ClockChange Shift(std::chrono::microseconds delta) override;
    // CLOCK_BOOTTIME: counts the time asleep too, as "since the computer was switched on" means.
    std::optional<std::chrono::milliseconds> Uptime() const override;

private:
    PrivilegedShift m_privilegedShift;
};
