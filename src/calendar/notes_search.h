// Search in the notes: the live notes whose text holds every word of a query, without regard to
// letter case and, when asked, to the marks of Polish letters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/notes_journal.h"

// Lower case, and with `ignoreDiacritics` the letters without their marks ("Żółw" -> "zolw"), for
// the Latin letters the notes file can hold; every other character stays as it is.
std::string FoldForSearch(std::string_view text, bool ignoreDiacritics);

struct NoteSearchHit
{
    std::string key;   // "yyyy.mm.dd", or "    .mm.dd" for a yearly note
    std::string line;  // the note's first line that holds one of the words
};

// A search that runs in slices, so that a window stays responsive while it runs and can drop it
// when the query changes. The records must not change while it runs: a search started before a
// save or a pack is started again.
class NoteSearch
{
public:
    NoteSearch(const JournalRecords& records, std::string_view query, bool ignoreDiacritics);
    // With the live notes already found (JournalRecords::LiveRecords with no cutoff): a journal of
    // a million different days takes longer to list than to search, so a window lists them once
    // for every change of the notes rather than once for every key typed.
    NoteSearch(const JournalRecords& records, std::vector<std::size_t> live, std::string_view query,
               bool ignoreDiacritics);

    // Looks at up to `budget` more notes; true once every note has been looked at.
    bool Step(std::size_t budget);
    bool Done() const { return m_next >= m_live.size(); }
    // The hits once Done(): dated notes newest first, then the yearly notes from January on.
    std::vector<NoteSearchHit> TakeHits();

private:
    bool Matches(std::string_view text);
    std::string MatchingLine(std::string_view text) const;

    const JournalRecords& m_records;
    bool m_ignoreDiacritics;
    std::vector<std::string> m_words;  // folded; no words finds nothing
    std::vector<std::size_t> m_live;
    std::size_t m_next = 0;
    std::string m_folded;  // reused for every note
    std::vector<NoteSearchHit> m_hits;
};

// The whole search at once, for the command line.
std::vector<NoteSearchHit> SearchNotes(const JournalRecords& records, std::string_view query, bool ignoreDiacritics);

// "yyyy.mm.dd: line", or "    .mm.dd: line" for a yearly note.
std::string FormatSearchHit(const NoteSearchHit& hit);
