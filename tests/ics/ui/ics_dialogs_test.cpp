// The export dialog and the window's export and import: the settings the dialog gives, the file
// written, the questions and messages, captions that fit, and the dialog's picture.
#include "ics/ui/ics_dialogs.h"

#include "ui_support/message_box.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/memory_file_store.h"

#include "../../group_box_places.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

const auto kNow = std::chrono::system_clock::time_point(std::chrono::seconds(1710079500));

std::chrono::seconds OneHour(std::chrono::system_clock::time_point)
{
    return std::chrono::hours(1);
}

std::string Calendar(int events)
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\n";
    for (int i = 0; i < events; ++i)
        text += "BEGIN:VEVENT\r\nUID:" + std::to_string(i)
                + "\r\nDTSTAMP:20240101T000000Z\r\nDTSTART;VALUE=DATE:20240501\r\nSUMMARY:Majówka\r\nEND:VEVENT\r\n";
    return text + "END:VCALENDAR\r\n";
}

}  // namespace

class IcsDialogsTest : public QObject
{
    Q_OBJECT

    FakeJournalFile m_file;
    std::unique_ptr<NotesJournal> m_journal;
    MemoryFileStore m_files;
    NameDayTable m_table;

private slots:
    void init()
    {
        AppMessageBox::ResetAnswered();
        m_file.SetFile("/n/dnz.dat", "");
        m_journal = std::make_unique<NotesJournal>(m_file);
        QVERIFY(!m_journal->OpenNotes("/n/dnz.dat"));
        m_journal->AppendRecord("2024.03.10", "Wizyta, gabinet 3", EncodeDate(2024, 3, 1));
        m_files = MemoryFileStore();
        m_table.Load();
    }

    void TheDialogGivesTheSettingsChosen()
    {
        IcsExportDialog dialog(2024);
        QVERIFY(!dialog.zapisz->isEnabled());
        QVERIFY(!dialog.odRoku->isEnabled());
        const IcsExportOptions none = dialog.Options();
        QVERIFY(!none.fromYear && !none.toYear && !none.withNameDays && !none.withHolidays);

        dialog.chooseFile = [](QWidget*) { return QStringLiteral("/tmp/kalendarz.ics"); };
        dialog.wybierz->click();
        QCOMPARE(dialog.plik->text(), QStringLiteral("/tmp/kalendarz.ics"));
        QVERIFY(dialog.zapisz->isEnabled());
        dialog.zLat->setChecked(true);
        QVERIFY(dialog.odRoku->isEnabled());
        dialog.odRoku->setValue(2030);  // after the end: the end follows
        QCOMPARE(dialog.doRoku->value(), 2030);
        dialog.doRoku->setValue(2031);
        dialog.swieta->setChecked(true);
        const IcsExportOptions chosen = dialog.Options();
        QCOMPARE(chosen.fromYear, std::optional<int>(2030));
        QCOMPARE(chosen.toYear, std::optional<int>(2031));
        QVERIFY(chosen.withHolidays && !chosen.withNameDays);
        QCOMPARE(dialog.File(), std::filesystem::path("/tmp/kalendarz.ics"));
    }

