// RTF reading and writing: files in the forms older editors wrote, damaged files, and round
// trips of random documents through our own writer and reader.
#include "contacts/rtf_fields.h"
#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

namespace {

std::string Sample(const char* name)
{
    std::ifstream in(std::string(DNIARZ_RTF_SAMPLES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TextOf(std::string_view rtf)
{
    const auto document = ReadRtf(rtf);
    return document ? PlainText(*document) : "<not rtf>";
}

const TextRun* RunContaining(const RichDocument& document, std::string_view text)
{
    for (const Paragraph& paragraph : document.paragraphs)
        for (const TextRun& run : paragraph.runs)
            if (run.text.find(text) != std::string::npos)
                return &run;
    return nullptr;
}

// What reading our own file gives back: every run has a size there.
RichDocument WithSizes(RichDocument document)
{
    for (Paragraph& paragraph : document.paragraphs)
        for (TextRun& run : paragraph.runs)
            if (run.format.halfPoints == 0)
                run.format.halfPoints = kEditorHalfPoints;
    Normalize(document);
    return document;
}

}  // namespace

// \fcharset238 fonts in a file without \ansicpg: the bytes are Windows-1250 because of the font.
TEST(RtfReader, CentralEuropeanFontCharsetWithoutCodePage)
{
    const auto document = ReadRtf(Sample("charset238.rtf"));
    ASSERT_TRUE(document);
    EXPECT_EQ(PlainText(*document), "Kowalski Jan łódź, ul. Świętokrzyska 5\ntel. 42 123-45-67\tkom.\n");
    const TextRun* phone = RunContaining(*document, "tel.");
    ASSERT_TRUE(phone);
    EXPECT_TRUE(phone->format.bold);
    EXPECT_EQ(phone->format.colour, 0xFF0000u);
    EXPECT_EQ(phone->format.font, "Times New Roman CE");
    EXPECT_EQ(phone->format.halfPoints, 20);
    const TextRun* name = RunContaining(*document, "Kowalski");
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->format.bold);
    EXPECT_EQ(name->format.font, "Arial");
}

// \ansicpg1250 with \u and its fallback, a \uc2 group, and a character beyond the first plane;
// a file without \uc skips one fallback character after each \u, whether \'hh or plain.
TEST(RtfReader, UnicodeWithFallbackCounts)
{
    EXPECT_EQ(TextOf(Sample("unicode_uc1.rtf")), "Zając żółw\nПривет €\n你好😀\n");
    EXPECT_EQ(TextOf(Sample("unicode_default_uc.rtf")), "Zając żółw € Жx\n");
}

TEST(RtfReader, FieldsKeepTheirVisibleTextOnly)
{
    const auto document = ReadRtf(Sample("fields.rtf"));
    ASSERT_TRUE(document);
    EXPECT_EQ(PlainText(*document), "Strona: www.example.pl koniec\njan@example.pl\n");
    const TextRun* link = RunContaining(*document, "www.example.pl");
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->format.underline);
    EXPECT_EQ(link->format.colour, 0x0000FFu);
}

// HYPERLINK fields as other editors write them: quoted addresses with escapes and switches, an
// instruction split over groups, a result of several runs, fields that are no links.
TEST(RtfReader, HyperlinkFieldsLinkTheirResult)
{
    const auto document = ReadRtf(Sample("links.rtf"));
    ASSERT_TRUE(document);
    EXPECT_EQ(PlainText(*document), "Przychodnia: zapisy online (pon.–pt.)\ndo spisu i plik Łódź\n3 i ewa\n");
    std::vector<std::pair<std::string, std::string>> links;
    for (const Paragraph& paragraph : document->paragraphs)
        for (const TextRun& run : paragraph.runs)
            if (!run.format.link.empty())
                links.emplace_back(run.text, run.format.link);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"zapisy online", "https://www.example.pl/rejestracja?o=1&a=2"},
        {"plik ", "C:\\Dokumenty\\Łódź.doc#str2"},
        {"Łódź", "C:\\Dokumenty\\Łódź.doc#str2"},
        {"ewa", "mailto:ewa@example.pl"},
    };
    EXPECT_EQ(links, expected);
    const TextRun* shown = RunContaining(*document, "zapisy");
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->format.underline);
    EXPECT_EQ(shown->format.colour, 0x0563C1u);
    EXPECT_TRUE(RunContaining(*document, "plik")->format.bold);
    EXPECT_TRUE(RunContaining(*document, "Łódź")->format.italic);
}

