// The day view as plain "key: value" lines, for the command line and for scripts.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/settings.h"
#include "calendar/datetime.h"
#include "calendar/namedays.h"
#include "calendar/notes_journal.h"
#include "calendar/winter_holidays.h"
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
    // "Imieniny bliskich": the names whose day the "reminders" line lists.
    std::vector<std::string> chosenNames = {};
    // "Województwo" and the winter holidays by voivodeship: the "school" line names "ferie
    // zimowe" only with both; the nationwide breaks it names always.
    const WinterHolidays* winterHolidays = nullptr;
    std::string voivodeship = {};
    // The "events" line of a day: the events of the calendars shown beside the notes, from their
    // local copy. None: the line is empty.
    std::function<std::string(TDateTime date)> events = {};
};

// Lines in a fixed order that scripts may rely on: date, weekday, month, holiday, names, sun,
// moon, phase, and whatever the other subsystems add after them (note, yearly-note, reminders),
// then the Polish calendar's lines (trading-sunday, working-days, working-hours,
// day-length, day-of-year, school), then the shown calendars' events.
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

// What --print-day needs from outside.
struct PrintDaySources
{
    const std::filesystem::path& programDir;  // where "dnz.dat" is
    JournalFile& notesFile;                   // only read: printing must not create or repair the file
    SettingsStore& settings;                  // the stored place; reading never creates the key
    const SystemClock& clock;                 // today, when no date is given
    // The winter holidays file to read when a voivodeship is chosen (ProgramFiles::Locate).
    std::filesystem::path winterHolidaysFile = {};
    std::function<std::string(TDateTime date)> events = {};  // PrintDayInput::events
};
// --print-day: prints the day view of options.date (today when empty) and the days after it as
// options.days asks, for the stored place or the one --lat and --lon name, to `out`. Exit code 0;
// 1 with a line on `err` when the notes cannot be read, 2 when a coordinate or the run of days
// is refused. With a voivodeship chosen, a winter holidays file that cannot be read or has
// refused lines is named on `err` and the days are printed all the same (exit code 0), without
// the holidays it could not give; a missing file says nothing.
int RunPrintDay(const PrintDaySources& sources, const CommandLine& options, std::ostream& out, std::ostream& err);

// The notes of "dnz.dat" in `programDir`, read only: printing and searching must not create or
// repair the file. A missing file is an empty journal; an unreadable one gives nullopt and a
// line on `err`.
std::optional<JournalRecords> ReadNotesReadOnly(JournalFile& notesFile, const std::filesystem::path& programDir,
                                                std::ostream& err);
// The same file's bytes as they lie, for readers that need no records (the search): empty when
// the file is missing; nullopt, with the same line on `err`, when it cannot be read.
std::optional<std::string> ReadNotesBytes(JournalFile& notesFile, const std::filesystem::path& programDir,
                                          std::ostream& err);
