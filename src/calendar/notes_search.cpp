// Search in the notes.
#include "calendar/notes_search.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>

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

NotesQuery ParseNotesQuery(std::string_view query)
{
    NotesQuery parsed;
    std::size_t end = 0;
    for (std::size_t characters = 0; end < query.size() && characters < kMaxQueryCharacters; ++characters)
        (void)NextCodePoint(query, end);
    parsed.capped = end < query.size();
    query = query.substr(0, end);
    std::size_t pos = 0;
    while (pos < query.size()) {
        const std::size_t start = query.find_first_not_of(" \t\r\n", pos);
        if (start == std::string_view::npos)
            break;
        if (parsed.words.size() == kMaxQueryWords) {
            parsed.capped = true;
            break;
        }
        const std::size_t stop = std::min(query.find_first_of(" \t\r\n", start), query.size());
        parsed.words.emplace_back(query.substr(start, stop - start));
        pos = stop;
    }
    return parsed;
}

WordSet::WordSet(const std::vector<std::string>& words)
{
    // A trie of the words first, then the table: from each state and byte, the state of the
    // longest word beginning that the text read so far ends with.
    std::size_t bytes = 1;
    for (const std::string& word : words)
        bytes += word.size();
    constexpr std::int32_t kNone = -1;
    std::vector<std::int32_t> child(bytes * 256, kNone);
    std::vector<std::uint32_t> ends(bytes, 0);
    std::size_t states = 1;
    for (std::size_t k = 0; k < words.size() && k < 32; ++k) {
        if (words[k].empty())
            continue;
        std::size_t state = 0;
        for (const char c : words[k]) {
            std::int32_t& next = child[state * 256 + static_cast<unsigned char>(c)];
            if (next == kNone)
                next = static_cast<std::int32_t>(states++);
            state = static_cast<std::size_t>(next);
        }
        ends[state] |= std::uint32_t{1} << k;
        m_all |= std::uint32_t{1} << k;
    }
    if (states > 65535) {  // beyond any capped query; such a set finds nothing
        m_all = 0;
        states = 1;
        std::fill(ends.begin(), ends.end(), 0);
        std::fill(child.begin(), child.end(), kNone);
    }
    for (std::size_t c = 0; c < 256 && m_all != 0; ++c) {
        if (child[c] == kNone)
            continue;
        m_firstByte = m_firstByte == -1 ? static_cast<int>(c) : -2;
    }
    if (m_firstByte < 0)
        m_firstByte = -1;
    m_next.assign(states * 256, 0);
    m_ends.assign(ends.begin(), ends.begin() + static_cast<std::ptrdiff_t>(states));
    std::vector<std::uint16_t> fallback(states, 0);
    std::vector<std::uint16_t> queue;
    queue.reserve(states);
    for (std::size_t c = 0; c < 256; ++c) {
        if (child[c] != kNone) {
            m_next[c] = static_cast<std::uint16_t>(child[c]);
            queue.push_back(m_next[c]);
        }
    }
    // Breadth first, so that a state's fallback, being shorter, is complete before it.
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::uint16_t state = queue[head];
        m_ends[state] |= m_ends[fallback[state]];
        for (std::size_t c = 0; c < 256; ++c) {
            const std::int32_t next = child[state * 256 + c];
            const std::uint16_t viaFallback = m_next[fallback[state] * 256u + c];
            if (next == kNone) {
                m_next[state * 256u + c] = viaFallback;
            } else {
                m_next[state * 256u + c] = static_cast<std::uint16_t>(next);
                fallback[static_cast<std::size_t>(next)] = viaFallback;
                queue.push_back(static_cast<std::uint16_t>(next));
            }
        }
    }
}

WordSet::WordSet(const std::vector<std::string>& words, const std::array<std::uint8_t, 256>& byteClass) : WordSet(words)
{
    // Every state reads a byte as its class would be read.
    const std::size_t states = m_ends.size();
    for (std::size_t state = 0; state < states; ++state) {
        std::array<std::uint16_t, 256> row;
        for (std::size_t b = 0; b < 256; ++b)
            row[b] = m_next[state * 256 + byteClass[b]];
        std::copy(row.begin(), row.end(), m_next.begin() + static_cast<std::ptrdiff_t>(state * 256));
    }
    // The one byte every word begins with may now be one of several.
    m_firstByte = -1;
    int starts = 0;
    for (std::size_t b = 0; b < 256 && m_all != 0; ++b) {
        if (m_next[b] != 0) {
            m_firstByte = static_cast<int>(b);
            ++starts;
        }
    }
    if (starts != 1)
        m_firstByte = -1;
}

