// Windows has no service that moves the clock for a process without the right; the user runs the
// program as an administrator instead.
#include "platform/time_service.h"

ClockChange ShiftThroughTimeService(std::chrono::microseconds)
{
    return {ClockChangeError::NoPrivilege, {}};
}
