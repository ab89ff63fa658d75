// The notes journal: the "dnz.dat" record format, the records in memory with their index, and
// the journal bound to its file.
#include "calendar/notes_journal.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "text/cp1250.h"
#include "calendar/date_format.h"
#include "platform/journal_file.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kTerminator = "****";
constexpr std::size_t kKeyChars = 10;

std::string_view ByteSpan(std::string_view text, std::size_t from, std::size_t to)
{
    return text.substr(from, to - from);
}

// Calls `line` for every line of `text`, whatever ends it (CR LF, LF or a lone CR), and tells
// whether a line end followed it. memchr keeps a journal of a million records quick to read.
template <typename LineFn>
void ForEachLine(std::string_view text, LineFn line)
{
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    // The next LF at or after pos, kept between lines so that a file of lone CRs stays linear.
    std::size_t lfAt = std::string_view::npos;
    while (pos < size) {
        if (lfAt == std::string_view::npos || lfAt < pos) {
            const void* lf = std::memchr(data + pos, '\n', size - pos);
            lfAt = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
        }
        const void* cr = std::memchr(data + pos, '\r', lfAt - pos);
        std::size_t end = lfAt;
        std::size_t next = lfAt < size ? lfAt + 1 : size;
        if (cr) {
            end = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
            next = end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
        }
        line(ByteSpan(text, pos, end), next > end);
        pos = next;
    }
}

// UTF-8 of the bytes 0x80..0xFF, so that reading converts without a string per line.
struct HighBytesUtf8
{
    std::array<std::string, 128> utf8;
    HighBytesUtf8()
    {
        for (int b = 0; b < 128; ++b)
            utf8[b] = Cp1250ToUtf8(std::string(1, static_cast<char>(0x80 + b)));
    }
};

void AppendCp1250AsUtf8(std::string& out, std::string_view bytes)
{
    static const HighBytesUtf8 high;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t j = i;
        while (j < bytes.size() && static_cast<unsigned char>(bytes[j]) < 0x80)
            ++j;
        out.append(bytes.data() + i, j - i);
        if (j < bytes.size())
            out += high.utf8[static_cast<unsigned char>(bytes[j]) - 0x80];
        i = j + 1;
    }
}

std::string LineBreakAfter(std::string_view fileBytes)
{
    if (fileBytes.empty() || fileBytes.back() == '\n')
        return {};
    return fileBytes.back() == '\r' ? "\n" : "\r\n";
}

}  // namespace

std::string_view RecordKey(std::string_view record)
{
    std::size_t pos = 0;
    for (std::size_t n = 0; n < kKeyChars && pos < record.size(); ++n)
        NextCodePoint(record, pos);
    return record.substr(0, pos);
}

namespace {

// Where the timestamp line starts and ends; nullopt without a second CR LF.
std::optional<std::pair<std::size_t, std::size_t>> TimestampBounds(std::string_view record)
{
    const std::size_t first = record.find(kCrLf);
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = record.find(kCrLf, first + 2);
    if (second == std::string_view::npos)
        return std::nullopt;
    return std::pair(first + 2, second);
}

}  // namespace

std::string_view RecordTimestamp(std::string_view record)
{
    const auto bounds = TimestampBounds(record);
    return bounds ? ByteSpan(record, bounds->first, bounds->second) : std::string_view();
}

std::string_view RecordText(std::string_view record)
{
    const auto bounds = TimestampBounds(record);
    return bounds ? record.substr(bounds->second + 2) : std::string_view();
}

std::string MakeNoteTextStorable(std::string_view text)
{
    const std::string safe = MakeCp1250Safe(text);
    std::string out;
    out.reserve(safe.size());
    ForEachLine(safe, [&](std::string_view line, bool ended) {
        out += line;
        if (ended)
            out += kCrLf;
    });
    return out;
}

std::string EscapeTerminatorLines(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t end = std::min(text.find(kCrLf, pos), text.size());
        const std::string_view line = ByteSpan(text, pos, end);
        out += line == kTerminator ? "*****" : line;
        if (end == text.size())
            break;
        out += kCrLf;
        pos = end + 2;
    }
    return out;
}

