// A one-pass RTF reader: a byte scanner, a stack of group states and a text sink.
#include "contacts/rtf_reader.h"

#include "text/cp1250.h"
#include "contacts/code_pages.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

enum class Destination
{
    Text,
    FontTable,
    ColourTable,
    Skip
};

struct GroupState
{
    Destination destination = Destination::Text;
    TextFormat format;
    int font = -1;      // table index of the current font; -1: the default font (\\deff)
    int skipCount = 1;  // \uc: fallback characters after each \u
};

struct FontEntry
{
    std::string name;
    int codePage = 0;
};

// Deeper nesting than any editor writes; beyond it braces only count, so that a file of a
// million opening braces costs no memory per brace.
constexpr std::size_t kMaxDepth = 256;
// Control word parameters are at most ten digits by the format; more are read and ignored.
constexpr int kMaxParamDigits = 10;
// A colour table entry left empty: the window text colour.
constexpr std::uint32_t kAutoColour = 0xFF000000;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int Clamp(long long value, int low, int high)
{
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

class Reader
{
public:
    explicit Reader(std::string_view in) : m_in(in) {}

    RichDocument Run();

private:
    void OpenGroup();
    bool CloseGroup();  // false once the outermost group has closed
    void ControlWord();
    void ControlSymbol(char c);
    void Word(std::string_view word, bool hasParam, long long param);
    void TextByte(unsigned char byte);
    void Character(char32_t c);
    void EndParagraph();
    void FlushText();
    bool ConsumeFallback();
    int CurrentCodePage() const;
    GroupState& State() { return m_stack.back(); }

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::vector<GroupState> m_stack;
    std::size_t m_overflow = 0;  // braces opened beyond kMaxDepth
    bool m_groupStart = false;   // right after '{': a \* or destination word may follow
    bool m_starred = false;
    int m_fallbackLeft = 0;
    char16_t m_highSurrogate = 0;
    int m_documentCodePage = 1252;
    std::map<int, FontEntry> m_fonts;
    int m_fontInTable = -1;  // the entry the font table is filling
    std::string m_fontName;
    std::vector<std::uint32_t> m_colours;
    std::optional<std::uint32_t> m_colour;  // the colour table entry being read
    int m_defaultFont = 0;

    RichDocument m_document;
    std::string m_pending;
    TextFormat m_pendingFormat;
};

RichDocument Reader::Run()
{
    m_document.paragraphs.emplace_back();
    m_stack.emplace_back();
    // The header's own brace opens the document group.
    while (m_pos < m_in.size()) {
        const char c = m_in[m_pos++];
        switch (c) {
        case '{':
            OpenGroup();
            break;
        case '}':
            if (!CloseGroup()) {
                FlushText();
                Normalize(m_document);
                return m_document;
            }
            break;
        case '\\':
            ControlWord();
            break;
        case '\r':
        case '\n':
            break;
        default:
            m_groupStart = false;
            if (m_fallbackLeft > 0 && ConsumeFallback())
                break;
            TextByte(static_cast<unsigned char>(c));
            break;
        }
    }
    FlushText();
    Normalize(m_document);
    return m_document;
}

void Reader::OpenGroup()
{
    m_fallbackLeft = 0;
    if (m_stack.size() >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_stack.back());
    m_groupStart = true;
    m_starred = false;
}

bool Reader::CloseGroup()
{
    m_fallbackLeft = 0;
    m_groupStart = false;
    if (m_overflow > 0) {
        --m_overflow;
        return true;
    }
    if (State().destination == Destination::FontTable && m_fontInTable >= 0 && !m_fontName.empty()) {
        m_fonts[m_fontInTable].name = m_fontName;
        m_fontName.clear();
    }
    if (m_stack.size() == 1)
        return false;  // the document group itself
    m_stack.pop_back();
    return true;
}

bool Reader::ConsumeFallback()
{
    --m_fallbackLeft;
    return true;
}

void Reader::ControlWord()
{
    if (m_pos >= m_in.size())
        return;
    const char first = m_in[m_pos];
    if (!IsLetter(first)) {
        ++m_pos;
        ControlSymbol(first);
        return;
    }
    const std::size_t start = m_pos;
    while (m_pos < m_in.size() && IsLetter(m_in[m_pos]) && m_pos - start < 32)
        ++m_pos;
    const std::string_view word = m_in.substr(start, m_pos - start);
    bool negative = false;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && m_in[m_pos + 1] >= '0' && m_in[m_pos + 1] <= '9') {
        negative = true;
        ++m_pos;
    }
    bool hasParam = false;
    long long param = 0;
    int digits = 0;
    while (m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
        if (digits++ < kMaxParamDigits)
            param = param * 10 + (m_in[m_pos] - '0');
        hasParam = true;
        ++m_pos;
    }
    if (negative)
        param = -param;
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos;
    if (m_fallbackLeft > 0) {
        // A control word inside the fallback of \u counts as one skipped character; \bin data goes too.
        --m_fallbackLeft;
        if (word == "bin" && hasParam && param > 0)
            m_pos += std::min<std::size_t>(static_cast<std::size_t>(param), m_in.size() - m_pos);
        return;
    }
    Word(word, hasParam, param);
}

