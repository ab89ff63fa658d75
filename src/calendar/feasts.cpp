// Easter computus and the moveable feasts.
#include "calendar/feasts.h"

#include "calendar/date_format.h"

#include <algorithm>

namespace {

struct Feast
{
    int offset;  // days from Easter Sunday
    const char* text;
    // The feasts Polish calendars print beside the day panel's first seven. A Sunday feast may
    // meet a fixed holiday (Ascension, kept on the Sunday in Poland, falls on 3 May when Easter is
    // on 22 March); the holiday is the day's first name there and keeps its text.
    bool followsFixedHoliday = false;
};

// Order matters only in principle (the last match wins); the offsets are distinct.
constexpr Feast kFeasts[] = {
    {0, "Wielkanoc\r\n"},
    {1, "Pon. Wielkanocny\r\n"},
    {-1, "Wielka Sobota\r\n"},
    {-2, "Wielki Piątek\r\n"},
    {-3, "Wielki Czwartek\r\n"},
    {-46, "Popielec\r\n"},
    {60, "Boże Ciało\r\n"},
    {-52, "Tłusty Czwartek\r\n", true},
    {-7, "Niedziela Palmowa\r\n", true},
    {42, "Wniebowstąpienie Pańskie\r\n", true},
    {49, "Zesłanie Ducha Świętego — Zielone Świątki\r\n", true},
};

// Advent begins on the fourth Sunday before Christmas Day: 27 November to 3 December.
TDateTime FirstSundayOfAdvent(int year)
{
    const TDateTime christmas = EncodeDate(year, 12, 25);
    return christmas - (DayOfWeek(christmas) - 1) - 21 - (DayOfWeek(christmas) == 1 ? 7 : 0);
}

}  // namespace

TDateTime EasterSunday(int year)
{
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return EncodeDate(year, n / 31, n % 31 + 1);
}

FeastText FeastOn(TDateTime date, TDateTime easter)
{
    FeastText result;
    for (const Feast& feast : kFeasts)
        if (easter + feast.offset == date)
            result = {feast.text, feast.followsFixedHoliday};
    if (result.text.empty() && date == FirstSundayOfAdvent(DecodeDate(date).year))
        result = {"I Niedziela Adwentu\r\n", true};
    return result;
}

std::string FeastOfDay(TDateTime date, TDateTime easter)
{
    return FeastOn(date, easter).text;
}

bool IsFixedPublicHoliday(TDateTime date)
{
    const DateParts d = DecodeDate(date);
    const std::vector<std::string>& fixed = FixedHolidays();
    return std::find(fixed.begin(), fixed.end(), YearlyKey(d.month, d.day)) != fixed.end()
           || !LaterPublicHolidayName(date).empty();
}

const std::vector<std::string>& FixedHolidays()
{
    static const std::vector<std::string> kFixed = {"    .12.25", "    .12.26", "    .01.01", "    .05.01",
                                                    "    .05.03", "    .08.15", "    .11.01", "    .11.11"};
    return kFixed;
}

MoveableHolidays MoveableHolidayEntries(int year)
{
    const TDateTime easter = EasterSunday(year);
    return {DateKey(easter + 1), DateKey(easter + 60)};
}

namespace {

struct LaterHoliday
{
    int since, month, day;
    const char* name;  // shown in the day panel when the name-day table names no holiday that day
};
constexpr LaterHoliday kLaterHolidays[] = {{2011, 1, 6, "Trzech Króli"}, {2025, 12, 24, "Wigilia"}};

}  // namespace

std::vector<std::string> LaterPublicHolidayEntries(int year)
{
    std::vector<std::string> entries;
    for (const LaterHoliday& later : kLaterHolidays)
        if (year >= later.since)
            entries.push_back(DateKey(year, later.month, later.day));
    return entries;
}

std::string LaterPublicHolidayName(TDateTime date)
{
    const DateParts d = DecodeDate(date);
    for (const LaterHoliday& later : kLaterHolidays)
        if (d.year >= later.since && d.month == later.month && d.day == later.day)
            return later.name;
    return {};
}

bool IsPublicHoliday(TDateTime date)
{
    date = DateOf(date);
    if (IsFixedPublicHoliday(date))
        return true;
    const TDateTime easter = EasterSunday(DecodeDate(date).year);
    // Easter Sunday and Monday, Pentecost Sunday, Corpus Christi.
    return date == easter || date == easter + 1 || date == easter + 49 || date == easter + 60;
}

std::vector<std::string> HolidayEntries(int year)
{
    std::vector<std::string> entries = FixedHolidays();
    MoveableHolidays moveable = MoveableHolidayEntries(year);
    entries.push_back(std::move(moveable.easterMonday));
    entries.push_back(std::move(moveable.corpusChristi));
    for (std::string& later : LaterPublicHolidayEntries(year))
        entries.push_back(std::move(later));
    return entries;
}