namespace {

std::string RecordBytes(std::string_view record, bool lineEndBeforeTerminator)
{
    std::string out = Utf8ToCp1250(record);
    if (lineEndBeforeTerminator)
        out += kCrLf;
    out += kTerminator;
    out += kCrLf;
    return out;
}

}  // namespace

std::string RecordFileBytes(std::string_view record)
{
    return RecordBytes(record, !RecordText(record).empty());
}

std::string StoredRecordBytes(std::string_view record)
{
    // The reader cuts one line end before the terminator, except from an empty record.
    return RecordBytes(record, !record.empty());
}

void JournalRecords::Clear()
{
    m_arena.clear();
    m_spans.clear();
    m_sorted.clear();
    m_newest.clear();
}

void JournalRecords::Append(std::string_view record)
{
    Span span;
    span.offset = m_arena.size();
    m_arena += record;
    span.length = static_cast<std::uint32_t>(record.size());
    m_spans.push_back(span);
    Index(m_spans.size() - 1);
}

void JournalRecords::Index(std::size_t i)
{
    Span& span = m_spans[i];
    const std::string_view record = Record(i);
    const std::string_view text = RecordText(record);
    span.textStart = static_cast<std::uint32_t>(record.size() - text.size());
    const std::string_view key = RecordKey(record);
    const auto it = m_newest.find(key);
    if (it != m_newest.end()) {
        it->second = i;
        return;
    }
    const auto added = m_newest.emplace(std::string(key), i).first;
    m_sorted.emplace(added->first, &added->second);
}

std::string_view JournalRecords::Record(std::size_t i) const
{
    const Span& span = m_spans[i];
    return std::string_view(m_arena).substr(static_cast<std::size_t>(span.offset), span.length);
}

std::string_view JournalRecords::Text(std::size_t i) const
{
    return Record(i).substr(m_spans[i].textStart);
}

FoundNote JournalRecords::FindNote(std::string_view key) const
{
    const auto it = m_newest.find(key);
    if (it == m_newest.end())
        return {};
    const std::string_view record = Record(it->second);
    return FoundNote{std::string(Text(it->second)), std::string(RecordTimestamp(record))};
}

std::optional<std::string_view> JournalRecords::NewestRecord(std::string_view key) const
{
    const auto it = m_newest.find(key);
    if (it == m_newest.end())
        return std::nullopt;
    return Record(it->second);
}

void JournalRecords::AppendKeysInRange(std::string_view lower, std::string_view upper,
                                       std::vector<std::string>& out) const
{
    for (auto it = m_sorted.lower_bound(lower); it != m_sorted.end() && it->first <= upper; ++it) {
        if (!Text(*it->second).empty())
            out.emplace_back(it->first);
    }
}

std::vector<std::string> JournalRecords::MarkedDayKeys(int year, int month) const
{
    std::vector<std::string> out;
    AppendKeysInRange(DateKey(year, month, 1), DateKey(year, month, 31), out);
    AppendKeysInRange(YearlyKey(month, 1), YearlyKey(month, 31), out);
    return out;
}

std::vector<std::size_t> JournalRecords::LiveRecords(std::string_view cutoffKey) const
{
    std::vector<std::size_t> out;
    for (const auto& [key, newest] : m_newest) {
        if (key < cutoffKey && !key.starts_with("    "))
            continue;
        if (!Text(newest).empty())
            out.push_back(newest);
    }
    std::sort(out.begin(), out.end(), std::greater<>());
    return out;
}

