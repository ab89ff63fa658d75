// One note written to every date of a range.
#include "calendar/multi_day_notes.h"

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"

#include <cstdint>
#include <utility>
#include <vector>

bool IsNoteRange(TDateTime anchor, TDateTime clicked, bool notesEnabled)
{
    const TDateTime from = DateOf(anchor);
    const TDateTime to = DateOf(clicked);
    return notesEnabled && from < to && to - from <= kMaxRangeDays;
}

std::string RangeText(TDateTime anchor, TDateTime clicked)
{
    return DateKey(anchor) + " - " + DateKey(clicked);
}

std::string OperationWords(RangeOperation operation, const std::string& text)
{
    if (operation == RangeOperation::Add)
        return "dopisać notatkę do wszystkich dni";
    return text.empty() ? "usunąć notatki dla wszystkich dni" : "przypisać notatkę do wszystkich dni";
}

std::string ConfirmationQuestion(RangeOperation operation, const std::string& text, TDateTime anchor, TDateTime clicked)
{
    return "Czy rzeczywiście chcesz " + OperationWords(operation, text)
           + " z przedziału: " + RangeText(anchor, clicked);
}

void NoteRangeAnchor::DateChanged(TDateTime selected, bool leftClick, bool shiftHeld, const RunRange& runRange)
{
    if (m_anchor == 0)
        m_anchor = selected;
    const TDateTime anchor = m_anchor;
    if (leftClick)
        m_anchor = selected;
    if (leftClick && shiftHeld)
        runRange(anchor, selected);
}

int AssignNoteToRange(NotesJournal& journal, TDateTime anchor, TDateTime clicked, const RangeNoteDialog& runDialog,
                      TDateTime now)
{
    if (!IsNoteRange(anchor, clicked, journal.NotesEnabled()))
        return 0;
    const std::optional<RangeNote> note = runDialog(RangeText(anchor, clicked));
    if (!note)
        return 0;
    const std::string text = EscapeTerminatorLines(MakeNoteTextStorable(note->text));
    std::vector<std::pair<std::string, std::string>> records;
    std::uint64_t bytes = 0;
    for (TDateTime day = DateOf(anchor); day <= DateOf(clicked); day += 1) {
        std::string key = DateKey(day);
        std::string newText = text;
        if (note->operation == RangeOperation::Add) {
            const FoundNote old = journal.FindNote(key);
            if (!old.text.empty())
                newText = old.text + "\r\n----\r\n" + text;
        }
        bytes += NotesJournal::RecordSizeInFile(key, newText, now);
        records.emplace_back(std::move(key), std::move(newText));
    }
    // All dates or none: a range cut short by the size limit would be hard to notice.
    journal.CheckRoomFor(bytes);
    for (const auto& [key, newText] : records)
        journal.AppendRecord(key, newText, now);
    journal.Flush();
    return static_cast<int>(records.size());
}
