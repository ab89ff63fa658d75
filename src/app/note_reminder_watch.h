// NoteReminderWatch: the window's reminders from the notes without the window. It reads the
// reminder lines of the days around now from the journal, asks the schedule what is due, and keeps
// the memory of what was shown in the settings ("Pokazane przypomnienia").
#pragma once

#include "app/reminder_schedule.h"
#include "app/settings.h"
#include "calendar/datetime.h"

#include <optional>
#include <string>
#include <vector>

class NotesJournal;
class SettingsStore;

class NoteReminderWatch
{
public:
    // `persist` false: nothing is written and nothing is shown, as for a picture of the window.
    // The memory is read from `settings` here; the other reminder settings at every call, since
    // the configuration dialog may change them.
    NoteReminderWatch(const NotesJournal& journal, Settings& settings, SettingsStore& store, bool persist);

    // A look at `now` (local): what is due (ReminderSchedule::Check). Switched off, nothing is, but
    // the time still counts as watched, so that switching on does not bring a flood of missed ones.
    std::vector<ReminderNotice> Check(TDateTime now);
    // The local moment of the next look that can show something; nullopt when none is due before
    // the day after tomorrow (midnight looks again anyway).
    std::optional<TDateTime> NextWake(TDateTime now);
    // "Następne: 14:30 dentysta", or empty with nothing ahead today or tomorrow.
    std::string Hint(TDateTime now);

    // A note was saved or the journal rebuilt: the reminder lines are read again.
    void NotesChanged() { m_cachedDay.reset(); }
    // "Drzemka" at `now`: shown again after "Czas drzemki" minutes.
    void Snooze(const NoteReminder& reminder, TDateTime now);
    void Done(const NoteReminder& reminder);
    // At the end: how far the watch went, so that the next start misses nothing and repeats nothing.
    void StoreMemory();

private:
    const std::vector<NoteReminder>& RemindersAround(TDateTime now);
    void SaveIfChanged();

    const NotesJournal& m_journal;
    Settings& m_settings;
    SettingsStore& m_store;
    bool m_persist;
    ReminderSchedule m_schedule;
    std::optional<long long> m_cachedDay;
    std::vector<NoteReminder> m_reminders;
};

// The local moment of a TDateTime as milliseconds since 1899-12-30, and back.
long long LocalMs(TDateTime value);
TDateTime FromLocalMs(long long ms);
