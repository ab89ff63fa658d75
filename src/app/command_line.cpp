// Command-line parsing.
#include "app/command_line.h"

#include <cctype>
#include <charconv>

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

CommandLineResult ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLineResult r;
    CommandLine& o = r.options;
    bool daysGiven = false;
    auto fail = [&](std::string message) {
        r.error = std::move(message);
        return r;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (EqualsIgnoreCase(a, "-hide")) {
            o.hide = true;
        } else if (a == "--help" || a == "-h") {
            o.mode = CommandLine::Mode::Help;
        } else if (a == "--version") {
            o.mode = CommandLine::Mode::Version;
        } else if (a == "--print-day") {
            o.mode = CommandLine::Mode::PrintDay;
            if (i + 1 < args.size() && !args[i + 1].starts_with("-")) {
                o.date = ParseDateArgument(args[++i]);
                if (!o.date)
                    return fail("dniarz: invalid date '" + args[i] + "' (expected yyyy-mm-dd, years 1 to 9999)");
            }
        } else if (a == "--date") {
            const auto v = value();
            if (!v)
                return fail("dniarz: --date needs a date");
            o.date = ParseDateArgument(*v);
            if (!o.date)
                return fail("dniarz: invalid date '" + *v + "' (expected yyyy-mm-dd, years 1 to 9999)");
        } else if (a == "--days") {
            const auto v = value();
            int n = 0;
            const auto [end, ec] = v ? std::from_chars(v->data(), v->data() + v->size(), n)
                                     : std::from_chars_result{nullptr, std::errc::invalid_argument};
            if (!v || ec != std::errc() || end != v->data() + v->size() || n < 1 || n > kMaxPrintDays)
                return fail("dniarz: --days needs a number of days from 1 to " + std::to_string(kMaxPrintDays));
            o.days = n;
            daysGiven = true;
        } else if (a == "--contacts") {
            o.mode = CommandLine::Mode::Contacts;
        } else if (a == "--screenshot") {
            const auto v = value();
            if (!v || v->empty())
                return fail("dniarz: --screenshot needs a file name");
            o.mode = CommandLine::Mode::Screenshot;
            o.screenshotFile = *v;
        } else if (a == "--sntp") {
            o.mode = CommandLine::Mode::Sntp;
            while (i + 1 < args.size() && !args[i + 1].starts_with("-")) {
                const std::string& server = args[++i];
                if (!ParseHostAndPort(server))
                    return fail("dniarz: bad time server '" + server + "' (expected HOST[:PORT], port 1 to 65535)");
                o.sntpServers.push_back(server);
            }
        } else if (a == "--dir") {
            const auto v = value();
            if (!v || v->empty())
                return fail("dniarz: --dir needs a directory");
            o.dir = *v;
        } else if (a == "--lat" || a == "--lon") {
            const auto v = value();
            if (!v)
                return fail("dniarz: " + a + " needs a value in degrees");
            (a == "--lat" ? o.latitude : o.longitude) = *v;
        } else if (a == "--search") {
            const auto v = value();
            if (!v)
                return fail("dniarz: --search needs the text to look for");
            o.mode = CommandLine::Mode::Search;
            o.searchText = *v;
        } else if (a == "--ignore-diacritics") {
            o.ignoreDiacritics = true;
        } else if (a == "--export-ics" || a == "--import-ics") {
            const auto v = value();
            if (!v || v->empty())
                return fail("dniarz: " + a + " needs a file name");
            o.mode = a == "--export-ics" ? CommandLine::Mode::ExportIcs : CommandLine::Mode::ImportIcs;
            o.icsFile = *v;
        } else if (a == "--from" || a == "--to") {
            const auto v = value();
            const std::optional<int> year = v ? ParseYear(*v) : std::nullopt;
            if (!year)
                return fail("dniarz: " + a + " needs a year from 1 to 9999");
            (a == "--from" ? o.fromYear : o.toYear) = year;
        } else if (a == "--with-namedays") {
            o.withNameDays = true;
        } else if (a == "--with-holidays") {
            o.withHolidays = true;
        } else if (a == "--yes") {
            o.assumeYes = true;
        } else if (!a.starts_with("--")) {
            // The tray start entry and older shortcuts may pass words we do not know; the window
            // starts regardless, as it always has.
        } else {
            return fail("dniarz: unknown option '" + a + "' (see --help)");
        }
    }
    if (daysGiven && o.mode != CommandLine::Mode::PrintDay)
        return fail("dniarz: --days goes with --print-day");
    if (o.fromYear && o.toYear && *o.fromYear > *o.toYear)
        return fail("dniarz: --from " + std::to_string(*o.fromYear) + " is after --to " + std::to_string(*o.toYear));
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
