// Keeping a note editor's text storable.
#include "calendar/ui/storable_text.h"

#include "text/cp1250.h"

#include <QPlainTextEdit>
#include <QSignalBlocker>

bool ShowOnlyStorableText(QPlainTextEdit* memo)
{
    const QString text = memo->toPlainText();
    const std::string utf8 = text.toStdString();
    const std::string storable = MakeCp1250Safe(utf8);
    if (storable == utf8)
        return false;
    // A character outside the basic plane takes two places in the editor but becomes a one-place
    // "?", so the cursor is counted again over the converted text before it.
    const int position = memo->textCursor().position();
    const int newPosition = static_cast<int>(
        QString::fromStdString(MakeCp1250Safe(text.left(position).toStdString())).size());
    const QSignalBlocker blocker(memo);
    memo->setPlainText(QString::fromStdString(storable));
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(newPosition);
    memo->setTextCursor(cursor);
    return true;
}