    void ExportWritesTheFileAndSaysSo()
    {
        const auto fill = [](IcsExportDialog& dialog) {
            dialog.plik->setText(QStringLiteral("/out/notatki.ics"));
            dialog.swieta->setChecked(true);
            return true;
        };
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ExportNotesToIcs(nullptr, m_journal->Records(), m_table, m_files, kNow, 2024, fill);
        QVERIFY(m_files.files.count("/out/notatki.ics"));
        const std::string& text = m_files.files["/out/notatki.ics"];
        QVERIFY(text.find("SUMMARY:Wizyta\\, gabinet 3") != std::string::npos);
        QVERIFY(text.find("UID:swieto-2024-11-11@dniarz") != std::string::npos);
        QVERIFY(AppMessageBox::LastAnswered());
        QVERIFY(AppMessageBox::LastAnswered()->text.startsWith(QStringLiteral("Zapisano ")));

        m_files.failWrites = true;
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ExportNotesToIcs(nullptr, m_journal->Records(), m_table, m_files, kNow, 2024, fill);
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Nie można zapisać pliku:\r\n/out/notatki.ics\r\nPowód: brak miejsca na dysku."));
        m_files.failWrites = false;
        m_files.notRegular.insert("/out/notatki.ics");
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ExportNotesToIcs(nullptr, m_journal->Records(), m_table, m_files, kNow, 2024, fill);
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Nie można zapisać pliku:\r\n/out/notatki.ics\r\nPowód: to nie jest zwykły plik."));
        // Anuluj writes nothing and says nothing.
        const int writes = m_files.writes;
        const int boxes = AppMessageBox::AnsweredCount();
        ExportNotesToIcs(nullptr, m_journal->Records(), m_table, m_files, kNow, 2024,
                         [](IcsExportDialog&) { return false; });
        QCOMPARE(m_files.writes, writes);
        QCOMPARE(AppMessageBox::AnsweredCount(), boxes);
    }

