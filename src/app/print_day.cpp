// The printed day view.
#include "app/print_day.h"

#include "astro/places.h"
#include "astro/sun_moon_line.h"
#include "calendar/date_format.h"
#include "calendar/day_info.h"
#include "calendar/feasts.h"
#include "clock/local_time.h"

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

}  // namespace

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
    const SunMoonLine sunMoon = BuildSunMoonLine(date, input.latitude, input.longitude);
    lines.emplace_back("sun", sunMoon.sunText);
    lines.emplace_back("moon", sunMoon.moonText);
    lines.emplace_back("phase", sunMoon.phaseText);
    const auto noteLine = [&](const std::string& key) {
        return input.notes ? OneLine(input.notes->FindNote(key).text) : std::string();
    };
    lines.emplace_back("note", noteLine(DateKey(date)));
    lines.emplace_back("yearly-note", noteLine(YearlyKey(d.month, d.day)));
    return lines;
}

std::string SetPlace(PrintDayInput& input, const std::optional<std::string>& latitude,
                     const std::optional<std::string>& longitude)
{
    const std::optional<double> lat = latitude ? TryParseCoordinate(*latitude) : input.latitude;
    if (!lat)
        return "dniarz: invalid --lat '" + *latitude
               + "' (expected degrees with a full stop, north positive, e.g. 52.236620)";
    const std::optional<double> lon = longitude ? TryParseCoordinate(*longitude) : input.longitude;
    if (!lon)
        return "dniarz: invalid --lon '" + *longitude
               + "' (expected degrees with a full stop, east positive, e.g. 21.027916)";
    input.latitude = *lat;
    input.longitude = *lon;
    return {};
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

int RunPrintDay(const PrintDaySources& sources, std::optional<TDateTime> date,
                const std::optional<std::string>& latitude, const std::optional<std::string>& longitude,
                std::ostream& out, std::ostream& err)
{
    NameDayTable table;
    table.Load();
    const auto notesPath = sources.programDir / "dnz.dat";
    std::string notesBytes;
    if (sources.notesFile.ReadAll(notesPath, notesBytes) == JournalFile::ReadStatus::Failed) {
        err << "dniarz: cannot read the notes file " << notesPath.string() << ": " << sources.notesFile.LastError()
            << '\n';
        return 1;
    }
    const JournalRecords notes = JournalRecords::Parse(notesBytes).records;
    PrintDayInput input{date.value_or(DateOf(LocalNow(sources.clock))), &table, &notes};
    const Settings stored = ReadStoredValues(sources.settings, {SettingId::Latitude, SettingId::Longitude});
    input.latitude = stored.Latitude;
    input.longitude = stored.Longitude;
    const std::string placeError = SetPlace(input, latitude, longitude);
    if (!placeError.empty()) {
        err << placeError << '\n';
        return 2;
    }
    out << FormatPrintDay(PrintDayLines(input));
    return 0;
}