void Reader::ControlSymbol(char c)
{
    if (c == '\'') {
        const int hi = m_pos < m_in.size() ? HexValue(m_in[m_pos]) : -1;
        const int lo = m_pos + 1 < m_in.size() ? HexValue(m_in[m_pos + 1]) : -1;
        if (hi < 0 || lo < 0)
            return;
        m_pos += 2;
        m_groupStart = false;
        if (m_fallbackLeft > 0 && ConsumeFallback())
            return;
        TextByte(static_cast<unsigned char>(hi * 16 + lo));
        return;
    }
    if (c == '*') {
        if (m_groupStart)
            m_starred = true;
        return;
    }
    m_groupStart = false;
    if (m_fallbackLeft > 0 && ConsumeFallback())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        TextByte(static_cast<unsigned char>(c));
        break;
    case '~':
        Character(0x00A0);
        break;
    case '_':
        Character(0x2011);
        break;
    case '\r':
    case '\n':
        if (State().destination == Destination::Text)
            EndParagraph();
        break;
    case '\t':
        Character('\t');
        break;
    default:  // \- (optional hyphen), \: (index entries) and unknown symbols show nothing
        break;
    }
}

void Reader::Word(std::string_view word, bool hasParam, long long param)
{
    const bool atGroupStart = m_groupStart;
    const bool starred = m_starred;
    m_groupStart = false;
    m_starred = false;
    GroupState& s = State();
    if (atGroupStart) {
        static const std::string_view kSkipped[] = {"info",
                                                    "stylesheet",
                                                    "pict",
                                                    "fldinst",
                                                    "object",
                                                    "header",
                                                    "headerl",
                                                    "headerr",
                                                    "headerf",
                                                    "footer",
                                                    "footerl",
                                                    "footerr",
                                                    "footerf",
                                                    "footnote",
                                                    "annotation",
                                                    "nonshppict",
                                                    "shp",
                                                    "xe",
                                                    "tc",
                                                    "txe",
                                                    "rxe",
                                                    "listtable",
                                                    "listoverridetable",
                                                    "revtbl",
                                                    "rsidtbl",
                                                    "filetbl",
                                                    "private",
                                                    "themedata",
                                                    "colorschememapping",
                                                    "latentstyles",
                                                    "datastore",
                                                    "generator",
                                                    "userprops",
                                                    "pn",
                                                    "template",
                                                    "docvar",
                                                    "atnid",
                                                    "atnauthor"};
        if (starred && word != "fonttbl" && word != "colortbl") {
            s.destination = Destination::Skip;
            return;
        }
        if (std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped)) {
            s.destination = Destination::Skip;
            return;
        }
        if (word == "fonttbl" && s.destination != Destination::Skip) {
            s.destination = Destination::FontTable;
            return;
        }
        if (word == "colortbl" && s.destination != Destination::Skip) {
            s.destination = Destination::ColourTable;
            m_colour.reset();
            return;
        }
        if (word == "fldrslt" && s.destination != Destination::Skip) {
            s.destination = Destination::Text;
            return;
        }
    }
    if (s.destination == Destination::Skip) {
        if (word == "bin" && hasParam && param > 0)
            m_pos += std::min<std::size_t>(static_cast<std::size_t>(param), m_in.size() - m_pos);
        return;
    }
    const bool on = !hasParam || param != 0;
    if (s.destination == Destination::FontTable) {
        if (word == "f") {
            m_fontInTable = Clamp(param, -1, 1 << 20);
            m_fontName.clear();
            m_fonts[m_fontInTable] = {};
        } else if (word == "fcharset" && m_fontInTable >= 0) {
            m_fonts[m_fontInTable].codePage = CodePageOfCharset(Clamp(param, 0, 255));
        } else if (word == "cpg" && m_fontInTable >= 0) {
            m_fonts[m_fontInTable].codePage = Clamp(param, 0, 65535);
        } else if (word == "u" && hasParam) {
            // Names beyond the first plane are not worth pairing surrogates for.
            const auto unit = static_cast<char16_t>(param < 0 ? param + 65536 : param);
            if (m_fontName.size() < 256 && unit >= 0x20 && unit != 0x7F && (unit < 0xD800 || unit >= 0xE000))
                AppendUtf8(m_fontName, unit);
            m_fallbackLeft = s.skipCount;
        } else if (word == "uc") {
            s.skipCount = Clamp(param, 0, 16);
        }
        return;
    }
    if (s.destination == Destination::ColourTable) {
        const auto set = [&](int shift) {
            m_colour = m_colour.value_or(0) & ~(0xFFu << shift);
            *m_colour |= static_cast<std::uint32_t>(Clamp(param, 0, 255)) << shift;
        };
        if (word == "red")
            set(16);
        else if (word == "green")
            set(8);
        else if (word == "blue")
            set(0);
        return;
    }

    TextFormat& f = s.format;
    if (word == "par" || word == "row" || word == "sect" || word == "page") {
        EndParagraph();
    } else if (word == "line") {
        Character('\n');
    } else if (word == "tab" || word == "cell") {
        Character('\t');
    } else if (word == "u" && hasParam) {
        const auto unit = static_cast<char16_t>(param < 0 ? param + 65536 : param);
        m_fallbackLeft = s.skipCount;
        if (unit >= 0xD800 && unit < 0xDC00) {
            m_highSurrogate = unit;
            return;
        }
        if (unit >= 0xDC00 && unit < 0xE000) {
            if (m_highSurrogate)
                Character(0x10000 + ((char32_t(m_highSurrogate) - 0xD800) << 10) + (unit - 0xDC00));
            m_highSurrogate = 0;
            return;
        }
        Character(unit);
    } else if (word == "uc") {
        s.skipCount = Clamp(param, 0, 16);
    } else if (word == "deff") {
        m_defaultFont = Clamp(param, -1, 1 << 20);
    } else if (word == "ansicpg") {
        m_documentCodePage = Clamp(param, 0, 65535);
    } else if (word == "plain") {
        f = TextFormat{};
        s.font = -1;
    } else if (word == "f") {
        const auto font = m_fonts.find(Clamp(param, -1, 1 << 20));
        if (font != m_fonts.end()) {
            f.font = font->second.name;
            s.font = font->first;
        }
    } else if (word == "fs") {
        f.halfPoints = hasParam ? Clamp(param, 0, 3276) : 0;
    } else if (word == "cf") {
        const int index = Clamp(param, 0, 1 << 20);
        if (static_cast<std::size_t>(index) < m_colours.size() && m_colours[index] != kAutoColour)
            f.colour = m_colours[index];
        else
            f.colour.reset();
    } else if (word == "b") {
        f.bold = on;
    } else if (word == "i") {
        f.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" || word == "ulth"
               || word == "ulwave") {
        f.underline = on;
    } else if (word == "ulnone") {
        f.underline = false;
    } else if (word == "strike" || word == "striked") {
        f.strike = on;
    } else if (word == "emdash") {
        Character(0x2014);
    } else if (word == "endash") {
        Character(0x2013);
    } else if (word == "bullet") {
        Character(0x2022);
    } else if (word == "lquote") {
        Character(0x2018);
    } else if (word == "rquote") {
        Character(0x2019);
    } else if (word == "ldblquote") {
        Character(0x201C);
    } else if (word == "rdblquote") {
        Character(0x201D);
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
        Character(' ');
    } else if (word == "bin" && hasParam && param > 0) {
        m_pos += std::min<std::size_t>(static_cast<std::size_t>(param), m_in.size() - m_pos);
    }
}

