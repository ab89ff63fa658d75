// The RTF writer: font and colour tables first, then each run with all of its properties, so a
// run never depends on the one before it; links as HYPERLINK fields around their runs.
#include "contacts/rtf_writer.h"

#include "text/cp1250.h"
#include "contacts/code_pages.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

void AppendNumber(std::string& out, const char* word, long value)
{
    out += '\\';
    out += word;
    out += std::to_string(value);
}

// A font name is text inside the table; the same escapes as body text, without the line words.
void AppendEscaped(std::string& out, std::string_view text, bool& needsDelimiter)
{
    const auto delimit = [&] {
        if (needsDelimiter)
            out += ' ';
        needsDelimiter = false;
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t c = NextCodePoint(text, pos);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
            needsDelimiter = false;
        } else if (c == '\t') {
            out += "\\tab";
            needsDelimiter = true;
        } else if (c == '\n') {
            out += "\\line";
            needsDelimiter = true;
        } else if (c < 0x20 || c == 0x7F) {
            // Control characters have no place in rich text.
        } else if (c < 0x80) {
            delimit();
            out += static_cast<char>(c);
        } else {
            // Every other character as a signed 16-bit \u (beyond the first plane a surrogate
            // pair), each followed by the one fallback byte of \uc1: the Windows-1250 byte where
            // the code page has the character, so that readers without Unicode still show
            // Polish letters, and '?' elsewhere. Readers that ignore \ansicpg read the \u.
            const int byte = EncodeCp1250(c);
            const auto unit = [&](unsigned u, int fallback) {
                AppendNumber(out, "u", u >= 0x8000 ? static_cast<long>(u) - 0x10000 : static_cast<long>(u));
                if (fallback >= 0) {
                    static const char kHex[] = "0123456789abcdef";
                    out += "\\'";
                    out += kHex[fallback >> 4];
                    out += kHex[fallback & 15];
                } else {
                    out += '?';
                }
            };
            if (c >= 0x10000) {
                unit(0xD800 + ((c - 0x10000) >> 10), -1);
                unit(0xDC00 + ((c - 0x10000) & 0x3FF), -1);
            } else {
                unit(c, byte);
            }
            needsDelimiter = false;
        }
    }
}

// A field instruction's quoted argument: quotation marks and backslashes escaped for the field.
std::string QuotedArgument(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

void OpenLink(std::string& out, const std::string& link)
{
    out += "{\\field{\\*\\fldinst{HYPERLINK ";
    bool delimiter = false;
    AppendEscaped(out, QuotedArgument(link), delimiter);
    out += "}}{\\fldrslt{";
}

void CloseLink(std::string& out)
{
    out += "}}}";
}

// The font and colour tables, with indices by value, so that a book of many fonts or colours is
// not written in quadratic time.
struct Tables
{
    std::vector<std::string> fonts;
    std::map<std::string, std::size_t> fontIndex;
    std::vector<std::uint32_t> colours;
    std::map<std::uint32_t, std::size_t> colourIndex;
};

Tables CollectTables(const RichDocument& document, const std::string& defaultFont)
{
    Tables t{{defaultFont}, {{defaultFont, 0}}, {}, {}};
    for (const Paragraph& paragraph : document.paragraphs)
        for (const TextRun& run : paragraph.runs) {
            if (!run.format.font.empty() && t.fontIndex.emplace(run.format.font, t.fonts.size()).second)
                t.fonts.push_back(run.format.font);
            if (run.format.colour && t.colourIndex.emplace(*run.format.colour, t.colours.size() + 1).second)
                t.colours.push_back(*run.format.colour);
        }
    return t;
}

void AppendTables(std::string& out, const Tables& t)
{
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < t.fonts.size(); ++i) {
        out += "{";
        AppendNumber(out, "f", static_cast<long>(i));
        out += "\\fnil\\fcharset238";
        // A semicolon ends a name in the table, so a name cannot hold one.
        std::string name = t.fonts[i];
        std::erase(name, ';');
        bool delimiter = true;
        AppendEscaped(out, name, delimiter);
        out += ";}";
    }
    out += "}\n{\\colortbl ;";
    for (const std::uint32_t colour : t.colours) {
        AppendNumber(out, "red", colour >> 16 & 0xFF);
        AppendNumber(out, "green", colour >> 8 & 0xFF);
        AppendNumber(out, "blue", colour & 0xFF);
        out += ';';
    }
    out += "}\n";
}

void AppendFormat(std::string& out, const TextFormat& f, const Tables& t)
{
    if (!f.font.empty())
        AppendNumber(out, "f", static_cast<long>(t.fontIndex.at(f.font)));
    // Always a size: after \plain other readers would take 12 points.
    AppendNumber(out, "fs", f.halfPoints > 0 ? f.halfPoints : kEditorHalfPoints);
    if (f.colour)
        AppendNumber(out, "cf", static_cast<long>(t.colourIndex.at(*f.colour)));
    if (f.bold)
        out += "\\b";
    if (f.italic)
        out += "\\i";
    if (f.underline)
        out += "\\ul";
    if (f.strike)
        out += "\\strike";
}

void AppendParagraph(std::string& out, const Paragraph& paragraph, const Tables& t)
{
    // Neighbouring runs of one link share its field, whose result they are. The field starts
    // from plain text and each of its runs is a group of its own: readers that take \plain
    // for the end of a link then still see one.
    const std::string* link = nullptr;
    for (const TextRun& run : paragraph.runs) {
        const TextFormat& f = run.format;
        if (link && *link != f.link) {
            CloseLink(out);
            link = nullptr;
        }
        if (!link && !f.link.empty()) {
            out += "\\plain";
            OpenLink(out, f.link);
            link = &f.link;
        }
        out += link ? "{" : "\\plain";
        AppendFormat(out, f, t);
        bool delimiter = true;
        AppendEscaped(out, run.text, delimiter);
        if (link)
            out += '}';
    }
    if (link)
        CloseLink(out);
}

}  // namespace

std::string WriteRtf(const RichDocument& document, const std::string& defaultFont)
{
    const Tables tables = CollectTables(document, defaultFont);
    std::string out = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1";
    AppendTables(out, tables);
    out += "\\pard";
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        if (p > 0)
            out += "\\par\n";
        AppendParagraph(out, document.paragraphs[p], tables);
    }
    out += "}\n";
    return out;
}
