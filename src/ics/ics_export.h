// The notes, name days and public holidays as one iCalendar (RFC 5545) calendar, written by libical.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/namedays.h"
#include "calendar/notes_journal.h"

struct IcsExportOptions
{
    // The years of the date notes written; none: every one. Name days and holidays cover these
    // years too, or the current year when neither is given.
    std::optional<int> fromYear, toYear;
    bool withNameDays = false;
    bool withHolidays = false;
};

// Name days and holidays for more years than this make a file no calendar wants to read.
constexpr int kMaxTableYears = 100;

struct IcsExport
{
    std::string text;   // the calendar, UTF-8, CR LF line ends, lines folded at 75 octets
    int notes = 0;      // events made from notes
    int events = 0;     // every event
    std::string error;  // in Polish; the text is then empty
};

// Every live note in range as an all-day event (summary: its first line, description: the whole
// note); a yearly note recurs every year from `fromYear`, or from the year it was written, until
// `toYear` when given. Each event's UID comes from its key alone, so that a calendar subscribed to
// the file updates its events instead of adding them again. `now` is the moment of the export, in
// UTC, and `currentYear` its local year.
// The UID ExportIcs gives the note of this key ("notatka-2024-03-10@dniarz", "coroczna-03-10@dniarz");
// empty for a key no save writes.
std::string NoteUid(std::string_view key);

// One note as a calendar holding its one event, as ExportIcs writes it but under the given UID; a
// yearly note recurs from `yearlyStart` (or the next leap year for 29 February) for ever. Empty for
// a key no save writes and for a note without a line of text.
std::string NoteEventIcs(std::string_view uid, std::string_view key, std::string_view text, int yearlyStart,
                         std::chrono::system_clock::time_point now);

IcsExport ExportIcs(const JournalRecords& notes, const NameDayTable& table, const IcsExportOptions& options,
                    std::chrono::system_clock::time_point now, int currentYear);
