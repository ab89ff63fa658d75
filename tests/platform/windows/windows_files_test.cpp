// Files through the Win32 calls: the guarantees the Linux file layer gives, on paths in Polish
// letters and Cyrillic.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "platform/read_file.h"
#include "platform/windows/windows_file.h"
#include "platform/windows/windows_file_store.h"
#include "platform/windows/windows_journal_file.h"
#include "win_temp_dir.h"

namespace {

// The files in `dir` besides `keep`: what replacements left behind.
std::size_t Leftovers(const std::filesystem::path& dir, const std::filesystem::path& keep)
{
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        count += entry.path() != keep;
    return count;
}

std::string Slurp(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(WindowsFileStore, ReplacesWholeFilesAndReadsOnlyRegularOnes)
{
    WinTempDir dir;
    WindowsFileStore store;
    const auto file = dir.Path() / L"podfolder żółw" / L"kontakty.rtf";
    EXPECT_EQ(store.ReadContents(file), std::nullopt);
    ASSERT_TRUE(store.ReplaceContents(file, "pierwsza"));
    ASSERT_TRUE(store.ReplaceContents(file, std::string("druga\0\r\n", 8)));
    EXPECT_EQ(store.ReadContents(file), std::string("druga\0\r\n", 8));
    EXPECT_EQ(Leftovers(file.parent_path(), file), 0u);
    EXPECT_EQ(store.Read(file, 4).status, FileRead::Status::Failed);  // beyond its limit
    // A folder, a device or a pipe under the name is neither read nor written through.
    EXPECT_EQ(store.ReadContents(dir.Path()), std::nullopt);
    EXPECT_FALSE(store.ReplaceContents(dir.Path() / L"podfolder żółw", "x"));
    EXPECT_EQ(store.ReadContents(L"NUL"), std::nullopt);
    EXPECT_EQ(store.ReadContents(dir.Path() / L"CON"), std::nullopt);
    const HANDLE pipe = CreateNamedPipeW(L"\\\\.\\pipe\\dniarz-test-pipe", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 0, 0,
                                         0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    std::string contents;
    EXPECT_EQ(ReadFileSafely(L"\\\\.\\pipe\\dniarz-test-pipe", kSmallFileLimit, contents), std::errc::invalid_argument);
    CloseHandle(pipe);
}

TEST(WindowsFileStore, WhatIsPlantedBesideTheFileIsNeverWrittenThrough)
{
    WinTempDir dir;
    const auto file = dir.Path() / L"tel.rtf";
    // A folder and a file under the names a replacement might have chosen are left alone.
    std::filesystem::create_directory(dir.Path() / L"tel.rtf.new");
    std::ofstream(dir.Path() / L"tel.rtf.new.abcdef", std::ios::binary) << "cudze";
    ASSERT_FALSE(ReplaceFileContents(file, "nowe"));
    EXPECT_EQ(Slurp(file), "nowe");
    EXPECT_EQ(Slurp(dir.Path() / L"tel.rtf.new.abcdef"), "cudze");
    // A name that is taken is not given away.
    WindowsFileStore store;
    const auto aside = dir.Path() / L"tel.rtf.bak";
    EXPECT_TRUE(store.RenameToFreeName(file, aside));
    EXPECT_EQ(Slurp(aside), "nowe");
    std::ofstream(file, std::ios::binary) << "inne";
    EXPECT_FALSE(store.RenameToFreeName(file, aside));
    EXPECT_EQ(Slurp(aside), "nowe");
    EXPECT_EQ(Slurp(file), "inne");
}

// The name drawn for the new file already held by another writer's file: the replacement draws
// again, or fails cleanly once every draw is taken, and that file keeps its bytes.
TEST(WindowsFileStore, ANameAlreadyTakenBesideTheTargetIsNeverWrittenThrough)
{
    WinTempDir dir;
    const auto file = dir.Path() / L"tel.rtf";
    std::ofstream(file, std::ios::binary) << "stare";
    const auto taken = dir.Path() / L"tel.rtf.new.ZAJETE";
    std::ofstream(taken, std::ios::binary) << "cudze";
    int draws = 0;
    {
        FileReplacement replacement(file, [&] { return ++draws == 1 ? std::wstring(L"ZAJETE") : L"WOLNE1"; });
        ASSERT_FALSE(replacement.Begin());
        ASSERT_FALSE(replacement.Write("nowe"));
        ASSERT_FALSE(replacement.Commit());
    }
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(Slurp(file), "nowe");
    EXPECT_EQ(Slurp(taken), "cudze");
    {
        FileReplacement stuck(file, [] { return std::wstring(L"ZAJETE"); });
        EXPECT_TRUE(stuck.Begin());
    }
    EXPECT_EQ(Slurp(file), "nowe");
    EXPECT_EQ(Slurp(taken), "cudze");
    EXPECT_EQ(Leftovers(dir.Path(), file), 1u);
}

TEST(WindowsJournalFile, OneWriterAppendsTruncatesAndReplacesUnderItsLock)
{
    WinTempDir dir;
    const auto path = dir.Path() / L"notatki Дняр.dat";
    WindowsJournalFile journal;
    std::string contents;
    EXPECT_EQ(journal.ReadAll(path, contents), JournalFile::ReadStatus::Missing);
    ASSERT_EQ(journal.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
    EXPECT_TRUE(contents.empty());
    EXPECT_TRUE(journal.Append("jeden\n"));
    EXPECT_TRUE(journal.Append("dwa\n"));
    EXPECT_TRUE(journal.Sync());
    EXPECT_TRUE(journal.Truncate(6));
    EXPECT_TRUE(journal.Append("trzy\n"));
    EXPECT_EQ(Slurp(path), "jeden\ntrzy\n");

    // A second copy is refused while the first holds the file; readers are not.
    WindowsJournalFile second;
    std::string seen;
    EXPECT_EQ(second.OpenAndRead(path, seen), JournalFile::OpenStatus::HeldByAnother);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.ReadAll(path, seen), JournalFile::ReadStatus::Ok);
    EXPECT_EQ(seen, "jeden\ntrzy\n");

    // After a pack the append handle writes into the new file, and the lock came along with it.
    ASSERT_TRUE(journal.Replace("spakowane\n"));
    EXPECT_TRUE(journal.Append("cztery\n"));
    EXPECT_EQ(Slurp(path), "spakowane\ncztery\n");
    EXPECT_EQ(Leftovers(dir.Path(), path), 0u);
    EXPECT_EQ(second.OpenAndRead(path, seen), JournalFile::OpenStatus::HeldByAnother);

    journal.Close();
    EXPECT_FALSE(journal.Append("x"));
    EXPECT_EQ(second.OpenAndRead(path, seen), JournalFile::OpenStatus::Ok);
    EXPECT_EQ(seen, "spakowane\ncztery\n");
}

TEST(WindowsJournalFile, ARegularFileOnlyAndTheCrashLeftoverGoes)
{
    WinTempDir dir;
    WindowsJournalFile journal;
    std::string contents;
    EXPECT_EQ(journal.OpenAndRead(dir.Path(), contents), JournalFile::OpenStatus::Failed);
    EXPECT_EQ(journal.OpenAndRead(L"NUL", contents), JournalFile::OpenStatus::Failed);
    EXPECT_EQ(journal.LastError(), "to nie jest zwykły plik");
    EXPECT_EQ(journal.ReadAll(dir.Path(), contents), JournalFile::ReadStatus::Failed);

    const auto path = dir.Path() / L"dnz.dat";
    std::ofstream(path, std::ios::binary) << "stare\n";
    std::ofstream(dir.Path() / L"dnz.dat.new", std::ios::binary) << "połowa pakowania";
    std::ofstream(dir.Path() / L"dnz.dat.new.Xy12Zq", std::ios::binary) << "połowa innego";
    ASSERT_EQ(journal.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
    EXPECT_EQ(contents, "stare\n");
    // The lock holder alone may clear what crashed packs left.
    EXPECT_EQ(Leftovers(dir.Path(), path), 0u);
}

// An export writes a regular file or nothing: a folder, a device name or a link under the name is
// refused and stays, a missing folder is not made, and a killed export's new file goes while a
// running one's (held open) stays.
TEST(WindowsFileStore, AnExportReplacesOnlyARegularFileOrNothing)
{
    WinTempDir dir;
    WindowsFileStore store;
    const auto file = dir.Path() / L"kalendarz żółw.ics";
    EXPECT_EQ(store.ExportContents(file, "pierwszy"), FileProblem::None);
    EXPECT_EQ(store.ExportContents(file, "drugi"), FileProblem::None);
    EXPECT_EQ(Slurp(file), "drugi");

    std::filesystem::create_directory(dir.Path() / L"folder.ics");
    EXPECT_EQ(store.ExportContents(dir.Path() / L"folder.ics", "x"), FileProblem::NotRegular);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / L"folder.ics"));
    EXPECT_EQ(store.ExportContents(L"NUL", "x"), FileProblem::NotRegular);
    // Only where this user may make links (Windows asks for a privilege or developer mode) and
    // the system shows them as links: Wine 8 keeps them as Unix links that its calls see through.
    const auto link = dir.Path() / L"link.ics";
    const bool linked = CreateSymbolicLinkW(link.c_str(), file.c_str(), 0);
    const DWORD linkAttributes = GetFileAttributesW(link.c_str());
    if (linked && linkAttributes != INVALID_FILE_ATTRIBUTES && (linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        EXPECT_EQ(store.ExportContents(link, "x"), FileProblem::NotRegular);
        EXPECT_EQ(Slurp(file), "drugi");
    }
    EXPECT_EQ(store.ExportContents(dir.Path() / L"brak" / L"a.ics", "x"), FileProblem::NoFolder);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / L"brak"));

    std::ofstream(dir.Path() / L"kalendarz żółw.ics.new.Zabity", std::ios::binary) << "połowa";
    const auto running = dir.Path() / L"kalendarz żółw.ics.new.Trwa01";
    std::ofstream(running, std::ios::binary) << "w toku";
    const HANDLE held = CreateFileW(running.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::ofstream(dir.Path() / L"kalendarz żółw.ics.new.zadlugie", std::ios::binary) << "cudze";
    EXPECT_EQ(store.ExportContents(file, "trzeci"), FileProblem::None);
    CloseHandle(held);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / L"kalendarz żółw.ics.new.Zabity"));
    EXPECT_EQ(Slurp(running), "w toku");
    EXPECT_EQ(Slurp(dir.Path() / L"kalendarz żółw.ics.new.zadlugie"), "cudze");
    EXPECT_EQ(Slurp(file), "trzeci");
}
