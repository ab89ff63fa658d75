// The drift calibration: the user starts and stops the PC clock against a reference time signal a
// day or more apart, and the difference gives the clock's drift in seconds per 24 hours. The
// arithmetic over local TDateTime values, and Start, Stop and Tst as the dialog drives them.
#pragma once

#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/datetime.h"
#include "platform/system_clock.h"

// The calibration's Stop is offered only this soon after the start, when the clock has had
// no time yet to be changed by anybody else.
inline constexpr std::chrono::milliseconds kCalibrationStopWindow{3600000};

// "hh:mm:ss" as the masked edits give it: 8 characters, ':' at the third and sixth; each pair may
// have leading blanks. The time of day as a fraction, or 0 for anything else, out of range or
// 00:00:00 (callers take 0 as "no time entered").
TDateTime ParseHms(std::string_view text);

// "7 dni 12 h": the whole days and the whole hours of the rest.
std::string DaysHours(double days);

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

// Started and not stopped: while it measures, nothing else may set the clock.
bool CalibrationInProgress(TDateTime start, TDateTime stop);

// The calibration's stored values, wherever the program keeps them in memory.
struct CalibrationValues
{
    TDateTime& start;         // the reference moment of Start, 0 for none
    TDateTime& stop;          // the reference moment of Stop, 0 while measuring
    double& totalCorrection;  // seconds the drift correction moved the clock since the start
    double& lastCalibration;  // the result, seconds per 24 hours
};
enum class CalibrationValue
{
    Start,
    Stop,
    TotalCorrection,
    LastCalibration,
};
// Writes the named values, in that order, to where they are kept. A lost write keeps them in
// memory for this run of the program.
using StoreCalibration = std::function<void(std::initializer_list<CalibrationValue>)>;

class Calibration
{
public:
    // Without `store`, nothing is written (pictures of the dialog).
    Calibration(CalibrationValues values, SystemClock& clock, StoreCalibration store = {});

    // Stop is offered only in the first hour after the computer started, during a calibration.
    bool StopEnabled() const;
    // The three result captions as they stand now.
    CalibrationTexts Texts() const;

    // Each takes the masked edit's text. nullopt: nothing done (no valid time, no calibration to
    // stop, or a measurement of no length). Otherwise how setting the clock went; when it failed,
    // nothing was stored, because a measurement from an unset clock would be wrong.
    std::optional<ClockChange> Start(std::string_view estart);
    std::optional<ClockChange> Stop(std::string_view estop);
    // What Stop would compute, as the text to append to Label10; changes nothing.
    std::optional<std::string> Test(std::string_view estop) const;

private:
    // Seconds the clock lost over the measurement up to the reference `hms`, and the reference moment.
    struct Measure
    {
        double seconds = 0;
        TDateTime moment = 0;
    };
    std::optional<Measure> Measured(std::string_view estop) const;
    void Store(std::initializer_list<CalibrationValue> values) const;

    CalibrationValues m_values;
    SystemClock& m_clock;
    StoreCalibration m_store;
    // A press is setting the clock (perhaps waiting for the user's authorisation).
    bool m_settingClock = false;
};
