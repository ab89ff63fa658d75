// The reminders' schedule: what is due at a moment, what comes next, and the memory of the shown.
#include "app/reminder_schedule.h"

#include "calendar/datetime.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

constexpr long long kDayMs = 86400000;
constexpr long long kMinuteMs = 60000;
// Shown reminders are remembered this long after their time: past the window of the missed ones
// and past any advance, and long enough that a clock set days ahead by mistake and then put right
// does not show again what it showed meanwhile. A week of reminders is a short text.
constexpr long long kRememberMs = 7 * kDayMs;

long long FloorDiv(long long a, long long b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

std::string MomentText(long long ms)
{
    const long long day = FloorDiv(ms, kDayMs);
    const long long inDay = ms - day * kDayMs;
    const DateParts d = DateOfDayNumber(day);
    char text[80];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d %02lld:%02lld:%02lld", d.year, d.month, d.day, inDay / 3600000,
                  inDay / 60000 % 60, inDay / 1000 % 60);
    return text;
}

// The moment of "yyyy.mm.dd hh:nn[:ss]" at the start of `text`.
std::optional<long long> ParseMoment(std::string_view text, bool withSeconds)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
    const std::string copy(text.substr(0, withSeconds ? 19 : 16));
    const int fields = withSeconds
                           ? std::sscanf(copy.c_str(), "%4d.%2d.%2d %2d:%2d:%2d%n", &y, &mo, &d, &h, &mi, &s, &used)
                           : std::sscanf(copy.c_str(), "%4d.%2d.%2d %2d:%2d%n", &y, &mo, &d, &h, &mi, &used);
    if (fields != (withSeconds ? 6 : 5) || static_cast<std::size_t>(used) != copy.size() || h > 23 || mi > 59 || s > 59
        || h < 0 || mi < 0 || s < 0)
        return std::nullopt;
    const std::optional<TDateTime> date = TryEncodeDate(y, mo, d);
    if (!date)
        return std::nullopt;
    return static_cast<long long>(*date) * kDayMs + (h * 60LL + mi) * kMinuteMs + s * 1000LL;
}

long long MinutesLeft(long long fromMs, long long toMs)
{
    return std::max<long long>(1, (toMs - fromMs + kMinuteMs - 1) / kMinuteMs);
}

std::string AheadSummary(const NoteReminder& reminder, long long nowMs)
{
    return AdvanceWording(MinutesLeft(nowMs, reminder.MomentMs())) + ": " + reminder.Label();
}

std::string MissedSummary(const NoteReminder& reminder, long long nowMs)
{
    const long long today = FloorDiv(nowMs, kDayMs);
    const char* when = reminder.day == today ? "dziś" : reminder.day == today - 1 ? "wczoraj" : nullptr;
    std::string summary = "Pominięte przypomnienie: " + reminder.Label();
    if (when)
        summary += std::string(" (") + when + ")";
    return summary;
}

}  // namespace

std::string AdvanceWording(long long minutes)
{
    const long long hours = minutes / 60, rest = minutes % 60;
    std::string text = "Za";
    if (hours > 0)
        text += " " + std::to_string(hours) + " godz.";
    if (rest > 0 || hours == 0)
        text += " " + std::to_string(rest) + " min";
    return text;
}

std::string StoreReminderMemory(const ReminderMemory& memory)
{
    std::string out = memory.watchedMs ? MomentText(*memory.watchedMs) : "";
    for (const auto& [key, stage] : memory.shown)
        out += ";" + key + "=" + std::to_string(stage);
    return out;
}

ReminderMemory ParseReminderMemory(std::string_view stored)
{
    ReminderMemory memory;
    std::size_t pos = 0;
    bool first = true;
    while (pos <= stored.size()) {
        std::size_t end = stored.find(';', pos);
        if (end == std::string_view::npos)
            end = stored.size();
        const std::string_view part = stored.substr(pos, end - pos);
        if (first) {
            memory.watchedMs = ParseMoment(part, true);
            if (part.size() != 19)
                memory.watchedMs.reset();
        } else if (const std::size_t eq = part.rfind('='); eq != std::string_view::npos && eq + 2 == part.size()
                                                           && (part[eq + 1] == '1' || part[eq + 1] == '2')
                                                           && ParseMoment(part, false)) {
            memory.shown[std::string(part.substr(0, eq))] = part[eq + 1] - '0';
        }
        first = false;
        pos = end + 1;
    }
    return memory;
}

int ReminderSchedule::Stage(const std::string& key) const
{
    const auto found = m_memory.shown.find(key);
    return found == m_memory.shown.end() ? 0 : found->second;
}

