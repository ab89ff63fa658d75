// Events of an iCalendar file as notes.
#include "ics/ics_import.h"

#include <optional>

#include "calendar/date_format.h"
#include "ics/ics_support.h"
#include "text/cp1250.h"

namespace {

struct LocalStart
{
    int year = 0, month = 0, day = 0;
    std::optional<int> minutes;  // minutes after midnight; none for an all-day event
};

// The local day and time of a moment from the file; nothing for a date no note can have.
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

std::string Clock(int minutes)
{
    const int h = minutes / 60, m = minutes % 60;
    return {static_cast<char>('0' + h / 10), static_cast<char>('0' + h % 10), ':', static_cast<char>('0' + m / 10),
            static_cast<char>('0' + m % 10)};
}

// LF, CR LF or a lone CR in a value all end a line of the note.
void AppendLines(std::string& text, const char* value)
{
    if (!value || !*value)
        return;
    if (!text.empty())
        text += "\r\n";
    for (const char* p = value; *p; ++p) {
        if (*p == '\r' && p[1] == '\n')
            continue;
        if (*p == '\r' || *p == '\n')
            text += "\r\n";
        else
            text += *p;
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

void ReadEvent(icalcomponent* event, const UtcOffsetAt& utcOffset, IcsImport& out)
{
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
    AppendLines(text, icalcomponent_get_summary(event));
    AppendLines(text, icalcomponent_get_location(event));
    AppendLines(text, icalcomponent_get_description(event));
    if (text.empty())
        text = "Wydarzenie bez tytułu";
    out.notes.push_back({yearly ? YearlyKey(local->month, local->day) : DateKey(local->year, local->month, local->day),
                         std::move(text)});
}

void ReadEvents(icalcomponent* calendar, const UtcOffsetAt& utcOffset, IcsImport& out)
{
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        ReadEvent(event, utcOffset, out);
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

IcsImport ReadIcs(std::string_view bytes, const UtcOffsetAt& utcOffset)
{
    IcsImport result;
    if (bytes.size() > kMaxIcsBytes) {
        result.error = IcsTooLargeText();
        return result;
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    MakeIcalErrorsNonFatal();
    const std::string text(bytes);
    const IcalComponentPtr root(icalparser_parse_string(text.c_str()));
    bool calendar = false;
    if (root) {
        const icalcomponent_kind kind = icalcomponent_isa(root.get());
        if (kind == ICAL_VCALENDAR_COMPONENT) {
            calendar = true;
            ReadEvents(root.get(), utcOffset, result);
        } else if (kind == ICAL_XROOT_COMPONENT) {
            // Several calendars one after another in one file.
            for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT); c;
                 c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
                calendar = true;
                ReadEvents(c, utcOffset, result);
            }
        }
    }
    if (!calendar) {
        result = {};
        result.error = "Plik nie zawiera kalendarza w formacie iCalendar (BEGIN:VCALENDAR).";
    }
    return result;
}

ImportOutcome AppendImportedNotes(NotesJournal& journal, const std::vector<ImportedNote>& notes, TDateTime now)
{
    ImportOutcome outcome;
    for (const ImportedNote& note : notes) {
        outcome.replacedCharacters += CountOf(MakeCp1250Safe(note.text), '?') - CountOf(note.text, '?');
        const std::string existing = journal.FindNote(note.key).text;
        journal.AppendRecord(note.key, existing.empty() ? note.text : existing + "\r\n----\r\n" + note.text, now);
        ++outcome.notes;
    }
    journal.Flush();
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
    if (read.skipped > 0)
        report += "\nPominięto " + Counted(read.skipped, "wydarzenie", "wydarzenia", "wydarzeń")
                  + " bez daty, którą można odczytać.";
    if (outcome.replacedCharacters > 0)
        report += "\n" + Counted(outcome.replacedCharacters, "znak", "znaki", "znaków")
                  + " spoza strony kodowej Windows-1250 zastąpiono znakiem \"?\".";
    return report;
}

std::string ImportQuestion(int events)
{
    return "Plik zawiera " + Counted(events, "wydarzenie", "wydarzenia", "wydarzeń")
           + ". Czy dopisać je wszystkie do notatek?";
}
