// The notes journal bound to its file: opening, appending, syncing, packing and closing.
#include "calendar/notes_journal.h"

#include <algorithm>
#include <string_view>

#include "calendar/date_format.h"
#include "platform/journal_file.h"
#include "platform/path_text.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kTerminator = "****";

}  // namespace

NotesJournal::NotesJournal(JournalFile& file, std::uint64_t sizeLimit) : m_file(file), m_sizeLimit(sizeLimit)
{
}

NotesJournal::~NotesJournal()
{
    // Nothing is left to show an error to; what could not be written was reported when it failed.
    (void)Close();
}

std::optional<std::string> NotesJournal::OpenNotes(const std::filesystem::path& path)
{
    m_file.Close();
    m_enabled = false;
    m_records.Clear();
    m_path = path;
    m_written = 0;
    m_fileSize = 0;
    m_pendingBytes = 0;
    m_tornTail = false;
    m_writePrefix.clear();

    std::string bytes;
    const JournalFile::OpenStatus status = m_file.OpenAndRead(path, bytes);
    if (status != JournalFile::OpenStatus::Ok) {
        m_file.Close();
        std::string message = "Nie powiodło się otwarcie ani utworzenie pliku:\r\n" + PathToUtf8(path)
                              + "\r\nSporządzanie notatek jest niemożliwe.";
        // Otherwise the user would look for a fault in the file while it is only in use.
        if (status == JournalFile::OpenStatus::HeldByAnother)
            message += "\r\nPlik jest używany przez inną uruchomioną kopię programu.";
        else if (status == JournalFile::OpenStatus::TooLarge)
            message += "\r\nPlik jest za duży (ponad 1 GB), by mógł być plikiem notatek.";
        return message;
    }
    m_fileSize = bytes.size();
    JournalRecords::Parsed parsed = JournalRecords::ParseInPlace(std::move(bytes));
    m_records = std::move(parsed.records);
    m_writePrefix = parsed.lineBreakNeeded;
    if (parsed.unfinished) {
        // An unfinished record at the end would swallow the next one appended. Closing it with
        // "****" keeps its bytes; restating the newest whole record of its key right after it
        // (or the bare key, a deletion, when there was none) keeps what had been saved. A key
        // with a line break in it is no date's key, and as a bare record it could even end in
        // "****"; it is left as the cut-short record made it.
        const std::string key(RecordKey(*parsed.unfinished));
        const std::optional<std::string_view> previous = m_records.NewestRecord(key);
        m_writePrefix += kTerminator;
        m_writePrefix += kCrLf;
        m_records.Append(*parsed.unfinished);
        if (previous || key.find_first_of("\r\n") == std::string::npos) {
            const std::string restate(previous.value_or(key));
            m_writePrefix += StoredRecordBytes(restate);
            m_records.Append(restate);
        }
    }
    // The repair, if any, goes before every later record, so both count as written.
    m_written = m_records.Count();
    m_enabled = true;
    return std::nullopt;
}

namespace {

std::string MakeRecord(std::string_view key, std::string_view text, TDateTime now)
{
    std::string record(key);
    record += kCrLf;
    record += FormatDateTime("yyyy.mm.dd  hh:nn", now);
    record += kCrLf;
    record += EscapeTerminatorLines(MakeNoteTextStorable(text));
    return record;
}

// Whole megabytes, rounded up, so that a file just past the limit never reads as within it.
std::string Megabytes(std::uint64_t bytes)
{
    constexpr std::uint64_t kMB = 1024 * 1024;
    return std::to_string((bytes + kMB - 1) / kMB) + " MB";
}

}  // namespace

void NotesJournal::AppendRecord(std::string_view key, std::string_view text, TDateTime now)
{
    if (!m_enabled)
        return;
    const std::string record = MakeRecord(key, text, now);
    const std::uint64_t bytes = RecordFileBytes(record).size();
    CheckRoomFor(bytes);
    m_records.Append(record);
    m_pendingBytes += bytes;
}

std::uint64_t NotesJournal::RecordSizeInFile(std::string_view key, std::string_view text, TDateTime now)
{
    return RecordFileBytes(MakeRecord(key, text, now)).size();
}

void NotesJournal::CheckRoomFor(std::uint64_t moreBytes) const
{
    const std::uint64_t wouldBe = FileSizeAfterWrite() + moreBytes;
    if (wouldBe > m_sizeLimit)
        throw EInOutError(TooLargeText(wouldBe));
}

std::string NotesJournal::TooLargeText(std::uint64_t wouldBe) const
{
    // The program refuses to open a file past the limit: writing it would lose every note.
    return "Nic nie zapisano: plik notatek urósłby do " + Megabytes(wouldBe) + ", a może mieć najwyżej "
           + Megabytes(m_sizeLimit) + ".\r\nPo zapisie nie dałoby się go otworzyć.";
}

