// Fixed-pattern formatting of TDateTime values and the Polish month and weekday names.
// The patterns never follow the user's regional settings: files, keys and the settings store
// depend on them staying exactly as they are.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "calendar/datetime.h"

// Indexed by month - 1: nominative, as a Polish calendar prints them ("styczeń").
extern const std::array<std::string_view, 12> kLongMonthNames;
extern const std::array<std::string_view, 12> kShortMonthNames;  // "sty" ... "gru"
// Indexed by DayOfWeek - 1, Sunday first.
extern const std::array<std::string_view, 7> kLongDayNames;   // "niedziela" ... "sobota"
extern const std::array<std::string_view, 7> kShortDayNames;  // "N", "Pn" ... "So"

// Formats a value with a pattern of these tokens: yyyy, yy, mmmm, mmm, mm, m, dddd, ddd, dd, d,
// hh, h, nn, n, ss, s, zzz; every other character is copied. The value is first rounded to the
// nearest millisecond, and "ss" then drops the fraction of the second, so 12:00:59.9996 prints
// 12:01:00 but 12:00:59.9994 prints 12:00:59.
std::string FormatDateTime(std::string_view pattern, TDateTime value);

// "yyyy.mm.dd" and the yearly key "    .mm.dd" (four spaces for the year).
std::string DateKey(TDateTime value);
std::string DateKey(int year, int month, int day);
std::string YearlyKey(int month, int day);

// The year as the patterns print it: at least four digits.
std::string FourDigitYear(int year);
