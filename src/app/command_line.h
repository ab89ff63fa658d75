// The command line: what the program is asked to do, parsed without side effects.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calendar/datetime.h"

struct CommandLine
{
    enum class Mode
    {
        Window,
        PrintDay,
        Screenshot,
        Help,
        Version,
        Contacts,
        Sntp,
        Search,
        ExportIcs,
        ImportIcs,
        Reminders,
        Sync
    };
    Mode mode = Mode::Window;
    bool hide = false;                     // "-HIDE" in any letter case: start in the tray
    std::optional<TDateTime> date;         // --print-day DATE, --reminders DATE or --date DATE
    int days = 1;                          // --days N with --print-day or --reminders: N days from DATE on
    std::optional<std::string> dir;        // --dir PATH: the program directory
    std::optional<std::string> latitude;   // --lat DEG, as typed
    std::optional<std::string> longitude;  // --lon DEG, as typed
    std::string screenshotFile;            // --screenshot FILE
    std::vector<std::string> sntpServers;  // --sntp HOST[:PORT]...; empty: the program's own list
    std::string searchText;                // --search TEXT
    bool ignoreDiacritics = false;         // --ignore-diacritics: "zolw" finds "żółw"
    std::string icsFile;                   // --export-ics FILE, --import-ics FILE
    std::optional<int> fromYear, toYear;   // --from YEAR, --to YEAR: the years --export-ics writes
    bool withNameDays = false;             // --with-namedays
    bool withHolidays = false;             // --with-holidays
    bool assumeYes = false;                // --yes: import a large file without asking
    // --sync with --server URL, --user NAME, --calendar NAME, --show CALENDAR..., --subscribe URL...
    std::optional<std::string> syncServer, syncUser, syncCalendar;
    std::vector<std::string> syncShow, syncSubscribe;
};

struct CommandLineResult
{
    CommandLine options;
    std::string error;  // one line for stderr; empty when the line parsed
};

// args excludes the program name.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args);

// "yyyy-mm-dd" or "yyyy.mm.dd" (four-digit year, one- or two-digit month and day), years 1..9999.
std::optional<TDateTime> ParseDateArgument(const std::string& text);

// The most days one --print-day prints: a hundred years.
constexpr int kMaxPrintDays = 36600;

std::string UsageText();