TEST(RtfFields, HyperlinkTargetOfAnInstruction)
{
    EXPECT_EQ(HyperlinkTarget(R"( HYPERLINK "http://a.pl/x y" )"), "http://a.pl/x y");
    EXPECT_EQ(HyperlinkTarget(R"(HYPERLINK \o "podpowiedź" http://a.pl/)"), "http://a.pl/");
    EXPECT_EQ(HyperlinkTarget(R"(HYPERLINK "plik.doc" \l "rozdział 2" \t "_blank")"), "plik.doc#rozdział 2");
    EXPECT_EQ(HyperlinkTarget(R"(HYPERLINK "a\"b\\c")"), R"(a"b\c)");
    EXPECT_EQ(HyperlinkTarget(R"(HYPERLINK "cut short)"), "cut short");
    EXPECT_EQ(HyperlinkTarget(R"(HYPERLINK \l "tylko-zakładka")"), "");
    EXPECT_EQ(HyperlinkTarget(R"(PAGE \* MERGEFORMAT)"), "");
    EXPECT_EQ(HyperlinkTarget(""), "");
}

TEST(RtfReader, PicturesInformationAndUnknownDestinationsAreSkipped)
{
    EXPECT_EQ(TextOf(Sample("pictures.rtf")), "Przed obrazkiem.\nPo obrazkach.\nZa danymi.\nWidoczne\n");
}

TEST(RtfReader, DamagedFilesGiveWhatCouldBeRead)
{
    EXPECT_EQ(TextOf(Sample("cut.rtf")), "Obcięte w połowie\n");
    EXPECT_EQ(TextOf(Sample("unbalanced.rtf")), "Raz\n");
    EXPECT_TRUE(TextOf(Sample("huge_numbers.rtf")).starts_with("Du"));
    EXPECT_EQ(TextOf(Sample("deep.rtf")), "gleboko po\n");
    // A text editor's UTF-8 byte order mark in front of the header; losing the book to it would
    // mean the next save writes over every entry.
    EXPECT_EQ(TextOf("\xEF\xBB\xBF{\\rtf1 Zapisane z BOM}"), "Zapisane z BOM\n");
    EXPECT_EQ(TextOf("plain text, no rich text"), "<not rtf>");
    EXPECT_EQ(TextOf(""), "<not rtf>");
    EXPECT_EQ(TextOf("{\\rtf"), "");
    EXPECT_EQ(TextOf("{\\rtf1 \\'4"), "4\n");
    EXPECT_EQ(TextOf("{\\rtf1 a\\"), "a\n");
}

TEST(RtfReader, SymbolsAndSpecialCharacters)
{
    EXPECT_EQ(TextOf("{\\rtf1\\ansi a\\{b\\}c\\\\d\\~e\\line f\\emdash\\endash\\bullet"
                     "\\lquote\\rquote\\ldblquote\\rdblquote\\-g\r\nh}"),
              "a{b}c\\d\u00A0e\nf—–•‘’“”gh\n");
    // The default code page of \ansi is Windows-1252.
    EXPECT_EQ(TextOf("{\\rtf1\\ansi \\'80\\'e9\\'9c}"), "€éœ\n");
    EXPECT_EQ(TextOf("{\\rtf1\\ansi\\ansicpg1250 \\'80\\'e6\\'9c}"), "€ćś\n");
}

TEST(RtfReader, FormattingFollowsGroupsAndPlain)
{
    const auto document = ReadRtf("{\\rtf1 {\\b\\i\\ul\\strike a}b{\\b c\\b0 d}\\ul e\\ulnone f\\i g\\plain h}");
    ASSERT_TRUE(document);
    ASSERT_EQ(document->paragraphs.size(), 1u);
    const auto& runs = document->paragraphs[0].runs;
    std::string flags;
    for (const TextRun& run : runs)
        flags += run.text + ":" + (run.format.bold ? "B" : "") + (run.format.italic ? "I" : "")
                 + (run.format.underline ? "U" : "") + (run.format.strike ? "S" : "") + " ";
    EXPECT_EQ(flags, "a:BIUS b: c:B d: e:U f: g:I h: ");
}

// Readers that ignore \ansicpg take \u; readers without Unicode the Windows-1250 byte after it.
// Every run has its size, so that no reader falls back to 12 points after \plain.
TEST(RtfWriter, EveryCharacterBeyondAsciiIsUnicodeWithAWindows1250Fallback)
{
    TextFormat big;
    big.halfPoints = 28;
    RichDocument document{{Paragraph{{TextRun{"Zażółć gęślą jaźń € Ж 😀 {x}\\", {}}, TextRun{"Ą", big}}}}};
    const std::string rtf = WriteRtf(document);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1250\\deff0\\uc1")) << rtf;
    EXPECT_NE(
        rtf.find("\\plain\\fs20 Za\\u380\\'bf\\u243\\'f3\\u322\\'b3\\u263\\'e6 g\\u281\\'ea\\u347\\'9cl\\u261\\'b9 "
                 "ja\\u378\\'9f\\u324\\'f1 \\u8364\\'80 \\u1046? \\u-10179?\\u-8704? \\{x\\}\\\\"
                 "\\plain\\fs28\\u260\\'a5"),
        std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\fcharset238 Arial;"), std::string::npos);
    for (const char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is seven-bit text";

    TextFormat odd;
    odd.font = "Semi;colon Łódź";
    const auto back = ReadRtf(WriteRtf(RichDocument{{Paragraph{{TextRun{"x", odd}}}}}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->paragraphs[0].runs[0].format.font, "Semicolon Łódź");
    EXPECT_EQ(back->paragraphs[0].runs[0].text, "x");
}

TEST(RtfWriter, LinksAreHyperlinkFieldsAroundTheirRuns)
{
    TextFormat link;
    link.link = "https://example.pl/a\"b\\c";
    TextFormat boldLink = link;
    boldLink.bold = true;
    const RichDocument document{{Paragraph{
        {TextRun{"strona ", {}}, TextRun{"przy", link}, TextRun{"chodni", boldLink}, TextRun{" koniec", {}}}}}};
    const std::string rtf = WriteRtf(document);
    EXPECT_NE(rtf.find("\\plain{\\field{\\*\\fldinst{HYPERLINK \"https://example.pl/a\\\\\"b\\\\\\\\c\"}}{\\fldrslt{"
                       "{\\fs20 przy}{\\fs20\\b chodni}}}}\\plain\\fs20  koniec"),
              std::string::npos)
        << rtf;
    const auto back = ReadRtf(rtf);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, WithSizes(document));
}

// Random documents with Polish letters, characters outside Windows-1250, tabs, line breaks and
// links survive writing and reading unchanged.
TEST(RtfRoundTrip, RandomDocuments)
{
    const std::vector<std::string> pieces{"a",  "Z",  " ", "ą", "Ł",  "ż", "Ś", "ó", "€", "Ж", "你", "😀",
                                          "\t", "\n", "{", "}", "\\", ";", "?", "0", "é", "Œ", "ß",  "ę"};
    const std::vector<std::string> fonts{"", "Arial", "Times New Roman", "Zażółć Sans", "Courier New"};
    const std::vector<std::string> links{"", "", "http://example.pl/", "mailto:ewa@example.pl", "C:\\Ł \"ó\""};
    std::mt19937 random(20241207);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    for (int trial = 0; trial < 300; ++trial) {
        RichDocument document;
        const std::size_t paragraphs = 1 + pick(5);
        for (std::size_t p = 0; p < paragraphs; ++p) {
            Paragraph paragraph;
            for (std::size_t r = pick(4); r > 0; --r) {
                TextRun run;
                for (std::size_t n = 1 + pick(12); n > 0; --n)
                    run.text += pieces[pick(pieces.size())];
                run.format.font = fonts[pick(fonts.size())];
                run.format.halfPoints = pick(3) == 0 ? 0 : static_cast<int>(8 + pick(60));
                if (pick(2))
                    run.format.colour = static_cast<std::uint32_t>(pick(0x1000000));
                run.format.bold = pick(2);
                run.format.italic = pick(2);
                run.format.underline = pick(2);
                run.format.strike = pick(2);
                run.format.link = links[pick(links.size())];
                paragraph.runs.push_back(run);
            }
            document.paragraphs.push_back(paragraph);
        }
        Normalize(document);
        const std::string rtf = WriteRtf(document);
        const auto back = ReadRtf(rtf);
        ASSERT_TRUE(back);
        ASSERT_EQ(*back, WithSizes(document)) << "trial " << trial << ":\n" << rtf;
    }
}

TEST(RichText, PlainTextEndsEveryParagraphAndKeepsLineBreaksAndTabs)
{
    RichDocument document{{Paragraph{{TextRun{"a\tb\nc", {}}}}, Paragraph{}, Paragraph{{TextRun{"d", {}}}}}};
    EXPECT_EQ(PlainText(document), "a\tb\nc\n\nd\n");
    document.paragraphs.emplace_back();
    EXPECT_EQ(PlainText(document), "a\tb\nc\n\nd\n");
}
