// Search in the notes: the live notes whose text holds every word of a query, without regard to
// letter case and, when asked, to the marks of Polish letters. The time a search takes grows with
// the notes' length alone, whatever the query.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "calendar/datetime.h"
#include "calendar/notes_journal.h"

// Lower case, and with `ignoreDiacritics` the letters without their marks ("Żółw" -> "zolw"), for
// the Latin letters the notes file can hold; every other character stays as it is.
std::string FoldForSearch(std::string_view text, bool ignoreDiacritics);

// The most of a query a search looks at: the words past the 32nd and the characters past the
// 256th are ignored, so that a pasted page costs no more than a line.
inline constexpr std::size_t kMaxQueryWords = 32;
inline constexpr std::size_t kMaxQueryCharacters = 256;

struct NotesQuery
{
    std::vector<std::string> words;  // as typed, not folded; at most kMaxQueryWords
    bool capped = false;             // part of the query was ignored
};

// The words of a query (split at spaces, tabs and line ends) within the caps above.
NotesQuery ParseNotesQuery(std::string_view query);

// Which of a set of up to 32 words occur in a text, found in one pass over the text whatever the
// words (Aho–Corasick, as a full table over bytes).
class WordSet
{
public:
    explicit WordSet(const std::vector<std::string>& words);
    // The same words, read from a text whose bytes are first put into classes: a text byte b
    // reads as byteClass[b], so that the words, written in classes, are found whatever byte of
    // a class the text holds. Each class's byte must be in its own class.
    WordSet(const std::vector<std::string>& words, const std::array<std::uint8_t, 256>& byteClass);
    bool Empty() const { return m_all == 0; }
    bool AllIn(std::string_view text) const;
    bool AnyIn(std::string_view text) const;

private:
    // Reads `text` through the table, handing `enough` the words that end at each byte where any
    // ends, until it says that is enough.
    template <typename Enough>
    void Run(std::string_view text, Enough enough) const;

    std::vector<std::uint16_t> m_next;  // the state after a byte: m_next[state * 256 + byte]
    std::vector<std::uint32_t> m_ends;  // the words that end at a state, by bit
    std::uint32_t m_all = 0;
    int m_firstByte = -1;  // the one byte every word begins with, or -1
};

struct NoteSearchHit
{
    std::string key;   // "yyyy.mm.dd", or "    .mm.dd" for a yearly note
    std::string line;  // the note's first line that holds one of the words
};

// The live notes of a journal copied out of it, for a search on another thread: a save or a
// pack moves the journal's records, never these.
class NotesCopy
{
public:
    explicit NotesCopy(const JournalRecords& records);
    std::size_t Count() const { return m_notes.size(); }
    std::string_view Key(std::size_t i) const;
    std::string_view Text(std::size_t i) const;

private:
    struct Note
    {
        std::size_t offset = 0;  // of the key, the text following it
        std::uint32_t keyLength = 0;
        std::uint32_t textLength = 0;
    };
    std::string m_bytes;
    std::vector<Note> m_notes;
};

// A search that runs in slices, so that it can be dropped between two of them when the query
// changes. The records must not change while it runs: a search started before a save or a pack
// is started again.
class NoteSearch
{
public:
    NoteSearch(const JournalRecords& records, std::string_view query, bool ignoreDiacritics);
    // With the live notes already found (JournalRecords::LiveRecords with no cutoff): a journal of
    // a million different days takes longer to list than to search.
    NoteSearch(const JournalRecords& records, std::vector<std::size_t> live, std::string_view query,
               bool ignoreDiacritics);
    // Over a copy of the live notes.
    NoteSearch(const NotesCopy& notes, std::string_view query, bool ignoreDiacritics);

    // Looks at up to `budget` more notes; true once every note has been looked at.
    bool Step(std::size_t budget);
    bool Done() const { return m_next >= m_count; }
    // Whether part of the query was ignored (ParseNotesQuery).
    bool QueryCapped() const { return m_capped; }
    // The hits once Done(): dated notes newest first, then the yearly notes from January on.
    std::vector<NoteSearchHit> TakeHits();

private:
    NoteSearch(const JournalRecords* records, const NotesCopy* copy, std::string_view query, bool ignoreDiacritics);
    std::string MatchingLine(std::string_view text);

