// The iCalendar items of the main window.
#include "ics/ui/ics_dialogs.h"

#include "ics/ics_commands.h"
#include "ui_support/message_box.h"
#include "platform/file_store.h"
#include "ui_support/fonts.h"
#include "ui_support/named.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <optional>
#include <thread>

namespace {

const QString kFilter = QStringLiteral("Kalendarz iCalendar (*.ics);;Wszystkie pliki (*)");

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

void Tell(QWidget* parent, const QString& text)
{
    AppMessageBox::Show(parent, QMessageBox::Information, QStringLiteral("Komunikat"), text);
}

void Warn(QWidget* parent, const QString& text)
{
    AppMessageBox::Show(parent, QMessageBox::Warning, QStringLiteral("Komunikat"), text);
}

}  // namespace

IcsExportDialog::IcsExportDialog(int currentYear, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("IcsExportDialog"));
    setWindowTitle(QStringLiteral("Eksport do iCalendar"));
    setFont(WindowFont());

    auto* caption = Named(new QLabel(QStringLiteral("Plik:"), this), "LabelPlik");
    plik = Named(new QLineEdit(this), "plik");
    plik->setMinimumWidth(260);
    caption->setBuddy(plik);
    wybierz = Named(new QPushButton(QStringLiteral("Wybierz…"), this), "wybierz");
    QGroupBox* notes = CreateNotesGroup(currentYear);
    imieniny = Named(new QCheckBox(QStringLiteral("dołącz imieniny"), this), "imieniny");
    swieta = Named(new QCheckBox(QStringLiteral("dołącz święta państwowe"), this), "swieta");
    auto* years = Named(
        new QLabel(QStringLiteral("Imieniny i święta z wybranych lat, a przy „wszystkie” z bieżącego roku."), this),
        "LabelLata");
    auto* buttons = new QDialogButtonBox(this);
    zapisz = Named(buttons->addButton(QStringLiteral("Zapisz"), QDialogButtonBox::AcceptRole), "zapisz");
    anuluj = Named(buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole), "anuluj");

    auto* file = new QHBoxLayout;
    file->addWidget(caption);
    file->addWidget(plik, 1);
    file->addWidget(wybierz);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(file);
    layout->addWidget(notes);
    layout->addWidget(imieniny);
    layout->addWidget(swieta);
    layout->addWidget(years);
    layout->addStretch(1);
    layout->addWidget(buttons);

    chooseFile = [](QWidget* owner) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("Eksport do iCalendar"),
                                            QStringLiteral("notatki.ics"), kFilter);
    };
    connect(wybierz, &QPushButton::clicked, this, [this] {
        const QString chosen = chooseFile ? chooseFile(this) : QString();
        if (!chosen.isEmpty())
            plik->setText(chosen);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(plik, &QLineEdit::textChanged, this, &IcsExportDialog::Update);
    Update();
}

QGroupBox* IcsExportDialog::CreateNotesGroup(int currentYear)
{
    auto* notes = Named(new QGroupBox(QStringLiteral("Notatki"), this), "GroupNotatki");
    wszystkie = Named(new QRadioButton(QStringLiteral("wszystkie"), notes), "wszystkie");
    zLat = Named(new QRadioButton(QStringLiteral("z lat od"), notes), "zLat");
    odRoku = Named(new QSpinBox(notes), "odRoku");
    doRoku = Named(new QSpinBox(notes), "doRoku");
    odRoku->setAccessibleName(QStringLiteral("Od roku"));
    doRoku->setAccessibleName(QStringLiteral("Do roku"));
    for (QSpinBox* year : {odRoku, doRoku}) {
        year->setRange(1, 9999);
        year->setValue(currentYear);
    }
    auto* to = Named(new QLabel(QStringLiteral("do"), notes), "LabelDo");
    wszystkie->setChecked(true);
    auto* range = new QHBoxLayout;
    range->addWidget(zLat);
    range->addWidget(odRoku);
    range->addWidget(to);
    range->addWidget(doRoku);
    range->addStretch(1);
    auto* notesLayout = new QVBoxLayout(notes);
    notesLayout->addWidget(wszystkie);
    notesLayout->addLayout(range);

    connect(zLat, &QRadioButton::toggled, this, &IcsExportDialog::Update);
    // A range that ends before it begins follows the end the user moved.
    connect(odRoku, &QSpinBox::valueChanged, this, [this](int from) {
        if (doRoku->value() < from)
            doRoku->setValue(from);
    });
    connect(doRoku, &QSpinBox::valueChanged, this, [this](int last) {
        if (odRoku->value() > last)
            odRoku->setValue(last);
    });
    return notes;
}

void IcsExportDialog::Update()
{
    odRoku->setEnabled(zLat->isChecked());
    doRoku->setEnabled(zLat->isChecked());
    zapisz->setEnabled(!plik->text().trimmed().isEmpty());
}

IcsExportOptions IcsExportDialog::Options() const
{
    IcsExportOptions options;
    if (zLat->isChecked()) {
        options.fromYear = odRoku->value();
        options.toYear = doRoku->value();
    }
    options.withNameDays = imieniny->isChecked();
    options.withHolidays = swieta->isChecked();
    return options;
}

std::filesystem::path IcsExportDialog::File() const
{
    return std::filesystem::path(plik->text().trimmed().toStdU16String());
}

void ExportNotesToIcs(QWidget* parent, const JournalRecords& notes, const NameDayTable& table, FileStore& files,
                      std::chrono::system_clock::time_point now, int currentYear,
                      const std::function<bool(IcsExportDialog&)>& runDialog)
{
    IcsExportDialog dialog(currentYear, parent);
    const bool accepted = runDialog ? runDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!accepted || dialog.File().empty())
        return;
    const IcsExport result = ExportIcs(notes, table, dialog.Options(), now, currentYear);
    const QString path = QString::fromStdU16String(dialog.File().u16string());
    if (!result.error.empty()) {
        Warn(parent, Text(result.error));
        return;
    }
    if (const FileProblem problem = files.ExportContents(dialog.File(), result.text); problem != FileProblem::None) {
        Warn(parent, QStringLiteral("Nie można zapisać pliku:\r\n") + path + QStringLiteral("\r\nPowód: ")
                         + Text(FileProblemText(problem)) + QStringLiteral("."));
        return;
    }
    Tell(parent, QStringLiteral("Zapisano ") + Text(PolishCount(result.events, "wydarzenie", "wydarzenia", "wydarzeń"))
                     + QStringLiteral(" w pliku:\r\n") + path);
}

