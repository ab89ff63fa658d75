// Day panel texts.
#include "calendar/day_info.h"

#include "calendar/feasts.h"

DayTexts NamesAndHoliday(const NameDayTable& table, TDateTime date, TDateTime easter)
{
    const DateParts d = DecodeDate(date);
    DayNames looked = table.Lookup(d.month, d.day);
    DayTexts t;
    t.holiday = std::move(looked.holiday);
    if (std::string feast = FeastOfDay(DateOf(date), easter); !feast.empty())
        t.holiday = std::move(feast);
    t.names = std::move(looked.names);
    return t;
}
