// The city table and coordinate texts.
#include "astro/places.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "text/cp1250.h"
#include "text/polish_collation.h"

extern const unsigned char kCityTableCp1250[];
extern const std::size_t kCityTableCp1250Size;

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

void CityTable::Load()
{
    Load(std::string_view(reinterpret_cast<const char*>(kCityTableCp1250), kCityTableCp1250Size));
}

void CityTable::Load(std::string_view cp1250Text)
{
    m_lines.clear();
    cp1250Text = cp1250Text.substr(0, cp1250Text.find('\0'));
    std::size_t start = 0;
    while (start < cp1250Text.size()) {
        std::size_t end = cp1250Text.find("\r\n", start);
        if (end == std::string_view::npos)
            end = cp1250Text.size();
        m_lines.push_back(Cp1250ToUtf8(cp1250Text.substr(start, end - start)));
        start = end + 2;
    }
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const std::string& a, const std::string& b) { return PolishLess(a, b); });
}

std::vector<std::string> CityTable::Names() const
{
    std::vector<std::string> names;
    names.reserve(m_lines.size());
    for (const std::string& line : m_lines)
        names.push_back(line.substr(0, line.find('=')));
    return names;
}

std::optional<CityCoordinates> CityTable::Coordinates(std::string_view name) const
{
    for (const std::string& line : m_lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || std::string_view(line).substr(0, eq) != name)
            continue;
        const std::string value = line.substr(eq + 1);
        const std::size_t semicolon = value.find(';');
        CityCoordinates c;
        c.latitude = value.substr(0, semicolon);
        if (semicolon != std::string::npos)
            c.longitude = value.substr(semicolon + 1, 100);
        return c;
    }
    return std::nullopt;
}

std::optional<std::size_t> CityTable::CityAt(double latitude, double longitude) const
{
    constexpr double kHalfLastDecimal = 0.5e-6;
    const std::vector<std::string> names = Names();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto c = Coordinates(names[i]);
        if (!c)
            continue;
        const auto lat = TryParseCoordinate(c->latitude);
        const auto lon = TryParseCoordinate(c->longitude);
        if (lat && lon && std::fabs(*lat - latitude) <= kHalfLastDecimal
            && std::fabs(*lon - longitude) <= kHalfLastDecimal)
            return i;
    }
    return std::nullopt;
}

std::string FormatCoordinate(double x)
{
    // to_chars ignores the process's locale, which printf would follow ("52,000000" under a
    // Polish one), and the reader accepts only a full stop.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 6);
    std::string text(buffer, result.ptr);
    if (text.size() < 9)
        text.insert(0, 9 - text.size(), ' ');
    return text;
}

namespace {

// A decimal number's parts as typed: [blanks][sign]digits[.digits][e[sign]digits].
struct NumberParts
{
    bool negative = false;
    std::string_view intDigits, fracDigits, expSign, expDigits;
};

std::optional<NumberParts> SplitNumber(std::string_view text)
{
    NumberParts n;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        n.negative = text[pos++] == '-';
    auto digitsFrom = [&](std::size_t start) {
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos;
        return text.substr(start, pos - start);
    };
    n.intDigits = digitsFrom(pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        n.fracDigits = digitsFrom(pos);
    }
    if (n.intDigits.empty() && n.fracDigits.empty())
        return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            n.expSign = text.substr(pos++, 1);
        n.expDigits = digitsFrom(pos);
        if (n.expDigits.empty())
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    return n;
}

// Out of range: too small to tell from zero reads as zero; too large is not a coordinate. Which
// of the two: the decimal exponent of the first significant digit.
std::optional<double> OutOfRange(const NumberParts& n)
{
    const std::string allDigits = std::string(n.intDigits) + std::string(n.fracDigits);
    const std::size_t first = allDigits.find_first_not_of('0');
    long long exponent = 0;
    for (const char c : n.expDigits)
        exponent = std::min(exponent * 10 + (c - '0'), 1000000LL);
    if (n.expSign == "-")
        exponent = -exponent;
    const long long magnitude = static_cast<long long>(n.intDigits.size()) - 1 - static_cast<long long>(first)
                                + exponent;
    if (magnitude < 0)
        return n.negative ? -0.0 : 0.0;
    return std::nullopt;
}

}  // namespace

std::optional<double> TryParseCoordinate(std::string_view text)
{
    const std::optional<NumberParts> n = SplitNumber(text);
    if (!n)
        return std::nullopt;
    // Rebuilt in the one form from_chars reads, whatever the locale.
    std::string number = n->negative ? "-" : "";
    number.append(n->intDigits.empty() ? std::string_view("0") : n->intDigits);
    number += '.';
    number.append(n->fracDigits.empty() ? std::string_view("0") : n->fracDigits);
    if (!n->expDigits.empty()) {
        number += 'e';
        number.append(n->expSign);
        number.append(n->expDigits);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc())
        return value;
    if (error != std::errc::result_out_of_range)
        return std::nullopt;
    return OutOfRange(*n);
}

double ParseCoordinate(std::string_view text, double fallback)
{
    return TryParseCoordinate(text).value_or(fallback);
}
