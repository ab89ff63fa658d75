#include "clock/tick_schedule.h"

#include <algorithm>

namespace {

constexpr long long kDayMs = 86400000;
constexpr long long kHourMs = 3600000;

long long Ms(TDateTime value)
{
    const DayAndMs split = SplitRounded(value);
    return split.day * kDayMs + split.ms;
}

// The first multiple of `step` strictly after `ms` (ms >= 0 in practice; the floor keeps it right
// before 1899 too).
long long NextMultiple(long long ms, long long step)
{
    long long floor = ms / step * step;
    if (floor > ms)
        floor -= step;
    return floor + step;
}

}  // namespace

int MsToNextTick(TDateTime now, const TickNeeds& needs)
{
    const long long nowMs = Ms(now);
    long long next = 0;
    if (needs.shown) {
        next = NextMultiple(nowMs, 1000);
    } else {
        // Midnight moves the today mark and the selected day, and brings the name-day reminder.
        next = NextMultiple(nowMs, kDayMs);
        if (needs.hourSignal)
            next = std::min(next, NextMultiple(nowMs, kHourMs));
        // The alarm rings once the clock is strictly past its moment; a moment already passed is
        // the tick's to ring or report at once.
        if (needs.nextRing)
            next = std::min(next, std::max(Ms(*needs.nextRing), nowMs));
        if (needs.nextReminder)
            next = std::min(next, std::max(Ms(*needs.nextReminder), nowMs));
        next = std::min(next, nowMs + kLongestHiddenSleepMs - kTickLateMs);
    }
    return static_cast<int>(std::max<long long>(next - nowMs + kTickLateMs, 1));
}
