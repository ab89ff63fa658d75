// Gregorian calendar arithmetic for TDateTime.
#include "calendar/datetime.h"

#include <cmath>
#include <stdexcept>

namespace {

// 1970-01-01 as a TDateTime.
constexpr long long kUnixEpochDay = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date (valid far beyond years 1..9999).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

DateParts CivilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

// Splits a value into its day number and its time of day in whole milliseconds, rounding to
// the nearest millisecond first so that 0.99999999999 is the next midnight, not 23:59:59.
void Split(TDateTime value, long long& day, long long& ms)
{
    const double whole = std::trunc(value);
    day = static_cast<long long>(whole);
    ms = std::llround(std::fabs(value - whole) * kMsPerDay);
    if (ms >= static_cast<long long>(kMsPerDay)) {
        ms -= static_cast<long long>(kMsPerDay);
        day += 1;
    }
}

}  // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day)
{
    return year >= kMinYear && year <= kMaxYear && day >= 1 && day <= DaysInMonth(year, month);
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day)
{
    if (!IsValidDate(year, month, day))
        return std::nullopt;
    return static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))
                                  + kUnixEpochDay);
}

TDateTime EncodeDate(int year, int month, int day)
{
    if (auto value = TryEncodeDate(year, month, day))
        return *value;
    throw std::out_of_range("invalid date");
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0
        || millisecond > 999)
        return std::nullopt;
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    if (auto value = TryEncodeTime(hour, minute, second, millisecond))
        return *value;
    throw std::out_of_range("invalid time");
}

DateParts DecodeDate(TDateTime value)
{
    // Dates only: a value a hair below midnight still belongs to the earlier day here, unlike
    // in formatting, where the rounded time may carry into the next day.
    // Outside what any caller should pass the result means nothing, but it must not be undefined:
    // converting NaN or a huge value to an integer would be.
    if (!(std::fabs(value) < 1e12))
        value = 0;
    return CivilFromDays(static_cast<long long>(std::trunc(value)) - kUnixEpochDay);
}

TimeParts DecodeTime(TDateTime value)
{
    long long day = 0, ms = 0;
    Split(value, day, ms);
    TimeParts t;
    t.millisecond = static_cast<int>(ms % 1000);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.hour = static_cast<int>(ms / 3600000);
    return t;
}

TDateTime DateOf(TDateTime value)
{
    return std::trunc(value);
}

int DayOfWeek(TDateTime value)
{
    // 1899-12-30 was a Saturday.
    long long day = static_cast<long long>(std::trunc(value));
    long long r = ((day - 1) % 7 + 7) % 7;  // 0 = Sunday
    return static_cast<int>(r) + 1;
}

int IsoDayOfWeek(TDateTime value)
{
    const int d = DayOfWeek(value);
    return d == 1 ? 7 : d - 1;
}

TDateTime FromUnixDays(long long days, long long msOfDay)
{
    return static_cast<double>(days + kUnixEpochDay) + static_cast<double>(msOfDay) / kMsPerDay;
}

DayAndMs SplitRounded(TDateTime value)
{
    DayAndMs r;
    Split(value, r.day, r.ms);
    return r;
}

DateParts DateOfDayNumber(long long day)
{
    return CivilFromDays(day - kUnixEpochDay);
}

TDateTime LocalDateTime(std::chrono::system_clock::time_point utc, std::chrono::seconds utcOffset)
{
    using namespace std::chrono;
    const auto local = utc + utcOffset;
    const auto days = floor<std::chrono::days>(local);
    const auto ms = duration_cast<milliseconds>(local - days);
    return FromUnixDays(days.time_since_epoch().count(), ms.count());
}
