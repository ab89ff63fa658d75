// The calendar's day moving on while the program runs for days: at midnight, or when the clock is
// set to another day, the grids' today mark moves, and so does the selected day if the user was
// looking at today and is not in the middle of writing a note.
#pragma once

#include "calendar/datetime.h"

#include <optional>

struct DayChange
{
    TDateTime today = 0;       // the new date (midnight)
    bool selectToday = false;  // the selected day was the old today and no note is being edited
};

class DayChangeWatch
{
public:
    // `now`: the local moment the window starts with; its date is today.
    explicit DayChangeWatch(TDateTime now) : m_today(DateOf(now)) {}

    // Nullopt while the date of `now` is the one seen last. `selected` is the grid's date and
    // `editing` whether the note editor holds unsaved text: a note half written stays under its day.
    std::optional<DayChange> Tick(TDateTime now, TDateTime selected, bool editing);

    TDateTime Today() const { return m_today; }

private:
    TDateTime m_today;
};
