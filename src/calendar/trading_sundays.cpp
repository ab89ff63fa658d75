// Trading Sundays under the act limiting Sunday trading.
#include "calendar/trading_sundays.h"

#include "calendar/feasts.h"

namespace {

// The last Sunday of a month.
TDateTime LastSunday(int year, int month)
{
    const TDateTime last = EncodeDate(year, month, DaysInMonth(year, month));
    return last - (DayOfWeek(last) - 1);
}

TDateTime FirstSunday(int year, int month)
{
    const TDateTime first = EncodeDate(year, month, 1);
    return first + (8 - DayOfWeek(first)) % 7;
}

// The act's own rules (art. 7 ust. 1, with the 2023 amendment's addition), in force since the
// ban began: the Sunday right before Easter, the Sundays right before Christmas and, from 2020
// on, the last Sundays of January, April, June and August.
//
// Before Christmas: two consecutive Sundays until 2024; three since the 2025 amendment, which
// made 24 December a holiday in exchange. Where the last Sunday before 25 December is 24
// December itself, the 2023 amendment moves the run to the Sundays before it, so Wigilia is never
// one of them (in 2023: 10 and 17 December, not 17 and 24 as the act first read). Either way the
// run ends on the last Sunday up to 23 December.
bool IsRuleSunday(TDateTime sunday, const DateParts& d)
{
    if (sunday == EasterSunday(d.year) - 7)
        return true;
    const TDateTime eve = EncodeDate(d.year, 12, 23);
    const TDateTime lastOfRun = eve - (DayOfWeek(eve) - 1);
    const int christmasRun = d.year >= 2025 ? 3 : 2;
    if (sunday <= lastOfRun && sunday > lastOfRun - 7 * christmasRun)
        return true;
    if (d.year >= 2020)
        for (const int month : {1, 4, 6, 8})
            if (sunday == LastSunday(d.year, month))
                return true;
    // The transition: art. 16 for 1 March to 31 December 2018 (the first and the last Sunday of
    // every month), art. 17 for 2019 (the last Sunday of every month).
    if (d.year == 2018 && (sunday == FirstSunday(d.year, d.month) || sunday == LastSunday(d.year, d.month)))
        return true;
    return d.year == 2019 && sunday == LastSunday(d.year, d.month);
}

}  // namespace

std::optional<bool> IsTradingSunday(TDateTime date)
{
    date = DateOf(date);
    const DateParts d = DecodeDate(date);
    if (DayOfWeek(date) != 1 || d.year < 2018 || (d.year == 2018 && d.month < 3))
        return std::nullopt;
    // Art. 5 bans trade on every holiday, and no rule lifts that: a rule Sunday that is Easter
    // (the last Sunday of April when Easter falls on the 25th) stays closed (art. 16 ust. 2 says
    // so in as many words for 2018).
    if (IsPublicHoliday(date))
        return false;
    return IsRuleSunday(date, d);
}
