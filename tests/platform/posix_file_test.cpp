// Replacing a file where it really lives, and reading only regular files, on a real file system.
#include "platform/linux/posix_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "hostile_files.h"
#include "platform/read_file.h"
#include "temp_dir.h"

#include <sys/resource.h>
#include <sys/wait.h>

namespace {

TEST(PosixFile, ReplacingFollowsRelativeChainedAndDanglingLinks)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "real");
    WriteWholeFile(dir.Path() / "real" / "file", "old");
    // file -> hop -> real/file, the last link relative to its own folder.
    std::filesystem::create_symlink("real/file", dir.Path() / "hop");
    std::filesystem::create_symlink("hop", dir.Path() / "file");
    ASSERT_FALSE(ReplaceFileContents(dir.Path() / "file", "new"));
    EXPECT_EQ(ReadWholeFile(dir.Path() / "real" / "file"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "file"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "hop"));

    // A link whose file is gone still says where the file belongs.
    std::filesystem::create_symlink("real/later", dir.Path() / "dangling");
    ASSERT_FALSE(ReplaceFileContents(dir.Path() / "dangling", "first"));
    EXPECT_EQ(ReadWholeFile(dir.Path() / "real" / "later"), "first");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "dangling"));
}

TEST(PosixFile, AFailedReplacementLeavesNothingBesideAndOnlyTheJournalClearsCrashLeftovers)
{
    TempDir dir;
    const auto target = dir.Path() / "file";
    // A folder in the target's place: the new file is written but cannot be renamed over it.
    std::filesystem::create_directories(target / "inside");
    EXPECT_TRUE(ReplaceFileContents(target, "new"));
    EXPECT_TRUE(std::filesystem::is_directory(target / "inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    std::filesystem::remove_all(target);

    // What crashes left beside the file stays for others (it may be a writer's in progress) and is
    // cleared only by the one who knows itself alone.
    for (const char* name : {"file.new", "file.new.a1B2c3", "file.new.toolong", "file.newer", "other.new.a1B2c3"})
        WriteWholeFile(dir.Path() / name, "half");
    ASSERT_FALSE(ReplaceFileContents(target, "new"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 6);
    RemoveStaleReplacements(target);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "file.new"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "file.new.a1B2c3"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 4);
    EXPECT_EQ(ReadWholeFile(target), "new");
}

// Another writer's new file (or anything planted) under the name drawn is never opened: the
// replacement draws again, or fails cleanly once every draw is taken, and the file already there
// keeps its bytes and its name.
TEST(PosixFile, ANameAlreadyTakenBesideTheTargetIsNeverWrittenThrough)
{
    TempDir dir;
    const auto target = dir.Path() / "file";
    WriteWholeFile(target, "old");
    const auto taken = dir.Path() / "file.new.TAKEN1";
    WriteWholeFile(taken, "another writer's");
    std::filesystem::create_symlink("elsewhere", dir.Path() / "file.new.LINK01");

    std::vector<std::string> draws = {"TAKEN1", "LINK01", "FREE01"};
    std::size_t next = 0;
    FileReplacement replacement(target, [&] { return draws[std::min(next++, draws.size() - 1)]; });
    ASSERT_FALSE(replacement.Begin());
    ASSERT_FALSE(replacement.Write("new"));
    ASSERT_FALSE(replacement.Commit());
    EXPECT_EQ(next, 3u);
    EXPECT_EQ(ReadWholeFile(target), "new");
    EXPECT_EQ(ReadWholeFile(taken), "another writer's");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "file.new.LINK01"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "elsewhere"));

    // Every draw taken: an error, the target as it was, nothing left behind.
    {
        FileReplacement stuck(target, [] { return std::string("TAKEN1"); });
        EXPECT_EQ(stuck.Begin(), std::make_error_code(std::errc::file_exists));
        EXPECT_TRUE(stuck.Write("lost"));
        EXPECT_TRUE(stuck.Commit());
    }
    EXPECT_EQ(ReadWholeFile(target), "new");
    EXPECT_EQ(ReadWholeFile(taken), "another writer's");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

TEST(PosixFile, TwoWritersOfOneFileEachLandWholeAndAReaderSeesOnlyWholeFiles)
{
    TempDir dir;
    const auto target = dir.Path() / "shared";
    // Each writer's versions are whole when they end in their own mark; lengths differ, so that a
    // short or mixed file shows.
    auto version = [](char writer, int i) { return std::string(100 + i % 50, writer) + std::to_string(i) + '$'; };
    auto whole = [](const std::string& text) {
        if (text.size() < 102 || text.back() != '$')
            return false;
        const std::size_t letters = text.find_first_not_of(text[0]);
        const std::string digits = text.substr(letters, text.size() - 1 - letters);
        if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        return letters == static_cast<std::size_t>(100 + std::stoi(digits) % 50);
    };
    ASSERT_FALSE(ReplaceFileContents(target, version('a', 0)));
    constexpr int kWrites = 150;
    std::atomic<int> failures{0}, writersDone{0}, reads{0}, bad{0};
    std::string badSample;
    auto writer = [&](char who) {
        for (int i = 1; i <= kWrites; ++i)
            if (ReplaceFileContents(target, version(who, i)))
                ++failures;
        ++writersDone;
    };
    std::thread reader([&] {
        while (writersDone.load() < 2) {
            std::string text;
            if (ReadFileSafely(target, kRichTextLimit, text) || !whole(text)) {
                if (bad++ == 0)
                    badSample = text;
            }
            ++reads;
        }
    });
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    reader.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(bad.load(), 0) << "for instance: '" << badSample << "'";
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(ReadFileSafely, ReadsRegularFilesWithinTheLimitOnly)
{
    TempDir dir;
    std::string contents = "stale";
    EXPECT_EQ(ReadFileSafely(dir.Path() / "missing", 10, contents), std::errc::no_such_file_or_directory);
    EXPECT_EQ(contents, "");
    WriteWholeFile(dir.Path() / "file", std::string("a\0b", 3));
    ASSERT_FALSE(ReadFileSafely(dir.Path() / "file", 3, contents));
    EXPECT_EQ(contents, std::string("a\0b", 3));
    EXPECT_EQ(ReadFileSafely(dir.Path() / "file", 2, contents), std::errc::file_too_large);
    EXPECT_EQ(contents, "");
    EXPECT_EQ(ReadFileSafely(dir.Path(), 10, contents), std::errc::invalid_argument);
    const auto file = dir.Path() / "hostile";
    for (HostileFile kind : kHostileFiles) {
        SCOPED_TRACE(Name(kind));
        ASSERT_TRUE(MakeHostileFile(file, kind, kNotesLimit));
        contents = "stale";
        EXPECT_EQ(ReadFileSafely(file, kNotesLimit, contents),
                  kind == HostileFile::Sparse ? std::errc::file_too_large : std::errc::invalid_argument);
        EXPECT_EQ(contents, "");
    }
    EXPECT_EQ(ReadFailureText(std::make_error_code(std::errc::file_too_large)), "plik jest większy niż dopuszczalny");
}

TEST(ReadFileSafely, FilesAroundAndAcrossItsReadBufferComeWhole)
{
    TempDir dir;
    // The reader goes through a buffer of 64 KiB: sizes just below, at and above its multiples.
    for (const std::size_t size :
         {std::size_t{1}, std::size_t{65535}, std::size_t{65536}, std::size_t{65537}, std::size_t{3 * 65536 + 7}}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>((i * 131 + i / 65536) % 251);
        WriteWholeFile(dir.Path() / "file", bytes);
        std::string contents = "stale";
        ASSERT_FALSE(ReadFileSafely(dir.Path() / "file", kNotesLimit, contents));
        EXPECT_TRUE(contents == bytes);
    }
}

TEST(ReadFileSafely, NoMemoryForAFileIsAFailureNotAnAbort)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory needs more address space than the limit";
#endif
    TempDir dir;
    const auto file = dir.Path() / "big";
    ASSERT_TRUE(MakeHostileFile(file, HostileFile::Sparse, 1ULL << 30));
    // Under an address-space limit the buffer cannot be had; the read must say so and go on.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{512ULL << 20, 512ULL << 20};
        ::setrlimit(RLIMIT_AS, &limit);
        std::string contents;
        const std::error_code error = ReadFileSafely(file, 2ULL << 30, contents);
        ::_exit(error == std::errc::not_enough_memory ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the reader aborted";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
