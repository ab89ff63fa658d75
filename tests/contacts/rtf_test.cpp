// RTF reading and writing: files in the forms older editors wrote, damaged files, and round
// trips of random documents through our own writer and reader.
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

// \ansicpg1250 with \u and its fallback, a \uc2 group, and a character beyond the first plane.
TEST(RtfReader, UnicodeWithFallbackCounts)
{
    EXPECT_EQ(TextOf(Sample("unicode_uc1.rtf")), "Zając żółw\nПривет €\n你好😀\n");
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

TEST(RtfWriter, PolishTextIsWindows1250AndTheRestUnicode)
{
    RichDocument document{{Paragraph{{TextRun{"Zażółć gęślą jaźń € Ж 😀 {x}\\", {}}}}}};
    const std::string rtf = WriteRtf(document);
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1250")) << rtf;
    EXPECT_NE(
        rtf.find(
            "Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9 ja\\'9f\\'f1 \\'80 \\u1046? \\u-10179?\\u-8704? \\{x\\}\\\\"),
        std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\fcharset238 Arial;"), std::string::npos);
    for (const char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is seven-bit text";

    TextFormat odd;
    odd.font = "Semi;colon";
    const auto back = ReadRtf(WriteRtf(RichDocument{{Paragraph{{TextRun{"x", odd}}}}}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->paragraphs[0].runs[0].format.font, "Semicolon");
    EXPECT_EQ(back->paragraphs[0].runs[0].text, "x");
}

// Random documents with Polish letters, characters outside Windows-1250, tabs and line breaks
// survive writing and reading unchanged.
TEST(RtfRoundTrip, RandomDocuments)
{
    const std::vector<std::string> pieces{"a",  "Z",  " ", "ą", "Ł",  "ż", "Ś", "ó", "€", "Ж", "你", "😀",
                                          "\t", "\n", "{", "}", "\\", ";", "?", "0", "é", "Œ", "ß",  "ę"};
    const std::vector<std::string> fonts{"", "Arial", "Times New Roman", "Zażółć Sans", "Courier New"};
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
                paragraph.runs.push_back(run);
            }
            document.paragraphs.push_back(paragraph);
        }
        Normalize(document);
        const std::string rtf = WriteRtf(document);
        const auto back = ReadRtf(rtf);
        ASSERT_TRUE(back);
        ASSERT_EQ(*back, document) << "trial " << trial << ":\n" << rtf;
    }
}

TEST(RichText, PlainTextEndsEveryParagraphAndKeepsLineBreaksAndTabs)
{
    RichDocument document{{Paragraph{{TextRun{"a\tb\nc", {}}}}, Paragraph{}, Paragraph{{TextRun{"d", {}}}}}};
    EXPECT_EQ(PlainText(document), "a\tb\nc\n\nd\n");
    document.paragraphs.emplace_back();
    EXPECT_EQ(PlainText(document), "a\tb\nc\n\nd\n");
}
