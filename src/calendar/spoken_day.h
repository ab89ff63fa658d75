// What a screen reader says for a day of the month grid: the words come from the core, so that
// they are the same on every desktop and can be checked without a display.
#pragma once

#include "calendar/datetime.h"

#include <array>
#include <string>
#include <string_view>

// Indexed by month - 1: the genitive a Polish date is spoken in ("24 grudnia").
extern const std::array<std::string_view, 12> kGenitiveMonthNames;

// What the grid knows of a day beyond its date.
struct SpokenDayFacts
{
    std::string holiday;         // the holiday or feast as the day panel shows it; may span lines
    bool tradingSunday = false;  // the grid marks it with a sign only
    bool note = false;           // the day has a note
    bool today = false;
};

// The day spoken in full, UTF-8: "środa, 24 grudnia 2025, Wigilia, notatka".
// Weekday, day, genitive month and year, then each non-blank line of the holiday text,
// "niedziela handlowa", "notatka" and "dziś" where they apply, all separated by ", ". `date` is a
// whole-day value of years 1..9999; the fraction is ignored.
std::string SpokenDayName(TDateTime date, const SpokenDayFacts& facts);
