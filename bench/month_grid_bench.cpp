// Cost of the model work behind one paint of the month grid and behind one selection move.
#include <benchmark/benchmark.h>

#include "calendar/date_format.h"
#include "calendar/feasts.h"
#include "calendar/month_grid.h"

namespace {

// A panel as the main window keeps it: ten holidays and the note marks of a busy month.
MonthGrid BusyGrid()
{
    MonthGrid grid(EncodeDate(2024, 12, 6));
    grid.SetGermanDate(true);
    grid.SetShowWeeks(true);
    std::vector<std::string> holidays = FixedHolidays();
    holidays.push_back(MoveableHolidayEntries(2024).easterMonday);
    holidays.push_back(MoveableHolidayEntries(2024).corpusChristi);
    grid.SetHolidays(holidays);
    std::vector<std::string> marks;
    for (int d = 1; d <= 31; ++d)
        marks.push_back(DateKey(2024, 12, d));
    grid.SetMarkdays(marks);
    return grid;
}

// Colours and today test of all 42 cells: what a full repaint asks of the model.
void BM_PaintAllCells(benchmark::State& state)
{
    MonthGrid grid = BusyGrid();
    for (auto _ : state) {
        for (int cell = 1; cell <= MonthGrid::kCells; ++cell) {
            benchmark::DoNotOptimize(grid.InkOf(cell));
            benchmark::DoNotOptimize(grid.IsToday(cell));
        }
    }
}
BENCHMARK(BM_PaintAllCells);

// A key move inside the month: no rebuild, two cells to colour.
void BM_MoveInsideMonth(benchmark::State& state)
{
    MonthGrid grid = BusyGrid();
    bool forward = true;
    for (auto _ : state) {
        grid.PressKey(forward ? GridKey::Right : GridKey::Left);
        forward = !forward;
        benchmark::DoNotOptimize(grid.InkOf(grid.PreviousCell()));
        benchmark::DoNotOptimize(grid.InkOf(grid.CurrentCell()));
    }
}
BENCHMARK(BM_MoveInsideMonth);

// A month step: the cell table and week numbers are rebuilt.
void BM_MoveToAnotherMonth(benchmark::State& state)
{
    MonthGrid grid = BusyGrid();
    bool forward = true;
    for (auto _ : state) {
        grid.PressKey(forward ? GridKey::PageDown : GridKey::PageUp);
        forward = !forward;
    }
}
BENCHMARK(BM_MoveToAnotherMonth);

}  // namespace
