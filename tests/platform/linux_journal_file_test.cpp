// The journal file on a real file system: reads, appends, truncation and atomic replacement.
#include "platform/linux/linux_journal_file.h"

#include <iterator>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace {

TEST(LinuxJournalFile, ReadsAppendsTruncatesAndReplaces)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    LinuxJournalFile file;
    std::string contents = "stale";
    EXPECT_EQ(file.ReadAll(path, contents), JournalFile::ReadStatus::Missing);
    EXPECT_EQ(contents, "");

    ASSERT_TRUE(file.OpenForAppend(path));
    EXPECT_TRUE(std::filesystem::exists(path));
    ASSERT_TRUE(file.Append("abc\r\n"));
    ASSERT_TRUE(file.Append(std::string("\0\xff", 2)));
    ASSERT_TRUE(file.Sync());
    EXPECT_EQ(file.ReadAll(path, contents), JournalFile::ReadStatus::Ok);
    EXPECT_EQ(contents, std::string("abc\r\n\0\xff", 7));

    ASSERT_TRUE(file.Truncate(3));
    ASSERT_TRUE(file.Append("d"));
    EXPECT_EQ(ReadWholeFile(path), "abcd");

    ASSERT_TRUE(file.Replace("packed\r\n"));
    ASSERT_TRUE(file.Append("after"));  // the handle follows the new file
    EXPECT_EQ(ReadWholeFile(path), "packed\r\nafter");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no file left beside";
    file.Close();
    EXPECT_FALSE(file.Append("x"));
}

TEST(LinuxJournalFile, OneWriterAtATime)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    LinuxJournalFile first, second;
    ASSERT_TRUE(first.OpenForAppend(path));
    EXPECT_FALSE(second.OpenForAppend(path));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_FALSE(second.LastError().empty());
    // The replaced file is locked as well, and the lock goes with its holder.
    ASSERT_TRUE(first.Replace("packed\r\n"));
    EXPECT_FALSE(second.OpenForAppend(path));
    first.Close();
    EXPECT_TRUE(second.OpenForAppend(path));
}

TEST(LinuxJournalFile, ReplacingKeepsPermissionsAndSymbolicLinks)
{
    TempDir dir;
    const auto real = dir.Path() / "sync" / "dnz.dat";
    std::filesystem::create_directory(real.parent_path());
    const auto link = dir.Path() / "dnz.dat";
    std::filesystem::create_symlink(real, link);
    LinuxJournalFile file;
    ASSERT_TRUE(file.OpenForAppend(link));
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_TRUE(file.Replace("packed\r\n"));
    ASSERT_TRUE(file.Append("after"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadWholeFile(real), "packed\r\nafter");
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(LinuxJournalFile, AFolderInPlaceOfTheFileIsAReadFailure)
{
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "dnz.dat");
    LinuxJournalFile file;
    std::string contents;
    EXPECT_EQ(file.ReadAll(dir.Path() / "dnz.dat", contents), JournalFile::ReadStatus::Failed);
    EXPECT_FALSE(file.LastError().empty());
    EXPECT_FALSE(file.OpenForAppend(dir.Path() / "dnz.dat"));
}

} // namespace
