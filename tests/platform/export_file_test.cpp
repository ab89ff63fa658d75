// Writing a file the user named for an export, on a real file system: only a regular file or
// nothing is replaced, a refused target stays exactly as it was, and what a killed export left
// beside its target goes at the next export, while a running one's new file stays.
#include "platform/linux/linux_file_store.h"
#include "platform/linux/posix_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "temp_dir.h"

namespace {

std::size_t Entries(const std::filesystem::path& dir)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(ExportFile, OnlyARegularFileOrNothingIsReplacedAndARefusedTargetStaysAsItWas)
{
    TempDir dir;
    WriteWholeFile(dir.Path() / "real.ics", "the user's own");
    struct Row
    {
        const char* name;
        std::function<bool(const std::filesystem::path&)> make;  // false: cannot be made here
        FileProblem expected;
        std::function<void(const std::filesystem::path&)> check;  // the target afterwards
    };
    const auto isLinkToReal = [&](const std::filesystem::path& file) {
        EXPECT_TRUE(std::filesystem::is_symlink(file));
        EXPECT_EQ(ReadWholeFile(dir.Path() / "real.ics"), "the user's own");
    };
    const Row rows[] = {
        {"nothing", [](auto&) { return true; }, FileProblem::None,
         [](auto& file) { EXPECT_EQ(ReadWholeFile(file), "BEGIN:VCALENDAR"); }},
        {"regular file",
         [](auto& file) {
             WriteWholeFile(file, "old");
             return true;
         },
         FileProblem::None, [](auto& file) { EXPECT_EQ(ReadWholeFile(file), "BEGIN:VCALENDAR"); }},
        {"link to a file",
         [&](auto& file) {
             std::filesystem::create_symlink(dir.Path() / "real.ics", file);
             return true;
         },
         FileProblem::NotRegular, isLinkToReal},
        {"dangling link",
         [](auto& file) {
             std::filesystem::create_symlink("gone.ics", file);
             return true;
         },
         FileProblem::NotRegular,
         [&](auto& file) {
             EXPECT_TRUE(std::filesystem::is_symlink(file));
             EXPECT_FALSE(std::filesystem::exists(dir.Path() / "gone.ics"));
         }},
        {"FIFO", [](auto& file) { return ::mkfifo(file.c_str(), 0600) == 0; }, FileProblem::NotRegular,
         [](auto& file) { EXPECT_TRUE(std::filesystem::is_fifo(file)); }},
        // Only the superuser may make one: the null device's numbers, in the test's own folder.
        {"device", [](auto& file) { return ::mknod(file.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; },
         FileProblem::NotRegular, [](auto& file) { EXPECT_TRUE(std::filesystem::is_character_file(file)); }},
        {"folder", [](auto& file) { return std::filesystem::create_directory(file); }, FileProblem::NotRegular,
         [](auto& file) { EXPECT_TRUE(std::filesystem::is_directory(file)); }},
    };
    LinuxFileStore store;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto target = dir.Path() / "export.ics";
        std::filesystem::remove(target);
        if (!row.make(target)) {
            std::cout << "skipped: " << row.name << " cannot be made here\n";
            continue;
        }
        EXPECT_EQ(store.ExportContents(target, "BEGIN:VCALENDAR"), row.expected);
        row.check(target);
        // Nothing written beside it either.
        EXPECT_EQ(Entries(dir.Path()), 2u);
    }
}

TEST(ExportFile, AMissingFolderIsRefusedAndNotMade)
{
    TempDir dir;
    LinuxFileStore store;
    EXPECT_EQ(store.ExportContents(dir.Path() / "nie" / "ma" / "a.ics", "x"), FileProblem::NoFolder);
    EXPECT_EQ(Entries(dir.Path()), 0u);
    WriteWholeFile(dir.Path() / "plik", "not a folder");
    EXPECT_EQ(store.ExportContents(dir.Path() / "plik" / "a.ics", "x"), FileProblem::NoFolder);
    EXPECT_EQ(ReadWholeFile(dir.Path() / "plik"), "not a folder");
}

TEST(ExportFile, AKilledExportsNewFileGoesAtTheNextExportAndNothingElseDoes)
{
    TempDir dir;
    const auto target = dir.Path() / "a.ics";
    WriteWholeFile(dir.Path() / "a.ics.new.K1lled", std::string(100000, 'x'));
    // A running export's new file: it holds the lock.
    WriteWholeFile(dir.Path() / "a.ics.new.Runnin", "in progress");
    const int running = ::open((dir.Path() / "a.ics.new.Runnin").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(running, 0);
    ASSERT_EQ(::flock(running, LOCK_EX | LOCK_NB), 0);
    // Not of this target's pattern, or no regular file.
    for (const char* name : {"a.ics.new.toolong", "a.ics.newer", "b.ics.new.a1B2c3", "a.ics.new"})
        WriteWholeFile(dir.Path() / name, "someone else's");
    std::filesystem::create_symlink("b.ics.new.a1B2c3", dir.Path() / "a.ics.new.LINK01");
    ASSERT_EQ(::mkfifo((dir.Path() / "a.ics.new.FIFO01").c_str(), 0600), 0);

    LinuxFileStore store;
    ASSERT_EQ(store.ExportContents(target, "BEGIN:VCALENDAR"), FileProblem::None);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "a.ics.new.K1lled"));
    EXPECT_EQ(ReadWholeFile(dir.Path() / "a.ics.new.Runnin"), "in progress");
    for (const char* name : {"a.ics.new.toolong", "a.ics.newer", "b.ics.new.a1B2c3", "a.ics.new"})
        EXPECT_EQ(ReadWholeFile(dir.Path() / name), "someone else's") << name;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "a.ics.new.LINK01"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.Path() / "a.ics.new.FIFO01"));
    EXPECT_EQ(ReadWholeFile(target), "BEGIN:VCALENDAR");
    EXPECT_EQ(Entries(dir.Path()), 8u);
    ::close(running);
}

}  // namespace
