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
    const std::string expected = latitude ? "stopnie od -90 do 90, północ dodatnio, np. 52.236620"
                                          : "stopnie od -180 do 180, wschód dodatnio, np. 21.027916";
    const std::optional<double> value = TryParseCoordinate(text);
    if (!value)
        return "dniarz: błędna wartość " + option + " '" + text + "' (oczekiwano: " + expected + ")";
    if (*value < -limit || *value > limit)
        return "dniarz: " + option + " '" + text + "' poza zakresem (oczekiwano: " + expected + ")";
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
    return "dniarz: błędna data '" + text + "' (oczekiwano rrrr-mm-dd, lata od 1 do 9999)";
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
        return "dniarz: po --date trzeba podać datę";
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
        return "dniarz: po --days trzeba podać liczbę dni od 1 do " + std::to_string(kMaxPrintDays);
    o.days = n;
    walk.daysGiven = true;
    return {};
}

std::string TakeScreenshot(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    if (!v || v->empty())
        return "dniarz: po --screenshot trzeba podać nazwę pliku";
    o.mode = CommandLine::Mode::Screenshot;
    o.screenshotFile = *v;
    return {};
}

std::string TakeSntp(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    o.mode = CommandLine::Mode::Sntp;
    while (const auto server = walk.Operand()) {
        if (!ParseHostAndPort(*server))
            return "dniarz: błędny serwer czasu '" + *server + "' (oczekiwano HOST[:PORT], port od 1 do 65535)";
        o.sntpServers.push_back(*server);
    }
    return {};
}

std::string TakeDir(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    if (!v || v->empty())
        return "dniarz: po --dir trzeba podać folder";
    o.dir = *v;
    return {};
}

std::string TakePlace(ArgumentWalk& walk, CommandLine& o, const std::string& name)
{
    const auto v = walk.Value();
    if (!v)
        return "dniarz: po " + name + " trzeba podać wartość w stopniach";
    if (std::string error = CoordinateError(name, *v); !error.empty())
        return error;
    (name == "--lat" ? o.latitude : o.longitude) = *v;
    return {};
}

std::string TakeSearch(ArgumentWalk& walk, CommandLine& o, const std::string&)
{
    const auto v = walk.Value();
    if (!v)
        return "dniarz: po --search trzeba podać szukany tekst";
    o.mode = CommandLine::Mode::Search;
    o.searchText = *v;
    return {};
}

std::string TakeIcs(ArgumentWalk& walk, CommandLine& o, const std::string& name)
{
    const auto v = walk.Value();
    if (!v || v->empty())
        return "dniarz: po " + name + " trzeba podać nazwę pliku";
    o.mode = name == "--export-ics" ? CommandLine::Mode::ExportIcs : CommandLine::Mode::ImportIcs;
    o.icsFile = *v;
    return {};
}

std::string TakeYear(ArgumentWalk& walk, CommandLine& o, const std::string& name)
{
    const auto v = walk.Value();
    const std::optional<int> year = v ? ParseYear(*v) : std::nullopt;
    if (!year)
        return "dniarz: po " + name + " trzeba podać rok od 1 do 9999";
    (name == "--from" ? o.fromYear : o.toYear) = year;
    return {};
}

std::string TakeSyncValue(ArgumentWalk& walk, CommandLine& o, const std::string& name)
{
    const auto v = walk.Value();
    if (!v || v->empty())
        return "dniarz: po " + name + " trzeba podać wartość";
    if (name == "--server")
        o.syncServer = *v;
    else if (name == "--user")
        o.syncUser = *v;
    else if (name == "--calendar")
        o.syncCalendar = *v;
    else if (name == "--show")
        o.syncShow.push_back(*v);
    else
        o.syncSubscribe.push_back(*v);
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
    {"--sync", TakeMode<CommandLine::Mode::Sync>},
    {"--server", TakeSyncValue},
    {"--user", TakeSyncValue},
    {"--calendar", TakeSyncValue},
    {"--show", TakeSyncValue},
    {"--subscribe", TakeSyncValue},
};

// The rules between options, once all are read.
std::string CheckCombination(const CommandLine& o, bool daysGiven)
{
    if (daysGiven && o.mode != CommandLine::Mode::PrintDay && o.mode != CommandLine::Mode::Reminders)
        return "dniarz: --days działa tylko z --print-day lub --reminders";
    const bool accountGiven = o.syncServer || o.syncUser || o.syncCalendar || !o.syncShow.empty()
                              || !o.syncSubscribe.empty();
    if (accountGiven && o.mode != CommandLine::Mode::Sync)
        return "dniarz: --server, --user, --calendar, --show i --subscribe działają tylko z --sync";
    if (o.fromYear && o.toYear && *o.fromYear > *o.toYear)
        return "dniarz: --from " + std::to_string(*o.fromYear) + " jest po --to " + std::to_string(*o.toYear);
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
            r.error = "dniarz: nieznana opcja '" + a + "' (zob. --help)";
        // Anything else: the tray start entry and older shortcuts may pass words we do not know;
        // the window starts regardless, as it always has.
    }
    if (r.error.empty())
        r.error = CheckCombination(r.options, walk.daysGiven);
    return r;
}

