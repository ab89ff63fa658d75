// The day view as plain "key: value" lines, for the command line and for scripts.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "calendar/datetime.h"
#include "calendar/namedays.h"
#include "calendar/notes_journal.h"

struct PrintDayInput
{
    TDateTime date = 0;
    const NameDayTable* names = nullptr;
    const JournalRecords* notes = nullptr;  // no notes: the note lines stay empty
};

// Lines in a fixed order that scripts may rely on: date, weekday, month, holiday, names, and
// whatever the other subsystems add after them.
std::vector<std::pair<std::string, std::string>> PrintDayLines(const PrintDayInput& input);
std::string FormatPrintDay(const std::vector<std::pair<std::string, std::string>>& lines);
