// Building and flattening rich-text documents.
#include "contacts/rich_text.h"

void AppendText(Paragraph& paragraph, std::string_view text, const TextFormat& format)
{
    if (text.empty())
        return;
    if (!paragraph.runs.empty() && paragraph.runs.back().format == format)
        paragraph.runs.back().text.append(text);
    else
        paragraph.runs.push_back({std::string(text), format});
}

void Normalize(RichDocument& document)
{
    for (Paragraph& paragraph : document.paragraphs) {
        Paragraph merged;
        for (const TextRun& run : paragraph.runs)
            AppendText(merged, run.text, run.format);
        paragraph = std::move(merged);
    }
    if (document.paragraphs.empty())
        document.paragraphs.emplace_back();
}

std::string PlainText(const RichDocument& document)
{
    std::string out;
    for (std::size_t i = 0; i < document.paragraphs.size(); ++i) {
        const Paragraph& paragraph = document.paragraphs[i];
        for (const TextRun& run : paragraph.runs)
            out += run.text;
        const bool lastAndEmpty = i + 1 == document.paragraphs.size() && paragraph.runs.empty();
        if (!lastAndEmpty)
            out += '\n';
    }
    return out;
}
