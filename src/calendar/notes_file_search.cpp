// The search of the command line, straight over the bytes of a journal file.
#include "calendar/notes_search.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "text/cp1250.h"

namespace {

constexpr std::size_t kKeyChars = 10;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Where the line starting at `pos` ends (its CR or LF, or `end`).
std::size_t LineEnd(const char* data, std::size_t pos, std::size_t end)
{
    while (pos < end && !IsLineEnd(data[pos]))
        ++pos;
    return pos;
}

// Past the line end at `pos`: a CR LF counts as one.
std::size_t PastLineEnd(const char* data, std::size_t pos, std::size_t end)
{
    if (pos >= end)
        return end;
    return data[pos] == '\r' && pos + 1 < end && data[pos + 1] == '\n' ? pos + 2 : pos + 1;
}

// The next line "****" at or after `pos`, or npos: the end of a record.
std::size_t NextTerminator(std::string_view bytes, std::size_t pos)
{
    const char* const data = bytes.data();
    const std::size_t size = bytes.size();
    while (pos < size) {
        const void* star = std::memchr(data + pos, '*', size - pos);
        if (!star)
            return std::string_view::npos;
        const std::size_t p = static_cast<std::size_t>(static_cast<const char*>(star) - data);
        if ((p == 0 || IsLineEnd(data[p - 1])) && size - p >= 4 && std::memcmp(data + p, "****", 4) == 0
            && (size - p == 4 || IsLineEnd(data[p + 4])))
            return p;
        pos = p + 1;
    }
    return std::string_view::npos;
}

// The key of the record whose bytes are [start, end) (each of its lines with its line end), as
// the records read from the file have it: the first ten characters of the record in UTF-8, its
// lines joined by CR LF. Almost always its first line, ten ASCII characters.
std::string RecordKeyAt(const char* data, std::size_t start, std::size_t end)
{
    if (end - start > kKeyChars && IsLineEnd(data[start + kKeyChars])) {
        bool plain = true;
        for (std::size_t k = start; k < start + kKeyChars; ++k)
            plain = plain && static_cast<unsigned char>(data[k]) < 0x80 && !IsLineEnd(data[k]);
        if (plain)
            return std::string(data + start, kKeyChars);
    }
    // Ten characters come from at most ten bytes of the file; a few more decide how the record
    // ends when it is that short.
    const std::size_t stop = std::min(end, start + 2 * kKeyChars);
    std::string record;
    for (std::size_t pos = start; pos < stop;) {
        const std::size_t lineEnd = LineEnd(data, pos, stop);
        record.append(data + pos, lineEnd - pos);
        if (lineEnd == stop)
            break;
        record += "\r\n";
        pos = PastLineEnd(data, lineEnd, end);
    }
    // The line end before the terminator is no part of the record, except of a lone empty line.
    if (stop == end && record.size() > 2 && record.ends_with("\r\n"))
        record.resize(record.size() - 2);
    return std::string(RecordKey(Cp1250ToUtf8(record)));
}

// The newest record of each key: a record is [start, end) of the file, end the terminator's.
struct RecordPlace
{
    std::size_t start = kNone;
    std::size_t end = 0;
};

class NewestRecords
{
public:
    void Note(const std::string& key, RecordPlace place)
    {
        if (RecordPlace* cell = DayCell(key))
            *cell = place;
        else
            m_others[key] = place;
    }
    // Calls `found(key, place)` for every key.
    template <typename Found>
    void ForEach(Found found) const
    {
        for (const auto& [year, block] : m_days)
            for (std::size_t cell = 0; cell < block.size(); ++cell)
                if (block[cell].start != kNone)
                    found(DayKey(year, cell), block[cell]);
        for (const auto& [key, place] : m_others)
            found(key, place);
    }

private:
    using DayBlock = std::array<RecordPlace, 12 * 31>;
    static constexpr std::size_t kYearly = 10000;

    // A date key "yyyy.mm.dd" or a yearly key "    .mm.dd" of a month's day; null for any other.
    RecordPlace* DayCell(std::string_view key)
    {
        const std::optional<DayKeyParts> parts = ParseDayKey(key);
        if (!parts)
            return nullptr;
        const int year = parts->yearly ? static_cast<int>(kYearly) : parts->year;
        const int month = parts->month;
        const int day = parts->day;
        if (m_blockOfYear.empty())
            m_blockOfYear.assign(kYearly + 1, kNone);
        std::size_t& block = m_blockOfYear[static_cast<std::size_t>(year)];
        if (block == kNone) {
            block = m_days.size();
            m_days.emplace_back(static_cast<std::size_t>(year), DayBlock{});
        }
        return &m_days[block].second[static_cast<std::size_t>((month - 1) * 31 + day - 1)];
    }
    static std::string DayKey(std::size_t year, std::size_t cell)
    {
        std::string key = year == kYearly ? std::string("    ") : std::to_string(10000 + year).substr(1);
        const std::size_t month = cell / 31 + 1, day = cell % 31 + 1;
        key += '.';
        key += static_cast<char>('0' + month / 10);
        key += static_cast<char>('0' + month % 10);
        key += '.';
        key += static_cast<char>('0' + day / 10);
        key += static_cast<char>('0' + day % 10);
        return key;
    }

