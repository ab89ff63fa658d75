// The observer's place: the built-in table of Polish cities and the text forms of coordinates.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CityCoordinates
{
    std::string latitude;   // the table's text, e.g. "52.236620"
    std::string longitude;  // e.g. "21.027916"
};

// The lines "name=latitude;longitude" of the city table, in Polish alphabetical order.
class CityTable
{
public:
    // Loads the table built into the program.
    void Load();
    // Loads a table given as Windows-1250 text: the bytes up to the first NUL, lines split at CR LF.
    void Load(std::string_view cp1250Text);

    const std::vector<std::string>& Lines() const { return m_lines; }  // UTF-8, sorted
    // The text before the first "=" of each line, in the table's order.
    std::vector<std::string> Names() const;
    // The coordinate texts of the first line whose name is `name` exactly, or nullopt. The longitude
    // text is what follows the first ";" of the value, at most 100 characters.
    std::optional<CityCoordinates> Coordinates(std::string_view name) const;
    // The position in Names() of the first city at `latitude`, `longitude` (degrees, north and
    // east positive, as the table and the settings hold them) to within half the table's last
    // decimal, so that coordinates stored from a city's text find it again; nullopt for a place
    // that is no city of the table.
    std::optional<std::size_t> CityAt(double latitude, double longitude) const;

private:
    std::vector<std::string> m_lines;
};

// x with six decimals and a full stop, right-aligned in 9 characters, never cut: " 5.500000".
std::string FormatCoordinate(double x);

// A coordinate typed by the user, in one fixed form whatever the locale: optional leading spaces,
// an optional sign, digits with an optional full stop and fraction (at least one digit in all),
// an optional exponent (E or e, optional sign, digits), and nothing after. nullopt for any other
// text and for a number too large for a double; one too small reads as 0.
std::optional<double> TryParseCoordinate(std::string_view text);
// As TryParseCoordinate, giving `fallback` for a text that is not such a number.
double ParseCoordinate(std::string_view text, double fallback);
