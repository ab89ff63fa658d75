// One calendar resource on a server (a VCALENDAR holding one event) read as the note it stands for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ics/ics_import.h"

struct EventResource
{
    std::string uid;
    std::string key;      // the local day it begins, or "    .mm.dd" for an all-day event recurring yearly
    std::string text;     // the note it makes, as the import makes it, in record form
    std::string summary;  // in record form, one line
    std::string description;
    bool replacedCharacters = false;  // characters Windows-1250 cannot hold became "?"
};

// The first event of the resource; nothing when it holds none a note can be made of (no start
// date, no text, a task, no calendar at all). Times with a zone are moved to local time with
// `utcOffset`, as the import does.
std::optional<EventResource> ReadEventResource(std::string_view data, const UtcOffsetAt& utcOffset);

// Text as a note record holds it: CR LF line ends, "?" for what Windows-1250 cannot hold, and
// "****" lines escaped.
std::string RecordFormText(std::string_view text);