    void ImportAsksAboveAHundredEventsAndReports()
    {
        m_files.files["/in/many.ics"] = Calendar(101);
        AppMessageBox::SetNextAnswer(QMessageBox::No);
        const std::size_t before = m_journal->Records().Count();
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/many.ics", OneHour, EncodeDate(2024, 3, 10));
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Potwierdzenie"));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Plik zawiera 101 wydarzeń. Czy dopisać je wszystkie do notatek?"));
        QCOMPARE(m_journal->Records().Count(), before);

        m_files.files["/in/two.ics"] = Calendar(2);
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/two.ics", OneHour, EncodeDate(2024, 3, 10));
        QCOMPARE(AppMessageBox::LastAnswered()->text, QStringLiteral("Zaimportowano 2 wydarzenia."));
        QCOMPARE(m_journal->FindNote("2024.05.01").text, std::string("Majówka\r\n----\r\nMajówka"));

        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/missing.ics", OneHour, EncodeDate(2024, 3, 10));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Nie można odczytać pliku:\r\n/in/missing.ics\r\nPowód: nie ma takiego pliku."));
        m_files.files["/in/bad.ics"] = "BEGIN:VCARD\r\nEND:VCARD\r\n";
        const std::size_t count = m_journal->Records().Count();
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/bad.ics", OneHour, EncodeDate(2024, 3, 10));
        QVERIFY(AppMessageBox::LastAnswered()->text.contains(QStringLiteral("iCalendar")));
        QCOMPARE(m_journal->Records().Count(), count);
    }

    // The window remembers what it imported beside the notes, as the command line does.
    void ImportingTheSameFileAgainAddsNothing()
    {
        m_files.files["/in/two.ics"] = Calendar(2);
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/two.ics", OneHour, EncodeDate(2024, 3, 10));
        QVERIFY(m_files.files.count("/n/dnz-import.txt"));
        const std::size_t count = m_journal->Records().Count();
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/two.ics", OneHour, EncodeDate(2024, 3, 10));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Zaimportowano 0 wydarzeń.\nPominięto 2 już zaimportowane wydarzenia."));
        QCOMPARE(m_journal->Records().Count(), count);
        QCOMPARE(m_journal->FindNote("2024.05.01").text, std::string("Majówka\r\n----\r\nMajówka"));
    }

    // "Anuluj" on the progress bar writes nothing and asks nothing, however far the reading got.
    void ACancelledImportWritesNothing()
    {
        m_files.files["/in/many.ics"] = Calendar(5000);
        QWidget window;
        const std::size_t before = m_journal->Records().Count();
        const int boxes = AppMessageBox::AnsweredCount();
        QTimer::singleShot(0, &window, [&window] {
            auto* progress = window.findChild<QProgressDialog*>(QStringLiteral("ImportProgress"));
            QVERIFY(progress);
            auto* anuluj = progress->findChild<QPushButton*>();
            QVERIFY(anuluj);
            QCOMPARE(anuluj->text(), QStringLiteral("Anuluj"));
            anuluj->click();
        });
        ImportNotesFromIcs(&window, *m_journal, m_files, "/in/many.ics", OneHour, EncodeDate(2024, 3, 10));
        QCOMPARE(m_journal->Records().Count(), before);
        QCOMPARE(m_file.File("/n/dnz.dat").value_or(""), std::string());
        QCOMPARE(AppMessageBox::AnsweredCount(), boxes);
    }

    // The window's loop runs while a file is read: the reader waits (up to seconds) for a tick of
    // a timer of the window's thread, which a read on that thread would never let come.
    void TheWindowKeepsRunningDuringAnImport()
    {
        m_files.files["/in/zoned.ics"] =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:z\r\n"
            "DTSTAMP:20240101T000000Z\r\nDTSTART:20240501T100000Z\r\nSUMMARY:Spotkanie\r\nEND:VEVENT\r\n"
            "END:VCALENDAR\r\n";
        std::atomic<int> ticks{0};
        std::atomic<bool> sawTick{false};
        QTimer clock;
        connect(&clock, &QTimer::timeout, [&ticks] { ++ticks; });
        clock.start(5);
        const auto waitingOffset = [&](std::chrono::system_clock::time_point) {
            const int start = ticks;
            for (int i = 0; i < 500 && ticks < start + 3; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            sawTick = sawTick || ticks >= start + 3;
            return std::chrono::seconds(std::chrono::hours(2));
        };
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/zoned.ics", waitingOffset, EncodeDate(2024, 3, 10));
        QVERIFY(sawTick);
        QCOMPARE(m_journal->FindNote("2024.05.01").text, std::string("12:00\r\nSpotkanie"));
    }

    // A file past a bound is refused with the reason, nothing being written.
    void AFilePastABoundIsRefused()
    {
        m_files.files["/in/second.ics"] =
            "BEGIN:VCALENDAR\r\nBEGIN:VTIMEZONE\r\nTZID:s\r\nBEGIN:STANDARD\r\nDTSTART:16010101T000000\r\n"
            "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\nRRULE:FREQ=SECONDLY\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
            "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;TZID=s:20240501T100000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        const std::size_t before = m_journal->Records().Count();
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        ImportNotesFromIcs(nullptr, *m_journal, m_files, "/in/second.ics", OneHour, EncodeDate(2024, 3, 10));
        QVERIFY(AppMessageBox::LastAnswered()->text.contains(QStringLiteral("Plik odrzucono: reguła zmiany czasu")));
        QCOMPARE(m_journal->Records().Count(), before);
    }

    void EveryCaptionFitsAndThePicture()
    {
        IcsExportDialog dialog(2024);
        dialog.plik->setText(QStringLiteral("/home/ola/notatki.ics"));
        dialog.zLat->setChecked(true);
        dialog.imieniny->setChecked(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        for (const QCheckBox* box : dialog.findChildren<QCheckBox*>())
            QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(box->text()));
        for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
            const int text = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(text + 12 <= button->width(), qPrintable(button->text()));
        }
        auto* group = dialog.findChild<QGroupBox*>(QStringLiteral("GroupNotatki"));
        QVERIFY(group);
        const auto [title, inside] = PlacesOf(group);
        QVERIFY(title.width() >= group->fontMetrics().horizontalAdvance(group->title()));
        for (const QRadioButton* radio : {dialog.wszystkie, dialog.zLat}) {
            QVERIFY2(radio->sizeHint().width() <= radio->width(), qPrintable(radio->text()));
            QVERIFY2(inside.contains(radio->geometry()), qPrintable(radio->text()));
        }
        const QString file = QDir::current().filePath(QStringLiteral("ics_export_dialog.png"));
        QVERIFY(dialog.grab().save(file, "PNG"));
    }
};

QTEST_MAIN(IcsDialogsTest)
#include "ics_dialogs_test.moc"
