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
