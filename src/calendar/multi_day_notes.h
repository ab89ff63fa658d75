// One note written to every date of a range picked with a Shift-click: the range's limits, the
// confirmation question and the add and assign operations.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "calendar/datetime.h"

class NotesJournal;

enum class RangeOperation
{
    Add = 0,     // "Dopisanie notatki do wybranych dni": below each date's note, after "----"
    Assign = 1,  // "Przypisanie notatki do wybranych dni": in place of it; an empty text deletes
};

// The most days the clicked date may lie after the anchor (so at most 32 dates).
constexpr int kMaxRangeDays = 31;

// Whether a Shift-click on `clicked` makes a range from `anchor` (both dates, days since
// 1899-12-30): the anchor strictly before, the clicked date at most kMaxRangeDays later, and
// notes enabled. Otherwise the click is an ordinary one.
bool IsNoteRange(TDateTime anchor, TDateTime clicked, bool notesEnabled);

// "yyyy.mm.dd - yyyy.mm.dd", as the dialog shows the range.
std::string RangeText(TDateTime anchor, TDateTime clicked);
// The words of the question for an operation and the dialog's text.
std::string OperationWords(RangeOperation operation, const std::string& text);
// "Czy rzeczywiście chcesz ... z przedziału: ...", asked before anything is written.
std::string ConfirmationQuestion(RangeOperation operation, const std::string& text, TDateTime anchor,
                                 TDateTime clicked);

// What the dialog returns when it closes with OK.
struct RangeNote
{
    RangeOperation operation = RangeOperation::Add;
    std::string text;  // any line ends; made storable before it is written
};
// Shows the dialog for the range text; nullopt when it was cancelled.
using RangeNoteDialog = std::function<std::optional<RangeNote>(const std::string& rangeText)>;

// The anchor of a Shift-click range, kept by the day view from one date change to the next.
class NoteRangeAnchor
{
public:
    using RunRange = std::function<void(TDateTime anchor, TDateTime clicked)>;

    // One change of the selected date. The first change sets the anchor; a left click with Shift
    // held runs `runRange` from the anchor to the clicked date (which checks the limits itself);
    // every left click then moves the anchor to its date, also when `runRange` throws.
    void DateChanged(TDateTime selected, bool leftClick, bool shiftHeld, const RunRange& runRange);
    TDateTime Anchor() const { return m_anchor; }

private:
    TDateTime m_anchor = 0;  // 0 until the first date is shown
};

// Checks the limits, runs the dialog and appends one record per date from the anchor to the
// clicked date, then flushes once. Returns how many records were appended (0 when the range
// was refused or the dialog cancelled). Only date notes are touched, never yearly ones.
// The records are stamped with `now`, the local time the range was chosen. Throws EInOutError when
// the file cannot be written; the records stay in the journal. When they would take the file past
// its size limit, EInOutError is thrown before any is added.
int AssignNoteToRange(NotesJournal& journal, TDateTime anchor, TDateTime clicked, const RangeNoteDialog& runDialog,
                      TDateTime now);
