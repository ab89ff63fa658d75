// Command-line parsing.
#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iterator>
#include <string_view>

#include "astro/places.h"
#include "clock/time_sync.h"

namespace {

bool EqualsIgnoreCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

bool ParseNumber(const std::string& text, std::size_t& pos, std::size_t maxDigits, int& out)
{
    const std::size_t start = pos;
    while (pos < text.size() && pos - start < maxDigits + 1 && std::isdigit(static_cast<unsigned char>(text[pos])))
        ++pos;
    if (pos == start || pos - start > maxDigits)
        return false;
    std::from_chars(text.data() + start, text.data() + pos, out);
    return true;
}

// A place given on the command line has no stored value to fall back to, so a text that is no
// number, or a number that is no place on Earth, is refused before anything runs.
std::string CoordinateError(const std::string& option, const std::string& text)
{
    const bool latitude = option == "--lat";
    const double limit = latitude ? 90 : 180;
    const std::string expected = latitude ? "degrees from -90 to 90, north positive, e.g. 52.236620"
                                          : "degrees from -180 to 180, east positive, e.g. 21.027916";
    const std::optional<double> value = TryParseCoordinate(text);
    if (!value)
        return "dniarz: invalid " + option + " '" + text + "' (expected " + expected + ")";
    if (*value < -limit || *value > limit)
        return "dniarz: " + option + " '" + text + "' is out of range (" + expected + ")";
    return {};
}

std::optional<int> ParseYear(const std::string& text)
{
    std::size_t pos = 0;
    int year = 0;
    if (!ParseNumber(text, pos, 4, year) || pos != text.size() || year < 1)
        return std::nullopt;
    return year;
}

}  // namespace

std::optional<TDateTime> ParseDateArgument(const std::string& text)
{
    std::size_t pos = 0;
    int y = 0, m = 0, d = 0;
    // Exactly four year digits, so that "24-1-1" is not silently taken as the year 24.
    if (!ParseNumber(text, pos, 4, y) || pos != 4 || pos >= text.size())
        return std::nullopt;
    const char sep = text[pos];
    if (sep != '-' && sep != '.')
        return std::nullopt;
    ++pos;
    if (!ParseNumber(text, pos, 2, m) || pos >= text.size() || text[pos] != sep)
        return std::nullopt;
    ++pos;
    if (!ParseNumber(text, pos, 2, d) || pos != text.size())
        return std::nullopt;
    return TryEncodeDate(y, m, d);
}

namespace {

// The arguments as the options take them: each option may take the argument after it.
struct ArgumentWalk
{
    const std::vector<std::string>& args;
    std::size_t i = 0;
    bool daysGiven = false;

