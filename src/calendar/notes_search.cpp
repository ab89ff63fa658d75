// Search in the notes.
#include "calendar/notes_search.h"

#include <algorithm>

#include "text/cp1250.h"
#include "text/letter_fold.h"

namespace {

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
        if (const char base = ignoreDiacritics ? BaseLetter(cp) : 0)
            out += base;
        else
            AppendUtf8(out, LowerLetter(cp));
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
