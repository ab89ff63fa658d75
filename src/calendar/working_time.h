// The working-time norm of a month, and the Saturday holidays that give another day off.
#pragma once

#include "calendar/datetime.h"

struct WorkingTime
{
    int hours = 0;  // the norm for a full-time employee in the basic system
    int days = 0;   // hours / 8, as the published tables give the working days
};

// The norm of `month` (1..12) of `year` (1..9999) taken as a one-month settlement period, by the
// Labour Code (art. 130 § 1 and 2): 40 hours for every whole week, 8 hours for every Monday to
// Friday left over, less 8 hours for every holiday falling on a day other than Sunday. A
// holiday on a Saturday lowers it too, so employees get another day off for it. The holidays
// are those of IsPublicHoliday.
WorkingTime MonthWorkingTime(int year, int month);

// Whether a whole-day date is a public holiday falling on a Saturday: the day for which an
// employee in the basic system is owed another day off.
bool IsSaturdayHoliday(TDateTime date);
