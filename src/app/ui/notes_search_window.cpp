// "Szukaj w notatkach".
#include "app/ui/notes_search_window.h"

#include "ui_support/fonts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

// How often the window looks whether the search thread is done: sooner than the eye notices.
constexpr int kPollMilliseconds = 10;

}  // namespace

NotesSearchWindow::NotesSearchWindow(const JournalRecords& records, QWidget* parent)
    : QDialog(parent), m_session(records)
{
    setObjectName(QStringLiteral("NotesSearchWindow"));
    setWindowTitle(QStringLiteral("Szukaj w notatkach"));
    setFont(WindowFont());
    resize(440, 360);

    auto* caption = new QLabel(QStringLiteral("Szukaj:"), this);
    caption->setObjectName(QStringLiteral("LabelSzukaj"));
    szukaj = new QLineEdit(this);
    szukaj->setObjectName(QStringLiteral("szukaj"));
    szukaj->setPlaceholderText(QStringLiteral("słowa z notatki"));
    caption->setBuddy(szukaj);
    bezPolskich = new QCheckBox(QStringLiteral("bez polskich znaków"), this);
    bezPolskich->setObjectName(QStringLiteral("bezPolskich"));
    bezPolskich->setToolTip(QStringLiteral("\"zolw\" znajduje też \"żółw\""));
    wyniki = new QListWidget(this);
    wyniki->setObjectName(QStringLiteral("wyniki"));
    wyniki->setUniformItemSizes(true);
    stan = new QLabel(this);
    stan->setObjectName(QStringLiteral("stan"));
    uwaga = new QLabel(this);
    uwaga->setObjectName(QStringLiteral("uwaga"));
    uwaga->hide();

    auto* field = new QHBoxLayout;
    field->addWidget(caption);
    field->addWidget(szukaj, 1);
    field->addWidget(bezPolskich);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(wyniki, 1);
    layout->addWidget(uwaga);
    layout->addWidget(stan);

    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &NotesSearchWindow::PollSearch);
    connect(szukaj, &QLineEdit::textChanged, this, &NotesSearchWindow::szukajChange);
    connect(bezPolskich, &QCheckBox::toggled, this, &NotesSearchWindow::szukajChange);
    connect(szukaj, &QLineEdit::returnPressed, this,
            [this] { Choose(wyniki->currentItem() ? wyniki->currentItem() : wyniki->item(0)); });
    connect(wyniki, &QListWidget::itemActivated, this, &NotesSearchWindow::Choose);
}

void NotesSearchWindow::Open()
{
    show();
    raise();
    activateWindow();
    szukaj->setFocus();
    szukaj->selectAll();
    // The notes may have changed since the window was last open.
    if (!szukaj->text().trimmed().isEmpty())
        szukajChange();
}

void NotesSearchWindow::szukajChange()
{
    // The search of the key before is dropped: only the words as they are now count.
    m_session.Start(szukaj->text().toStdString(), bezPolskich->isChecked());
    if (m_session.QueryCapped())
        uwaga->setText(QStringLiteral("Szukam tylko pierwszych %1 słów i %2 znaków.")
                           .arg(kMaxQueryWords)
                           .arg(kMaxQueryCharacters));
    else
        uwaga->clear();
    uwaga->setVisible(m_session.QueryCapped());
    stan->setText(QStringLiteral("Szukam…"));
    m_poll.start();
}

void NotesSearchWindow::PollSearch()
{
    if (!m_session.Poll())
        return;
    m_poll.stop();
    ShowHits();
}

void NotesSearchWindow::hideEvent(QHideEvent* event)
{
    // Nobody sees the hits of a closed window; Open() searches again.
    m_session.Cancel();
    m_poll.stop();
    QDialog::hideEvent(event);
}

void NotesSearchWindow::ShowHits()
{
    wyniki->clear();
    const auto& hits = m_session.Hits();
    for (const NoteSearchHit& hit : hits) {
        auto* item = new QListWidgetItem(QString::fromStdString(FormatSearchHit(hit)), wyniki);
        item->setData(Qt::UserRole, QString::fromStdString(hit.key));
    }
    if (szukaj->text().trimmed().isEmpty())
        stan->clear();
    else if (hits.empty())
        stan->setText(QStringLiteral("Żadna notatka nie zawiera tych słów."));
    else
        stan->setText(QStringLiteral("Znalezione notatki: %1. Enter lub dwuklik pokazuje dzień.").arg(hits.size()));
}

void NotesSearchWindow::Choose(QListWidgetItem* item)
{
    if (item)
        emit KeyChosen(item->data(Qt::UserRole).toString());
}
