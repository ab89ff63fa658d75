// A one-pass RTF reader: a byte scanner, a stack of group states, tables of the control words it
// knows, and a sink that takes each character to where the current destination keeps it.
#include "contacts/rtf_reader.h"

#include "text/cp1250.h"
#include "contacts/code_pages.h"
#include "contacts/rtf_fields.h"

#include <algorithm>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace {

enum class Destination
{
    Text,
    FontTable,
    ColourTable,
    FieldInstruction,
    Skip
};

// Where a control word means something: a bit per destination.
constexpr unsigned In(Destination destination)
{
    return 1u << static_cast<unsigned>(destination);
}
constexpr unsigned kInText = In(Destination::Text);
constexpr unsigned kInFontTable = In(Destination::FontTable);
constexpr unsigned kInColourTable = In(Destination::ColourTable);
constexpr unsigned kWithCharacters = kInText | kInFontTable | In(Destination::FieldInstruction);
constexpr unsigned kEverywhere = ~0u;

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

struct Parameter
{
    bool present = false;
    long long value = 0;
    // A toggle word: on without a parameter or with any but 0.
    bool On() const { return !present || value != 0; }
};

// Deeper nesting than any editor writes; beyond it braces only count, so that a file of a
// million opening braces costs no memory per brace.
constexpr std::size_t kMaxDepth = 256;
// Control word parameters are at most ten digits by the format; more are read and ignored.
constexpr int kMaxParamDigits = 10;
// A colour table entry left empty: the window text colour.
constexpr std::uint32_t kAutoColour = 0xFF000000;
constexpr std::size_t kMaxFontName = 256;  // longer names and instructions than any real one are cut
constexpr std::size_t kMaxInstruction = 4096;

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
    using Handler = void (*)(Reader&, const Parameter&);
    struct WordRule
    {
        std::string_view word;
        unsigned where;
        Handler handler;
    };
    struct ByWord  // orders rules and words by the word alone
    {
        static constexpr std::string_view Of(std::string_view word) { return word; }
        static constexpr std::string_view Of(const WordRule& rule) { return rule.word; }
        constexpr bool operator()(const auto& a, const auto& b) const { return Of(a) < Of(b); }
    };
    static std::span<const WordRule> WordRules();

    void OpenGroup();
    bool CloseGroup();  // false once the outermost group has closed
    void ControlWord();
    void ControlSymbol(char c);
    void Word(std::string_view word, const Parameter& parameter);
    bool EnterDestination(std::string_view word, bool starred);
    void TextByte(unsigned char byte);
    void Character(char32_t c);
    void EndParagraph();
    void FlushText();
    void EndFontName();
    void SkipBinary(long long length);
    int CurrentCodePage() const;
    GroupState& State() { return m_stack.back(); }

    // The control words that take more than a line.
    void UnicodeWord(const Parameter& p);
    void FontWord(const Parameter& p);
    void ColourWord(const Parameter& p);
    void FontEntryWord(const Parameter& p);
    void ColourPartWord(const Parameter& p, int shift);
    void FontCodePage(int codePage);
    void Plain();
    TextFormat& Format() { return State().format; }

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
    std::string m_instruction;  // the last field instruction, for the field's result

    RichDocument m_document;
    std::string m_pending;
    TextFormat m_pendingFormat;
};

