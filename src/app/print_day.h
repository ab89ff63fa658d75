// The day view as plain "key: value" lines, for the command line and for scripts.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"
#include "calendar/datetime.h"
#include "calendar/namedays.h"
#include "calendar/notes_journal.h"
#include "platform/journal_file.h"
#include "platform/settings_store.h"
#include "platform/system_clock.h"

struct PrintDayInput
{
    TDateTime date = 0;
    const NameDayTable* names = nullptr;
    const JournalRecords* notes = nullptr;  // no notes: the note lines stay empty
    // The observer's place, degrees, north and east positive.
    double latitude = DefaultSettings().Latitude;
    double longitude = DefaultSettings().Longitude;
};

// Lines in a fixed order that scripts may rely on: date, weekday, month, holiday, names, sun,
// moon, phase, and whatever the other subsystems add after them.
std::vector<std::pair<std::string, std::string>> PrintDayLines(const PrintDayInput& input);
// Sets the place from the texts of --lat and --lon where given, read with TryParseCoordinate.
// A command line has no stored value to fall back to, so a text that does not read is an error:
// the result is then one line for stderr naming it, and the input keeps its place.
std::string SetPlace(PrintDayInput& input, const std::optional<std::string>& latitude,
                     const std::optional<std::string>& longitude);

std::string FormatPrintDay(const std::vector<std::pair<std::string, std::string>>& lines);

// What --print-day needs from outside.
struct PrintDaySources
{
    const std::filesystem::path& programDir;  // where "dnz.dat" is
    JournalFile& notesFile;                   // only read: printing must not create or repair the file
    SettingsStore& settings;                  // the stored place; reading never creates the key
    const SystemClock& clock;                 // today, when no date is given
};
// --print-day: prints the day view of `date` (today when empty) for the stored place, or the one
// `latitude` and `longitude` name, to `out`. Exit code 0; 1 with a line on `err` when the notes
// cannot be read, 2 when a coordinate does not read.
int RunPrintDay(const PrintDaySources& sources, std::optional<TDateTime> date,
                const std::optional<std::string>& latitude, const std::optional<std::string>& longitude,
                std::ostream& out, std::ostream& err);
