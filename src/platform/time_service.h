// Moving the clock through the system's time service, for a process that may not set the clock
// itself. The desktop asks the user for authorisation the way its own clock settings do.
#pragma once

#include <chrono>

#include "platform/system_clock.h"

// Blocks until the service has answered (the user may take a while to authorise).
ClockChange ShiftThroughTimeService(std::chrono::microseconds delta);
