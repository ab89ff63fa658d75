// Opening a big notes journal, as the window does at start: the CPU time of reading, converting and
// indexing it, and the peak memory above what opening an empty journal takes, each in a fresh
// process, in turns, three rounds. Run: build/bench/notes_open_bench [records]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "calendar/notes_journal.h"
#include "journal_sample.h"
#include "platform/linux/linux_journal_file.h"
#include "process_status.h"

namespace {

double CpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Measured
{
    double cpuMs = 0;
    long peakKib = 0;  // the peak resident size while opening, less the size before it
    std::size_t records = 0;
};

// Opens `path` in a child process, so that each measurement starts from the same clean state.
Measured OpenInChild(const std::filesystem::path& path)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        std::exit(1);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        // Resets the peak to the current resident size (Linux 4.0 on).
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKib("VmRSS");
        Measured m;
        LinuxJournalFile file;
        NotesJournal journal(file);
        const double start = CpuMs();
        const bool opened = !journal.OpenNotes(path);
        m.cpuMs = CpuMs() - start;
        m.peakKib = StatusKib("VmHWM") - before;
        m.records = opened ? journal.Records().Count() : 0;
        (void)!::write(pipeFds[1], &m, sizeof m);
        std::_Exit(0);
    }
    ::close(pipeFds[1]);
    Measured m;
    (void)!::read(pipeFds[0], &m, sizeof m);
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return m;
}

}  // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : kSampleRecords;
    char pattern[] = "/tmp/dniarz-open-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::filesystem::path dir = pattern;
    const auto big = dir / "big" / "dnz.dat";
    const auto empty = dir / "empty" / "dnz.dat";
    std::filesystem::create_directories(big.parent_path());
    std::filesystem::create_directories(empty.parent_path());
    std::ofstream(empty, std::ios::binary);
    {
        std::ofstream(big, std::ios::binary) << BuildSampleJournal(records);
    }
    const double fileMib = static_cast<double>(std::filesystem::file_size(big)) / (1 << 20);
    std::printf("journal of %d records, %.1f MiB\n", records, fileMib);
    for (int round = 1; round <= 3; ++round) {
        const Measured e = OpenInChild(empty);
        const Measured b = OpenInChild(big);
        const double aboveMib = static_cast<double>(b.peakKib - e.peakKib) / 1024;
        std::printf("round %d: empty %.2f ms CPU, peak +%ld KiB; big %.1f ms CPU, peak +%.1f MiB above the empty "
                    "one = %.2fx the file (%zu records)\n",
                    round, e.cpuMs, e.peakKib, b.cpuMs, aboveMib, aboveMib / fileMib, b.records);
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
