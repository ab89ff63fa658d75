// MonthGrid: everything the month-grid panel decides without a display: cells, weeks, colours,
// layout, selection moves, keys and hit-testing.
#pragma once

#include "calendar/datetime.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Characters of each weekday name shown in the weekday row.
enum class TDayWidth
{
    dw1Char,
    dw2Char,
    dw3Char
};

// First day (a whole-day TDateTime) of week 1 of `year` (1..9999). With `germanDate` weeks start
// on Monday and week 1 holds the first Thursday (ISO 8601); otherwise weeks start on Sunday and
// week 1 is again the week that holds the first Thursday. For year 1 the result may lie in the last days of year 0.
TDateTime FirstWeekStart(int year, bool germanDate);

// Week number (1..53) of a whole-day date of years 1..9999 under the same rule; 29-31 December
// may be week 1 of the next year and 1-3 January the last week of the previous one.
int WeekNumber(TDateTime date, bool germanDate);

// Whether a holiday or marked-day list matches a day: some non-empty line is a prefix of the
// day's full key ("2024.12.05") or of its yearly key ("    .12.05").
bool ListMatches(const std::vector<std::string>& lines, std::string_view fullKey, std::string_view yearlyKey);

// Pixel geometry of a panel. All values are in the panel's own coordinates.
struct GridLayout
{
    int columns = 7;
    int rows = 7;
    int cellWidth = 0;
    int cellHeight = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int headerBottom = 0;
    int gridLeft = 0;    // left of the first day column (one cell right of `left` with week numbers)
    int gridTop = 0;     // == headerBottom
    int gridBottom = 0;  // gridTop + 6 cell heights
};

// Layout of a width x height panel whose frame is `frame` pixels thick on each side. Sizes too
// small for any cell give zero cell sizes, never negative ones.
GridLayout ComputeGridLayout(int width, int height, int frame, bool showWeeks, bool showDate);

struct CellRect
{
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const CellRect&) const = default;
};

// Colours as 0xRRGGBB.
using Rgb = std::uint32_t;

struct GridColours
{
    Rgb holiday = 0, sunday = 0, saturday = 0, marked = 0, today = 0, week = 0;
};

// Which colour a cell's number is drawn in. Grey is the system's button-shadow colour, which the
// core does not know.
enum class CellInk
{
    Black,
    Sunday,
    Saturday,
    Holiday,
    Marked,
    Grey
};

enum class GridKey
{
    Left,
    Right,
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End
};

enum class MoveResult
{
    Refused,     // nothing changed; the panel beeps
    SameMonth,   // only the previous and the current cell need repainting
    OtherMonth,  // the whole panel needs repainting
};

enum class SetDateResult
{
    Invalid,    // nothing changed; the panel beeps
    Unchanged,  // already selected: no notification
    Changed
};

struct HitResult
{
    bool insideGrid = false;  // the point lies in the day grid, edges included
    int cell = 0;             // 1..42, or 0 when no cell was hit
};

class MonthGrid
{
public:
    static constexpr int kCells = 42;

    // Starts on `today` (its date part); a value outside years 1..9999 selects the nearest end.
    explicit MonthGrid(TDateTime today);

    TDateTime SelectedDate() const { return m_selectedDate; }
    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int Day() const { return m_day; }

    // Entry of cell n (1..42): "+" or "-" followed by a day number, or three blanks.
    const std::string& CellEntry(int n) const;
    // What cell n shows: its entry without the kind mark.
    std::string_view CellText(int n) const;
    char CellKind(int n) const;
    int FirstCell() const { return m_firstCell; }
    int CurrentCell() const { return m_firstCell + m_day - 1; }
    int PreviousCell() const { return m_previousCell; }  // 0 = none
    // One week number per grid row that holds days of the shown month, top row first.
    const std::vector<std::string>& WeekTexts() const { return m_weekTexts; }
    // Times the cell table was built; it is rebuilt only when its month, year or shape changes.
    int RebuildCount() const { return m_rebuilds; }

