// Name-day lookups: the built-in table and hand-made tables for the walk's corner cases.
#include "calendar/namedays.h"

#include <gtest/gtest.h>

#include "text/cp1250.h"
#include "calendar/datetime.h"

namespace {

NameDayTable BuiltIn()
{
    NameDayTable t;
    t.Load();
    return t;
}

NameDayTable FromUtf8(const std::string& text)
{
    NameDayTable t;
    t.Load(Utf8ToCp1250(text));
    return t;
}

}  // namespace

TEST(NameDays, BuiltInTableShape)
{
    const NameDayTable t = BuiltIn();
    EXPECT_EQ(t.Lines().size(), 378u);  // 12 headers + 366 days
    EXPECT_EQ(t.Lines().front(), "M01");
}

TEST(NameDays, BuiltInDays)
{
    const NameDayTable t = BuiltIn();
    struct Row
    {
        int month, day;
        const char* holiday;
        const char* names;
    };
    const Row rows[] = {
        {1, 1, "Nowy Rok", "Mieszka\r\n Mieczysława\r\nMarii\r\n Odyseusza"},
        {11, 1, "Wszystkich Świętych", ""},
        {1, 29, "", "Franciszka\r\nZdzisława\r\n Walerego\r\n Salazego\r\n "},
        {5, 25, "", "Grzegorza\r\n Marii Magdaleny\r\n Urbana\r\n Magdy"},
        {5, 3, "Konstytucji 3 Maja", " Marii\r\n Aleksandra\r\n Antoniny\r\n Marioli"},
        {1, 21, "Dzień Babci", " Agnieszki\r\n Epifaniego\r\n Jarosława\r\n Jarosławy"},
        {12, 26, "II Dzień Bożego Narodzenia", " Dionizego\r\n Szczepana"},
        {5, 24, "", "Joanny\r\n Mileny\r\n Zuzanny\r\n Marii"},
        {13, 1, "", ""},
        {0, 1, "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.day << '.' << r.month);
        const DayNames d = t.Lookup(r.month, r.day);
        EXPECT_EQ(d.holiday, r.holiday);
        EXPECT_EQ(d.names, r.names);
    }
    // 29 February has its own line; 30 February is no day of the table and falls through to March.
    EXPECT_FALSE(t.Lookup(2, 29).names.empty());
    EXPECT_EQ(t.Lookup(2, 30).names, t.Lookup(3, 30).names);
}

TEST(NameDays, EveryDayOfALeapYearHasItsOwnLine)
{
    const NameDayTable t = BuiltIn();
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= DaysInMonth(2024, m); ++d) {
            SCOPED_TRACE(testing::Message() << d << '.' << m);
            EXPECT_TRUE(!t.Lookup(m, d).names.empty() || (m == 11 && d == 1));
        }
}

TEST(NameDays, DayKeyMustStandAtTheStartOfTheLine)
{
    const NameDayTable t = FromUtf8("M01\r\n10. Dziesiątego\r\n21. Dwudziestego\r\n1. Pierwszego\r\n"
                                    "M02\r\n1. Lutego\r\n");
    EXPECT_EQ(t.Lookup(1, 1).names, "Pierwszego");  // blanks after the key are dropped
    EXPECT_EQ(t.Lookup(2, 1).names, "Lutego");
}

TEST(NameDays, MalformedLineFallsThroughToALaterMonth)
{
    const NameDayTable t = FromUtf8("M05\r\n23. Maja\r\n24, Joanny\r\nM06\r\n24. Jana\r\n");
    EXPECT_EQ(t.Lookup(5, 24).names, "Jana");
    EXPECT_EQ(t.Lookup(7, 1).names, "");   // a header that never occurs
    EXPECT_EQ(t.Lookup(5, 25).names, "");  // no line after the header
}

TEST(NameDays, LineEndsNulAndUnderscores)
{
    // Lone CR, lone LF and CR LF all end lines; the text ends at the first NUL.
    const std::string utf8("M03\r1.*Dzień_Wiosny\n2.   Anny_Marii,Ewy,\r\n3. Poza\0M04\r\n1. Ukryty", 65);
    NameDayTable t;
    t.Load(Utf8ToCp1250(utf8));
    EXPECT_EQ(t.Lookup(3, 1).holiday, "Dzień Wiosny");
    EXPECT_EQ(t.Lookup(3, 1).names, "");
    EXPECT_EQ(t.Lookup(3, 2).names, "Anny Marii\r\nEwy\r\n");
    EXPECT_EQ(t.Lookup(3, 3).names, "Poza");
    EXPECT_EQ(t.Lookup(4, 1).names, "");
    NameDayTable empty;
    empty.Load(std::string_view());
    EXPECT_EQ(empty.Lookup(1, 1).names, "");
}

TEST(NameDays, JoinNamesDropsOneLeadingBlank)
{
    EXPECT_EQ(JoinNames("Mieszka\r\n Mieczysława\r\nMarii\r\n Odyseusza"), "Mieszka, Mieczysława, Marii, Odyseusza");
    EXPECT_EQ(JoinNames(""), "");
    EXPECT_EQ(JoinNames("Franciszka\r\nZdzisława\r\n Walerego\r\n Salazego\r\n "),
              "Franciszka, Zdzisława, Walerego, Salazego");
}
