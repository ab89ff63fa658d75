// The built-in city table, in Polish order, and the coordinate texts.
#include "astro/places.h"

#include <cmath>

#include <gtest/gtest.h>

TEST(CityTable, BuiltInTableInPolishOrder)
{
    CityTable table;
    table.Load();
    const std::vector<std::string> expected = {
        "Białystok", "Bydgoszcz", "Gdańsk",   "Katowice", "Kraków",  "Lublin", "Łódź",         "Poznań",
        "Rzeszów",   "Suwałki",   "Szczecin", "Warszawa", "Wrocław", "Zamość", "Zielona Góra",
    };
    EXPECT_EQ(table.Names(), expected);
    ASSERT_EQ(table.Lines().size(), 15u);
    EXPECT_EQ(table.Lines()[7], "Poznań=52.410165;16.927106");
}

TEST(CityTable, CoordinatesAreTheTableTexts)
{
    CityTable table;
    table.Load();
    struct Row
    {
        const char* name;
        const char* latitude;
        const char* longitude;
    };
    const Row rows[] = {
        {"Warszawa", "52.236620", "21.027916"},
        {"Zielona Góra", "51.943395", "15.512170"},
        {"Łódź", "51.772652", "19.481012"},
        {"Zamość", "50.717628", "23.262367"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto c = table.Coordinates(r.name);
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(c->latitude, r.latitude);
        EXPECT_EQ(c->longitude, r.longitude);
        EXPECT_EQ(ParseCoordinate(c->latitude, 0), std::stod(r.latitude));
    }
    EXPECT_FALSE(table.Coordinates("Zielona").has_value());
    EXPECT_FALSE(table.Coordinates("warszawa").has_value());
}

// Stored coordinates find their city again: the table's numbers as the settings keep them, not
// the default place or a point a metre away in the last decimal.
TEST(CityTable, CoordinatesFindTheirCity)
{
    CityTable table;
    table.Load();
    struct Row
    {
        double latitude, longitude;
        const char* city;  // nullptr: none
    };
    const Row rows[] = {
        {50.061021, 19.934429, "Kraków"},   {52.236620, 21.027916, "Warszawa"}, {50.717628, 23.262367, "Zamość"},
        {50.0610214, 19.9344286, "Kraków"}, {50.061021, 19.934431, nullptr},    {52.0, 21.0, nullptr},
        {19.934429, 50.061021, nullptr},    {-50.061021, 19.934429, nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.latitude << ' ' << r.longitude);
        const auto at = table.CityAt(r.latitude, r.longitude);
        if (!r.city) {
            EXPECT_FALSE(at.has_value());
            continue;
        }
        ASSERT_TRUE(at.has_value());
        EXPECT_EQ(table.Names().at(*at), r.city);
    }
}

TEST(CityTable, LoadsHandBuiltWindows1250Text)
{
    // "Żory" and "Ełk" in Windows-1250 (0xAF = Ż, 0xB3 = ł); the text ends at the NUL, and a
    // line without ";" has an empty longitude.
    static const char bytes[] = "\xAFory=50.0;18.7\r\nE\xB3k=53.8\r\nAbc=1;2\0Zzz=3;4";
    const std::string text(bytes, sizeof bytes - 1);
    CityTable table;
    table.Load(text);
    EXPECT_EQ(table.Names(), (std::vector<std::string>{"Abc", "Ełk", "Żory"}));
    EXPECT_EQ(table.Coordinates("Ełk")->latitude, "53.8");
    EXPECT_EQ(table.Coordinates("Ełk")->longitude, "");
    EXPECT_EQ(table.Coordinates("Żory")->longitude, "18.7");
}

TEST(Coordinates, FormatSixDecimalsRightAlignedInNine)
{
    EXPECT_EQ(FormatCoordinate(52), "52.000000");
    EXPECT_EQ(FormatCoordinate(5.5), " 5.500000");
    EXPECT_EQ(FormatCoordinate(-0.5), "-0.500000");
    EXPECT_EQ(FormatCoordinate(-123.25), "-123.250000");
    EXPECT_EQ(FormatCoordinate(0.0000004), " 0.000000");
    EXPECT_EQ(FormatCoordinate(123.25), "123.250000");
    EXPECT_EQ(FormatCoordinate(0), " 0.000000");
    EXPECT_EQ(FormatCoordinate(1e20), "100000000000000000000.000000");
}

TEST(Coordinates, ParseTheFixedFormOnly)
{
    struct Row
    {
        const char* text;
        double expected;  // NAN: not a number, the default applies
    };
    const Row rows[] = {
        {"52.236620", 52.23662},
        {"  21", 21},
        {"+5", 5},
        {"-33.9", -33.9},
        {"5.", 5},
        {".5", 0.5},
        {"-.25", -0.25},
        {"1E2", 100},
        {"1e-2", 0.01},
        {"2.5e+1", 25},
        {"1e300", 1e300},
        {"007", 7},
        {"1e-400", 0},
        {"-0.0001e-99999", 0},
        {"000.000e5", 0},
        {"0.00001e-320", 0},
        {"52,25", NAN},
        {"", NAN},
        {"   ", NAN},
        {"-", NAN},
        {"+", NAN},
        {".", NAN},
        {"52 ", NAN},
        {"\t52", NAN},
        {"52.5.1", NAN},
        {"1e", NAN},
        {"1e+", NAN},
        {"e5", NAN},
        {"--5", NAN},
        {"+-5", NAN},
        {"5-", NAN},
        {"0x10", NAN},
        {"inf", NAN},
        {"nan", NAN},
        {"1e999", NAN},
        {"0.001e312", NAN},
        {"52°", NAN},
        {"1 000", NAN},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << '"' << r.text << '"');
        const std::optional<double> v = TryParseCoordinate(r.text);
        if (std::isnan(r.expected)) {
            EXPECT_FALSE(v.has_value());
            EXPECT_EQ(ParseCoordinate(r.text, 52), 52);
        } else {
            ASSERT_TRUE(v.has_value());
            EXPECT_DOUBLE_EQ(*v, r.expected);
            EXPECT_DOUBLE_EQ(ParseCoordinate(r.text, 52), r.expected);
        }
    }
    // A full stop, never the locale's separator: the round trip of the dialog's own text.
    EXPECT_EQ(ParseCoordinate(FormatCoordinate(-75), 21), -75);
    EXPECT_EQ(ParseCoordinate(FormatCoordinate(5.5), 21), 5.5);
}
