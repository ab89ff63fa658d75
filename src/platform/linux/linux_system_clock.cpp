// Clock access through POSIX.
#include "platform/linux/linux_system_clock.h"

#include <sys/timex.h>

#include <cerrno>
#include <cstring>
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

ClockChange LinuxSystemClock::Shift(std::chrono::microseconds delta)
{
    // A relative step in the kernel, so no time passes between reading the clock and setting it.
    timex tx{};
    tx.modes = ADJ_SETOFFSET | ADJ_NANO;
    const long long us = delta.count();
    long long sec = us / 1000000;
    long long rest = us % 1000000;
    if (rest < 0) {
        rest += 1000000;
        --sec;
    }
    tx.time.tv_sec = static_cast<time_t>(sec);
    tx.time.tv_usec = static_cast<suseconds_t>(rest * 1000);  // nanoseconds with ADJ_NANO
    if (clock_adjtime(CLOCK_REALTIME, &tx) >= 0)
        return {};
    const int error = errno;
    if (error != EPERM)
        return {ClockChangeError::Failed, std::strerror(error)};
    if (!m_privilegedShift)
        return {ClockChangeError::NoPrivilege, {}};
    return m_privilegedShift(delta);
}

std::optional<std::chrono::milliseconds> LinuxSystemClock::Uptime() const
{
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}
