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
    if (FeastText feast = FeastOn(DateOf(date), easter); !feast.text.empty()) {
        if (feast.followsFixedHoliday && !t.holiday.empty() && IsFixedPublicHoliday(DateOf(date)))
            t.holiday += ", " + feast.text;
        else
            t.holiday = std::move(feast.text);
    }
    t.names = std::move(looked.names);
    return t;
}
