// Events of an iCalendar file as notes.
#include "ics/ics_import.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <unordered_map>

#include "calendar/date_format.h"
#include "ics/ics_support.h"
#include "text/cp1250.h"

std::optional<LocalStart> ToLocal(const icaltimetype& t, const UtcOffsetAt& utcOffset)
{
    if (icaltime_is_null_time(t) || t.year < 1 || t.year > 9999)
        return std::nullopt;
    LocalStart local;
    if (t.is_date || !t.zone) {
        // A date, or a floating time: the same wall clock everywhere, so local already.
        local = {t.year, t.month, t.day, std::nullopt};
        if (!t.is_date)
            local.minutes = t.hour * 60 + t.minute;
    } else {
        const auto utc = static_cast<long long>(icaltime_as_timet_with_zone(t, t.zone));
        // The clock counts nanoseconds and ends in 2262. The offset of a moment beyond its range
        // is asked for the same moment whole 400-year cycles nearer: the Gregorian calendar, and
        // with it the weekday and the summer-time rules, repeats after them exactly.
        constexpr long long kCycle = 146'097LL * 86'400;   // 400 years
        constexpr long long kFirstAsked = -8'520'336'000;  // 1700-01-01
        constexpr long long kLastAsked = 7'258'118'400;    // 2200-01-01
        long long asked = utc;
        while (asked > kLastAsked)
            asked -= kCycle;
        while (asked < kFirstAsked)
            asked += kCycle;
        const auto moment = std::chrono::system_clock::time_point(std::chrono::seconds(asked));
        const long long seconds = utc + utcOffset(moment).count();
        long long days = seconds / 86400;
        long long secondOfDay = seconds % 86400;
        if (secondOfDay < 0) {
            secondOfDay += 86400;
            --days;
        }
        // 25569 days from 1899-12-30 to 1970-01-01.
        const DateParts d = DecodeDate(static_cast<TDateTime>(days + 25569));
        local = {d.year, d.month, d.day, static_cast<int>(secondOfDay / 60)};
    }
    if (!TryEncodeDate(local.year, local.month, local.day))
        return std::nullopt;
    return local;
}

