// The month-grid model: cells, week numbers, list matching, colours, layout, keys and hit-testing.
// Expected dates and week numbers are read off a printed 2019-2025 calendar with ISO week numbers.
#include "calendar/month_grid.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace {

MonthGrid GridOn(int y, int m, int d, bool germanDate = true, bool showWeeks = true)
{
    MonthGrid grid(EncodeDate(y, m, d));
    grid.SetGermanDate(germanDate);
    grid.SetShowWeeks(showWeeks);
    return grid;
}

std::vector<std::string> Entries(const MonthGrid& grid, int from, int to)
{
    std::vector<std::string> out;
    for (int n = from; n <= to; ++n)
        out.push_back(grid.CellEntry(n));
    return out;
}

using Texts = std::vector<std::string>;

}  // namespace

TEST(MonthGrid, WeekNumberColumnByBothRules)
{
    struct Row
    {
        int year, month;
        bool germanDate;
        Texts weeks;
    };
    const Row rows[] = {
        // 30 December 2024 is a Monday and begins week 1 of 2025.
        {2024, 12, true, {"48", "49", "50", "51", "52", "1"}},
        // 1-3 January 2021 still belong to week 53 of 2020.
        {2021, 1, true, {"53", "1", "2", "3", "4"}},
        // Sunday weeks: week 1 of 2025 starts on Sunday 29 December 2024.
        {2024, 12, false, {"49", "50", "51", "52", "1"}},
        // 1 January 2021 is a Friday: week 1 starts on Sunday 3 January, so 1-2 January close 2020.
        {2021, 1, false, {"53", "1", "2", "3", "4", "5"}},
        {2021, 2, true, {"5", "6", "7", "8"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.year << '-' << r.month << (r.germanDate ? " Monday" : " Sunday"));
        EXPECT_EQ(GridOn(r.year, r.month, 1, r.germanDate).WeekTexts(), r.weeks);
    }
}

TEST(MonthGrid, WeekNumbersAtYearEnds)
{
    struct Row
    {
        int y, m, d;
        bool germanDate;
        int week;
    };
    const Row rows[] = {
        {2024, 12, 29, true, 52},
        {2024, 12, 30, true, 1},
        {2021, 1, 3, true, 53},
        {2021, 1, 4, true, 1},
        {2020, 12, 31, true, 53},
        {2019, 12, 30, true, 1},
        {2024, 12, 28, false, 52},
        {2024, 12, 29, false, 1},
        {2021, 1, 2, false, 53},
        {2021, 1, 3, false, 1},
        // 1 January of year 1 is a Monday in the proleptic calendar.
        {1, 1, 1, true, 1},
        {1, 1, 1, false, 1},
        {9999, 12, 31, true, 52},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d << (r.germanDate ? " Monday" : " Sunday"));
        EXPECT_EQ(WeekNumber(EncodeDate(r.y, r.m, r.d), r.germanDate), r.week);
    }
    EXPECT_EQ(FirstWeekStart(2025, true), EncodeDate(2024, 12, 30));
    EXPECT_EQ(FirstWeekStart(2021, false), EncodeDate(2021, 1, 3));
    EXPECT_EQ(FirstWeekStart(2024, false), EncodeDate(2023, 12, 31));
}

