// Day panel texts.
#include "calendar/day_info.h"

#include "calendar/feasts.h"

DayTexts NamesAndHoliday(const NameDayTable& table, TDateTime date, TDateTime easter)
{
    const DateParts d = DecodeDate(date);
    DayNames looked = table.Lookup(d.month, d.day);
    DayTexts t;
    t.holiday = std::move(looked.holiday);
    // The table was written before 6 January became a day off; the grids colour it, so the panel
    // must say why.
    if (t.holiday.empty())
        t.holiday = LaterPublicHolidayName(date);
    if (std::string feast = FeastOfDay(DateOf(date), easter); !feast.empty())
        t.holiday = std::move(feast);
    t.names = std::move(looked.names);
    return t;
}
