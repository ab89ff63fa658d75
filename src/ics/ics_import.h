// Events of an iCalendar (RFC 5545) file as notes, read by libical.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/datetime.h"
#include "calendar/notes_journal.h"
#include "ics/ics_import_memory.h"
#include "ics/ics_precheck.h"

struct ImportedNote
{
    std::string key;       // "yyyy.mm.dd", or "    .mm.dd" for a yearly all-day event
    std::string text;      // UTF-8, lines joined by CR LF
    bool firstDay = true;  // false for the later days of an all-day event of several days
    // The event's identity across imports: its UID (with its RECURRENCE-ID, for one changed
    // occurrence), or for an event without one a hash of its start, summary and description.
    std::string id;
};

// The most days an all-day event is written to, as a note over a range of days; a longer one goes
// to its first day only.
constexpr int kMaxImportedDays = 31;

struct IcsImport
{
    std::vector<ImportedNote> notes;  // one per event and day, in file order
    int events = 0;                   // events in the file
    int firstOccurrenceOnly = 0;      // recurring events other than yearly all-day ones
    int longerThanRange = 0;          // all-day events of more than kMaxImportedDays days
    int ownTables = 0;                // name days and holidays this program exported; not in events
    int skipped = 0;                  // events without a start date that reads, or with a
                                      // date, time or offset that is none
    bool cancelled = false;           // stopped through IcsProgress; no notes then
    std::string error;                // in Polish when the file is no calendar or is past a
                                      // bound of ics_precheck.h; no notes then
};

// The offset of local time from UTC at a moment, as the system's clock gives it.
using UtcOffsetAt = std::function<std::chrono::seconds(std::chrono::system_clock::time_point)>;

// Files larger than this are refused before parsing (and read no further than this): no calendar
// of notes comes near it.
constexpr std::size_t kMaxIcsBytes = 32 * 1024 * 1024;
// What the user is told of a file beyond kMaxIcsBytes, in Polish, with the figure.
std::string IcsTooLargeText();

// Each event becomes a note on the local day it starts: a timed event's time ("hh:nn" or
// "hh:nn-hh:nn"), its summary, location and description as lines (a description that begins
// with the summary in the summary's place, the summary left out). A time with a zone is moved
// to local time with `utcOffset`; a floating time is local already. An all-day event that recurs
// every year becomes a yearly note; any other recurring event, its first occurrence. Events in
// calendars nested in the calendar count as its own. Control characters other than tab and line
// ends are left out of the text. `progress` reports from the reading thread and may stop it.
IcsImport ReadIcs(std::string_view bytes, const UtcOffsetAt& utcOffset, const IcsProgress& progress = {});

// The events read and kept: the notes of their first days.
int EventsRead(const IcsImport& read);

struct ImportOutcome
{
    int notes = 0;               // events written
    int replacedCharacters = 0;  // characters the notes file cannot hold, written as "?"
    int alreadyImported = 0;     // events an earlier import wrote as they are now: not written
    std::string memoryNotSaved;  // why the memory of this import could not be stored, in Polish
};

// Appends the notes of each day, in file order, to the note already on that day, each after a
// "----" line as multi-day notes do: one record a day, and one flush. Throws EInOutError as a save
// does; when the records would take the file past its size limit, before anything is added.
//
// With a `memory` of earlier imports, an event it holds unchanged is skipped (and counted); a
// changed one is written in place of its earlier text where that is still in the day's note as
// whole lines, and appended otherwise, its earlier text being taken out of days it no longer
// covers. `memory` is then updated with what was written, for the caller to store once the
// journal is flushed.
ImportOutcome AppendImportedNotes(NotesJournal& journal, const std::vector<ImportedNote>& notes, TDateTime now,
                                  ImportMemory* memory = nullptr);

// What the user is told after an import, in Polish, one sentence a line.
std::string ImportReport(const IcsImport& read, const ImportOutcome& outcome);

// The number with the noun's form Polish puts after it: 1 wydarzenie, 2 wydarzenia, 5 wydarzeń,
// 22 wydarzenia, 112 wydarzeń.
std::string PolishCount(int n, const char* one, const char* few, const char* many);

// More events than this are imported only after the user has said yes.
constexpr int kImportQuestionAbove = 100;
std::string ImportQuestion(int events);