namespace {

std::string Clock(int minutes)
{
    const int h = minutes / 60, m = minutes % 60;
    return {static_cast<char>('0' + h / 10), static_cast<char>('0' + h % 10), ':', static_cast<char>('0' + m / 10),
            static_cast<char>('0' + m % 10)};
}

// LF, CR LF or a lone CR in a value all end a line of the note. Escapes and bells would reach a
// terminal through --search and --print-day.
void AppendLines(std::string& text, const char* value)
{
    if (!value || !*value)
        return;
    if (!text.empty())
        text += "\r\n";
    for (const char* p = value; *p; ++p) {
        if (*p == '\r' && p[1] == '\n')
            continue;
        const auto u = static_cast<unsigned char>(*p);
        if (*p == '\r' || *p == '\n')
            text += "\r\n";
        else if ((u >= 0x20 && u != 0x7F) || *p == '\t')
            text += *p;
        // Other control characters are left out: libical makes them of escapes too ("\\b").
    }
}

bool NoneGiven(const short* list)
{
    return list[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

bool OnlyThis(const short* list, int value)
{
    return NoneGiven(list) || (list[0] == value && list[1] == ICAL_RECURRENCE_ARRAY_MAX);
}

// Every year on the start's month and day, and nothing else.
bool RecursYearlyOnItsDay(const icalrecurrencetype& rule, const icaltimetype& start)
{
    return rule.freq == ICAL_YEARLY_RECURRENCE && rule.interval <= 1 && NoneGiven(rule.by_day)
           && NoneGiven(rule.by_year_day) && NoneGiven(rule.by_week_no) && NoneGiven(rule.by_set_pos)
           && OnlyThis(rule.by_month, start.month) && OnlyThis(rule.by_month_day, start.day);
}

// The name days and holidays of our own export: the day view shows them already.
bool IsOwnTableEvent(icalcomponent* event)
{
    const char* uid = icalcomponent_get_uid(event);
    if (!uid)
        return false;
    const std::string_view id(uid);
    return id.ends_with("@dniarz") && (id.starts_with("imieniny-") || id.starts_with("swieto-"));
}

// calcurse and others write no UID: such an event is known by what it says and when.
std::string EventId(icalcomponent* event, const icaltimetype& start)
{
    const char* uid = icalcomponent_get_uid(event);
    if (uid && *uid) {
        std::string id = uid;
        const icaltimetype recurrence = icalcomponent_get_recurrenceid(event);
        if (!icaltime_is_null_time(recurrence))
            id += std::string("\n") + icaltime_as_ical_string(recurrence);
        return id;
    }
    std::string content = icaltime_is_null_time(start) ? "" : icaltime_as_ical_string(start);
    for (const char* value : {icalcomponent_get_summary(event), icalcomponent_get_description(event)}) {
        content += '\n';
        content += value ? value : "";
    }
    return "bez-uid:" + ContentHash(content);
}

void ReadEvent(icalcomponent* event, const UtcOffsetAt& utcOffset, IcsImport& out)
{
    if (IsOwnTableEvent(event)) {
        ++out.ownTables;
        return;
    }
    ++out.events;
    const icaltimetype start = icalcomponent_get_dtstart(event);
    const std::optional<LocalStart> local = ToLocal(start, utcOffset);
    if (!local) {
        ++out.skipped;
        return;
    }
    icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
    const bool recurring = rrule || icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
    const bool yearly = start.is_date && rrule && !icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY)
                        && !icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)
                        && RecursYearlyOnItsDay(icalproperty_get_rrule(rrule), start);
    if (recurring && !yearly)
        ++out.firstOccurrenceOnly;

    std::string text;
    if (local->minutes) {
        text = Clock(*local->minutes);
        const std::optional<LocalStart> end = ToLocal(icalcomponent_get_dtend(event), utcOffset);
        if (end && end->minutes && end->year == local->year && end->month == local->month && end->day == local->day
            && *end->minutes > *local->minutes)
            text += "-" + Clock(*end->minutes);
    }
    const char* summary = icalcomponent_get_summary(event);
    const char* description = icalcomponent_get_description(event);
    // Our own export, and other programs, repeat the summary as the description's first line:
    // the description then says everything, in the summary's place.
    if (summary && description && *summary && std::string_view(description).starts_with(summary)) {
        AppendLines(text, description);
        AppendLines(text, icalcomponent_get_location(event));
    } else {
        AppendLines(text, summary);
        AppendLines(text, icalcomponent_get_location(event));
        AppendLines(text, description);
    }
    if (text.empty())
        text = "Wydarzenie bez tytułu";
    // An all-day event of several days is on each of them, as a note over a range of days is;
    // its end date is the first day after it.
    int days = 1;
    if (start.is_date) {
        const icaltimetype end = icalcomponent_get_dtend(event);
        const std::optional<TDateTime> to = end.is_date && !icaltime_is_null_time(end)
                                                ? TryEncodeDate(end.year, end.month, end.day)
                                                : std::nullopt;
        if (to)
            days = std::max(1, static_cast<int>(*to - EncodeDate(local->year, local->month, local->day)));
        if (days > kMaxImportedDays) {
            days = 1;
            ++out.longerThanRange;
        }
    }
    const TDateTime first = EncodeDate(local->year, local->month, local->day);
    const std::string id = EventId(event, start);
    for (int i = 0; i < days; ++i) {
        const DateParts d = DecodeDate(first + i);
        out.notes.push_back({yearly ? YearlyKey(d.month, d.day) : DateKey(d.year, d.month, d.day), text, i == 0, id});
    }
}

struct EventReading
{
    const UtcOffsetAt& utcOffset;
    const IcsProgress& progress;
    int total = 0;  // events in the file, for the progress
    int read = 0;
};

// False once the reading was cancelled.
bool ReadEvents(icalcomponent* calendar, EventReading& reading, IcsImport& out)
{
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        if (++reading.read % 256 == 0) {
            if (reading.progress.Cancelled())
                return false;
            if (reading.progress.report && reading.total > 0)
                reading.progress.report(60 + 40 * std::min(reading.read, reading.total) / reading.total);
        }
        ReadEvent(event, reading.utcOffset, out);
    }
    // Some programs wrap calendars into a calendar; their events are the file's as much. The
    // check before parsing bounds the nesting.
    for (icalcomponent* inner = icalcomponent_get_first_component(calendar, ICAL_VCALENDAR_COMPONENT); inner;
         inner = icalcomponent_get_next_component(calendar, ICAL_VCALENDAR_COMPONENT))
        if (!ReadEvents(inner, reading, out))
            return false;
    return true;
}

