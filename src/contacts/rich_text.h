// The contacts book's document: paragraphs of formatted runs, as much of rich text as the
// editor keeps and the file stores.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TextFormat
{
    std::string font;                     // family name; empty: the editor's own font
    int halfPoints = 0;                   // size in half points; 0: the editor's own size
    std::optional<std::uint32_t> colour;  // 0xRRGGBB; empty: the window text colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::string link;  // the address the text links to; empty: no link

    bool operator==(const TextFormat&) const = default;
};

// The editors' own size, 10 points: what a file says for text in the editors' 13-pixel font.
inline constexpr int kEditorHalfPoints = 20;

// Text is UTF-8; '\n' is a line break inside the paragraph and '\t' a tab.
struct TextRun
{
    std::string text;
    TextFormat format;

    bool operator==(const TextRun&) const = default;
};

struct Paragraph
{
    std::vector<TextRun> runs;

    bool operator==(const Paragraph&) const = default;
};

// Always at least one paragraph once built by the reader; an empty document is one empty paragraph.
struct RichDocument
{
    std::vector<Paragraph> paragraphs;

    bool operator==(const RichDocument&) const = default;
};

// Appends text in a format, merging it into the last run when the format is the same, so that
// equal documents have equal runs however they were built.
void AppendText(Paragraph& paragraph, std::string_view text, const TextFormat& format);

// Drops empty runs and merges neighbours of the same format.
void Normalize(RichDocument& document);

// The text without formatting: paragraphs and line breaks each end a line ('\n'), tabs stay.
// The last paragraph gets no line end of its own when it is empty.
std::string PlainText(const RichDocument& document);
