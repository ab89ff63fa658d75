// The notes journal: the "dnz.dat" record format, the records in memory with their index, and
// the journal bound to its file (open, append, flush, purge and pack).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calendar/datetime.h"
#include "platform/read_file.h"

class JournalFile;

// A record is held as key CR LF timestamp CR LF text, the text's lines joined by CR LF.
std::string_view RecordKey(std::string_view record);        // the first 10 characters
std::string_view RecordTimestamp(std::string_view record);  // empty without a second CR LF
std::string_view RecordText(std::string_view record);       // empty without a second CR LF

// A date key "yyyy.mm.dd" (year 0 to 9999) or a yearly key "    .mm.dd", of month 1 to 12 and
// day 1 to 31 (whether the month has that day is not asked); nullopt for any other key.
struct DayKeyParts
{
    int year = 0;  // 0 for a yearly key
    int month = 0;
    int day = 0;
    bool yearly = false;
};
std::optional<DayKeyParts> ParseDayKey(std::string_view key);

// Line ends of any kind become CR LF, and characters Windows-1250 cannot hold become "?", so
// that what the user sees before saving is exactly what the file will give back.
std::string MakeNoteTextStorable(std::string_view text);
// Every line that is exactly "****" becomes "*****", so that no text line ends a record.
std::string EscapeTerminatorLines(std::string_view text);

struct FoundNote
{
    std::string text;       // empty when there is no note
    std::string timestamp;  // "yyyy.mm.dd  hh:nn", empty when there is no note
};

// The records in file order, each in the form above, with an index from every key to its newest
// record, so that neither a lookup nor the marks of a month walk the whole journal.
class JournalRecords
{
public:
    JournalRecords() = default;
    // The sorted index points into the lookup index's nodes, which a move keeps and a copy would not.
    JournalRecords(JournalRecords&&) = default;
    JournalRecords& operator=(JournalRecords&&) = default;
    JournalRecords(const JournalRecords&) = delete;
    JournalRecords& operator=(const JournalRecords&) = delete;

    void Clear();
    void Append(std::string_view record);

    std::size_t Count() const { return m_spans.size(); }
    std::string_view Record(std::size_t i) const;
    std::string_view Text(std::size_t i) const;

    // The newest record with this key; both texts empty when there is none.
    FoundNote FindNote(std::string_view key) const;
    std::optional<std::string_view> NewestRecord(std::string_view key) const;
    // The keys of the days of one month that have a note: date keys "yyyy.mm.dd" of that year
    // and yearly keys "    .mm.dd", in byte order. The newest record of a key decides, so an
    // empty (deleted) newest record hides the older ones.
    std::vector<std::string> MarkedDayKeys(int year, int month) const;
    // The records a pack keeps, newest first: the newest of each key, when its text is not empty
    // and its key is not a date key below `cutoffKey` (yearly keys always stay).
    std::vector<std::size_t> LiveRecords(std::string_view cutoffKey) const;

    // Builds the records from the bytes of a journal file. Reading stops at the last "****"
    // line: what follows it is a record that was never finished.
    struct Parsed;
    static Parsed Parse(std::string_view fileBytes);
    // The same from bytes the records take over: the text is converted where it lies, so that a
    // big journal never sits in memory twice.
    static Parsed ParseInPlace(std::string&& fileBytes);

private:
    struct Span
    {
        std::uint64_t offset = 0;
        std::uint32_t length = 0;
        std::uint32_t textStart = 0;  // == length when the record has no text
    };
    void AppendKeysInRange(std::string_view lower, std::string_view upper, std::vector<std::string>& out) const;
    void Index(std::size_t i);
    // While reading: adds the record of `length` bytes at `offset` of the arena, `lines` lines long,
    // whose text starts `textStart` bytes in, and indexes it under `key`; false when it has no key
    // known yet and must be indexed once the arena is whole.
    bool AddReadRecord(std::size_t offset, std::size_t length, std::size_t lines, std::size_t textStart,
                       std::optional<std::string_view> key);

    struct KeyHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    void IndexKey(std::string_view key, std::size_t i);
    // A date key "yyyy.mm.dd" or yearly key "    .mm.dd", found without hashing: its entry of
    // m_newest and the newest record, kept here too, since a million records read in a row touch
    // these few compact blocks far faster than the map's scattered entries.
    struct DayEntry
    {
        std::size_t* newest = nullptr;  // the key's value in m_newest; null before its first record
        std::size_t latest = 0;
    };
    using DayBlock = std::array<DayEntry, 12 * 31>;
    static constexpr int kYearlyBlock = 10000;
    // Null for any other key.
    DayEntry* DayCell(std::string_view key);
    static void IndexDay(DayEntry& day, std::size_t i)
    {
        if (day.latest < i)
            day.latest = i;
    }
    // Writes the blocks' newest records into m_newest, after reading.
    void SyncDays();

    std::string m_arena;
    std::vector<Span> m_spans;
    // Key -> its newest record, and the same keys in byte order for the ranges of a month.
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> m_newest;
    std::map<std::string_view, const std::size_t*> m_sorted;
    // The entries of date and yearly keys by year (the yearly ones last), month and day.
    std::vector<std::unique_ptr<DayBlock>> m_days;
};

