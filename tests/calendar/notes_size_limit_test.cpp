// The size limit of the notes file holds for every write that makes it grow: a note saved, a note
// over a range of days. A write past it is refused whole, so that the program can always open what
// it wrote.
#include <gtest/gtest.h>

#include "calendar/multi_day_notes.h"
#include "notes_test_support.h"

namespace {

constexpr std::uint64_t kLimit = 2 * 1024 * 1024;

struct LimitedJournal
{
    const std::filesystem::path path = "/fake/program/dnz.dat";
    FakeJournalFile file;
    NotesJournal journal{file, kLimit};
    const TDateTime now = EncodeDate(2024, 3, 10) + EncodeTime(14, 5, 0);

    explicit LimitedJournal(const std::string& bytes)
    {
        file.SetFile(path, bytes);
        EXPECT_FALSE(journal.OpenNotes(path));
    }
    std::string Bytes() const { return file.File(path).value_or("<missing>"); }
};

TEST(NotesSizeLimit, ASaveThatWouldPassTheLimitWritesNothingAndSaysWhy)
{
    const std::string old = "2024.01.01\r\n2024.01.01  10:00\r\nstara\r\n****\r\n";
    LimitedJournal notes(old);
    const std::string key = "2024.05.01";
    // Exactly up to the limit is allowed: the reader refuses only what is larger.
    std::string fits(kLimit - old.size() - NotesJournal::RecordSizeInFile(key, "", notes.now), 'a');
    fits.resize(fits.size() - 2);  // the text's line end before "****"
    ASSERT_EQ(old.size() + NotesJournal::RecordSizeInFile(key, fits, notes.now), kLimit);

    LimitedJournal full(old);
    full.journal.AppendRecord(key, fits, full.now);
    full.journal.Flush();
    EXPECT_EQ(full.Bytes().size(), kLimit);
    EXPECT_THROW(full.journal.AppendRecord(key, "b", full.now), EInOutError);

    try {
        notes.journal.AppendRecord(key, fits + "a", notes.now);
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Nic nie zapisano: plik notatek urósłby do 3 MB, a może mieć najwyżej 2 MB."
                                         "\r\nPo zapisie nie dałoby się go otworzyć.");
    }
    notes.journal.Flush();
    EXPECT_EQ(notes.journal.Records().Count(), 1u);
    EXPECT_EQ(notes.Bytes(), old);
}

// A range of days is written whole or not at all; records appended and not yet written count too.
TEST(NotesSizeLimit, ARangeOfDaysPastTheLimitAddsNoRecord)
{
    LimitedJournal notes("");
    const std::string quarter(kLimit / 4, 'x');
    notes.journal.AppendRecord("2024.01.01", quarter, notes.now);
    const auto dialog = [&](const std::string&) { return std::optional<RangeNote>({RangeOperation::Add, quarter}); };
    EXPECT_THROW(AssignNoteToRange(notes.journal, EncodeDate(2024, 2, 1), EncodeDate(2024, 2, 3), dialog, notes.now),
                 EInOutError);
    EXPECT_EQ(notes.journal.Records().Count(), 1u);
    // Two days fit beside the first record.
    EXPECT_EQ(AssignNoteToRange(notes.journal, EncodeDate(2024, 2, 1), EncodeDate(2024, 2, 2), dialog, notes.now), 2);
    EXPECT_LE(notes.Bytes().size(), kLimit);
    EXPECT_EQ(notes.journal.FileSizeAfterWrite(), notes.Bytes().size());
}

}  // namespace
