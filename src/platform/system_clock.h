// Reading and setting the machine's clock. Core code never reads the clock itself; it is handed
// the moment, so that tests can run at any date.
#pragma once

#include <chrono>
#include <optional>
#include <string>

// Why the clock could not be changed.
enum class ClockChangeError
{
    None,
    NoPrivilege,    // this process may not, and there is no time service to ask
    Refused,        // the time service or the user refused the authorisation
    AutomaticSync,  // the system keeps its own clock by network time and will not take ours
    Failed,         // anything else; the detail says what
};

struct ClockChange
{
    ClockChangeError error = ClockChangeError::None;
    std::string detail;  // for the log or a message, may be empty
    bool Ok() const { return error == ClockChangeError::None; }
};

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
    // Moves the clock by `delta` (positive: forward), saying why when it could not. A relative
    // change does not go stale while an authorisation is being asked for.
    virtual ClockChange Shift(std::chrono::microseconds delta)
    {
        if (Set(Now() + delta))
            return {};
        return {ClockChangeError::NoPrivilege, {}};
    }
    // Time since the computer was switched on, sleep included; nullopt when the system cannot
    // tell (callers then take the computer to have run for long).
    virtual std::optional<std::chrono::milliseconds> Uptime() const { return std::nullopt; }
};
