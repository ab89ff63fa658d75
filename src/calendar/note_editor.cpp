// The note editor's behaviour: the automatic view, the type switch, saving and its buttons.
#include "calendar/note_editor.h"

#include "calendar/date_format.h"

NoteEditor::DayNotes NoteEditor::FindDayNotes() const
{
    if (!m_shownDate)
        return {};
    const DateParts& d = *m_shownDate;
    return DayNotes{m_journal.FindNote(DateKey(d.year, d.month, d.day)), m_journal.FindNote(YearlyKey(d.month, d.day))};
}

void NoteEditor::Load(const FoundNote& note)
{
    m_text = note.text;
    m_ldt = note.timestamp;
}

void NoteEditor::ShowNotes(TDateTime date)
{
    m_shownDate = DecodeDate(date);
    if (!m_journal.NotesEnabled()) {
        m_readOnly = true;
        return;
    }
    const DayNotes notes = FindDayNotes();
    const bool hasDate = !notes.date.text.empty();
    const bool hasYearly = !notes.yearly.text.empty();
    if (!hasDate && !hasYearly)
        m_editType = kNothingLoaded;
    if (hasDate && hasYearly) {
        // Both at once can only be read; picking a type in the radio group edits one of them.
        m_radioIndex = -1;
        m_text = "---- Notatka na konkretny dzień: \r\n" + notes.date.text + "\r\n---- Notatka coroczna:\r\n"
                 + notes.yearly.text;
        m_modified = false;
        m_readOnly = true;
        m_ldt = "---";
        // Whatever the day before left here, notes are shown; "---" stands for their two dates.
        m_label1 = "Notatkę sporządzono:";
        m_editType = kDateNote;
        return;
    }
    if (hasDate) {
        Load(notes.date);
        m_radioIndex = kDateNote;
        m_editType = kDateNote;
    } else if (hasYearly) {
        Load(notes.yearly);
        m_radioIndex = kYearlyNote;
        m_editType = kYearlyNote;
    } else {
        Load(FoundNote{});
        if (m_radioIndex == -1)
            m_radioIndex = kDateNote;
    }
    m_label1 = m_ldt.empty() ? "Brak notatki" : "Notatkę sporządzono:";
    m_modified = false;
    m_readOnly = false;
}

void NoteEditor::ShowNoteOfType()
{
    const DayNotes notes = FindDayNotes();
    Load(m_radioIndex == kYearlyNote ? notes.yearly : notes.date);
    m_editType = m_radioIndex;
    m_modified = false;
    // Without the notes file nothing typed could be kept, so the editor stays closed to typing.
    m_readOnly = !m_journal.NotesEnabled();
}

void NoteEditor::SaveNote(TDateTime now)
{
    if (!m_journal.NotesEnabled() || !m_modified || !m_shownDate)
        return;
    m_text = EscapeTerminatorLines(m_text);
    if (m_editType == kNothingLoaded)
        m_editType = m_radioIndex;
    if (m_editType == kNothingLoaded)
        return;
    const DateParts& d = *m_shownDate;
    const std::string key = m_editType == kDateNote ? DateKey(d.year, d.month, d.day) : YearlyKey(d.month, d.day);
    m_journal.AppendRecord(key, m_text, now);
    // The record is in the journal now even if writing it fails below; saving it again on the
    // next trigger would only add a duplicate.
    m_modified = false;
    m_journal.Flush();
}

void NoteEditor::ZachowajClick(TDateTime now)
{
    SaveNote(now);
    if (m_shownDate)
        ShowNotes(EncodeDate(m_shownDate->year, m_shownDate->month, m_shownDate->day));
}

void NoteEditor::AnulujClick()
{
    if (m_radioIndex != -1)
        ShowNoteOfType();
}

void NoteEditor::WykasujClick()
{
    if (m_readOnly)
        return;
    m_text.clear();
    m_modified = true;
}

void NoteEditor::RadioGroupClick(int item, TDateTime now)
{
    if (item != kDateNote && item != kYearlyNote)
        return;
    // The group shows the new item before the old text is saved under the old edit type.
    m_radioIndex = item;
    if (m_editType == kNothingLoaded)
        return;
    SaveNote(now);
    ShowNoteOfType();
}

void NoteEditor::TextEdited(std::string_view text)
{
    if (m_readOnly)
        return;
    m_text = MakeNoteTextStorable(text);
    m_modified = true;
}
