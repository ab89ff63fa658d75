// Name days of the chosen people: the list to pick from, the stored form, and the reminder due on
// a day, also across the end of a month and of a year and on 29 February.
#include "app/name_reminders.h"

#include "app/print_day.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const NameDayTable& Table()
{
    static const NameDayTable table = [] {
        NameDayTable t;
        t.Load();
        return t;
    }();
    return table;
}

std::string Line(const std::vector<std::pair<std::string, std::string>>& lines, const std::string& key)
{
    const auto found = std::find_if(lines.begin(), lines.end(), [&key](const auto& line) { return line.first == key; });
    return found == lines.end() ? "(none)" : found->second;
}

}  // namespace

TEST(NameReminders, ThePickListHoldsEveryFormOnceInPolishOrder)
{
    const std::vector<std::string> all = AllNameForms(Table());
    auto at = [&all](const std::string& name) { return std::find(all.begin(), all.end(), name) - all.begin(); };
    for (const char* name : {"Mieszka", "Mścisława", "Dąbrówki", "Łucji", "Żanety", "Marcina", "Salazego", "Zenona"})
        EXPECT_LT(at(name), static_cast<long>(all.size())) << name;
    // Ł after L, Ż after Z; each form once, though many come back on several days.
    EXPECT_LT(at("Lucjana"), at("Łucji"));
    EXPECT_LT(at("Łucji"), at("Macieja"));
    EXPECT_LT(at("Zenona"), at("Żakliny"));
    EXPECT_EQ(all.back(), "Żelisława");
    EXPECT_EQ(std::count(all.begin(), all.end(), "Juliana"), 1);
    // No holiday and no empty entry sneaks in.
    for (const std::string& name : all) {
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(name.find_first_of("*_,\r\n"), std::string::npos) << name;
    }
}

TEST(NameReminders, TheStoredFormKeepsTheTableForms)
{
    const std::vector<std::string> chosen = {"Marcina", "Mścisława", "Żanety"};
    EXPECT_EQ(JoinChosenNames(chosen), "Marcina;Mścisława;Żanety");
    EXPECT_EQ(ParseChosenNames(JoinChosenNames(chosen)), chosen);
    EXPECT_EQ(ParseChosenNames(" Ewy ;;Ewy; Marcina;"), (std::vector<std::string>{"Ewy", "Marcina"}));
    EXPECT_TRUE(ParseChosenNames("").empty());
}

TEST(NameReminders, TodayAndTheDayBeforeAcrossMonthAndYearEnds)
{
    struct Row
    {
        TDateTime today;
        const char* chosen;
        const char* summary;  // "" for no reminder
        const char* body;
    };
    const Row rows[] = {
        {EncodeDate(2024, 12, 31), "Mieszka", "Jutro imieniny: Mieszka", ""},
        {EncodeDate(2025, 1, 1), "Mieszka", "Dziś imieniny: Mieszka", ""},
        {EncodeDate(2024, 1, 31), "Ignacego;Marceliny", "Dziś imieniny: Marceliny", "Jutro imieniny: Ignacego"},
        {EncodeDate(2024, 1, 7), "Mścisława;Seweryna", "Jutro imieniny: Seweryna, Mścisława", ""},
        {EncodeDate(2024, 3, 2), "Mieszka", "", ""},
        {EncodeDate(2024, 3, 2), "", "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.chosen);
        const auto reminder = ReminderFor(Table(), ParseChosenNames(r.chosen), r.today);
        ASSERT_EQ(reminder.has_value(), *r.summary != '\0');
        if (reminder) {
            EXPECT_EQ(reminder->summary, r.summary);
            EXPECT_EQ(reminder->body, r.body);
        }
    }
    // The last day of the calendar has no tomorrow to look at.
    EXPECT_FALSE(ReminderFor(Table(), {"Mieszka"}, EncodeDate(9999, 12, 31)).has_value());
}

TEST(NameReminders, ThePrintedDayListsTheChosenNamesOfThatDay)
{
    PrintDayInput input;
    input.names = &Table();
    input.date = EncodeDate(2024, 1, 8);
    EXPECT_EQ(Line(PrintDayLines(input), "reminders"), "");
    input.chosenNames = {"Mścisława", "Seweryna", "Ewy"};
    const auto lines = PrintDayLines(input);
    EXPECT_EQ(Line(lines, "reminders"), "Seweryna, Mścisława");
    EXPECT_EQ(lines.back().first, "reminders");
}
