// The note editor of the main window as plain state: what the memo, the radio group and the two
// labels show, and what its buttons do. The widgets forward their events here and show the state.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calendar/datetime.h"
#include "calendar/notes_journal.h"

class NoteEditor
{
public:
    static constexpr int kNothingLoaded = -1;
    static constexpr int kDateNote = 0;    // "Konkretna data"
    static constexpr int kYearlyNote = 1;  // "Coroczna"

    explicit NoteEditor(NotesJournal& journal) : m_journal(journal) {}

    // The automatic view of a date's notes, on every change of the day. A later save goes to
    // this date, whatever the main window shows by then.
    void ShowNotes(TDateTime date);
    // Only the note of the type selected in the radio group, editable.
    void ShowNoteOfType();
    // Appends the text as a record of the shown date if it was changed, stamped with `now` (local
    // time). Throws EInOutError when the file cannot be written; the record is then kept in memory
    // and written with the next save.
    void SaveNote(TDateTime now);

    // Triggers, as the widgets forward them; those that may save take the local time.
    void ZachowajClick(TDateTime now);
    void AnulujClick();
    void WykasujClick();
    void RadioGroupClick(int item, TDateTime now);
    // The memo's text after the user changed it, with any line ends. Characters the notes file
    // cannot hold come back as "?" in Text(), which the memo should then show.
    void TextEdited(std::string_view text);

    const std::string& Text() const { return m_text; }  // lines joined by CR LF
    bool ReadOnly() const { return m_readOnly; }
    bool Modified() const { return m_modified; }
    int EditType() const { return m_editType; }
    int RadioIndex() const { return m_radioIndex; }  // -1: no item selected
    const std::string& Ldt() const { return m_ldt; }
    const std::string& Label1() const { return m_label1; }

private:
    struct DayNotes
    {
        FoundNote date;
        FoundNote yearly;
    };
    DayNotes FindDayNotes() const;
    void Load(const FoundNote& note);

    NotesJournal& m_journal;
    std::optional<DateParts> m_shownDate;
    std::string m_text;
    bool m_readOnly = false;
    bool m_modified = false;
    int m_editType = kNothingLoaded;
    int m_radioIndex = kDateNote;
    std::string m_ldt;
    std::string m_label1 = "Brak notatki";
};
