// The "dnz.dat" journal: byte-exact reading and writing, newest-wins lookups, the marks of a
// month, purge and pack, and what failures of the file leave behind.
#include "calendar/notes_journal.h"

#include <gtest/gtest.h>

#include "notes_test_support.h"

namespace {

class NotesJournalTest : public ::testing::Test, public NotesFixture
{
};

TEST_F(NotesJournalTest, ReadsHandBuiltFilesRecordByRecord)
{
    struct Row
    {
        const char* name;
        std::string file;
        std::vector<std::string> records;
    };
    const Row rows[] = {
        {"one line",
         "2024.01.05\r\n2024.01.04  20:15\r\nurodziny\r\n****\r\n",
         {"2024.01.05\r\n2024.01.04  20:15\r\nurodziny"}},
        {"two lines",
         "2024.01.05\r\n2024.01.04  20:15\r\na\r\nb\r\n****\r\n",
         {"2024.01.05\r\n2024.01.04  20:15\r\na\r\nb"}},
        {"empty text", "2024.01.05\r\n2024.01.04  20:15\r\n****\r\n", {"2024.01.05\r\n2024.01.04  20:15"}},
        {"text ending in an empty line",
         "2024.01.05\r\n2024.01.04  20:15\r\na\r\n\r\n****\r\n",
         {"2024.01.05\r\n2024.01.04  20:15\r\na\r\n"}},
        {"five asterisks stay text",
         "    .12.24\r\n2024.01.04  20:15\r\n*****\r\n****\r\n",
         {"    .12.24\r\n2024.01.04  20:15\r\n*****"}},
        {"lines after the last terminator",
         "2024.01.05\r\nt\r\nx\r\n****\r\n2024.01.06\r\nt\r\ncut sh",
         {"2024.01.05\r\nt\r\nx"}},
        {"two terminators in a row", "2024.01.05\r\nt\r\nx\r\n****\r\n****\r\n", {"2024.01.05\r\nt\r\nx", ""}},
        {"record without a second line", "2024.01.05\r\n****\r\n", {"2024.01.05"}},
        {"a lone empty line", "\r\n****\r\n", {"\r\n"}},
        {"LF line ends and a bare last terminator", "2024.01.05\nt\nx\n****", {"2024.01.05\r\nt\r\nx"}},
        {"CR line ends",
         "2024.01.05\rt\rx\r****\r2024.01.06\rt\r\r****\r",
         {"2024.01.05\r\nt\r\nx", "2024.01.06\r\nt\r\n"}},
        {"Windows-1250 letters",
         "2024.01.05\r\nt\r\n\xbf\xf3\xb3w \x9c\x9f\r\n****\r\n",
         {"2024.01.05\r\nt\r\nżółw śź"}},
        {"empty file", "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const JournalRecords records = JournalRecords::Parse(row.file).records;
        ASSERT_EQ(records.Count(), row.records.size());
        for (std::size_t i = 0; i < row.records.size(); ++i)
            EXPECT_EQ(records.Record(i), row.records[i]) << "record " << i;
    }
}

TEST(NotesRecord, AccessorsSplitKeyTimestampAndText)
{
    struct Row
    {
        std::string record, key, timestamp, text;
    };
    const Row rows[] = {
        {"2024.01.05\r\n2024.01.04  20:15\r\na\r\nb", "2024.01.05", "2024.01.04  20:15", "a\r\nb"},
        {"2024.01.05\r\n2024.01.04  20:15", "2024.01.05", "", ""},
        {"2024.01.05\r\n2024.01.04  20:15\r\n", "2024.01.05", "2024.01.04  20:15", ""},
        {"2024.01.05", "2024.01.05", "", ""},
        {"", "", "", ""},
        {"ąęćłńóśźżĄ-rest", "ąęćłńóśźżĄ", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.record);
        EXPECT_EQ(RecordKey(row.record), row.key);
        EXPECT_EQ(RecordTimestamp(row.record), row.timestamp);
        EXPECT_EQ(RecordText(row.record), row.text);
    }
}

TEST_F(NotesJournalTest, WritesRecordsByteForByte)
{
    struct Row
    {
        const char* name;
        std::string key, text, bytes;
    };
    const Row rows[] = {
        {"one line", "2024.12.24", "Wigilia", "2024.12.24\r\n2024.03.10  14:05\r\nWigilia\r\n****\r\n"},
        {"deletion", "2024.12.24", "", "2024.12.24\r\n2024.03.10  14:05\r\n****\r\n"},
        {"yearly", "    .12.24", "a\nb", "    .12.24\r\n2024.03.10  14:05\r\na\r\nb\r\n****\r\n"},
        {"terminator line escaped", "2024.12.24", "x\r\n****\r\ny",
         "2024.12.24\r\n2024.03.10  14:05\r\nx\r\n*****\r\ny\r\n****\r\n"},
        {"trailing line end kept", "2024.12.24", "x\r\n", "2024.12.24\r\n2024.03.10  14:05\r\nx\r\n\r\n****\r\n"},
        {"Polish letters", "2024.12.24", "Żółć", "2024.12.24\r\n2024.03.10  14:05\r\n\xaf\xf3\xb3\xe6\r\n****\r\n"},
        {"characters the code page lacks", "2024.12.24", "€ ✓ 🎄",
         "2024.12.24\r\n2024.03.10  14:05\r\n\x80 ? ?\r\n****\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenWith("");
        Save(row.key, row.text);
        EXPECT_EQ(Bytes(), row.bytes);
    }
}

TEST_F(NotesJournalTest, ReadingBackGivesTheRecordsThatWereAppended)
{
    OpenWith("");
    Save("2024.01.05", "a\r\nb");
    Save("    .01.05", "coroczna\r\n");
    Save("2024.01.06", "");
    const std::vector<std::string> inMemory = {std::string(journal.Records().Record(0)),
                                               std::string(journal.Records().Record(1))};
    Open();
    ASSERT_EQ(journal.Records().Count(), 3u);
    EXPECT_EQ(journal.Records().Record(0), inMemory[0]);
    EXPECT_EQ(journal.Records().Record(1), inMemory[1]);
    // A deletion comes back without the line end after its timestamp, so its timestamp is empty.
    EXPECT_EQ(journal.Records().Record(2), "2024.01.06\r\n2024.03.10  14:05");
}

TEST_F(NotesJournalTest, NewestRecordWinsAndAnEmptyOneDeletes)
{
    OpenWith("2024.01.05\r\n2024.01.01  10:00\r\npierwsza\r\n****\r\n"
             "2024.01.05\r\n2024.01.02  11:30\r\ndruga\r\n****\r\n"
             "2024.01.07\r\n2024.01.01  10:00\r\nzostaje\r\n****\r\n");
    EXPECT_EQ(journal.FindNote("2024.01.05").text, "druga");
    EXPECT_EQ(journal.FindNote("2024.01.05").timestamp, "2024.01.02  11:30");
    EXPECT_EQ(journal.FindNote("2024.01.06").text, "");
    EXPECT_EQ(journal.FindNote("2024.01.06").timestamp, "");

    Save("2024.01.05", "");
    Open();
    EXPECT_EQ(journal.Records().Count(), 4u);
    EXPECT_EQ(journal.FindNote("2024.01.05").text, "");
    EXPECT_EQ(journal.MarkedDayKeys(2024, 1), std::vector<std::string>{"2024.01.07"});
}

TEST_F(NotesJournalTest, MarksOfAMonthTakeDateAndYearlyKeys)
{
    OpenWith("2024.12.24\r\nt\r\nWigilia\r\n****\r\n"
             "    .12.24\r\nt\r\nco roku\r\n****\r\n"
             "2024.12.31\r\nt\r\nsylwester\r\n****\r\n"
             "2025.01.01\r\nt\r\nnowy rok\r\n****\r\n"
             "2024.11.30\r\nt\r\nlistopad\r\n****\r\n"
             "2024.12.05\r\nt\r\nskasowana\r\n****\r\n"
             "2024.12.05\r\nt\r\n****\r\n"
             "2024.12.06\r\nt\r\n****\r\n"
             "2024.12.06\r\nt\r\nprzywrocona\r\n****\r\n"
             "    .02.29\r\nt\r\nprzestepny\r\n****\r\n");
    struct Row
    {
        int year, month;
        std::vector<std::string> keys;
    };
    const Row rows[] = {
        {2024, 12, {"2024.12.06", "2024.12.24", "2024.12.31", "    .12.24"}},
        {2023, 12, {"    .12.24"}},
        {2025, 1, {"2025.01.01"}},
        {2024, 11, {"2024.11.30"}},
        {2023, 2, {"    .02.29"}},
        {2024, 6, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.year << '-' << row.month);
        EXPECT_EQ(journal.MarkedDayKeys(row.year, row.month), row.keys);
    }
}

TEST_F(NotesJournalTest, PackKeepsTheNewestLiveRecordOfEachKeyNewestFirst)
{
    const std::string original = "2004.12.31\r\n2004.12.30  08:00\r\nstara\r\n****\r\n"
                                 "2005.01.01\r\n2004.12.30  08:01\r\nnowy rok\r\n****\r\n"
                                 "    .03.15\r\n2004.01.01  09:00\r\nco roku\r\n****\r\n"
                                 "2006.05.05\r\n2006.05.01  10:00\r\nraz\r\n****\r\n"
                                 "2006.05.05\r\n2006.05.02  10:00\r\ndwa\r\n****\r\n"
                                 "2006.05.06\r\n2006.05.02  10:00\r\nskasuj\r\n****\r\n"
                                 "2006.05.06\r\n2006.05.03  10:00\r\n****\r\n"
                                 "2006.05.05\r\n2006.05.03  10:00\r\ntrzy\r\n****\r\n";
    const std::string live2006 = "2006.05.05\r\n2006.05.03  10:00\r\ntrzy\r\n****\r\n";
    const std::string yearly = "    .03.15\r\n2004.01.01  09:00\r\nco roku\r\n****\r\n";
    const std::string newYear = "2005.01.01\r\n2004.12.30  08:01\r\nnowy rok\r\n****\r\n";
    const std::string old = "2004.12.31\r\n2004.12.30  08:00\r\nstara\r\n****\r\n";
    struct Row
    {
        const char* name;
        TDateTime cutoff;
        std::string packed;
    };
    const Row rows[] = {
        {"no cutoff", 0, live2006 + yearly + newYear + old},
        {"cutoff 2005-01-01", EncodeDate(2005, 1, 1), live2006 + yearly + newYear},
        {"cutoff after every date", EncodeDate(2100, 1, 1), yearly},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenWith(original);
        journal.PurgeAndPackNotes(row.cutoff);
        EXPECT_EQ(Bytes(), row.packed);
        EXPECT_EQ(journal.FindNote("    .03.15").text, "co roku");
        EXPECT_EQ(journal.FindNote("2006.05.06").text, "");
        Save("2006.05.07", "po");
        EXPECT_EQ(Bytes(), row.packed + "2006.05.07\r\n2024.03.10  14:05\r\npo\r\n****\r\n");
    }
}

// Every pack first keeps the journal as it was in "dnz.dat.bak", the records not yet written
// included, replacing the copy of the pack before; the notes it drops are counted beforehand.
TEST_F(NotesJournalTest, APackKeepsTheJournalAsItWasBesideIt)
{
    const std::string original = "2004.12.31\r\n2004.12.30  08:00\r\nstara\r\n****\r\n"
                                 "2005.01.01\r\n2004.12.30  08:01\r\nnowy rok\r\n****\r\n"
                                 "2005.01.02\r\n2004.12.30  08:01\r\nskasowana\r\n****\r\n"
                                 "2005.01.02\r\n2004.12.30  08:02\r\n****\r\n"
                                 "    .03.15\r\n2004.01.01  09:00\r\nco roku\r\n****\r\n";
    OpenWith(original);
    const std::filesystem::path backup = "/fake/program/dnz.dat.bak";
    EXPECT_EQ(journal.PackBackupPath(), backup);
    struct Row
    {
        TDateTime cutoff;
        std::size_t purged;
    };
    // The deleted note and the yearly one are never counted.
    for (const Row& r : {Row{0, 0}, Row{EncodeDate(2004, 12, 31), 0}, Row{EncodeDate(2005, 1, 1), 1},
                         Row{EncodeDate(2005, 1, 3), 2}, Row{EncodeDate(2100, 1, 1), 2}}) {
        SCOPED_TRACE(r.cutoff);
        EXPECT_EQ(journal.CountPurged(r.cutoff), r.purged);
    }
    journal.AppendRecord("2006.01.01", "jeszcze w pamięci", EncodeDate(2024, 3, 10));
    const std::string pending = "2006.01.01\r\n2024.03.10  00:00\r\njeszcze w pami\xEA\x63i\r\n****\r\n";
    journal.PurgeAndPackNotes(EncodeDate(2005, 1, 3));
    EXPECT_EQ(file.File(backup), original + pending);
    EXPECT_EQ(Bytes(), pending + "    .03.15\r\n2004.01.01  09:00\r\nco roku\r\n****\r\n");
    // The next pack's copy is the journal as that pack found it.
    const std::string packed = Bytes();
    journal.PurgeAndPackNotes(0);
    EXPECT_EQ(file.File(backup), packed);

    // Without its copy a pack does not happen.
    file.failCopy = true;
    Save("2001.01.01", "x");
    const std::string before = Bytes();
    EXPECT_THROW(journal.PurgeAndPackNotes(EncodeDate(2100, 1, 1)), EInOutError);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(file.File(backup), packed);
    EXPECT_EQ(journal.FindNote("2001.01.01").text, "x");
}

TEST_F(NotesJournalTest, FailedPackLeavesFileAndJournalAsTheyWere)
{
    const std::string original = "2006.05.05\r\nt\r\nraz\r\n****\r\n2006.05.05\r\nt\r\ndwa\r\n****\r\n";
    OpenWith(original);
    file.failReplace = true;
    int rebuilt = 0;
    journal.SetOnChanged([&](NotesChange change) { rebuilt += change == NotesChange::Rebuilt; });
    try {
        journal.PurgeAndPackNotes(0);
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        const std::string message = e.what();
        EXPECT_TRUE(message.starts_with("Nie powiódł się zapis do pliku notatek:\r\n/fake/program/dnz.dat\r\n"));
    }
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(journal.Records().Count(), 2u);
    EXPECT_EQ(rebuilt, 0);
    Save("2006.05.06", "x");
    EXPECT_EQ(Bytes(), original + "2006.05.06\r\n2024.03.10  14:05\r\nx\r\n****\r\n");
}

TEST_F(NotesJournalTest, OpenFailuresDisableNotesWithTheMessage)
{
    const std::string message = "Nie powiodło się otwarcie ani utworzenie pliku:\r\n/fake/program/dnz.dat\r\n"
                                "Sporządzanie notatek jest niemożliwe.";
    file.SetFile(path, "2024.01.05\r\nt\r\nx\r\n****\r\n");
    file.failRead = true;
    EXPECT_EQ(journal.OpenNotes(path), message);
    EXPECT_FALSE(journal.NotesEnabled());
    EXPECT_EQ(journal.MarkedDayKeys(2024, 1), std::vector<std::string>{});

    file.failRead = false;
    file.failOpen = true;
    EXPECT_EQ(journal.OpenNotes(path), message);
    EXPECT_FALSE(journal.NotesEnabled());
    journal.AppendRecord("2024.01.06", "nic", now);
    journal.Flush();
    journal.PurgeAndPackNotes(0);
    EXPECT_EQ(Bytes(), "2024.01.05\r\nt\r\nx\r\n****\r\n");

    const std::filesystem::path missing = "/fake/other/dnz.dat";
    EXPECT_EQ(journal.OpenNotes(missing), "Nie powiodło się otwarcie ani utworzenie pliku:\r\n/fake/other/dnz.dat\r\n"
                                          "Sporządzanie notatek jest niemożliwe.");
    file.failOpen = false;
    EXPECT_EQ(journal.OpenNotes(missing), std::nullopt);
    EXPECT_TRUE(journal.NotesEnabled());
    EXPECT_EQ(file.File(missing), "");

    // Another copy writing the file is no fault in it: the message says which it is.
    file.heldByAnother = true;
    EXPECT_EQ(journal.OpenNotes(path), message + "\r\nPlik jest używany przez inną uruchomioną kopię programu.");
    EXPECT_FALSE(journal.NotesEnabled());
}

TEST_F(NotesJournalTest, ASavedRecordIsOnTheDiskNotOnlyInBuffers)
{
    OpenWith("");
    Save("2024.01.05", "a");
    EXPECT_EQ(file.DurableFile(path), Bytes());
}

// After a failed sync the system may have thrown the written pages away (they read back as
// zeros here) while a later sync reports success: the records must be written again.
TEST_F(NotesJournalTest, AFailedSyncWritesTheRecordsAgain)
{
    const std::string old = "2024.01.01\r\nt\r\nstary\r\n****\r\n";
    OpenWith(old);
    file.failSync = true;
    journal.AppendRecord("2024.01.05", "pierwsza", now);
    EXPECT_THROW(journal.Flush(), EInOutError);
    file.failSync = false;
    const std::size_t lost = Bytes().size() - old.size();
    file.SetFile(path, old + std::string(lost, '\0'));
    Save("2024.01.06", "druga");
    EXPECT_EQ(file.DurableFile(path), old
                                          + "2024.01.05\r\n2024.03.10  14:05\r\npierwsza\r\n****\r\n"
                                            "2024.01.06\r\n2024.03.10  14:05\r\ndruga\r\n****\r\n");
}

TEST_F(NotesJournalTest, AFullDiskLosesNothingAndLeavesNoTornRecord)
{
    OpenWith("2024.01.01\r\nt\r\nstary\r\n****\r\n");
    file.appendRoom = 20;
    std::vector<NotesChange> changes;
    journal.SetOnChanged([&](NotesChange change) { changes.push_back(change); });
    journal.AppendRecord("2024.01.05", "pierwsza notatka", now);
    EXPECT_THROW(journal.Flush(), EInOutError);
    EXPECT_EQ(changes, std::vector<NotesChange>{NotesChange::Saved});
    EXPECT_EQ(journal.FindNote("2024.01.05").text, "pierwsza notatka");

    file.appendRoom.reset();
    Save("2024.01.06", "druga");
    EXPECT_EQ(Bytes(), "2024.01.01\r\nt\r\nstary\r\n****\r\n"
                       "2024.01.05\r\n2024.03.10  14:05\r\npierwsza notatka\r\n****\r\n"
                       "2024.01.06\r\n2024.03.10  14:05\r\ndruga\r\n****\r\n");
}

TEST_F(NotesJournalTest, AnUnfinishedRecordNeitherSwallowsTheNextNorReplacesTheSavedNote)
{
    struct Row
    {
        const char* name;
        std::string tail;
        std::string repair;  // what goes between the tail and the next record
    };
    const Row rows[] = {
        {"cut in the text", "2024.01.05\r\n2024.01.06  09:00\r\nHal",
         "\r\n****\r\n2024.01.05\r\n2024.01.04  20:15\r\nHello\r\n****\r\n"},
        {"cut after the timestamp", "2024.01.05\r\n2024.01.06  09:00\r\n",
         "****\r\n2024.01.05\r\n2024.01.04  20:15\r\nHello\r\n****\r\n"},
        {"cut in the CR LF", "2024.01.05\r\n2024.01.06  09:00\r",
         "\n****\r\n2024.01.05\r\n2024.01.04  20:15\r\nHello\r\n****\r\n"},
        {"cut in the key", "2024.0", "\r\n****\r\n2024.0\r\n****\r\n"},
        {"a key never saved before", "2024.02.09\r\nx\r\ny", "\r\n****\r\n2024.02.09\r\n****\r\n"},
    };
    const std::string good = "2024.01.05\r\n2024.01.04  20:15\r\nHello\r\n****\r\n";
    const std::string next = "2024.01.07\r\n2024.03.10  14:05\r\nnowa\r\n****\r\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenWith(good + row.tail);
        EXPECT_EQ(journal.FindNote("2024.01.05").text, "Hello");
        Save("2024.01.07", "nowa");
        EXPECT_EQ(Bytes(), good + row.tail + row.repair + next);
        Open();
        EXPECT_EQ(journal.FindNote("2024.01.05").text, "Hello");
        EXPECT_EQ(journal.FindNote("2024.01.07").text, "nowa");
        EXPECT_EQ(journal.FindNote("2024.02.09").text, "");
    }
}

TEST_F(NotesJournalTest, TheNextRecordStartsOnAFreshLine)
{
    struct Row
    {
        std::string file, written;
    };
    const std::string next = "2024.01.07\r\n2024.03.10  14:05\r\nnowa\r\n****\r\n";
    const Row rows[] = {
        {"2024.01.05\r\nt\r\nx\r\n****", "\r\n" + next},
        {"2024.01.05\r\nt\r\nx\r\n****\r", "\n" + next},
        {"2024.01.05\nt\nx\n****\n", next},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        OpenWith(row.file);
        Save("2024.01.07", "nowa");
        EXPECT_EQ(Bytes(), row.file + row.written);
        Open();
        EXPECT_EQ(journal.Records().Count(), 2u);
        EXPECT_EQ(journal.FindNote("2024.01.05").text, "x");
    }
}

TEST_F(NotesJournalTest, ChangesAreReportedAfterSavesAndPacks)
{
    OpenWith("");
    std::vector<NotesChange> changes;
    journal.SetOnChanged([&](NotesChange change) { changes.push_back(change); });
    Save("2024.01.05", "a");
    journal.PurgeAndPackNotes(0);
    EXPECT_EQ(changes, (std::vector<NotesChange>{NotesChange::Saved, NotesChange::Rebuilt}));
}

}  // namespace
