// Interchange with other rich-text programs: RTF written by pandoc reads into the text pandoc
// itself gives as plain text, and pandoc and LibreOffice read our RTF into our text, Polish
// letters and links included. Each is skipped where its program is not installed.
#include "../platform/temp_dir.h"
#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"
#include "platform/linux/process_spawn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using namespace std::chrono_literals;

std::optional<std::string> Pandoc(std::vector<std::string> args)
{
    args.insert(args.begin(), "pandoc");
    return CaptureOutput(args, 60s);
}

// LibreOffice converts `file` into `format` (a filter name LibreOffice knows) beside it, with a
// profile of its own in `dir`; the converted file's contents, or nothing when it failed.
std::optional<std::string> LibreOfficeConvert(const std::filesystem::path& dir, const std::filesystem::path& file,
                                              const std::string& format, const std::string& extension)
{
    const auto out = dir / ("out-" + extension);
    if (!CaptureOutput({"soffice", "-env:UserInstallation=file://" + (dir / "profile").string(), "--headless",
                        "--convert-to", format, "--outdir", out.string(), file.string()},
                       180s))
        return std::nullopt;
    std::ifstream in(out / (file.stem().string() + "." + extension), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text(std::istreambuf_iterator<char>(in), {});
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
    return text;
}

bool LibreOfficeInstalled()
{
    return CaptureOutput({"soffice", "--version"}, 60s).has_value();
}

// A book as users keep it: every Polish letter in both cases, runs in other fonts and sizes,
// characters beyond Windows-1250, a tab, a line break and a link whose text is no address.
RichDocument PolishBook()
{
    TextFormat bold;
    bold.bold = true;
    TextFormat coloured;
    coloured.colour = 0x0000FF;
    coloured.font = "Liberation Serif";
    coloured.halfPoints = 28;
    TextFormat link;
    link.link = "https://www.example.pl/rejestracja";
    link.underline = true;
    return RichDocument{{
        Paragraph{{TextRun{"Wójcik-Żółkiewska Małgorzata", bold}, TextRun{", ul. Świętokrzyska 5, Łódź", {}}}},
        Paragraph{{TextRun{"tel. 42 123 45 67\tkom. 600 700 800", coloured}}},
        Paragraph{{TextRun{"zażółć gęślą jaźń\nZAŻÓŁĆ GĘŚLĄ JAŹŃ € „cudzysłów” Ελλάδα", {}}}},
        Paragraph{{TextRun{"Przychodnia: ", {}}, TextRun{"zapisy przez sieć", link}, TextRun{" (pon.–pt.)", {}}}},
        Paragraph{},
        Paragraph{{TextRun{"{nawias} \\ ukośnik; koniec", {}}}},
    }};
}

// The lines with text, without their trailing blanks: paragraph spacing is each program's own.
std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

const char* const kMarkdown =
    "# Spis kontaktów\n\n"
    "**Kowalski Jan**, ul. Świętokrzyska 5, Łódź — tel. 42 123 45 67\n\n"
    "*Nowak Ewa* – przychodnia, www.example.pl/rejestracja, jan@example.pl\n\n"
    "Zażółć gęślą jaźń. ZAŻÓŁĆ GĘŚLĄ JAŹŃ. Grüße, Ελλάδα, Привет, 你好, 😀 € ™ „cudzysłów”.\n\n"
    "Linia pierwsza\\\nlinia druga {w nawiasach} i \\\\ ukośnik\n";

}  // namespace

TEST(PandocInterop, PandocRtfReadsIntoPandocsPlainText)
{
    if (!Pandoc({"--version"}))
        GTEST_SKIP() << "pandoc is not installed";
    TempDir dir;
    const auto source = dir.Path() / "kontakty.md";
    std::ofstream(source) << kMarkdown;
    const auto rtf = Pandoc({"-s", "-f", "markdown", "-t", "rtf", source.string()});
    const auto plain = Pandoc({"-f", "markdown", "-t", "plain", "--wrap=none", source.string()});
    ASSERT_TRUE(rtf && plain);
    const auto document = ReadRtf(*rtf);
    ASSERT_TRUE(document);
    EXPECT_EQ(TextLines(PlainText(*document)), TextLines(*plain));
}

// Pandoc reads the \u of every letter; its own fault of dropping a blank after a '?' fallback
// is kept out of the way by the text, and its plain text has a blank for a tab.
TEST(PandocInterop, PandocReadsOurPolishLettersAndLinks)
{
    if (!Pandoc({"--version"}))
        GTEST_SKIP() << "pandoc is not installed";
    const RichDocument book = PolishBook();
    TempDir dir;
    const auto file = dir.Path() / "tel.rtf";
    std::ofstream(file, std::ios::binary) << WriteRtf(book);
    const auto plain = Pandoc({"-f", "rtf", "-t", "plain", "--wrap=none", file.string()});
    const auto html = Pandoc({"-f", "rtf", "-t", "html", file.string()});
    ASSERT_TRUE(plain && html);
    std::string expected = PlainText(book);
    std::replace(expected.begin(), expected.end(), '\t', ' ');
    EXPECT_EQ(TextLines(*plain), TextLines(expected));
    EXPECT_NE(html->find("href=\"https://www.example.pl/rejestracja\""), std::string::npos) << *html;
}

TEST(LibreOfficeInterop, LibreOfficeReadsOurPolishLettersAndLinks)
{
    if (!LibreOfficeInstalled())
        GTEST_SKIP() << "LibreOffice is not installed";
    const RichDocument book = PolishBook();
    TempDir dir;
    const auto file = dir.Path() / "tel.rtf";
    std::ofstream(file, std::ios::binary) << WriteRtf(book);
    const auto text = LibreOfficeConvert(dir.Path(), file, "txt:Text (encoded):UTF8", "txt");
    const auto html = LibreOfficeConvert(dir.Path(), file, "html", "html");
    ASSERT_TRUE(text && html);
    EXPECT_EQ(TextLines(*text), TextLines(PlainText(book)));
    EXPECT_NE(html->find("href=\"https://www.example.pl/rejestracja\""), std::string::npos) << *html;
}
