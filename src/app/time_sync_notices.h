// What the end of a network time run tells the user, and how often: runs of their own accord
// repeat every few minutes, so what they have to say must not repeat with them.
#pragma once

#include "calendar/datetime.h"

#include <optional>

class TimeSyncNotices
{
public:
    enum class LargeStepTold
    {
        Ask,     // a question whether to make the step
        Notify,  // a notification that the step was left unmade
        Nothing  // said already in this run of the program
    };

    // A step too large to make unasked. The user who pressed the button, or who has the window in
    // view, is asked; with nobody at the window the step is left unmade and said once per run of
    // the program, not asked at every retry.
    LargeStepTold OnLargeStep(bool byUser, bool windowInView);

    // A run of its own accord found the time but could not set the clock: true when a
    // notification should say so, which is once a day at most; `today` is the local date. (The
    // user who pressed the button is always told, in a box, and never asks here.)
    bool TellClockNotSet(TDateTime today);

private:
    bool m_largeStepNoticeGiven = false;
    std::optional<TDateTime> m_clockNotSetToldOn;  // the day a run of its own accord last told it set nothing
};
