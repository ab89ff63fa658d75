// The clock's moment as the calendar counts it: local time in days since 1899-12-30.
#pragma once

#include "calendar/datetime.h"
#include "platform/system_clock.h"

inline TDateTime LocalNow(const SystemClock& clock)
{
    const SystemClock::TimePoint now = clock.Now();
    return LocalDateTime(now, clock.UtcOffset(now));
}
