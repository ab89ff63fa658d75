// The multi-day note dialog.
#include "calendar/ui/multi_day_dialog.h"

#include "ui_support/form_pos_keeper.h"
#include "ui_support/message_box.h"
#include "ui_support/named.h"
#include "calendar/ui/storable_text.h"
#include "ui_support/fonts.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

Twiele::Twiele(TDateTime anchor, TDateTime clicked, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_anchor(anchor), m_clicked(clicked)
{
    setObjectName(QStringLiteral("Twiele"));
    setWindowTitle(QStringLiteral("Przypisanie notatki do wielu dni"));
    setFixedSize(329, 311);
    // A dialog does not inherit its parent window's font, and the fixed places below are measured
    // for this one.
    setFont(WindowFont());

    auto* caption = Named(new QLabel(QStringLiteral("Wybrane dni:"), this), "LabelWybrane");
    caption->move(24, 16);
    caption->adjustSize();
    lwybor = Named(new QLabel(QString::fromStdString(RangeText(anchor, clicked)), this), "lwybor");
    QFont bold = lwybor->font();
    bold.setBold(true);
    lwybor->setFont(bold);
    lwybor->move(100, 16);
    lwybor->adjustSize();

    auto* group = NamedAt(new QGroupBox(QStringLiteral("Rodzaj operacji"), this), "RodzajOperacji", {20, 48, 289, 69});
    RadioAdd = Named(new QRadioButton(QStringLiteral("Dopisanie notatki do wybranych dni"), group), "RadioAdd");
    RadioAdd->setChecked(true);
    RadioAssign = Named(new QRadioButton(QStringLiteral("Przypisanie notatki do wybranych dni"), group), "RadioAssign");
    // The style decides where its title ends and the frame's inside begins; the layout keeps the
    // buttons there.
    auto* items = new QVBoxLayout(group);
    items->setContentsMargins(8, 0, 8, 0);
    items->addWidget(RadioAdd);
    items->addWidget(RadioAssign);

    Memo = NamedAt(new QPlainTextEdit(this), "Memo", {19, 131, 293, 125});
    Memo->setAccessibleName(QStringLiteral("Treść notatki"));
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setTabChangesFocus(false);
    // What the notes file cannot hold is shown as "?" at once, so the user sees what will be kept,
    // and named in the gap under the editor.
    auto* notice = new UnstorableNotice(Memo, this);
    notice->setGeometry(19, 257, 293, 14);

    auto* ok = NamedAt(new QPushButton(QStringLiteral("OK"), this), "OK", {20, 272, 75, 25});
    ok->setDefault(false);
    ok->setAutoDefault(false);
    auto* cancel = NamedAt(new QPushButton(QStringLiteral("Anuluj"), this), "Anuluj", {236, 272, 75, 25});
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &Twiele::OkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    RestoreWindowPosition(m_keeper, this, true);
}

Twiele::~Twiele() = default;

RangeNote Twiele::Note() const
{
    RangeNote note;
    note.operation = RadioAssign->isChecked() ? RangeOperation::Assign : RangeOperation::Add;
    note.text = Memo->toPlainText().toStdString();
    return note;
}

void Twiele::OkClick()
{
    const RangeNote note = Note();
    const QString question = QString::fromStdString(
        ConfirmationQuestion(note.operation, note.text, m_anchor, m_clicked));
    // No keeps the dialog open with its text, so the user can still change it.
    if (AppMessageBox::Show(this, QMessageBox::Question, QStringLiteral("Potwierdzenie"), question,
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes)
        accept();
}

void Twiele::done(int result)
{
    SaveWindowPosition(m_keeper, this);
    QDialog::done(result);
}

std::optional<RangeNote> Twiele::Run(TDateTime anchor, TDateTime clicked, QWidget* parent)
{
    Twiele dialog(anchor, clicked, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Note();
}
