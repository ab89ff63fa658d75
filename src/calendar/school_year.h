// The school year's nationwide breaks, by the education ministry's regulation on organising the
// school year.
#pragma once

#include <string>
#include <string_view>

#include "calendar/datetime.h"
#include "calendar/winter_holidays.h"

// The nationwide school break that `date` (a whole day, or any time of it) falls in:
// "zimowa przerwa świąteczna" (23 to 31 December, from 22 December when that is a Monday),
// "wiosenna przerwa świąteczna" (the Thursday before Easter to the Tuesday after it) or
// "ferie letnie" (the day after the year's last classes, the first Friday after 20 June, to 31
// August). Empty on any other day. The winter holidays ("ferie zimowe") differ by voivodeship and
// are not among them. The rules are those in force since the 2017 regulation; earlier years get
// them too.
std::string NationwideSchoolBreak(TDateTime date);

// The school break `date` falls in for the schools of `voivodeship`: a nationwide one, or
// "ferie zimowe" on the days `winter` gives that voivodeship. Without a voivodeship (an empty or
// unknown name) only the nationwide breaks count.
std::string SchoolBreak(TDateTime date, const WinterHolidays& winter, std::string_view voivodeship);

// The last day of classes of the school year ending in `year`: the first Friday after 20 June.
TDateTime LastDayOfClasses(int year);
