// Fuzz target: the winter holidays file reader on arbitrary bytes never crashes, every refused
// line names a line of the input, and every turn it takes is one it could have taken.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "calendar/school_year.h"
#include "calendar/winter_holidays.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const WinterHolidaysParse parsed = ParseWinterHolidays(input);
    std::size_t lines = 1;
    for (const char c : input)
        lines += c == '\n';
    for (const WinterHolidaysProblem& problem : parsed.problems)
        if (problem.line < 1 || static_cast<std::size_t>(problem.line) > lines || problem.text.empty()
            || problem.text.size() > 400)
            std::abort();
    for (const std::string_view name : kVoivodeships)
        for (int year = 1; year <= 9999; year = year == 2 ? 2018 : year == 2030 ? 9998 : year + 1)
            if (const auto turn = parsed.holidays.TurnOf(name, year)) {
                if (turn->last < turn->first || turn->last - turn->first > 30
                    || !parsed.holidays.Contains(name, turn->first) || !parsed.holidays.Contains(name, turn->last))
                    std::abort();
                (void)SchoolBreak(turn->first, parsed.holidays, name);
            }
    return 0;
}
