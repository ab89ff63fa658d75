// The sun, moon and phase lines of the printed day view, and the place from the command line.
#include "app/print_day.h"

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
