// Listing the reminders of the notes from the command line.
#pragma once

#include <ostream>
#include <string>

#include "calendar/datetime.h"
#include "calendar/note_reminders.h"

class JournalRecords;

// "yyyy.mm.dd hh:mm text", the hour with two digits.
std::string FormatReminderLine(const NoteReminder& reminder);

// Prints the reminders of the `days` days from `firstDay` (a date), one a line in time order, as
// the window would give them. Returns the exit code: 0 with reminders, 1 without.
int RunRemindersCommand(const JournalRecords& notes, TDateTime firstDay, int days, std::ostream& out);
