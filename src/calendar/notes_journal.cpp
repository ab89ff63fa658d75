// The notes journal: the "dnz.dat" record format and the records in memory with their index.
// The journal bound to its file is notes_journal_file.cpp.
#include "calendar/notes_journal.h"

#include <algorithm>
#include <array>
#include <bit>
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

// The first CR or LF at or after `pos`, or `size`. Eight bytes at a time: a journal of a million
// records has three million lines, most of them short.
std::size_t LineEndAt(const char* data, std::size_t pos, std::size_t size)
{
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        constexpr std::uint64_t kHigh = 0x8080808080808080u;
        for (; pos + 8 <= size; pos += 8) {
            std::uint64_t word;
            std::memcpy(&word, data + pos, 8);
            const std::uint64_t cr = word ^ (kOnes * '\r');
            const std::uint64_t lf = word ^ (kOnes * '\n');
            // The lowest byte flagged is the first zero byte of cr or lf: a borrow can only flag
            // bytes above a true one.
            const std::uint64_t found = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHigh;
            if (found)
                return pos + static_cast<std::size_t>(std::countr_zero(found) / 8);
        }
    }
    for (; pos < size; ++pos)
        if (data[pos] == '\r' || data[pos] == '\n')
            return pos;
    return size;
}

// Calls `line` for every line of `text`, whatever ends it (CR LF, LF or a lone CR), and tells
// whether a line end followed it and where the next line starts.
template <typename LineFn>
void ForEachLine(std::string_view text, LineFn line)
{
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t end = LineEndAt(data, pos, size);
        std::size_t next = end;
        if (end < size)
            next = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
        line(ByteSpan(text, pos, end), next > end, next);
        pos = next;
    }
}

// UTF-8 of the bytes 0x80..0xFF, so that reading converts without a string per line.
struct HighBytesUtf8
{
    struct Letter
    {
        std::uint8_t size = 0;
        char bytes[4] = {};
    };
    std::array<Letter, 128> utf8;
    HighBytesUtf8()
    {
        for (std::size_t b = 0; b < utf8.size(); ++b) {
            const std::string letter = Cp1250ToUtf8(std::string(1, static_cast<char>(0x80 + b)));
            utf8[b].size = static_cast<std::uint8_t>(std::min(letter.size(), sizeof utf8[b].bytes));
            std::memcpy(utf8[b].bytes, letter.data(), utf8[b].size);
        }
    }
};

// Sets `out` to the UTF-8 of `bytes` followed by `tail`.
void Cp1250AsUtf8(std::string& out, std::string_view bytes, std::string_view tail)
{
    static const HighBytesUtf8 high;
    out.resize(bytes.size() * 4 + tail.size());
    char* o = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            *o++ = c;
        } else {
            const HighBytesUtf8::Letter& letter = high.utf8[b - 0x80];
            std::memcpy(o, letter.bytes, sizeof letter.bytes);
            o += letter.size;
        }
    }
    std::memcpy(o, tail.data(), tail.size());
    out.resize(static_cast<std::size_t>(o - out.data()) + tail.size());
}

bool HasHighBytes(std::string_view bytes)
{
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080u)
            return true;
    }
    for (; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return true;
    return false;
}

// The lines that are exactly "****", counted ahead so that the records' spans are allocated once.
std::size_t CountTerminatorLines(std::string_view bytes)
{
    std::size_t count = 0;
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* p = begin;
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, '*', static_cast<std::size_t>(end - p)));
        if (!p)
            break;
        const bool lineStart = p == begin || p[-1] == '\n' || p[-1] == '\r';
        if (lineStart && end - p >= 4 && std::memcmp(p, "****", 4) == 0
            && (end - p == 4 || p[4] == '\r' || p[4] == '\n')) {
            ++count;
            p += 4;
        } else {
            ++p;
        }
    }
    return count;
}

// Writes the arena over the file's bytes it is made from, so that a big journal is never held
// twice. What is written must not pass what has been read: bytes that would are held back and go
// in as soon as reading has made room. The terminator lines and the line end before each give more
// room than the Polish letters (two or three bytes in UTF-8 for one in the file) take, so little
// is ever held back; a file where the letters win ends with the held-back bytes appended.
class ArenaWriter
{
public:
    explicit ArenaWriter(std::string& buffer) : m_buffer(buffer) {}

