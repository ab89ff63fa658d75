// The winter holidays file: the shipped one against the published lists, and every kind of line
// the parser refuses.
#include "calendar/winter_holidays.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/date_format.h"
#include "calendar/school_year.h"

extern const unsigned char kShippedWinterHolidays[];
extern const std::size_t kShippedWinterHolidaysSize;

namespace {

std::string_view ShippedFile()
{
    return {reinterpret_cast<const char*>(kShippedWinterHolidays), kShippedWinterHolidaysSize};
}

struct Golden
{
    const char* voivodeship;
    int m1, d1, m2, d2;
};

void ExpectYear(const WinterHolidays& holidays, int year, const Golden (&rows)[16])
{
    for (const Golden& r : rows) {
        SCOPED_TRACE(testing::Message() << r.voivodeship << ' ' << year);
        const auto turn = holidays.TurnOf(r.voivodeship, year);
        ASSERT_TRUE(turn);
        EXPECT_EQ(DateKey(turn->first), DateKey(year, r.m1, r.d1));
        EXPECT_EQ(DateKey(turn->last), DateKey(year, r.m2, r.d2));
        // Two weeks, Monday to Sunday, as the regulation and the announcements have them.
        EXPECT_EQ(turn->last - turn->first, 13);
        EXPECT_EQ(IsoDayOfWeek(turn->first), 1);
        EXPECT_FALSE(holidays.Contains(r.voivodeship, turn->first - 1));
        EXPECT_TRUE(holidays.Contains(r.voivodeship, turn->first + 0.75));
        EXPECT_TRUE(holidays.Contains(r.voivodeship, turn->last));
        EXPECT_FALSE(holidays.Contains(r.voivodeship, turn->last + 1));
    }
}

}  // namespace

// Every voivodeship in alphabetical order, first and last day, transcribed from the published
// lists rather than from the file (which goes by turns):
// 2025: samorzad.infor.pl, "Ferie zimowe w roku szkolnym 2024/2025 i 2025/2026" (August 2024),
//   and familie.pl, "Kiedy są ferie zimowe 2025?";
// 2026: the same samorzad.infor.pl article, se.pl (13 November 2025) and dorzeczy.pl (May 2025),
//   the first year of three turns;
// 2027: PAP, 17 May 2025, on the list the ministry put on its pages (myszkow365.pl), and kalbi.pl.
TEST(WinterHolidays, ShippedFileMatchesThePublishedLists)
{
    const WinterHolidaysParse parsed = ParseWinterHolidays(ShippedFile());
    for (const WinterHolidaysProblem& problem : parsed.problems)
        ADD_FAILURE() << "line " << problem.line << ": " << problem.text;
    const Golden y2025[16] = {
        {"dolnośląskie", 2, 3, 2, 16},   {"kujawsko-pomorskie", 1, 20, 2, 2},
        {"lubelskie", 2, 17, 3, 2},      {"lubuskie", 1, 20, 2, 2},
        {"łódzkie", 2, 17, 3, 2},        {"małopolskie", 1, 20, 2, 2},
        {"mazowieckie", 2, 3, 2, 16},    {"opolskie", 2, 3, 2, 16},
        {"podkarpackie", 2, 17, 3, 2},   {"podlaskie", 1, 27, 2, 9},
        {"pomorskie", 2, 17, 3, 2},      {"śląskie", 2, 17, 3, 2},
        {"świętokrzyskie", 1, 20, 2, 2}, {"warmińsko-mazurskie", 1, 27, 2, 9},
        {"wielkopolskie", 1, 20, 2, 2},  {"zachodniopomorskie", 2, 3, 2, 16},
    };
    const Golden y2026[16] = {
        {"dolnośląskie", 2, 2, 2, 15},   {"kujawsko-pomorskie", 2, 2, 2, 15},
        {"lubelskie", 2, 16, 3, 1},      {"lubuskie", 2, 16, 3, 1},
        {"łódzkie", 2, 2, 2, 15},        {"małopolskie", 2, 2, 2, 15},
        {"mazowieckie", 1, 19, 2, 1},    {"opolskie", 2, 2, 2, 15},
        {"podkarpackie", 2, 16, 3, 1},   {"podlaskie", 1, 19, 2, 1},
        {"pomorskie", 1, 19, 2, 1},      {"śląskie", 2, 16, 3, 1},
        {"świętokrzyskie", 1, 19, 2, 1}, {"warmińsko-mazurskie", 1, 19, 2, 1},
        {"wielkopolskie", 2, 16, 3, 1},  {"zachodniopomorskie", 2, 2, 2, 15},
    };
    const Golden y2027[16] = {
        {"dolnośląskie", 1, 18, 1, 31},  {"kujawsko-pomorskie", 2, 15, 2, 28},
        {"lubelskie", 2, 1, 2, 14},      {"lubuskie", 2, 15, 2, 28},
        {"łódzkie", 1, 18, 1, 31},       {"małopolskie", 2, 15, 2, 28},
        {"mazowieckie", 2, 1, 2, 14},    {"opolskie", 1, 18, 1, 31},
        {"podkarpackie", 1, 18, 1, 31},  {"podlaskie", 1, 18, 1, 31},
        {"pomorskie", 2, 1, 2, 14},      {"śląskie", 1, 18, 1, 31},
        {"świętokrzyskie", 2, 1, 2, 14}, {"warmińsko-mazurskie", 2, 15, 2, 28},
        {"wielkopolskie", 2, 15, 2, 28}, {"zachodniopomorskie", 2, 15, 2, 28},
    };
    ExpectYear(parsed.holidays, 2025, y2025);
    ExpectYear(parsed.holidays, 2026, y2026);
    ExpectYear(parsed.holidays, 2027, y2027);
    EXPECT_FALSE(parsed.holidays.TurnOf("mazowieckie", 2024));
}

