// Drives the month-grid model with arbitrary operations and checks that it stays consistent.
#include "calendar/month_grid.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class Reader
{
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_pos >= m_size; }
    template <typename T>
    T Take()
    {
        T value{};
        unsigned char bytes[sizeof(T)] = {};
        for (std::size_t i = 0; i < sizeof(T) && m_pos < m_size; ++i)
            bytes[i] = m_data[m_pos++];
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckConsistent(const MonthGrid& grid)
{
    Check(grid.Year() >= kMinYear && grid.Year() <= kMaxYear);
    Check(grid.SelectedDate() == EncodeDate(grid.Year(), grid.Month(), grid.Day()));
    Check(grid.CurrentCell() >= 1 && grid.CurrentCell() <= MonthGrid::kCells);
    Check(grid.CellKind(grid.CurrentCell()) == '+');
    Check(grid.CellText(grid.CurrentCell()) == std::to_string(grid.Day()));
    Check(!grid.WeekTexts().empty() && grid.WeekTexts().size() <= 6);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    MonthGrid grid(EncodeDate(2024, 12, 6));
    for (int steps = 0; steps < 200 && !in.Empty(); ++steps) {
        switch (in.Take<std::uint8_t>() % 8) {
        case 0:
            grid.PressKey(static_cast<GridKey>(in.Take<std::uint8_t>() % 8));
            break;
        case 1:
            grid.MoveDays(in.Take<std::int32_t>());
            break;
        case 2:
            grid.SetMonth(in.Take<std::int8_t>());
            break;
        case 3:
            grid.SetYear(in.Take<std::int16_t>());
            break;
        case 4:
            grid.SetSelectedDate(in.Take<double>());
            break;
        case 5: {
            const auto flags = in.Take<std::uint8_t>();
            grid.SetGermanDate(flags & 1);
            grid.SetShowWeeks(flags & 2);
            break;
        }
        case 6: {
            const GridLayout layout = ComputeGridLayout(in.Take<std::int16_t>(), in.Take<std::int16_t>(),
                                                        in.Take<std::uint8_t>(), in.Take<std::uint8_t>() & 1,
                                                        in.Take<std::uint8_t>() & 1);
            const HitResult hit = MonthGrid::HitTest(layout, in.Take<std::int16_t>(), in.Take<std::int16_t>());
            Check(hit.cell >= 0 && hit.cell <= MonthGrid::kCells);
            Check(hit.cell == 0 || hit.insideGrid);
            break;
        }
        case 7: {
            std::string line;
            for (auto n = in.Take<std::uint8_t>() % 12; n > 0; --n)
                line += static_cast<char>(in.Take<std::uint8_t>());
            grid.SetHolidays({line});
            grid.SetToday(in.Take<double>());
            for (int cell = 1; cell <= MonthGrid::kCells; ++cell) {
                grid.InkOf(cell);
                grid.IsToday(cell);
            }
            break;
        }
        }
        CheckConsistent(grid);
    }
    return 0;
}