template <typename Enough>
void WordSet::Run(std::string_view text, Enough enough) const
{
    const char* p = text.data();
    const char* const end = p + text.size();
    std::size_t state = 0;
    while (p < end) {
        // Back at the start with one byte to wait for: the C library finds it many bytes at a
        // time, and each byte is still looked at once.
        if (state == 0 && m_firstByte >= 0) {
            p = static_cast<const char*>(std::memchr(p, m_firstByte, static_cast<std::size_t>(end - p)));
            if (!p)
                break;
        }
        state = m_next[state * 256 + static_cast<unsigned char>(*p++)];
        if (m_ends[state] && enough(m_ends[state]))
            return;
    }
}

bool WordSet::AllIn(std::string_view text) const
{
    if (m_all == 0)
        return false;
    std::uint32_t found = 0;
    bool all = false;
    Run(text, [&](std::uint32_t ends) {
        found |= ends;
        return all = found == m_all;
    });
    return all;
}

bool WordSet::AnyIn(std::string_view text) const
{
    bool any = false;
    Run(text, [&](std::uint32_t) { return any = true; });
    return any;
}

NotesCopy::NotesCopy(const JournalRecords& records)
{
    const std::vector<std::size_t> live = records.LiveRecords({});
    std::size_t bytes = 0;
    for (const std::size_t i : live)
        bytes += RecordKey(records.Record(i)).size() + records.Text(i).size();
    m_bytes.reserve(bytes);
    m_notes.reserve(live.size());
    for (const std::size_t i : live) {
        const std::string_view key = RecordKey(records.Record(i));
        const std::string_view text = records.Text(i);
        m_notes.push_back(
            {m_bytes.size(), static_cast<std::uint32_t>(key.size()), static_cast<std::uint32_t>(text.size())});
        m_bytes += key;
        m_bytes += text;
    }
}

std::string_view NotesCopy::Key(std::size_t i) const
{
    return std::string_view(m_bytes).substr(m_notes[i].offset, m_notes[i].keyLength);
}

std::string_view NotesCopy::Text(std::size_t i) const
{
    return std::string_view(m_bytes).substr(m_notes[i].offset + m_notes[i].keyLength, m_notes[i].textLength);
}

namespace {

std::vector<std::string> FoldedWords(const NotesQuery& query, bool ignoreDiacritics)
{
    std::vector<std::string> words;
    for (const std::string& word : query.words)
        words.push_back(FoldForSearch(word, ignoreDiacritics));
    return words;
}

}  // namespace

NoteSearch::NoteSearch(const JournalRecords* records, const NotesCopy* copy, std::string_view query,
                       bool ignoreDiacritics)
    : m_records(records), m_copy(copy), m_ignoreDiacritics(ignoreDiacritics), m_words([&] {
          const NotesQuery parsed = ParseNotesQuery(query);
          m_capped = parsed.capped;
          return FoldedWords(parsed, ignoreDiacritics);
      }())
{
}

NoteSearch::NoteSearch(const JournalRecords& records, std::string_view query, bool ignoreDiacritics)
    : NoteSearch(&records, nullptr, query, ignoreDiacritics)
{
    // Without words the search is over before it begins, without the walk over the journal.
    if (!m_words.Empty())
        m_live = records.LiveRecords({});
    m_count = m_live.size();
}

NoteSearch::NoteSearch(const JournalRecords& records, std::vector<std::size_t> live, std::string_view query,
                       bool ignoreDiacritics)
    : NoteSearch(&records, nullptr, query, ignoreDiacritics)
{
    if (!m_words.Empty())
        m_live = std::move(live);
    m_count = m_live.size();
}

NoteSearch::NoteSearch(const NotesCopy& notes, std::string_view query, bool ignoreDiacritics)
    : NoteSearch(nullptr, &notes, query, ignoreDiacritics)
{
    m_count = m_words.Empty() ? 0 : notes.Count();
}

