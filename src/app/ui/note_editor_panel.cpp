// The note editor's controls.
#include "app/ui/note_editor_panel.h"

#include "app/ui/show_error.h"
#include "app/ui/speed_button.h"
#include "calendar/note_editor.h"
#include "calendar/ui/storable_text.h"
#include "clock/local_time.h"
#include "ui_support/fonts.h"
#include "ui_support/named.h"
#include "ui_support/qt_text.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

NoteEditorPanel::NoteEditorPanel(QWidget* form, NoteEditor& editor, SystemClock& clock)
    : QObject(form), m_form(form), m_editor(editor), m_clock(clock)
{
    RadioGroup = Named(new QGroupBox(QStringLiteral("Typ notatki"), form), "RadioGroup");
    // The style draws the title above the frame: the group is as tall as the title, the frame and
    // the buttons inside it need, between the grids above and the note label below.
    RadioGroup->setGeometry(272, 200, 293, 42);
    RadioDate = Named(new QRadioButton(QStringLiteral("Konkretna data"), RadioGroup), "RadioDate");
    RadioDate->setChecked(true);
    RadioYearly = Named(new QRadioButton(QStringLiteral("Coroczna"), RadioGroup), "RadioYearly");
    // Two equal columns inside the frame, wherever the style draws it.
    auto* items = new QHBoxLayout(RadioGroup);
    items->setContentsMargins(8, 0, 8, 0);
    items->addWidget(RadioDate, 1);
    items->addWidget(RadioYearly, 1);

    Label1 = NamedLabel(form, "Label1", QStringLiteral("Brak notatki"), {272, 244});
    ldt = NamedLabel(form, "ldt", {}, {384, 244}, {181, 14});
    ldt->setFont(SansFont(11, true));

    Memo = NamedAt(new QPlainTextEdit(form), "Memo", {272, 264, 293, 125});
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Notes often hold small tables: Tab types a tab instead of leaving the editor, and Ctrl+Tab
    // leaves it, so that the keyboard is never caught there.
    Memo->setTabChangesFocus(false);
    Memo->installEventFilter(this);
    Memo->setAccessibleName(QStringLiteral("Treść notatki"));
    // What the notes file cannot hold turns into "?" as it is typed or pasted, and the gap
    // between the editor and the buttons names it.
    m_unstorable = new UnstorableNotice(Memo, form);
    m_unstorable->setGeometry(272, 390, 293, 13);

    Zachowaj = FlatButton(form, "Zachowaj", QStringLiteral("Zachowaj"), {272, 404, 81, 22},
                          QStringLiteral("Zachowanie notatki"), Glyph::Save);
    Anuluj = FlatButton(form, "Anuluj", QStringLiteral("Anuluj"), {378, 404, 81, 22},
                        QStringLiteral("Anulowanie zmian w notatce"), Glyph::Cancel);
    Wykasuj = FlatButton(form, "Wykasuj", QStringLiteral("Wykasuj"), {484, 404, 81, 22},
                         QStringLiteral("Wykasowanie zawartości notatki"), Glyph::Erase);
    ConnectNoteEditor();
}

bool NoteEditorPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Memo || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers() & Qt::ControlModifier;
    if (!control || (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab))
        return false;
    // As Tab would move outside the editor: the next control of the window that takes Tab.
    const bool forward = key->key() == Qt::Key_Tab;
    QWidget* next = Memo;
    do {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    } while (next != Memo
             && !((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled()
                  && next->window() == m_form->window()));
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void NoteEditorPanel::ConnectNoteEditor()
{
    connect(Memo, &QPlainTextEdit::textChanged, this, &NoteEditorPanel::MemoChanged);
    connect(Zachowaj, &SpeedButton::clicked, this, [this] {
        Guarded(m_form, [this] { m_editor.ZachowajClick(LocalNow(m_clock)); });
        // Saved, the "?" are the note's own text: nothing is left to warn of.
        if (!m_editor.Modified())
            m_unstorable->Clear();
        ShowEditorState();
    });
    connect(Anuluj, &SpeedButton::clicked, this, [this] {
        m_editor.AnulujClick();
        ShowEditorState();
    });
    connect(Wykasuj, &SpeedButton::clicked, this, [this] {
        m_editor.WykasujClick();
        ShowEditorState();
    });
    for (int item : {NoteEditor::kDateNote, NoteEditor::kYearlyNote}) {
        QRadioButton* button = item == NoteEditor::kDateNote ? RadioDate : RadioYearly;
        connect(button, &QRadioButton::clicked, this, [this, item] {
            // A click on the item already chosen changes nothing, so it saves nothing either.
            if (item == m_editor.RadioIndex())
                return;
            Guarded(m_form, [this, item] { m_editor.RadioGroupClick(item, LocalNow(m_clock)); });
            ShowEditorState();
        });
    }
}

void NoteEditorPanel::MemoChanged()
{
    if (m_showingEditor)
        return;
    // The notice has already turned what the notes file cannot hold into "?", as the editor keeps it.
    m_editor.TextEdited(Memo->toPlainText().toStdString());
}

void NoteEditorPanel::ShowEditorState()
{
    m_showingEditor = true;
    const QString text = FromText(m_editor.Text());
    if (Memo->toPlainText() != text) {
        Memo->setPlainText(text);
        m_unstorable->Clear();
    }
    Memo->setReadOnly(m_editor.ReadOnly());
    m_showingEditor = false;
    // Both notes shown together select no type until the user picks one.
    RadioDate->setAutoExclusive(false);
    RadioYearly->setAutoExclusive(false);
    RadioDate->setChecked(m_editor.RadioIndex() == NoteEditor::kDateNote);
    RadioYearly->setChecked(m_editor.RadioIndex() == NoteEditor::kYearlyNote);
    RadioDate->setAutoExclusive(true);
    RadioYearly->setAutoExclusive(true);
    ldt->setText(FromText(m_editor.Ldt()));
    Label1->setText(FromText(m_editor.Label1()));
    Label1->adjustSize();
}
