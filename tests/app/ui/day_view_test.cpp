// The day view of the main window: the refresh after a date change, the neighbour grids, the
// holidays, the names, the sun line, the note editor and the Shift-click range.
#include "app/settings.h"
#include "app/ui/main_window.h"
#include "app/ui/message_box.h"
#include "app/ui/speed_button.h"
#include "calendar/date_format.h"
#include "calendar/feasts.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <memory>

using namespace std::chrono;

namespace {

const std::filesystem::path kDir = "/notes";

std::string Text(const QLabel* label)
{
    return label->text().toStdString();
}

} // namespace

class DayViewTest : public QObject
{
    Q_OBJECT

    // 2024-06-21 10:00 UTC, two hours east: local noon.
    FakeSystemClock m_clock{sys_days{year{2024} / June / 21} + hours{10}, hours{2}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    bool m_shift = false;
    int m_dialogRuns = 0;
    std::optional<RangeNote> m_dialogAnswer;

    std::unique_ptr<TForm1> Make(TDateTime date)
    {
        MainWindowOptions options;
        options.programDir = kDir;
        options.date = date;
        options.withTray = false;
        options.startTimers = false;
        options.shiftHeld = [this] { return m_shift; };
        options.rangeDialog = [this](const std::string&) {
            ++m_dialogRuns;
            return m_dialogAnswer;
        };
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile}, options);
    }

    static void ClickDay(TForm1& form, int day, Qt::KeyboardModifiers modifiers = {})
    {
        const int cell = form.cal->Grid().FirstCell() + day - 1;
        QTest::mouseClick(form.cal, Qt::LeftButton, modifiers, form.cal->CellRect(cell).center());
    }

    std::string StoredFile() const { return m_notesFile.File(kDir / "dnz.dat").value_or(std::string()); }

