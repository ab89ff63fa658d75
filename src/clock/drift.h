// The daily drift correction and the calibration that measures it: pure arithmetic over local
// TDateTime values (days since 1899-12-30, local time, as stored) and seconds.
// A positive number of seconds moves the clock forward (the PC clock runs slow).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/datetime.h"

// The correction runs only this soon after the computer was switched on, so that it moves the
// clock before anything the user does depends on it.
inline constexpr std::chrono::milliseconds kDriftCorrectionWindow{900000};
// The calibration's Stop is offered only this soon after the start, when the clock has had
// no time yet to be changed by anybody else.
inline constexpr std::chrono::milliseconds kCalibrationStopWindow{3600000};

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

// "hh:mm:ss" as the masked edits give it: 8 characters, ':' at the third and sixth; each pair may
// have leading blanks. The time of day as a fraction, or 0 for anything else, out of range or
// 00:00:00 (callers take 0 as "no time entered").
TDateTime ParseHms(std::string_view text);

// "7 dni 12 h": the whole days and the whole hours of the rest.
std::string DaysHours(double days);

// Seconds per 24 hours in fixed notation: six decimals, a full stop, right-aligned in 8 characters
// (longer numbers are not cut).
std::string FormatCorrection(double secondsPerDay);

// A reference time of day `hms` (from ParseHms) against the PC's local time `localNow`.
struct ReferenceReading
{
    TDateTime moment = 0;  // the reference time as a full local date-time
    double diff = 0;       // reference minus PC clock, in days, after the summer-time allowance
};
// A difference of more than 12 hours is taken across midnight, so that the reference moment gets
// the right date. Then a difference of more than an hour is taken to include a one-hour change of
// the clock (summer time) and loses that hour.
ReferenceReading ReadReference(TDateTime hms, TDateTime localNow);

// The three captions of the calibration dialog's results. `now` is local.
struct CalibrationTexts
{
    std::string start;   // Label9
    std::string stop;    // Label10
    std::string result;  // Label12
};
CalibrationTexts ShowCalibrationTexts(TDateTime start, TDateTime stop, double lastCalibration, TDateTime now);

class SystemClock;
struct ClockChange;

// Sets the local clock to `local` (a relative step, so the local zone's rules apply as they stand).
ClockChange SetLocalTime(SystemClock& clock, TDateTime local);
// Moves the local time by `seconds`, rounded, to a whole second on the same date. nullopt, with
// nothing changed, when that would cross midnight; otherwise how the change went.
std::optional<ClockChange> ShiftLocalTime(SystemClock& clock, double seconds);
