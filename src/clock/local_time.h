// The machine's clock in the calendar's terms: reading it as a local TDateTime, setting it to one,
// and saying in Polish why a change did not take.
#pragma once

#include <optional>
#include <string>

#include "calendar/datetime.h"
#include "platform/system_clock.h"

// The clock's moment as the calendar counts it: local time in days since 1899-12-30.
TDateTime LocalNow(const SystemClock& clock);

// Sets the local clock to `local` (a relative step, so the local zone's rules apply as they stand).
ClockChange SetLocalTime(SystemClock& clock, TDateTime local);
// Moves the local time by `seconds`, rounded, to a whole second on the same date. nullopt, with
// nothing changed, when that would cross midnight; otherwise how the change went.
std::optional<ClockChange> ShiftLocalTime(SystemClock& clock, double seconds);

// Why the clock could not be changed, in a few Polish words.
std::string ClockChangeReason(const ClockChange& change);
