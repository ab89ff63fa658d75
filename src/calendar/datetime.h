// TDateTime: the program's date-time value, and conversions between it and calendar dates.
#pragma once

#include <chrono>
#include <optional>

// Whole days since 1899-12-30; the fraction is the time of day. Dates before 1899-12-30 are
// negative, and there the fraction still counts forward from midnight (-1.25 is 1899-12-29 06:00),
// which keeps values stored by older copies of the program meaning the same.
using TDateTime = double;

struct DateParts
{
    int year = 0;   // 1..9999
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    bool operator==(const DateParts&) const = default;
};

struct TimeParts
{
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    bool operator==(const TimeParts&) const = default;
};

constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
constexpr double kMsPerDay = 86400000.0;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
bool IsValidDate(int year, int month, int day);

// Whole-day value of a Gregorian date (proleptic before 1582); nullopt outside years 1..9999
// or for a day the month does not have.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
// As TryEncodeDate, but an invalid date throws std::out_of_range.
TDateTime EncodeDate(int year, int month, int day);
// Fraction of a day; nullopt when a field is out of range.
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond = 0);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);

// The calendar date of a value, ignoring its time of day. Values outside years 1..9999 give
// the nearest representable date's arithmetic continuation; callers keep to the valid range.
DateParts DecodeDate(TDateTime value);
// Time of day, rounded to the nearest millisecond (a value that rounds up to midnight gives 00:00).
TimeParts DecodeTime(TDateTime value);

// A value as a day number and the milliseconds into that day, rounded to the nearest millisecond
// first, so that the rounding may carry into the next day; formatting works on this.
struct DayAndMs
{
    long long day = 0;  // whole days since 1899-12-30
    long long ms = 0;   // 0..86399999
};
DayAndMs SplitRounded(TDateTime value);
DateParts DateOfDayNumber(long long day);

// The date part (midnight) of a value.
TDateTime DateOf(TDateTime value);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);
// Monday-based: 1 = Monday ... 7 = Sunday.
int IsoDayOfWeek(TDateTime value);

// Value for a count of days since 1970-01-01 plus milliseconds into that day.
TDateTime FromUnixDays(long long days, long long msOfDay);

// A moment of the system clock as local time, given the zone's offset from UTC at that moment.
TDateTime LocalDateTime(std::chrono::system_clock::time_point utc, std::chrono::seconds utcOffset);
