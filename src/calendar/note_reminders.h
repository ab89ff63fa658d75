// Reminders written in notes: a line that begins with a time of day ("14:30 dentysta") reminds at
// that time of the note's day. Nothing is stored apart from the note itself.
#pragma once

#include "calendar/datetime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class JournalRecords;

// A time at the very start of a line, as people write it: "14:30", "9:05", "14.30", hours 0..23
// and minutes of two digits 00..59. Returns the minutes since midnight and how many characters the
// time takes; nullopt when the line does not begin so ("24:00", "7:60", "ok. 14:30", "1430").
struct LeadingTime
{
    int minutes = 0;
    std::size_t length = 0;
};
std::optional<LeadingTime> ParseLeadingTime(std::string_view line);

// One reminder line of a note: its time (minutes since midnight) and its text.
struct NoteLineReminder
{
    int minutes = 0;
    std::string text;
    bool operator==(const NoteLineReminder&) const = default;
};

// The reminders of a note's text (lines ended by CR LF, LF or CR), in the note's order. A line
// reminds when its time is followed by at least one space or tab and then text; the text is the
// rest of the line without those blanks and without blanks at its end. A time may also carry the
// end of a span ("14:30-15:00 narada"), which is left out of the text. A line holding a time alone,
// or a span alone, is how an appointment read from an iCalendar file begins: its text is the next
// line. A time inside a sentence reminds of nothing.
std::vector<NoteLineReminder> RemindersInNote(std::string_view text);

// A reminder of a day: the date (whole days since 1899-12-30), the time and the text.
struct NoteReminder
{
    long long day = 0;  // whole days since 1899-12-30
    int minutes = 0;    // 0..1439
    std::string text;

    // Milliseconds since 1899-12-30 00:00 local: the moment the reminder is for.
    long long MomentMs() const { return day * 86400000LL + minutes * 60000LL; }
    // "yyyy.mm.dd hh:nn xxxxxxxx": the day, the time and a hash of the text. A note edited
    // elsewhere keeps the key of this line; a changed time or text makes it another reminder.
    std::string Key() const;
    // "14:30 dentysta", the hour without a leading zero as people write it.
    std::string Label() const;
    bool operator==(const NoteReminder&) const = default;
};

// The reminders of the `days` days from `firstDay` (a date), in time order: of each day the date
// note's lines first, then the yearly note's, a line both notes hold only once. A yearly note of
// 29 February reminds only in leap years. Days outside years 1..9999 are left out.
std::vector<NoteReminder> RemindersOfDays(const JournalRecords& records, long long firstDay, int days);

// 32-bit FNV-1a of the text, the hash in a reminder's key.
std::uint32_t ReminderTextHash(std::string_view text);