JournalRecords::Parsed JournalRecords::Parse(std::string_view fileBytes)
{
    Parsed parsed;
    JournalRecords& records = parsed.records;
    std::string& arena = records.m_arena;
    // Room for the letters that take two bytes in UTF-8, so the arena is rarely moved.
    arena.reserve(fileBytes.size() + fileBytes.size() / 8);
    std::size_t recordStart = 0;
    ForEachLine(fileBytes, [&](std::string_view line, bool) {
        if (line != kTerminator) {
            AppendCp1250AsUtf8(arena, line);
            arena += kCrLf;
            return;
        }
        // The line break after the last text line separates it from the terminator; an empty
        // accumulator and a lone empty line stay as they are.
        if (arena.size() - recordStart > 2)
            arena.resize(arena.size() - 2);
        Span span;
        span.offset = recordStart;
        span.length = static_cast<std::uint32_t>(arena.size() - recordStart);
        records.m_spans.push_back(span);
        records.Index(records.m_spans.size() - 1);
        recordStart = arena.size();
    });
    if (arena.size() > recordStart) {
        std::string unfinished = arena.substr(recordStart);
        if (unfinished.size() > 2)
            unfinished.resize(unfinished.size() - 2);
        parsed.unfinished = std::move(unfinished);
        arena.resize(recordStart);
    }
    parsed.lineBreakNeeded = LineBreakAfter(fileBytes);
    return parsed;
}

NotesJournal::NotesJournal(JournalFile& file) : m_file(file)
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
    m_tornTail = false;
    m_writePrefix.clear();

    std::string bytes;
    const JournalFile::OpenStatus status = m_file.OpenAndRead(path, bytes);
    if (status != JournalFile::OpenStatus::Ok) {
        m_file.Close();
        std::string message = "Nie powiodło się otwarcie ani utworzenie pliku:\r\n" + path.string()
                              + "\r\nSporządzanie notatek jest niemożliwe.";
        // Otherwise the user would look for a fault in the file while it is only in use.
        if (status == JournalFile::OpenStatus::HeldByAnother)
            message += "\r\nPlik jest używany przez inną uruchomioną kopię programu.";
        else if (status == JournalFile::OpenStatus::TooLarge)
            message += "\r\nPlik jest za duży (ponad 1 GB), by mógł być plikiem notatek.";
        return message;
    }
    JournalRecords::Parsed parsed = JournalRecords::Parse(bytes);
    m_records = std::move(parsed.records);
    m_fileSize = bytes.size();
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

void NotesJournal::AppendRecord(std::string_view key, std::string_view text, TDateTime now)
{
    if (!m_enabled)
        return;
    std::string record(key);
    record += kCrLf;
    record += FormatDateTime("yyyy.mm.dd  hh:nn", now);
    record += kCrLf;
    record += EscapeTerminatorLines(MakeNoteTextStorable(text));
    m_records.Append(record);
}

void NotesJournal::ThrowWriteError() const
{
    throw EInOutError("Nie powiódł się zapis do pliku notatek:\r\n" + m_path.string() + "\r\n" + m_file.LastError());
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
}

void NotesJournal::WriteAndSync()
{
    const std::uint64_t fileSizeBefore = m_fileSize;
    const std::size_t writtenBefore = m_written;
    const std::string prefixBefore = m_writePrefix;
    WritePending();
    if (m_file.Sync())
        return;
    // After a failed sync the system may already have dropped the pages, and a second sync can
    // then report success for bytes that never reached the disk. So the records count as not
    // written: the next write cuts the file back and writes them again.
    m_fileSize = fileSizeBefore;
    m_written = writtenBefore;
    m_writePrefix = prefixBefore;
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

void NotesJournal::PurgeAndPackNotes(TDateTime cutoff)
{
    if (!m_enabled)
        return;
    const std::string cutoffKey = cutoff == 0 ? std::string(10, ' ') : DateKey(cutoff);
    std::string bytes;
    for (const std::size_t i : m_records.LiveRecords(cutoffKey))
        bytes += StoredRecordBytes(m_records.Record(i));
    if (!m_file.Replace(bytes))
        ThrowWriteError();
    JournalRecords::Parsed parsed = JournalRecords::Parse(bytes);
    m_records = std::move(parsed.records);
    m_written = m_records.Count();
    m_fileSize = bytes.size();
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
            return "Nie powiódł się zapis do pliku notatek:\r\n" + m_path.string() + "\r\n" + m_file.LastError();
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
