// The main window's tools over the notes: Ctrl+F and a chosen hit selecting its day, the menu
// items, and an import that shows at once in the note editor.
#include "app/ui/main_window.h"

#include "ui_support/message_box.h"
#include "app/ui/notes_search_window.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_file_store.h"
#include "platform/fake/memory_settings_store.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include <chrono>

using namespace std::chrono;

class MainWindowNotesToolsTest : public QObject
{
    Q_OBJECT

    FakeSystemClock m_clock{sys_days{year{2024} / June / 21} + hours{10}, hours{2}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    MemoryFileStore m_files;

    std::unique_ptr<TForm1> Make(bool withFiles)
    {
        MainWindowOptions options;
        options.date = EncodeDate(2023, 12, 5);
        options.startTimers = false;
        options.programDir = "/notes";
        if (withFiles)
            options.contacts.files = &m_files;
        options.chooseIcsImportFile = [](QWidget*) { return QStringLiteral("/in/wigilia.ics"); };
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile}, options);
    }

    static QStringList Texts(const QList<QAction*>& actions)
    {
        QStringList out;
        for (const QAction* action : actions)
            out << action->text();
        return out;
    }

private slots:
    void init()
    {
        AppMessageBox::ResetAnswered();
        m_notesFile.SetFile("/notes/dnz.dat", "2021.03.08\r\n2021.03.08  10:00\r\nKupi\xE6 tulipany\r\n****\r\n"
                                              "    .02.29\r\n2020.01.01  10:00\r\nUrodziny Tulipana\r\n****\r\n");
        m_files = MemoryFileStore();
    }

    void CtrlFFindsAndEnterSelectsTheDay()
    {
        auto form = Make(false);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        NotesSearchWindow* search = form->SearchWindow();
        QVERIFY(search);
        QVERIFY(search->isVisible());
        search->szukaj->setText(QStringLiteral("TULIPAN"));
        QTRY_VERIFY(search->Idle());
        QCOMPARE(search->wyniki->count(), 2);
        QTest::keyClick(search->szukaj, Qt::Key_Return);
        QCOMPARE(form->SelectedDate(), EncodeDate(2021, 3, 8));
        // A yearly note on 29 February: the next leap year from the year on view.
        search->wyniki->setCurrentRow(1);
        QTest::keyClick(search->wyniki, Qt::Key_Return);
        QCOMPARE(form->SelectedDate(), EncodeDate(2024, 2, 29));
        QCOMPARE(form->findChild<QPlainTextEdit*>(QStringLiteral("Memo"))->toPlainText(),
                 QStringLiteral("Urodziny Tulipana"));
    }

    void TheMenusOfferTheToolsAndICalendarOnlyWithFiles()
    {
        auto without = Make(false);
        QCOMPARE(Texts(without->NotesTools()), QStringList{QStringLiteral("Szukaj w notatkach…")});
        auto form = Make(true);
#ifdef DNIARZ_HAVE_ICAL
        QCOMPARE(Texts(form->NotesTools()),
                 (QStringList{QStringLiteral("Szukaj w notatkach…"), QStringLiteral("Eksport do iCalendar…"),
                              QStringLiteral("Import z iCalendar…")}));
#endif
        for (QAction* tool : form->NotesTools())
            QVERIFY(form->TrayMenu()->actions().contains(tool));
    }

#ifdef DNIARZ_HAVE_ICAL
    // The note being typed is saved first, and the imported event shows in the editor at once.
    void AnImportShowsInTheEditorAtOnce()
    {
        m_files.files["/in/wigilia.ics"] = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\n"
                                           "UID:w\r\nDTSTAMP:20231201T000000Z\r\nDTSTART;VALUE=DATE:20231205\r\n"
                                           "SUMMARY:Kolacja wigilijna\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        auto form = Make(true);
        form->show();
        auto* memo = form->findChild<QPlainTextEdit*>(QStringLiteral("Memo"));
        QTest::keyClicks(memo, QStringLiteral("prezenty"));
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        form->NotesTools().at(2)->trigger();
        QCOMPARE(AppMessageBox::LastAnswered()->text, QStringLiteral("Zaimportowano 1 wydarzenie."));
        QCOMPARE(memo->toPlainText(), QStringLiteral("prezenty\n----\nKolacja wigilijna"));
    }
#endif
};

QTEST_MAIN(MainWindowNotesToolsTest)
#include "main_window_notes_tools_test.moc"
