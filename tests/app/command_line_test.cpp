// Command-line parsing and the printed day view.
#include "app/command_line.h"
#include "app/reminders_command.h"
#include "calendar/notes_journal.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/print_day.h"

namespace {

CommandLineResult Parse(std::vector<std::string> args)
{
    return ParseCommandLine(args);
}

std::string Value(const std::vector<std::pair<std::string, std::string>>& lines, const std::string& key)
{
    for (const auto& [k, v] : lines)
        if (k == key)
            return v;
    return "<missing>";
}

}  // namespace

TEST(CommandLine, HideInAnyCase)
{
    for (const char* spelling : {"-HIDE", "-hide", "-Hide", "-hIdE"}) {
        SCOPED_TRACE(spelling);
        const auto r = Parse({spelling});
        EXPECT_TRUE(r.error.empty());
        EXPECT_TRUE(r.options.hide);
        EXPECT_EQ(r.options.mode, CommandLine::Mode::Window);
    }
    EXPECT_FALSE(Parse({}).options.hide);
    // Any other word is ignored and the window is shown; unknown long options are errors.
    const auto other = Parse({"/start"});
    EXPECT_TRUE(other.error.empty());
    EXPECT_FALSE(other.options.hide);
    EXPECT_EQ(other.options.mode, CommandLine::Mode::Window);
}

TEST(CommandLine, PrintDayDates)
{
    EXPECT_EQ(Parse({"--print-day", "2024-01-01"}).options.date, EncodeDate(2024, 1, 1));
    EXPECT_EQ(Parse({"--print-day", "2024.02.29"}).options.date, EncodeDate(2024, 2, 29));
    EXPECT_EQ(Parse({"--print-day", "0001-01-01"}).options.date, EncodeDate(1, 1, 1));
    const auto today = Parse({"--print-day"});
    EXPECT_EQ(today.options.mode, CommandLine::Mode::PrintDay);
    EXPECT_FALSE(today.options.date.has_value());
    const auto withDir = Parse({"--print-day", "--dir", "/tmp/x"});
    EXPECT_TRUE(withDir.error.empty());
    EXPECT_EQ(withDir.options.dir, "/tmp/x");
}

TEST(CommandLine, BadInputIsOneClearError)
{
    const std::vector<std::vector<std::string>> bad = {{"--print-day", "2023-02-29"},
                                                       {"--print-day", "2024-13-01"},
                                                       {"--print-day", "24-1-1"},
                                                       {"--print-day", "2024-01-01x"},
                                                       {"--print-day", "2024/01/01"},
                                                       {"--print-day", "2024-01.01"},
                                                       {"--print-day", "10000-01-01"},
                                                       {"--print-day", "0000-01-01"},
                                                       {"--bogus"},
                                                       {"--dir"},
                                                       {"--date"},
                                                       {"--screenshot"},
                                                       {"--lat"}};
    for (const auto& args : bad) {
        SCOPED_TRACE(args.back());
        const auto r = Parse(args);
        EXPECT_FALSE(r.error.empty());
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
    }
}

// The program speaks Polish on the command line too: every refusal of a wrong command line and
// the help itself, with the options spelt as they are typed.
TEST(CommandLine, EveryMessageIsInPolish)
{
    const std::vector<std::vector<std::string>> bad = {{"--print-day", "2024-13-01"},
                                                       {"--bogus"},
                                                       {"--dir"},
                                                       {"--date"},
                                                       {"--screenshot"},
                                                       {"--lat"},
                                                       {"--lat", "x"},
                                                       {"--lon", "200"},
                                                       {"--days", "0", "--print-day"},
                                                       {"--days", "5"},
                                                       {"--search"},
                                                       {"--export-ics"},
                                                       {"--from", "0"},
                                                       {"--from", "2030", "--to", "2020"},
                                                       {"--sntp", "host:0"}};
    // Words of the English messages the program used to print.
    const std::regex english(R"(\b(invalid|needs|expected|unknown|out of range|goes with|is after|bad|see)\b)");
    for (const auto& args : bad) {
        SCOPED_TRACE(args.front());
        const std::string error = Parse(args).error;
        ASSERT_TRUE(error.starts_with("dniarz: ")) << error;
        EXPECT_FALSE(std::regex_search(error, english)) << error;
    }
    const std::string help = UsageText();
    EXPECT_TRUE(help.starts_with("Użycie: dniarz [-hide] [opcje]\n")) << help;
    EXPECT_FALSE(std::regex_search(help, std::regex(R"(\b(the|and exit|default|notes)\b)"))) << help;
}