void NotesJournal::ThrowWriteError() const
{
    throw EInOutError("Nie powiódł się zapis do pliku notatek:\r\n" + PathToUtf8(m_path) + "\r\n" + m_file.LastError());
}

void NotesJournal::WritePending()
{
    if (m_written == m_records.Count() && m_writePrefix.empty())
        return;
    if (m_tornTail) {
        if (!m_file.Truncate(m_fileSize))
            ThrowWriteError();
        m_tornTail = false;
    }
    std::string bytes = m_writePrefix;
    for (std::size_t i = m_written; i < m_records.Count(); ++i)
        bytes += RecordFileBytes(m_records.Record(i));
    if (!m_file.Append(bytes)) {
        m_tornTail = true;
        ThrowWriteError();
    }
    m_fileSize += bytes.size();
    m_writePrefix.clear();
    m_written = m_records.Count();
    m_pendingBytes = 0;
}

void NotesJournal::WriteAndSync()
{
    const std::uint64_t fileSizeBefore = m_fileSize;
    const std::size_t writtenBefore = m_written;
    const std::string prefixBefore = m_writePrefix;
    const std::uint64_t pendingBefore = m_pendingBytes;
    WritePending();
    if (m_file.Sync())
        return;
    // After a failed sync the system may already have dropped the pages, and a second sync can
    // then report success for bytes that never reached the disk. So the records count as not
    // written: the next write cuts the file back and writes them again.
    m_fileSize = fileSizeBefore;
    m_written = writtenBefore;
    m_writePrefix = prefixBefore;
    m_pendingBytes = pendingBefore;
    m_tornTail = true;
    ThrowWriteError();
}

void NotesJournal::Flush()
{
    if (!m_enabled)
        return;
    try {
        WriteAndSync();
    } catch (const EInOutError&) {
        Notify(NotesChange::Saved);
        throw;
    }
    Notify(NotesChange::Saved);
}

namespace {

std::string CutoffKey(TDateTime cutoff)
{
    return cutoff == 0 ? std::string(10, ' ') : DateKey(cutoff);
}

}  // namespace

std::size_t NotesJournal::CountPurged(TDateTime cutoff) const
{
    return m_records.LiveRecords(CutoffKey(0)).size() - m_records.LiveRecords(CutoffKey(cutoff)).size();
}

std::filesystem::path NotesJournal::PackBackupPath() const
{
    std::filesystem::path backup = m_path;
    backup += ".bak";
    return backup;
}

void NotesJournal::PurgeAndPackNotes(TDateTime cutoff)
{
    if (!m_enabled)
        return;
    // The copy holds what the file holds once the records still pending are written, so that a
    // pack never takes away what the user saw before it.
    std::string before;
    for (std::size_t i = 0; i < m_records.Count(); ++i)
        before += StoredRecordBytes(m_records.Record(i));
    const std::filesystem::path backup = PackBackupPath();
    if (!m_file.WriteCopy(backup, before))
        throw EInOutError("Nie powiódł się zapis kopii pliku notatek:\r\n" + PathToUtf8(backup) + "\r\n"
                          + m_file.LastError());
    const std::string cutoffKey = CutoffKey(cutoff);
    std::string bytes;
    for (const std::size_t i : m_records.LiveRecords(cutoffKey))
        bytes += StoredRecordBytes(m_records.Record(i));
    if (!m_file.Replace(bytes))
        ThrowWriteError();
    m_fileSize = bytes.size();
    JournalRecords::Parsed parsed = JournalRecords::ParseInPlace(std::move(bytes));
    m_records = std::move(parsed.records);
    m_written = m_records.Count();
    m_pendingBytes = 0;
    m_tornTail = false;
    m_writePrefix.clear();
    Notify(NotesChange::Rebuilt);
}

std::optional<std::string> NotesJournal::Close()
{
    if (!m_file.IsOpen()) {
        // Records saved while the file was lost (a failed reopen) must not vanish without a word.
        if (m_enabled && m_written < m_records.Count()) {
            m_enabled = false;
            return "Nie powiódł się zapis do pliku notatek:\r\n" + PathToUtf8(m_path) + "\r\n" + m_file.LastError();
        }
        m_enabled = false;
        return std::nullopt;
    }
    std::optional<std::string> error;
    try {
        WriteAndSync();
    } catch (const EInOutError& e) {
        error = e.what();
    }
    m_file.Close();
    m_enabled = false;
    return error;
}

void NotesJournal::Notify(NotesChange change) const
{
    if (m_onChanged)
        m_onChanged(change);
}
