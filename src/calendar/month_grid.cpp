// The month-grid model: cell table, week numbers, list matching, layout, moves and hit-testing.
#include "calendar/month_grid.h"

#include "calendar/date_format.h"
#include "calendar/trading_sundays.h"

#include <algorithm>
#include <cmath>

namespace {

const TDateTime kFirstDay = EncodeDate(kMinYear, 1, 1);
const TDateTime kLastDay = EncodeDate(kMaxYear, 12, 31);

// 1 January of a year; year 0 (a leap year in the proleptic calendar) is reached only as the
// year before year 1.
TDateTime NewYearsDay(int year)
{
    return year >= kMinYear ? EncodeDate(year, 1, 1) : kFirstDay - 366;
}

int WeekdayNumber(TDateTime date, bool germanDate)
{
    return germanDate ? IsoDayOfWeek(date) : DayOfWeek(date);
}

// The first `count` characters of a UTF-8 text.
std::string Utf8Prefix(std::string_view text, int count)
{
    std::size_t end = 0;
    for (int i = 0; i < count && end < text.size(); ++i) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return std::string(text.substr(0, end));
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

TDateTime FirstWeekStart(int year, bool germanDate)
{
    const TDateTime newYear = NewYearsDay(year);
    const int w = WeekdayNumber(newYear, germanDate);
    if (w == 1)
        return newYear;
    // Week 1 is the week holding the fourth weekday of the year's first week.
    const int lastInFirstWeek = germanDate ? 4 : 5;
    return w <= lastInFirstWeek ? newYear - (w - 1) : newYear + (8 - w);
}

int WeekNumber(TDateTime date, bool germanDate)
{
    const TDateTime x = DateOf(date);
    const int year = DecodeDate(x).year;
    const TDateTime start = FirstWeekStart(year, germanDate);
    const TDateTime next = year < kMaxYear ? FirstWeekStart(year + 1, germanDate) : start;
    TDateTime base = start;
    if (x >= next)
        base = next;
    else if (x < start)
        base = FirstWeekStart(year - 1, germanDate);
    return static_cast<int>(std::floor((x - base) / 7)) + 1;
}

bool ListMatches(const std::vector<std::string>& lines, std::string_view fullKey, std::string_view yearlyKey)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return !line.empty() && (StartsWith(fullKey, line) || StartsWith(yearlyKey, line));
    });
}

GridLayout ComputeGridLayout(int width, int height, int frame, bool showWeeks, bool showDate)
{
    GridLayout g;
    g.columns = showWeeks ? 8 : 7;
    g.rows = showDate ? 8 : 7;
    const int w = std::max(0, width - 2 * frame);
    g.cellWidth = std::max(0, (w - 2 * (w / 100)) / g.columns);
    const int h = std::max(0, height - 2 * frame);
    const int mh = h / 100;
    g.cellHeight = std::max(0, (h - 2 * mh) / g.rows);
    g.left = frame + (w - g.columns * g.cellWidth) / 2;
    g.top = frame + mh;
    g.right = g.left + g.columns * g.cellWidth;
    g.headerBottom = g.top + (showDate ? 2 : 1) * g.cellHeight;
    g.gridLeft = g.left + (showWeeks ? g.cellWidth : 0);
    g.gridTop = g.headerBottom;
    g.gridBottom = g.gridTop + 6 * g.cellHeight;
    return g;
}

MonthGrid::MonthGrid(TDateTime today)
{
    for (int i = 0; i < 8; ++i)
        m_dayNames[i] = Utf8Prefix(std::string(kShortDayNames[i % 7]) + "  ", 3);
    SetToday(today);
    TDateTime start = std::isfinite(today) ? std::clamp(DateOf(today), kFirstDay, kLastDay) : 0.0;
    Select(start);
}

const std::string& MonthGrid::CellEntry(int n) const
{
    static const std::string blank = "   ";
    return n >= 1 && n <= kCells ? m_cells[n - 1] : blank;
}

std::string_view MonthGrid::CellText(int n) const
{
    return std::string_view(CellEntry(n)).substr(1);
}

char MonthGrid::CellKind(int n) const
{
    return CellEntry(n)[0];
}

void MonthGrid::SetGermanDate(bool on)
{
    m_germanDate = on;
    Rebuild();
}