std::string UsageText()
{
    return "Użycie: dniarz [-hide] [opcje]\n"
           "Dniarz: kalendarz, imieniny, słońce i księżyc, notatki i zegar.\n"
           "\n"
           "  -hide                 uruchom ukryty w obszarze powiadomień\n"
           "  --print-day [DATA]    wypisz widok dnia DATA (rrrr-mm-dd, domyślnie dziś) i zakończ\n"
           "  --days N              z --print-day lub --reminders: N dni od DATA (do 36600);\n"
           "                        przy --print-day każdy dzień blokiem wierszy, bloki\n"
           "                        rozdzielone pustym wierszem\n"
           "  --reminders [DATA]    wypisz przypomnienia z notatek na dzień DATA (rrrr-mm-dd,\n"
           "                        domyślnie dziś) jako \"rrrr.mm.dd gg:mm tekst\", po kolei;\n"
           "                        kod wyjścia 0, gdy są, 1, gdy ich nie ma\n"
           "  --contacts            wypisz książkę telefoniczną jako zwykły tekst i zakończ\n"
           "  --screenshot PLIK     narysuj okno główne do pliku PNG i zakończ\n"
           "  --date DATA           data pokazana przez --screenshot\n"
           "  --lat STOPNIE, --lon STOPNIE\n"
           "                        miejsce dla --print-day (północ i wschód dodatnio)\n"
           "  --sntp [HOST[:PORT]...]\n"
           "                        zapytaj serwery czasu (domyślnie z listy programu), wypisz\n"
           "                        opóźnienie i różnicę każdego oraz wybrany; nigdy nie ustawia\n"
           "                        zegara. Kod wyjścia 0, gdy wybrano serwer, 1, gdy żaden nie\n"
           "                        odpowiedział użytecznie, 2 dla pustej nazwy lub portu spoza\n"
           "                        zakresu od 1 do 65535\n"
           "  --search TEKST        wypisz notatki zawierające każde słowo TEKSTU, bez względu na\n"
           "                        wielkość liter, od najnowszych, jako \"rrrr.mm.dd: wiersz\"\n"
           "                        (notatki coroczne jako \"    .mm.dd: wiersz\"); kod wyjścia 0,\n"
           "                        gdy coś znaleziono, 1, gdy nic\n"
           "  --ignore-diacritics   --search pomija też znaki diakrytyczne: \"zolw\" znajduje\n"
           "                        \"żółw\"\n"
           "  --export-ics PLIK     zapisz notatki do pliku iCalendar (RFC 5545) i zakończ;\n"
           "                        notatki coroczne powtarzają się co roku\n"
           "  --from ROK, --to ROK  lata zapisywane przez --export-ics (domyślnie: wszystkie\n"
           "                        notatki; imieniny i święta: bieżący rok)\n"
           "  --with-namedays       --export-ics dodaje imieniny tych lat\n"
           "  --with-holidays       --export-ics dodaje święta tych lat\n"
           "  --import-ics PLIK     dodaj wydarzenia z pliku iCalendar do notatek i zakończ;\n"
           "                        pyta przed ponad 100 wydarzeniami. Kod wyjścia 2, gdy pliku\n"
           "                        nie można odczytać; nic nie jest wtedy zapisane\n"
           "  --yes                 --import-ics importuje dowolną liczbę wydarzeń bez pytania\n"
           "  --sync                zsynchronizuj notatki z kalendarzem na serwerze CalDAV i\n"
           "                        pobierz kalendarze pokazywane; wypisz wiersz na kalendarz.\n"
           "                        Hasło z DNIARZ_SYNC_PASSWORD, z pęku kluczy systemu albo\n"
           "                        z pytania w terminalu. Kod wyjścia 0 po synchronizacji,\n"
           "                        1, gdy serwer jest nieosiągalny lub odmówił, 2 dla błędnych\n"
           "                        ustawień lub plików\n"
           "  --server URL, --user NAZWA\n"
           "                        z --sync: zapisz konto (adres główny serwera) i synchronizuj\n"
           "  --calendar NAZWA      z --sync: kalendarz notatek (nazwa lub ścieżka; domyślnie\n"
           "                        pierwszy)\n"
           "  --show KALENDARZ      z --sync: pokazuj także ten kalendarz, tylko do odczytu\n"
           "                        (można powtarzać)\n"
           "  --subscribe URL       z --sync: pokazuj kalendarz z pliku .ics pod tym adresem\n"
           "  --dir ŚCIEŻKA         folder programu (notatki i inne pliki); także DNIARZ_DIR\n"
           "  --help                pokaż tę pomoc i zakończ\n"
           "  --version             pokaż wersję i zakończ\n";
}
