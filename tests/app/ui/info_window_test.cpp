// The about window, and how the main window reaches the contacts book, the about window and the
// desktop's browser and mail program.
#include "app/ui/info_window.h"
#include "app/ui/link_label.h"
#include "app/ui/main_window.h"
#include "app/ui/speed_button.h"
#include "contacts/ui/contacts_window.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/fake_url_launcher.h"
#include "platform/fake/memory_file_store.h"
#include "platform/fake/memory_settings_store.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <chrono>
#include <fstream>
#include <iterator>

using namespace std::chrono;

class InfoWindowTest : public QObject
{
    Q_OBJECT

    MemoryFileStore m_files;
    FakeSound m_sound;
    FakeUrlLauncher m_links;
    FakeSystemClock m_clock{sys_days{year{2024} / June / 21} + hours{10}, hours{2}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;

    void StoreShippedDescription()
    {
        std::ifstream in(DNIARZ_INFO_RTF, std::ios::binary);
        m_files.files["/program/info.rtf"] = std::string(std::istreambuf_iterator<char>(in),
                                                         std::istreambuf_iterator<char>());
    }

    std::unique_ptr<TForm1> MakeMainWindow()
    {
        MainWindowOptions options;
        options.date = EncodeDate(2024, 6, 21);
        options.startTimers = false;
        options.programDir = "/program";
        options.contacts = {&m_files, &m_sound, &m_links};
        options.infoLinks = {QStringLiteral("https://dniarz.test/"), QStringLiteral("uwagi@dniarz.test"), {}};
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile}, options);
    }

