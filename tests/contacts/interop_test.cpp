// Interchange with other rich-text programs: RTF written by pandoc reads into the text pandoc
// itself gives as plain text, and pandoc reads our RTF back into our text. Skipped where pandoc
// is not installed.
#include "../platform/temp_dir.h"
#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"
#include "platform/linux/process_spawn.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace std::chrono_literals;

std::optional<std::string> Pandoc(std::vector<std::string> args)
{
    args.insert(args.begin(), "pandoc");
    return CaptureOutput(args, 60s);
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

// Pandoc's RTF reader takes every \'hh as Windows-1252 whatever the code page, and drops the blank
// after a \u fallback, so only the structure and the escapes are compared here; LibreOffice,
// which honours the code page, is the check for the Polish letters.
TEST(PandocInterop, PandocReadsOurRtfStructureAndEscapes)
{
    if (!Pandoc({"--version"}))
        GTEST_SKIP() << "pandoc is not installed";
    TextFormat bold;
    bold.bold = true;
    TextFormat coloured;
    coloured.colour = 0x0000FF;
    coloured.font = "Times New Roman";
    coloured.halfPoints = 28;
    const RichDocument book{{
        Paragraph{{TextRun{"Kowalski Jan", bold}, TextRun{", ul. Dluga 5, Lodz", {}}}},
        Paragraph{{TextRun{"tel. 42 123 45 67", coloured}}},
        Paragraph{{TextRun{"{nawias} \\ ukosnik; www.example.pl", {}}}},
        Paragraph{},
        Paragraph{{TextRun{"koniec", {}}}},
    }};
    TempDir dir;
    const auto file = dir.Path() / "tel.rtf";
    std::ofstream(file, std::ios::binary) << WriteRtf(book);
    const auto plain = Pandoc({"-f", "rtf", "-t", "plain", "--wrap=none", file.string()});
    ASSERT_TRUE(plain);
    EXPECT_EQ(TextLines(*plain), TextLines(PlainText(book)));
}
