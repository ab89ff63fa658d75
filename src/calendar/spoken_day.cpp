// The spoken name of a day of the month grid.
#include "calendar/spoken_day.h"

#include "calendar/date_format.h"

const std::array<std::string_view, 12> kGenitiveMonthNames = {"stycznia", "lutego",       "marca",     "kwietnia",
                                                              "maja",     "czerwca",      "lipca",     "sierpnia",
                                                              "września", "października", "listopada", "grudnia"};

namespace {

// Holiday texts come from the day panel, which breaks them into lines (CR LF) and may pad them;
// a screen reader must hear them as one list, not as stray blanks or line ends.
void AppendHolidayLines(std::string& out, std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
        out += ", ";
        out += line;
    }
}

}  // namespace

std::string SpokenDayName(TDateTime date, const SpokenDayFacts& facts)
{
    const DateParts d = DecodeDate(DateOf(date));
    std::string out(kLongDayNames[DayOfWeek(date) - 1]);
    out += ", " + std::to_string(d.day) + ' ';
    out += kGenitiveMonthNames[d.month - 1];
    out += ' ' + std::to_string(d.year);
    AppendHolidayLines(out, facts.holiday);
    if (facts.tradingSunday)
        out += ", niedziela handlowa";
    if (facts.note)
        out += ", notatka";
    if (facts.today)
        out += ", dziś";
    return out;
}
