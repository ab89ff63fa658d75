// Note editors show only what the Windows-1250 notes file can keep, and say what they dropped.
#pragma once

#include <QLabel>

#include <string>
#include <vector>

class QPlainTextEdit;

// Replaces every character of `memo` that the notes file cannot hold by "?", keeping the cursor
// after the same character; emits no textChanged, so it is safe inside a textChanged handler.
// Returns the characters replaced, each once (empty when nothing changed).
std::vector<std::string> ShowOnlyStorableText(QPlainTextEdit* memo);

// A line under a note editor that keeps the editor storable as the user types or pastes and names,
// once, the characters that became "?", before the note is saved: the file is read by other
// programs in Windows-1250 and cannot take them.
class UnstorableNotice final : public QLabel
{
    Q_OBJECT

public:
    // Hidden until something is dropped; the caller places it under `memo`.
    UnstorableNotice(QPlainTextEdit* memo, QWidget* parent);

    // Another note is shown: what the previous one lost is no longer news.
    void Clear();
    const std::vector<std::string>& Dropped() const { return m_dropped; }
    // The whole notice; the label shows as much as fits and the rest in its tooltip.
    QString FullText() const;

private:
    void MemoChanged();
    void ShowText();

    QPlainTextEdit* m_memo;
    std::vector<std::string> m_dropped;
};
