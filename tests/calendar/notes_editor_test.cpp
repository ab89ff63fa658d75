// The note editor driven without a display: the automatic view, the combined view and the type
// switch, its buttons, and where its saves go.
#include "calendar/note_editor.h"

#include <gtest/gtest.h>

#include "notes_test_support.h"

namespace {

class NoteEditorTest : public ::testing::Test, public NotesFixture
{
protected:
    NoteEditor editor{journal};
};

const TDateTime kChristmasEve = EncodeDate(2024, 12, 24);

TEST_F(NoteEditorTest, AutomaticViewShowsWhatTheDayHas)
{
    const std::string dateNote = "2024.12.24\r\n2024.12.01  18:30\r\nkarp\r\n****\r\n";
    const std::string yearlyNote = "    .12.24\r\n2020.11.02  07:45\r\nWigilia\r\n****\r\n";
    struct Row
    {
        const char* name;
        std::string file;
        std::string text, ldt, label1;
        int radio, editType;
        bool readOnly;
    };
    const Row rows[] = {
        {"date note only", dateNote, "karp", "2024.12.01  18:30", "Notatkę sporządzono:", 0, 0, false},
        {"yearly note only", yearlyNote, "Wigilia", "2020.11.02  07:45", "Notatkę sporządzono:", 1, 1, false},
        {"neither", "", "", "", "Brak notatki", 0, -1, false},
        // Two notes stand in the editor, so "Brak notatki" (the caption before) would be untrue.
        {"both", dateNote + yearlyNote,
         "---- Notatka na konkretny dzień: \r\nkarp\r\n---- Notatka coroczna:\r\nWigilia", "---",
         "Notatkę sporządzono:", -1, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpenWith(row.file);
        NoteEditor fresh(journal);
        fresh.ShowNotes(kChristmasEve);
        EXPECT_EQ(fresh.Text(), row.text);
        EXPECT_EQ(fresh.Ldt(), row.ldt);
        EXPECT_EQ(fresh.Label1(), row.label1);
        EXPECT_EQ(fresh.RadioIndex(), row.radio);
        EXPECT_EQ(fresh.EditType(), row.editType);
        EXPECT_EQ(fresh.ReadOnly(), row.readOnly);
        EXPECT_FALSE(fresh.Modified());
    }
}

TEST_F(NoteEditorTest, PickingATypeInTheCombinedViewEditsThatNoteAlone)
{
    OpenWith("2024.12.24\r\n2024.12.01  18:30\r\nkarp\r\n****\r\n"
             "    .12.24\r\n2020.11.02  07:45\r\nWigilia\r\n****\r\n");
    editor.ShowNotes(kChristmasEve);
    editor.TextEdited("ignored while read-only");
    EXPECT_FALSE(editor.Modified());

    editor.RadioGroupClick(NoteEditor::kYearlyNote, now);
    EXPECT_EQ(editor.Text(), "Wigilia");
    EXPECT_EQ(editor.Ldt(), "2020.11.02  07:45");
    EXPECT_EQ(editor.EditType(), NoteEditor::kYearlyNote);
    EXPECT_FALSE(editor.ReadOnly());

    editor.TextEdited("Wigilia i pasterka");
    editor.RadioGroupClick(NoteEditor::kDateNote, now);  // saves under the yearly key first
    EXPECT_EQ(editor.Text(), "karp");
    EXPECT_EQ(journal.FindNote("    .12.24").text, "Wigilia i pasterka");
    EXPECT_EQ(journal.FindNote("2024.12.24").text, "karp");
}

TEST_F(NoteEditorTest, ASaveGoesToTheDayThatWasShownNotTheNewOne)
{
    OpenWith("");
    editor.ShowNotes(EncodeDate(2024, 1, 31));
    editor.TextEdited("koniec miesiąca");
    // The order of a day change: save, then show the new day.
    editor.SaveNote(now);
    editor.ShowNotes(EncodeDate(2024, 2, 1));
    EXPECT_EQ(journal.FindNote("2024.01.31").text, "koniec miesiąca");
    EXPECT_EQ(journal.FindNote("2024.02.01").text, "");
    EXPECT_EQ(editor.Text(), "");
    EXPECT_EQ(Bytes(), "2024.01.31\r\n2024.03.10  14:05\r\nkoniec miesi\xb9\x63\x61\r\n****\r\n");
}

TEST_F(NoteEditorTest, SavingThenErasingLeavesTwoRecordsAndNoNote)
{
    OpenWith("");
    editor.ShowNotes(kChristmasEve);
    editor.TextEdited("a");
    editor.ZachowajClick(now);
    EXPECT_EQ(editor.Label1(), "Notatkę sporządzono:");
    EXPECT_EQ(editor.Ldt(), "2024.03.10  14:05");
    editor.WykasujClick();
    EXPECT_TRUE(editor.Modified());
    editor.ZachowajClick(now);

    Open();
    EXPECT_EQ(journal.Records().Count(), 2u);
    NoteEditor reopened(journal);
    reopened.ShowNotes(kChristmasEve);
    EXPECT_EQ(reopened.Label1(), "Brak notatki");
    EXPECT_EQ(reopened.Text(), "");
    EXPECT_EQ(journal.MarkedDayKeys(2024, 12), std::vector<std::string>{});
}

TEST_F(NoteEditorTest, WhatTheEditorShowsIsWhatTheFileKeeps)
{
    OpenWith("");
    editor.ShowNotes(kChristmasEve);
    editor.TextEdited("****\nżółw € 🎄 ✓\n");
    // Characters outside Windows-1250 turn into "?" as soon as they are typed.
    EXPECT_EQ(editor.Text(), "****\r\nżółw € ? ?\r\n");
    editor.ZachowajClick(now);
    EXPECT_EQ(editor.Text(), "*****\r\nżółw € ? ?\r\n");
    Open();
    NoteEditor reopened(journal);
    reopened.ShowNotes(kChristmasEve);
    EXPECT_EQ(reopened.Text(), "*****\r\nżółw € ? ?\r\n");
}

TEST_F(NoteEditorTest, AnEditPendingDuringAPackIsSavedRightAfterThePackedRecords)
{
    OpenWith("2024.12.23\r\nt\r\nstara\r\n****\r\n2024.12.23\r\nt\r\nnowa\r\n****\r\n");
    editor.ShowNotes(kChristmasEve);
    editor.TextEdited("karp");
    journal.PurgeAndPackNotes(0);
    // The refresh after the pack saves first, under the day the editor holds.
    editor.SaveNote(now);
    editor.ShowNotes(kChristmasEve);
    EXPECT_EQ(Bytes(), "2024.12.23\r\nt\r\nnowa\r\n****\r\n2024.12.24\r\n2024.03.10  14:05\r\nkarp\r\n****\r\n");
    EXPECT_EQ(editor.Text(), "karp");
}

TEST_F(NoteEditorTest, NothingLoadedSavesUnderTheRadioGroupsType)
{
    OpenWith("");
    editor.ShowNotes(EncodeDate(2024, 2, 29));
    editor.RadioGroupClick(NoteEditor::kYearlyNote, now);  // nothing loaded: only the selection moves
    EXPECT_EQ(Bytes(), "");
    editor.TextEdited("przestępny");
    editor.ZachowajClick(now);
    EXPECT_EQ(journal.FindNote("    .02.29").text, "przestępny");
    EXPECT_EQ(editor.EditType(), NoteEditor::kYearlyNote);
    EXPECT_EQ(editor.RadioIndex(), NoteEditor::kYearlyNote);
}

TEST_F(NoteEditorTest, CancelDropsTheEdits)
{
    OpenWith("2024.12.24\r\n2024.12.01  18:30\r\nkarp\r\n****\r\n");
    editor.ShowNotes(kChristmasEve);
    editor.TextEdited("zmiana");
    editor.AnulujClick();
    EXPECT_EQ(editor.Text(), "karp");
    EXPECT_FALSE(editor.Modified());
    editor.SaveNote(now);
    EXPECT_EQ(journal.Records().Count(), 1u);
}

TEST_F(NoteEditorTest, DisabledNotesLeaveTheEditorReadOnlyAndSaveNothing)
{
    file.SetFile(path, "2024.12.24\r\nt\r\nkarp\r\n****\r\n");
    file.failRead = true;
    ASSERT_TRUE(journal.OpenNotes(path).has_value());
    editor.ShowNotes(kChristmasEve);
    EXPECT_TRUE(editor.ReadOnly());
    // Neither "Anuluj" nor the type switch may open an editor whose text could never be kept.
    editor.AnulujClick();
    EXPECT_TRUE(editor.ReadOnly());
    editor.RadioGroupClick(NoteEditor::kYearlyNote, now);
    EXPECT_TRUE(editor.ReadOnly());
    editor.TextEdited("x");
    editor.WykasujClick();
    editor.SaveNote(now);
    EXPECT_EQ(Bytes(), "2024.12.24\r\nt\r\nkarp\r\n****\r\n");
}

TEST_F(NoteEditorTest, AFailedWriteIsReportedAndTheNoteReachesTheFileLater)
{
    OpenWith("");
    editor.ShowNotes(kChristmasEve);
    editor.TextEdited("karp");
    file.failSync = true;
    EXPECT_THROW(editor.ZachowajClick(now), EInOutError);
    file.failSync = false;
    editor.ShowNotes(kChristmasEve);
    EXPECT_EQ(editor.Text(), "karp");
    EXPECT_EQ(journal.Close(), std::nullopt);
    EXPECT_EQ(file.DurableFile(path), "2024.12.24\r\n2024.03.10  14:05\r\nkarp\r\n****\r\n");
}

}  // namespace
