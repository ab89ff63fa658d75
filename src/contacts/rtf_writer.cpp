// The RTF writer: font and colour tables first, then each run with all of its properties, so a
// run never depends on the one before it.
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
        } else if (const int byte = EncodeCp1250(c); byte >= 0) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\'";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
            needsDelimiter = false;
        } else {
            // Signed 16-bit units, as the format asks; characters beyond the first plane as a
            // surrogate pair. Each is followed by its one-byte fallback (\uc1).
            const auto unit = [&](unsigned u) {
                AppendNumber(out, "u", u >= 0x8000 ? static_cast<long>(u) - 0x10000 : static_cast<long>(u));
                out += '?';
            };
            if (c >= 0x10000) {
                unit(0xD800 + ((c - 0x10000) >> 10));
                unit(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                unit(c);
            }
            needsDelimiter = false;
        }
    }
}

}  // namespace

std::string WriteRtf(const RichDocument& document, const std::string& defaultFont)
{
    // Table indices by value, so that a book of many fonts or colours is not written in
    // quadratic time.
    std::vector<std::string> fonts{defaultFont};
    std::map<std::string, std::size_t> fontIndex{{defaultFont, 0}};
    std::vector<std::uint32_t> colours;
    std::map<std::uint32_t, std::size_t> colourIndex;
    for (const Paragraph& paragraph : document.paragraphs)
        for (const TextRun& run : paragraph.runs) {
            if (!run.format.font.empty() && fontIndex.emplace(run.format.font, fonts.size()).second)
                fonts.push_back(run.format.font);
            if (run.format.colour && colourIndex.emplace(*run.format.colour, colours.size() + 1).second)
                colours.push_back(*run.format.colour);
        }

    std::string out = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{";
        AppendNumber(out, "f", static_cast<long>(i));
        out += "\\fnil\\fcharset238";
        // A semicolon ends a name in the table, so a name cannot hold one.
        std::string name = fonts[i];
        std::erase(name, ';');
        bool delimiter = true;
        AppendEscaped(out, name, delimiter);
        out += ";}";
    }
    out += "}\n{\\colortbl ;";
    for (const std::uint32_t colour : colours) {
        AppendNumber(out, "red", colour >> 16 & 0xFF);
        AppendNumber(out, "green", colour >> 8 & 0xFF);
        AppendNumber(out, "blue", colour & 0xFF);
        out += ';';
    }
    out += "}\n\\pard";
    for (std::size_t p = 0; p < document.paragraphs.size(); ++p) {
        if (p > 0)
            out += "\\par\n";
        for (const TextRun& run : document.paragraphs[p].runs) {
            const TextFormat& f = run.format;
            out += "\\plain";
            if (!f.font.empty())
                AppendNumber(out, "f", static_cast<long>(fontIndex.at(f.font)));
            if (f.halfPoints > 0)
                AppendNumber(out, "fs", f.halfPoints);
            if (f.colour)
                AppendNumber(out, "cf", static_cast<long>(colourIndex.at(*f.colour)));
            if (f.bold)
                out += "\\b";
            if (f.italic)
                out += "\\i";
            if (f.underline)
                out += "\\ul";
            if (f.strike)
                out += "\\strike";
            bool delimiter = true;
            AppendEscaped(out, run.text, delimiter);
        }
    }
    out += "}\n";
    return out;
}
