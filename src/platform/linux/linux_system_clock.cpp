// Clock access through POSIX.
#include "platform/linux/linux_system_clock.h"

#include <ctime>

SystemClock::TimePoint LinuxSystemClock::Now() const
{
    return std::chrono::system_clock::now();
}

std::chrono::seconds LinuxSystemClock::UtcOffset(TimePoint at) const
{
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return std::chrono::seconds(0);
    return std::chrono::seconds(local.tm_gmtoff);
}

bool LinuxSystemClock::Set(TimePoint utc)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(utc.time_since_epoch()).count();
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns / 1000000000);
    ts.tv_nsec = static_cast<long>(ns % 1000000000);
    // Needs CAP_SYS_TIME; an ordinary user gets false and the caller carries on.
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}
