// The machine's real clock, in the zone the C library is set to (TZ or /etc/localtime).
#pragma once

#include "platform/system_clock.h"

class LinuxSystemClock final : public SystemClock
{
public:
    TimePoint Now() const override;
    std::chrono::seconds UtcOffset(TimePoint at) const override;
    bool Set(TimePoint utc) override;
};