// Hands libical the text a piece at a time. Its own icalparser_string_line_generator looks for the
// end of the line afresh for every piece of at most a few dozen bytes, so that a line costs the
// square of its length: 87 seconds for one of 10 MB. Here the end is found once a line.
struct LineSource
{
    std::string_view text;
    std::size_t pos = 0;
    std::size_t lineEnd = 0;  // of the line at pos, once lineKnown
    bool lineKnown = false;
};

char* NextPiece(char* out, std::size_t size, void* data)
{
    auto* source = static_cast<LineSource*>(data);
    if (source->pos >= source->text.size() || size < 2)
        return nullptr;
    if (!source->lineKnown || source->lineEnd < source->pos) {
        source->lineEnd = std::min(source->text.find('\n', source->pos), source->text.size() - 1);
        source->lineKnown = true;
    }
    const std::size_t n = std::min(size - 1, source->lineEnd + 1 - source->pos);
    std::memcpy(out, source->text.data() + source->pos, n);
    out[n] = '\0';
    source->pos += n;
    return out;
}

IcalComponentPtr Parse(std::string_view text)
{
    LineSource source{text};
    icalparser* parser = icalparser_new();
    icalparser_set_gen_data(parser, &source);
    IcalComponentPtr root(icalparser_parse(parser, NextPiece));
    icalparser_free(parser);
    return root;
}

int CountOf(std::string_view text, char c)
{
    int n = 0;
    for (const char ch : text)
        n += ch == c;
    return n;
}

std::string Counted(int n, const char* one, const char* few, const char* many)
{
    return PolishCount(n, one, few, many);
}

// The days an import changes, each with its note as it will be written.
class DayTexts
{
public:
    explicit DayTexts(const NotesJournal& journal) : m_journal(journal) {}
    std::string& Text(const std::string& key)
    {
        auto [day, added] = m_days.try_emplace(key);
        if (added) {
            m_keys.push_back(key);
            day->second = m_journal.FindNote(key).text;
        }
        return day->second;
    }
    // Appends a record for each day whose note changed, all or none, and flushes.
    void Write(NotesJournal& journal, TDateTime now)
    {
        std::vector<std::string> changed;
        for (const std::string& key : m_keys)
            if (m_days[key] != m_journal.FindNote(key).text)
                changed.push_back(key);
        std::uint64_t bytes = 0;
        for (const std::string& key : changed)
            bytes += NotesJournal::RecordSizeInFile(key, m_days[key], now);
        journal.CheckRoomFor(bytes);
        for (const std::string& key : changed)
            journal.AppendRecord(key, m_days[key], now);
        journal.Flush();
    }

private:
    const NotesJournal& m_journal;
    std::vector<std::string> m_keys;  // in the order first touched
    std::unordered_map<std::string, std::string> m_days;
};

// Where `piece` stands in `day` as whole lines, or npos: a short piece such as "a" must not match
// inside a word the user wrote.
std::size_t FindLines(const std::string& day, const std::string& piece)
{
    if (piece.empty())
        return std::string::npos;
    for (std::size_t at = day.find(piece); at != std::string::npos; at = day.find(piece, at + 1)) {
        const std::size_t end = at + piece.size();
        if ((at == 0 || day[at - 1] == '\n') && (end == day.size() || day[end] == '\r'))
            return at;
    }
    return std::string::npos;
}

