// The sun, moon and phase lines of the printed day view, and the place from the command line.
#include "app/print_day.h"

#include <sstream>

#include <gtest/gtest.h>

#include "app/command_line.h"

TEST(PrintDaySunMoon, LinesFollowTheNamesForThePlaceGiven)
{
    struct Row
    {
        const char* date;
        const char* lat;
        const char* lon;
        const char* sun;
        const char* moon;   // nullptr: not checked
        const char* phase;  // nullptr: not checked
    };
    const Row rows[] = {
        {"2024-06-21", "52.236620", "21.027916", "04:14/21:01", "21:21/02:51", "100 % (+)"},
        {"2024-12-21", "52.236620", "21.027916", "07:43/15:25", nullptr, "61 % (-)"},
        {"2024-06-21", "70", nullptr, "----/----", nullptr, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.date << ' ' << r.lat);
        std::vector<std::string> args = {"--print-day", r.date, "--lat", r.lat};
        if (r.lon) {
            args.push_back("--lon");
            args.push_back(r.lon);
        }
        const CommandLineResult parsed = ParseCommandLine(args);
        ASSERT_EQ(parsed.error, "");
        PrintDayInput input{*parsed.options.date};
        ASSERT_EQ(SetPlace(input, parsed.options.latitude, parsed.options.longitude), "");
        const auto lines = PrintDayLines(input);
        ASSERT_GE(lines.size(), 8u);
        EXPECT_EQ(lines[4].first, "names");
        EXPECT_EQ(lines[5].first, "sun");
        EXPECT_EQ(lines[6].first, "moon");
        EXPECT_EQ(lines[7].first, "phase");
        EXPECT_EQ(lines[5].second, r.sun);
        if (r.moon) {
            EXPECT_EQ(lines[6].second, r.moon);
        }
        if (r.phase) {
            EXPECT_EQ(lines[7].second, r.phase);
        }
    }
}

TEST(PrintDaySunMoon, PlaceDefaultsAndRejectedTexts)
{
    PrintDayInput input;
    EXPECT_EQ(SetPlace(input, std::nullopt, std::nullopt), "");
    EXPECT_EQ(input.latitude, 52);
    EXPECT_EQ(input.longitude, 21);

    EXPECT_EQ(SetPlace(input, std::nullopt, "-75"), "");
    EXPECT_EQ(input.latitude, 52);
    EXPECT_EQ(input.longitude, -75);

    for (const char* bad : {"52,5", "", "north", "52 ", "1e999"}) {
        SCOPED_TRACE(bad);
        PrintDayInput kept;
        const std::string latError = SetPlace(kept, bad, std::nullopt);
        EXPECT_NE(latError.find("--lat"), std::string::npos);
        EXPECT_EQ(latError.find('\n'), std::string::npos);
        EXPECT_NE(SetPlace(kept, "50", bad).find("--lon"), std::string::npos);
        EXPECT_EQ(kept.latitude, 52);
        EXPECT_EQ(kept.longitude, 21);
    }
}

TEST(PrintDays, NumberOfDaysIsParsedWithinItsRange)
{
    const CommandLineResult year = ParseCommandLine({"--print-day", "2024-01-01", "--days", "366"});
    EXPECT_EQ(year.error, "");
    EXPECT_EQ(year.options.days, 366);
    EXPECT_EQ(ParseCommandLine({"--days", "36600", "--print-day"}).options.days, kMaxPrintDays);
    EXPECT_EQ(ParseCommandLine({"--print-day"}).options.days, 1);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--print-day", "--days", "0"},
                                               {"--print-day", "--days", "36601"},
                                               {"--print-day", "--days", "-1"},
                                               {"--print-day", "--days", "12x"},
                                               {"--print-day", "--days", ""},
                                               {"--print-day", "--days", "99999999999999999999"},
                                               {"--print-day", "--days"},
                                               {"--days", "3"},
                                               {"--screenshot", "a.png", "--days", "3"}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        const CommandLineResult r = ParseCommandLine(args);
        EXPECT_NE(r.error.find("--days"), std::string::npos);
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
    }
}

// A run prints each day as --print-day prints it alone, parted by one empty line, across a month,
// a year and a leap day; a run past the last day of the calendar prints nothing.
TEST(PrintDays, BlocksAreTheDaysPrintedAlone)
{
    PrintDayInput input{EncodeDate(2023, 12, 30)};
    input.latitude = 54.35;
    input.longitude = 18.65;
    std::ostringstream out;
    ASSERT_EQ(PrintDays(input, 63, out), "");
    std::string expected;
    for (int i = 0; i < 63; ++i) {
        PrintDayInput day = input;
        day.date = input.date + i;
        expected += (i ? "\n" : "") + FormatPrintDay(PrintDayLines(day));
    }
    EXPECT_EQ(out.str(), expected);
    EXPECT_NE(out.str().find("date: 2024.02.29\n"), std::string::npos);
    EXPECT_EQ(out.str().find("\n\n\n"), std::string::npos);

    std::ostringstream last;
    input.date = EncodeDate(9999, 12, 30);
    EXPECT_EQ(PrintDays(input, 2, last), "");
    EXPECT_NE(last.str().find("date: 9999.12.31\n"), std::string::npos);
    std::ostringstream past;
    const std::string error = PrintDays(input, 3, past);
    EXPECT_NE(error.find("9999"), std::string::npos);
    EXPECT_EQ(past.str(), "");
}
