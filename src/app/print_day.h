// The day view as plain "key: value" lines, for the command line and for scripts.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/settings_table.h"
#include "calendar/datetime.h"
#include "calendar/namedays.h"
#include "calendar/notes_journal.h"

struct PrintDayInput
{
    TDateTime date = 0;
    const NameDayTable* names = nullptr;
    const JournalRecords* notes = nullptr;  // no notes: the note lines stay empty
    // The observer's place, degrees, north and east positive.
    double latitude = FloatDefault(SettingId::Latitude);
    double longitude = FloatDefault(SettingId::Longitude);
    // "Imieniny bliskich": the names whose day the "reminders" line lists.
    std::vector<std::string> chosenNames = {};
};

// Lines in a fixed order that scripts may rely on: date, weekday, month, holiday, names, sun,
// moon, phase, and whatever the other subsystems add after them (note, yearly-note, reminders).
std::vector<std::pair<std::string, std::string>> PrintDayLines(const PrintDayInput& input);
class SunMoonAlmanac;
// The same with the sun and moon from `almanac`, made for the input's place: the texts are the
// same, and a run of days costs a fraction.
std::vector<std::pair<std::string, std::string>> PrintDayLines(const PrintDayInput& input, SunMoonAlmanac& almanac);
// Writes the blocks of `days` consecutive days from input.date on to `out`, parted by an empty line.
// A run that would pass 9999-12-31 prints nothing and gives one line for stderr naming it.
std::string PrintDays(const PrintDayInput& input, int days, std::ostream& out);
// Sets the place from the texts of --lat and --lon where given, read with TryParseCoordinate.
// A command line has no stored value to fall back to, so a text that does not read is an error:
// the result is then one line for stderr naming it, and the input keeps its place.
std::string SetPlace(PrintDayInput& input, const std::optional<std::string>& latitude,
                     const std::optional<std::string>& longitude);

std::string FormatPrintDay(const std::vector<std::pair<std::string, std::string>>& lines);
