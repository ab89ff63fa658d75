// Fixed-pattern date formatting.
#include "calendar/date_format.h"

#include <cstdio>

const std::array<std::string_view, 12> kLongMonthNames = {"styczeń",  "luty",        "marzec",   "kwiecień",
                                                          "maj",      "czerwiec",    "lipiec",   "sierpień",
                                                          "wrzesień", "październik", "listopad", "grudzień"};
const std::array<std::string_view, 12> kShortMonthNames = {"sty", "lut", "mar", "kwi", "maj", "cze",
                                                           "lip", "sie", "wrz", "paź", "lis", "gru"};
const std::array<std::string_view, 7> kLongDayNames = {"niedziela", "poniedziałek", "wtorek", "środa",
                                                       "czwartek",  "piątek",       "sobota"};
const std::array<std::string_view, 7> kShortDayNames = {"N", "Pn", "Wt", "Śr", "Cz", "Pt", "So"};

namespace {

void AppendNumber(std::string& out, long long n, int width)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*lld", width, n);
    out += buf;
}

// Length of the run of `c` starting at `i`, case-insensitive as the patterns are.
std::size_t RunLength(std::string_view p, std::size_t i, char c)
{
    std::size_t n = 0;
    while (i + n < p.size() && (p[i + n] | 0x20) == c)
        ++n;
    return n;
}

// "m" or "mm" the number, "mmm" the short name, "mmmm" and longer the long name once; likewise
// for days. Returns how much of the run it took.
std::size_t AppendNumberOrName(std::string& out, std::size_t run, int number, std::string_view shortName,
                               std::string_view longName)
{
    if (run >= 4) {
        out += longName;
        return 4;
    }
    if (run == 3)
        out += shortName;
    else
        AppendNumber(out, number, static_cast<int>(run));
    return run;
}

// Hours, minutes or seconds: one letter the plain number, two or more two digits and a run of two.
std::size_t AppendClockField(std::string& out, std::size_t run, long long value)
{
    const std::size_t n = std::min<std::size_t>(run, 2);
    AppendNumber(out, value, static_cast<int>(n));
    return n;
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, TDateTime value)
{
    const DayAndMs split = SplitRounded(value);
    const DateParts date = DateOfDayNumber(split.day);
    const long long secOfDay = split.ms / 1000;
    const int weekday = DayOfWeek(static_cast<TDateTime>(split.day));

    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = static_cast<char>(pattern[i] | 0x20);
        const std::size_t run = RunLength(pattern, i, c);
        std::size_t n = 0;
        switch (c) {
        case 'y':
            n = run;
            if (n <= 2)
                AppendNumber(out, date.year % 100, 2);
            else
                AppendNumber(out, date.year, 4);
            break;
        case 'm':
            n = AppendNumberOrName(out, run, date.month, kShortMonthNames[date.month - 1],
                                   kLongMonthNames[date.month - 1]);
            break;
        case 'd':
            n = AppendNumberOrName(out, run, date.day, kShortDayNames[weekday - 1], kLongDayNames[weekday - 1]);
            break;
        case 'h':
            n = AppendClockField(out, run, secOfDay / 3600);
            break;
        case 'n':
            n = AppendClockField(out, run, secOfDay / 60 % 60);
            break;
        case 's':
            n = AppendClockField(out, run, secOfDay % 60);
            break;
        case 'z':
            n = std::min<std::size_t>(run, 3);
            AppendNumber(out, split.ms % 1000, n == 3 ? 3 : 1);
            break;
        default:
            out += pattern[i];
            n = 1;
            break;
        }
        i += n;
    }
    return out;
}

std::string DateKey(int year, int month, int day)
{
    std::string out = FourDigitYear(year);
    out += '.';
    AppendNumber(out, month, 2);
    out += '.';
    AppendNumber(out, day, 2);
    return out;
}

std::string DateKey(TDateTime value)
{
    const DateParts d = DecodeDate(value);
    return DateKey(d.year, d.month, d.day);
}

std::string YearlyKey(int month, int day)
{
    std::string out = "    .";
    AppendNumber(out, month, 2);
    out += '.';
    AppendNumber(out, day, 2);
    return out;
}

std::string FourDigitYear(int year)
{
    std::string out;
    AppendNumber(out, year, 4);
    return out;
}
