// Search in the notes.
#include "calendar/notes_search.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "text/cp1250.h"

namespace {

// U+00C0 to U+017F, the Latin letters of the notes file's code page and their neighbours: each
// one's lower case, and the plain letter it is written with ('.' where there is none).
constexpr char32_t kFoldFirst = 0xC0;
constexpr std::array<std::uint16_t, 192> kLowerCase = {
    0x0E0, 0x0E1, 0x0E2, 0x0E3, 0x0E4, 0x0E5, 0x0E6, 0x0E7, 0x0E8, 0x0E9, 0x0EA, 0x0EB, 0x0EC, 0x0ED, 0x0EE, 0x0EF,
    0x0F0, 0x0F1, 0x0F2, 0x0F3, 0x0F4, 0x0F5, 0x0F6, 0x0D7, 0x0F8, 0x0F9, 0x0FA, 0x0FB, 0x0FC, 0x0FD, 0x0FE, 0x0DF,
    0x0E0, 0x0E1, 0x0E2, 0x0E3, 0x0E4, 0x0E5, 0x0E6, 0x0E7, 0x0E8, 0x0E9, 0x0EA, 0x0EB, 0x0EC, 0x0ED, 0x0EE, 0x0EF,
    0x0F0, 0x0F1, 0x0F2, 0x0F3, 0x0F4, 0x0F5, 0x0F6, 0x0F7, 0x0F8, 0x0F9, 0x0FA, 0x0FB, 0x0FC, 0x0FD, 0x0FE, 0x0FF,
    0x101, 0x101, 0x103, 0x103, 0x105, 0x105, 0x107, 0x107, 0x109, 0x109, 0x10B, 0x10B, 0x10D, 0x10D, 0x10F, 0x10F,
    0x111, 0x111, 0x113, 0x113, 0x115, 0x115, 0x117, 0x117, 0x119, 0x119, 0x11B, 0x11B, 0x11D, 0x11D, 0x11F, 0x11F,
    0x121, 0x121, 0x123, 0x123, 0x125, 0x125, 0x127, 0x127, 0x129, 0x129, 0x12B, 0x12B, 0x12D, 0x12D, 0x12F, 0x12F,
    0x069, 0x131, 0x133, 0x133, 0x135, 0x135, 0x137, 0x137, 0x138, 0x13A, 0x13A, 0x13C, 0x13C, 0x13E, 0x13E, 0x140,
    0x140, 0x142, 0x142, 0x144, 0x144, 0x146, 0x146, 0x148, 0x148, 0x149, 0x14B, 0x14B, 0x14D, 0x14D, 0x14F, 0x14F,
    0x151, 0x151, 0x153, 0x153, 0x155, 0x155, 0x157, 0x157, 0x159, 0x159, 0x15B, 0x15B, 0x15D, 0x15D, 0x15F, 0x15F,
    0x161, 0x161, 0x163, 0x163, 0x165, 0x165, 0x167, 0x167, 0x169, 0x169, 0x16B, 0x16B, 0x16D, 0x16D, 0x16F, 0x16F,
    0x171, 0x171, 0x173, 0x173, 0x175, 0x175, 0x177, 0x177, 0x0FF, 0x17A, 0x17A, 0x17C, 0x17C, 0x17E, 0x17E, 0x17F,
};
constexpr std::string_view kBaseLetter = "aaaaaa.ceeeeiiii.nooooo.ouuuuy..aaaaaa.ceeeeiiii.nooooo.ouuuuy.y"
                                         "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii..jjkkklllllll"
                                         "lllnnnnnn...oooooo..rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzz.";
static_assert(kBaseLetter.size() == kLowerCase.size());

void AppendFolded(std::string& out, std::string_view text, bool ignoreDiacritics)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            out += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
            ++pos;
            continue;
        }
        const char32_t cp = NextCodePoint(text, pos);
        if (cp < kFoldFirst || cp >= kFoldFirst + kLowerCase.size()) {
            AppendUtf8(out, cp);
            continue;
        }
        const std::size_t i = cp - kFoldFirst;
        if (ignoreDiacritics && kBaseLetter[i] != '.')
            out += kBaseLetter[i];
        else
            AppendUtf8(out, kLowerCase[i]);
    }
}

bool IsYearlyKey(std::string_view key)
{
    return key.starts_with("    ");
}

}  // namespace

std::string FoldForSearch(std::string_view text, bool ignoreDiacritics)
{
    std::string out;
    out.reserve(text.size());
    AppendFolded(out, text, ignoreDiacritics);
    return out;
}

