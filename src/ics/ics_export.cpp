// The notes, name days and public holidays as one iCalendar calendar.
#include "ics/ics_export.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <vector>

#include "calendar/date_format.h"
#include "calendar/day_info.h"
#include "calendar/feasts.h"
#include "ics/ics_support.h"

namespace {

constexpr const char* kUidDomain = "@dniarz";

struct KeyDate
{
    bool yearly = false;
    int year = 0, month = 0, day = 0;
};

int Digits(std::string_view text)
{
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : -1;
}

// "yyyy.mm.dd" or "    .mm.dd"; nothing for a key no save would write.
std::optional<KeyDate> ParseKey(std::string_view key)
{
    if (key.size() != 10 || key[4] != '.' || key[7] != '.')
        return std::nullopt;
    KeyDate d;
    d.yearly = key.starts_with("    ");
    d.year = d.yearly ? 2000 : Digits(key.substr(0, 4));
    d.month = Digits(key.substr(5, 2));
    d.day = Digits(key.substr(8, 2));
    if (!TryEncodeDate(d.year, d.month, d.day))
        return std::nullopt;
    return d;
}

icaltimetype DateValue(int year, int month, int day)
{
    icaltimetype t = icaltime_null_date();
    t.year = year;
    t.month = month;
    t.day = day;
    return t;
}

std::string TwoDigits(int n)
{
    return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

// A DTSTART or DTEND of a whole day. libical's own constructors take a date past the year 3000 for
// no time at all (icaltime_is_valid_time) and write "00000000T000000", and leave VALUE=DATE out of
// a date in the year 1; a value made from its text and the parameter given here keep every day of
// the years 0001-9999 as it is.
icalproperty* DateProperty(icalproperty_kind kind, const icaltimetype& date)
{
    icalproperty* property = icalproperty_new(kind);
    const std::string text = FourDigitYear(date.year) + TwoDigits(date.month) + TwoDigits(date.day);
    icalproperty_set_value(property, icalvalue_new_from_string(ICAL_DATE_VALUE, text.c_str()));
    icalproperty_add_parameter(property, icalparameter_new_value(ICAL_VALUE_DATE));
    return property;
}

// "2024-03-10": the part of a UID that names the day.
std::string UidDate(int year, int month, int day)
{
    return FourDigitYear(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day);
}

// iCalendar text breaks lines with LF alone; libical escapes it as "\n". A CR that ends no line
// in the note (one put there by hand, or by an old editor) would go out as an escape no reader
// knows, so it breaks the line too, as the import reads a lone CR.
std::string WithLineFeeds(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

std::string_view Trimmed(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    return line.substr(start, line.find_last_not_of(" \t") - start + 1);
}

// The first line that holds more than blanks; `text` has LF line ends.
std::string Summary(std::string_view text)
{
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = Trimmed(text.substr(pos, end - pos));
        if (!line.empty())
            return std::string(line);
        pos = end + 1;
    }
    return {};
}

class CalendarWriter
{
public:
    explicit CalendarWriter(std::chrono::system_clock::time_point now)
        : m_calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT))
    {
        icalcomponent* cal = m_calendar.get();
        icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
        icalcomponent_add_property(cal, icalproperty_new_prodid("-//Dniarz//Dniarz//PL"));
        icalcomponent_add_property(cal, icalproperty_new_calscale("GREGORIAN"));
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
        m_stamp = icaltime_from_timet_with_zone(static_cast<time_t>(seconds), 0, icaltimezone_get_utc_timezone());
    }

