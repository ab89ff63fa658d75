// The winter holidays file as the program finds it: the user's own copy in the program's folder,
// else the one shipped with the program.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "calendar/winter_holidays.h"

inline constexpr std::string_view kWinterHolidaysFileName = "ferie-zimowe.txt";

struct WinterHolidaysFile
{
    WinterHolidays holidays;  // every good line; none when the file is missing or unreadable
    // Empty when the file was read whole or is missing: it is optional, and without it the
    // calendar only has no winter holidays. Otherwise, in Polish, a first line naming the file
    // and why it could not be read, or one line more for each refused line ("wiersz 3: …"), at
    // most kShownProblems of them and a line saying how many more there are.
    std::string problem;
};

inline constexpr std::size_t kShownProblems = 5;

// Reads `file` through the safe reader, never beyond kSmallFileLimit.
WinterHolidaysFile ReadWinterHolidays(const std::filesystem::path& file);
