// Name days of the people the user chose ("Imieniny bliskich"): the names are the table's own
// forms ("Marcina"), picked from the table, so that no grammar needs guessing.
#pragma once

#include "calendar/datetime.h"
#include "calendar/namedays.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every name form of the table once, in Polish alphabetical order: what the user picks from.
std::vector<std::string> AllNameForms(const NameDayTable& table);

// The stored form: the names separated by ";". Reading drops empty parts and blanks around names.
std::vector<std::string> ParseChosenNames(std::string_view stored);
std::string JoinChosenNames(const std::vector<std::string>& names);

// The chosen names whose name day is `date`, in the table's order for that day.
std::vector<std::string> ChosenNamesOn(const NameDayTable& table, const std::vector<std::string>& chosen,
                                       TDateTime date);

struct NameDayReminder
{
    std::string summary;  // "Dziś imieniny: Marcina" or, with none today, "Jutro imieniny: Ewy"
    std::string body;     // the day after's line when both days have names, else empty
};

// The reminder due on `today` (a date): chosen names of today and of tomorrow, or nullopt when
// there are none.
std::optional<NameDayReminder> ReminderFor(const NameDayTable& table, const std::vector<std::string>& chosen,
                                           TDateTime today);