void ReminderSchedule::Forget(long long nowMs)
{
    for (auto it = m_memory.shown.begin(); it != m_memory.shown.end();) {
        const std::optional<long long> at = ParseMoment(it->first, false);
        if (!at || *at < nowMs - kRememberMs) {
            it = m_memory.shown.erase(it);
            m_changed = true;
        } else {
            ++it;
        }
    }
}

std::vector<ReminderNotice> ReminderSchedule::Check(const std::vector<NoteReminder>& reminders, long long nowMs,
                                                    int advance)
{
    std::vector<ReminderNotice> notices;
    if (!m_memory.watchedMs || *m_memory.watchedMs > nowMs) {
        // The first look has nothing behind it to miss. After the clock went back, what lies
        // between the new time and the old is looked at again as the clock passes it; the
        // reminders shown there stay in the memory and are skipped.
        m_memory.watchedMs = nowMs;
        m_changed = true;
        Forget(nowMs);
        return notices;
    }
    const long long fromMs = *m_memory.watchedMs;
    const long long advanceMs = std::clamp(advance, 0, kMaxReminderAdvance) * kMinuteMs;
    for (const NoteReminder& reminder : reminders) {
        const std::string key = reminder.Key();
        const int stage = Stage(key);
        if (stage >= 2)
            continue;
        const long long at = reminder.MomentMs();
        if (fromMs < at && at <= nowMs) {
            const long long late = nowMs - at;
            if (late <= kReminderOnTimeMs)
                notices.push_back({ReminderNoticeKind::Time, reminder, reminder.Label()});
            else if (late <= kMissedReminderWindowMs)
                notices.push_back({ReminderNoticeKind::Missed, reminder, MissedSummary(reminder, nowMs)});
            m_memory.shown[key] = 2;
            m_changed = true;
            continue;
        }
        const long long ahead = at - advanceMs;
        if (advanceMs > 0 && stage < 1 && fromMs < ahead && ahead <= nowMs && at > nowMs) {
            notices.push_back({ReminderNoticeKind::Advance, reminder, AheadSummary(reminder, nowMs)});
            m_memory.shown[key] = 1;
            m_changed = true;
        }
    }
    for (auto it = m_snoozes.begin(); it != m_snoozes.end();) {
        if (it->atMs > nowMs) {
            ++it;
            continue;
        }
        const NoteReminder& reminder = it->reminder;
        const bool ahead = reminder.MomentMs() > nowMs;
        notices.push_back(
            {ReminderNoticeKind::Snoozed, reminder, ahead ? AheadSummary(reminder, nowMs) : reminder.Label()});
        it = m_snoozes.erase(it);
    }
    m_memory.watchedMs = nowMs;
    Forget(nowMs);
    return notices;
}

std::optional<long long> ReminderSchedule::NextWake(const std::vector<NoteReminder>& reminders, long long nowMs,
                                                    int advance) const
{
    const long long advanceMs = std::clamp(advance, 0, kMaxReminderAdvance) * kMinuteMs;
    std::optional<long long> next;
    const auto consider = [&next, nowMs](long long at) {
        if (at > nowMs && (!next || at < *next))
            next = at;
    };
    for (const NoteReminder& reminder : reminders) {
        const int stage = Stage(reminder.Key());
        if (stage >= 2)
            continue;
        if (advanceMs > 0 && stage < 1)
            consider(reminder.MomentMs() - advanceMs);
        consider(reminder.MomentMs());
    }
    for (const Snoozed& snoozed : m_snoozes)
        consider(snoozed.atMs);
    return next;
}

std::optional<NoteReminder> ReminderSchedule::NextReminder(const std::vector<NoteReminder>& reminders,
                                                           long long nowMs) const
{
    for (const NoteReminder& reminder : reminders)
        if (reminder.MomentMs() > nowMs && Stage(reminder.Key()) < 2)
            return reminder;
    return std::nullopt;
}

void ReminderSchedule::Snooze(const NoteReminder& reminder, long long nowMs, int minutes)
{
    std::erase_if(m_snoozes, [&reminder](const Snoozed& s) { return s.reminder == reminder; });
    m_snoozes.push_back({reminder, nowMs + std::max(1, minutes) * kMinuteMs});
}

void ReminderSchedule::Done(const NoteReminder& reminder)
{
    std::erase_if(m_snoozes, [&reminder](const Snoozed& s) { return s.reminder == reminder; });
    m_memory.shown[reminder.Key()] = 2;
    m_changed = true;
}

bool ReminderSchedule::TakeMemoryChanged()
{
    return std::exchange(m_changed, false);
}
