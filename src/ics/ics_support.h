// What the iCalendar reader and writer share: libical's objects owned by C++, and its settings.
#pragma once

#include <libical/ical.h>

#include <memory>

struct IcalComponentFree
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using IcalComponentPtr = std::unique_ptr<icalcomponent, IcalComponentFree>;

// libical can be built to abort on the first malformed line; a file from outside must never end
// the program, so its errors are made plain return values before each use.
void MakeIcalErrorsNonFatal();
