// The printed day view.
#include "app/print_day.h"

#include "calendar/date_format.h"
#include "calendar/day_info.h"
#include "calendar/feasts.h"

namespace {

std::string WithoutLineBreaks(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// A note on one line: its text lines joined by " | ".
std::string OneLine(const std::string& text)
{
    std::string out;
    std::size_t pos = 0;
    for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        out.append(text, pos, end - pos);
        out += " | ";
    }
    out.append(text, pos);
    return out;
}

} // namespace

std::vector<std::pair<std::string, std::string>> PrintDayLines(const PrintDayInput& input)
{
    const TDateTime date = DateOf(input.date);
    const DateParts d = DecodeDate(date);
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back("date", FormatDateTime("yyyy.mm.dd", date));
    lines.emplace_back("weekday", FormatDateTime("dddd", date));
    lines.emplace_back("month", FormatDateTime("mmmm", date));
    const DayTexts texts = input.names ? NamesAndHoliday(*input.names, date, EasterSunday(d.year)) : DayTexts{};
    lines.emplace_back("holiday", WithoutLineBreaks(texts.holiday));
    lines.emplace_back("names", JoinNames(texts.names));
    const auto noteLine = [&](const std::string& key) {
        return input.notes ? OneLine(input.notes->FindNote(key).text) : std::string();
    };
    lines.emplace_back("note", noteLine(DateKey(date)));
    lines.emplace_back("yearly-note", noteLine(YearlyKey(d.month, d.day)));
    return lines;
}

std::string FormatPrintDay(const std::vector<std::pair<std::string, std::string>>& lines)
{
    std::string out;
    for (const auto& [key, value] : lines) {
        out += key;
        out += ": ";
        out += value;
        out += '\n';
    }
    return out;
}
