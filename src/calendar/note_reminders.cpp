// Reminder lines of notes: the time at a line's start, and the reminders of a run of days.
#include "calendar/note_reminders.h"

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"

#include <algorithm>
#include <cstdio>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimmedEnd(std::string_view text)
{
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string_view TrimmedStart(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The time at the line's start and, after it, the end of a span ("-15:00", blanks allowed around
// the dash) when one follows; the length covers both.
std::optional<LeadingTime> TimeWithSpan(std::string_view line)
{
    const std::optional<LeadingTime> start = ParseLeadingTime(line);
    if (!start)
        return std::nullopt;
    std::string_view rest = TrimmedStart(line.substr(start->length));
    if (rest.empty() || rest.front() != '-')
        return start;
    rest = TrimmedStart(rest.substr(1));
    const std::optional<LeadingTime> end = ParseLeadingTime(rest);
    if (!end)
        return start;
    const std::size_t length = static_cast<std::size_t>(rest.data() - line.data()) + end->length;
    return LeadingTime{start->minutes, length};
}

}  // namespace

std::optional<LeadingTime> ParseLeadingTime(std::string_view line)
{
    std::size_t pos = 0;
    int hour = 0;
    while (pos < line.size() && pos < 2 && IsDigit(line[pos]))
        hour = hour * 10 + (line[pos++] - '0');
    if (pos == 0 || pos >= line.size() || (line[pos] != ':' && line[pos] != '.'))
        return std::nullopt;
    ++pos;
    if (pos + 2 > line.size() || !IsDigit(line[pos]) || !IsDigit(line[pos + 1]))
        return std::nullopt;
    const int minute = (line[pos] - '0') * 10 + (line[pos + 1] - '0');
    pos += 2;
    // "14:305" or "14.30.2026" is no time of day but a number or a date.
    if (pos < line.size() && (IsDigit(line[pos]) || line[pos] == ':' || line[pos] == '.'))
        return std::nullopt;
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return LeadingTime{hour * 60 + minute, pos};
}

std::vector<NoteLineReminder> RemindersInNote(std::string_view text)
{
    std::vector<NoteLineReminder> found;
    const std::vector<std::string_view> lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimmedEnd(lines[i]);
        const std::optional<LeadingTime> time = TimeWithSpan(line);
        if (!time)
            continue;
        const std::string_view rest = line.substr(time->length);
        if (rest.empty()) {
            // The time on a line of its own, the appointment's title below it.
            const std::string_view next = i + 1 < lines.size() ? TrimmedStart(TrimmedEnd(lines[i + 1])) : "";
            if (!next.empty() && !ParseLeadingTime(next)) {
                found.push_back({time->minutes, std::string(next)});
                ++i;
            }
            continue;
        }
        if (!IsBlank(rest.front()))
            continue;
        const std::string_view reminderText = TrimmedStart(rest);
        if (!reminderText.empty())
            found.push_back({time->minutes, std::string(reminderText)});
    }
    return found;
}

std::uint32_t ReminderTextHash(std::string_view text)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::string NoteReminder::Key() const
{
    char tail[24];
    std::snprintf(tail, sizeof tail, " %02d:%02d %08x", minutes / 60, minutes % 60,
                  static_cast<unsigned>(ReminderTextHash(text)));
    return DateKey(static_cast<TDateTime>(day)) + tail;
}

std::string NoteReminder::Label() const
{
    char time[24];
    std::snprintf(time, sizeof time, "%d:%02d", minutes / 60, minutes % 60);
    return std::string(time) + " " + text;
}

std::vector<NoteReminder> RemindersOfDays(const JournalRecords& records, long long firstDay, int days)
{
    std::vector<NoteReminder> all;
    for (long long day = firstDay; day < firstDay + days; ++day) {
        const TDateTime date = static_cast<TDateTime>(day);
        if (date < EncodeDate(kMinYear, 1, 1) || date > EncodeDate(kMaxYear, 12, 31))
            continue;
        const DateParts parts = DecodeDate(date);
        const std::size_t dayStart = all.size();
        for (const std::string& key : {DateKey(date), YearlyKey(parts.month, parts.day)})
            for (NoteLineReminder& line : RemindersInNote(records.FindNote(key).text)) {
                NoteReminder reminder{day, line.minutes, std::move(line.text)};
                if (std::find(all.begin() + static_cast<std::ptrdiff_t>(dayStart), all.end(), reminder) == all.end())
                    all.push_back(std::move(reminder));
            }
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const NoteReminder& a, const NoteReminder& b) { return a.MomentMs() < b.MomentMs(); });
    return all;
}
