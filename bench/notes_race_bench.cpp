// Two copies of the program on one notes file, as processes: one packs in a loop, the other keeps
// opening the file and saving. Counts what must never happen: two writers holding the file at
// once, and a save that was confirmed but is missing from the file at the end. Too slow for the
// tests (100,000 packs); run it by hand: build/bench/notes_race_bench. The folder is taken from
// DNIARZ_RACE_DIR, else /dev/shm (where syncs cost nothing and the race runs fastest).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"
#include "platform/linux/linux_journal_file.h"

namespace {

constexpr int kPacks = 100'000;
constexpr int kKeysEach = 20;
const TDateTime kNow = EncodeDate(2024, 6, 21) + 0.5;  // few keys, so that a pack stays small and the race stays hot

// Shared between the two processes.
struct Shared
{
    std::atomic<int> writers{0};       // processes holding the file right now
    std::atomic<int> bothAdmitted{0};  // times a second writer was let in
    std::atomic<bool> packerDone{false};
    std::atomic<long> packs{0};
    std::atomic<long> packerSaves{0};
    std::atomic<long> opens{0};          // the saver's attempts
    std::atomic<long> heldByAnother{0};  // ... refused because the packer held the file
    std::atomic<long> saverSaves{0};     // ... admitted, saved and confirmed
    std::atomic<long> failures{0};       // an open or write that failed for another reason
    // The last confirmed text of every key, per process: "<process><sequence>".
    std::atomic<long> lastConfirmed[2][kKeysEach];
};

std::string Key(int process, int k)
{
    return DateKey(EncodeDate(2000 + process, 1, 1) + k);
}

void Admit(Shared& shared)
{
    if (shared.writers.fetch_add(1) != 0)
        shared.bothAdmitted.fetch_add(1);
}

void SaveOne(NotesJournal& journal, Shared& shared, int process, long sequence)
{
    const int k = static_cast<int>(sequence % kKeysEach);
    journal.AppendRecord(Key(process, k), std::to_string(process) + "-" + std::to_string(sequence), kNow);
    journal.Flush();
    shared.lastConfirmed[process][k].store(sequence);
}

// The packer: holds the file for a while, saving and packing, then lets go for a moment.
void Packer(const std::filesystem::path& path, Shared& shared)
{
    LinuxJournalFile file;
    NotesJournal journal(file);
    long sequence = 0;
    while (shared.packs.load() < kPacks) {
        if (journal.OpenNotes(path))
            continue;
        Admit(shared);
        try {
            for (int i = 0; i < 10 && shared.packs.load() < kPacks; ++i) {
                SaveOne(journal, shared, 0, ++sequence);
                shared.packerSaves.fetch_add(1);
                journal.PurgeAndPackNotes(0);
                shared.packs.fetch_add(1);
            }
        } catch (const EInOutError&) {
            shared.failures.fetch_add(1);
        }
        shared.writers.fetch_sub(1);
        (void)journal.Close();
    }
    shared.packerDone.store(true);
}

// The saver: a second copy started again and again, saving one note when it gets the file.
void Saver(const std::filesystem::path& path, Shared& shared)
{
    LinuxJournalFile file;
    long sequence = 0;
    while (!shared.packerDone.load()) {
        NotesJournal journal(file);
        shared.opens.fetch_add(1);
        if (const auto message = journal.OpenNotes(path)) {
            if (message->find("inną uruchomioną kopię") != std::string::npos)
                shared.heldByAnother.fetch_add(1);
            else
                shared.failures.fetch_add(1);
            continue;
        }
        Admit(shared);
        try {
            SaveOne(journal, shared, 1, ++sequence);
            shared.saverSaves.fetch_add(1);
        } catch (const EInOutError&) {
            shared.failures.fetch_add(1);
        }
        shared.writers.fetch_sub(1);
        (void)journal.Close();
    }
}

// Confirmed saves missing from the file: the newest record of every key must hold the text of
// the last confirmed save of that key.
long MissingSaves(const std::filesystem::path& path, const Shared& shared)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const JournalRecords records = JournalRecords::Parse(bytes).records;
    long missing = 0;
    for (int process = 0; process < 2; ++process)
        for (int k = 0; k < kKeysEach; ++k) {
            const long last = shared.lastConfirmed[process][k].load();
            if (last == 0)
                continue;
            const std::string expected = std::to_string(process) + "-" + std::to_string(last);
            if (records.FindNote(Key(process, k)).text != expected)
                ++missing;
        }
    return missing;
}

void BM_TwoCopiesOneFile(benchmark::State& state)
{
    const char* where = std::getenv("DNIARZ_RACE_DIR");
    std::filesystem::path base = where ? where : "/dev/shm";
    if (!std::filesystem::is_directory(base))
        base = std::filesystem::temp_directory_path();
    std::string pattern = (base / "dniarz-race-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        state.SkipWithError("no folder for the race");
        return;
    }
    const std::filesystem::path path = std::filesystem::path(pattern) / "dnz.dat";
    void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        state.SkipWithError("no shared memory");
        return;
    }
    Shared& shared = *new (memory) Shared;
    for (auto _ : state) {
        const pid_t saver = fork();
        if (saver == 0) {
            Saver(path, shared);
            _exit(0);
        }
        Packer(path, shared);
        waitpid(saver, nullptr, 0);
    }
    state.counters["packs"] = static_cast<double>(shared.packs.load());
    state.counters["packer_saves"] = static_cast<double>(shared.packerSaves.load());
    state.counters["saver_opens"] = static_cast<double>(shared.opens.load());
    state.counters["saver_refused"] = static_cast<double>(shared.heldByAnother.load());
    state.counters["saver_saves"] = static_cast<double>(shared.saverSaves.load());
    state.counters["two_writers"] = static_cast<double>(shared.bothAdmitted.load());
    state.counters["missing_saves"] = static_cast<double>(MissingSaves(path, shared));
    state.counters["other_failures"] = static_cast<double>(shared.failures.load());
    // A failed run reports no counters, and these are the figures that say what went wrong.
    for (const auto& [name, counter] : state.counters)
        std::fprintf(stderr, "%s=%.0f ", name.c_str(), counter.value);
    std::fprintf(stderr, "\n");
    if (shared.bothAdmitted.load() != 0 || MissingSaves(path, shared) != 0)
        state.SkipWithError("a second writer was let in or a confirmed save is missing");
    munmap(memory, sizeof(Shared));
    std::filesystem::remove_all(pattern);
}
BENCHMARK(BM_TwoCopiesOneFile)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