NoteSearch::NoteSearch(const JournalRecords& records, std::string_view query, bool ignoreDiacritics)
    : NoteSearch(records, {}, query, ignoreDiacritics)
{
    // Without words the search is over before it begins, without the walk over the journal.
    if (!m_words.empty())
        m_live = records.LiveRecords({});
}

NoteSearch::NoteSearch(const JournalRecords& records, std::vector<std::size_t> live, std::string_view query,
                       bool ignoreDiacritics)
    : m_records(records), m_ignoreDiacritics(ignoreDiacritics)
{
    const std::string folded = FoldForSearch(query, ignoreDiacritics);
    std::size_t pos = 0;
    while (pos < folded.size()) {
        const std::size_t start = folded.find_first_not_of(" \t\r\n", pos);
        if (start == std::string::npos)
            break;
        const std::size_t end = std::min(folded.find_first_of(" \t\r\n", start), folded.size());
        m_words.push_back(folded.substr(start, end - start));
        pos = end;
    }
    if (!m_words.empty())
        m_live = std::move(live);
}

bool NoteSearch::Matches(std::string_view text)
{
    m_folded.clear();
    AppendFolded(m_folded, text, m_ignoreDiacritics);
    return std::all_of(m_words.begin(), m_words.end(),
                       [&](const std::string& word) { return m_folded.find(word) != std::string::npos; });
}

std::string NoteSearch::MatchingLine(std::string_view text) const
{
    std::string_view first;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (first.empty())
            first = line;
        const std::string folded = FoldForSearch(line, m_ignoreDiacritics);
        for (const std::string& word : m_words)
            if (folded.find(word) != std::string::npos)
                return std::string(line);
        pos = end + 2;
    }
    // The words met only across a line break: the note's first line stands for it.
    return std::string(first);
}

bool NoteSearch::Step(std::size_t budget)
{
    const std::size_t end = std::min(m_live.size(), m_next + budget);
    for (; m_next < end; ++m_next) {
        const std::size_t i = m_live[m_next];
        const std::string_view text = m_records.Text(i);
        if (Matches(text))
            m_hits.push_back({std::string(RecordKey(m_records.Record(i))), MatchingLine(text)});
    }
    return Done();
}

std::vector<NoteSearchHit> NoteSearch::TakeHits()
{
    std::sort(m_hits.begin(), m_hits.end(), [](const NoteSearchHit& a, const NoteSearchHit& b) {
        const bool aYearly = IsYearlyKey(a.key);
        const bool bYearly = IsYearlyKey(b.key);
        if (aYearly != bYearly)
            return bYearly;
        return aYearly ? a.key < b.key : a.key > b.key;
    });
    return std::move(m_hits);
}

std::vector<NoteSearchHit> SearchNotes(const JournalRecords& records, std::string_view query, bool ignoreDiacritics)
{
    NoteSearch search(records, query, ignoreDiacritics);
    while (!search.Step(4096)) {
    }
    return search.TakeHits();
}

std::string FormatSearchHit(const NoteSearchHit& hit)
{
    return hit.key + ": " + hit.line;
}

void NotesSearchSession::Start(std::string query, bool ignoreDiacritics)
{
    m_query = std::move(query);
    m_ignoreDiacritics = ignoreDiacritics;
    m_search.reset();
    if (m_listedCount != m_records.Count()) {
        m_live = m_records.LiveRecords({});
        m_listedCount = m_records.Count();
    }
    m_search.emplace(m_records, m_live, m_query, m_ignoreDiacritics);
}

bool NotesSearchSession::Step(std::size_t budget)
{
    if (!m_search)
        return true;
    // The journal changed under the search: its indices may name other records now.
    if (m_listedCount != m_records.Count())
        Start(m_query, m_ignoreDiacritics);
    if (!m_search->Step(budget))
        return false;
    m_hits = m_search->TakeHits();
    m_search.reset();
    return true;
}

std::optional<TDateTime> DateOfHit(std::string_view key, int year)
{
    if (key.size() != 10 || key[4] != '.' || key[7] != '.')
        return std::nullopt;
    const auto number = [&](std::size_t pos, std::size_t length) {
        int value = 0;
        for (std::size_t i = pos; i < pos + length; ++i) {
            if (key[i] < '0' || key[i] > '9')
                return -1;
            value = value * 10 + (key[i] - '0');
        }
        return value;
    };
    const int month = number(5, 2), day = number(8, 2);
    if (!key.starts_with("    "))
        return TryEncodeDate(number(0, 4), month, day);
    for (int y = year; y <= 9999 && y < year + 8; ++y)
        if (const auto date = TryEncodeDate(y, month, day))
            return date;
    return std::nullopt;
}
