// One note written to a range of dates: the range's limits, the question, add and assign.
#include "calendar/multi_day_notes.h"

#include <gtest/gtest.h>

#include "notes_test_support.h"

namespace {

class MultiDayNotesTest : public ::testing::Test, public NotesFixture
{
protected:
    // Runs the range with a dialog that answers OK with this operation and text.
    int Run(TDateTime anchor, TDateTime clicked, RangeOperation operation, const std::string& text)
    {
        return AssignNoteToRange(
            journal, anchor, clicked,
            [&](const std::string& rangeText) {
                shownRange = rangeText;
                return std::optional<RangeNote>(RangeNote{operation, text});
            },
            now);
    }
    std::string shownRange;
};

TEST_F(MultiDayNotesTest, OnlyALaterDateAtMost31DaysAwayMakesARange)
{
    struct Row
    {
        const char* name;
        TDateTime anchor, clicked;
        bool enabled;
        int records;
    };
    const TDateTime jan1 = EncodeDate(2004, 1, 1);
    const Row rows[] = {
        {"31 days later", jan1, EncodeDate(2004, 2, 1), true, 32},
        {"32 days later", jan1, EncodeDate(2004, 2, 2), true, 0},
        {"the next day", jan1, EncodeDate(2004, 1, 2), true, 2},
        {"the same day", jan1, jan1, true, 0},
        {"a day before", jan1, EncodeDate(2003, 12, 31), true, 0},
        {"over 29 February", EncodeDate(2004, 2, 15), EncodeDate(2004, 3, 15), true, 30},
        {"over the new year", EncodeDate(2003, 12, 20), EncodeDate(2004, 1, 20), true, 32},
        {"notes disabled", jan1, EncodeDate(2004, 1, 5), false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenWith("");
        if (!row.enabled) {
            file.failOpen = true;
            journal.OpenNotes(path);
            file.failOpen = false;
        }
        EXPECT_EQ(IsNoteRange(row.anchor, row.clicked, row.enabled), row.records > 0);
        shownRange.clear();
        EXPECT_EQ(Run(row.anchor, row.clicked, RangeOperation::Assign, "x"), row.records);
        EXPECT_EQ(journal.Records().Count(), static_cast<std::size_t>(row.records));
        EXPECT_EQ(shownRange.empty(), row.records == 0) << "the dialog opens only for a range";
    }
}

TEST_F(MultiDayNotesTest, AddWritesBelowTheNoteAndAssignReplacesIt)
{
    OpenWith("2024.05.01\r\nt\r\na\r\n****\r\n"
             "2024.05.03\r\nt\r\nskasowana\r\n****\r\n"
             "2024.05.03\r\nt\r\n****\r\n"
             "    .05.02\r\nt\r\nco roku\r\n****\r\n");
    EXPECT_EQ(Run(EncodeDate(2024, 5, 1), EncodeDate(2024, 5, 3), RangeOperation::Add, "b"), 3);
    EXPECT_EQ(shownRange, "2024.05.01 - 2024.05.03");
    EXPECT_EQ(journal.FindNote("2024.05.01").text, "a\r\n----\r\nb");
    EXPECT_EQ(journal.FindNote("2024.05.02").text, "b");
    EXPECT_EQ(journal.FindNote("2024.05.03").text, "b");
    EXPECT_EQ(journal.FindNote("    .05.02").text, "co roku");

    EXPECT_EQ(Run(EncodeDate(2024, 5, 1), EncodeDate(2024, 5, 2), RangeOperation::Assign, "c"), 2);
    EXPECT_EQ(journal.FindNote("2024.05.01").text, "c");

    EXPECT_EQ(Run(EncodeDate(2024, 5, 1), EncodeDate(2024, 5, 3), RangeOperation::Assign, ""), 3);
    EXPECT_EQ(journal.MarkedDayKeys(2024, 5), std::vector<std::string>{"    .05.02"});
}

TEST_F(MultiDayNotesTest, RecordsAreWrittenOnceAndSyncedOnce)
{
    OpenWith("");
    Run(EncodeDate(2024, 5, 30), EncodeDate(2024, 6, 1), RangeOperation::Add, "****\nżółw ✓");
    EXPECT_EQ(file.syncCalls, 1);
    const std::string text = "\r\n2024.03.10  14:05\r\n*****\r\n\xbf\xf3\xb3w ?\r\n****\r\n";
    EXPECT_EQ(Bytes(), "2024.05.30" + text + "2024.05.31" + text + "2024.06.01" + text);
    EXPECT_EQ(file.DurableFile(path), Bytes());
}

TEST_F(MultiDayNotesTest, ACancelledDialogWritesNothing)
{
    OpenWith("");
    const int n = AssignNoteToRange(
        journal, EncodeDate(2024, 5, 1), EncodeDate(2024, 5, 3),
        [](const std::string&) { return std::optional<RangeNote>(); }, now);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(file.syncCalls, 0);
    EXPECT_EQ(Bytes(), "");
}

TEST_F(MultiDayNotesTest, AFailedWriteKeepsEveryRecordInTheJournal)
{
    OpenWith("");
    file.appendRoom = 10;
    EXPECT_THROW(Run(EncodeDate(2024, 5, 1), EncodeDate(2024, 5, 4), RangeOperation::Assign, "x"), EInOutError);
    EXPECT_EQ(journal.MarkedDayKeys(2024, 5).size(), 4u);
    file.appendRoom.reset();
    journal.Flush();
    Open();
    EXPECT_EQ(journal.MarkedDayKeys(2024, 5).size(), 4u);
    EXPECT_EQ(journal.Records().Count(), 4u);
}

TEST(NoteRangeAnchor, ShiftClicksRunFromTheLastLeftClickedDate)
{
    struct Step
    {
        const char* name;
        TDateTime selected;
        bool leftClick, shift;
        TDateTime rangeFrom;  // 0: no range offered
        TDateTime anchorAfter;
    };
    const TDateTime d1 = EncodeDate(2004, 1, 1), d5 = EncodeDate(2004, 1, 5), d9 = EncodeDate(2004, 1, 9);
    const Step steps[] = {
        {"first date shown sets the anchor", d1, false, false, 0, d1},
        {"shift-click offers the range", d9, true, true, d1, d9},
        {"a date set by the program leaves the anchor", d5, false, true, 0, d9},
        {"shift-click before the anchor is offered and moves it", d1, true, true, d9, d1},
        {"a plain click moves it", d5, true, false, 0, d5},
    };
    NoteRangeAnchor anchor;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        TDateTime offeredFrom = 0;
        anchor.DateChanged(step.selected, step.leftClick, step.shift, [&](TDateTime from, TDateTime clicked) {
            offeredFrom = from;
            EXPECT_EQ(clicked, step.selected);
        });
        EXPECT_EQ(offeredFrom, step.rangeFrom);
        EXPECT_EQ(anchor.Anchor(), step.anchorAfter);
    }
}

TEST(MultiDayQuestion, NamesTheOperationAndTheRange)
{
    struct Row
    {
        RangeOperation operation;
        std::string text, question;
    };
    const Row rows[] = {
        {RangeOperation::Add, "x",
         "Czy rzeczywiście chcesz dopisać notatkę do wszystkich dni z przedziału: 2004.01.01 - 2004.02.01"},
        {RangeOperation::Add, "",
         "Czy rzeczywiście chcesz dopisać notatkę do wszystkich dni z przedziału: 2004.01.01 - 2004.02.01"},
        {RangeOperation::Assign, "x",
         "Czy rzeczywiście chcesz przypisać notatkę do wszystkich dni z przedziału: 2004.01.01 - 2004.02.01"},
        {RangeOperation::Assign, "",
         "Czy rzeczywiście chcesz usunąć notatki dla wszystkich dni z przedziału: 2004.01.01 - 2004.02.01"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.question);
        EXPECT_EQ(ConfirmationQuestion(row.operation, row.text, EncodeDate(2004, 1, 1), EncodeDate(2004, 2, 1)),
                  row.question);
    }
}

}  // namespace
