// "Szukaj w notatkach": the hits while one types, the box for Polish letters, choosing a day
// with Enter or a double click, captions that fit, and its picture.
#include "app/ui/notes_search_window.h"

#include "calendar/date_format.h"
#include "platform/fake/fake_journal_file.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

class NotesSearchWindowTest : public QObject
{
    Q_OBJECT

    FakeJournalFile m_file;
    std::unique_ptr<NotesJournal> m_journal;

    QStringList Shown(const NotesSearchWindow& window)
    {
        QStringList out;
        for (int i = 0; i < window.wyniki->count(); ++i)
            out << window.wyniki->item(i)->text();
        return out;
    }

    // One key at a time, as typed; QTest's key clicks know no Polish letters.
    static void Type(NotesSearchWindow& window, const QString& text)
    {
        for (const QChar c : text)
            window.szukaj->insert(QString(c));
    }

private slots:
    void init()
    {
        m_file.SetFile("/n/dnz.dat", "");
        m_journal = std::make_unique<NotesJournal>(m_file);
        QVERIFY(!m_journal->OpenNotes("/n/dnz.dat"));
        const TDateTime now = EncodeDate(2024, 3, 10);
        m_journal->AppendRecord("2024.05.01", "Kupić karmę dla żółwia\r\nw zoologicznym", now);
        m_journal->AppendRecord("2023.04.02", "Zolw u weterynarza", now);
        m_journal->AppendRecord("    .06.15", "Urodziny Żółwia Franka", now);
        m_journal->AppendRecord("2024.01.01", "Nowy rok", now);
    }

    void FindsWhileTypingAndTheBoxForPolishLetters()
    {
        NotesSearchWindow window(m_journal->Records());
        window.Open();
        Type(window, QStringLiteral("żółw"));
        QTRY_VERIFY(window.Idle());
        QCOMPARE(Shown(window), (QStringList{QStringLiteral("2024.05.01: Kupić karmę dla żółwia"),
                                             QStringLiteral("    .06.15: Urodziny Żółwia Franka")}));
        QCOMPARE(window.stan->text(), QStringLiteral("Znalezione notatki: 2. Enter lub dwuklik pokazuje dzień."));

        window.szukaj->clear();
        QTest::keyClicks(window.szukaj, QStringLiteral("ZOLW"));
        QTRY_VERIFY(window.Idle());
        QCOMPARE(Shown(window), QStringList{QStringLiteral("2023.04.02: Zolw u weterynarza")});
        window.bezPolskich->setChecked(true);
        QTRY_VERIFY(window.Idle());
        QCOMPARE(Shown(window).size(), 3);

        QTest::keyClicks(window.szukaj, QStringLiteral(" szczupak"));
        QTRY_VERIFY(window.Idle());
        QVERIFY(Shown(window).isEmpty());
        QCOMPARE(window.stan->text(), QStringLiteral("Żadna notatka nie zawiera tych słów."));
    }

    // A note saved while the window is open is found by the next key.
    void FollowsTheNotesSavedMeanwhile()
    {
        NotesSearchWindow window(m_journal->Records());
        window.Open();
        QTest::keyClicks(window.szukaj, QStringLiteral("rok"));
        QTRY_VERIFY(window.Idle());
        QCOMPARE(Shown(window).size(), 1);
        m_journal->AppendRecord("2024.12.31", "Sylwester, koniec roku", EncodeDate(2024, 3, 11));
        QTest::keyClick(window.szukaj, Qt::Key_U);
        QTRY_VERIFY(window.Idle());
        QCOMPARE(Shown(window), QStringList{QStringLiteral("2024.12.31: Sylwester, koniec roku")});
    }

    void EnterAndADoubleClickChooseTheDay()
    {
        NotesSearchWindow window(m_journal->Records());
        window.Open();
        QSignalSpy chosen(&window, &NotesSearchWindow::KeyChosen);
        window.bezPolskich->setChecked(true);
        QTest::keyClicks(window.szukaj, QStringLiteral("zolw"));
        QTRY_VERIFY(window.Idle());
        QTest::keyClick(window.szukaj, Qt::Key_Return);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("2024.05.01"));

        QListWidgetItem* yearly = window.wyniki->item(2);
        const QRect cell = window.wyniki->visualItemRect(yearly);
        QTest::mouseClick(window.wyniki->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(chosen.size(), 1);
        QTest::mouseDClick(window.wyniki->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.last().at(0).toString(), QStringLiteral("    .06.15"));
    }

    void EveryCaptionFitsAndThePicture()
    {
        NotesSearchWindow window(m_journal->Records());
        window.Open();
        window.bezPolskich->setChecked(true);
        QTest::keyClicks(window.szukaj, QStringLiteral("zolw"));
        QTRY_VERIFY(window.Idle());
        for (const QLabel* label : window.findChildren<QLabel*>())
            QVERIFY2(label->sizeHint().width() <= label->width() || label->text().isEmpty(), qPrintable(label->text()));
        QVERIFY(window.bezPolskich->sizeHint().width() <= window.bezPolskich->width());
        QVERIFY(window.szukaj->width() >= 150);
        QVERIFY(window.rect().contains(window.stan->geometry()));
        const QString file = QDir::current().filePath(QStringLiteral("notes_search_window.png"));
        QVERIFY(window.grab().save(file, "PNG"));
    }

    // A page pasted into the field: the words past the 32nd are ignored, the window says so, and
    // the search ends as soon as a short one would; a shorter query takes the note away again.
    void APastedPageIsCutAndTheWindowSaysSo()
    {
        NotesSearchWindow window(m_journal->Records());
        window.Open();
        // The first 32 words are in a note, the rest in none.
        QString page;
        for (int i = 0; i < 32; ++i)
            page += QStringLiteral("żółwia ");
        for (int i = 0; i < 20000; ++i)
            page += QStringLiteral("szczupak ");
        window.szukaj->setText(page);
        QTRY_VERIFY(window.Idle());
        QCOMPARE(Shown(window), (QStringList{QStringLiteral("2024.05.01: Kupić karmę dla żółwia"),
                                             QStringLiteral("    .06.15: Urodziny Żółwia Franka")}));
        QVERIFY(window.uwaga->isVisible());
        QCOMPARE(window.uwaga->text(), QStringLiteral("Szukam tylko pierwszych 32 słów i 256 znaków."));
        QVERIFY(window.uwaga->sizeHint().width() <= window.uwaga->width());
        window.szukaj->setText(QStringLiteral("żółwia"));
        QTRY_VERIFY(window.Idle());
        QVERIFY(!window.uwaga->isVisible());
        // Closed while a search runs: nothing is left running, and opening it again searches again.
        window.szukaj->setText(QStringLiteral("rok"));
        window.hide();
        QVERIFY(window.Idle());
        window.Open();
        QTRY_VERIFY(window.Idle());
        QCOMPARE(Shown(window), QStringList{QStringLiteral("2024.01.01: Nowy rok")});
    }
};

QTEST_MAIN(NotesSearchWindowTest)
#include "notes_search_window_test.moc"
