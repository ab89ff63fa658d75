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
