// The texts of the day panel that come from the calendar: holiday or feast, and the names.
#pragma once

#include <string>

#include "calendar/datetime.h"
#include "calendar/namedays.h"

struct DayTexts
{
    std::string holiday;  // the feast text (ending in CR LF) or the table's holiday; or empty
    std::string names;    // one name a line, CR LF between lines
};

// `easter` is Easter Sunday of the date's year; a feast replaces the table's holiday, except that
// a fixed public holiday keeps its text before the later feasts (see FeastText).
DayTexts NamesAndHoliday(const NameDayTable& table, TDateTime date, TDateTime easter);
