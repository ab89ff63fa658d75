// Name days of the chosen people: the list to pick from, the stored form, and the reminder due on
// a day, also across the end of a month and of a year and on 29 February.
#include "app/name_reminders.h"

#include "app/print_day.h"
#include "platform/fake/memory_settings_store.h"

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

namespace {

// The runs as "plain|*chosen*|plain" for short comparisons.
std::string Shown(const std::vector<NameRun>& runs)
{
    std::string out;
    for (const NameRun& run : runs)
        out += (out.empty() ? "" : "|") + (run.chosen ? "*" + run.text + "*" : run.text);
    return out;
}

std::string DayNamesText(TDateTime date)
{
    const DateParts d = DecodeDate(date);
    return Table().Lookup(d.month, d.day).names;
}

}  // namespace

TEST(NameReminders, ThePanelMarksOnlyWholeChosenNames)
{
    // 9 January: "Juliana" begins "Julianny", "Marceliny" and "Marcjanny" share a start.
    const std::string text = DayNamesText(EncodeDate(2024, 1, 9));
    ASSERT_EQ(text, "Juliana\r\n Julianny\r\n Marceliny\r\n Marcjanny");
    EXPECT_EQ(Shown(MarkChosenNames(text, {"Julianny"})), "Juliana\r\n |*Julianny*|\r\n Marceliny\r\n Marcjanny");
    EXPECT_EQ(Shown(MarkChosenNames(text, {"Juliana", "Marcjanny"})),
              "*Juliana*|\r\n Julianny\r\n Marceliny\r\n |*Marcjanny*");
    EXPECT_EQ(Shown(MarkChosenNames(JoinNames(text), {"Juliana", "Marcjanny"})),
              "*Juliana*|, Julianny, Marceliny, |*Marcjanny*");
    // Neither a start of a name nor its base form is the name.
    EXPECT_EQ(Shown(MarkChosenNames(text, {"Julian", "Julia", "Marcel", "J"})), text);
    // No choice, and no names.
    EXPECT_EQ(Shown(MarkChosenNames(text, ParseChosenNames(""))), text);
    EXPECT_TRUE(MarkChosenNames("", {"Juliana"}).empty());
    // Blanks and an empty name left by a trailing comma stay outside the names.
    EXPECT_EQ(Shown(MarkChosenNames("  Ewy ,, Adama,", {"Ewy", "Adama"})), "  |*Ewy*| ,, |*Adama*|,");
}

// The panel shows in bold exactly the names the reminders and --print-day name: the same forms,
// Polish letters and case, on every day of a leap year.
TEST(NameReminders, ThePanelMarksWhatTheRemindersName)
{
    const std::string text = DayNamesText(EncodeDate(2024, 1, 8));
    EXPECT_EQ(Shown(MarkChosenNames(text, {"Mścisława"})), "Seweryna\r\n |*Mścisława*|\r\n Erharda");
    for (const char* other : {"mścisława", "MŚCISŁAWA", "Mscislawa", "Mścisław"})
        EXPECT_EQ(Shown(MarkChosenNames(text, {other})), text) << other;

    const std::vector<std::string> all = AllNameForms(Table());
    std::vector<std::string> chosen = {"mścisława", "Marcin"};
    for (std::size_t i = 0; i < all.size(); i += 3)
        chosen.push_back(all[i]);
    for (TDateTime date = EncodeDate(2024, 1, 1); date <= EncodeDate(2024, 12, 31); date += 1) {
        const std::string names = DayNamesText(date);
        for (const std::string& shown : {names, JoinNames(names)}) {
            const std::vector<NameRun> runs = MarkChosenNames(shown, chosen);
            std::string joined;
            std::vector<std::string> marked;
            for (const NameRun& run : runs) {
                joined += run.text;
                if (run.chosen)
                    marked.push_back(run.text);
            }
            EXPECT_EQ(joined, shown);
            EXPECT_EQ(marked, ChosenNamesOn(Table(), chosen, date)) << shown;
        }
    }
}

namespace {

// A start of the program: the settings as LoadSettings reads them from the store.
Settings Started(MemorySettingsStore& store, TDateTime now)
{
    Settings settings;
    LoadSettings(store, settings, now);
    return settings;
}

std::string Summary(const std::optional<NameDayReminder>& reminder)
{
    return reminder ? reminder->summary : "(none)";
}

std::string StoredDay(MemorySettingsStore& store)
{
    const RegValue* value = store.Key() ? store.Key()->Find("Przypomniane imieniny") : nullptr;
    return value ? value->text : "(none)";
}

}  // namespace

// Once a day across midnight and a restart; the day is kept only when something was said.
TEST(NameReminders, AReminderIsGivenOnceADayAlsoOverARestart)
{
    MemorySettingsStore store;
    store.Put("Imieniny bliskich", RegValue::String("Mieszka"));
    const TDateTime lastMinute = EncodeDate(2024, 12, 31) + (23 * 60 + 59) / 1440.0;
    Settings settings = Started(store, lastMinute);

    EXPECT_EQ(Summary(TakeDueReminder(Table(), settings, store, lastMinute)), "Jutro imieniny: Mieszka");
    EXPECT_EQ(StoredDay(store), "2024.12.31");
    EXPECT_EQ(Summary(TakeDueReminder(Table(), settings, store, lastMinute + 30.0 / 86400)), "(none)");

    Settings restarted = Started(store, lastMinute);
    EXPECT_EQ(Summary(TakeDueReminder(Table(), restarted, store, lastMinute + 40.0 / 86400)), "(none)");

    // Just past midnight the new day has its own reminder.
    const TDateTime newYear = EncodeDate(2025, 1, 1) + 1.0 / 86400;
    EXPECT_EQ(Summary(TakeDueReminder(Table(), restarted, store, newYear)), "Dziś imieniny: Mieszka");
    EXPECT_EQ(StoredDay(store), "2025.01.01");
    EXPECT_EQ(Summary(TakeDueReminder(Table(), restarted, store, newYear + 0.5)), "(none)");
}

TEST(NameReminders, ADayWithNothingDueLeavesTheDayOpen)
{
    MemorySettingsStore store;
    store.Put("Imieniny bliskich", RegValue::String("Mieszka"));
    const TDateTime morning = EncodeDate(2024, 3, 2) + 0.25;
    Settings settings = Started(store, morning);
    EXPECT_EQ(Summary(TakeDueReminder(Table(), settings, store, morning)), "(none)");
    EXPECT_EQ(StoredDay(store), "(none)");
    // Names chosen later that day, in the configuration dialog, still remind.
    settings.ChosenNames = "Heleny;Halszki";
    EXPECT_EQ(Summary(TakeDueReminder(Table(), settings, store, morning + 0.1)), "Dziś imieniny: Heleny, Halszki");
    EXPECT_EQ(StoredDay(store), "2024.03.02");
}

TEST(NameReminders, AnUnwritableStoreRemindsOncePerRun)
{
    MemorySettingsStore store;
    store.Put("Imieniny bliskich", RegValue::String("Mieszka"));
    store.SetFailWrites(true);
    const TDateTime newYear = EncodeDate(2025, 1, 1) + 0.5;
    Settings settings = Started(store, newYear);
    EXPECT_EQ(Summary(TakeDueReminder(Table(), settings, store, newYear)), "Dziś imieniny: Mieszka");
    EXPECT_EQ(Summary(TakeDueReminder(Table(), settings, store, newYear + 0.1)), "(none)");
    Settings restarted = Started(store, newYear);
    EXPECT_EQ(Summary(TakeDueReminder(Table(), restarted, store, newYear + 0.2)), "Dziś imieniny: Mieszka");
}