    // The buffer's own bytes [from, from + size), all before `readTo`. Runs of them that follow
    // each other (the lines of a record with their CR LF) are moved in one piece.
    void EmitRead(std::size_t from, std::size_t size, std::size_t readTo)
    {
        if (Held() == 0) {
            if (m_runSize == 0 || m_runFrom + m_runSize != from) {
                MoveRun();
                m_runFrom = from;
            }
            m_runSize += size;
            return;
        }
        Emit(std::string_view(m_buffer.data() + from, size), readTo);
    }
    // Bytes from elsewhere; everything before `readTo` has been read.
    void Emit(std::string_view bytes, std::size_t readTo)
    {
        MoveRun();
        if (Held() == 0 && m_written + bytes.size() <= readTo) {
            std::memcpy(m_buffer.data() + m_written, bytes.data(), bytes.size());
            m_written += bytes.size();
            return;
        }
        m_held.append(bytes);
        Drain(readTo);
    }
    // Takes back the last `n` bytes emitted.
    void CutBack(std::size_t n)
    {
        if (m_runSize >= n) {
            m_runSize -= n;
            return;
        }
        MoveRun();
        const std::size_t fromHeld = std::min(n, Held());
        m_held.resize(m_held.size() - fromHeld);
        m_written -= n - fromHeld;
    }
    std::size_t Size() const { return m_written + Held() + m_runSize; }
    // Everything has been read: the buffer becomes the arena.
    void Finish()
    {
        MoveRun();
        Drain(m_buffer.size());
        m_buffer.resize(m_written);
        m_buffer.append(m_held, m_heldFrom);
    }

private:
    std::size_t Held() const { return m_held.size() - m_heldFrom; }
    // Nothing is held back while a run is kept, so everything written lies before the run.
    void MoveRun()
    {
        if (m_runSize == 0)
            return;
        std::memmove(m_buffer.data() + m_written, m_buffer.data() + m_runFrom, m_runSize);
        m_written += m_runSize;
        m_runSize = 0;
    }
    void Drain(std::size_t readTo)
    {
        const std::size_t n = std::min(Held(), readTo - m_written);
        if (n == 0)
            return;
        std::memcpy(m_buffer.data() + m_written, m_held.data() + m_heldFrom, n);
        m_written += n;
        m_heldFrom += n;
        if (m_heldFrom == m_held.size()) {
            m_held.clear();
            m_heldFrom = 0;
        } else if (m_heldFrom > m_held.size() / 2) {
            m_held.erase(0, m_heldFrom);
            m_heldFrom = 0;
        }
    }

    std::string& m_buffer;
    std::size_t m_written = 0;
    std::string m_held;
    std::size_t m_heldFrom = 0;
    std::size_t m_runFrom = 0;
    std::size_t m_runSize = 0;
};

std::string LineBreakAfter(std::string_view fileBytes)
{
    if (fileBytes.empty() || fileBytes.back() == '\n')
        return {};
    return fileBytes.back() == '\r' ? "\n" : "\r\n";
}

// One line of the file into the arena as UTF-8 with its CR LF. A line of plain ASCII is moved, not
// copied, and keeps its own CR LF when it has one; `next` is where the file's next line begins.
void EmitLine(ArenaWriter& arena, std::string_view line, std::size_t next, const char* data, std::string& converted)
{
    if (HasHighBytes(line)) {
        Cp1250AsUtf8(converted, line, kCrLf);
        arena.Emit(converted, next);
        return;
    }
    const std::size_t from = static_cast<std::size_t>(line.data() - data);
    const std::size_t end = from + line.size();
    if (next == end + 2 && data[end] == '\r') {
        arena.EmitRead(from, line.size() + 2, next);
    } else {
        arena.EmitRead(from, line.size(), next);
        arena.Emit(kCrLf, next);
    }
}

// What follows the last terminator: a record cut short, without the line break before where its
// terminator would have been. The arena ends at the last whole record.
std::optional<std::string> CutUnfinished(std::string& arena, std::size_t end)
{
    if (arena.size() <= end)
        return std::nullopt;
    std::string unfinished = arena.substr(end);
    if (unfinished.size() > 2)
        unfinished.resize(unfinished.size() - 2);
    arena.resize(end);
    return unfinished;
}

}  // namespace

