// What the iCalendar reader and writer share: libical's objects owned by C++, and its settings.
#pragma once

#include <libical/ical.h>

#include <memory>
#include <optional>

#include "ics/ics_import.h"

struct IcalComponentFree
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using IcalComponentPtr = std::unique_ptr<icalcomponent, IcalComponentFree>;

// libical can be built to abort on the first malformed line; a file from outside must never end
// the program, so its errors are made plain return values before each use.
void MakeIcalErrorsNonFatal();

struct LocalStart
{
    int year = 0, month = 0, day = 0;
    std::optional<int> minutes;  // minutes after midnight; none for an all-day event
};

// The local day and time of a moment from a calendar: a date or a floating time as it is, a time
// with a zone moved with `utcOffset`. Nothing for a date outside the years 1-9999.
std::optional<LocalStart> ToLocal(const icaltimetype& t, const UtcOffsetAt& utcOffset);
