// The window opens the notes file for appending (NotesJournal::OpenNotes); the command line only
// reads it (ReadNotesReadOnly). Through the real files and the safe reader, both must give the
// same records.
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/print_day.h"
#include "calendar/notes_journal.h"
#include "platform/linux/linux_journal_file.h"
#include "temp_dir.h"

namespace {

// Records whose text runs past the reader's 64 KiB buffer and whose Polish letters grow in UTF-8,
// so that the records are rewritten in place while the file is still being read.
std::string ManyRecords(int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += (i % 7 == 0 ? std::string("    .02.29") : "2024.03." + std::to_string(10 + i % 20)) + "\r\n";
        bytes += "2024.03.01  12:00\r\n";
        if (i % 5 != 4)
            bytes += "\xaf\xf3\xb3w nr " + std::to_string(i) + "\r\nza\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\xbc\xf1\r\n";
        bytes += "****\r\n";
    }
    return bytes;
}

TEST(NotesReadPaths, TheWindowAndTheCommandLineReadTheSameRecords)
{
    struct Row
    {
        const char* name;
        std::string file;
        std::size_t repairs;  // records the window adds to close a record cut short
    };
    const Row rows[] = {
        {"empty", "", 0},
        {"Windows line ends, a deletion and a yearly note",
         "2024.06.21\r\n2024.06.01  10:00\r\nUrodziny \xa3ucji\r\n****\r\n    .12.13\r\nt\r\nImieniny\r\n****\r\n"
         "2024.06.21\r\n2024.06.02  10:00\r\n****\r\n",
         0},
        {"LF and lone CR line ends, an empty line in the text",
         "2024.01.05\nt\nraz\n\ndwa\n****\n2024.01.06\rt\rtrzy\r****\r", 0},
        {"keys that are no dates",
         "abc\r\nt\r\nx\r\n****\r\n2024.1.5x\r\nt\r\ny\r\n****\r\n\xb9\xe6\r\nt\r\nz\r\n****\r\n", 0},
        {"a record cut short", "2024.02.02\r\nt\r\nstara\r\n****\r\n2024.02.02\r\nt\r\nnowa, urwa", 2},
        {"many records over the read buffer", ManyRecords(6000), 0},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteWholeFile(dir.Path() / "dnz.dat", row.file);
        LinuxJournalFile readOnly;
        std::ostringstream err;
        const std::optional<JournalRecords> command = ReadNotesReadOnly(readOnly, dir.Path(), err);
        ASSERT_TRUE(command) << err.str();
        LinuxJournalFile appending;
        NotesJournal journal(appending);
        ASSERT_EQ(journal.OpenNotes(dir.Path() / "dnz.dat"), std::nullopt);
        const JournalRecords& window = journal.Records();

        ASSERT_EQ(window.Count(), command->Count() + row.repairs);
        std::set<std::string> keys;
        for (std::size_t i = 0; i < command->Count(); ++i) {
            ASSERT_EQ(window.Record(i), command->Record(i)) << "record " << i;
            EXPECT_EQ(window.Text(i), command->Text(i)) << "record " << i;
            keys.emplace(RecordKey(command->Record(i)));
        }
        // A repair restates what was saved: every note reads the same either way.
        for (const std::string& key : keys) {
            EXPECT_EQ(window.FindNote(key).text, command->FindNote(key).text) << key;
            EXPECT_EQ(window.FindNote(key).timestamp, command->FindNote(key).timestamp) << key;
        }
        (void)journal.Close();
    }
}

}  // namespace