std::string NoteSearch::MatchingLine(std::string_view text)
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
        m_folded.clear();
        AppendFolded(m_folded, line, m_ignoreDiacritics);
        if (m_words.AnyIn(m_folded))
            return std::string(line);
        pos = end + 2;
    }
    // The words met only across a line break: the note's first line stands for it.
    return std::string(first);
}

bool NoteSearch::Step(std::size_t budget)
{
    const std::size_t end = std::min(m_count, m_next + budget);
    for (; m_next < end; ++m_next) {
        std::string_view key;
        std::string_view text;
        if (m_copy) {
            text = m_copy->Text(m_next);
        } else {
            text = m_records->Text(m_live[m_next]);
        }
        m_folded.clear();
        AppendFolded(m_folded, text, m_ignoreDiacritics);
        if (!m_words.AllIn(m_folded))
            continue;
        key = m_copy ? m_copy->Key(m_next) : RecordKey(m_records->Record(m_live[m_next]));
        m_hits.push_back({std::string(key), MatchingLine(text)});
    }
    return Done();
}

void SortSearchHits(std::vector<NoteSearchHit>& hits)
{
    std::sort(hits.begin(), hits.end(), [](const NoteSearchHit& a, const NoteSearchHit& b) {
        const bool aYearly = IsYearlyKey(a.key);
        const bool bYearly = IsYearlyKey(b.key);
        if (aYearly != bYearly)
            return bYearly;
        return aYearly ? a.key < b.key : a.key > b.key;
    });
}

std::vector<NoteSearchHit> NoteSearch::TakeHits()
{
    SortSearchHits(m_hits);
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

NotesSearchSession::NotesSearchSession(const JournalRecords& records) : m_records(records)
{
}

NotesSearchSession::~NotesSearchSession()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        ++m_generation;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void NotesSearchSession::Start(std::string query, bool ignoreDiacritics)
{
    m_query = std::move(query);
    m_ignoreDiacritics = ignoreDiacritics;
    m_capped = ParseNotesQuery(m_query).capped;
    if (m_copiedCount != m_records.Count()) {
        // Dropped by the worker once its search of the old copy ends.
        m_notes = std::make_shared<const NotesCopy>(m_records);
        m_copiedCount = m_records.Count();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_job = Job{++m_generation, m_notes, m_query, m_ignoreDiacritics};
    }
    m_running = true;
    if (!m_worker.joinable())
        m_worker = std::thread(&NotesSearchSession::Work, this);
    m_wake.notify_all();
}

void NotesSearchSession::Cancel()
{
    const std::lock_guard lock(m_mutex);
    ++m_generation;
    m_job.reset();
    m_running = false;
}

bool NotesSearchSession::Poll()
{
    if (!m_running)
        return true;
    // The journal changed under the search: its copy is no longer what the notes are.
    if (m_copiedCount != m_records.Count()) {
        Start(m_query, m_ignoreDiacritics);
        return false;
    }
    const std::lock_guard lock(m_mutex);
    if (m_doneGeneration != m_generation.load())
        return false;
    m_hits = std::move(m_doneHits);
    m_doneHits.clear();
    m_running = false;
    return true;
}

void NotesSearchSession::Wait()
{
    while (!Poll())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void NotesSearchSession::Work()
{
    // Notes between two looks at whether the search is still wanted: a fraction of a millisecond.
    constexpr std::size_t kSlice = 2048;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_job; });
        if (m_stop)
            return;
        const Job job = std::move(*m_job);
        m_job.reset();
        lock.unlock();
        NoteSearch search(*job.notes, job.query, job.ignoreDiacritics);
        bool wanted = true;
        while (wanted && !search.Step(kSlice))
            wanted = m_generation.load() == job.generation;
        std::vector<NoteSearchHit> hits = wanted ? search.TakeHits() : std::vector<NoteSearchHit>{};
        lock.lock();
        if (wanted && m_generation.load() == job.generation) {
            m_doneHits = std::move(hits);
            m_doneGeneration = job.generation;
        }
    }
}

std::optional<TDateTime> DateOfHit(std::string_view key, int year)
{
    const std::optional<DayKeyParts> parts = ParseDayKey(key);
    if (!parts)
        return std::nullopt;
    if (!parts->yearly)
        return TryEncodeDate(parts->year, parts->month, parts->day);
    for (int y = year; y <= 9999 && y < year + 8; ++y)
        if (const auto date = TryEncodeDate(y, parts->month, parts->day))
            return date;
    return std::nullopt;
}