private slots:
    void init()
    {
        m_files = MemoryFileStore();
        m_links = FakeUrlLauncher();
    }

    void MissingDescriptionNamesTheFile()
    {
        Tinfo info(m_files, m_links, "/program/info.rtf");
        info.show();
        QCOMPARE(info.RichEdit->toPlainText(), QStringLiteral("Brak pliku:\n/program/info.rtf"));
    }

    void LayoutCaptionsAndTheShippedDescription()
    {
        StoreShippedDescription();
        Tinfo info(m_files, m_links, "/program/info.rtf");
        info.show();
        QCOMPARE(info.windowTitle(), QStringLiteral("Informacja o programie"));
        QCOMPARE(info.size(), QSize(563, 473));
        // The number CMake's project() gives, as --version and the package show it.
        QCOMPARE(info.Label1->text(), QStringLiteral("Program: Dniarz        wersja: " DNIARZ_PROJECT_VERSION));
        QCOMPARE(info.Label1->pos(), QPoint(16, 16));
        QCOMPARE(info.Label2->geometry(), QRect(16, 40, 357, 39));
        QCOMPARE(info.Label3->geometry(), QRect(16, 68, 357, 39));
        QCOMPARE(info.RichEdit->geometry(), QRect(16, 120, 533, 297));
        QCOMPARE(info.OK->geometry(), QRect(244, 436, 75, 25));
        // The two notices overlap in their places; the first must end before the second begins.
        QVERIFY(info.Label2->heightForWidth(357) <= info.Label3->y() - info.Label2->y());
        QVERIFY(info.Label3->heightForWidth(357) <= 3 * info.Label3->fontMetrics().lineSpacing());
        QVERIFY(info.Label1->geometry().right() < info.width());
        // Styles ask push buttons for a minimum width beyond their text; the text itself must fit.
        QVERIFY(info.OK->fontMetrics().horizontalAdvance(info.OK->text()) + 16 <= info.OK->width());
        const QString text = info.RichEdit->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("Dniarz – kalendarz i zegar")));
        for (const char* word : {"Słońce i Księżyc", "Notatki", "Spis kontaktów", "zasobnika"})
            QVERIFY2(text.contains(QString::fromUtf8(word)), word);
        QVERIFY(info.RichEdit->isReadOnly());
        QVERIFY(QDir().mkpath(QStringLiteral(DNIARZ_PICTURE_DIR)));
        QVERIFY(info.grab().save(QStringLiteral(DNIARZ_PICTURE_DIR "/info.png")));
        // The description takes what the window gains.
        info.resize(700, 600);
        QCOMPARE(info.RichEdit->size(), QSize(700 - 30, 600 - 176));
    }

    // A description with links opens them as the contacts book does: web addresses in the
    // browser, mail addresses in the mail program.
    void LinksOfTheDescriptionOpen()
    {
        m_files.files["/program/info.rtf"] =
            "{\\rtf1\\ansi Strona {\\field{\\*\\fldinst HYPERLINK \"https://dniarz.example.org/\"}"
            "{\\fldrslt strona}}\\par Poczta {\\field{\\*\\fldinst HYPERLINK \"mailto:ewa@example.org\"}"
            "{\\fldrslt ewa}}}";
        Tinfo info(m_files, m_links, "/program/info.rtf");
        info.show();
        const auto click = [&](int position) {
            QTextCursor cursor(info.RichEdit->document());
            cursor.setPosition(position);
            QTest::mouseClick(info.RichEdit->viewport(), Qt::LeftButton, {},
                              info.RichEdit->cursorRect(cursor).center() + QPoint(2, 0));
        };
        click(8);
        click(2);
        click(21);
        QCOMPARE(m_links.browsed, (std::vector<std::string>{"https://dniarz.example.org/"}));
        QCOMPARE(m_links.mailed, (std::vector<std::string>{"ewa@example.org"}));
    }

    // A dialog: the next one opens where the last was left, at its own size.
    void NextWindowOpensWhereTheLastClosedAtItsOwnSize()
    {
        {
            Tinfo info(m_files, m_links, "/program/info.rtf");
            info.show();
            info.resize(700, 600);
            info.move(40, 50);
        }
        Tinfo next(m_files, m_links, "/program/info.rtf");
        next.show();
        QCOMPARE(next.pos(), QPoint(40, 50));
        QCOMPARE(next.size(), QSize(Tinfo::kClientWidth, Tinfo::kClientHeight));
    }

    void TelAndTrayShowTheBookAndItHidesWithTheWindow()
    {
        auto form = MakeMainWindow();
        form->show();
        QVERIFY(!form->Contacts()->Contacts());
        form->findChild<SpeedButton*>(QStringLiteral("Tel"))->click();
        Ttelform* book = form->Contacts()->Contacts();
        QVERIFY(book);
        QVERIFY(book->isVisible());
        book->close();
        QVERIFY(!book->isVisible());
        for (QAction* action : form->TrayMenu()->actions())
            if (action->text() == QStringLiteral("Kontakty"))
                action->trigger();
        QCOMPARE(form->Contacts()->Contacts(), book);
        QVERIFY(book->isVisible());
        form->close();
        QVERIFY(!form->isVisible());
        QVERIFY(!book->isVisible());
    }

    void InfoOpensTheAboutWindowModally()
    {
        StoreShippedDescription();
        auto form = MakeMainWindow();
        form->show();
        QString shownTitle;
        QString shownText;
        QTimer::singleShot(0, this, [&] {
            if (auto* info = qobject_cast<Tinfo*>(QApplication::activeModalWidget())) {
                shownTitle = info->windowTitle();
                shownText = info->RichEdit->toPlainText();
                info->OK->click();
            }
        });
        form->findChild<SpeedButton*>(QStringLiteral("Info"))->click();
        QCOMPARE(shownTitle, QStringLiteral("Informacja o programie"));
        QVERIFY(shownText.startsWith(QStringLiteral("Dniarz – kalendarz")));
    }

    void LinkLabelsGoThroughTheLauncher()
    {
        auto form = MakeMainWindow();
        form->show();
        auto* web = form->findChild<LinkLabel*>(QStringLiteral("RxLabel1"));
        auto* mail = form->findChild<LinkLabel*>(QStringLiteral("EMAIL"));
        QTest::mouseClick(web, Qt::LeftButton);
        QCOMPARE(m_links.browsed, (std::vector<std::string>{web->text().toStdString()}));
        QVERIFY(!form->isVisible());
        form->show();
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(m_links.mailed, (std::vector<std::string>{mail->text().toStdString()}));
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(InfoWindowTest)
#include "info_window_test.moc"
