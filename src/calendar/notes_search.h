// Search in the notes: the live notes whose text holds every word of a query, without regard to
// letter case and, when asked, to the marks of Polish letters.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/datetime.h"
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

// The search of a window, run in slices between the keys the user types: a new query drops the
// search that runs, and the list of live notes is kept until the journal changes (any save or
// pack changes its count of records; the list is made again then, and the search starts over).
class NotesSearchSession
{
public:
    explicit NotesSearchSession(const JournalRecords& records) : m_records(records) {}

    void Start(std::string query, bool ignoreDiacritics);
    // Runs up to `budget` notes of the search; true when its hits are complete. Also true when no
    // search was started.
    bool Step(std::size_t budget);
    // The hits of the last search that ran to its end, in NoteSearch's order.
    const std::vector<NoteSearchHit>& Hits() const { return m_hits; }

private:
    const JournalRecords& m_records;
    std::string m_query;
    bool m_ignoreDiacritics = false;
    std::optional<std::size_t> m_listedCount;  // the journal's count when m_live was made
    std::vector<std::size_t> m_live;
    std::optional<NoteSearch> m_search;
    std::vector<NoteSearchHit> m_hits;
};

// The day a hit stands for: its date, or for a yearly note its month and day in `year` (29
// February in the next leap year from it). Nothing for a key that names no day.
std::optional<TDateTime> DateOfHit(std::string_view key, int year);
