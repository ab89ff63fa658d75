// Searching the notes from the command line.
#include "app/search_command.h"

#include "calendar/notes_search.h"

int RunSearchCommand(std::string_view notesFile, std::string_view text, bool ignoreDiacritics, std::ostream& out,
                     std::ostream& err)
{
    if (ParseNotesQuery(text).capped)
        err << "dniarz: szukam tylko pierwszych " << kMaxQueryWords << " słów i " << kMaxQueryCharacters
            << " znaków zapytania\n";
    // The file is searched as it lies: no records are built for a search.
    const std::vector<NoteSearchHit> hits = SearchJournalFile(notesFile, text, ignoreDiacritics);
    for (const NoteSearchHit& hit : hits)
        out << FormatSearchHit(hit) << '\n';
    out.flush();
    return hits.empty() ? 1 : 0;
}
