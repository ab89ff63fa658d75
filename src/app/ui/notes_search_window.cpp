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

// Notes looked at between two looks at the keyboard: a few milliseconds even in a journal of a
// million different days, so typing never waits for the search.
constexpr std::size_t kSliceNotes = 20000;

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

    auto* field = new QHBoxLayout;
    field->addWidget(caption);
    field->addWidget(szukaj, 1);
    field->addWidget(bezPolskich);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(wyniki, 1);
    layout->addWidget(stan);

    m_steps.setInterval(0);
    connect(&m_steps, &QTimer::timeout, this, &NotesSearchWindow::RunSlice);
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
    stan->setText(QStringLiteral("Szukam…"));
    m_steps.start();
}

void NotesSearchWindow::RunSlice()
{
    if (!m_session.Step(kSliceNotes))
        return;
    m_steps.stop();
    ShowHits();
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
