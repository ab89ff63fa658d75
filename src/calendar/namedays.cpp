// Name-day table lookup.
#include "calendar/namedays.h"

#include <array>
#include <cstdio>
#include <utility>

#include "text/cp1250.h"

extern const unsigned char kNameDayTableCp1250[];
extern const std::size_t kNameDayTableCp1250Size;

void NameDayTable::Load()
{
    Load(std::string_view(reinterpret_cast<const char*>(kNameDayTableCp1250), kNameDayTableCp1250Size));
}

void NameDayTable::Load(std::string_view cp1250Text)
{
    if (const auto nul = cp1250Text.find('\0'); nul != std::string_view::npos)
        cp1250Text = cp1250Text.substr(0, nul);
    const std::string text = Cp1250ToUtf8(cp1250Text);
    m_lines.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        m_lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        m_lines.push_back(text.substr(start));
}

DayNames NameDayTable::Lookup(int month, int day) const
{
    char header[16];
    char dayKey[16];
    std::snprintf(header, sizeof header, "M%02d", month);
    std::snprintf(dayKey, sizeof dayKey, "%d.", day);
    const std::string_view headerKey(header);
    const std::string_view key(dayKey);

    DayNames result;
    bool inMonth = false;
    const std::string* dayLine = nullptr;
    for (const std::string& line : m_lines) {
        if (!inMonth && line.starts_with(headerKey))
            inMonth = true;
        if (inMonth && line.starts_with(key)) {
            dayLine = &line;
            break;
        }
    }
    if (!dayLine)
        return result;

    // The body is capped as the stored tables always were; counted in bytes of the table's own
    // single-byte encoding, so a UTF-8 cut must not split a character.
    std::string_view body = std::string_view(*dayLine).substr(key.size());
    std::size_t cut = 0, chars = 0;
    while (cut < body.size() && chars < 1000) {
        NextCodePoint(body, cut);
        ++chars;
    }
    body = body.substr(0, cut);
    while (!body.empty() && body.front() == ' ')
        body.remove_prefix(1);

    if (!body.empty() && body.front() == '*') {
        const std::size_t comma = body.find(',');
        std::string_view holiday = body.substr(1, comma == std::string_view::npos ? std::string_view::npos : comma - 1);
        for (const char c : holiday)
            result.holiday += c == '_' ? ' ' : c;
        body = comma == std::string_view::npos ? std::string_view() : body.substr(comma + 1);
    }
    for (const char c : body) {
        if (c == ',')
            result.names += "\r\n";
        else
            result.names += c == '_' ? ' ' : c;
    }
    return result;
}

std::string JoinNames(std::string_view names)
{
    std::string out;
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = names.find("\r\n", start);
        std::string_view line = names.substr(start,
                                             end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        // A day line ending in a comma leaves an empty last name; on one line it would only
        // leave a dangling separator.
        if (!line.empty()) {
            if (!out.empty())
                out += ", ";
            out += line;
        }
        if (end == std::string_view::npos)
            break;
        start = end + 2;
    }
    return out;
}

namespace {

// The table's names whose nominative no ending rule gives: an "e" that drops in the genitive
// after a cluster the rules cannot tell from a stable one ("Piotra" stays "Piotr"), a nominative
// in -o, and "Nadzieja", whose -iei the rules read as Salomea's -ei.
constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kIrregular = {{
    {"Aleksandra", "Aleksander"},
    {"Iwa", "Iwo"},
    {"Kacpra", "Kacper"},
    {"Lwa", "Lew"},
    {"Mieszka", "Mieszko"},
    {"Nadziei", "Nadzieja"},
    {"Sylwestra", "Sylwester"},
    {"Wawrzyńca", "Wawrzyniec"},
}};

// Whether the last letter of `stem` is a vowel; the Polish vowels with marks are two bytes.
bool EndsInVowel(std::string_view stem)
{
    if (stem.empty())
        return false;
    if (stem.ends_with("ą") || stem.ends_with("ę") || stem.ends_with("ó"))
        return true;
    const char last = stem.back();
    return last == 'a' || last == 'e' || last == 'i' || last == 'o' || last == 'u' || last == 'y';
}

std::string Cut(std::string_view text, std::size_t tail, std::string_view add)
{
    std::string out(text.substr(0, text.size() - tail));
    out += add;
    return out;
}

std::string NominativeOfWord(std::string_view genitive);

}  // namespace

std::string NominativeOf(std::string_view genitive)
{
    // A name of several words ("Marii Magdaleny", "_" in the table's file) declines each one.
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = genitive.find_first_of(" _", start);
        out += NominativeOfWord(genitive.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return out;
        out += genitive[end];
        start = end + 1;
    }
}

namespace {

std::string NominativeOfWord(std::string_view genitive)
{
    for (const auto& [form, nominative] : kIrregular)
        if (form == genitive)
            return std::string(nominative);
    const std::string_view g = genitive;
    if (g.size() < 3)
        return std::string(g);
    // Masculine -y, -i: Jerzy, Antoni; -l takes -i (Bazyli, Marceli).
    if (g.ends_with("ego")) {
        const std::string_view stem = g.substr(0, g.size() - 3);
        if (stem.ends_with('i'))
            return std::string(stem);
        return std::string(stem) + (stem.ends_with('l') ? "i" : "y");
    }
    // Feminine -ia, -ja, -ea and a vowel's -ja: Maria, Łucja, Salomea, Maja.
    if (g.ends_with("ii") || g.ends_with("ji"))
        return Cut(g, 1, "a");
    if (g.ends_with("ei"))
        return Cut(g, 1, "a");
    if (g.ends_with("ai"))
        return Cut(g, 1, "ja");
    // Feminine -a after k, g, l (Agnieszka, Olga, Urszula), and after the other consonants.
    if (g.ends_with('i') || g.ends_with('y'))
        return Cut(g, 1, "a");
    if (g.ends_with('a')) {
        const std::string_view stem = g.substr(0, g.size() - 1);
        // The "e" of -ek and -eł drops in the genitive after a consonant: Marka, Pawła; not after
        // a vowel: Dominika, Michała.
        for (const std::string_view fleeting : {std::string_view("k"), std::string_view("ł")})
            if (stem.ends_with(fleeting) && !EndsInVowel(stem.substr(0, stem.size() - fleeting.size())))
                return Cut(stem, fleeting.size(), "e" + std::string(fleeting));
        return std::string(stem);
    }
    return std::string(g);
}

}  // namespace
