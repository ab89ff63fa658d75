// --export-ics and --import-ics: the iCalendar files of the command line.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "ics/ics_export.h"
#include "ics/ics_import.h"
#include "platform/file_store.h"

// Writes the calendar in one step (the old file stays whole when that fails). Exit code 0, or 1
// when the file could not be written, 2 for a range the export refuses and for a target that is no
// regular file or lies in a folder that is not there (nothing is written or made then).
int RunExportIcsCommand(const JournalRecords& notes, const NameDayTable& table, const IcsExportOptions& options,
                        const std::filesystem::path& file, FileStore& files, std::chrono::system_clock::time_point now,
                        int currentYear, std::ostream& out, std::ostream& err);

// Writes the notes of `read` into the open journal as AppendImportedNotes does, with the memory of
// earlier imports kept beside the notes file (ImportMemoryPath): events imported before and
// unchanged are skipped. The memory is stored only once the notes are; a memory that is missing
// or damaged is nothing remembered, one that cannot be stored is told in the outcome. Throws
// EInOutError as AppendImportedNotes does, the memory then left as it was.
ImportOutcome ImportRemembering(NotesJournal& journal, FileStore& files, const IcsImport& read, TDateTime now);

struct ImportIcsCommand
{
    std::filesystem::path file;
    std::filesystem::path notesPath;
    bool assumeYes = false;
    // Asked before more than kImportQuestionAbove events; true imports them.
    std::function<bool(const std::string& question)> confirm;
    UtcOffsetAt utcOffset;
    TDateTime now = 0;  // local time, the stamp of the records written
};

// Exit code 0 once the notes are written; 2 when the file cannot be read or is no calendar, or the
// notes file cannot be opened, nothing being written then; 1 when the user said no or a write
// failed.
int RunImportIcsCommand(const ImportIcsCommand& command, FileStore& files, NotesJournal& journal, std::ostream& out,
                        std::ostream& err);
