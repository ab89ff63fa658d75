// The shown calendars' events by day, expanded with libical's recurrence iterator.
#include "sync/shown_events.h"

#include <algorithm>
#include <set>

#include "calendar/datetime.h"
#include "ics/ics_support.h"

namespace {

// A rule that repeats every minute for centuries must not keep one day's lookup busy.
constexpr int kMaxOccurrences = 200000;

std::string TwoDigits(int n)
{
    return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

// Days since 1899-12-30 of a local start; -1 for none.
long DayNumber(int year, int month, int day)
{
    const std::optional<TDateTime> date = TryEncodeDate(year, month, day);
    return date ? static_cast<long>(*date) : -1;
}

std::string Text(const char* text)
{
    std::string out = text ? text : "";
    std::replace(out.begin(), out.end(), '\n', ' ');
    std::replace(out.begin(), out.end(), '\r', ' ');
    return out;
}

// The moment as one comparable key, whatever its zone: a changed occurrence names the moment of
// the occurrence it replaces.
std::string MomentKey(icaltimetype t)
{
    if (!t.is_date && t.zone)
        t = icaltime_convert_to_zone(t, icaltimezone_get_utc_timezone());
    return icaltime_as_ical_string(t);
}

// The property's time in the zone its TZID names, found among the calendar's VTIMEZONEs; libical
// leaves that to the caller for properties other than the start and end.
icaltimetype InItsZone(icalproperty* property, icaltimetype t, icalcomponent* root)
{
    if (t.zone || t.is_date || icaltime_is_utc(t))
        return t;
    if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER))
        if (const char* name = icalparameter_get_tzid(tzid))
            t.zone = icalcomponent_get_timezone(root, name);
    return t;
}

}  // namespace

struct ShownEvents::Parsed
{
    std::vector<IcalComponentPtr> roots;
};

ShownEvents::ShownEvents(const std::vector<ShownCalendar>& calendars, UtcOffsetAt utcOffset)
    : m_utcOffset(std::move(utcOffset))
{
    MakeIcalErrorsNonFatal();
    for (const ShownCalendar& calendar : calendars) {
        auto parsed = std::make_unique<Parsed>();
        for (const std::string& resource : calendar.resources)
            if (icalcomponent* root = icalparser_parse_string(resource.c_str()))
                parsed->roots.emplace_back(root);
        m_calendars.push_back(std::move(parsed));
    }
}

ShownEvents::~ShownEvents() = default;

std::vector<ShownEvent> ShownEvents::EventsOn(int year, int month, int day) const
{
    const long wanted = DayNumber(year, month, day);
    std::vector<ShownEvent> found;
    for (const auto& calendar : m_calendars) {
        for (const IcalComponentPtr& root : calendar->roots) {
            std::vector<icalcomponent*> events;
            if (icalcomponent_isa(root.get()) == ICAL_VEVENT_COMPONENT)
                events.push_back(root.get());
            for (icalcomponent* e = icalcomponent_get_first_component(root.get(), ICAL_VEVENT_COMPONENT); e;
                 e = icalcomponent_get_next_component(root.get(), ICAL_VEVENT_COMPONENT))
                events.push_back(e);
            // Occurrences a changed one stands in for, by UID.
            std::set<std::pair<std::string, std::string>> replaced;
            for (icalcomponent* e : events)
                if (icalproperty* id = icalcomponent_get_first_property(e, ICAL_RECURRENCEID_PROPERTY)) {
                    const char* uid = icalcomponent_get_uid(e);
                    replaced.insert(
                        {uid ? uid : "", MomentKey(InItsZone(id, icalproperty_get_recurrenceid(id), root.get()))});
                }
            for (icalcomponent* e : events) {
                const icaltimetype start = icalcomponent_get_dtstart(e);
                if (icaltime_is_null_time(start))
                    continue;
                const char* uidText = icalcomponent_get_uid(e);
                const std::string uid = uidText ? uidText : "";
                // How many days an all-day event covers: its end is the day after its last.
                long days = 1;
                if (start.is_date) {
                    const icaltimetype end = icalcomponent_get_dtend(e);
                    if (!icaltime_is_null_time(end) && end.is_date)
                        days = std::max(1L, DayNumber(end.year, end.month, end.day)
                                                - DayNumber(start.year, start.month, start.day));
                }
                auto matches = [&](const icaltimetype& occurrence) {
                    const std::optional<LocalStart> local = ToLocal(occurrence, m_utcOffset);
                    if (!local)
                        return false;
                    const long first = DayNumber(local->year, local->month, local->day);
                    return first <= wanted && wanted < first + (start.is_date ? days : 1);
                };
                auto add = [&](const icaltimetype& occurrence) {
                    const std::optional<LocalStart> local = ToLocal(occurrence, m_utcOffset);
                    found.push_back({start.is_date ? std::nullopt : local->minutes, Text(icalcomponent_get_summary(e)),
                                     Text(icalcomponent_get_location(e))});
                };
                icalproperty* rrule = icalcomponent_get_first_property(e, ICAL_RRULE_PROPERTY);
                const bool isOverride = icalcomponent_get_first_property(e, ICAL_RECURRENCEID_PROPERTY) != nullptr;
                if (!rrule || isOverride) {
                    if (matches(start))
                        add(start);
                    continue;
                }
                std::set<std::string> excluded;
                for (icalproperty* x = icalcomponent_get_first_property(e, ICAL_EXDATE_PROPERTY); x;
                     x = icalcomponent_get_next_property(e, ICAL_EXDATE_PROPERTY)) {
                    icaltimetype exdate = InItsZone(x, icalproperty_get_exdate(x), root.get());
                    if (!exdate.zone && !exdate.is_date && !icaltime_is_utc(exdate))
                        exdate.zone = start.zone;
                    excluded.insert(MomentKey(exdate));
                }
                const icalrecurrencetype rule = icalproperty_get_rrule(rrule);
                icalrecur_iterator* it = icalrecur_iterator_new(rule, start);
                if (!it)
                    continue;
                for (int n = 0; n < kMaxOccurrences; ++n) {
                    icaltimetype occurrence = icalrecur_iterator_next(it);
                    if (icaltime_is_null_time(occurrence))
                        break;
                    occurrence.zone = start.zone;
                    const std::optional<LocalStart> local = ToLocal(occurrence, m_utcOffset);
                    if (!local || DayNumber(local->year, local->month, local->day) > wanted)
                        break;
                    if (excluded.contains(MomentKey(occurrence)) || replaced.contains({uid, MomentKey(occurrence)}))
                        continue;
                    if (matches(occurrence))
                        add(occurrence);
                }
                icalrecur_iterator_free(it);
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const ShownEvent& a, const ShownEvent& b) {
        return a.minutes.value_or(-1) < b.minutes.value_or(-1);
    });
    return found;
}

std::string EventsLine(const std::vector<ShownEvent>& events)
{
    std::string out;
    for (const ShownEvent& e : events) {
        if (!out.empty())
            out += "; ";
        if (e.minutes)
            out += TwoDigits(*e.minutes / 60) + ":" + TwoDigits(*e.minutes % 60) + " ";
        out += e.summary;
    }
    return out;
}
