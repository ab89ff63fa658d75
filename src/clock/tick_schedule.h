// When the window's clock must next look at the time. A program that runs all day should not wake
// the processor more often than something it shows or does can change: once a second while the
// clock is on the screen, and otherwise only for the alarm, a reminder, the full hour and midnight.
#pragma once

#include "calendar/datetime.h"

#include <optional>

// What the next tick has to catch.
struct TickNeeds
{
    bool shown = true;                      // the clock text is on the screen
    bool hourSignal = false;                // the full-hour signal is on
    std::optional<TDateTime> nextRing;      // the alarm's or the snooze's next ring, local
    std::optional<TDateTime> nextReminder;  // the next reminder of the notes (advance, time, snooze), local
};

// A tick lands this long after the moment it waits for, so that it reads the new second even
// when the timer fires a little early or the clock reads a little behind.
inline constexpr int kTickLateMs = 3;
// The longest sleep while hidden. The timer counts time that runs on; the wall clock may jump
// (network time, the user, a computer woken from sleep), and a tick this often finds that out.
inline constexpr int kLongestHiddenSleepMs = 60000;

// Milliseconds from `now` (local) until the next tick, at least 1.
int MsToNextTick(TDateTime now, const TickNeeds& needs);