private slots:
    void init()
    {
        m_store.DeleteKey();
        m_notesFile = FakeJournalFile();
        m_shift = false;
        m_dialogRuns = 0;
        m_dialogAnswer.reset();
        AppMessageBox::ResetAnswered();
    }

    void NeighbourGridsFollowTheSelectedMonth_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("expected");  // calb, calf, calff as yyyy.mm
        QTest::newRow("January") << 2025 << 1 << "2024.12 2025.02 2025.03";
        QTest::newRow("November") << 2024 << 11 << "2024.10 2024.12 2025.01";
        QTest::newRow("December") << 2024 << 12 << "2024.11 2025.01 2025.02";
        QTest::newRow("June") << 2024 << 6 << "2024.05 2024.07 2024.08";
    }
    void NeighbourGridsFollowTheSelectedMonth()
    {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QString, expected);
        auto form = Make(EncodeDate(2024, 3, 31));
        form->cal->SetSelectedDate(EncodeDate(year, month, 15));
        QString got;
        for (TCalenPnl* grid : {form->calb, form->calf, form->calff})
            got += QString::asprintf("%04d.%02d ", grid->Year(), grid->Month());
        QCOMPARE(got.trimmed(), expected);
        // Each grid carries the moveable holidays of its own year.
        const auto& holidays = form->calff->Holidays();
        QCOMPARE(holidays.size(), std::size_t{10});
        QCOMPARE(QString::fromStdString(holidays[8]),
                 QString::fromStdString(MoveableHolidayEntries(form->calff->Year()).easterMonday));
        QCOMPARE(QString::fromStdString(holidays[9]),
                 QString::fromStdString(MoveableHolidayEntries(form->calff->Year()).corpusChristi));
    }

    void DecemberGivesTheNextYearsHolidaysToJanuary()
    {
        auto form = Make(EncodeDate(2025, 12, 10));
        QCOMPARE(form->calf->Holidays()[8], std::string("2026.04.06"));
        QCOMPARE(form->calf->Holidays()[9], std::string("2026.06.04"));
        QCOMPARE(form->cal->Holidays()[8], std::string("2025.04.21"));
        QCOMPARE(form->cal->Holidays()[9], std::string("2025.06.19"));
        QCOMPARE(form->cal->Holidays()[0], std::string("    .12.25"));
    }

    void MovingWithinTheMonthRefreshesOnlyTheDay()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(Text(form->lmiesiac), std::string("czerwiec"));
        QCOMPARE(Text(form->lrok), std::string("2024"));
        const int rebuilds = form->calb->Grid().RebuildCount();
        // Changes that the month step would undo show whether it ran.
        form->lmiesiac->setText(QStringLiteral("x"));
        form->calb->SetMarkdays({"sentinel"});
        ClickDay(*form, 24);
        QCOMPARE(Text(form->lmiesiac), std::string("x"));
        QCOMPARE(form->calb->Markdays(), std::vector<std::string>{"sentinel"});
        QCOMPARE(form->calb->Grid().RebuildCount(), rebuilds);
        QCOMPARE(Text(form->ldzien), std::string("24"));
        QCOMPARE(Text(form->ltydzien), std::string("poniedziałek"));
        QVERIFY(Text(form->limien).find("Jana") != std::string::npos);
        // Another month runs the step again.
        form->cal->SetSelectedDate(EncodeDate(2024, 7, 1));
        QCOMPARE(Text(form->lmiesiac), std::string("lipiec"));
        QVERIFY(form->calb->Markdays().empty());
    }

    void EasterMondayIsAHolidayWithItsFeastText()
    {
        auto form = Make(EncodeDate(2024, 4, 1));
        QCOMPARE(form->cal->SelectedDayColor(), QColor(Qt::red));
        QCOMPARE(form->ldzien->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(form->lextraday->isVisibleTo(form.get()));
        QCOMPARE(form->lextraday->text(), QStringLiteral("Pon. Wielkanocny"));
        QVERIFY(form->limien->text().startsWith(QStringLiteral("\n\n")));
        // The day after is an ordinary Tuesday: black, no holiday, names from the first line.
        form->cal->SetSelectedDate(EncodeDate(2024, 4, 2));
        QCOMPARE(form->ldzien->palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(!form->lextraday->isVisibleTo(form.get()));
        QVERIFY(!form->limien->text().startsWith(QLatin1Char('\n')));
        QVERIFY(!form->limien->text().isEmpty());
        QCOMPARE(form->limien->toolTip().count(QLatin1Char('\n')), form->limien->text().count(QLatin1Char('\n')));
    }

    void SunLineForWarsaw()
    {
        {
            auto key = m_store.OpenKey(true);
            key->WriteBinary("Szerokość geograficzna", DoubleToBytes(52.236620));
            key->WriteBinary("Długość geograficzna", DoubleToBytes(21.027916));
        }
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(form->slonce->text(), QStringLiteral("W/Z: 04:14/21:01"));
        QCOMPARE(form->slonce->toolTip(), QStringLiteral("Słońce W/Z: 04:14/21:01\nKsiężyc W/Z: 21:21/02:51\n"
                                                         "Księżyc faza: 100 % (+)"));
    }

    void TheClockShowsLocalTimeFromTheStart()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(Text(form->lgodzina), std::string("12:00:00"));
    }

    void AnEditIsSavedUnderTheDayItWasTypedFor()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QTest::keyClicks(form->Memo, QStringLiteral("Dentysta"));
        ClickDay(*form, 22);
        QCOMPARE(form->Journal().FindNote("2024.06.21").text, std::string("Dentysta"));
        QCOMPARE(form->Journal().FindNote("2024.06.22").text, std::string());
        QVERIFY(StoredFile().starts_with("2024.06.21\r\n2024.06.21  12:00\r\nDentysta\r\n****\r\n"));
        // The new day shows its own (empty) note, and the saved day is marked at once.
        QVERIFY(form->Memo->toPlainText().isEmpty());
        QCOMPARE(form->cal->Markdays(), std::vector<std::string>{"2024.06.21"});
    }

    void ZachowajMarksTheDayAndWykasujUnmarksIt()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QTest::keyClicks(form->Memo, QStringLiteral("a"));
        QTest::mouseClick(form->Zachowaj, Qt::LeftButton);
        QCOMPARE(form->cal->Markdays(), std::vector<std::string>{"2024.06.21"});
        QCOMPARE(form->Label1->text(), QStringLiteral("Notatkę sporządzono:"));
        QCOMPARE(form->ldt->text(), QStringLiteral("2024.06.21  12:00"));
        QTest::mouseClick(form->Wykasuj, Qt::LeftButton);
        QTest::mouseClick(form->Zachowaj, Qt::LeftButton);
        QVERIFY(form->cal->Markdays().empty());
        QCOMPARE(form->Label1->text(), QStringLiteral("Brak notatki"));
    }

    void BothNotesShowTogetherAndTheTypeSwitchEditsOne()
    {
        m_notesFile.SetFile(kDir / "dnz.dat", "2024.06.21\r\n2024.06.01  10:00\r\nData\r\n****\r\n"
                                              "    .06.21\r\n2024.06.01  11:00\r\nRok\r\n****\r\n");
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(form->Memo->toPlainText(),
                 QStringLiteral("---- Notatka na konkretny dzień: \nData\n---- Notatka coroczna:\nRok"));
        QVERIFY(form->Memo->isReadOnly());
        QVERIFY(!form->RadioDate->isChecked() && !form->RadioYearly->isChecked());
        QCOMPARE(form->ldt->text(), QStringLiteral("---"));
        QTest::mouseClick(form->RadioYearly, Qt::LeftButton);
        QCOMPARE(form->Memo->toPlainText(), QStringLiteral("Rok"));
        QVERIFY(!form->Memo->isReadOnly());
        QVERIFY(form->RadioYearly->isChecked());
        QCOMPARE(form->ldt->text(), QStringLiteral("2024.06.01  11:00"));
        QCOMPARE(form->cal->Markdays().size(), std::size_t{2});
    }

    void CharactersTheFileCannotHoldShowAsQuestionMarks()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        // As typed or pasted: key events cannot carry these characters.
        form->Memo->insertPlainText(QStringLiteral("zażółć → ☺"));
        QCOMPARE(form->Memo->toPlainText(), QStringLiteral("zażółć ? ?"));
        QTest::mouseClick(form->Zachowaj, Qt::LeftButton);
        QCOMPARE(form->Journal().FindNote("2024.06.21").text, std::string("zażółć ? ?"));
    }

    void ShiftClickWritesTheRangeAfterTheDialog()
    {
        auto form = Make(EncodeDate(2024, 1, 1));
        ClickDay(*form, 1);  // the anchor
        m_dialogAnswer = RangeNote{RangeOperation::Assign, "Urlop"};
        m_shift = true;
        form->cal->SetSelectedDate(EncodeDate(2024, 2, 1));  // no click: an ordinary change
        QCOMPARE(m_dialogRuns, 0);
        m_shift = false;
        ClickDay(*form, 1);  // 1 February, no Shift: the anchor moves here
        form->cal->SetSelectedDate(EncodeDate(2024, 1, 1));
        ClickDay(*form, 1);  // anchor back on 1 January
        form->cal->SetSelectedDate(EncodeDate(2024, 2, 1));
        m_shift = true;
        ClickDay(*form, 1, Qt::ShiftModifier);  // 31 days after the anchor
        QCOMPARE(m_dialogRuns, 1);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{32});
        QCOMPARE(form->Journal().FindNote("2024.01.01").text, std::string("Urlop"));
        QCOMPARE(form->Journal().FindNote("2024.02.01").text, std::string("Urlop"));
        QCOMPARE(form->Memo->toPlainText(), QStringLiteral("Urlop"));
        QCOMPARE(form->cal->Markdays().size(), std::size_t{1});
        QCOMPARE(form->calb->Markdays().size(), std::size_t{31});

        // 32 days is one too many: nothing is asked and nothing written.
        m_shift = false;
        form->cal->SetSelectedDate(EncodeDate(2024, 3, 1));
        ClickDay(*form, 1);
        form->cal->SetSelectedDate(EncodeDate(2024, 4, 2));
        m_shift = true;
        ClickDay(*form, 2, Qt::ShiftModifier);
        QCOMPARE(m_dialogRuns, 1);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{32});
    }

    void ClickingTheChosenTypeAgainSavesNothing()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QTest::keyClicks(form->Memo, QStringLiteral("X"));
        QTest::mouseClick(form->RadioDate, Qt::LeftButton);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{0});
        QCOMPARE(form->Memo->toPlainText(), QStringLiteral("X"));
        // A new note takes the type chosen before it is saved.
        QTest::mouseClick(form->RadioYearly, Qt::LeftButton);
        QCOMPARE(form->Memo->toPlainText(), QStringLiteral("X"));
        QTest::mouseClick(form->Zachowaj, Qt::LeftButton);
        QCOMPARE(form->Journal().FindNote("    .06.21").text, std::string("X"));
        QCOMPARE(form->Journal().FindNote("2024.06.21").text, std::string());
    }

    void AnUnreadableNotesFileIsReported()
    {
        m_notesFile.SetFile(kDir / "dnz.dat", "");
        m_notesFile.failRead = true;
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        auto form = Make(EncodeDate(2024, 6, 21));
        QVERIFY(AppMessageBox::LastAnswered().has_value());
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Komunikat"));
        QVERIFY(AppMessageBox::LastAnswered()->text.startsWith(
            QStringLiteral("Nie powiodło się otwarcie ani utworzenie pliku:\n")));
        QVERIFY(form->Memo->isReadOnly());
    }

    // A picture runs with nobody to close a box: the failure must not stop it.
    void APictureReportsAnUnreadableNotesFileWithoutABox()
    {
        m_notesFile.SetFile(kDir / "dnz.dat", "");
        m_notesFile.failRead = true;
        MainWindowOptions options;
        options.programDir = kDir;
        options.date = EncodeDate(2024, 6, 21);
        options.withTray = false;
        options.startTimers = false;
        options.persist = false;
        TForm1 form(MainWindowServices{m_clock, m_store, m_notesFile}, options);
        QCOMPARE(AppMessageBox::AnsweredCount(), 0);
        QVERIFY(!m_store.OpenKey(false));  // and nothing was written to the settings
    }

    void WithoutATrayTheWindowStillOffersZakoncz()
    {
        MainWindowOptions options;
        options.programDir = kDir;
        options.withTray = true;
        options.trayAvailable = false;
        options.startTimers = false;
        auto form = std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile}, options);
        QStringList texts;
        for (QAction* action : form->actions())
            texts << action->text();
        QVERIFY(texts.contains(QStringLiteral("Zakończ")));
        QSignalSpy finished(form.get(), &TForm1::Finished);
        form->actions().back()->trigger();
        QCOMPARE(finished.count(), 1);
    }

    void ACancelledRangeWritesNothing()
    {
        auto form = Make(EncodeDate(2024, 6, 1));
        ClickDay(*form, 1);
        m_shift = true;
        ClickDay(*form, 5, Qt::ShiftModifier);
        QCOMPARE(m_dialogRuns, 1);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{0});
    }
};

QTEST_MAIN(DayViewTest)
#include "day_view_test.moc"
