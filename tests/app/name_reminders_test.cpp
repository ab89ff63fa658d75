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

namespace {

// Polish declension the other way, written apart from the program's rules: the genitive of a
// nominative by its ending. Only the regular endings; a name it gets wrong is irregular.
std::string GenitiveOfWord(const std::string& n)
{
    auto cut = [&n](std::size_t tail, const std::string& add) { return n.substr(0, n.size() - tail) + add; };
    auto vowel = [](char c) { return std::string_view("aeiouy").find(c) != std::string_view::npos; };
    auto endsWith = [&n](std::string_view e) { return n.ends_with(e); };
    if (endsWith("ia"))
        return cut(1, "i");  // Maria: Marii
    if (endsWith("ja"))
        return n.size() > 2 && vowel(n[n.size() - 3]) ? cut(2, "i") : cut(1, "i");  // Maja: Mai; Łucja: Łucji
    if (endsWith("ea"))
        return cut(1, "i");  // Salomea: Salomei
    if (endsWith("ka") || endsWith("ga") || endsWith("la"))
        return cut(1, "i");  // Agnieszka, Olga, Urszula
    if (endsWith("a"))
        return cut(1, "y");  // Anna, Kosma
    if (endsWith("li"))
        return cut(1, "ego");  // Bazyli: Bazylego
    if (endsWith("i"))
        return n + "ego";  // Antoni
    if (endsWith("y"))
        return cut(1, "ego");  // Jerzy
    if (endsWith("o"))
        return cut(1, "a");  // Mieszko
    if (endsWith("e"))
        return n;  // indeclinable
    if (n.size() > 3 && (endsWith("ek") || endsWith("eł")) && !vowel(n[n.size() - (endsWith("ek") ? 3 : 4)]))
        return cut(endsWith("ek") ? 2 : 3, endsWith("ek") ? "ka" : "ła");  // Marek: Marka; Paweł: Pawła
    return n + "a";                                                        // Marcin
}

std::string GenitiveOf(const std::string& nominative)
{
    std::string out;
    std::size_t start = 0;
    for (std::size_t end; (end = nominative.find_first_of(" _", start)) != std::string::npos; start = end + 1)
        out += GenitiveOfWord(nominative.substr(start, end - start)) + nominative[end];
    return out + GenitiveOfWord(nominative.substr(start));
}

}  // namespace

// Every name of the table has a nominative that declines back into the table's form, except the
// irregular names, whose e drops or whose stem changes; they are listed here as the rules cannot
// map them, and the program maps them by a list of its own.
TEST(NameReminders, EveryNameOfTheTableHasItsNominative)
{
    const std::vector<std::string> notByRule = {"Aleksandra", "Kacpra", "Lwa", "Sylwestra", "Wawrzyńca"};
    std::vector<std::string> failed;
    for (const std::string& form : AllNameForms(Table())) {
        const std::string nominative = NominativeOf(form);
        if (GenitiveOf(nominative) != form)
            failed.push_back(form + " -> " + nominative);
    }
    std::vector<std::string> expected;
    for (const std::string& form : notByRule)
        expected.push_back(form + " -> " + NominativeOf(form));
    EXPECT_EQ(failed, expected);
    // Those, from a grammar book.
    EXPECT_EQ(NominativeOf("Aleksandra"), "Aleksander");
    EXPECT_EQ(NominativeOf("Kacpra"), "Kacper");
    EXPECT_EQ(NominativeOf("Lwa"), "Lew");
    EXPECT_EQ(NominativeOf("Sylwestra"), "Sylwester");
    EXPECT_EQ(NominativeOf("Wawrzyńca"), "Wawrzyniec");
}

// "Anna (Anny)" in the list, and the search by the name as said: the name itself first, then a
// beginning, then a piece.
TEST(NameReminders, TheNameAsSaidFindsItsForm)
{
    const std::vector<NameChoice> choices = NameChoices(AllNameForms(Table()));
    auto labelOf = [&choices](const std::string& form) {
        for (const NameChoice& c : choices)
            if (c.form == form)
                return c.label;
        return std::string("(none)");
    };
    EXPECT_EQ(labelOf("Anny"), "Anna (Anny)");
    EXPECT_EQ(labelOf("Beatrycze"), "Beatrycze");
    EXPECT_EQ(labelOf("Marii Magdaleny"), "Maria Magdalena (Marii Magdaleny)");
    struct Row
    {
        const char* query;
        std::vector<std::string> found;  // the forms, in the list's order
    };
    const Row rows[] = {
        {"Ewa", {"Ewy"}},        {"  anna ", {"Anny"}},
        {"ANNY", {"Anny"}},      {"Jerzy", {"Jerzego"}},
        {"Paweł", {"Pawła"}},    {"Marceli", {"Marceli", "Marcelego"}},  // Marcela's form and Marceli's name
        {"Ewar", {"Ewarysta"}},  {"łucj", {"Łucji", "Łucjana"}},
        {"rysta", {"Ewarysta"}}, {"Xyz", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.query);
        const std::vector<bool> found = NamesFound(choices, r.query);
        ASSERT_EQ(found.size(), choices.size());
        std::vector<std::string> forms;
        for (std::size_t i = 0; i < choices.size(); ++i)
            if (found[i])
                forms.push_back(choices[i].form);
        EXPECT_EQ(forms, r.found);
    }
    const std::vector<bool> all = NamesFound(choices, "");
    EXPECT_EQ(std::count(all.begin(), all.end(), true), static_cast<long>(choices.size()));
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
    // The last of the day's own lines: the Polish calendar's lines follow it.
    const auto reminders = std::find_if(lines.begin(), lines.end(),
                                        [](const auto& line) { return line.first == "reminders"; });
    ASSERT_NE(reminders, lines.end());
    ASSERT_NE(std::next(reminders), lines.end());
    EXPECT_EQ(std::next(reminders)->first, "trading-sunday");
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
