// Calendar resources read as notes, through the import's reader and libical.
#include "sync/event_resource.h"

#include "ics/ics_support.h"
#include "text/cp1250.h"

namespace {

// The event the resource is about: the first VEVENT that is no changed occurrence of another.
icalcomponent* MainEvent(icalcomponent* root)
{
    if (icalcomponent_isa(root) == ICAL_VEVENT_COMPONENT)
        return root;
    for (icalcomponent* event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); event;
         event = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT))
        if (!icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY))
            return event;
    return nullptr;
}

std::string Value(const char* text)
{
    return text ? std::string(text) : std::string();
}

}  // namespace

std::string RecordFormText(std::string_view text)
{
    return EscapeTerminatorLines(MakeNoteTextStorable(text));
}

std::optional<EventResource> ReadEventResource(std::string_view data, const UtcOffsetAt& utcOffset)
{
    const IcsImport read = ReadIcs(data, utcOffset);
    if (!read.error.empty() || read.notes.empty() || !read.notes.front().firstDay)
        return std::nullopt;
    MakeIcalErrorsNonFatal();
    const std::string copy(data);
    const IcalComponentPtr root(icalparser_parse_string(copy.c_str()));
    icalcomponent* event = root ? MainEvent(root.get()) : nullptr;
    if (!event)
        return std::nullopt;
    EventResource resource;
    const ImportedNote& note = read.notes.front();
    resource.uid = Value(icalcomponent_get_uid(event));
    resource.key = note.key;
    resource.text = RecordFormText(note.text);
    std::string summary = Value(icalcomponent_get_summary(event));
    std::string description = Value(icalcomponent_get_description(event));
    resource.replacedCharacters = !UnstorableCharacters(note.text).empty();
    resource.summary = RecordFormText(summary);
    resource.description = RecordFormText(description);
    if (resource.text.empty())
        return std::nullopt;
    return resource;
}