    bool GermanDate() const { return m_germanDate; }
    void SetGermanDate(bool on);
    bool ShowWeeks() const { return m_showWeeks; }
    void SetShowWeeks(bool on);

    const std::vector<std::string>& Holidays() const { return m_holidays; }
    void SetHolidays(std::vector<std::string> lines) { m_holidays = std::move(lines); }
    const std::vector<std::string>& Markdays() const { return m_markdays; }
    void SetMarkdays(std::vector<std::string> lines) { m_markdays = std::move(lines); }
    // Days to shade, in the same form as the two lists above (the school breaks of the chosen
    // voivodeship).
    const std::vector<std::string>& ShadedDays() const { return m_shadedDays; }
    void SetShadedDays(std::vector<std::string> lines) { m_shadedDays = std::move(lines); }

    const GridColours& Colours() const { return m_colours; }
    GridColours& Colours() { return m_colours; }

    // The panel reads its clock at every paint and passes the date here.
    void SetToday(TDateTime today);
    bool IsToday(int cell) const;

    // Column (1..7) of Sundays and of Saturdays.
    int SundayColumn() const { return m_germanDate ? 7 : 1; }
    int SaturdayColumn() const { return m_germanDate ? 6 : 7; }
    CellInk InkOf(int cell) const;
    // Whether cell n is a day of the shown month that is a trading Sunday: the panel marks it with
    // a small sign and leaves its ink alone.
    bool IsTradingSunday(int cell) const;
    // Whether cell n is a day of the shown month that ShadedDays names: the panel lays a light
    // shade under its number, which keeps its ink, and the today mark stays over the shade.
    bool IsShaded(int cell) const;
    // Colour of an ink other than Grey; Grey gives black.
    Rgb ColourOf(CellInk ink) const;
    // The colour the selected day's number is drawn in.
    Rgb SelectedDayColour() const { return ColourOf(InkOf(CurrentCell())); }

    // Weekday-row texts, UTF-8: column 1..7 cut to `width` characters, and the week column's title.
    std::string WeekdayHeader(int column, TDayWidth width) const;
    std::string_view WeekColumnTitle() const { return m_germanDate ? "Ty" : "CW"; }
    std::string_view PreviousButtonHint() const { return m_germanDate ? "Letzter Monat" : "Previous Month"; }
    std::string_view NextButtonHint() const { return m_germanDate ? "Nächster Monat" : "Next Month"; }
    // "mmmm yyyy" or "mmm yyyy" of the selected date.
    std::string Title(bool useLongDate) const;

    // Moves the selection by `delta` days; false (nothing changed) outside 0001-01-01..9999-12-31.
    bool MoveDays(long long delta);
    MoveResult PressKey(GridKey key);

    SetDateResult SetSelectedDate(TDateTime date);
    bool SetMonth(int month);  // false for a month outside 1..12
    bool SetYear(int year);    // false for a year outside 1..9999

    // Rectangle of cell n under a layout, and the cell under a point.
    static CellRect CellRectOf(const GridLayout& layout, int cell);
    static HitResult HitTest(const GridLayout& layout, int x, int y);

private:
    void Select(TDateTime date);
    void Rebuild();
    MoveResult MoveResultOf(bool moved, int oldYear, int oldMonth) const;

    TDateTime m_selectedDate = 0;
    int m_year = 0, m_month = 0, m_day = 0;
    std::array<std::string, kCells> m_cells;
    int m_firstCell = 1;
    int m_previousCell = 0;
    std::vector<std::string> m_weekTexts;
    bool m_germanDate = false;
    bool m_showWeeks = false;
    std::vector<std::string> m_holidays, m_markdays, m_shadedDays;
    GridColours m_colours;
    DateParts m_today;  // year 0 when unknown
    int m_rebuilds = 0;
    struct Shape
    {
        int year = 0, month = 0;
        bool germanDate = false, showWeeks = false;
        bool operator==(const Shape&) const = default;
    } m_builtFor;
    std::array<std::string, 8> m_dayNames;
};