// Takes `piece` out of the day's note with the "----" line that set it apart, if it is still there.
void RemovePiece(std::string& day, const std::string& piece)
{
    const std::size_t at = FindLines(day, piece);
    if (at == std::string::npos)
        return;
    constexpr std::string_view kSeparator = "\r\n----\r\n";
    std::size_t from = at, to = at + piece.size();
    if (std::string_view(day).substr(0, from).ends_with(kSeparator))
        from -= kSeparator.size();
    else if (std::string_view(day).substr(to).starts_with(kSeparator))
        to += kSeparator.size();
    day.erase(from, to - from);
}

// What makes an event the same as when it was imported: its days and its text.
std::string ImportedEventHash(std::span<const ImportedNote> event)
{
    std::string content;
    for (const ImportedNote& note : event) {
        content += note.key;
        content += '\0';
        content += note.text;
        content += '\0';
    }
    return ContentHash(content);
}

}  // namespace

std::string PolishCount(int n, const char* one, const char* few, const char* many)
{
    const int lastTwo = n % 100, last = n % 10;
    const char* word = n == 1 ? one : (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) ? few : many;
    return std::to_string(n) + " " + word;
}

std::string IcsTooLargeText()
{
    return "Plik jest za duży jak na kalendarz (ponad " + std::to_string(kMaxIcsBytes / (1024 * 1024)) + " MB).";
}

IcsImport ReadIcs(std::string_view bytes, const UtcOffsetAt& utcOffset, const IcsProgress& progress)
{
    IcsImport result;
    if (bytes.size() > kMaxIcsBytes) {
        result.error = IcsTooLargeText();
        return result;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    IcsPrecheck checked = PrecheckIcs(bytes, progress, 50);
    if (checked.cancelled || !checked.error.empty()) {
        result.cancelled = checked.cancelled;
        result.error = checked.error;
        return result;
    }
    MakeIcalErrorsNonFatal();
    const IcalComponentPtr root = Parse(checked.text);
    checked.text = std::string();
    EventReading reading{utcOffset, progress, checked.events};
    bool calendar = false;
    bool whole = true;
    if (root) {
        const icalcomponent_kind kind = icalcomponent_isa(root.get());
        if (kind == ICAL_VCALENDAR_COMPONENT) {
            calendar = true;
            whole = ReadEvents(root.get(), reading, result);
        } else if (kind == ICAL_XROOT_COMPONENT) {
            // Several calendars one after another in one file.
            for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c && whole;
                 c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
                calendar = true;
                whole = ReadEvents(c, reading, result);
            }
        }
    }
    if (!whole) {
        result = {};
        result.cancelled = true;
    } else if (!calendar) {
        result = {};
        result.error = "Plik nie zawiera kalendarza w formacie iCalendar (BEGIN:VCALENDAR).";
    } else {
        result.events += checked.invalidEvents;
        result.skipped += checked.invalidEvents;
    }
    return result;
}

int EventsRead(const IcsImport& read)
{
    return static_cast<int>(
        std::count_if(read.notes.begin(), read.notes.end(), [](const ImportedNote& note) { return note.firstDay; }));
}