int Reader::CurrentCodePage() const
{
    const int index = m_stack.back().font >= 0 ? m_stack.back().font : m_defaultFont;
    const auto font = m_fonts.find(index);
    return font != m_fonts.end() && font->second.codePage != 0 ? font->second.codePage : m_documentCodePage;
}

void Reader::TextByte(unsigned char byte)
{
    GroupState& s = State();
    if (s.destination == Destination::Skip)
        return;
    if (s.destination == Destination::FontTable) {
        if (byte == ';') {
            if (m_fontInTable >= 0)
                m_fonts[m_fontInTable].name = m_fontName;
            m_fontName.clear();
        } else if (m_fontName.size() < 256 && byte >= 0x20 && byte != 0x7F) {
            const int page = m_fontInTable >= 0 && m_fonts[m_fontInTable].codePage ? m_fonts[m_fontInTable].codePage
                                                                                   : m_documentCodePage;
            AppendUtf8(m_fontName, DecodeByte(page, byte));
        }
        return;
    }
    if (s.destination == Destination::ColourTable) {
        if (byte == ';') {
            m_colours.push_back(m_colour.value_or(kAutoColour));
            m_colour.reset();
        }
        return;
    }
    if (byte == '\t') {
        Character('\t');
        return;
    }
    if (byte < 0x20)
        return;
    Character(DecodeByte(CurrentCodePage(), byte));
}

void Reader::Character(char32_t c)
{
    m_highSurrogate = 0;
    // Control characters have no place in the text; only tabs and line breaks are kept.
    if (State().destination != Destination::Text || (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
        return;
    const TextFormat& format = State().format;
    if (!m_pending.empty() && !(format == m_pendingFormat))
        FlushText();
    if (m_pending.empty())
        m_pendingFormat = format;
    AppendUtf8(m_pending, c);
}

void Reader::FlushText()
{
    AppendText(m_document.paragraphs.back(), m_pending, m_pendingFormat);
    m_pending.clear();
}

void Reader::EndParagraph()
{
    FlushText();
    m_document.paragraphs.emplace_back();
}

}  // namespace

std::optional<RichDocument> ReadRtf(std::string_view bytes)
{
    // Text editors may put a UTF-8 byte order mark in front of a file they saved.
    std::size_t start = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size()
           && (bytes[start] == ' ' || bytes[start] == '\r' || bytes[start] == '\n' || bytes[start] == '\t'))
        ++start;
    bytes.remove_prefix(start);
    if (!bytes.starts_with("{\\rtf"))
        return std::nullopt;
    return Reader(bytes.substr(1)).Run();
}
