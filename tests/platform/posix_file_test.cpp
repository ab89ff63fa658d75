// Replacing a file where it really lives, and reading only regular files, on a real file system.
#include "platform/linux/posix_file.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

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

TEST(PosixFile, AFailedReplacementLeavesTheOldFileAndNothingBeside)
{
    TempDir dir;
    const auto file = dir.Path() / "file";
    WriteWholeFile(file, "old");
    // A folder under the new file's name cannot be removed as a stale file, nor written.
    std::filesystem::create_directories(dir.Path() / "file.new" / "inside");
    EXPECT_TRUE(ReplaceFileContents(file, "new"));
    EXPECT_EQ(ReadWholeFile(file), "old");
    std::filesystem::remove_all(dir.Path() / "file.new");

    // A stale new file, as a crash leaves it, is replaced and gone afterwards.
    WriteWholeFile(dir.Path() / "file.new", "half");
    ASSERT_FALSE(ReplaceFileContents(file, "new"));
    EXPECT_EQ(ReadWholeFile(file), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(PosixFile, ReadsRegularFilesOnly)
{
    TempDir dir;
    std::string contents = "stale";
    EXPECT_EQ(ReadRegularFile(dir.Path() / "missing", contents), std::errc::no_such_file_or_directory);
    EXPECT_EQ(contents, "");
    WriteWholeFile(dir.Path() / "file", std::string("a\0b", 3));
    ASSERT_FALSE(ReadRegularFile(dir.Path() / "file", contents));
    EXPECT_EQ(contents, std::string("a\0b", 3));
    EXPECT_EQ(ReadRegularFile(dir.Path(), contents), std::errc::invalid_argument);
    EXPECT_EQ(ReadRegularFile("/dev/zero", contents), std::errc::invalid_argument);
    EXPECT_EQ(contents, "");
}

}  // namespace
