// School breaks (regulation of 11 August 2017 on organising the school year, § 2 ust. 1 and
// § 3 ust. 1).
#include "calendar/school_year.h"

#include "calendar/feasts.h"

TDateTime LastDayOfClasses(int year)
{
    // DayOfWeek: 1 = Sunday, 6 = Friday; "after 20 June" leaves out the 20th itself.
    const TDateTime twentieth = EncodeDate(year, 6, 20);
    const int toFriday = (6 - DayOfWeek(twentieth) + 7) % 7;
    return twentieth + (toFriday == 0 ? 7 : toFriday);
}

std::string NationwideSchoolBreak(TDateTime date)
{
    date = DateOf(date);
    const DateParts d = DecodeDate(date);
    const TDateTime christmasStart = DayOfWeek(EncodeDate(d.year, 12, 22)) == 2 ? EncodeDate(d.year, 12, 22)
                                                                                : EncodeDate(d.year, 12, 23);
    if (date >= christmasStart && d.month == 12)
        return "zimowa przerwa świąteczna";
    const TDateTime easter = EasterSunday(d.year);
    if (date >= easter - 3 && date <= easter + 2)
        return "wiosenna przerwa świąteczna";
    if (date > LastDayOfClasses(d.year) && date <= EncodeDate(d.year, 8, 31))
        return "ferie letnie";
    return {};
}

std::string SchoolBreak(TDateTime date, const WinterHolidays& winter, std::string_view voivodeship)
{
    // The winter holidays lie between mid-January and the end of February, clear of every
    // nationwide break; a file that says otherwise still leaves the nationwide name first.
    std::string name = NationwideSchoolBreak(date);
    if (name.empty() && winter.Contains(voivodeship, date))
        name = "ferie zimowe";
    return name;
}