// Every kind of year start, leap and common. The first Monday of week 1 and the count of weeks are
// those of published ISO 8601 week calendars; every day from a week before the year to a week
// after it is then checked against the week of its Thursday, reckoned here with std::chrono: a week
// belongs to the year its Thursday is in and is numbered from that year's first Thursday. Sunday
// weeks follow the same rule one day earlier.
TEST(MonthGrid, WeekNumbersForEveryKindOfYearStart)
{
    using namespace std::chrono;
    struct Row
    {
        int year;
        weekday starts;
        bool leap;
        sys_days firstMonday;
        int weeks;
    };
    const Row rows[] = {
        {2018, Monday, false, 2018y / 1 / 1, 52},      {2024, Monday, true, 2024y / 1 / 1, 52},
        {2019, Tuesday, false, 2018y / 12 / 31, 52},   {2008, Tuesday, true, 2007y / 12 / 31, 52},
        {2025, Wednesday, false, 2024y / 12 / 30, 52}, {2020, Wednesday, true, 2019y / 12 / 30, 53},
        {2015, Thursday, false, 2014y / 12 / 29, 53},  {2026, Thursday, false, 2025y / 12 / 29, 53},
        {2004, Thursday, true, 2003y / 12 / 29, 53},   {2021, Friday, false, 2021y / 1 / 4, 52},
        {2016, Friday, true, 2016y / 1 / 4, 52},       {2022, Saturday, false, 2022y / 1 / 3, 52},
        {2000, Saturday, true, 2000y / 1 / 3, 52},     {2023, Sunday, false, 2023y / 1 / 2, 52},
        {2012, Sunday, true, 2012y / 1 / 2, 52},
    };
    const auto toDate = [](sys_days day) {
        const year_month_day ymd(day);
        return EncodeDate(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                          static_cast<int>(static_cast<unsigned>(ymd.day())));
    };
    const auto weekOfThursday = [](sys_days thursday) {
        const sys_days newYear = year_month_day(thursday).year() / January / 1;
        return static_cast<int>((thursday - newYear).count() / 7) + 1;
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.year);
        const year y(r.year);
        ASSERT_EQ(weekday(sys_days(y / January / 1)), r.starts);
        ASSERT_EQ(y.is_leap(), r.leap);
        EXPECT_EQ(FirstWeekStart(r.year, true), toDate(r.firstMonday));
        EXPECT_EQ(FirstWeekStart(r.year, false), toDate(r.firstMonday - days(1)));
        // 28 December always lies in the last week of its year.
        EXPECT_EQ(WeekNumber(EncodeDate(r.year, 12, 28), true), r.weeks);
        for (sys_days day = sys_days(y / January / 1) - days(7); day <= sys_days(y / December / 31) + days(7);
             day += days(1)) {
            SCOPED_TRACE(testing::Message() << "day " << (day - sys_days(y / January / 1)).count() << " of the year");
            const weekday wd(day);
            EXPECT_EQ(WeekNumber(toDate(day), true), weekOfThursday(day - days(wd.iso_encoding() - 1) + days(3)));
            EXPECT_EQ(WeekNumber(toDate(day), false), weekOfThursday(day - days(wd.c_encoding()) + days(4)));
        }
    }
}

TEST(MonthGrid, CellTablesWithAndWithoutNeighbourDays)
{
    // December 2024 starts on a Sunday and ends on a Tuesday.
    const MonthGrid weeks = GridOn(2024, 12, 6, true, true);
    EXPECT_EQ(weeks.FirstCell(), 7);
    EXPECT_EQ(Entries(weeks, 1, 8), (Texts{"-25", "-26", "-27", "-28", "-29", "-30", "+1", "+2"}));
    EXPECT_EQ(Entries(weeks, 36, 42), (Texts{"+30", "+31", "-1", "-2", "-3", "-4", "-5"}));
    EXPECT_EQ(weeks.CellText(12), "6");
    EXPECT_EQ(weeks.CurrentCell(), 12);

    const MonthGrid plain = GridOn(2024, 12, 6, true, false);
    EXPECT_EQ(Entries(plain, 1, 7), (Texts{"   ", "   ", "   ", "   ", "   ", "   ", "+1"}));
    EXPECT_EQ(Entries(plain, 37, 38), (Texts{"+31", "   "}));

    // November 2024 ends on Saturday: only Sunday 1 December completes the week; row 6 stays blank.
    const MonthGrid november = GridOn(2024, 11, 1, true, true);
    EXPECT_EQ(Entries(november, 1, 5), (Texts{"-28", "-29", "-30", "-31", "+1"}));
    EXPECT_EQ(Entries(november, 34, 36), (Texts{"+30", "-1", "   "}));
    EXPECT_EQ(november.CellEntry(42), "   ");

    // February 2021 runs Monday 1 to Sunday 28: four full rows, no grey days, two blank rows.
    const MonthGrid february = GridOn(2021, 2, 1, true, true);
    EXPECT_EQ(february.CellEntry(1), "+1");
    EXPECT_EQ(february.CellEntry(28), "+28");
    for (int n = 29; n <= 42; ++n)
        EXPECT_EQ(february.CellKind(n), ' ') << "cell " << n;

    // The same December, Sunday first: day 1 opens the first row, January's days follow the 31st.
    const MonthGrid sunday = GridOn(2024, 12, 1, false, true);
    EXPECT_EQ(Entries(sunday, 1, 1), Texts{"+1"});
    EXPECT_EQ(Entries(sunday, 31, 36), (Texts{"+31", "-1", "-2", "-3", "-4", "   "}));
}

