// A process that saves and packs notes is killed at random moments (TerminateProcess, which gives
// it no chance to tidy up); after every kill the journal must open and hold every record whose
// save had returned. The same test as on Linux, through the Win32 file calls.
#include <windows.h>

#include <chrono>
#include <random>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "calendar/notes_journal.h"
#include "journal_saves.h"
#include "platform/program_dir.h"
#include "platform/windows/windows_journal_file.h"
#include "win_temp_dir.h"

TEST(JournalCrash, EveryConfirmedSaveSurvivesAKill)
{
    constexpr int kKills = 12;
    WinTempDir dir;
    const auto path = dir.Path() / L"dnz.dat";
    const auto saver = ExecutableDir() / L"journal_saver.exe";
    std::mt19937 rng(20261207);
    std::vector<std::set<int>> confirmed(kKills);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    int runs = 0;
    for (int run = 0; run < kKills && std::chrono::steady_clock::now() < deadline; ++run, ++runs) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 20));
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::wstring command = L"\"" + saver.wstring() + L"\" \"" + path.wstring() + L"\" " + std::to_wstring(run);
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(CreateProcessW(saver.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                   &child));
        CloseHandle(writeEnd);
        // Starting a process takes Wine a good part of a second; the kill must fall among the saves.
        std::this_thread::sleep_for(std::chrono::milliseconds(700 + rng() % 800));
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD exitCode = 0;
        GetExitCodeProcess(child.hProcess, &exitCode);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
        ASSERT_TRUE(exitCode == 9 || exitCode == 0) << "run " << run << " ended with " << exitCode;
        int save = 0;
        DWORD got = 0;
        while (ReadFile(readEnd, &save, sizeof save, &got, nullptr) && got == sizeof save)
            confirmed[run].insert(save);
        CloseHandle(readEnd);

        WindowsJournalFile file;
        NotesJournal journal(file);
        ASSERT_EQ(journal.OpenNotes(path), std::nullopt) << "run " << run;
        for (int r = 0; r <= run; ++r)
            for (const int s : confirmed[r])
                ASSERT_EQ(journal.FindNote(DateKey(DateOfSave(r, s))).text, TextOfSave(r, s)) << r << '/' << s;
    }
    std::size_t total = 0;
    for (const auto& saves : confirmed)
        total += saves.size();
    // Without packs among the kills the test would prove little about the replacement.
    EXPECT_GT(total, static_cast<std::size_t>(10 * kPackEvery));
    RecordProperty("confirmed_saves", static_cast<int>(total));
    RecordProperty("kills", runs);
}
