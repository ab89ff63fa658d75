// The local copy of the calendars shown read-only.
#include "sync/shown_calendars.h"

#include "ics/ics_import_memory.h"

namespace {

constexpr std::string_view kHeader = "dniarz-kalendarze 1";

}  // namespace

std::filesystem::path ShownCalendarsPath(const std::filesystem::path& notesFile)
{
    return notesFile.parent_path() / "dnz-kalendarze.txt";
}

std::string FormatShownCalendars(const std::vector<ShownCalendar>& calendars)
{
    std::string out(kHeader);
    out += '\n';
    for (const ShownCalendar& calendar : calendars) {
        out += "kalendarz\t" + EscapeField(calendar.name) + '\n';
        if (!calendar.etag.empty())
            out += "etag\t" + EscapeField(calendar.etag) + '\n';
        if (!calendar.lastModified.empty())
            out += "zmieniony\t" + EscapeField(calendar.lastModified) + '\n';
        for (const std::string& resource : calendar.resources)
            out += "zasob\t" + EscapeField(resource) + '\n';
    }
    return out;
}

std::vector<ShownCalendar> ParseShownCalendars(std::string_view contents)
{
    std::vector<ShownCalendar> calendars;
    const auto lines = WholeLines(contents);
    if (!lines || lines->empty() || lines->front() != kHeader)
        return {};
    for (std::size_t i = 1; i < lines->size(); ++i) {
        const auto fields = SplitFields((*lines)[i], 2);
        std::optional<std::string> value = fields ? UnescapeField((*fields)[1]) : std::nullopt;
        if (!value)
            return {};
        if ((*fields)[0] == "kalendarz") {
            calendars.emplace_back();
            calendars.back().name = std::move(*value);
        } else if ((*fields)[0] == "etag" && !calendars.empty())
            calendars.back().etag = std::move(*value);
        else if ((*fields)[0] == "zmieniony" && !calendars.empty())
            calendars.back().lastModified = std::move(*value);
        else if ((*fields)[0] == "zasob" && !calendars.empty())
            calendars.back().resources.push_back(std::move(*value));
        else
            return {};
    }
    return calendars;
}
