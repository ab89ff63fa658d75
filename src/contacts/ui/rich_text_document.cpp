// Conversions between the contacts document and QTextDocument.
#include "contacts/ui/rich_text_document.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace {

constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kObjectReplacement = 0xFFFC;

}  // namespace

QTextCharFormat ToCharFormat(const TextFormat& format)
{
    QTextCharFormat out;
    if (!format.font.empty())
        out.setFontFamilies(QStringList{QString::fromStdString(format.font)});
    if (format.halfPoints > 0)
        out.setFontPointSize(format.halfPoints / 2.0);
    if (format.colour) {
        const std::uint32_t c = *format.colour;
        out.setForeground(
            QColor(static_cast<int>(c >> 16 & 0xFF), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c & 0xFF)));
    }
    if (format.bold)
        out.setFontWeight(QFont::Bold);
    if (format.italic)
        out.setFontItalic(true);
    if (format.underline)
        out.setFontUnderline(true);
    if (format.strike)
        out.setFontStrikeOut(true);
    if (!format.link.empty()) {
        out.setAnchor(true);
        out.setAnchorHref(QString::fromStdString(format.link));
    }
    return out;
}

TextFormat FromCharFormat(const QTextCharFormat& format)
{
    TextFormat out;
    if (format.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = format.fontFamilies().toStringList();
        if (!families.isEmpty())
            out.font = families.front().toStdString();
    }
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        out.halfPoints = static_cast<int>(std::lround(format.fontPointSize() * 2));
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush) {
        const QColor c = format.foreground().color();
        out.colour = static_cast<std::uint32_t>(c.red()) << 16 | static_cast<std::uint32_t>(c.green()) << 8
                     | static_cast<std::uint32_t>(c.blue());
    }
    out.bold = format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() > QFont::Medium;
    out.italic = format.fontItalic();
    out.underline = format.fontUnderline();
    out.strike = format.fontStrikeOut();
    if (format.isAnchor())
        out.link = format.anchorHref().toStdString();
    return out;
}

void FillDocument(QTextDocument& target, const RichDocument& source)
{
    // Loading is no edit the user could undo, and one edit block lays the text out only once.
    const bool undo = target.isUndoRedoEnabled();
    target.setUndoRedoEnabled(false);
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const Paragraph& paragraph : source.paragraphs) {
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        first = false;
        for (const TextRun& run : paragraph.runs) {
            QString text = QString::fromStdString(run.text);
            text.replace(QLatin1Char('\n'), QChar(kLineSeparator));
            cursor.insertText(text, ToCharFormat(run.format));
        }
    }
    cursor.endEditBlock();
    target.setUndoRedoEnabled(undo);
}

RichDocument ToRichDocument(const QTextDocument& source)
{
    RichDocument out;
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        Paragraph paragraph;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            QString text = fragment.text();
            text.remove(QChar(kObjectReplacement));
            text.replace(QChar(kLineSeparator), QLatin1Char('\n'));
            AppendText(paragraph, text.toStdString(), FromCharFormat(fragment.charFormat()));
        }
        out.paragraphs.push_back(std::move(paragraph));
    }
    Normalize(out);
    return out;
}