TEST(MonthGrid, HolidayAndMarkedLinesMatchByPrefix)
{
    struct Row
    {
        std::string line;
        int y, m, d;
        bool matches;
    };
    const Row rows[] = {
        {"    .12.25", 2024, 12, 25, true},
        {"    .12.25", 1999, 12, 25, true},
        {"    .12.25", 2024, 12, 26, false},
        {"2024.04.01", 2024, 4, 1, true},
        {"2024.04.01", 2025, 4, 1, false},
        {"2024.04.01", 2024, 4, 2, false},
        {"2024.12", 2024, 12, 1, true},
        {"2024.12", 2024, 12, 31, true},
        {"2024.12", 2025, 12, 1, false},
        {"", 2024, 12, 25, false},
        {"2024.12.255", 2024, 12, 25, false},
        // Keys of early years carry four digits, as every stored key does.
        {"0800.04.01", 800, 4, 1, true},
        {"800.04.01", 800, 4, 1, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << '"' << r.line << "\" on " << r.y << '-' << r.m << '-' << r.d);
        MonthGrid grid = GridOn(r.y, r.m, r.d, true, true);
        grid.SetHolidays({r.line});
        EXPECT_EQ(grid.InkOf(grid.CurrentCell()) == CellInk::Holiday, r.matches);
    }
}

TEST(MonthGrid, ColourRulesLaterRulesWin)
{
    MonthGrid grid = GridOn(2024, 12, 2);  // Monday first; 1 December is a Sunday in cell 7
    grid.Colours() = {0xFF0001, 0xFF0002, 0x0000FF, 0xFF00FF, 0x00FFFF, 0x800000};
    grid.SetHolidays({"    .12.25", "", "2024.12.08"});
    grid.SetMarkdays({"2024.12.25", "2024.12.03"});
    struct Row
    {
        int cell;
        CellInk ink;
    };
    const Row rows[] = {
        {7, CellInk::Sunday},     // Sunday 1 December
        {13, CellInk::Saturday},  // Saturday 7 December
        {14, CellInk::Holiday},   // Sunday 8 December, listed
        {31, CellInk::Marked},    // 25 December, both listed: the mark wins
        {9, CellInk::Marked},     // Tuesday 3 December
        {8, CellInk::Black},      // Monday 2 December
        {6, CellInk::Grey},       // 30 November, Saturday column
        {42, CellInk::Grey},      // 5 January, Sunday column
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "cell " << r.cell);
        EXPECT_EQ(grid.InkOf(r.cell), r.ink);
    }
    EXPECT_EQ(grid.SelectedDayColour(), 0x000000u);
    grid.MoveDays(-1);
    EXPECT_EQ(grid.SelectedDayColour(), 0xFF0002u);

    // Sunday-first weeks put Sundays in column 1 and Saturdays in column 7.
    MonthGrid sunday = GridOn(2024, 12, 1, false, false);
    EXPECT_EQ(sunday.InkOf(1), CellInk::Sunday);
    EXPECT_EQ(sunday.InkOf(7), CellInk::Saturday);
}

// The colour each kind of cell is painted in, from the colours the settings give: the grids, the
// day number and the date drop-down all take it from here.
TEST(MonthGrid, EachInkTakesItsOwnColour)
{
    MonthGrid grid = GridOn(2024, 12, 2);
    grid.Colours().holiday = 0x0000FF;
    grid.Colours().sunday = 0xFF0000;
    grid.Colours().saturday = 0x008000;
    grid.Colours().marked = 0xFF00FF;
    grid.Colours().today = 0x00FFFF;
    grid.Colours().week = 0x800000;
    struct Row
    {
        CellInk ink;
        Rgb colour;
    };
    // Grey is drawn greyed out by the panel, from black like plain days.
    const Row rows[] = {{CellInk::Holiday, 0x0000FF}, {CellInk::Sunday, 0xFF0000}, {CellInk::Saturday, 0x008000},
                        {CellInk::Marked, 0xFF00FF},  {CellInk::Black, 0x000000},  {CellInk::Grey, 0x000000}};
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.ink));
        EXPECT_EQ(grid.ColourOf(r.ink), r.colour);
    }
}