// Each bad line is refused with its number, and the good line after it still counts.
TEST(WinterHolidays, BadLinesAreRefusedWithTheirNumberAndTheRestCounts)
{
    struct Row
    {
        const char* line;
        const char* message;
    };
    const Row rows[] = {
        {"2026-01-19", "oczekiwano pierwszego i ostatniego dnia ferii (RRRR-MM-DD) i nazw województw po przecinku"},
        {"2026-01-19 2026-02-01", "oczekiwano pierwszego i ostatniego dnia ferii"},
        {"ferie 2026-01-19 2026-02-01 mazowieckie", "błędna data „ferie” (oczekiwano RRRR-MM-DD)"},
        {"2026.01.19 2026.02.01 mazowieckie", "błędna data „2026.01.19” (oczekiwano RRRR-MM-DD)"},
        {"2026-1-19 2026-02-01 mazowieckie", "błędna data „2026-1-19”"},
        {"2026-02-30 2026-03-01 mazowieckie", "błędna data „2026-02-30”"},
        {"2026-01-19 2026-13-01 mazowieckie", "błędna data „2026-13-01”"},
        {"0000-01-19 0000-02-01 mazowieckie", "błędna data „0000-01-19”"},
        {"2026-02-01 2026-01-19 mazowieckie", "ostatni dzień ferii 2026-01-19 wypada przed pierwszym 2026-02-01"},
        {"2026-01-19 2026-03-01 mazowieckie", "ferie od 2026-01-19 do 2026-03-01 trwają dłużej niż 31 dni"},
        {"2026-01-19 2026-02-01 Mazowieckie", "nieznane województwo „Mazowieckie” (nazwy małymi literami"},
        {"2026-01-19 2026-02-01 mazowieckie; pomorskie", "nieznane województwo „mazowieckie; pomorskie”"},
        {"2026-01-19 2026-02-01 bielskie", "nieznane województwo „bielskie”"},
        {"2026-01-19 2026-02-01 mazowieckie,, pomorskie", "brak nazwy województwa między przecinkami"},
        {"2026-01-19 2026-02-01 mazowieckie,", "brak nazwy województwa między przecinkami"},
        {"2026-01-19 2026-02-01 pomorskie, pomorskie", "województwo „pomorskie” wymienione dwa razy"},
        // A second turn the same winter for a voivodeship the first line already has.
        {"2026-02-16 2026-03-01 lubuskie, opolskie", "województwo „opolskie” ma już ferie zimowe w 2026 r. (wiersz 1)"},
        // A long line of anything is quoted short, with its control characters shown.
        {"2026-01-19 2026-02-01 \x01zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz",
         "nieznane województwo „?zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz…”"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.line);
        const std::string text = std::string("2026-02-02 2026-02-15 opolskie\n") + r.line
                                 + "\n# komentarz\n2027-01-18 2027-01-31 podlaskie\n";
        const WinterHolidaysParse parsed = ParseWinterHolidays(text);
        ASSERT_EQ(parsed.problems.size(), 1u);
        EXPECT_EQ(parsed.problems[0].line, 2);
        EXPECT_EQ(parsed.problems[0].text.substr(0, std::string_view(r.message).size()), r.message);
        EXPECT_TRUE(parsed.holidays.Contains("opolskie", EncodeDate(2026, 2, 10)));
        EXPECT_TRUE(parsed.holidays.Contains("podlaskie", EncodeDate(2027, 1, 18)));
        // Nothing of the refused line counts, not even its good names.
        EXPECT_FALSE(parsed.holidays.Contains("mazowieckie", EncodeDate(2026, 1, 20)));
        EXPECT_FALSE(parsed.holidays.Contains("pomorskie", EncodeDate(2026, 1, 20)));
        EXPECT_FALSE(parsed.holidays.Contains("lubuskie", EncodeDate(2026, 2, 20)));
    }
}

