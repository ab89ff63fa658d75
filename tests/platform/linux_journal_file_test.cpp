// The journal file on a real file system: reads, appends, truncation and atomic replacement.
#include "platform/linux/linux_journal_file.h"

#include <iterator>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "calendar/notes_journal.h"
#include "hostile_files.h"
#include "platform/read_file.h"
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

    ASSERT_EQ(file.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
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

// The copy a pack keeps: a whole new file beside the journal, the earlier copy replaced, the
// journal and its append handle untouched; a folder where the copy would go is a failure with
// its reason.
TEST(LinuxJournalFile, ACopyIsWrittenBesideAndReplacedWhole)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    const auto copy = dir.Path() / "dnz.dat.bak";
    LinuxJournalFile file;
    std::string contents;
    ASSERT_EQ(file.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
    ASSERT_TRUE(file.Append("notes\r\n"));
    ASSERT_TRUE(file.WriteCopy(copy, "first copy, longer than the second\r\n"));
    ASSERT_TRUE(file.WriteCopy(copy, std::string("second\0\xff", 8)));
    EXPECT_EQ(ReadWholeFile(copy), std::string("second\0\xff", 8));
    ASSERT_TRUE(file.Append("more\r\n"));
    EXPECT_EQ(ReadWholeFile(path), "notes\r\nmore\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "no file left beside";

    std::filesystem::create_directory(dir.Path() / "folder.bak");
    EXPECT_FALSE(file.WriteCopy(dir.Path() / "folder.bak", "x"));
    EXPECT_FALSE(file.LastError().empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "folder.bak"));
}

TEST(LinuxJournalFile, OneWriterAtATime)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    LinuxJournalFile first, second;
    std::string contents;
    ASSERT_EQ(first.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
    ASSERT_TRUE(first.Append("saved\r\n"));
    EXPECT_EQ(second.OpenAndRead(path, contents), JournalFile::OpenStatus::HeldByAnother);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_FALSE(second.LastError().empty());
    // The replaced file is locked as well, and the lock goes with its holder.
    ASSERT_TRUE(first.Replace("packed\r\n"));
    EXPECT_EQ(second.OpenAndRead(path, contents), JournalFile::OpenStatus::HeldByAnother);
    ASSERT_TRUE(first.Append("after\r\n"));
    first.Close();
    EXPECT_EQ(second.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
    EXPECT_EQ(contents, "packed\r\nafter\r\n");
}

TEST(LinuxJournalFile, ReplacingKeepsPermissionsAndSymbolicLinks)
{
    TempDir dir;
    const auto real = dir.Path() / "sync" / "dnz.dat";
    std::filesystem::create_directory(real.parent_path());
    const auto link = dir.Path() / "dnz.dat";
    std::filesystem::create_symlink(real, link);
    LinuxJournalFile file;
    std::string contents;
    ASSERT_EQ(file.OpenAndRead(link, contents), JournalFile::OpenStatus::Ok);
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
    EXPECT_EQ(file.OpenAndRead(dir.Path() / "dnz.dat", contents), JournalFile::OpenStatus::Failed);
}

// A FIFO would block the open or the read for ever, a device such as /dev/zero would be read until
// memory runs out: both are refused at once, by the readers and by the writer alike.
TEST(LinuxJournalFile, OnlyARegularFileIsRead)
{
    TempDir dir;
    const auto fifo = dir.Path() / "fifo" / "dnz.dat";
    std::filesystem::create_directory(fifo.parent_path());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto device = dir.Path() / "device" / "dnz.dat";
    std::filesystem::create_directory(device.parent_path());
    std::filesystem::create_symlink("/dev/zero", device);
    for (const auto& path : {fifo, device}) {
        SCOPED_TRACE(path.string());
        LinuxJournalFile file;
        std::string contents;
        EXPECT_EQ(file.ReadAll(path, contents), JournalFile::ReadStatus::Failed);
        EXPECT_EQ(contents, "");
        EXPECT_EQ(file.OpenAndRead(path, contents), JournalFile::OpenStatus::Failed);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.LastError(), "to nie jest zwykły plik");
    }
}

TEST(LinuxJournalFile, AFileLargerThanAJournalCanHoldIsRefusedWithoutReading)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    ASSERT_TRUE(MakeHostileFile(path, HostileFile::Sparse, kNotesLimit));
    LinuxJournalFile file;
    std::string contents;
    EXPECT_EQ(file.ReadAll(path, contents), JournalFile::ReadStatus::Failed);
    EXPECT_EQ(file.OpenAndRead(path, contents), JournalFile::OpenStatus::TooLarge);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(contents, "");
    NotesJournal journal(file);
    const auto message = journal.OpenNotes(path);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("Plik jest za duży (ponad 1 GB)"), std::string::npos);
}

TEST(LinuxJournalFile, APackNeverWritesThroughAPlantedLink)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    const auto victim = dir.Path() / "victim";
    WriteWholeFile(victim, "do not touch");
    LinuxJournalFile file;
    std::string contents;
    ASSERT_EQ(file.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
    std::filesystem::create_symlink(victim, dir.Path() / "dnz.dat.new");
    ASSERT_TRUE(file.Replace("packed\r\n"));
    EXPECT_EQ(ReadWholeFile(victim), "do not touch");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadWholeFile(path), "packed\r\n");
    // The journal, the victim and the link: the pack's own new file is in place, nothing beside.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

TEST(LinuxJournalFile, OpeningRemovesWhatACrashedPackLeft)
{
    TempDir dir;
    const auto path = dir.Path() / "dnz.dat";
    WriteWholeFile(path, "a\r\n****\r\n");
    WriteWholeFile(dir.Path() / "dnz.dat.new", "half a pa");
    LinuxJournalFile file;
    std::string contents;
    ASSERT_EQ(file.OpenAndRead(path, contents), JournalFile::OpenStatus::Ok);
    EXPECT_EQ(contents, "a\r\n****\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "dnz.dat.new"));
    // A reader that holds no lock must leave it: it may be another copy's pack in progress.
    file.Close();
    WriteWholeFile(dir.Path() / "dnz.dat.new", "a pack going on");
    LinuxJournalFile reader;
    EXPECT_EQ(reader.ReadAll(path, contents), JournalFile::ReadStatus::Ok);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "dnz.dat.new"));
}

}  // namespace