// The manual page is written by hand; every option --help names must have its entry there, and
// the page may describe none that the program no longer has.
// Both pages, the English one and the Polish one that man shows a Polish user.
TEST(CommandLine, ManualPageDescribesEveryOptionOfTheHelp)
{
    for (const auto& [file, section] :
         {std::pair{"dniarz.1", ".SH OPTIONS\n"}, std::pair{"dniarz.pl.1", ".SH OPCJE\n"}}) {
        SCOPED_TRACE(file);
        std::ifstream in(std::string(DNIARZ_TEST_DATA_DIR "/../../packaging/") + file);
        ASSERT_TRUE(in) << file;
        std::stringstream page;
        page << in.rdbuf();
        // The options section, with groff's escaped hyphens made plain.
        std::string text = std::regex_replace(page.str(), std::regex(R"(\\-)"), "-");
        const std::size_t begin = text.find(section);
        ASSERT_NE(begin, std::string::npos);
        const std::size_t end = text.find("\n.SH ", begin + 1);
        text = text.substr(begin, end - begin);

        // Each entry is the line after ".TP": the options it describes are the words of that line.
        std::set<std::string> described;
        const std::regex optionWord(R"((^|[ ,\[|"])(--?[a-z][a-z-]*))");
        const std::regex entry(R"(\.TP\n(\.B[IR]? [^\n]*))");
        for (auto e = std::sregex_iterator(text.begin(), text.end(), entry); e != std::sregex_iterator(); ++e) {
            const std::string head = (*e)[1];
            for (auto w = std::sregex_iterator(head.begin(), head.end(), optionWord); w != std::sregex_iterator(); ++w)
                described.insert((*w)[2]);
        }
        std::set<std::string> helped;
        const std::string help = UsageText();
        for (auto w = std::sregex_iterator(help.begin(), help.end(), optionWord); w != std::sregex_iterator(); ++w)
            helped.insert((*w)[2]);

        EXPECT_TRUE(helped.contains("--contacts") && helped.contains("-hide")) << help;
        for (const std::string& option : helped)
            EXPECT_TRUE(described.contains(option)) << option << " is in --help but not in the manual page";
        for (const std::string& option : described)
            EXPECT_TRUE(helped.contains(option)) << option << " is in the manual page but not in --help";
    }
}

// A place off the Earth, or no number at all, gives no day view with "----/----": the line is
// refused, naming the option, whatever else it asks for.
TEST(CommandLine, PlaceOutsideTheEarthIsRefused)
{
    struct Row
    {
        const char* option;
        const char* value;
        bool accepted;
    };
    const Row rows[] = {
        {"--lat", "90", true},    {"--lat", "-90", true},  {"--lat", "90.000001", false}, {"--lat", "91", false},
        {"--lat", "-91", false},  {"--lat", "1e3", false}, {"--lat", "north", false},     {"--lat", "nan", false},
        {"--lat", "52,5", false}, {"--lon", "180", true},  {"--lon", "-180", true},       {"--lon", "180.5", false},
        {"--lon", "-181", false}, {"--lon", "", false},    {"--lon", "21.027916", true},
    };
    for (const Row& r : rows) {
        for (const char* mode : {"--print-day", "-hide"}) {
            SCOPED_TRACE(testing::Message() << mode << ' ' << r.option << " '" << r.value << "'");
            const auto result = Parse({mode, r.option, r.value});
            EXPECT_EQ(result.error.empty(), r.accepted) << result.error;
            if (!r.accepted) {
                EXPECT_NE(result.error.find(r.option), std::string::npos) << result.error;
                EXPECT_EQ(result.error.find('\n'), std::string::npos);
            }
        }
    }
}