// Sorted by word, so that a word is found by bisection; a word has a rule per destination.
std::span<const Reader::WordRule> Reader::WordRules()
{
    using R = Reader;
    using P = const Parameter&;
    static constexpr WordRule kRules[] = {
        {"ansicpg", kInText, [](R& r, P p) { r.m_documentCodePage = Clamp(p.value, 0, 65535); }},
        {"b", kInText, [](R& r, P p) { r.Format().bold = p.On(); }},
        {"bin", kEverywhere, [](R& r, P p) { r.SkipBinary(p.present ? p.value : 0); }},
        {"blue", kInColourTable, [](R& r, P p) { r.ColourPartWord(p, 0); }},
        {"bullet", kInText, [](R& r, P) { r.Character(0x2022); }},
        {"cell", kInText, [](R& r, P) { r.Character('\t'); }},
        {"cf", kInText, [](R& r, P p) { r.ColourWord(p); }},
        {"cpg", kInFontTable, [](R& r, P p) { r.FontCodePage(Clamp(p.value, 0, 65535)); }},
        {"deff", kInText, [](R& r, P p) { r.m_defaultFont = Clamp(p.value, -1, 1 << 20); }},
        {"emdash", kInText, [](R& r, P) { r.Character(0x2014); }},
        {"emspace", kInText, [](R& r, P) { r.Character(' '); }},
        {"endash", kInText, [](R& r, P) { r.Character(0x2013); }},
        {"enspace", kInText, [](R& r, P) { r.Character(' '); }},
        {"f", kInText, [](R& r, P p) { r.FontWord(p); }},
        {"f", kInFontTable, [](R& r, P p) { r.FontEntryWord(p); }},
        {"fcharset", kInFontTable, [](R& r, P p) { r.FontCodePage(CodePageOfCharset(Clamp(p.value, 0, 255))); }},
        {"fs", kInText, [](R& r, P p) { r.Format().halfPoints = p.present ? Clamp(p.value, 0, 3276) : 0; }},
        {"green", kInColourTable, [](R& r, P p) { r.ColourPartWord(p, 8); }},
        {"i", kInText, [](R& r, P p) { r.Format().italic = p.On(); }},
        {"ldblquote", kInText, [](R& r, P) { r.Character(0x201C); }},
        {"line", kInText, [](R& r, P) { r.Character('\n'); }},
        {"lquote", kInText, [](R& r, P) { r.Character(0x2018); }},
        {"page", kInText, [](R& r, P) { r.EndParagraph(); }},
        {"par", kInText, [](R& r, P) { r.EndParagraph(); }},
        {"plain", kInText, [](R& r, P) { r.Plain(); }},
        {"qmspace", kInText, [](R& r, P) { r.Character(' '); }},
        {"rdblquote", kInText, [](R& r, P) { r.Character(0x201D); }},
        {"red", kInColourTable, [](R& r, P p) { r.ColourPartWord(p, 16); }},
        {"row", kInText, [](R& r, P) { r.EndParagraph(); }},
        {"rquote", kInText, [](R& r, P) { r.Character(0x2019); }},
        {"sect", kInText, [](R& r, P) { r.EndParagraph(); }},
        {"strike", kInText, [](R& r, P p) { r.Format().strike = p.On(); }},
        {"striked", kInText, [](R& r, P p) { r.Format().strike = p.On(); }},
        {"tab", kInText, [](R& r, P) { r.Character('\t'); }},
        {"u", kWithCharacters, [](R& r, P p) { r.UnicodeWord(p); }},
        {"uc", kWithCharacters, [](R& r, P p) { r.State().skipCount = Clamp(p.value, 0, 16); }},
        {"ul", kInText, [](R& r, P p) { r.Format().underline = p.On(); }},
        {"uld", kInText, [](R& r, P p) { r.Format().underline = p.On(); }},
        {"uldash", kInText, [](R& r, P p) { r.Format().underline = p.On(); }},
        {"uldb", kInText, [](R& r, P p) { r.Format().underline = p.On(); }},
        {"ulnone", kInText, [](R& r, P) { r.Format().underline = false; }},
        {"ulth", kInText, [](R& r, P p) { r.Format().underline = p.On(); }},
        {"ulw", kInText, [](R& r, P p) { r.Format().underline = p.On(); }},
        {"ulwave", kInText, [](R& r, P p) { r.Format().underline = p.On(); }},
    };
    static_assert(std::is_sorted(std::begin(kRules), std::end(kRules), ByWord{}));
    return kRules;
}

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
            if (m_fallbackLeft > 0) {
                --m_fallbackLeft;
                break;
            }
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
    if (State().destination == Destination::FontTable && m_fontInTable >= 0 && !m_fontName.empty())
        EndFontName();
    if (m_stack.size() == 1)
        return false;  // the document group itself
    m_stack.pop_back();
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
    Parameter parameter;
    int digits = 0;
    while (m_pos < m_in.size() && m_in[m_pos] >= '0' && m_in[m_pos] <= '9') {
        if (digits++ < kMaxParamDigits)
            parameter.value = parameter.value * 10 + (m_in[m_pos] - '0');
        parameter.present = true;
        ++m_pos;
    }
    if (negative)
        parameter.value = -parameter.value;
    if (m_pos < m_in.size() && m_in[m_pos] == ' ')
        ++m_pos;
    if (m_fallbackLeft > 0) {
        // A control word inside the fallback of \u counts as one skipped character; \bin data goes too.
        --m_fallbackLeft;
        if (word == "bin")
            SkipBinary(parameter.value);
        return;
    }
    Word(word, parameter);
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
        if (m_fallbackLeft > 0) {
            --m_fallbackLeft;
            return;
        }
        TextByte(static_cast<unsigned char>(hi * 16 + lo));
        return;
    }
    if (c == '*') {
        if (m_groupStart)
            m_starred = true;
        return;
    }
    m_groupStart = false;
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return;
    }
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

void Reader::Word(std::string_view word, const Parameter& parameter)
{
    const bool atGroupStart = m_groupStart;
    const bool starred = m_starred;
    m_groupStart = false;
    m_starred = false;
    const Destination destination = State().destination;
    if (atGroupStart && destination != Destination::Skip && EnterDestination(word, starred))
        return;
    const std::span<const WordRule> rules = WordRules();
    const auto [first, last] = std::equal_range(rules.begin(), rules.end(), word, ByWord{});
    for (auto rule = first; rule != last; ++rule)
        if (rule->where & In(destination)) {
            rule->handler(*this, parameter);
            return;
        }
}