    // The days of the years that have notes, and where each year's are.
    std::vector<std::pair<std::size_t, DayBlock>> m_days;
    std::vector<std::size_t> m_blockOfYear;
    std::unordered_map<std::string, RecordPlace> m_others;
};

// Each byte of the file read as the character FoldForSearch makes of it: the bytes that fold
// alike read as one of them. Every byte of the code page is one character and folds to one.
struct ByteFolding
{
    std::array<std::uint8_t, 256> byteClass{};
    std::unordered_map<char32_t, std::uint8_t> classOf;  // folded character -> its bytes' class
};

ByteFolding MakeByteFolding(bool ignoreDiacritics)
{
    ByteFolding folding;
    for (int b = 0; b < 256; ++b) {
        const std::string folded = FoldForSearch(Cp1250ToUtf8(std::string(1, static_cast<char>(b))), ignoreDiacritics);
        std::size_t pos = 0;
        const char32_t letter = NextCodePoint(folded, pos);
        const auto [it, added] = folding.classOf.emplace(letter, static_cast<std::uint8_t>(b));
        folding.byteClass[static_cast<std::size_t>(b)] = it->second;
    }
    return folding;
}

// The query's words as classes of bytes; nullopt when a word holds a character no byte of the
// file folds to, which then no note can hold.
std::optional<std::vector<std::string>> WordsAsByteClasses(const NotesQuery& query, const ByteFolding& folding,
                                                           bool ignoreDiacritics)
{
    std::vector<std::string> words;
    for (const std::string& word : query.words) {
        const std::string folded = FoldForSearch(word, ignoreDiacritics);
        std::string classes;
        for (std::size_t pos = 0; pos < folded.size();) {
            const auto found = folding.classOf.find(NextCodePoint(folded, pos));
            if (found == folding.classOf.end())
                return std::nullopt;
            classes += static_cast<char>(found->second);
        }
        words.push_back(std::move(classes));
    }
    return words;
}

}  // namespace

std::vector<NoteSearchHit> SearchJournalFile(std::string_view fileBytes, std::string_view query, bool ignoreDiacritics)
{
    const NotesQuery parsed = ParseNotesQuery(query);
    static const ByteFolding foldings[2] = {MakeByteFolding(false), MakeByteFolding(true)};
    const ByteFolding& folding = foldings[ignoreDiacritics ? 1 : 0];
    const std::optional<std::vector<std::string>> classWords = WordsAsByteClasses(parsed, folding, ignoreDiacritics);
    if (!classWords || classWords->empty())
        return {};
    const WordSet words(*classWords, folding.byteClass);
    if (words.Empty())
        return {};

    // Only the newest record of a key counts: the file is walked once for the records' places,
    // and only the newest of each is read further.
    const char* const data = fileBytes.data();
    NewestRecords newest;
    for (std::size_t start = 0;;) {
        const std::size_t end = NextTerminator(fileBytes, start);
        if (end == std::string_view::npos)
            break;  // what follows the last terminator is a record never finished
        newest.Note(RecordKeyAt(data, start, end), {start, end});
        start = PastLineEnd(data, end + 4, fileBytes.size());
    }

    std::vector<NoteSearchHit> hits;
    newest.ForEach([&](const std::string& key, RecordPlace place) {
        // The text: the lines after the key's and the timestamp's, without the last line end.
        std::size_t text = PastLineEnd(data, LineEnd(data, place.start, place.end), place.end);
        text = PastLineEnd(data, LineEnd(data, text, place.end), place.end);
        if (text >= place.end)
            return;
        const std::size_t textEnd =
            place.end - (place.end - text >= 2 && data[place.end - 2] == '\r' && data[place.end - 1] == '\n' ? 2 : 1);
        const std::string_view body(data + text, textEnd - text);
        if (!words.AllIn(body))
            return;
        // The first line that holds one of the words; failing that (the words met only across
        // lines), the first line that is not empty.
        std::string_view first, matching;
        bool found = false;
        for (std::size_t pos = 0;;) {
            const std::size_t lineEnd = LineEnd(body.data(), pos, body.size());
            const std::string_view line = body.substr(pos, lineEnd - pos);
            if (first.empty())
                first = line;
            if (words.AnyIn(line)) {
                matching = line;
                found = true;
                break;
            }
            if (lineEnd == body.size())
                break;
            pos = PastLineEnd(body.data(), lineEnd, body.size());
        }
        hits.push_back({key, Cp1250ToUtf8(found ? matching : first)});
    });
    SortSearchHits(hits);
    return hits;
}