std::optional<IcsImport> ReadIcsWhileWindowRuns(QWidget* parent, const std::string& bytes, const UtcOffsetAt& utcOffset)
{
    QProgressDialog progress(QStringLiteral("Wczytywanie kalendarza…"), QStringLiteral("Anuluj"), 0, 100, parent);
    progress.setObjectName(QStringLiteral("ImportProgress"));
    progress.setWindowTitle(QStringLiteral("Import z iCalendar"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoReset(false);
    progress.setAutoClose(false);

    std::atomic<bool> cancel{false};
    std::atomic<int> percent{0};
    IcsImport read;
    QEventLoop loop;
    QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] {
        // The reader stops at its next look at the flag; the loop goes on until it has.
        cancel = true;
        progress.hide();
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &progress, [&] {
        if (progress.wasCanceled())
            cancel = true;
        if (!cancel && percent != progress.value())
            progress.setValue(percent);
    });
    poll.start(50);
    std::thread reader([&] {
        const IcsProgress report{[&percent](int p) { percent = p; }, &cancel};
        read = ReadIcs(bytes, utcOffset, report);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // The window's own loop goes on meanwhile: the clock ticks, the alarm rings, the window redraws.
    loop.exec();
    reader.join();
    if (cancel)
        return std::nullopt;
    return read;
}

void ImportNotesFromIcs(QWidget* parent, NotesJournal& journal, FileStore& files, const std::filesystem::path& file,
                        const UtcOffsetAt& utcOffset, TDateTime now)
{
    const QString path = QString::fromStdU16String(file.u16string());
    if (!journal.NotesEnabled()) {
        Warn(parent, QStringLiteral("Notatki są wyłączone: nie ma dokąd zaimportować kalendarza."));
        return;
    }
    // Read no further than a calendar may be: the rich-text limit would hold eight times as much.
    const FileRead bytes = files.Read(file, kMaxIcsBytes);
    if (bytes.tooLarge) {
        Warn(parent, path + QStringLiteral("\r\n") + Text(IcsTooLargeText()));
        return;
    }
    if (bytes.status != FileRead::Status::Read) {
        Warn(parent, QStringLiteral("Nie można odczytać pliku:\r\n") + path + QStringLiteral("\r\nPowód: ")
                         + Text(FileProblemText(bytes.problem)) + QStringLiteral("."));
        return;
    }
    const std::optional<IcsImport> reading = ReadIcsWhileWindowRuns(parent, bytes.contents, utcOffset);
    if (!reading)
        return;  // "Anuluj": nothing written, nothing to say
    const IcsImport& read = *reading;
    if (!read.error.empty()) {
        Warn(parent, path + QStringLiteral("\r\n") + Text(read.error));
        return;
    }
    if (EventsRead(read) > kImportQuestionAbove
        && AppMessageBox::Show(parent, QMessageBox::Question, QStringLiteral("Potwierdzenie"),
                               Text(ImportQuestion(EventsRead(read))), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No)
               != QMessageBox::Yes)
        return;
    try {
        const ImportOutcome outcome = ImportRemembering(journal, files, read, now);
        Tell(parent, Text(ImportReport(read, outcome)));
    } catch (const EInOutError& error) {
        Warn(parent, Text(error.what()));
    }
}

QString ChooseIcsFileToImport(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Import z iCalendar"), QString(), kFilter);
}
