// The texts of the day panel that come from the calendar: holiday or feast, and the names.
#pragma once

#include <string>

#include "calendar/datetime.h"
#include "calendar/namedays.h"

struct DayTexts
{
    std::string holiday;     // the feast text (ending in CR LF) or the table's holiday; or empty
    std::string names;       // one name a line, CR LF between lines
    std::string namesLabel;  // what the names label shows: two empty lines first when a holiday is shown
    bool showHoliday = false;
};

// `easter` is Easter Sunday of the date's year; a feast replaces the table's holiday.
DayTexts NamesAndHoliday(const NameDayTable& table, TDateTime date, TDateTime easter);

// A multi-line hint on one line, for platforms whose tooltips cannot break lines: every CR
// becomes " , " and every LF goes.
std::string FlattenHintText(const std::string& text);
