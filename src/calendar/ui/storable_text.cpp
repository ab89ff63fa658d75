// Keeping a note editor's text storable.
#include "calendar/ui/storable_text.h"

#include "text/cp1250.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <algorithm>

std::vector<std::string> ShowOnlyStorableText(QPlainTextEdit* memo)
{
    const QString text = memo->toPlainText();
    const std::string utf8 = text.toStdString();
    std::vector<std::string> dropped = UnstorableCharacters(utf8);
    if (dropped.empty())
        return dropped;
    // A character outside the basic plane takes two places in the editor but becomes a one-place
    // "?", so the cursor is counted again over the converted text before it.
    const int position = memo->textCursor().position();
    const int newPosition = static_cast<int>(
        QString::fromStdString(MakeCp1250Safe(text.left(position).toStdString())).size());
    const QSignalBlocker blocker(memo);
    memo->setPlainText(QString::fromStdString(MakeCp1250Safe(utf8)));
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(newPosition);
    memo->setTextCursor(cursor);
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
    bool added = false;
    for (std::string& character : ShowOnlyStorableText(m_memo)) {
        if (std::find(m_dropped.begin(), m_dropped.end(), character) == m_dropped.end()) {
            m_dropped.push_back(std::move(character));
            added = true;
        }
    }
    if (added)
        ShowText();
}

void UnstorableNotice::ShowText()
{
    const QString full = FullText();
    setText(fontMetrics().elidedText(full, Qt::ElideRight, width()));
    setToolTip(full);
    show();
}
