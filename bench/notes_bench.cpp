// The notes journal on 1,000,000 records: opening with the index, lookups, the marks of a month,
// a durable save and purge-and-pack, each beside the plain walk over every record that the
// journal would need without its index.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"
#include "journal_sample.h"
#include "platform/linux/linux_journal_file.h"

namespace {

const std::string& JournalBytes()
{
    static const std::string bytes = BuildSampleJournal();
    return bytes;
}

struct BenchFolder
{
    std::filesystem::path dir;
    BenchFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/dniarz-bench-XXXXXX";
        if (::mkdtemp(pattern.data()))
            dir = pattern;
    }
    ~BenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::filesystem::path WriteJournal() const
    {
        const auto path = dir / "dnz.dat";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << JournalBytes();
        return path;
    }
};

// Every record of the benchmarks is stamped with this local time.
const TDateTime kNow = EncodeDate(2024, 3, 10);

std::vector<std::string> LookupKeys()
{
    std::vector<std::string> keys;
    std::mt19937 rng(7);
    for (int i = 0; i < 1024; ++i)
        keys.push_back(DateKey(EncodeDate(1995, 1, 1) + static_cast<int>(rng() % (31 * 365))));
    return keys;
}

// The lookup without an index: from the newest record back to the first with the key.
FoundNote FindNoteByWalk(const JournalRecords& records, std::string_view key)
{
    for (std::size_t i = records.Count(); i-- > 0;) {
        const std::string_view record = records.Record(i);
        if (RecordKey(record) == key)
            return {std::string(RecordText(record)), std::string(RecordTimestamp(record))};
    }
    return {};
}

// The marks without an index: two walks over every record, each with its set of seen keys.
std::vector<std::string> MarkedDayKeysByWalk(const JournalRecords& records, int year, int month)
{
    std::vector<std::string> out;
    const std::pair<std::string, std::string> ranges[] = {{DateKey(year, month, 1), DateKey(year, month, 31)},
                                                          {YearlyKey(month, 1), YearlyKey(month, 31)}};
    for (const auto& [lower, upper] : ranges) {
        std::set<std::string, std::less<>> seen;
        for (std::size_t i = records.Count(); i-- > 0;) {
            const std::string_view record = records.Record(i);
            const std::string_view key = RecordKey(record);
            if (key < lower || key > upper || seen.contains(key))
                continue;
            seen.emplace(key);
            if (!RecordText(record).empty())
                out.emplace_back(key);
        }
    }
    return out;
}

void BM_OpenAndIndex(benchmark::State& state)
{
    BenchFolder folder;
    const auto path = folder.WriteJournal();
    LinuxJournalFile file;
    for (auto _ : state) {
        auto journal = std::make_unique<NotesJournal>(file);
        benchmark::DoNotOptimize(journal->OpenNotes(path));
        // Freeing a million records is not part of opening.
        state.PauseTiming();
        journal.reset();
        state.ResumeTiming();
    }
}

void BM_FindNote(benchmark::State& state)
{
    const JournalRecords records = JournalRecords::Parse(JournalBytes()).records;
    const std::vector<std::string> keys = LookupKeys();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(records.FindNote(keys[i++ % keys.size()]));
}

void BM_FindNotePlainWalk(benchmark::State& state)
{
    const JournalRecords records = JournalRecords::Parse(JournalBytes()).records;
    const std::vector<std::string> keys = LookupKeys();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNoteByWalk(records, keys[i++ % keys.size()]));
}

void BM_MarkedDayKeys(benchmark::State& state)
{
    const JournalRecords records = JournalRecords::Parse(JournalBytes()).records;
    int month = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(records.MarkedDayKeys(2010, month % 12 + 1));
        ++month;
    }
}

void BM_MarkedDayKeysPlainWalk(benchmark::State& state)
{
    const JournalRecords records = JournalRecords::Parse(JournalBytes()).records;
    int month = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(MarkedDayKeysByWalk(records, 2010, month % 12 + 1));
        ++month;
    }
}

// The million-record journal written afresh and opened on `file`; null when that failed.
std::unique_ptr<NotesJournal> OpenFreshJournal(const BenchFolder& folder, LinuxJournalFile& file,
                                               benchmark::State& state)
{
    auto journal = std::make_unique<NotesJournal>(file);
    if (journal->OpenNotes(folder.WriteJournal())) {
        state.SkipWithError("cannot open the journal");
        return nullptr;
    }
    return journal;
}

void BM_SaveAndFlush(benchmark::State& state)
{
    BenchFolder folder;
    LinuxJournalFile file;
    const auto journal = OpenFreshJournal(folder, file, state);
    int i = 0;
    for (auto _ : state) {
        journal->AppendRecord(DateKey(EncodeDate(2024, 1, 1) + i++ % 366), "Nowa notatka\r\nz dwiema liniami", kNow);
        journal->Flush();
    }
}

void BM_PurgeAndPackNotes(benchmark::State& state)
{
    BenchFolder folder;
    const TDateTime cutoff = state.range(0) ? EncodeDate(2010, 1, 1) : 0;
    for (auto _ : state) {
        state.PauseTiming();
        LinuxJournalFile file;
        const auto journal = OpenFreshJournal(folder, file, state);
        state.ResumeTiming();
        if (journal)
            journal->PurgeAndPackNotes(cutoff);
    }
}

// The pack without an index: one walk from the newest record with a sorted set of seen keys,
// the file emptied and written in place.
void BM_PurgeAndPackNotesPlainWalk(benchmark::State& state)
{
    BenchFolder folder;
    const std::string cutoffKey = state.range(0) ? DateKey(EncodeDate(2010, 1, 1)) : std::string(10, ' ');
    for (auto _ : state) {
        state.PauseTiming();
        LinuxJournalFile file;
        const auto journal = OpenFreshJournal(folder, file, state);
        state.ResumeTiming();
        if (!journal)
            continue;
        const JournalRecords& records = journal->Records();
        std::set<std::string, std::less<>> seen;
        std::string bytes;
        for (std::size_t i = records.Count(); i-- > 0;) {
            const std::string_view key = RecordKey(records.Record(i));
            if (!seen.emplace(key).second)
                continue;
            if ((key < cutoffKey && !key.starts_with("    ")) || records.Text(i).empty())
                continue;
            bytes += StoredRecordBytes(records.Record(i));
        }
        benchmark::DoNotOptimize(file.Truncate(0) && file.Append(bytes) && file.Sync());
    }
}

}  // namespace

BENCHMARK(BM_OpenAndIndex)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FindNote)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNotePlainWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkedDayKeys)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MarkedDayKeysPlainWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAndFlush)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_PurgeAndPackNotes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PurgeAndPackNotesPlainWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
