// The reminders of the notes as the window runs them.
#include "app/note_reminder_watch.h"

#include "calendar/notes_journal.h"
#include "clock/alarm_clock.h"

namespace {

constexpr long long kDayMs = 86400000;

long long DayOf(long long ms)
{
    return ms / kDayMs - (ms % kDayMs < 0 ? 1 : 0);
}

}  // namespace

long long LocalMs(TDateTime value)
{
    const DayAndMs split = SplitRounded(value);
    return split.day * kDayMs + split.ms;
}

TDateTime FromLocalMs(long long ms)
{
    const long long day = DayOf(ms);
    return static_cast<TDateTime>(day) + static_cast<double>(ms - day * kDayMs) / kMsPerDay;
}

NoteReminderWatch::NoteReminderWatch(const NotesJournal& journal, Settings& settings, SettingsStore& store,
                                     bool persist)
    : m_journal(journal), m_settings(settings), m_store(store), m_persist(persist),
      m_schedule(ParseReminderMemory(settings.ShownReminders))
{
}

const std::vector<NoteReminder>& NoteReminderWatch::RemindersAround(TDateTime now)
{
    // The day before for the missed ones, the day after for advances of up to a day; read again
    // when the date moves (midnight, a jump of the clock) or a note changes.
    const long long today = DayOf(LocalMs(now));
    if (m_cachedDay != today) {
        m_reminders = RemindersOfDays(m_journal.Records(), today - 1, 3);
        m_cachedDay = today;
    }
    return m_reminders;
}

std::vector<ReminderNotice> NoteReminderWatch::Check(TDateTime now)
{
    if (!m_persist)
        return {};
    static const std::vector<NoteReminder> kNone;
    const std::vector<NoteReminder>& reminders = m_settings.NoteReminders ? RemindersAround(now) : kNone;
    std::vector<ReminderNotice> notices = m_schedule.Check(reminders, LocalMs(now), m_settings.ReminderAdvance);
    SaveIfChanged();
    return notices;
}

std::optional<TDateTime> NoteReminderWatch::NextWake(TDateTime now)
{
    if (!m_persist || !m_settings.NoteReminders)
        return std::nullopt;
    const auto next = m_schedule.NextWake(RemindersAround(now), LocalMs(now), m_settings.ReminderAdvance);
    if (!next)
        return std::nullopt;
    return FromLocalMs(*next);
}

std::string NoteReminderWatch::Hint(TDateTime now)
{
    if (!m_persist || !m_settings.NoteReminders)
        return {};
    const auto next = m_schedule.NextReminder(RemindersAround(now), LocalMs(now));
    return next ? "Następne: " + next->Label() : std::string();
}

void NoteReminderWatch::Snooze(const NoteReminder& reminder, TDateTime now)
{
    m_schedule.Snooze(reminder, LocalMs(now), ClampSnoozeMinutes(m_settings.SnoozeMinutes));
}

void NoteReminderWatch::Done(const NoteReminder& reminder)
{
    m_schedule.Done(reminder);
    SaveIfChanged();
}

void NoteReminderWatch::SaveIfChanged()
{
    if (m_schedule.TakeMemoryChanged())
        StoreMemory();
}

void NoteReminderWatch::StoreMemory()
{
    if (!m_persist)
        return;
    m_settings.ShownReminders = StoreReminderMemory(m_schedule.Memory());
    // A failed write costs at most a repeat or a missed notice at the next start.
    (void)SaveValues(m_store, m_settings, {SettingId::ShownReminders});
}