TEST(MonthGrid, TodayOnlyOnTodaysMonthAndNeverGrey)
{
    MonthGrid december = GridOn(2024, 12, 6);
    december.SetToday(EncodeDate(2024, 12, 24) + 0.75);
    EXPECT_TRUE(december.IsToday(30));
    EXPECT_FALSE(december.IsToday(12));

    // January 2025 shows 30 and 31 December in grey in its first row.
    MonthGrid january = GridOn(2025, 1, 6);
    january.SetToday(EncodeDate(2024, 12, 31));
    for (int n = 1; n <= MonthGrid::kCells; ++n)
        EXPECT_FALSE(january.IsToday(n)) << "cell " << n;

    MonthGrid lastYear = GridOn(2023, 12, 6);
    lastYear.SetToday(EncodeDate(2024, 12, 24));
    for (int n = 1; n <= MonthGrid::kCells; ++n)
        EXPECT_FALSE(lastYear.IsToday(n)) << "cell " << n;
}

TEST(MonthGrid, KeysMoveAsAPrintedCalendarSays)
{
    struct Row
    {
        GridKey key;
        int y, m, d;
        int toY, toM, toD;
    };
    const Row rows[] = {
        {GridKey::PageDown, 2021, 1, 31, 2021, 2, 28},  {GridKey::PageDown, 2024, 1, 31, 2024, 2, 29},
        {GridKey::PageDown, 2021, 1, 30, 2021, 2, 27},  {GridKey::PageDown, 2024, 1, 30, 2024, 2, 28},
        {GridKey::PageDown, 2024, 12, 15, 2025, 1, 15}, {GridKey::PageUp, 2021, 3, 31, 2021, 2, 28},
        {GridKey::PageUp, 2024, 3, 31, 2024, 2, 29},    {GridKey::PageUp, 2021, 3, 30, 2021, 2, 27},
        {GridKey::PageUp, 2024, 3, 30, 2024, 2, 28},    {GridKey::PageUp, 2024, 1, 31, 2023, 12, 31},
        {GridKey::Home, 2024, 2, 29, 2025, 3, 1},       {GridKey::End, 2024, 2, 29, 2023, 3, 1},
        {GridKey::End, 2024, 3, 10, 2023, 3, 10},       {GridKey::Left, 2024, 3, 1, 2024, 2, 29},
        {GridKey::Right, 2023, 12, 31, 2024, 1, 1},     {GridKey::Up, 1, 1, 8, 1, 1, 1},
        {GridKey::Down, 9999, 12, 24, 9999, 12, 31},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "key " << static_cast<int>(r.key) << " from " << r.y << '-' << r.m << '-'
                                        << r.d);
        MonthGrid grid = GridOn(r.y, r.m, r.d);
        const MoveResult result = grid.PressKey(r.key);
        EXPECT_EQ(grid.SelectedDate(), EncodeDate(r.toY, r.toM, r.toD));
        EXPECT_EQ((DateParts{grid.Year(), grid.Month(), grid.Day()}), (DateParts{r.toY, r.toM, r.toD}));
        EXPECT_EQ(result, r.m == r.toM && r.y == r.toY ? MoveResult::SameMonth : MoveResult::OtherMonth);
    }
}

