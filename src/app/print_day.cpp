// The printed day view.
#include "app/print_day.h"

#include "app/name_reminders.h"
#include "app/winter_holidays_file.h"
#include "astro/places.h"
#include "astro/sun_moon_line.h"
#include "calendar/date_format.h"
#include "calendar/day_info.h"
#include "calendar/feasts.h"
#include "calendar/school_year.h"
#include "calendar/trading_sundays.h"
#include "calendar/working_time.h"
#include "clock/local_time.h"
#include "platform/path_text.h"

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
    SunMoonAlmanac almanac(input.latitude, input.longitude);
    return PrintDayLines(input, almanac);
}

std::vector<std::pair<std::string, std::string>> PrintDayLines(const PrintDayInput& input, SunMoonAlmanac& almanac)
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
    const SunMoonLine sunMoon = almanac.Line(date);
    lines.emplace_back("sun", sunMoon.sunText);
    lines.emplace_back("moon", sunMoon.moonText);
    lines.emplace_back("phase", sunMoon.phaseText);
    const auto noteLine = [&](const std::string& key) {
        return input.notes ? OneLine(input.notes->FindNote(key).text) : std::string();
    };
    lines.emplace_back("note", noteLine(DateKey(date)));
    lines.emplace_back("yearly-note", noteLine(YearlyKey(d.month, d.day)));
    std::string reminders;
    if (input.names)
        for (const std::string& name : ChosenNamesOn(*input.names, input.chosenNames, date))
            reminders += (reminders.empty() ? "" : ", ") + name;
    lines.emplace_back("reminders", reminders);
    // The Polish-calendar lines: present on every day, empty where they have no value.
    const std::optional<bool> trading = IsTradingSunday(date);
    lines.emplace_back("trading-sunday", trading ? (*trading ? "tak" : "nie") : "");
    const WorkingTime norm = MonthWorkingTime(d.year, d.month);
    lines.emplace_back("working-days", std::to_string(norm.days));
    lines.emplace_back("working-hours", std::to_string(norm.hours));
    lines.emplace_back("day-length", sunMoon.dayLengthText);
    const int dayOfYear = static_cast<int>(date - EncodeDate(d.year, 1, 1)) + 1;
    lines.emplace_back("day-of-year", std::to_string(dayOfYear) + "/" + (IsLeapYear(d.year) ? "366" : "365"));
    static const WinterHolidays kNoWinterHolidays;
    lines.emplace_back("school", SchoolBreak(date, input.winterHolidays ? *input.winterHolidays : kNoWinterHolidays,
                                             input.voivodeship));
    lines.emplace_back("events", input.events ? input.events(date) : std::string());
    return lines;
}

std::string PrintDays(const PrintDayInput& input, int days, std::ostream& out)
{
    const TDateTime first = DateOf(input.date);
    const std::optional<TDateTime> last = TryEncodeDate(9999, 12, 31);
    if (days < 1 || first + (days - 1) > *last)
        return "dniarz: " + std::to_string(days) + " dni od " + FormatDateTime("yyyy.mm.dd", first)
               + " wykracza poza 9999.12.31";
    SunMoonAlmanac almanac(input.latitude, input.longitude);
    PrintDayInput day = input;
    for (int i = 0; i < days; ++i) {
        day.date = first + i;
        if (i > 0)
            out << '\n';
        out << FormatPrintDay(PrintDayLines(day, almanac));
    }
    return {};
}

std::string SetPlace(PrintDayInput& input, const std::optional<std::string>& latitude,
                     const std::optional<std::string>& longitude)
{
    const std::optional<double> lat = latitude ? TryParseCoordinate(*latitude) : input.latitude;
    if (!lat)
        return "dniarz: błędna wartość --lat '" + *latitude
               + "' (oczekiwano stopni z kropką, północ dodatnio, np. 52.236620)";
    const std::optional<double> lon = longitude ? TryParseCoordinate(*longitude) : input.longitude;
    if (!lon)
        return "dniarz: błędna wartość --lon '" + *longitude
               + "' (oczekiwano stopni z kropką, wschód dodatnio, np. 21.027916)";
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

std::optional<std::string> ReadNotesBytes(JournalFile& notesFile, const std::filesystem::path& programDir,
                                          std::ostream& err)
{
    const auto notesPath = programDir / "dnz.dat";
    std::string notesBytes;
    if (notesFile.ReadAll(notesPath, notesBytes) == JournalFile::ReadStatus::Failed) {
        err << "dniarz: nie można odczytać pliku notatek " << PathToUtf8(notesPath) << ": " << notesFile.LastError()
            << '\n';
        return std::nullopt;
    }
    return notesBytes;
}

std::optional<JournalRecords> ReadNotesReadOnly(JournalFile& notesFile, const std::filesystem::path& programDir,
                                                std::ostream& err)
{
    std::optional<std::string> notesBytes = ReadNotesBytes(notesFile, programDir, err);
    if (!notesBytes)
        return std::nullopt;
    // The records take the bytes over: the file is never in memory twice.
    return JournalRecords::ParseInPlace(std::move(*notesBytes)).records;
}

int RunPrintDay(const PrintDaySources& sources, const CommandLine& options, std::ostream& out, std::ostream& err)
{
    NameDayTable table;
    table.Load();
    const std::optional<JournalRecords> notes = ReadNotesReadOnly(sources.notesFile, sources.programDir, err);
    if (!notes)
        return 1;
    PrintDayInput input{options.date.value_or(DateOf(LocalNow(sources.clock))), &table, &*notes};
    // The stored place, unless the command line names another; reading never creates the key.
    const Settings stored = ReadStoredValues(
        sources.settings, {SettingId::Latitude, SettingId::Longitude, SettingId::ChosenNames, SettingId::Voivodeship});
    input.latitude = stored.Latitude;
    input.longitude = stored.Longitude;
    input.chosenNames = ParseChosenNames(stored.ChosenNames);
    input.events = sources.events;
    // The file matters only with a voivodeship: nobody else is told about its problems.
    WinterHolidaysFile winter;
    if (!stored.Voivodeship.empty()) {
        winter = ReadWinterHolidays(sources.winterHolidaysFile);
        if (!winter.problem.empty())
            err << "dniarz: " << winter.problem << '\n';
        input.winterHolidays = &winter.holidays;
        input.voivodeship = stored.Voivodeship;
    }
    std::string error = SetPlace(input, options.latitude, options.longitude);
    if (error.empty())
        error = PrintDays(input, options.days, out);
    if (!error.empty()) {
        err << error << '\n';
        return 2;
    }
    return 0;
}