void MonthGrid::SetShowWeeks(bool on)
{
    m_showWeeks = on;
    Rebuild();
}

void MonthGrid::SetToday(TDateTime today)
{
    if (std::isfinite(today) && today >= kFirstDay && today < kLastDay + 1)
        m_today = DecodeDate(DateOf(today));
    else
        m_today = DateParts{};
}

bool MonthGrid::IsToday(int cell) const
{
    // Neighbour-month cells are never today's: their number belongs to another month.
    return CellKind(cell) == '+' && m_today.year == m_year && m_today.month == m_month
           && CellText(cell) == std::to_string(m_today.day);
}

CellInk MonthGrid::InkOf(int cell) const
{
    const char kind = CellKind(cell);
    if (kind == '-')
        return CellInk::Grey;
    if (kind != '+')
        return CellInk::Black;
    const int day = cell - m_firstCell + 1;
    if (ListMatches(m_markdays, DateKey(m_year, m_month, day), YearlyKey(m_month, day)))
        return CellInk::Marked;
    if (ListMatches(m_holidays, DateKey(m_year, m_month, day), YearlyKey(m_month, day)))
        return CellInk::Holiday;
    const int column = (cell - 1) % 7 + 1;
    if (column == SundayColumn())
        return CellInk::Sunday;
    if (column == SaturdayColumn())
        return CellInk::Saturday;
    return CellInk::Black;
}

bool MonthGrid::IsTradingSunday(int cell) const
{
    if (CellKind(cell) != '+')
        return false;
    return ::IsTradingSunday(EncodeDate(m_year, m_month, cell - m_firstCell + 1)).value_or(false);
}

bool MonthGrid::IsShaded(int cell) const
{
    if (CellKind(cell) != '+' || m_shadedDays.empty())
        return false;
    const int day = cell - m_firstCell + 1;
    return ListMatches(m_shadedDays, DateKey(m_year, m_month, day), YearlyKey(m_month, day));
}

Rgb MonthGrid::ColourOf(CellInk ink) const
{
    switch (ink) {
    case CellInk::Sunday:
        return m_colours.sunday;
    case CellInk::Saturday:
        return m_colours.saturday;
    case CellInk::Holiday:
        return m_colours.holiday;
    case CellInk::Marked:
        return m_colours.marked;
    case CellInk::Black:
    case CellInk::Grey:
        break;
    }
    return 0x000000;
}

std::string MonthGrid::WeekdayHeader(int column, TDayWidth width) const
{
    const int entry = std::clamp(column, 1, 7) + (m_germanDate ? 1 : 0);
    return Utf8Prefix(m_dayNames[entry - 1], static_cast<int>(width) + 1);
}

std::string MonthGrid::Title(bool useLongDate) const
{
    return FormatDateTime(useLongDate ? "mmmm yyyy" : "mmm yyyy", m_selectedDate);
}

bool MonthGrid::MoveDays(long long delta)
{
    const TDateTime target = m_selectedDate + static_cast<TDateTime>(delta);
    if (target < kFirstDay || target > kLastDay)
        return false;
    m_previousCell = CurrentCell();
    Select(target);
    return true;
}

MoveResult MonthGrid::MoveResultOf(bool moved, int oldYear, int oldMonth) const
{
    if (!moved)
        return MoveResult::Refused;
    return oldYear == m_year && oldMonth == m_month ? MoveResult::SameMonth : MoveResult::OtherMonth;
}

MoveResult MonthGrid::PressKey(GridKey key)
{
    const int year = m_year, month = m_month;
    const int length = DaysInMonth(year, month);
    // The months either side of the shown one, taken in the shown year.
    const int before = month == 1 ? 31 : DaysInMonth(year, month - 1);
    const int after = month == 12 ? 31 : DaysInMonth(year, month + 1);
    long long delta = 0;
    switch (key) {
    case GridKey::Left:
        delta = -1;
        break;
    case GridKey::Right:
        delta = 1;
        break;
    case GridKey::Up:
        delta = -7;
        break;
    case GridKey::Down:
        delta = 7;
        break;
    case GridKey::PageUp:
        if (year == kMinYear && month == 1)
            return MoveResult::Refused;
        delta = m_day <= before ? -before : -length;
        break;
    case GridKey::PageDown:
        if (year == kMaxYear && month == 12)
            return MoveResult::Refused;
        delta = after >= m_day ? length : after;
        break;
    case GridKey::End:
    case GridKey::Home: {
        const int target = key == GridKey::End ? year - 1 : year + 1;
        if (target < kMinYear || target > kMaxYear)
            return MoveResult::Refused;
        // 29 February of a leap year has no twin in the neighbour year: it goes to 1 March.
        const auto same = TryEncodeDate(target, month, m_day);
        delta = static_cast<long long>((same ? *same : EncodeDate(target, 3, 1)) - m_selectedDate);
        break;
    }
    }
    return MoveResultOf(MoveDays(delta), year, month);
}

