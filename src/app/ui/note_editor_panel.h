// The note editor under the small grids: the note type, the note's caption and date, the memo and
// its three buttons, over the editor's logic (NoteEditor). Its controls sit on the main window.
#pragma once

#include <QObject>

class NoteEditor;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QWidget;
class SpeedButton;
class SystemClock;
class UnstorableNotice;

class NoteEditorPanel : public QObject
{
    Q_OBJECT
public:
    NoteEditorPanel(QWidget* form, NoteEditor& editor, SystemClock& clock);

    // The memo, the note type and the captions from the editor's state.
    void ShowEditorState();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectNoteEditor();
    void MemoChanged();

    QWidget* m_form;
    NoteEditor& m_editor;
    SystemClock& m_clock;
    bool m_showingEditor = false;  // the memo is being filled from the editor, not typed into

    // The controls keep their established names, which are also their object names.
    QGroupBox* RadioGroup = nullptr;
    QRadioButton* RadioDate = nullptr;    // "Konkretna data", item 0
    QRadioButton* RadioYearly = nullptr;  // "Coroczna", item 1
    QLabel* Label1 = nullptr;
    QLabel* ldt = nullptr;
    QPlainTextEdit* Memo = nullptr;
    SpeedButton* Zachowaj = nullptr;
    SpeedButton* Anuluj = nullptr;
    SpeedButton* Wykasuj = nullptr;
    // Under Memo: what the notes file cannot keep.
    UnstorableNotice* m_unstorable = nullptr;
};
