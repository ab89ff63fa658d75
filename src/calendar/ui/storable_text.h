// Note editors show only what the Windows-1250 notes file can keep, and say what they dropped.
#pragma once

#include <QLabel>
#include <QTextCursor>

#include <string>
#include <vector>

class QPlainTextEdit;

// A character the notes file cannot hold, and where its "?" now stands in the editor.
struct DroppedCharacter
{
    std::string character;  // UTF-8
    int position = 0;
};

// Replaces every character of `memo` that the notes file cannot hold by "?", in place, so that the
// cursor stays after the same character and the editor's undo goes on; emits no textChanged, so it
// is safe inside a textChanged handler. Returns each character replaced, in the text's order
// (empty when nothing changed).
std::vector<DroppedCharacter> ShowOnlyStorableText(QPlainTextEdit* memo);

// A line under a note editor that keeps the editor storable as the user types or pastes and names,
// once, the characters that became "?" and are still there, until the note is saved: the file is read by other
// programs in Windows-1250 and cannot take them.
class UnstorableNotice final : public QLabel
{
    Q_OBJECT

public:
    // Hidden until something is dropped; the caller places it under `memo`.
    UnstorableNotice(QPlainTextEdit* memo, QWidget* parent);

    // Another note is shown, or this one saved: what it lost is no longer news.
    void Clear();
    const std::vector<std::string>& Dropped() const { return m_dropped; }
    // The whole notice; the label shows as much as fits and the rest in its tooltip.
    QString FullText() const;

private:
    void MemoChanged();
    void ShowText();

    // The "?" standing for a dropped character: the notice names a character while one of its
    // "?" is still in the text.
    struct Mark
    {
        std::string character;
        QTextCursor at;  // selects the "?"
    };

    QPlainTextEdit* m_memo;
    std::vector<std::string> m_dropped;
    std::vector<Mark> m_marks;
};
