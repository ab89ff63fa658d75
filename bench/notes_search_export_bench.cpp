// Searching the notes and exporting them as iCalendar, on journals of 1,000,000 records: one
// saved over and over on the days of thirty years, as a journal kept for years and never packed
// would be, and one where every record is a different day's live note, the most a search can
// meet.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"
#include "calendar/notes_search.h"
#ifdef DNIARZ_HAVE_ICAL
#include "ics/ics_export.h"
#endif

namespace {

constexpr int kRecords = 1'000'000;

const char* const kTexts[] = {"Spotkanie z klientem w \xA3odzi\r\nzabra\xE6 umow\xEA", "Zakupy: mleko, chleb, mas\xB3o",
                              "Urodziny Ani \x96 kupi\xE6 kwiaty", "Dentysta 15:30\r\nnie zapomnie\xE6 karty",
                              "Zadzwoni\xE6 do mamy"};

// Windows-1250 bytes, as the file holds them.
std::string BuildJournalBytes(bool everyDayOnce)
{
    std::mt19937 rng(42);
    const TDateTime first = EncodeDate(everyDayOnce ? 1100 : 1995, 1, 1);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(kRecords) * 72);
    for (int i = 0; i < kRecords; ++i) {
        const TDateTime date = everyDayOnce ? first + i : first + static_cast<int>(rng() % (30 * 365));
        const DateParts d = DecodeDate(date);
        bytes += !everyDayOnce && rng() % 20 == 0 ? YearlyKey(d.month, d.day) : DateKey(date);
        bytes += "\r\n2024.03.10  12:00\r\n";
        if (everyDayOnce || i % 10 != 9) {
            bytes += kTexts[rng() % std::size(kTexts)];
            bytes += " nr ";
            bytes += std::to_string(i);
            bytes += "\r\n";
        }
        bytes += "****\r\n";
    }
    return bytes;
}

const JournalRecords& Journal(bool everyDayOnce)
{
    static const JournalRecords repeated = JournalRecords::Parse(BuildJournalBytes(false)).records;
    static const JournalRecords distinct = JournalRecords::Parse(BuildJournalBytes(true)).records;
    return everyDayOnce ? distinct : repeated;
}

// Arguments: every day once (0 or 1), ignoring the marks of Polish letters (0 or 1).
void BM_SearchNotes(benchmark::State& state)
{
    const JournalRecords& records = Journal(state.range(0) != 0);
    std::size_t hits = 0;
    for (auto _ : state)
        hits = SearchNotes(records, "lodz umowe", state.range(1) != 0).size();
    state.counters["hits"] = static_cast<double>(hits);
}

// The list of live notes a window makes once for every change of the notes.
void BM_LiveRecords(benchmark::State& state)
{
    const JournalRecords& records = Journal(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(records.LiveRecords({}));
}

// The copy of the live notes the window's search thread works on, made on the window's thread
// once for every change of the notes.
void BM_NotesCopy(benchmark::State& state)
{
    const JournalRecords& records = Journal(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(NotesCopy(records).Count());
}

// The whole search over that list, in the slices the window runs between two keys typed.
void BM_SearchInSlices(benchmark::State& state)
{
    const JournalRecords& records = Journal(true);
    const std::vector<std::size_t> live = records.LiveRecords({});
    std::size_t slices = 0;
    for (auto _ : state) {
        NoteSearch search(records, live, "kwiaty", true);
        slices = 1;
        while (!search.Step(static_cast<std::size_t>(state.range(0))))
            ++slices;
        benchmark::DoNotOptimize(search.TakeHits());
    }
    state.counters["slices"] = static_cast<double>(slices);
}

// Queries as large as a user may paste: argument 0 one word, 1 a query of 20,000 one-letter words
// (40 kB) that most notes hold every one of, 2 a single word of 100,000 letters, 3 two words of
// the notes and a word of 100,000 letters, 4 32 words of seven letters, about as much as a query
// is cut to (32 words, 256 characters). On every day's note once, the marks of Polish letters ignored. The aim: every
// one within twice the one-word query.
std::string BenchQuery(std::int64_t kind)
{
    switch (kind) {
    case 0:
        return "kwiaty";
    case 1: {
        std::string query;
        const char letters[] = "aeiorz";
        for (int i = 0; i < 20000; ++i) {
            query += letters[i % 6];
            query += ' ';
        }
        return query;
    }
    case 2:
        return std::string(100000, 'a');
    case 3:
        return "urodziny ani " + std::string(100000, 'k');
    default: {
        std::string query;
        for (int i = 0; i < 32; ++i)
            query += std::string(7, "aekmz"[i % 5]) + ' ';
        return query;
    }
    }
}

void BM_SearchHugeQuery(benchmark::State& state)
{
    const JournalRecords& records = Journal(true);
    const std::string query = BenchQuery(state.range(0));
    std::size_t hits = 0;
    for (auto _ : state)
        hits = SearchNotes(records, query, true).size();
    state.counters["hits"] = static_cast<double>(hits);
}

#ifdef DNIARZ_HAVE_ICAL
void BM_ExportIcs(benchmark::State& state)
{
    const JournalRecords& records = Journal(state.range(0) != 0);
    NameDayTable table;
    table.Load();
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = ExportIcs(records, table, {}, std::chrono::system_clock::time_point(), 2024).text.size();
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ExportIcs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
#endif

}  // namespace

BENCHMARK(BM_SearchNotes)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveRecords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchHugeQuery)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_NotesCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchInSlices)->Arg(20000)->Unit(benchmark::kMillisecond);
