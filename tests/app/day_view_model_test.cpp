// The day view model: neighbour months up to the ends of the calendar, holiday lists per grid
// year, when the month step runs, and the day panel's texts.
#include "app/day_view.h"

#include "calendar/feasts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const NameDayTable& Names()
{
    static const NameDayTable table = [] {
        NameDayTable t;
        t.Load();
        return t;
    }();
    return table;
}

bool Holds(const std::vector<std::string>& list, const std::string& entry)
{
    return std::find(list.begin(), list.end(), entry) != list.end();
}

}  // namespace

TEST(DayViewModel, NeighbourMonthsAcrossYearsAndAtTheEndsOfTheCalendar)
{
    struct Row
    {
        int year, month;
        std::optional<GridMonth> before, after, afterNext;
    };
    const Row rows[] = {
        {2025, 1, GridMonth{2024, 12}, GridMonth{2025, 2}, GridMonth{2025, 3}},
        {2024, 11, GridMonth{2024, 10}, GridMonth{2024, 12}, GridMonth{2025, 1}},
        {2024, 12, GridMonth{2024, 11}, GridMonth{2025, 1}, GridMonth{2025, 2}},
        {1, 1, std::nullopt, GridMonth{1, 2}, GridMonth{1, 3}},
        {1, 2, GridMonth{1, 1}, GridMonth{1, 3}, GridMonth{1, 4}},
        {9999, 11, GridMonth{9999, 10}, GridMonth{9999, 12}, std::nullopt},
        {9999, 12, GridMonth{9999, 11}, std::nullopt, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.year << '-' << r.month);
        DayView view(Names());
        const DayViewUpdate update = view.Refresh(EncodeDate(r.year, r.month, 15), false);
        ASSERT_TRUE(update.month.has_value());
        EXPECT_EQ(update.month->neighbours[0], r.before);
        EXPECT_EQ(update.month->neighbours[1], r.after);
        EXPECT_EQ(update.month->neighbours[2], r.afterNext);
        // A grid that shows nothing has nothing to colour either.
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(update.month->holidays[i + 1].empty(), !update.month->neighbours[i].has_value()) << i;
        EXPECT_GE(update.month->holidays[0].size(), FixedHolidays().size() + 2);
    }
}

TEST(DayViewModel, EachGridGetsTheHolidaysOfItsOwnYear)
{
    DayView view(Names());
    const DayViewUpdate update = view.Refresh(EncodeDate(2025, 12, 10), false);
    ASSERT_TRUE(update.month.has_value());
    const auto& lists = update.month->holidays;
    // Easter Monday and Corpus Christi keep their places right after the yearly list.
    const std::size_t n = FixedHolidays().size();
    EXPECT_EQ(lists[0][n], "2025.04.21");
    EXPECT_EQ(lists[0][n + 1], "2025.06.19");
    EXPECT_EQ(lists[2][n], "2026.04.06");  // January 2026
    EXPECT_EQ(lists[2][n + 1], "2026.06.04");
    EXPECT_EQ(lists[1][n], "2025.04.21");  // November 2025
    EXPECT_EQ(lists[0].front(), "    .12.25");
    EXPECT_EQ(view.Easter(), EncodeDate(2025, 4, 20));
}

TEST(DayViewModel, EpiphanyAndChristmasEveAreHolidaysOnlySinceTheirLaws)
{
    EXPECT_TRUE(Holds(HolidayEntries(2011), "2011.01.06"));
    EXPECT_TRUE(Holds(HolidayEntries(2024), "2024.01.06"));
    EXPECT_FALSE(Holds(HolidayEntries(2010), "2010.01.06"));
    EXPECT_TRUE(Holds(HolidayEntries(2025), "2025.12.24"));
    EXPECT_TRUE(Holds(HolidayEntries(9999), "9999.12.24"));
    EXPECT_FALSE(Holds(HolidayEntries(2024), "2024.12.24"));
    // No yearly entry may stand for them: it would colour the years before.
    for (const std::string& entry : HolidayEntries(2030))
        EXPECT_TRUE(entry != "    .01.06" && entry != "    .12.24") << entry;
}

TEST(DayViewModel, TheMonthStepRunsOnlyOnAChangeOfMonthOrWhenForced)
{
    DayView view(Names());
    EXPECT_EQ(view.DisplayedYear(), 0);
    const DayViewUpdate first = view.Refresh(EncodeDate(2024, 6, 21) + 0.5, false);
    ASSERT_TRUE(first.month.has_value());
    EXPECT_EQ(first.month->monthName, "czerwiec");
    EXPECT_EQ(first.month->year, 2024);
    EXPECT_FALSE(view.Refresh(EncodeDate(2024, 6, 24), false).month.has_value());
    EXPECT_EQ(view.DisplayedDay(), 24);
    EXPECT_TRUE(view.Refresh(EncodeDate(2024, 6, 24), true).month.has_value());
    // The same month of another year is another month.
    EXPECT_TRUE(view.Refresh(EncodeDate(2025, 6, 24), false).month.has_value());
    EXPECT_EQ(view.DisplayedYear(), 2025);
    EXPECT_EQ(view.DisplayedMonth(), 6);
}

