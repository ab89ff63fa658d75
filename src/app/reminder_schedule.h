// When the reminders of the notes are shown: ahead of their time, at it, or once as missed after a
// sleep, a start or a jump of the clock, and never twice. Every operation is handed the moment
// (local time); nothing here reads a clock, the notes or the settings store.
#pragma once

#include "calendar/note_reminders.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A reminder's time is shown as on time up to this long after it; later it is told as missed. The
// hidden clock wakes for the reminder itself, so only a sleep, a start or a jump of the clock is
// this late.
inline constexpr long long kReminderOnTimeMs = 60 * 1000;
// Missed reminders older than this are not told any more.
inline constexpr long long kMissedReminderWindowMs = 24LL * 60 * 60 * 1000;
// The longest advance the settings allow, minutes.
inline constexpr int kMaxReminderAdvance = 1440;

// What was shown, kept between runs.
struct ReminderMemory
{
    // The moment (ms since 1899-12-30, local) up to which every reminder was dealt with; nullopt
    // before the first look, when nothing counts as missed.
    std::optional<long long> watchedMs;
    // Reminder key (NoteReminder::Key) -> 1 when the advance notice was shown, 2 when the
    // reminder is done (its time shown, told as missed, or answered "Gotowe").
    std::map<std::string, int> shown;
    bool operator==(const ReminderMemory&) const = default;
};
// The stored form: "yyyy.mm.dd hh:nn:ss" of watchedMs, then ";key=stage" for each shown reminder.
// A damaged text reads as far as it makes sense; an empty one is a memory with nothing in it.
std::string StoreReminderMemory(const ReminderMemory& memory);
ReminderMemory ParseReminderMemory(std::string_view stored);

enum class ReminderNoticeKind
{
    Advance,  // "Za 15 min: 14:30 dentysta"
    Time,     // "14:30 dentysta"
    Missed,   // "Pominięte przypomnienie: 14:30 dentysta (dziś)"
    Snoozed,  // shown again after "Drzemka", worded as Advance or Time by then
};

struct ReminderNotice
{
    ReminderNoticeKind kind;
    NoteReminder reminder;
    std::string summary;
};

// The wording of an advance: "Za 15 min", "Za 1 godz.", "Za 2 godz. 5 min"; minutes >= 1.
std::string AdvanceWording(long long minutes);

class ReminderSchedule
{
public:
    explicit ReminderSchedule(ReminderMemory memory = {}) : m_memory(std::move(memory)) {}

    // A look at `nowMs` (ms since 1899-12-30, local) over `reminders` (RemindersOfDays of at least
    // the day before now, now's day and the day after, in time order), with notices `advance`
    // minutes (0..1440) ahead. Returns what is due, in time order, and remembers it as shown:
    // - an advance whose moment passed since the last look, while the time is still ahead (told
    //   with the minutes actually left);
    // - a time that passed since the last look: on time when it is at most kReminderOnTimeMs old,
    //   else once as missed (also for its advance), when at most kMissedReminderWindowMs old;
    //   older ones are passed over;
    // - a snooze whose minutes are over.
    // The first look of all tells nothing. A clock gone back makes the look start again from the
    // new time, but a reminder shown already is never shown again.
    std::vector<ReminderNotice> Check(const std::vector<NoteReminder>& reminders, long long nowMs, int advance);

    // The earliest moment after `nowMs` at which Check has something to show: an advance, a time
    // or a snooze; nullopt when none of `reminders` and no snooze is ahead.
    std::optional<long long> NextWake(const std::vector<NoteReminder>& reminders, long long nowMs, int advance) const;
    // The next reminder not done whose time is after `nowMs`, for the tray's hint.
    std::optional<NoteReminder> NextReminder(const std::vector<NoteReminder>& reminders, long long nowMs) const;

    // "Drzemka" at `nowMs`: the reminder is shown again after `minutes`.
    void Snooze(const NoteReminder& reminder, long long nowMs, int minutes);
    // "Gotowe": nothing more of this reminder, its time included.
    void Done(const NoteReminder& reminder);

    const ReminderMemory& Memory() const { return m_memory; }
    // Whether the memory changed in a way that must be stored now (something shown, the clock
    // gone back, the first look); reading it clears it.
    bool TakeMemoryChanged();

private:
    int Stage(const std::string& key) const;
    void Forget(long long nowMs);

    ReminderMemory m_memory;
    struct Snoozed
    {
        NoteReminder reminder;
        long long atMs;
    };
    std::vector<Snoozed> m_snoozes;
    bool m_changed = false;
};
