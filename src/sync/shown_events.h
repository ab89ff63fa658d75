// The events of the calendars shown read-only, by local day, with their recurrences expanded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ics/ics_import.h"
#include "sync/shown_calendars.h"

struct ShownEvent
{
    std::optional<int> minutes;  // the local start, minutes after midnight; none for an all-day event
    std::string summary;
    std::string location;
};

class ShownEvents
{
public:
    // Parses every resource once; `utcOffset` moves times with a zone into local time.
    ShownEvents(const std::vector<ShownCalendar>& calendars, UtcOffsetAt utcOffset);
    ~ShownEvents();
    ShownEvents(const ShownEvents&) = delete;
    ShownEvents& operator=(const ShownEvents&) = delete;

    // The events of the local day, all-day ones first, then by time: an event that recurs (daily,
    // weekly, monthly, yearly, with its exceptions and changed occurrences) on it counts, an
    // all-day event of several days on each of them, a timed one on the day it starts.
    std::vector<ShownEvent> EventsOn(int year, int month, int day) const;

private:
    struct Parsed;
    std::vector<std::unique_ptr<Parsed>> m_calendars;
    UtcOffsetAt m_utcOffset;
};

// The "events" line of the printed day: "hh:mm summary" or the summary for an all-day event, "; "
// between them, empty without events.
std::string EventsLine(const std::vector<ShownEvent>& events);