struct JournalRecords::Parsed
{
    JournalRecords records;
    // Lines after the last "****": a record cut short by a crash, or text added by hand. Held in
    // record form, as a "****" line after them would make it.
    std::optional<std::string> unfinished;
    // What the file's last line lacks of a CR LF, so that the next write starts a fresh line.
    std::string lineBreakNeeded;
};

// The bytes of a record as a save writes it: Windows-1250, its lines, "****", all ended by
// CR LF. An empty text gets no line end after the timestamp, so it reads back without one.
std::string RecordFileBytes(std::string_view record);
// The bytes that read back as exactly this record, for records that were read from a file.
std::string StoredRecordBytes(std::string_view record);

// A failed write of the notes file; what() is the message the user sees.
class EInOutError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum class NotesChange
{
    Saved,    // records were appended: the marked days may differ
    Rebuilt,  // the journal was packed: everything shown from it must be rebuilt
};

// The journal bound to its file. Appended records are written at the next Flush, all in one
// write after any earlier ones that could not be written, so the file always holds a prefix of
// the journal in memory and a failed write is retried rather than lost.
class NotesJournal
{
public:
    // `sizeLimit` is the largest file the program opens as its notes (kNotesLimit); no append may
    // make the file larger, or every note would be lost to the next start.
    explicit NotesJournal(JournalFile& file, std::uint64_t sizeLimit = kNotesLimit);
    NotesJournal(const NotesJournal&) = delete;
    NotesJournal& operator=(const NotesJournal&) = delete;
    ~NotesJournal();

    // Loads the file and keeps it open for appending; creates it when it is missing. Returns
    // the message to show when neither works; notes then stay disabled and the journal empty.
    std::optional<std::string> OpenNotes(const std::filesystem::path& path);
    bool NotesEnabled() const { return m_enabled; }
    // The file OpenNotes was given.
    const std::filesystem::path& NotesPath() const { return m_path; }

    FoundNote FindNote(std::string_view key) const { return m_records.FindNote(key); }
    std::vector<std::string> MarkedDayKeys(int year, int month) const { return m_records.MarkedDayKeys(year, month); }
    const JournalRecords& Records() const { return m_records; }

    // Adds a record stamped with `now` (local time, to the minute) to the journal in memory; Flush
    // writes it. The text is made storable and its "****" lines escaped here too, whatever the
    // caller did. Does nothing while notes are disabled. Throws EInOutError (TooLargeText), adding
    // nothing, when the file would grow past the size limit.
    void AppendRecord(std::string_view key, std::string_view text, TDateTime now);

    // The bytes the file will hold once everything appended so far is written.
    std::uint64_t FileSizeAfterWrite() const { return m_fileSize + m_writePrefix.size() + m_pendingBytes; }
    std::uint64_t SizeLimit() const { return m_sizeLimit; }
    // The bytes a record of this key and text adds to the file, as AppendRecord would write it.
    static std::uint64_t RecordSizeInFile(std::string_view key, std::string_view text, TDateTime now);
    // Throws EInOutError (TooLargeText) when `moreBytes` more would take the file past the limit.
    void CheckRoomFor(std::uint64_t moreBytes) const;
    // Why nothing was written, in Polish, with the size the file would have had and the limit.
    std::string TooLargeText(std::uint64_t wouldBe) const;
    // Writes the records not yet in the file and syncs them to the disk, then reports Saved
    // (also when writing failed: the records are in memory and shown). Throws EInOutError.
    void Flush();

    // Rewrites the file with only the live notes, dropping date notes before `cutoff` (0: keep
    // every date). First the journal as it stands, every record and those not yet written too,
    // goes to PackBackupPath(), replacing the copy of the previous pack, so that what a pack
    // drops can still be had back. The new file replaces the old one in one step; on failure (of
    // the copy or of the new file) the old file and the journal stay as they were and
    // EInOutError is thrown. Reports Rebuilt on success.
    void PurgeAndPackNotes(TDateTime cutoff);
    // The notes with text that a pack with `cutoff` drops for good: the date notes before it.
    std::size_t CountPurged(TDateTime cutoff) const;
    // "dnz.dat.bak" beside the notes file.
    std::filesystem::path PackBackupPath() const;

    // Writes what is still pending and closes the file; returns the message of a failed write.
    std::optional<std::string> Close();

    void SetOnChanged(std::function<void(NotesChange)> onChanged) { m_onChanged = std::move(onChanged); }

private:
    void WritePending();
    void WriteAndSync();
    [[noreturn]] void ThrowWriteError() const;
    void Notify(NotesChange change) const;

    JournalFile& m_file;
    std::uint64_t m_sizeLimit;
    std::filesystem::path m_path;
    bool m_enabled = false;
    JournalRecords m_records;
    std::size_t m_written = 0;         // records [0, m_written) are in the file
    std::uint64_t m_fileSize = 0;      // bytes of the file known to be whole
    std::uint64_t m_pendingBytes = 0;  // file bytes of the records [m_written, end)
    bool m_tornTail = false;           // a failed write may have left part of itself after m_fileSize
    std::string m_writePrefix;         // goes before the next write: a line break, a "****" line
    std::function<void(NotesChange)> m_onChanged;
};
