// Searching the notes from the command line.
#pragma once

#include <ostream>
#include <string_view>

#include "calendar/notes_journal.h"

// Prints one "key: line" line per matching note of the journal file `notesFile` (its bytes as
// read), newest first, and on `err` a note when part of the query was ignored (ParseNotesQuery).
// Returns the exit code: 0 with matches, 1 without.
int RunSearchCommand(std::string_view notesFile, std::string_view text, bool ignoreDiacritics, std::ostream& out,
                     std::ostream& err);