TEST(DayViewModel, PanelTextsOfHolidaysFeastsAndPlainDays)
{
    DayView view(Names());
    const DayPanelTexts eve = view.Refresh(EncodeDate(2024, 12, 24), false).panel;
    EXPECT_EQ(eve.day, 24);
    EXPECT_EQ(eve.weekday, "wtorek");
    EXPECT_EQ(eve.holiday, "Wigilia");
    EXPECT_EQ(eve.names, " Adama\r\n Ewy\r\n Irminy\r\n Zenobiusza");  // as the table spaces them
    EXPECT_EQ(eve.namesInline, "Adama, Ewy, Irminy, Zenobiusza");

    // The feast's own line break is not part of the text shown.
    EXPECT_EQ(view.Refresh(EncodeDate(2024, 4, 1), false).panel.holiday, "Pon. Wielkanocny");
    // 6 January is red in the grids since 2011, so the panel names its holiday; the names stay.
    // It was a Saturday in 2024, which owed employees another day off: the holiday's hint says so.
    const DayPanelTexts kings = view.Refresh(EncodeDate(2024, 1, 6), false).panel;
    EXPECT_EQ(kings.holiday, "Trzech Króli");
    EXPECT_EQ(kings.holidayHint, "Święto w sobotę — przysługuje inny dzień wolny");
    EXPECT_EQ(kings.namesInline, "Kacpra, Melchiora, Baltazara");
    EXPECT_EQ(view.Refresh(EncodeDate(2024, 1, 2), false).panel.holiday, "");
}

// Lines the Polish calendar adds under the holiday, which keeps its place above them, and the month's
// working-time norm for the month name's hint.
TEST(DayViewModel, TradingSundaysSaturdayHolidaysAndTheMonthsNorm)
{
    DayView view(Names());
    struct Row
    {
        int y, m, d;
        const char* holiday;
    };
    const Row rows[] = {
        {2025, 12, 14, "Niedziela handlowa"},
        {2025, 4, 13, "Niedziela Palmowa\nNiedziela handlowa"},
        {2025, 12, 28, ""},
        {2026, 2, 12, "Tłusty Czwartek"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        const DayPanelTexts panel = view.Refresh(EncodeDate(r.y, r.m, r.d), false).panel;
        EXPECT_EQ(panel.holiday, r.holiday);
        EXPECT_EQ(panel.holidayHint, "");
    }
    const DayPanelTexts assumption = view.Refresh(EncodeDate(2026, 8, 15), false).panel;
    EXPECT_FALSE(assumption.holiday.empty());
    EXPECT_EQ(assumption.holidayHint, "Święto w sobotę — przysługuje inny dzień wolny");
    EXPECT_EQ(view.Refresh(EncodeDate(2026, 11, 1), false).panel.holidayHint, "");  // a Sunday
    EXPECT_EQ(view.Refresh(EncodeDate(2025, 11, 5), false).month->workingTime, "Wymiar czasu pracy: 18 dni, 144 godz.");
}

TEST(DayViewModel, TheEndsOfTheCalendarHaveTheirTexts)
{
    DayView view(Names());
    const DayViewUpdate first = view.Refresh(EncodeDate(1, 1, 1), false);
    EXPECT_EQ(first.panel.holiday, "Nowy Rok");
    EXPECT_EQ(first.month->year, 1);
    const DayViewUpdate last = view.Refresh(EncodeDate(9999, 12, 31), false);
    EXPECT_EQ(last.month->monthName, "grudzień");
    EXPECT_EQ(last.panel.day, 31);
    EXPECT_EQ(view.Easter(), EasterSunday(9999));
}

// With a voivodeship, the panel names the day's school break under what it already says and the
// grids get their days to shade; without one, neither. 2026: the Easter break 2-7 April, the
// summer from 27 June, Christmas 2025 from 22 December (a Monday); ferie 2-15 February for opolskie.
TEST(DayViewModel, SchoolBreaksOfTheChosenVoivodeship)
{
    const WinterHolidays winter = ParseWinterHolidays("2026-02-02 2026-02-15 opolskie\n").holidays;
    DayView view(Names());
    EXPECT_EQ(view.Refresh(EncodeDate(2026, 2, 10), false).panel.holiday, "");
    EXPECT_EQ(view.Refresh(EncodeDate(2026, 2, 10), true).month->schoolBreakDays[0], std::vector<std::string>{});

    view.SetSchoolBreaks(&winter, "opolskie");
    struct Row
    {
        int y, m, d;
        const char* holiday;
    };
    const Row rows[] = {
        {2026, 2, 10, "Ferie zimowe"},
        {2026, 2, 12, "Tłusty Czwartek\nFerie zimowe"},
        {2026, 2, 16, ""},
        {2026, 4, 5, "Wielkanoc\nWiosenna przerwa świąteczna"},
        {2026, 6, 29, "Ferie letnie"},
        {2025, 12, 22, "Zimowa przerwa świąteczna"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.y << '-' << r.m << '-' << r.d);
        EXPECT_EQ(view.Refresh(EncodeDate(r.y, r.m, r.d), false).panel.holiday, r.holiday);
    }

    // February in the main grid; January, March and April beside it.
    const MonthView month = *view.Refresh(EncodeDate(2026, 2, 1), true).month;
    std::vector<std::string> february;
    for (int day = 2; day <= 15; ++day)
        february.push_back("2026.02." + std::string(day < 10 ? "0" : "") + std::to_string(day));
    EXPECT_EQ(month.schoolBreakDays[0], february);
    EXPECT_EQ(month.schoolBreakDays[1], std::vector<std::string>{}) << "January: no break in opolskie";
    EXPECT_EQ(month.schoolBreakDays[2], std::vector<std::string>{});
    EXPECT_EQ(month.schoolBreakDays[3], (std::vector<std::string>{"2026.04.02", "2026.04.03", "2026.04.04",
                                                                  "2026.04.05", "2026.04.06", "2026.04.07"}));

    view.SetSchoolBreaks(&winter, "");
    EXPECT_EQ(view.Refresh(EncodeDate(2026, 4, 5), true).panel.holiday, "Wielkanoc");
    EXPECT_EQ(view.Refresh(EncodeDate(2026, 4, 5), true).month->schoolBreakDays[0], std::vector<std::string>{});
}
