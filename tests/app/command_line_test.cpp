// Command-line parsing and the printed day view.
#include "app/command_line.h"

#include <gtest/gtest.h>

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