// Words that, first in a group, say what the group holds: the tables, a field's instruction and
// its result are read; the destinations of kSkipped (pictures, document information, styles,
// headers, footnotes, list and revision tables) are not, nor any other word marked \*.
bool Reader::EnterDestination(std::string_view word, bool starred)
{
    static constexpr std::string_view kSkipped[] = {"annotation", "atnauthor",  "atnid",        "colorschememapping",
                                                    "datastore",  "docvar",     "filetbl",      "footer",
                                                    "footerf",    "footerl",    "footerr",      "footnote",
                                                    "generator",  "header",     "headerf",      "headerl",
                                                    "headerr",    "info",       "latentstyles", "listoverridetable",
                                                    "listtable",  "nonshppict", "object",       "pict",
                                                    "pn",         "private",    "revtbl",       "rsidtbl",
                                                    "rxe",        "shp",        "stylesheet",   "tc",
                                                    "template",   "themedata",  "txe",          "userprops",
                                                    "xe"};
    static_assert(std::is_sorted(std::begin(kSkipped), std::end(kSkipped)));
    GroupState& s = State();
    if (word == "fonttbl") {
        s.destination = Destination::FontTable;
    } else if (word == "colortbl") {
        m_colour.reset();
        s.destination = Destination::ColourTable;
    } else if (word == "fldinst") {
        m_instruction.clear();
        s.destination = Destination::FieldInstruction;
    } else if (word == "fldrslt") {
        // A field's result: its text is the document's, a link when the field is one.
        if (s.destination == Destination::Text) {
            s.format.link = HyperlinkTarget(m_instruction);
            m_instruction.clear();
        }
    } else if (starred || std::binary_search(std::begin(kSkipped), std::end(kSkipped), word)) {
        s.destination = Destination::Skip;
    } else {
        return false;
    }
    return true;
}

void Reader::SkipBinary(long long length)
{
    if (length > 0)
        m_pos += std::min<std::size_t>(static_cast<std::size_t>(length), m_in.size() - m_pos);
}

void Reader::UnicodeWord(const Parameter& p)
{
    if (!p.present)
        return;
    const auto unit = static_cast<char16_t>(p.value < 0 ? p.value + 65536 : p.value);
    m_fallbackLeft = State().skipCount;
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
}

void Reader::Plain()
{
    // A link is the field's, not a character property that \plain could end.
    GroupState& s = State();
    std::string link = std::move(s.format.link);
    s.format = TextFormat{};
    s.format.link = std::move(link);
    s.font = -1;
}

void Reader::FontWord(const Parameter& p)
{
    GroupState& s = State();
    const auto font = m_fonts.find(Clamp(p.value, -1, 1 << 20));
    if (font != m_fonts.end()) {
        s.format.font = font->second.name;
        s.font = font->first;
    }
}

void Reader::ColourWord(const Parameter& p)
{
    const int index = Clamp(p.value, 0, 1 << 20);
    TextFormat& f = State().format;
    if (static_cast<std::size_t>(index) < m_colours.size() && m_colours[index] != kAutoColour)
        f.colour = m_colours[index];
    else
        f.colour.reset();
}

void Reader::FontEntryWord(const Parameter& p)
{
    m_fontInTable = Clamp(p.value, -1, 1 << 20);
    m_fontName.clear();
    m_fonts[m_fontInTable] = {};
}

void Reader::FontCodePage(int codePage)
{
    if (m_fontInTable >= 0)
        m_fonts[m_fontInTable].codePage = codePage;
}

void Reader::ColourPartWord(const Parameter& p, int shift)
{
    m_colour = m_colour.value_or(0) & ~(0xFFu << shift);
    *m_colour |= static_cast<std::uint32_t>(Clamp(p.value, 0, 255)) << shift;
}

int Reader::CurrentCodePage() const
{
    int index = m_stack.back().font >= 0 ? m_stack.back().font : m_defaultFont;
    if (m_stack.back().destination == Destination::FontTable)
        index = m_fontInTable;
    const auto font = m_fonts.find(index);
    return font != m_fonts.end() && font->second.codePage != 0 ? font->second.codePage : m_documentCodePage;
}

void Reader::EndFontName()
{
    if (m_fontInTable >= 0)
        m_fonts[m_fontInTable].name = m_fontName;
    m_fontName.clear();
}

void Reader::TextByte(unsigned char byte)
{
    switch (State().destination) {
    case Destination::Skip:
        return;
    case Destination::ColourTable:
        if (byte == ';') {
            m_colours.push_back(m_colour.value_or(kAutoColour));
            m_colour.reset();
        }
        return;
    case Destination::FontTable:
        if (byte == ';') {
            EndFontName();
            return;
        }
        break;
    default:
        break;
    }
    // Of the control bytes only the tab is text; line ends in the file are no line breaks.
    if (byte < 0x20 && byte != '\t')
        return;
    Character(DecodeByte(CurrentCodePage(), byte));
}

void Reader::Character(char32_t c)
{
    m_highSurrogate = 0;
    // Control characters have no place in the text; only tabs and line breaks are kept.
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F)
        return;
    switch (State().destination) {
    case Destination::Text:
        break;
    case Destination::FontTable:
        if (m_fontName.size() < kMaxFontName && c >= 0x20)
            AppendUtf8(m_fontName, c);
        return;
    case Destination::FieldInstruction:
        if (m_instruction.size() < kMaxInstruction && c >= 0x20)
            AppendUtf8(m_instruction, c);
        return;
    default:
        return;
    }
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
