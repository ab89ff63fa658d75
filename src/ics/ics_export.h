// The notes, name days and public holidays as one iCalendar (RFC 5545) calendar, written by libical.
#pragma once

#include <chrono>
#include <optional>
#include <string>

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
IcsExport ExportIcs(const JournalRecords& notes, const NameDayTable& table, const IcsExportOptions& options,
                    std::chrono::system_clock::time_point now, int currentYear);
