// Reading the winter holidays file.
#include "app/winter_holidays_file.h"

#include "platform/path_text.h"
#include "platform/read_file.h"

WinterHolidaysFile ReadWinterHolidays(const std::filesystem::path& file)
{
    WinterHolidaysFile result;
    std::string text;
    if (const std::error_code error = ReadFileSafely(file, kSmallFileLimit, text)) {
        if (error != std::errc::no_such_file_or_directory)
            result.problem = "Nie można odczytać pliku ferii zimowych " + PathToUtf8(file) + ": "
                             + ReadFailureText(error);
        return result;
    }
    WinterHolidaysParse parsed = ParseWinterHolidays(text);
    result.holidays = std::move(parsed.holidays);
    if (parsed.problems.empty())
        return result;
    result.problem = "Błędne wiersze w pliku ferii zimowych " + PathToUtf8(file) + " (pominięte):";
    for (std::size_t i = 0; i < parsed.problems.size() && i < kShownProblems; ++i)
        result.problem += "\nwiersz " + std::to_string(parsed.problems[i].line) + ": " + parsed.problems[i].text;
    if (parsed.problems.size() > kShownProblems)
        result.problem += "\n…i jeszcze " + std::to_string(parsed.problems.size() - kShownProblems);
    return result;
}