    const JournalRecords* m_records = nullptr;
    const NotesCopy* m_copy = nullptr;
    bool m_ignoreDiacritics;
    bool m_capped = false;
    WordSet m_words;  // folded; no words finds nothing
    std::vector<std::size_t> m_live;
    std::size_t m_count = 0;
    std::size_t m_next = 0;
    std::string m_folded;  // reused for every note
    std::vector<NoteSearchHit> m_hits;
};

// The whole search at once.
std::vector<NoteSearchHit> SearchNotes(const JournalRecords& records, std::string_view query, bool ignoreDiacritics);

// SearchNotes straight over the bytes of a journal file, for the command line: the same hits in
// the same order as over the records those bytes read as (JournalRecords::Parse), found without
// building them. Only the newest record of each key is looked at, its Windows-1250 bytes matched
// through a table that folds them as FoldForSearch folds their letters.
std::vector<NoteSearchHit> SearchJournalFile(std::string_view fileBytes, std::string_view query, bool ignoreDiacritics);

// The order of a search's hits: dated notes newest first, then the yearly notes from January on.
void SortSearchHits(std::vector<NoteSearchHit>& hits);

// "yyyy.mm.dd: line", or "    .mm.dd: line" for a yearly note.
std::string FormatSearchHit(const NoteSearchHit& hit);

// The search of a window, run on a thread of its own while the user types: a new query drops the
// search that runs, and the copy of the live notes is kept until the journal changes (any save
// or pack changes its count of records; the copy is made again then, and the search starts over).
// Every call but the worker's own comes from one thread, the window's.
class NotesSearchSession
{
public:
    explicit NotesSearchSession(const JournalRecords& records);
    // Drops the search that runs and waits for the worker to end.
    ~NotesSearchSession();
    NotesSearchSession(const NotesSearchSession&) = delete;
    NotesSearchSession& operator=(const NotesSearchSession&) = delete;

    void Start(std::string query, bool ignoreDiacritics);
    // Drops the search that runs, if any; Hits() stay those of the last search that ended.
    void Cancel();
    // True when the hits of the last search started are in Hits(); also true when no search was
    // started or it was cancelled. Starts the search again when the journal changed meanwhile.
    bool Poll();
    // Polls until the search ends; for the tests and whoever has nothing else to do.
    void Wait();
    // The hits of the last search that ran to its end, in NoteSearch's order.
    const std::vector<NoteSearchHit>& Hits() const { return m_hits; }
    // Whether part of the last query started was ignored (ParseNotesQuery).
    bool QueryCapped() const { return m_capped; }

private:
    struct Job
    {
        std::uint64_t generation = 0;
        std::shared_ptr<const NotesCopy> notes;
        std::string query;
        bool ignoreDiacritics = false;
    };
    void Work();

    const JournalRecords& m_records;
    std::string m_query;
    bool m_ignoreDiacritics = false;
    bool m_capped = false;
    bool m_running = false;
    std::optional<std::size_t> m_copiedCount;  // the journal's count when m_notes was made
    std::shared_ptr<const NotesCopy> m_notes;
    std::vector<NoteSearchHit> m_hits;

    // The latest search asked for; the worker drops a search as soon as this moves on.
    std::atomic<std::uint64_t> m_generation{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_job;  // waiting for the worker
    bool m_stop = false;       // the worker ends
    std::uint64_t m_doneGeneration = 0;
    std::vector<NoteSearchHit> m_doneHits;
    std::thread m_worker;  // last: started once everything it uses is there
};

// The day a hit stands for: its date, or for a yearly note its month and day in `year` (29
// February in the next leap year from it). Nothing for a key that names no day.
std::optional<TDateTime> DateOfHit(std::string_view key, int year);