ImportOutcome AppendImportedNotes(NotesJournal& journal, const std::vector<ImportedNote>& notes, TDateTime now,
                                  ImportMemory* memory)
{
    ImportOutcome outcome;
    // One record a day holding all its events: a record each would repeat the day's note so far
    // every time, and the file would grow with the square of the events of one day.
    DayTexts days(journal);
    ImportMemory written;
    std::unordered_map<std::string, int> seen;  // ids of this file: one given twice is two events
    for (std::size_t first = 0, last = 0; first < notes.size(); first = last) {
        last = first + 1;
        while (last < notes.size() && !notes[last].firstDay)
            ++last;
        const std::span<const ImportedNote> event(notes.data() + first, last - first);
        std::string id = event.front().id;
        if (const int repeat = seen[id]++; repeat > 0)
            id += "\n#" + std::to_string(repeat + 1);
        const std::string hash = ImportedEventHash(event);
        const RememberedEvent* earlier = nullptr;
        if (memory && !event.front().id.empty()) {
            const auto found = memory->find(id);
            if (found != memory->end()) {
                if (found->second.hash == hash) {
                    ++outcome.alreadyImported;
                    continue;
                }
                earlier = &found->second;
            }
        }
        RememberedEvent remembered;
        remembered.hash = hash;
        std::vector<bool> used(earlier ? earlier->pieces.size() : 0, false);
        for (const ImportedNote& note : event) {
            const std::string text = MakeCp1250Safe(note.text);
            if (note.firstDay)
                outcome.replacedCharacters += CountOf(text, '?') - CountOf(note.text, '?');
            std::string& day = days.Text(note.key);
            bool replaced = false;
            for (std::size_t i = 0; i < used.size() && !replaced; ++i) {
                const RememberedPiece& piece = earlier->pieces[i];
                if (used[i] || piece.key != note.key)
                    continue;
                if (const std::size_t at = FindLines(day, piece.text); at != std::string::npos) {
                    day.replace(at, piece.text.size(), text);
                    used[i] = replaced = true;
                }
            }
            if (!replaced) {
                if (!day.empty())
                    day += "\r\n----\r\n";
                day += text;
            }
            remembered.pieces.push_back({note.key, text});
        }
        // Days the event no longer covers lose what it wrote there.
        for (std::size_t i = 0; i < used.size(); ++i)
            if (!used[i])
                RemovePiece(days.Text(earlier->pieces[i].key), earlier->pieces[i].text);
        ++outcome.notes;
        if (!event.front().id.empty())
            written[id] = std::move(remembered);
    }
    days.Write(journal, now);
    if (memory)
        for (auto& [id, event] : written)
            (*memory)[id] = std::move(event);
    return outcome;
}

std::string ImportReport(const IcsImport& read, const ImportOutcome& outcome)
{
    std::string report = "Zaimportowano " + Counted(outcome.notes, "wydarzenie", "wydarzenia", "wydarzeń") + ".";
    if (read.firstOccurrenceOnly > 0)
        report += "\n"
                  + Counted(read.firstOccurrenceOnly, "wydarzenie powtarzające", "wydarzenia powtarzające",
                            "wydarzeń powtarzających")
                  + " się inaczej niż co rok zapisano tylko pod datą pierwszego wystąpienia.";
    if (read.longerThanRange > 0)
        report += "\n"
                  + Counted(read.longerThanRange, "wydarzenie całodniowe dłuższe", "wydarzenia całodniowe dłuższe",
                            "wydarzeń całodniowych dłuższych")
                  + " niż " + std::to_string(kMaxImportedDays) + " dni zapisano tylko pod pierwszym dniem.";
    if (read.ownTables > 0)
        report += "\nPominięto " + Counted(read.ownTables, "wydarzenie", "wydarzenia", "wydarzeń")
                  + " z imieninami i świętami, które program pokazuje sam.";
    if (read.skipped > 0)
        report += "\nPominięto " + Counted(read.skipped, "wydarzenie", "wydarzenia", "wydarzeń")
                  + " bez daty, którą można odczytać.";
    if (outcome.alreadyImported > 0)
        report += "\nPominięto "
                  + Counted(outcome.alreadyImported, "już zaimportowane wydarzenie", "już zaimportowane wydarzenia",
                            "już zaimportowanych wydarzeń")
                  + ".";
    if (outcome.replacedCharacters > 0)
        report += "\n" + Counted(outcome.replacedCharacters, "znak", "znaki", "znaków")
                  + " spoza strony kodowej Windows-1250 zastąpiono znakiem \"?\".";
    if (!outcome.memoryNotSaved.empty())
        report += "\nNie zapisano listy zaimportowanych wydarzeń (" + outcome.memoryNotSaved
                  + "): ponowny import tego pliku dopisze je jeszcze raz.";
    return report;
}

std::string ImportQuestion(int events)
{
    return "Plik zawiera " + Counted(events, "wydarzenie", "wydarzenia", "wydarzeń")
           + ". Czy dopisać je wszystkie do notatek?";
}