    // One all-day event; `until` set makes it recur yearly until that day, or for ever when it
    // is the null time.
    void AddDayEvent(const std::string& uid, icaltimetype date, const std::string& summary,
                     const std::string& description, const char* category, const icaltimetype* until = nullptr)
    {
        icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
        icalcomponent_add_property(event, icalproperty_new_dtstamp(m_stamp));
        icalcomponent_add_property(event, DateProperty(ICAL_DTSTART_PROPERTY, date));
        // A date event lasts one day without an end too; the end is left out only where the
        // next day would fall after the year 9999, which no calendar can write.
        if (date.year < 9999 || date.month < 12 || date.day < 31) {
            icaltimetype end = date;
            icaltime_adjust(&end, 1, 0, 0, 0);
            icalcomponent_add_property(event, DateProperty(ICAL_DTEND_PROPERTY, end));
        }
        if (until) {
            icalrecurrencetype rule;
            icalrecurrencetype_clear(&rule);
            rule.freq = ICAL_YEARLY_RECURRENCE;
            rule.until = *until;
            icalcomponent_add_property(event, icalproperty_new_rrule(rule));
        }
        icalcomponent_add_property(event, icalproperty_new_summary(summary.c_str()));
        if (!description.empty())
            icalcomponent_add_property(event, icalproperty_new_description(description.c_str()));
        icalcomponent_add_property(event, icalproperty_new_categories(category));
        // A note or a name day is no appointment: the day stays free for meetings.
        icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
        icalcomponent_add_component(m_calendar.get(), event);
        ++m_events;
    }

    int Events() const { return m_events; }

    std::string Text() const
    {
        char* text = icalcomponent_as_ical_string_r(m_calendar.get());
        std::string out = text ? text : "";
        icalmemory_free_buffer(text);
        return out;
    }

private:
    IcalComponentPtr m_calendar;
    icaltimetype m_stamp;
    int m_events = 0;
};

// The year a yearly note began: the year it was written, from its timestamp "yyyy.mm.dd  hh:nn".
std::optional<int> YearWritten(std::string_view record)
{
    const std::string_view stamp = RecordTimestamp(record);
    if (stamp.size() < 4)
        return std::nullopt;
    const int year = Digits(stamp.substr(0, 4));
    return year >= 1 ? std::optional<int>(year) : std::nullopt;
}

void AddNotes(CalendarWriter& writer, const JournalRecords& notes, const IcsExportOptions& options, int currentYear,
              int& count)
{
    std::vector<std::pair<std::string_view, std::size_t>> live;
    for (const std::size_t i : notes.LiveRecords({}))
        live.emplace_back(RecordKey(notes.Record(i)), i);
    // In key order, so that two exports of the same notes are the same file but for DTSTAMP.
    std::sort(live.begin(), live.end());
    for (const auto& [key, i] : live) {
        const std::optional<KeyDate> d = ParseKey(key);
        if (!d)
            continue;
        const std::string description = WithLineFeeds(notes.Text(i));
        const std::string summary = Summary(description);
        if (summary.empty())
            continue;
        if (!d->yearly) {
            if ((options.fromYear && d->year < *options.fromYear) || (options.toYear && d->year > *options.toYear))
                continue;
            writer.AddDayEvent(NoteUid(key), DateValue(d->year, d->month, d->day), summary, description, "Notatki");
            ++count;
            continue;
        }
        int start = options.fromYear.value_or(YearWritten(notes.Record(i)).value_or(currentYear));
        if (options.toYear)
            start = std::min(start, *options.toYear);
        // 29 February recurs only in leap years, and must begin in one.
        while (!TryEncodeDate(start, d->month, d->day) && start < 9999)
            ++start;
        if (!TryEncodeDate(start, d->month, d->day) || (options.toYear && start > *options.toYear))
            continue;
        const icaltimetype until = options.toYear ? DateValue(*options.toYear, 12, 31) : icaltime_null_time();
        writer.AddDayEvent(NoteUid(key), DateValue(start, d->month, d->day), summary, description, "Notatki", &until);
        ++count;
    }
}

