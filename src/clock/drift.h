// The daily drift correction: when a step is due and where it moves the clock, as arithmetic over
// local TDateTime values (days since 1899-12-30, local time, as stored) and seconds. Setting the
// clock is local_time.h's; the calibration that measures the drift is calibration.h's.
// A positive number of seconds moves the clock forward (the PC clock runs slow).
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "calendar/datetime.h"

// The correction runs only this soon after the computer was switched on, so that it moves the
// clock before anything the user does depends on it.
inline constexpr std::chrono::milliseconds kDriftCorrectionWindow{900000};

struct DriftStep
{
    double step = 0;   // 10 s when the daily correction exceeds 1 s, otherwise 6 s
    double owed = 0;   // seconds owed since `last`, with what was pending then
    double shift = 0;  // whole seconds to move the clock now, half a step past the owed amount
};

// The step due now, or nullopt when none is: more than 15 minutes after boot, or no more than half
// a step owed. `now` and `last` are local times; `daily` is seconds per 24 hours, `pending` seconds.
std::optional<DriftStep> DriftCorrectionDue(double daily, TDateTime now, TDateTime last, double pending,
                                            std::chrono::milliseconds uptime);

// The local time `seconds` (rounded to whole seconds) after `localNow`, at a whole second
// (milliseconds dropped), on the same date; nullopt when that would cross midnight.
std::optional<TDateTime> ShiftedLocalTime(TDateTime localNow, double seconds);

// Seconds per 24 hours in fixed notation: six decimals, a full stop, right-aligned in 8 characters
// (longer numbers are not cut).
std::string FormatCorrection(double secondsPerDay);