std::string_view RecordKey(std::string_view record)
{
    // Almost every key is a date's, ten ASCII characters.
    if (record.size() >= kKeyChars && !HasHighBytes(record.substr(0, kKeyChars)))
        return record.substr(0, kKeyChars);
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
    ForEachLine(safe, [&](std::string_view line, bool ended, std::size_t) {
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
    m_days.clear();
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
    IndexKey(RecordKey(record), i);
}

void JournalRecords::IndexKey(std::string_view key, std::size_t i)
{
    DayEntry* day = DayCell(key);
    if (day && day->newest) {
        IndexDay(*day, i);
        *day->newest = day->latest;
        return;
    }
    auto found = m_newest.find(key);
    if (found == m_newest.end()) {
        found = m_newest.emplace(std::string(key), i).first;
        m_sorted.emplace(found->first, &found->second);
    }
    // Reading a file indexes a few records out of order (see ParseInPlace): the newest is the last.
    if (found->second < i)
        found->second = i;
    if (day) {
        day->newest = &found->second;
        day->latest = found->second;
    }
}

void JournalRecords::SyncDays()
{
    for (const std::unique_ptr<DayBlock>& block : m_days)
        if (block)
            for (const DayEntry& day : *block)
                if (day.newest)
                    *day.newest = day.latest;
}

std::optional<DayKeyParts> ParseDayKey(std::string_view key)
{
    if (key.size() != kKeyChars || key[4] != '.' || key[7] != '.')
        return std::nullopt;
    const auto number = [&key](std::size_t from, std::size_t digits) {
        int n = 0;
        for (std::size_t k = from; k < from + digits; ++k) {
            if (key[k] < '0' || key[k] > '9')
                return -1;
            n = n * 10 + (key[k] - '0');
        }
        return n;
    };
    DayKeyParts parts;
    parts.yearly = key.starts_with("    ");
    parts.year = parts.yearly ? 0 : number(0, 4);
    parts.month = number(5, 2);
    parts.day = number(8, 2);
    if (parts.year < 0 || parts.month < 1 || parts.month > 12 || parts.day < 1 || parts.day > 31)
        return std::nullopt;
    return parts;
}

JournalRecords::DayEntry* JournalRecords::DayCell(std::string_view key)
{
    const std::optional<DayKeyParts> parts = ParseDayKey(key);
    if (!parts)
        return nullptr;
    const int year = parts->yearly ? kYearlyBlock : parts->year;
    const int month = parts->month;
    const int day = parts->day;
    if (m_days.empty())
        m_days.resize(kYearlyBlock + 1);
    std::unique_ptr<DayBlock>& block = m_days[static_cast<std::size_t>(year)];
    if (!block)
        block = std::make_unique<DayBlock>();
    return &(*block)[static_cast<std::size_t>((month - 1) * 31 + day - 1)];
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

bool JournalRecords::AddReadRecord(std::size_t offset, std::size_t length, std::size_t lines, std::size_t textStart,
                                   std::optional<std::string_view> key)
{
    Span span;
    span.offset = offset;
    span.length = static_cast<std::uint32_t>(length);
    // Text starts after the second line break; a record of two lines or fewer has none.
    span.textStart = lines >= 3 ? static_cast<std::uint32_t>(textStart) : span.length;
    const std::size_t index = m_spans.size();
    m_spans.push_back(span);
    if (!key)
        return false;
    DayEntry* day = DayCell(*key);
    if (day && day->newest)
        IndexDay(*day, index);  // m_newest is brought up to date at the end
    else
        IndexKey(*key, index);
    return true;
}

JournalRecords::Parsed JournalRecords::Parse(std::string_view fileBytes)
{
    return ParseInPlace(std::string(fileBytes));
}

JournalRecords::Parsed JournalRecords::ParseInPlace(std::string&& fileBytes)
{
    Parsed parsed;
    parsed.lineBreakNeeded = LineBreakAfter(fileBytes);
    JournalRecords& records = parsed.records;
    records.m_spans.reserve(CountTerminatorLines(fileBytes));
    std::string& buffer = records.m_arena;
    buffer = std::move(fileBytes);
    ArenaWriter arena(buffer);
    std::string converted;
    std::size_t recordStart = 0;
    // The record being read: its lines so far, its key when that is its first line of ten ASCII
    // characters (a date's key: indexed here, before the line is written over), and where its
    // text starts after the key and the timestamp lines.
    std::size_t lines = 0;
    std::array<char, kKeyChars> key{};
    bool keyKnown = false;
    std::size_t textStart = 0;
    std::vector<std::size_t> indexLater;
    const char* const data = buffer.data();
    ForEachLine(std::string_view(buffer), [&](std::string_view line, bool, std::size_t next) {
        if (line != kTerminator) {
            if (lines == 0) {
                keyKnown = line.size() == kKeyChars && !HasHighBytes(line);
                if (keyKnown)
                    std::memcpy(key.data(), line.data(), kKeyChars);
            }
            EmitLine(arena, line, next, data, converted);
            if (++lines == 2)
                textStart = arena.Size() - recordStart;
            return;
        }
        // The line break after the last text line separates it from the terminator; an empty
        // accumulator and a lone empty line stay as they are.
        if (arena.Size() - recordStart > 2)
            arena.CutBack(2);
        const auto keyView = keyKnown ? std::optional(std::string_view(key.data(), kKeyChars)) : std::nullopt;
        if (!records.AddReadRecord(recordStart, arena.Size() - recordStart, lines, textStart, keyView))
            indexLater.push_back(records.m_spans.size() - 1);
        recordStart = arena.Size();
        lines = 0;
        keyKnown = false;
    });
    arena.Finish();
    parsed.unfinished = CutUnfinished(buffer, recordStart);
    // Records with other keys are indexed once the arena is whole: until then their bytes may be
    // held back.
    for (const std::size_t i : indexLater)
        records.Index(i);
    records.SyncDays();
    return parsed;
}