std::string WithoutLineEnds(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

void AddTables(CalendarWriter& writer, const NameDayTable& table, const IcsExportOptions& options, int first, int last)
{
    for (int year = first; year <= last; ++year) {
        const TDateTime easter = EasterSunday(year);
        if (options.withNameDays) {
            for (int month = 1; month <= 12; ++month)
                for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                    const std::string names = JoinNames(table.Lookup(month, day).names);
                    if (!names.empty())
                        writer.AddDayEvent("imieniny-" + UidDate(year, month, day) + kUidDomain,
                                           DateValue(year, month, day), "Imieniny: " + names, {}, "Imieniny");
                }
        }
        if (options.withHolidays) {
            // Every day the day view names a holiday or a feast (Easter Sunday and Ash Wednesday are
            // no days off, yet they are shown), and every day off, named or not.
            std::set<std::string> daysOff;
            for (const std::string& entry : HolidayEntries(year))
                if (const std::optional<KeyDate> d = ParseKey(entry); d && (d->yearly || d->year == year))
                    daysOff.insert(UidDate(year, d->month, d->day));
            for (int month = 1; month <= 12; ++month)
                for (int day = 1; day <= DaysInMonth(year, month); ++day) {
                    const std::string uidDate = UidDate(year, month, day);
                    const std::string name = WithoutLineEnds(
                        NamesAndHoliday(table, EncodeDate(year, month, day), easter).holiday);
                    if (name.empty() && !daysOff.contains(uidDate))
                        continue;
                    writer.AddDayEvent("swieto-" + uidDate + kUidDomain, DateValue(year, month, day),
                                       name.empty() ? "Święto" : name, {}, "Święta");
                }
        }
    }
}

}  // namespace

std::string NoteUid(std::string_view key)
{
    const std::optional<KeyDate> d = ParseKey(key);
    if (!d)
        return {};
    if (d->yearly)
        return "coroczna-" + TwoDigits(d->month) + "-" + TwoDigits(d->day) + kUidDomain;
    return "notatka-" + UidDate(d->year, d->month, d->day) + kUidDomain;
}

std::string NoteEventIcs(std::string_view uid, std::string_view key, std::string_view text, int yearlyStart,
                         std::chrono::system_clock::time_point now)
{
    const std::optional<KeyDate> d = ParseKey(key);
    if (!d)
        return {};
    const std::string description = WithLineFeeds(text);
    const std::string summary = Summary(description);
    if (summary.empty())
        return {};
    MakeIcalErrorsNonFatal();
    CalendarWriter writer(now);
    if (!d->yearly) {
        writer.AddDayEvent(std::string(uid), DateValue(d->year, d->month, d->day), summary, description, "Notatki");
        return writer.Text();
    }
    int start = std::clamp(yearlyStart, 1, 9999);
    while (!TryEncodeDate(start, d->month, d->day) && start < 9999)
        ++start;
    if (!TryEncodeDate(start, d->month, d->day))
        return {};
    const icaltimetype until = icaltime_null_time();
    writer.AddDayEvent(std::string(uid), DateValue(start, d->month, d->day), summary, description, "Notatki", &until);
    return writer.Text();
}

IcsExport ExportIcs(const JournalRecords& notes, const NameDayTable& table, const IcsExportOptions& options,
                    std::chrono::system_clock::time_point now, int currentYear)
{
    IcsExport result;
    const int first = options.fromYear.value_or(options.toYear.value_or(currentYear));
    const int last = options.toYear.value_or(first);
    if ((options.withNameDays || options.withHolidays) && last - first + 1 > kMaxTableYears) {
        result.error = "Imieniny i święta można wyeksportować najwyżej na " + std::to_string(kMaxTableYears) + " lat.";
        return result;
    }
    MakeIcalErrorsNonFatal();
    CalendarWriter writer(now);
    AddNotes(writer, notes, options, currentYear, result.notes);
    if (options.withNameDays || options.withHolidays)
        AddTables(writer, table, options, first, last);
    result.events = writer.Events();
    result.text = writer.Text();
    return result;
}
