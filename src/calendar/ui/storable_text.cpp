// Keeping a note editor's text storable.
#include "calendar/ui/storable_text.h"

#include "text/cp1250.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextDocument>

#include <algorithm>

std::vector<DroppedCharacter> ShowOnlyStorableText(QPlainTextEdit* memo)
{
    const QString text = memo->toPlainText();
    struct Found
    {
        int at, length;
        std::string character;
    };
    std::vector<Found> found;
    for (int i = 0; i < text.size();) {
        // A character outside the basic plane takes two places in the editor; a lone half of a
        // pair is no character and cannot be kept either.
        const int length = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        std::string character = text.mid(i, length).toStdString();
        if (!UnstorableCharacters(character).empty())
            found.push_back({i, length, std::move(character)});
        i += length;
    }
    std::vector<DroppedCharacter> dropped;
    if (found.empty())
        return dropped;
    // Each one replaced where it stands, from the end so that the places before stay: the
    // editor's cursor, its undo and the places of earlier "?" move with the text.
    const QSignalBlocker blocker(memo);
    QTextCursor edit(memo->document());
    edit.beginEditBlock();
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        edit.setPosition(it->at);
        edit.setPosition(it->at + it->length, QTextCursor::KeepAnchor);
        edit.insertText(QStringLiteral("?"));
    }
    edit.endEditBlock();
    int shift = 0;
    for (Found& f : found) {
        dropped.push_back({std::move(f.character), f.at - shift});
        shift += f.length - 1;
    }
    return dropped;
}

UnstorableNotice::UnstorableNotice(QPlainTextEdit* memo, QWidget* parent) : QLabel(parent), m_memo(memo)
{
    setObjectName(QStringLiteral("UnstorableNotice"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
    setPalette(palette);
    hide();
    connect(memo, &QPlainTextEdit::textChanged, this, &UnstorableNotice::MemoChanged);
}

void UnstorableNotice::Clear()
{
    m_dropped.clear();
    m_marks.clear();
    hide();
}

QString UnstorableNotice::FullText() const
{
    QString text = QStringLiteral("Notatka nie zachowa znaków (są jako „?”):");
    for (const std::string& character : m_dropped)
        text += QLatin1Char(' ') + QString::fromStdString(character);
    return text;
}

void UnstorableNotice::MemoChanged()
{
    QTextDocument* document = m_memo->document();
    for (DroppedCharacter& character : ShowOnlyStorableText(m_memo)) {
        // A cursor over the "?" follows it as the text before it changes, and closes up when the
        // "?" itself is deleted.
        QTextCursor mark(document);
        mark.setPosition(character.position);
        mark.setPosition(character.position + 1, QTextCursor::KeepAnchor);
        m_marks.push_back({std::move(character.character), mark});
    }
    std::erase_if(m_marks, [document](const Mark& mark) {
        return !mark.at.hasSelection() || document->characterAt(mark.at.selectionStart()) != QLatin1Char('?');
    });
    std::vector<std::string> dropped;
    for (const Mark& mark : m_marks)
        if (std::find(dropped.begin(), dropped.end(), mark.character) == dropped.end())
            dropped.push_back(mark.character);
    if (dropped == m_dropped)
        return;
    m_dropped = std::move(dropped);
    if (m_dropped.empty())
        hide();
    else
        ShowText();
}

void UnstorableNotice::ShowText()
{
    const QString full = FullText();
    setText(fontMetrics().elidedText(full, Qt::ElideRight, width()));
    setToolTip(full);
    show();
}
