// The day view's decisions, apart from any widget: which months the four grids show, Easter of
// the displayed year, the grids' holiday lists and the texts of the day panel. The main window
// asks for them on every change of the selected date and shows what it is given.
#pragma once

#include "calendar/datetime.h"
#include "calendar/namedays.h"
#include "calendar/winter_holidays.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

struct GridMonth
{
    int year = 0;   // 1..9999
    int month = 0;  // 1..12
    bool operator==(const GridMonth&) const = default;
};

// The month `offset` months after year-month (before it when negative); empty when that month
// lies outside years 1..9999, where the calendar has nothing to show.
std::optional<GridMonth> OffsetMonth(int year, int month, int offset);

// What follows a change of the displayed month or year.
struct MonthView
{
    std::string monthName;  // the long month name, "grudzień"
    // The month's working-time norm, the month name's hint: "Wymiar czasu pracy: 20 dni, 160 godz."
    std::string workingTime;
    int year = 0;
    // The months of the previous, the next and the next-but-one grid; an empty one shows nothing.
    std::array<std::optional<GridMonth>, 3> neighbours;
    // The holiday lists of the main grid and of the three neighbours, in that order; each holds
    // the moveable and the dated holidays of its grid's own year. An empty neighbour gets none.
    std::array<std::vector<std::string>, 4> holidays;
    // The same four grids' days ("yyyy.mm.dd") of their own month on which the schools of the
    // chosen voivodeship have a break, for the grids to shade; none without a voivodeship.
    std::array<std::vector<std::string>, 4> schoolBreakDays;
};

// The texts of the day panel for one date.
struct DayPanelTexts
{
    int day = 0;
    std::string weekday;  // "wtorek"
    // The feast or the table's holiday on one line, then "Niedziela handlowa" on a line of its own
    // on a trading Sunday, then, with a voivodeship chosen, the school break the day lies in
    // ("Ferie zimowe", "Ferie letnie"...); empty: none to show.
    std::string holiday;
    // The holiday's hint: "Święto w sobotę — przysługuje inny dzień wolny" on a holiday that falls
    // on a Saturday (too long for the panel's lines beside the day's names), else empty.
    std::string holidayHint;
    std::string names;        // one name a line, CR LF between; also the names label's hint
    std::string namesInline;  // the same names comma-separated, for when one a line does not fit
};

struct DayViewUpdate
{
    std::optional<MonthView> month;  // only when the month or the year changed, or when forced
    DayPanelTexts panel;
};

class DayView
{
public:
    explicit DayView(const NameDayTable& names) : m_names(names) {}

    // The school breaks to show: those of `voivodeship` (kVoivodeships' form), its winter
    // holidays from `winter`, which must outlive the view. An empty voivodeship shows none. The
    // next refresh should force the month part, whose grids show them.
    void SetSchoolBreaks(const WinterHolidays* winter, std::string voivodeship);

    // The view of `selected` (its date part). The month part is worked out only when the month or
    // the year differs from the one displayed before, or with `forceMonth`: it is the costly part,
    // and moving along a month must stay quick.
    DayViewUpdate Refresh(TDateTime selected, bool forceMonth);

    // The displayed date: all 0 before the first refresh.
    int DisplayedYear() const { return m_year; }
    int DisplayedMonth() const { return m_month; }
    int DisplayedDay() const { return m_day; }
    // Easter Sunday of the displayed year; 0 before the first refresh.
    TDateTime Easter() const { return m_easter; }

private:
    MonthView MakeMonthView(TDateTime selected, const DateParts& date) const;
    DayPanelTexts MakePanelTexts(TDateTime selected, const DateParts& date) const;

    // The school break of `date` for the chosen voivodeship; empty without one.
    std::string SchoolBreakOf(TDateTime date) const;

    const NameDayTable& m_names;
    const WinterHolidays* m_winter = nullptr;
    std::string m_voivodeship;
    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
    TDateTime m_easter = 0;
};