TEST(PrintDay, DaysOfThePublishedExamples)
{
    NameDayTable table;
    table.Load();
    struct Row
    {
        int y, m, d;
        const char* holiday;
        const char* names;
    };
    const Row rows[] = {
        {2024, 1, 1, "Nowy Rok", "Mieszka, Mieczysława, Marii, Odyseusza"},
        {2024, 4, 1, "Pon. Wielkanocny", "Grażyny, Zbigniewa, Teodory, Hugona"},
        {2024, 2, 14, "Popielec", "Walentego, Metodego, Cyryla, Liliany"},
        {2024, 11, 1, "Wszystkich Świętych", ""},
        {2024, 5, 24, "", "Joanny, Mileny, Zuzanny, Marii"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        const auto lines = PrintDayLines({EncodeDate(r.y, r.m, r.d), &table});
        EXPECT_EQ(Value(lines, "holiday"), r.holiday);
        EXPECT_EQ(Value(lines, "names"), r.names);
    }
    const auto lines = PrintDayLines({EncodeDate(2024, 1, 1), &table});
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(FormatPrintDay({lines.begin(), lines.begin() + 3}),
              "date: 2024.01.01\nweekday: poniedziałek\nmonth: styczeń\n");
}

TEST(CommandLine, SearchExportAndImportOptions)
{
    const auto search = Parse({"--search", "żółw", "--ignore-diacritics"});
    EXPECT_EQ(search.options.mode, CommandLine::Mode::Search);
    EXPECT_EQ(search.options.searchText, "żółw");
    EXPECT_TRUE(search.options.ignoreDiacritics);
    const auto exported = Parse({"--export-ics", "a.ics", "--from", "2020", "--to", "2020", "--with-holidays"});
    EXPECT_EQ(exported.options.mode, CommandLine::Mode::ExportIcs);
    EXPECT_EQ(exported.options.icsFile, "a.ics");
    EXPECT_EQ(exported.options.fromYear, 2020);
    EXPECT_EQ(exported.options.toYear, 2020);
    EXPECT_TRUE(exported.options.withHolidays);
    EXPECT_FALSE(exported.options.withNameDays);
    const std::vector<std::vector<std::string>> bad = {{"--search"},
                                                       {"--export-ics"},
                                                       {"--import-ics", ""},
                                                       {"--from", "0"},
                                                       {"--to", "10000"},
                                                       {"--to", "20x0"},
                                                       {"--export-ics", "a.ics", "--from", "2021", "--to", "2020"}};
    for (const auto& args : bad) {
        SCOPED_TRACE(args.back());
        EXPECT_FALSE(Parse(args).error.empty());
    }
}

TEST(CommandLine, RemindersTakeADateAndDays)
{
    const auto today = Parse({"--reminders"});
    EXPECT_EQ(today.options.mode, CommandLine::Mode::Reminders);
    EXPECT_FALSE(today.options.date);
    EXPECT_EQ(today.options.days, 1);
    const auto week = Parse({"--reminders", "2026-12-08", "--days", "7"});
    EXPECT_TRUE(week.error.empty()) << week.error;
    EXPECT_EQ(week.options.date, EncodeDate(2026, 12, 8));
    EXPECT_EQ(week.options.days, 7);
    EXPECT_TRUE(Parse({"--days", "2", "--reminders"}).error.empty());
    EXPECT_FALSE(Parse({"--reminders", "2026-02-30"}).error.empty());
    EXPECT_FALSE(Parse({"--reminders", "--days", "0"}).error.empty());
}

TEST(RemindersCommand, PrintsTheDaysInTimeOrderWithTwoDigitHours)
{
    JournalRecords notes;
    notes.Append("2026.12.08\r\n2026.12.01  10:00\r\n14:30 dentysta\r\n9:05 poczta\r\no 16:00 nic");
    notes.Append("    .12.09\r\n2026.12.01  10:00\r\n7.00 życzenia dla Barbary");
    std::ostringstream out;
    EXPECT_EQ(RunRemindersCommand(notes, EncodeDate(2026, 12, 8), 2, out), 0);
    EXPECT_EQ(out.str(), "2026.12.08 09:05 poczta\n2026.12.08 14:30 dentysta\n2026.12.09 07:00 życzenia dla Barbary\n");
    std::ostringstream none;
    EXPECT_EQ(RunRemindersCommand(notes, EncodeDate(2026, 12, 10), 30, none), 1);
    EXPECT_EQ(none.str(), "");
}
