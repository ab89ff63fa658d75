// Name days of the people the user chose ("Imieniny bliskich"): the names are the table's own
// forms ("Marcina"), picked from the table, so that no grammar needs guessing.
#pragma once

#include "app/settings.h"
#include "calendar/datetime.h"
#include "calendar/namedays.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every name form of the table once, in Polish alphabetical order: what the user picks from.
std::vector<std::string> AllNameForms(const NameDayTable& table);

// A name of the table as the user picks it: the form stored, and the name as people say it.
struct NameChoice
{
    std::string form;        // the table's, "Anny"
    std::string nominative;  // "Anna"
    std::string label;       // "Anna (Anny)", or the form alone where both are one
};
// Every form of `forms` (AllNameForms) as a choice, in Polish alphabetical order of the nominative.
std::vector<NameChoice> NameChoices(const std::vector<std::string>& forms);
// Which of `choices` the search `query` shows, one flag each. Case is ignored. The names the query
// is, as said or as the table writes it ("Ewa", "Ewy"), when there are any; else those either of
// whose forms begins with it; else those containing it. An empty query shows them all.
std::vector<bool> NamesFound(const std::vector<NameChoice>& choices, std::string_view query);

// The stored form: the names separated by ";". Reading drops empty parts and blanks around names.
std::vector<std::string> ParseChosenNames(std::string_view stored);
std::string JoinChosenNames(const std::vector<std::string>& names);

// Whether `name`, a form of the table, is one of the chosen: the reminders, `--print-day` and the
// day panel all ask this, so a name is chosen alike everywhere.
bool IsChosenName(std::string_view name, const std::vector<std::string>& chosen);

// The chosen names whose name day is `date`, in the table's order for that day.
std::vector<std::string> ChosenNamesOn(const NameDayTable& table, const std::vector<std::string>& chosen,
                                       TDateTime date);

// A piece of a day's names text: a chosen name on its own, or everything between chosen names.
struct NameRun
{
    std::string text;
    bool chosen = false;
    bool operator==(const NameRun&) const = default;
};

// A day's names text, one a line or comma-separated, cut so that every chosen name is a run of
// its own; the runs joined give the text back unchanged. A name is what stands between line
// breaks or commas, without the blanks around it.
std::vector<NameRun> MarkChosenNames(std::string_view names, const std::vector<std::string>& chosen);

struct NameDayReminder
{
    std::string summary;  // "Dziś imieniny: Marcina" or, with none today, "Jutro imieniny: Ewy"
    std::string body;     // the day after's line when both days have names, else empty
};

// The reminder due on `today` (a date): chosen names of today and of tomorrow, or nullopt when
// there are none.
std::optional<NameDayReminder> ReminderFor(const NameDayTable& table, const std::vector<std::string>& chosen,
                                           TDateTime today);

// The reminder to show at `now` (local time), once a day at most: nullopt when today's was already
// given or none is due. A reminder given marks the day in `settings` (NameReminderDay) and writes
// it to `store`, so that a start later the same day stays silent; should that write fail, only
// this run remembers it. The chosen names are read from `settings` at every call, since the
// configuration dialog may have changed them.
std::optional<NameDayReminder> TakeDueReminder(const NameDayTable& table, Settings& settings, SettingsStore& store,
                                               TDateTime now);
