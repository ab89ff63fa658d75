// Easter and the church feasts that follow it, and the holiday entries of the month grids.
#pragma once

#include <string>
#include <vector>

#include "calendar/datetime.h"

// Easter Sunday of a year by the Gregorian computus, applied proleptically to every year;
// valid for years 1..9999, a whole day.
TDateTime EasterSunday(int year);

// The feast falling on `date` (a whole day) when Easter Sunday of its year is `easter`: its text
// followed by CR LF, as the day panel shows it on a line of its own; empty when none.
std::string FeastOfDay(TDateTime date, TDateTime easter);

// The yearly holidays the main grid starts with, as "    .mm.dd" keys.
const std::vector<std::string>& FixedHolidays();

// Easter Monday and Corpus Christi of a year as "yyyy.mm.dd": the two public holidays that move.
struct MoveableHolidays
{
    std::string easterMonday;
    std::string corpusChristi;
};
MoveableHolidays MoveableHolidayEntries(int year);

// Fixed-date public holidays that came later than the yearly list, as "yyyy.mm.dd" entries of
// `year`: 6 January from 2011 on and 24 December from 2025 on. Dated entries, because a yearly
// one would colour the day also in the years before the law made it a holiday.
std::vector<std::string> LaterPublicHolidayEntries(int year);
// The name of such a later holiday falling on `date` ("Trzech Króli"); empty on any other day and
// in the years before the day became a holiday.
std::string LaterPublicHolidayName(TDateTime date);

// The whole holiday list of a month grid showing `year`: the yearly list, then Easter Monday
// and Corpus Christi (directly after it, at FixedHolidays().size() and the place after), then
// the later public holidays of that year.
std::vector<std::string> HolidayEntries(int year);