TEST(MonthGrid, KeysAtTheEndsOfTimeAreRefused)
{
    struct Row
    {
        GridKey key;
        int y, m, d;
    };
    const Row rows[] = {
        {GridKey::Left, 1, 1, 1},      {GridKey::Up, 1, 1, 1},           {GridKey::Up, 1, 1, 7},
        {GridKey::PageUp, 1, 1, 20},   {GridKey::End, 1, 6, 1},          {GridKey::Right, 9999, 12, 31},
        {GridKey::Down, 9999, 12, 25}, {GridKey::PageDown, 9999, 12, 1}, {GridKey::Home, 9999, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "key " << static_cast<int>(r.key) << " on " << r.y << '-' << r.m << '-'
                                        << r.d);
        MonthGrid grid = GridOn(r.y, r.m, r.d);
        EXPECT_EQ(grid.PressKey(r.key), MoveResult::Refused);
        EXPECT_EQ(grid.SelectedDate(), EncodeDate(r.y, r.m, r.d));
        EXPECT_EQ(grid.PreviousCell(), 0);
    }
    MonthGrid grid = GridOn(9999, 12, 30);
    EXPECT_FALSE(grid.MoveDays(2));
    EXPECT_TRUE(grid.MoveDays(-3652057));  // back to 0001-01-01
    EXPECT_EQ(grid.SelectedDate(), EncodeDate(1, 1, 1));
}

TEST(MonthGrid, MovesKeepThePreviousCellAndRebuildOnlyForANewMonth)
{
    MonthGrid grid = GridOn(2024, 12, 6);
    const int builds = grid.RebuildCount();
    EXPECT_EQ(grid.PressKey(GridKey::Down), MoveResult::SameMonth);
    EXPECT_EQ(grid.PreviousCell(), 12);
    EXPECT_EQ(grid.CurrentCell(), 19);
    grid.SetGermanDate(true);
    grid.SetShowWeeks(true);
    grid.SetMonth(12);
    EXPECT_EQ(grid.SetSelectedDate(EncodeDate(2024, 12, 1)), SetDateResult::Changed);
    EXPECT_EQ(grid.RebuildCount(), builds);

    grid.SetShowWeeks(false);
    EXPECT_EQ(grid.RebuildCount(), builds + 1);
    EXPECT_EQ(grid.PressKey(GridKey::Left), MoveResult::OtherMonth);
    EXPECT_EQ(grid.RebuildCount(), builds + 2);
    EXPECT_EQ(grid.Month(), 11);
}

TEST(MonthGrid, SettersClampTheDayAndRefuseBadValues)
{
    MonthGrid grid = GridOn(2024, 3, 31);
    EXPECT_TRUE(grid.SetMonth(2));
    EXPECT_EQ(grid.SelectedDate(), EncodeDate(2024, 2, 29));
    EXPECT_TRUE(grid.SetYear(2023));
    EXPECT_EQ(grid.SelectedDate(), EncodeDate(2023, 2, 28));
    for (int bad : {0, 13, -1})
        EXPECT_FALSE(grid.SetMonth(bad)) << bad;
    for (int bad : {0, 10000})
        EXPECT_FALSE(grid.SetYear(bad)) << bad;
    EXPECT_EQ(grid.SelectedDate(), EncodeDate(2023, 2, 28));

    EXPECT_EQ(grid.SetSelectedDate(EncodeDate(2023, 2, 28) + 0.5), SetDateResult::Unchanged);
    EXPECT_EQ(grid.SetSelectedDate(std::nan("")), SetDateResult::Invalid);
    EXPECT_EQ(grid.SetSelectedDate(EncodeDate(9999, 12, 31) + 1), SetDateResult::Invalid);
    EXPECT_EQ(grid.SetSelectedDate(EncodeDate(1, 1, 1) - 0.5), SetDateResult::Invalid);
    EXPECT_EQ(grid.SetSelectedDate(EncodeDate(2020, 5, 17) + 0.9), SetDateResult::Changed);
    EXPECT_EQ(grid.SelectedDate(), EncodeDate(2020, 5, 17));
}

TEST(MonthGrid, LayoutOfTheMainWindowsPanel)
{
    const GridLayout g = ComputeGridLayout(249, 181, 3, true, true);
    EXPECT_EQ(g.cellWidth, 29);
    EXPECT_EQ(g.cellHeight, 21);
    EXPECT_EQ(g.left, 8);
    EXPECT_EQ(g.top, 4);
    EXPECT_EQ(g.right, 240);
    EXPECT_EQ(g.headerBottom, 46);
    EXPECT_EQ(g.gridLeft, 37);
    EXPECT_EQ(g.gridTop, 46);
    EXPECT_EQ(g.gridBottom, 172);
    EXPECT_EQ(MonthGrid::CellRectOf(g, 9), (CellRect{66, 67, 29, 21}));

    const GridLayout tiny = ComputeGridLayout(3, -20, 3, true, true);
    EXPECT_EQ(tiny.cellWidth, 0);
    EXPECT_EQ(tiny.cellHeight, 0);
    EXPECT_FALSE(MonthGrid::HitTest(tiny, 3, 3).insideGrid);
}

