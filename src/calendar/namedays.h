// The built-in name-day and holiday table and the lookup of one day in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct DayNames
{
    std::string holiday;  // one line, or empty
    std::string names;    // one name a line, lines joined by CR LF; or empty
};

class NameDayTable
{
public:
    // Loads the table built into the program.
    void Load();
    // Loads a table given as Windows-1250 text: the bytes up to the first NUL, split into lines
    // at CR LF, a lone CR or a lone LF.
    void Load(std::string_view cp1250Text);

    // month 1..12, day 1..31. The walk starts at the month's header and, as stored tables have
    // always been read, does not stop at the next header: a malformed day line is answered by
    // the first later line with the same day number.
    DayNames Lookup(int month, int day) const;

    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;  // UTF-8
};

// The names text as one line: each line without its leading blank, joined by ", "; empty lines
// are left out.
std::string JoinNames(std::string_view names);

// The name as people say it, from the table's form, which is the genitive of the day's wishes:
// "Anny" -> "Anna", "Marcina" -> "Marcin", "Jerzego" -> "Jerzy", "Pawła" -> "Paweł". The regular
// Polish endings are rules; the names they miss (a dropped "e" the rule cannot see, "Lwa" ->
// "Lew", a nominative in -o) are listed. A form that is no genitive the rules know (the
// indeclinable "Beatrycze") comes back unchanged.
std::string NominativeOf(std::string_view genitive);
