// Easter and the church feasts that follow it, and the holiday entries of the month grids.
#pragma once

#include <string>
#include <vector>

#include "calendar/datetime.h"

// Easter Sunday of a year by the Gregorian computus, applied proleptically to every year;
// valid for years 1..9999, a whole day.
TDateTime EasterSunday(int year);

struct FeastText
{
    std::string text;  // followed by CR LF, as the day panel shows it on a line of its own
    // Where a fixed public holiday falls on the same day, the holiday keeps its text and this
    // feast follows it after ", "; otherwise the feast's text takes the day's holiday text's place.
    bool followsFixedHoliday = false;
};
// The feast falling on `date` (a whole day) when Easter Sunday of its year is `easter`: the seven
// of Holy Week, Ash Wednesday and Corpus Christi, and Tłusty Czwartek, Palm Sunday, Ascension
// (kept on the Sunday), Pentecost and the first Sunday of Advent. Empty text when none.
FeastText FeastOn(TDateTime date, TDateTime easter);
// Its text alone.
std::string FeastOfDay(TDateTime date, TDateTime easter);
// Whether a whole-day date is one of the fixed-date public holidays (the yearly list, and the
// later ones from the year they began).
bool IsFixedPublicHoliday(TDateTime date);

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

// Whether a whole-day date is a statutory day off work other than a Sunday as such: the fixed
// holidays, Easter Sunday and Monday, Pentecost Sunday, Corpus Christi and the later holidays
// from the years they became law. The law as it stands since 2011 (with 24 December from 2025);
// earlier changes of the holiday list are not modelled, so years before 2011 get today's list
// without 6 January.
bool IsPublicHoliday(TDateTime date);

// The whole holiday list of a month grid showing `year`: the yearly list, then Easter Monday
// and Corpus Christi (directly after it, at FixedHolidays().size() and the place after), then
// the later public holidays of that year.
std::vector<std::string> HolidayEntries(int year);
