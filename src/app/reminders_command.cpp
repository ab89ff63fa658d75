// Listing the reminders of the notes from the command line.
#include "app/reminders_command.h"

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"

#include <cstdio>

std::string FormatReminderLine(const NoteReminder& reminder)
{
    char time[24];
    std::snprintf(time, sizeof time, "%02d:%02d", reminder.minutes / 60, reminder.minutes % 60);
    return FormatDateTime("yyyy.mm.dd", static_cast<TDateTime>(reminder.day)) + " " + time + " " + reminder.text;
}

int RunRemindersCommand(const JournalRecords& notes, TDateTime firstDay, int days, std::ostream& out)
{
    const std::vector<NoteReminder> reminders = RemindersOfDays(notes, static_cast<long long>(DateOf(firstDay)), days);
    for (const NoteReminder& reminder : reminders)
        out << FormatReminderLine(reminder) << '\n';
    out.flush();
    return reminders.empty() ? 1 : 0;
}
