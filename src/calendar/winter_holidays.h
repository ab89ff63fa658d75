// The winter holidays ("ferie zimowe") of each voivodeship, as the education minister announces
// them year by year, read from a text file the program ships and a user may replace.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/datetime.h"

// The sixteen voivodeships by their official names, in lower case and in the official order
// (that of their statistical codes, which is also the alphabetical one).
inline constexpr std::array<std::string_view, 16> kVoivodeships = {
    "dolnośląskie",  "kujawsko-pomorskie", "lubelskie", "lubuskie",  "łódzkie", "małopolskie",    "mazowieckie",
    "opolskie",      "podkarpackie",       "podlaskie", "pomorskie", "śląskie", "świętokrzyskie", "warmińsko-mazurskie",
    "wielkopolskie", "zachodniopomorskie",
};

// Whether `name` is one of kVoivodeships, exactly as written there (UTF-8, lower case).
bool IsVoivodeship(std::string_view name);

class WinterHolidays
{
public:
    struct Turn
    {
        TDateTime first = 0;  // whole days, both included
        TDateTime last = 0;
        bool operator==(const Turn&) const = default;
    };

    // The holidays of `voivodeship` that begin in `year`; nullopt when the file names none, or
    // for a name that is no voivodeship.
    std::optional<Turn> TurnOf(std::string_view voivodeship, int year) const;
    // Whether `date` (a whole day, or any time of it) lies in the winter holidays of `voivodeship`.
    // False for a name that is no voivodeship, and so for the empty one.
    bool Contains(std::string_view voivodeship, TDateTime date) const;
    bool Empty() const;

    // Adds a turn for the voivodeship kVoivodeships[index]; the parser has checked it.
    void Add(std::size_t index, Turn turn) { m_turns[index].push_back(turn); }

private:
    std::array<std::vector<Turn>, kVoivodeships.size()> m_turns;
};

// A line the parser refused: its number (from 1) and why, in Polish.
struct WinterHolidaysProblem
{
    int line = 0;
    std::string text;
};

struct WinterHolidaysParse
{
    WinterHolidays holidays;                      // every good line
    std::vector<WinterHolidaysProblem> problems;  // every refused one, in file order
};

// Reads the file's text. One turn a line: its first and last day as RRRR-MM-DD, then the
// voivodeships' names separated by commas, e.g.
//   2026-01-19 2026-02-01 mazowieckie, pomorskie, podlaskie
// Blanks and tabs separate; a line whose first character other than a blank is '#' is a comment;
// empty lines, a UTF-8 byte-order mark and CR LF line ends are allowed. A file that is no valid
// UTF-8 is read as Windows-1250, as an older editor saves it. A line is refused whole, and the
// others still count, when a date is no date, the last day comes before the first, the turn is
// longer than 31 days, a name is no voivodeship (the official names, lower case), or a
// voivodeship already has holidays beginning in that year. Never throws.
WinterHolidaysParse ParseWinterHolidays(std::string_view text);