    // The next argument, whatever it is; nullopt at the end.
    std::optional<std::string> Value()
    {
        if (i + 1 >= args.size())
            return std::nullopt;
        return args[++i];
    }
    // The next argument unless it is another option.
    std::optional<std::string> Operand()
    {
        if (i + 1 < args.size() && !args[i + 1].starts_with("-"))
            return args[++i];
        return std::nullopt;
    }
};

// Takes the option `name` (and what follows it) into `o`; the error line, or empty.
using OptionHandler = std::string (*)(ArgumentWalk& walk, CommandLine& o, const std::string& name);

struct OptionRule
{
    std::string_view name;
    OptionHandler take;
};

std::string InvalidDate(const std::string& text)
{
    return "dniarz: invalid date '" + text + "' (expected yyyy-mm-dd, years 1 to 9999)";
}

template <CommandLine::Mode mode>
std::string TakeMode(ArgumentWalk&, CommandLine& o, const std::string&)
{
    o.mode = mode;
    return {};
}

template <bool CommandLine::*flag>
std::string TakeFlag(ArgumentWalk&, CommandLine& o, const std::string&)
{
    o.*flag = true;
    return {};
}

template <CommandLine::Mode mode>
std::string TakeDayMode(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    o.mode = mode;
    if (const auto v = walk.Operand()) {
        o.date = ParseDateArgument(*v);
        if (!o.date)
            return InvalidDate(*v);
    }
    return {};
}

std::string TakeDate(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    if (!v)
        return "dniarz: --date needs a date";
    o.date = ParseDateArgument(*v);
    return o.date ? std::string() : InvalidDate(*v);
}

std::string TakeDays(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    int n = 0;
    const auto [end, ec] = v ? std::from_chars(v->data(), v->data() + v->size(), n)
                             : std::from_chars_result{nullptr, std::errc::invalid_argument};
    if (!v || ec != std::errc() || end != v->data() + v->size() || n < 1 || n > kMaxPrintDays)
        return "dniarz: --days needs a number of days from 1 to " + std::to_string(kMaxPrintDays);
    o.days = n;
    walk.daysGiven = true;
    return {};
}

std::string TakeScreenshot(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    if (!v || v->empty())
        return "dniarz: --screenshot needs a file name";
    o.mode = CommandLine::Mode::Screenshot;
    o.screenshotFile = *v;
    return {};
}

std::string TakeSntp(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    o.mode = CommandLine::Mode::Sntp;
    while (const auto server = walk.Operand()) {
        if (!ParseHostAndPort(*server))
            return "dniarz: bad time server '" + *server + "' (expected HOST[:PORT], port 1 to 65535)";
        o.sntpServers.push_back(*server);
    }
    return {};
}

std::string TakeDir(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    if (!v || v->empty())
        return "dniarz: --dir needs a directory";
    o.dir = *v;
    return {};
}

std::string TakePlace(ArgumentWalk& walk, CommandLine& o, const std::string& name)
{
    const auto v = walk.Value();
    if (!v)
        return "dniarz: " + name + " needs a value in degrees";
    if (std::string error = CoordinateError(name, *v); !error.empty())
        return error;
    (name == "--lat" ? o.latitude : o.longitude) = *v;
    return {};
}

std::string TakeSearch(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    if (!v)
        return "dniarz: --search needs the text to look for";
    o.mode = CommandLine::Mode::Search;
    o.searchText = *v;
    return {};
}

std::string TakeIcs(ArgumentWalk& walk, CommandLine& o, const std::string& name)
{
    const auto v = walk.Value();
    if (!v || v->empty())
        return "dniarz: " + name + " needs a file name";
    o.mode = name == "--export-ics" ? CommandLine::Mode::ExportIcs : CommandLine::Mode::ImportIcs;
    o.icsFile = *v;
    return {};
}

std::string TakeYear(ArgumentWalk& walk, CommandLine& o, const std::string& name)
{
    const auto v = walk.Value();
    const std::optional<int> year = v ? ParseYear(*v) : std::nullopt;
    if (!year)
        return "dniarz: " + name + " needs a year from 1 to 9999";
    (name == "--from" ? o.fromYear : o.toYear) = year;
    return {};
}

// Every option but "-hide", which is matched in any letter case.
const OptionRule kOptions[] = {
    {"--help", TakeMode<CommandLine::Mode::Help>},
    {"-h", TakeMode<CommandLine::Mode::Help>},
    {"--version", TakeMode<CommandLine::Mode::Version>},
    {"--print-day", TakeDayMode<CommandLine::Mode::PrintDay>},
    {"--reminders", TakeDayMode<CommandLine::Mode::Reminders>},
    {"--date", TakeDate},
    {"--days", TakeDays},
    {"--contacts", TakeMode<CommandLine::Mode::Contacts>},
    {"--screenshot", TakeScreenshot},
    {"--sntp", TakeSntp},
    {"--dir", TakeDir},
    {"--lat", TakePlace},
    {"--lon", TakePlace},
    {"--search", TakeSearch},
    {"--ignore-diacritics", TakeFlag<&CommandLine::ignoreDiacritics>},
    {"--export-ics", TakeIcs},
    {"--import-ics", TakeIcs},
    {"--from", TakeYear},
    {"--to", TakeYear},
    {"--with-namedays", TakeFlag<&CommandLine::withNameDays>},
    {"--with-holidays", TakeFlag<&CommandLine::withHolidays>},
    {"--yes", TakeFlag<&CommandLine::assumeYes>},
};

// The rules between options, once all are read.
std::string CheckCombination(const CommandLine& o, bool daysGiven)
{
    if (daysGiven && o.mode != CommandLine::Mode::PrintDay)
        return "dniarz: --days goes with --print-day";
    if (o.fromYear && o.toYear && *o.fromYear > *o.toYear)
        return "dniarz: --from " + std::to_string(*o.fromYear) + " is after --to " + std::to_string(*o.toYear);
    return {};
}

}  // namespace