SetDateResult MonthGrid::SetSelectedDate(TDateTime date)
{
    if (!std::isfinite(date) || date < kFirstDay || date >= kLastDay + 1)
        return SetDateResult::Invalid;
    const TDateTime day = DateOf(date);
    if (day == m_selectedDate)
        return SetDateResult::Unchanged;
    Select(day);
    return SetDateResult::Changed;
}

bool MonthGrid::SetMonth(int month)
{
    if (month < 1 || month > 12)
        return false;
    Select(EncodeDate(m_year, month, std::min(m_day, DaysInMonth(m_year, month))));
    return true;
}

bool MonthGrid::SetYear(int year)
{
    if (year < kMinYear || year > kMaxYear)
        return false;
    Select(EncodeDate(year, m_month, std::min(m_day, DaysInMonth(year, m_month))));
    return true;
}

CellRect MonthGrid::CellRectOf(const GridLayout& layout, int cell)
{
    const int row = (cell - 1) / 7;
    const int column = (cell - 1) % 7;
    return {layout.gridLeft + column * layout.cellWidth, layout.gridTop + row * layout.cellHeight, layout.cellWidth,
            layout.cellHeight};
}

HitResult MonthGrid::HitTest(const GridLayout& layout, int x, int y)
{
    HitResult hit;
    if (layout.cellWidth <= 0 || layout.cellHeight <= 0)
        return hit;
    hit.insideGrid = x >= layout.gridLeft && x <= layout.right && y >= layout.gridTop && y <= layout.gridBottom;
    // The right and bottom edges lie just past the last cells: they belong to the grid (for the
    // double-click) but to no day.
    if (!hit.insideGrid || x == layout.right || y == layout.gridBottom)
        return hit;
    const int row = (y - layout.gridTop) / layout.cellHeight;
    // Column spans include both their edges, so a point on a shared edge goes to the left column.
    const int column = std::max(1, (x - layout.gridLeft + layout.cellWidth - 1) / layout.cellWidth);
    hit.cell = row * 7 + column;
    return hit;
}

void MonthGrid::Select(TDateTime date)
{
    m_selectedDate = date;
    const DateParts parts = DecodeDate(date);
    m_year = parts.year;
    m_month = parts.month;
    m_day = parts.day;
    Rebuild();
}

void MonthGrid::Rebuild()
{
    const Shape shape{m_year, m_month, m_germanDate, m_showWeeks};
    if (shape == m_builtFor)
        return;
    m_builtFor = shape;
    ++m_rebuilds;

    const TDateTime firstDay = EncodeDate(m_year, m_month, 1);
    const int length = DaysInMonth(m_year, m_month);
    const int before = m_month == 1 ? 31 : DaysInMonth(m_year, m_month - 1);
    const int first = WeekdayNumber(firstDay, m_germanDate);
    const int last = first + length - 1;
    const int lastWeekday = (last - 1) % 7 + 1;
    m_firstCell = first;
    for (int n = 1; n <= kCells; ++n) {
        std::string& cell = m_cells[n - 1];
        if (n >= first && n <= last)
            cell = "+" + std::to_string(n - first + 1);
        else if (n < first && m_showWeeks)
            cell = "-" + std::to_string(before - (first - 1 - n));
        else if (n > last && m_showWeeks && n - last <= 7 - lastWeekday)
            cell = "-" + std::to_string(n - last);
        else
            cell = "   ";
    }

    m_weekTexts.clear();
    int previous = 0;
    for (int d = 1; d <= length; ++d) {
        const int week = WeekNumber(firstDay + (d - 1), m_germanDate);
        if (week != previous)
            m_weekTexts.push_back(std::to_string(week));
        previous = week;
    }
}