TEST(WinterHolidays, EmptyFilesCommentsAndLineEnds)
{
    for (const char* text : {"", "\n\n", "# tylko komentarz\r\n   # i drugi\n\t\n", "\xEF\xBB\xBF"}) {
        SCOPED_TRACE(text);
        const WinterHolidaysParse parsed = ParseWinterHolidays(text);
        EXPECT_TRUE(parsed.problems.empty());
        EXPECT_TRUE(parsed.holidays.Empty());
    }
    // A byte-order mark, CR LF, tabs, blanks around the commas and no line end after the last.
    const WinterHolidaysParse parsed = ParseWinterHolidays(
        "\xEF\xBB\xBF# ferie\r\n\t2026-01-19\t2026-02-01  mazowieckie ,pomorskie\t\r\n2026-02-16 2026-03-01 śląskie");
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_TRUE(parsed.holidays.Contains("pomorskie", EncodeDate(2026, 2, 1)));
    EXPECT_TRUE(parsed.holidays.Contains("mazowieckie", EncodeDate(2026, 1, 19)));
    EXPECT_TRUE(parsed.holidays.Contains("śląskie", EncodeDate(2026, 3, 1)));
    EXPECT_FALSE(parsed.holidays.Empty());
    EXPECT_FALSE(parsed.holidays.Contains("", EncodeDate(2026, 1, 19)));
    EXPECT_FALSE(parsed.holidays.Contains("Mazowieckie", EncodeDate(2026, 1, 19)));
}

// Saved by an editor in the Windows code page: "łódzkie" and "śląskie" are still found.
TEST(WinterHolidays, AFileInWindows1250IsReadToo)
{
    const WinterHolidaysParse parsed = ParseWinterHolidays("2026-02-02 2026-02-15 \xB3\xF3"
                                                           "dzkie\r\n"
                                                           "2026-02-16 2026-03-01 \x9Cl\xB9skie\r\n");
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_TRUE(parsed.holidays.Contains("łódzkie", EncodeDate(2026, 2, 2)));
    EXPECT_TRUE(parsed.holidays.Contains("śląskie", EncodeDate(2026, 2, 16)));
}

TEST(WinterHolidays, OnlyOfficialNamesAreVoivodeships)
{
    EXPECT_EQ(kVoivodeships.size(), 16u);
    for (const std::string_view name : kVoivodeships)
        EXPECT_TRUE(IsVoivodeship(name)) << name;
    for (const char* name : {"", "Mazowieckie", "mazowieckie ", "warmińsko mazurskie", "lodzkie", "bielskie"})
        EXPECT_FALSE(IsVoivodeship(name)) << name;
}

// "ferie zimowe" only for the chosen voivodeship; the nationwide breaks for everybody.
TEST(WinterHolidays, SchoolBreakNamesTheWinterHolidaysOfTheVoivodeship)
{
    const WinterHolidays holidays = ParseWinterHolidays(ShippedFile()).holidays;
    const TDateTime day = EncodeDate(2026, 2, 10);
    EXPECT_EQ(SchoolBreak(day, holidays, "dolnośląskie"), "ferie zimowe");
    EXPECT_EQ(SchoolBreak(day, holidays, "mazowieckie"), "");
    EXPECT_EQ(SchoolBreak(day, holidays, ""), "");
    EXPECT_EQ(SchoolBreak(day, WinterHolidays(), "dolnośląskie"), "");
    EXPECT_EQ(SchoolBreak(EncodeDate(2026, 4, 3), holidays, ""), "wiosenna przerwa świąteczna");
    EXPECT_EQ(SchoolBreak(EncodeDate(2026, 7, 1), holidays, "opolskie"), "ferie letnie");
}