CommandLineResult ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLineResult r;
    ArgumentWalk walk{args};
    for (; walk.i < args.size() && r.error.empty(); ++walk.i) {
        const std::string& a = args[walk.i];
        if (EqualsIgnoreCase(a, "-hide")) {
            r.options.hide = true;
            continue;
        }
        const auto rule = std::find_if(std::begin(kOptions), std::end(kOptions),
                                       [&a](const OptionRule& option) { return option.name == a; });
        if (rule != std::end(kOptions))
            r.error = rule->take(walk, r.options, a);
        else if (a.starts_with("--"))
            r.error = "dniarz: unknown option '" + a + "' (see --help)";
        // Anything else: the tray start entry and older shortcuts may pass words we do not know;
        // the window starts regardless, as it always has.
    }
    if (r.error.empty())
        // --days counts the days of --reminders as well as those of --print-day.
        r.error = CheckCombination(r.options, walk.daysGiven && r.options.mode != CommandLine::Mode::Reminders);
    return r;
}

std::string UsageText()
{
    return "Usage: dniarz [-hide] [options]\n"
           "Dniarz: calendar, name days, sun and moon, notes and clock.\n"
           "\n"
           "  -hide                 start hidden in the notification area\n"
           "  --print-day [DATE]    print the day view of DATE (yyyy-mm-dd, default today) and exit\n"
           "  --days N              with --print-day: N days from DATE on (up to 36600), one\n"
           "                        block of lines a day, blocks parted by an empty line\n"
           "  --reminders [DATA]    wypisz przypomnienia z notatek na dzień DATA (rrrr-mm-dd,\n"
           "                        domyślnie dziś; z --days N na N dni) jako \"rrrr.mm.dd gg:mm tekst\",\n"
           "                        po kolei; kod wyjścia 0, gdy są, 1, gdy ich nie ma\n"
           "  --contacts            print the contacts book as plain text and exit\n"
           "  --screenshot FILE     render the main window to a PNG file and exit\n"
           "  --date DATE           the date shown by --screenshot\n"
           "  --lat DEG, --lon DEG  the place for --print-day (north and east positive)\n"
           "  --sntp [HOST[:PORT]...]\n"
           "                        ask time servers (default: the program's list) and print each\n"
           "                        one's delay and offset and the one chosen; never sets the clock.\n"
           "                        Exit code 0 when one was chosen, 1 when none answered usably,\n"
           "                        2 for an empty host or a port outside 1 to 65535\n"
           "  --search TEXT         print the notes that hold every word of TEXT, whatever the letter\n"
           "                        case, newest first, as \"yyyy.mm.dd: line\" (yearly notes as\n"
           "                        \"    .mm.dd: line\"); exit code 0 with matches, 1 without\n"
           "  --ignore-diacritics   --search ignores the marks of Polish letters too:\n"
           "                        \"zolw\" finds \"żółw\"\n"
           "  --export-ics FILE     write the notes to an iCalendar (RFC 5545) file and exit; yearly\n"
           "                        notes recur every year\n"
           "  --from YEAR, --to YEAR\n"
           "                        the years --export-ics writes (default: every note; name days\n"
           "                        and holidays: this year)\n"
           "  --with-namedays       --export-ics adds the name days of those years\n"
           "  --with-holidays       --export-ics adds the public holidays of those years\n"
           "  --import-ics FILE     add the events of an iCalendar file to the notes and exit; asks\n"
           "                        before more than 100 events. Exit code 2 when the file cannot\n"
           "                        be read, nothing then being written\n"
           "  --yes                 --import-ics imports any number of events without asking\n"
           "  --dir PATH            the program directory (notes and other files); also DNIARZ_DIR\n"
           "  --help                show this help and exit\n"
           "  --version             show the version and exit\n";
}
