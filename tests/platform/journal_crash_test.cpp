// A process that saves and packs notes is killed at random moments, many times; after every kill
// the journal must open and hold every record whose save had returned.
#include <chrono>
#include <random>
#include <set>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"
#include "platform/linux/linux_journal_file.h"
#include "temp_dir.h"

namespace {

constexpr int kKills = 40;
constexpr int kMaxSavesPerRun = 4000;
constexpr int kPackEvery = 3;

// Each run writes its own dates, so a confirmed record can never be hidden by a later one.
TDateTime DateOfSave(int run, int save)
{
    return EncodeDate(2000, 1, 1) + run * kMaxSavesPerRun + save;
}

std::string TextOfSave(int run, int save)
{
    return "zapis " + std::to_string(run) + "/" + std::to_string(save) + "\r\nżółw";
}

// The child: saves and packs until it is killed, reporting every save that returned.
[[noreturn]] void SaveUntilKilled(const std::filesystem::path& path, int run, int confirmFd)
{
    LinuxJournalFile file;
    NotesJournal journal(file);
    if (journal.OpenNotes(path))
        ::_exit(3);
    for (int save = 0; save < kMaxSavesPerRun; ++save) {
        journal.AppendRecord(DateKey(DateOfSave(run, save)), TextOfSave(run, save), EncodeDate(2024, 3, 10));
        journal.Flush();
        if (::write(confirmFd, &save, sizeof save) != sizeof save)
            ::_exit(4);
        if (save % kPackEvery == kPackEvery - 1)
            journal.PurgeAndPackNotes(0);
    }
    ::_exit(0);
}

TEST(JournalCrash, EveryConfirmedSaveSurvivesAKill)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    std::mt19937 rng(20261207);
    std::vector<std::set<int>> confirmed(kKills);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (int run = 0; run < kKills && std::chrono::steady_clock::now() < deadline; ++run) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            SaveUntilKilled(path, run, fds[1]);
        }
        ::close(fds[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + rng() % 100000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "run " << run;
        int save = 0;
        while (::read(fds[0], &save, sizeof save) == sizeof save)
            confirmed[run].insert(save);
        ::close(fds[0]);

        LinuxJournalFile file;
        NotesJournal journal(file);
        ASSERT_EQ(journal.OpenNotes(path), std::nullopt) << "run " << run;
        for (int r = 0; r <= run; ++r) {
            for (const int s : confirmed[r])
                ASSERT_EQ(journal.FindNote(DateKey(DateOfSave(r, s))).text, TextOfSave(r, s)) << r << '/' << s;
        }
    }
    std::size_t total = 0;
    for (const auto& saves : confirmed)
        total += saves.size();
    // Without packs among the kills the test would prove little about the replacement.
    EXPECT_GT(total, static_cast<std::size_t>(10 * kPackEvery));
    RecordProperty("confirmed_saves", static_cast<int>(total));
}

}  // namespace
