// Trading Sundays: the Sundays on which the ban on Sunday trading does not apply.
#pragma once

#include <optional>

#include "calendar/datetime.h"

// Whether the Sunday `date` (a whole day, or any time of it) is a trading Sunday ("niedziela
// handlowa") under the act of 10 January 2018 limiting trade on Sundays and holidays, as amended
// up to 2025. Empty when `date` is not a Sunday or lies before 1 March 2018, when the ban began
// and the question has no answer; true or false otherwise.
std::optional<bool> IsTradingSunday(TDateTime date);
