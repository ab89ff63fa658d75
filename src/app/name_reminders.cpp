// Reminders of the chosen name days.
#include "app/name_reminders.h"

#include "calendar/date_format.h"
#include "calendar/day_info.h"
#include "calendar/feasts.h"
#include "calendar/notes_search.h"
#include "text/polish_collation.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The names of a day as the day panel shows them, one form each.
std::vector<std::string> NamesOf(const NameDayTable& table, TDateTime date)
{
    const DateParts d = DecodeDate(date);
    const std::string names = NamesAndHoliday(table, date, EasterSunday(d.year)).names;
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos <= names.size()) {
        std::size_t end = names.find('\n', pos);
        if (end == std::string::npos)
            end = names.size();
        const std::string_view name = Trimmed(std::string_view(names).substr(pos, end - pos));
        if (!name.empty())
            out.emplace_back(name);
        pos = end + 1;
    }
    return out;
}

std::string Listed(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

}  // namespace

std::vector<std::string> AllNameForms(const NameDayTable& table)
{
    std::vector<std::string> all;
    const TDateTime leapYear = EncodeDate(2024, 1, 1);
    for (int day = 0; day < 366; ++day)
        for (std::string& name : NamesOf(table, leapYear + day))
            all.push_back(std::move(name));
    std::sort(all.begin(), all.end(), [](const std::string& a, const std::string& b) {
        return PolishLess(a, b) || (!PolishLess(b, a) && a < b);
    });
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

std::vector<NameChoice> NameChoices(const std::vector<std::string>& forms)
{
    std::vector<NameChoice> choices;
    choices.reserve(forms.size());
    for (const std::string& form : forms) {
        std::string nominative = NominativeOf(form);
        std::string label = nominative == form ? form : nominative + " (" + form + ")";
        choices.push_back({form, std::move(nominative), std::move(label)});
    }
    std::stable_sort(choices.begin(), choices.end(),
                     [](const NameChoice& a, const NameChoice& b) { return PolishLess(a.nominative, b.nominative); });
    return choices;
}

std::vector<bool> NamesFound(const std::vector<NameChoice>& choices, std::string_view query)
{
    const std::string needle = FoldForSearch(Trimmed(query), false);
    std::vector<bool> found(choices.size(), needle.empty());
    if (needle.empty())
        return found;
    std::vector<std::pair<std::string, std::string>> folded;
    folded.reserve(choices.size());
    for (const NameChoice& choice : choices)
        folded.emplace_back(FoldForSearch(choice.nominative, false), FoldForSearch(choice.form, false));
    // The closest kind of match that finds anything: "Ewa" is Ewa, not also the start of Ewaryst.
    const auto exact = [&needle](const std::string& name) { return name == needle; };
    const auto prefix = [&needle](const std::string& name) { return name.starts_with(needle); };
    const auto contains = [&needle](const std::string& name) { return name.find(needle) != std::string::npos; };
    const std::function<bool(const std::string&)> kinds[] = {exact, prefix, contains};
    for (const auto& matches : kinds) {
        bool any = false;
        for (std::size_t i = 0; i < folded.size(); ++i) {
            found[i] = matches(folded[i].first) || matches(folded[i].second);
            any = any || found[i];
        }
        if (any)
            break;
    }
    return found;
}

std::vector<std::string> ParseChosenNames(std::string_view stored)
{
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos <= stored.size()) {
        std::size_t end = stored.find(';', pos);
        if (end == std::string_view::npos)
            end = stored.size();
        const std::string_view name = Trimmed(stored.substr(pos, end - pos));
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.emplace_back(name);
        pos = end + 1;
    }
    return names;
}

std::string JoinChosenNames(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ";") + name;
    return out;
}

bool IsChosenName(std::string_view name, const std::vector<std::string>& chosen)
{
    return std::find(chosen.begin(), chosen.end(), name) != chosen.end();
}

std::vector<NameRun> MarkChosenNames(std::string_view names, const std::vector<std::string>& chosen)
{
    std::vector<NameRun> runs;
    const auto add = [&runs](std::string_view text, bool isChosen) {
        if (text.empty())
            return;
        if (!runs.empty() && !runs.back().chosen && !isChosen)
            runs.back().text += text;
        else
            runs.push_back({std::string(text), isChosen});
    };
    std::size_t pos = 0;
    while (pos < names.size()) {
        std::size_t end = names.find_first_of(",\r\n", pos);
        if (end == std::string_view::npos)
            end = names.size();
        const std::string_view piece = names.substr(pos, end - pos);
        const std::string_view name = Trimmed(piece);
        const std::size_t lead = name.empty() ? piece.size() : static_cast<std::size_t>(name.data() - piece.data());
        add(piece.substr(0, lead), false);
        add(name, !name.empty() && IsChosenName(name, chosen));
        add(piece.substr(lead + name.size()), false);
        // The separator itself.
        add(names.substr(end, end < names.size() ? 1 : 0), false);
        pos = end + 1;
    }
    return runs;
}

std::vector<std::string> ChosenNamesOn(const NameDayTable& table, const std::vector<std::string>& chosen,
                                       TDateTime date)
{
    std::vector<std::string> found;
    for (std::string& name : NamesOf(table, date))
        if (IsChosenName(name, chosen))
            found.push_back(std::move(name));
    return found;
}

std::optional<NameDayReminder> ReminderFor(const NameDayTable& table, const std::vector<std::string>& chosen,
                                           TDateTime today)
{
    if (chosen.empty())
        return std::nullopt;
    const std::vector<std::string> now = ChosenNamesOn(table, chosen, DateOf(today));
    // The last day of the calendar has no day after it.
    const std::vector<std::string> next = DateOf(today) < EncodeDate(9999, 12, 31)
                                              ? ChosenNamesOn(table, chosen, DateOf(today) + 1)
                                              : std::vector<std::string>{};
    const std::string todayLine = now.empty() ? "" : "Dziś imieniny: " + Listed(now);
    const std::string nextLine = next.empty() ? "" : "Jutro imieniny: " + Listed(next);
    if (todayLine.empty() && nextLine.empty())
        return std::nullopt;
    if (todayLine.empty())
        return NameDayReminder{nextLine, {}};
    return NameDayReminder{todayLine, nextLine};
}

std::optional<NameDayReminder> TakeDueReminder(const NameDayTable& table, Settings& settings, SettingsStore& store,
                                               TDateTime now)
{
    const TDateTime today = DateOf(now);
    const std::string day = FormatDateTime("yyyy.mm.dd", today);
    if (settings.NameReminderDay == day)
        return std::nullopt;
    auto reminder = ReminderFor(table, ParseChosenNames(settings.ChosenNames), today);
    if (!reminder)
        return std::nullopt;
    settings.NameReminderDay = day;
    // A failed write costs only a repeat at the next start today; nothing to tell the user.
    (void)SaveValues(store, settings, {SettingId::NameReminderDay});
    return reminder;
}
