// What a calendar file may cost, and which of its values libical may see: the check every file
// passes before libical reads it.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// The bounds a file is refused beyond. Each is far above what a calendar of notes needs and far
// below what makes libical run for minutes or take gigabytes: its line reader is quadratic in a
// line's length, and a zone is expanded change by change from its first year to the event's.
constexpr std::size_t kMaxIcsLineBytes = 1024 * 1024;  // one line after unfolding
constexpr int kMaxIcsComponents = 1'000'000;           // BEGIN lines of any kind
constexpr int kMaxIcsDepth = 16;                       // components inside components
constexpr int kMaxIcsZones = 200;                      // VTIMEZONE components
constexpr int kMaxIcsZoneRules = 2000;                 // STANDARD and DAYLIGHT parts, RDATE values
// Years of changes of all recurring zone rules together, each from its first year to its UNTIL
// or to the latest year of a time given in a zone (2100 at least): libical expands a rule change
// by change, a few microseconds each, up to the year it is asked about.
constexpr long kMaxIcsZoneRuleYears = 400'000;

// What a long import reports and how it is stopped: `report` gets the share done, 0 to 100, from
// the thread that reads; `cancel` is polled there. Both may be left empty.
struct IcsProgress
{
    std::function<void(int percent)> report;
    const std::atomic<bool>* cancel = nullptr;
    bool Cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

struct IcsPrecheck
{
    // The file as libical is to read it: lines unfolded, control characters removed, and every
    // component with a date, time or offset that is none left out.
    std::string text;
    int events = 0;         // VEVENT components, kept or not
    int invalidEvents = 0;  // events left out for such a value, or for a zone left out for one
    bool cancelled = false;
    std::string error;  // in Polish, the bound the file is past and where; text empty then
};

// `report` of `progress` runs from 0 to `reportUpTo` over the file.
IcsPrecheck PrecheckIcs(std::string_view bytes, const IcsProgress& progress = {}, int reportUpTo = 100);

// Whether a value is an iCalendar date "yyyymmdd" or date-time "yyyymmddThhmmss[Z]" that names a
// real moment: years 0001-9999, the day within its month, 23:59:60 at most. libical checks none of
// this: icaltime_from_string takes any digits, and icaltime_days_in_month then reads past its
// 13-entry table for a month beyond 12, so a bad month or hour lands on some other day.
bool IsIcsDateOrDateTime(std::string_view value);
// Whether a value is a UTC offset "+hhmm" or "-hhmm[ss]" of less than a day.
bool IsIcsUtcOffset(std::string_view value);