TEST(MonthGrid, HitTestAtTheGridsEdges)
{
    const GridLayout g = ComputeGridLayout(249, 181, 3, true, true);
    struct Row
    {
        int x, y;
        bool inside;
        int cell;
    };
    const Row rows[] = {
        {37, 46, true, 1},    {239, 171, true, 42}, {240, 100, true, 0}, {100, 172, true, 0}, {240, 172, true, 0},
        {241, 100, false, 0}, {36, 100, false, 0},  {100, 45, false, 0}, {66, 46, true, 1},   {67, 46, true, 2},
        {37, 67, true, 8},    {37, 66, true, 1},    {-5, -5, false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "(" << r.x << ", " << r.y << ")");
        const HitResult hit = MonthGrid::HitTest(g, r.x, r.y);
        EXPECT_EQ(hit.insideGrid, r.inside);
        EXPECT_EQ(hit.cell, r.cell);
    }
}

TEST(MonthGrid, HeaderTexts)
{
    MonthGrid grid = GridOn(2024, 12, 6);
    EXPECT_EQ(grid.Title(true), "grudzień 2024");
    EXPECT_EQ(grid.Title(false), "gru 2024");
    EXPECT_EQ(grid.WeekdayHeader(1, TDayWidth::dw2Char), "Pn");
    EXPECT_EQ(grid.WeekdayHeader(3, TDayWidth::dw1Char), "Ś");
    EXPECT_EQ(grid.WeekdayHeader(3, TDayWidth::dw3Char), "Śr ");
    EXPECT_EQ(grid.WeekdayHeader(7, TDayWidth::dw2Char), "N ");
    grid.SetGermanDate(false);
    EXPECT_EQ(grid.WeekdayHeader(1, TDayWidth::dw1Char), "N");
    EXPECT_EQ(grid.WeekdayHeader(7, TDayWidth::dw2Char), "So");
}

// Only days of the shown month carry the sign: 7 December 2025 also shows, greyed, in the last cell of
// November's grid.
TEST(MonthGrid, TradingSundaysOfTheShownMonthOnly)
{
    struct Row
    {
        int m;
        bool germanDate;
        std::vector<int> cells;
    };
    const Row rows[] = {{12, true, {7, 14, 21}}, {12, false, {8, 15, 22}}, {11, true, {}}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "month " << r.m << (r.germanDate ? " Monday first" : " Sunday first"));
        const MonthGrid grid = GridOn(2025, r.m, 1, r.germanDate);
        std::vector<int> marked;
        for (int cell = 1; cell <= MonthGrid::kCells; ++cell)
            if (grid.IsTradingSunday(cell)) {
                marked.push_back(cell);
                EXPECT_EQ(grid.InkOf(cell), CellInk::Sunday);
            }
        EXPECT_EQ(marked, r.cells);
    }
}

// Only days of the shown month are shaded: 1 February 2026 also shows, greyed, in January's grid.
TEST(MonthGrid, ShadedDaysOfTheShownMonthOnly)
{
    MonthGrid grid = GridOn(2026, 1, 15, true);
    grid.SetShadedDays({"2026.01.30", "2026.01.31", "2026.02.01"});
    std::vector<int> shaded;
    for (int cell = 1; cell <= MonthGrid::kCells; ++cell)
        if (grid.IsShaded(cell))
            shaded.push_back(cell);
    // January 2026 begins on a Thursday: the 1st is cell 4 of a Monday-first grid.
    EXPECT_EQ(shaded, (std::vector<int>{33, 34}));
    EXPECT_EQ(grid.InkOf(34), CellInk::Saturday) << "the shade leaves the ink alone";
    grid.SetShadedDays({});
    EXPECT_FALSE(grid.IsShaded(33));
}
