// The local copy of the calendars shown read-only beside the notes, kept at each sync so that the
// day view and --print-day never wait for the network.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct ShownCalendar
{
    std::string name;                    // as the user knows it: the display name, or the address
    std::vector<std::string> resources;  // iCalendar texts, each as the server gave it
    // A subscribed file's validators, to ask the server next time whether it changed.
    std::string etag;
    std::string lastModified;
};

// "dnz-kalendarze.txt" beside the notes file.
std::filesystem::path ShownCalendarsPath(const std::filesystem::path& notesFile);
constexpr std::size_t kMaxShownCalendarsBytes = 64 * 1024 * 1024;

// A header line, then "kalendarz TAB name" before each calendar's "zasob TAB data" lines and,
// for a subscribed file, its "etag TAB value" and "zmieniony TAB value" lines, the fields escaped
// as the sync state's are. A damaged file is no calendars.
std::string FormatShownCalendars(const std::vector<ShownCalendar>& calendars);
std::vector<ShownCalendar> ParseShownCalendars(std::string_view contents);
