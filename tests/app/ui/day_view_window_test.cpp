// The day view of the main window: the refresh after a date change, the neighbour grids, the
// holidays, the names, the sun line, the note editor and the Shift-click range.
#include "app/name_reminders.h"
#include "app/settings.h"
#include "app/ui/main_window.h"
#include "find_child.h"
#include "ui_support/message_box.h"
#include "app/ui/speed_button.h"
#include "app/day_view.h"
#include "calendar/date_format.h"
#include "calendar/feasts.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include "../../platform/temp_dir.h"

#include <QAction>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <chrono>
#include <memory>

using namespace std::chrono;

namespace {

const std::filesystem::path kDir = "/notes";

std::string Text(const QLabel* label)
{
    return label->text().toStdString();
}

// What a label shows, without the markup of rich text.
QString ShownText(const QLabel* label)
{
    if (label->textFormat() != Qt::RichText)
        return label->text();
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
}

// The pieces of a rich-text label drawn in bold.
QStringList BoldPieces(const QLabel* label)
{
    QTextDocument document;
    document.setHtml(label->text());
    QStringList bold;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto piece = block.begin(); !piece.atEnd(); ++piece)
            if (piece.fragment().charFormat().fontWeight() >= QFont::Bold)
                bold << piece.fragment().text();
    return bold;
}

// Whether a word-wrapped label shows all of its text inside its contents rectangle.
bool ShowsAllOfItsText(const QLabel* label)
{
    // Rich text as the label itself lays it out, bold names with their bold width: no taller
    // than the label, and its longest word no wider.
    if (label->textFormat() == Qt::RichText)
        return label->heightForWidth(label->width()) <= label->height()
               && label->minimumSizeHint().width() <= label->width();
    const QRect room = label->contentsRect();
    const int flags = static_cast<int>(label->alignment()) | Qt::TextWordWrap;
    const QRect needed = QFontMetrics(label->font()).boundingRect(room, flags, label->text());
    return room.contains(needed);
}

// The ink a grid draws a day of its shown month in.
CellInk InkOfDay(const TCalenPnl* grid, int day)
{
    return grid->Grid().InkOf(grid->Grid().FirstCell() + day - 1);
}

}  // namespace

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

    std::unique_ptr<TForm1> Make(TDateTime date, const std::filesystem::path& sharedDir = {})
    {
        MainWindowOptions options;
        options.programDir = kDir;
        options.sharedDir = sharedDir;
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
        const int cell = Find<TCalenPnl>(form, "cal")->Grid().FirstCell() + day - 1;
        auto* cal = Find<TCalenPnl>(form, "cal");
        QTest::mouseClick(cal, Qt::LeftButton, modifiers, cal->CellRect(cell).center());
    }

    // The names the user chose in the configuration dialog, stored as its OK stores them.
    void Choose(const std::string& names)
    {
        Settings settings;
        settings.ChosenNames = names;
        QVERIFY(SaveSettings(m_store, settings));
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
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(year, month, 15));
        QString got;
        for (const char* name : {"calb", "calf", "calff"}) {
            const auto* grid = Find<TCalenPnl>(*form, name);
            got += QString::asprintf("%04d.%02d ", grid->Year(), grid->Month());
        }
        QCOMPARE(got.trimmed(), expected);
        // Each grid carries the moveable holidays of its own year.
        const auto& holidays = Find<TCalenPnl>(*form, "calff")->Holidays();
        QCOMPARE(holidays, HolidayEntries(Find<TCalenPnl>(*form, "calff")->Year()));
    }

    void DecemberGivesTheNextYearsHolidaysToJanuary()
    {
        auto form = Make(EncodeDate(2025, 12, 10));
        QCOMPARE(Find<TCalenPnl>(*form, "calf")->Holidays()[8], std::string("2026.04.06"));
        QCOMPARE(Find<TCalenPnl>(*form, "calf")->Holidays()[9], std::string("2026.06.04"));
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->Holidays()[8], std::string("2025.04.21"));
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->Holidays()[9], std::string("2025.06.19"));
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->Holidays()[0], std::string("    .12.25"));
    }

    void MovingWithinTheMonthRefreshesOnlyTheDay()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(Text(Find<QLabel>(*form, "lmiesiac")), std::string("czerwiec"));
        QCOMPARE(Text(Find<QLabel>(*form, "lrok")), std::string("2024"));
        const int rebuilds = Find<TCalenPnl>(*form, "calb")->Grid().RebuildCount();
        // Changes that the month step would undo show whether it ran.
        Find<QLabel>(*form, "lmiesiac")->setText(QStringLiteral("x"));
        Find<TCalenPnl>(*form, "calb")->SetMarkdays({"sentinel"});
        ClickDay(*form, 24);
        QCOMPARE(Text(Find<QLabel>(*form, "lmiesiac")), std::string("x"));
        QCOMPARE(Find<TCalenPnl>(*form, "calb")->Markdays(), std::vector<std::string>{"sentinel"});
        QCOMPARE(Find<TCalenPnl>(*form, "calb")->Grid().RebuildCount(), rebuilds);
        QCOMPARE(Text(Find<QLabel>(*form, "ldzien")), std::string("24"));
        QCOMPARE(Text(Find<QLabel>(*form, "ltydzien")), std::string("poniedziałek"));
        QVERIFY(ShownText(Find<QLabel>(*form, "limien")).contains(QStringLiteral("Jana")));
        // Another month runs the step again.
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 7, 1));
        QCOMPARE(Text(Find<QLabel>(*form, "lmiesiac")), std::string("lipiec"));
        QVERIFY(Find<TCalenPnl>(*form, "calb")->Markdays().empty());
    }

    void EasterMondayIsAHolidayWithItsFeastText()
    {
        auto form = Make(EncodeDate(2024, 4, 1));
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->SelectedDayColor(), QColor(Qt::red));
        QCOMPARE(Find<QLabel>(*form, "ldzien")->palette().color(QPalette::WindowText), QColor(Qt::red));
        QVERIFY(Find<QLabel>(*form, "lextraday")->isVisibleTo(form.get()));
        QCOMPARE(Find<QLabel>(*form, "lextraday")->text(), QStringLiteral("Pon. Wielkanocny"));
        QVERIFY(Find<QLabel>(*form, "limien")->contentsRect().top() > 0);
        // The day after is an ordinary Tuesday: black, no holiday, names from the first line.
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 4, 2));
        QCOMPARE(Find<QLabel>(*form, "ldzien")->palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(!Find<QLabel>(*form, "lextraday")->isVisibleTo(form.get()));
        QCOMPARE(Find<QLabel>(*form, "limien")->contentsRect().top(), 0);
        QVERIFY(!Find<QLabel>(*form, "limien")->text().isEmpty());
        auto* limien = Find<QLabel>(*form, "limien");
        QCOMPARE(limien->toolTip().count(QLatin1Char('\n')), ShownText(limien).count(QLatin1Char('\n')));
    }

    void SunLineForWarsaw()
    {
        {
            auto key = m_store.OpenKey(true);
            key->WriteBinary("Szerokość geograficzna", DoubleToBytes(52.236620));
            key->WriteBinary("Długość geograficzna", DoubleToBytes(21.027916));
        }
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(Find<QLabel>(*form, "slonce")->text(), QStringLiteral("W/Z: 04:14/21:01"));
        QCOMPARE(Find<QLabel>(*form, "slonce")->toolTip(),
                 QStringLiteral("Słońce W/Z: 04:14/21:01\nKsiężyc W/Z: 21:21/02:51\n"
                                "Księżyc faza: 100 % (+)\nDzień trwa 16 h 47 min, tyle co wczoraj\n"
                                "173. dzień roku, zostało 193"));
    }

    void TheClockShowsLocalTimeFromTheStart()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(Text(Find<QLabel>(*form, "lgodzina")), std::string("12:00:00"));
    }

    void AnEditIsSavedUnderTheDayItWasTypedFor()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QTest::keyClicks(Find<QPlainTextEdit>(*form, "Memo"), QStringLiteral("Dentysta"));
        ClickDay(*form, 22);
        QCOMPARE(form->Journal().FindNote("2024.06.21").text, std::string("Dentysta"));
        QCOMPARE(form->Journal().FindNote("2024.06.22").text, std::string());
        QVERIFY(StoredFile().starts_with("2024.06.21\r\n2024.06.21  12:00\r\nDentysta\r\n****\r\n"));
        // The new day shows its own (empty) note, and the saved day is marked at once.
        QVERIFY(Find<QPlainTextEdit>(*form, "Memo")->toPlainText().isEmpty());
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->Markdays(), std::vector<std::string>{"2024.06.21"});
    }

    void ZachowajMarksTheDayAndWykasujUnmarksIt()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QTest::keyClicks(Find<QPlainTextEdit>(*form, "Memo"), QStringLiteral("a"));
        QTest::mouseClick(Find<SpeedButton>(*form, "Zachowaj"), Qt::LeftButton);
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->Markdays(), std::vector<std::string>{"2024.06.21"});
        QCOMPARE(Find<QLabel>(*form, "Label1")->text(), QStringLiteral("Notatkę sporządzono:"));
        QCOMPARE(Find<QLabel>(*form, "ldt")->text(), QStringLiteral("2024.06.21  12:00"));
        QTest::mouseClick(Find<SpeedButton>(*form, "Wykasuj"), Qt::LeftButton);
        QTest::mouseClick(Find<SpeedButton>(*form, "Zachowaj"), Qt::LeftButton);
        QVERIFY(Find<TCalenPnl>(*form, "cal")->Markdays().empty());
        QCOMPARE(Find<QLabel>(*form, "Label1")->text(), QStringLiteral("Brak notatki"));
    }

    void BothNotesShowTogetherAndTheTypeSwitchEditsOne()
    {
        m_notesFile.SetFile(kDir / "dnz.dat", "2024.06.21\r\n2024.06.01  10:00\r\nData\r\n****\r\n"
                                              "    .06.21\r\n2024.06.01  11:00\r\nRok\r\n****\r\n");
        auto form = Make(EncodeDate(2024, 6, 21));
        QCOMPARE(Find<QPlainTextEdit>(*form, "Memo")->toPlainText(),
                 QStringLiteral("---- Notatka na konkretny dzień: \nData\n---- Notatka coroczna:\nRok"));
        QVERIFY(Find<QPlainTextEdit>(*form, "Memo")->isReadOnly());
        QVERIFY(!Find<QRadioButton>(*form, "RadioDate")->isChecked());
        QVERIFY(!Find<QRadioButton>(*form, "RadioYearly")->isChecked());
        QCOMPARE(Find<QLabel>(*form, "ldt")->text(), QStringLiteral("---"));
        QCOMPARE(Find<QLabel>(*form, "Label1")->text(), QStringLiteral("Notatkę sporządzono:"));
        QTest::mouseClick(Find<QRadioButton>(*form, "RadioYearly"), Qt::LeftButton);
        QCOMPARE(Find<QPlainTextEdit>(*form, "Memo")->toPlainText(), QStringLiteral("Rok"));
        QVERIFY(!Find<QPlainTextEdit>(*form, "Memo")->isReadOnly());
        QVERIFY(Find<QRadioButton>(*form, "RadioYearly")->isChecked());
        QCOMPARE(Find<QLabel>(*form, "ldt")->text(), QStringLiteral("2024.06.01  11:00"));
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->Markdays().size(), std::size_t{2});
    }

    void CharactersTheFileCannotHoldShowAsQuestionMarks()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        // As typed or pasted: key events cannot carry these characters.
        Find<QPlainTextEdit>(*form, "Memo")->insertPlainText(QStringLiteral("zażółć → ☺"));
        QCOMPARE(Find<QPlainTextEdit>(*form, "Memo")->toPlainText(), QStringLiteral("zażółć ? ?"));
        QTest::mouseClick(Find<SpeedButton>(*form, "Zachowaj"), Qt::LeftButton);
        QCOMPARE(form->Journal().FindNote("2024.06.21").text, std::string("zażółć ? ?"));
    }

    void ShiftClickWritesTheRangeAfterTheDialog()
    {
        auto form = Make(EncodeDate(2024, 1, 1));
        ClickDay(*form, 1);  // the anchor
        m_dialogAnswer = RangeNote{RangeOperation::Assign, "Urlop"};
        m_shift = true;
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 2, 1));  // no click: an ordinary change
        QCOMPARE(m_dialogRuns, 0);
        m_shift = false;
        ClickDay(*form, 1);  // 1 February, no Shift: the anchor moves here
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 1, 1));
        ClickDay(*form, 1);  // anchor back on 1 January
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 2, 1));
        m_shift = true;
        ClickDay(*form, 1, Qt::ShiftModifier);  // 31 days after the anchor
        QCOMPARE(m_dialogRuns, 1);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{32});
        QCOMPARE(form->Journal().FindNote("2024.01.01").text, std::string("Urlop"));
        QCOMPARE(form->Journal().FindNote("2024.02.01").text, std::string("Urlop"));
        QCOMPARE(Find<QPlainTextEdit>(*form, "Memo")->toPlainText(), QStringLiteral("Urlop"));
        QCOMPARE(Find<TCalenPnl>(*form, "cal")->Markdays().size(), std::size_t{1});
        QCOMPARE(Find<TCalenPnl>(*form, "calb")->Markdays().size(), std::size_t{31});

        // 32 days is one too many: nothing is asked and nothing written.
        m_shift = false;
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 3, 1));
        ClickDay(*form, 1);
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 4, 2));
        m_shift = true;
        ClickDay(*form, 2, Qt::ShiftModifier);
        QCOMPARE(m_dialogRuns, 1);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{32});
    }

    void ClickingTheChosenTypeAgainSavesNothing()
    {
        auto form = Make(EncodeDate(2024, 6, 21));
        QTest::keyClicks(Find<QPlainTextEdit>(*form, "Memo"), QStringLiteral("X"));
        QTest::mouseClick(Find<QRadioButton>(*form, "RadioDate"), Qt::LeftButton);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{0});
        QCOMPARE(Find<QPlainTextEdit>(*form, "Memo")->toPlainText(), QStringLiteral("X"));
        // A new note takes the type chosen before it is saved.
        QTest::mouseClick(Find<QRadioButton>(*form, "RadioYearly"), Qt::LeftButton);
        QCOMPARE(Find<QPlainTextEdit>(*form, "Memo")->toPlainText(), QStringLiteral("X"));
        QTest::mouseClick(Find<SpeedButton>(*form, "Zachowaj"), Qt::LeftButton);
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
        QVERIFY(Find<QPlainTextEdit>(*form, "Memo")->isReadOnly());
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

    // Arrows, Page Up/Down, Home and End move the day as a click does, without ever making a range.
    void KeyMovesRefreshTheWholeDayView()
    {
        m_notesFile.SetFile(kDir / "dnz.dat", "2024.07.10\r\n2024.06.01  10:00\r\nLato\r\n****\r\n"
                                              "2023.07.22\r\n2023.06.01  10:00\r\nRok temu\r\n****\r\n");
        auto form = Make(EncodeDate(2024, 6, 21));
        auto* cal = Find<TCalenPnl>(*form, "cal");
        ClickDay(*form, 21);  // the anchor of a would-be range
        m_shift = true;       // held through every key below
        m_dialogAnswer = RangeNote{RangeOperation::Assign, "nie"};

        QTest::keyClick(cal, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(Text(Find<QLabel>(*form, "ldzien")), std::string("22"));
        QCOMPARE(Text(Find<QLabel>(*form, "ltydzien")), std::string("sobota"));
        QCOMPARE(Find<QLabel>(*form, "limien")->toolTip(), QStringLiteral("Pauliny\n Flawiusza\n Sabiny"));
        // A note typed now belongs to the highlighted day.
        QTest::keyClicks(Find<QPlainTextEdit>(*form, "Memo"), QStringLiteral("Wesele"));

        QTest::keyClick(cal, Qt::Key_PageDown, Qt::ShiftModifier);
        QCOMPARE(form->Journal().FindNote("2024.06.22").text, std::string("Wesele"));
        QCOMPARE(form->Journal().FindNote("2024.06.21").text, std::string());
        QCOMPARE(Text(Find<QLabel>(*form, "lmiesiac")), std::string("lipiec"));
        QCOMPARE(Find<TCalenPnl>(*form, "calb")->Month(), 6);
        QCOMPARE(Find<TCalenPnl>(*form, "calf")->Month(), 8);
        QCOMPARE(Find<TCalenPnl>(*form, "calff")->Month(), 9);
        QCOMPARE(cal->Markdays(), std::vector<std::string>{"2024.07.10"});
        QCOMPARE(Find<TCalenPnl>(*form, "calb")->Markdays(), std::vector<std::string>{"2024.06.22"});

        QTest::keyClick(cal, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(cal->SelectedDate(), EncodeDate(2023, 7, 22));
        QCOMPARE(Text(Find<QLabel>(*form, "lrok")), std::string("2023"));
        QCOMPARE(cal->Holidays(), HolidayEntries(2023));
        QCOMPARE(Find<TCalenPnl>(*form, "calb")->Holidays(), HolidayEntries(2023));
        QCOMPARE(cal->Markdays(), std::vector<std::string>{"2023.07.22"});
        QCOMPARE(Find<QPlainTextEdit>(*form, "Memo")->toPlainText(), QStringLiteral("Rok temu"));
        QCOMPARE(form->EasterOfDisplayedYear(), EncodeDate(2023, 4, 9));

        QCOMPARE(m_dialogRuns, 0);
        QCOMPARE(form->Journal().Records().Count(), std::size_t{3});
    }

    // Every day of a leap year shows every one of its names inside the panel, none cut off; also
    // with every name of the table chosen, so that all are bold.
    void EveryNameOfEveryDayIsVisible_data()
    {
        QTest::addColumn<bool>("allChosen");
        QTest::newRow("none chosen") << false;
        QTest::newRow("all chosen") << true;
    }
    void EveryNameOfEveryDayIsVisible()
    {
        QFETCH(bool, allChosen);
        NameDayTable table;
        table.Load();
        if (allChosen)
            Choose(JoinChosenNames(AllNameForms(table)));
        auto form = Make(EncodeDate(2024, 1, 1));
        auto* cal = Find<TCalenPnl>(*form, "cal");
        auto* panel = Find<QWidget>(*form, "Panel1");
        auto* limien = Find<QLabel>(*form, "limien");
        auto* lextraday = Find<QLabel>(*form, "lextraday");
        DayView reference(table);
        for (TDateTime date = EncodeDate(2024, 1, 1); date <= EncodeDate(2024, 12, 31); date += 1) {
            cal->SetSelectedDate(date);
            const std::string day = FormatDateTime("yyyy.mm.dd", date);
            const DayPanelTexts texts = reference.Refresh(date, false).panel;
            const QString shown = ShownText(limien);
            const QStringList dayNames =
                QString::fromStdString(texts.namesInline).split(QStringLiteral(", "), Qt::SkipEmptyParts);
            for (const QString& name : dayNames)
                QVERIFY2(shown.contains(name), qPrintable(QString::fromStdString(day) + ' ' + name));
            QVERIFY2(BoldPieces(limien) == (allChosen ? dayNames : QStringList()), day.c_str());
            QVERIFY2(panel->rect().contains(limien->geometry()), day.c_str());
            QVERIFY2(ShowsAllOfItsText(limien), day.c_str());
            if (lextraday->isVisibleTo(form.get())) {
                QVERIFY2(ShowsAllOfItsText(lextraday), day.c_str());
                QVERIFY2(lextraday->geometry().bottom() < limien->geometry().top() + limien->contentsRect().top(),
                         day.c_str());
            }
        }
        cal->SetSelectedDate(EncodeDate(2024, 12, 24));
        QCOMPARE(lextraday->text(), QStringLiteral("Wigilia"));
        for (const char* name : {"Adama", "Ewy", "Irminy", "Zenobiusza"})
            QVERIFY2(ShownText(limien).contains(QLatin1String(name)), name);
    }

    // A chosen name stands out in bold among the day's names, a name it only begins does not; the
    // hint keeps the plain list.
    void ChosenNamesAreBold()
    {
        Choose("Flawiusza;Mścisława;Pauli");
        auto form = Make(EncodeDate(2024, 6, 22));
        auto* limien = Find<QLabel>(*form, "limien");
        QCOMPARE(BoldPieces(limien), QStringList{QStringLiteral("Flawiusza")});
        QCOMPARE(ShownText(limien), QStringLiteral("Pauliny\nFlawiusza\nSabiny"));
        QCOMPARE(limien->toolTip(), QStringLiteral("Pauliny\n Flawiusza\n Sabiny"));
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 1, 8));
        QCOMPARE(BoldPieces(limien), QStringList{QStringLiteral("Mścisława")});
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2024, 1, 9));
        QVERIFY(BoldPieces(limien).isEmpty());
    }

    // The longest names of the year with every other one chosen: bold among plain, and all inside
    // the panel. Draws the panel and the window for a look.
    void TheLongestNamesFitWithSomeInBold()
    {
        NameDayTable table;
        table.Load();
        DayView reference(table);
        TDateTime longest = 0;
        QString names;
        for (TDateTime date = EncodeDate(2024, 1, 1); date <= EncodeDate(2024, 12, 31); date += 1) {
            const QString day = QString::fromStdString(reference.Refresh(date, false).panel.namesInline);
            if (day.size() > names.size()) {
                longest = date;
                names = day;
            }
        }
        QStringList chosen;
        const QStringList all = names.split(QStringLiteral(", "));
        for (qsizetype i = 0; i < all.size(); i += 2)
            chosen << all[i];
        QVERIFY(chosen.size() >= 3);
        Choose(chosen.join(QLatin1Char(';')).toStdString());
        auto form = Make(longest);
        auto* limien = Find<QLabel>(*form, "limien");
        QCOMPARE(BoldPieces(limien), chosen);
        QVERIFY2(ShowsAllOfItsText(limien), qPrintable(names));
        QVERIFY(Find<QWidget>(*form, "Panel1")
                    ->geometry()
                    .contains(limien->geometry().translated(Find<QWidget>(*form, "Panel1")->pos())));
        QVERIFY(Find<QWidget>(*form, "Panel1")
                    ->grab()
                    .save(QDir::current().filePath(QStringLiteral("day_panel_chosen.png"))));
        QVERIFY(form->grab().save(QDir::current().filePath(QStringLiteral("main_window_chosen.png"))));
    }

    // The Polish calendar's additions: under the holiday, in its hint and in the month name's hint,
    // every text shown whole above the day's names.
    void TradingSundaysSaturdayHolidaysAndFeastsAreShown()
    {
        struct Row
        {
            TDateTime date;
            const char* extra;
            const char* hint;
        };
        const Row rows[] = {
            {EncodeDate(2025, 12, 14), "Niedziela handlowa", ""},
            {EncodeDate(2025, 4, 13), "Niedziela Palmowa\nNiedziela handlowa", ""},
            {EncodeDate(2026, 2, 12), "Tłusty Czwartek", ""},
            {EncodeDate(2025, 6, 8), "Zesłanie Ducha Świętego — Zielone Świątki", ""},
            {EncodeDate(2026, 8, 15), nullptr, "Święto w sobotę — przysługuje inny dzień wolny"},
        };
        auto form = Make(EncodeDate(2025, 12, 14));
        auto* cal = Find<TCalenPnl>(*form, "cal");
        auto* lextraday = Find<QLabel>(*form, "lextraday");
        auto* limien = Find<QLabel>(*form, "limien");
        for (const Row& r : rows) {
            cal->SetSelectedDate(r.date);
            const QByteArray day = FormatDateTime("yyyy.mm.dd", r.date).c_str();
            if (r.extra)
                QCOMPARE(lextraday->text(), QString::fromUtf8(r.extra));
            QVERIFY2(lextraday->isVisibleTo(form.get()), day);
            QCOMPARE(lextraday->toolTip(), QString::fromUtf8(r.hint));
            QVERIFY2(ShowsAllOfItsText(lextraday), day);
            QVERIFY2(ShowsAllOfItsText(limien), day);
            QVERIFY2(lextraday->geometry().bottom() < limien->geometry().top() + limien->contentsRect().top(), day);
        }
        cal->SetSelectedDate(EncodeDate(2025, 11, 5));
        QCOMPARE(Find<QLabel>(*form, "lmiesiac")->toolTip(), QStringLiteral("Wymiar czasu pracy: 18 dni, 144 godz."));
    }

    // With a voivodeship chosen, its school breaks are named under the holiday and shaded in the
    // grids under numbers that keep their colours; the today mark covers the shade. The winter
    // holidays come from the file shipped beside the program.
    void SchoolBreaksOfTheChosenVoivodeshipAreNamedAndShaded()
    {
        TempDir shared;
        WriteWholeFile(shared.Path() / "ferie-zimowe.txt", "2026-02-02 2026-02-15 dolnośląskie\n");
        m_store.Put("Województwo", RegValue::String("dolnośląskie"));
        auto form = Make(EncodeDate(2026, 2, 10), shared.Path());
        QCOMPARE(AppMessageBox::AnsweredCount(), 0);
        auto* cal = Find<TCalenPnl>(*form, "cal");
        auto* lextraday = Find<QLabel>(*form, "lextraday");
        QCOMPARE(lextraday->text(), QStringLiteral("Ferie zimowe"));
        QVERIFY(lextraday->isVisibleTo(form.get()));
        QVERIFY(ShowsAllOfItsText(lextraday));
        QVERIFY(ShowsAllOfItsText(Find<QLabel>(*form, "limien")));

        // The shade lies in the cells' corners, clear of the number and of the selection's frame.
        const auto cornerColour = [](TCalenPnl* grid, int day) {
            const QRect cell = grid->CellRect(grid->Grid().FirstCell() + day - 1);
            return grid->grab().toImage().pixelColor(cell.left() + 3, cell.bottom() - 3);
        };
        const QColor face = cal->palette().color(QPalette::Active, QPalette::Button);
        QVERIFY(TCalenPnl::ShadeColour() != face);
        QCOMPARE(cornerColour(cal, 10), TCalenPnl::ShadeColour());  // selected
        QCOMPARE(cornerColour(cal, 2), TCalenPnl::ShadeColour());
        QCOMPARE(cornerColour(cal, 15), TCalenPnl::ShadeColour());  // a Sunday, its ink unchanged
        QCOMPARE(InkOfDay(cal, 15), CellInk::Sunday);
        QCOMPARE(cornerColour(cal, 16), face);
        QCOMPARE(cornerColour(cal, 1), face);
        // The neighbours: April's Easter break (2-7 April) in the grid after next.
        auto* calff = Find<TCalenPnl>(*form, "calff");
        QCOMPARE(calff->Month(), 4);
        QCOMPARE(cornerColour(calff, 2), TCalenPnl::ShadeColour());
        QCOMPARE(cornerColour(calff, 8), face);
        QVERIFY(form->grab().save(QDir::current().filePath(QStringLiteral("main_window_winter_holidays.png"))));

        // Every break day of 2025 and 2026 that has more to say than the break fits the panel.
        int checked = 0;
        for (TDateTime day = EncodeDate(2025, 1, 1); day <= EncodeDate(2026, 12, 31); day += 1) {
            cal->SetSelectedDate(day);
            if (!lextraday->text().contains(QLatin1Char('\n')))
                continue;
            ++checked;
            const QByteArray key = DateKey(day).c_str();
            QVERIFY2(ShowsAllOfItsText(lextraday), key);
            QVERIFY2(ShowsAllOfItsText(Find<QLabel>(*form, "limien")), key);
            QVERIFY2(lextraday->geometry().bottom() < Find<QLabel>(*form, "limien")->geometry().top()
                                                          + Find<QLabel>(*form, "limien")->contentsRect().top(),
                     key);
        }
        QVERIFY(checked > 20);
    }

    // The today mark keeps its colour over a shaded day.
    void TodayKeepsItsMarkOnABreakDay()
    {
        // A made-up turn around today (21 June 2024), so that today lies in a break.
        TempDir shared;
        WriteWholeFile(shared.Path() / "ferie-zimowe.txt", "2024-06-17 2024-06-21 mazowieckie\n");
        m_store.Put("Województwo", RegValue::String("mazowieckie"));
        auto form = Make(EncodeDate(2024, 6, 3), shared.Path());
        auto* cal = Find<TCalenPnl>(*form, "cal");
        const QImage image = cal->grab().toImage();
        const auto corner = [&](int day) {
            const QRect cell = cal->CellRect(cal->Grid().FirstCell() + day - 1);
            return image.pixelColor(cell.left() + 3, cell.bottom() - 3);
        };
        QCOMPARE(corner(21), cal->ColToday());
        QCOMPARE(corner(20), TCalenPnl::ShadeColour());
        QCOMPARE(corner(22), TCalenPnl::ShadeColour());  // the summer
        QCOMPARE(corner(14), cal->palette().color(QPalette::Active, QPalette::Button));
    }

    // Without a voivodeship nothing is shaded nor named; a faulty file is shown once, in a box,
    // and its good lines still count.
    void NoVoivodeshipNoBreaksAndAFaultyFileIsShown()
    {
        TempDir shared;
        WriteWholeFile(shared.Path() / "ferie-zimowe.txt",
                       "2026-02-02 2026-02-15 dolnośląskie\n2026-02-16 2026-03-01 dolny śląsk\n");
        {
            auto form = Make(EncodeDate(2026, 2, 10), shared.Path());
            QCOMPARE(Find<QLabel>(*form, "lextraday")->text(), QString());
            QVERIFY(
                !Find<TCalenPnl>(*form, "cal")->Grid().IsShaded(Find<TCalenPnl>(*form, "cal")->Grid().CurrentCell()));
            // Without a voivodeship the file is not even read.
            QCOMPARE(AppMessageBox::AnsweredCount(), 0);
        }
        m_store.Put("Województwo", RegValue::String("dolnośląskie"));
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        auto form = Make(EncodeDate(2026, 2, 10), shared.Path());
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QVERIFY(
            AppMessageBox::LastAnswered()->text.startsWith(QStringLiteral("Błędne wiersze w pliku ferii zimowych ")));
        QVERIFY(AppMessageBox::LastAnswered()->text.contains(
            QStringLiteral("\nwiersz 2: nieznane województwo „dolny śląsk”")));
        QCOMPARE(AppMessageBox::LastAnswered()->icon, QMessageBox::Warning);
        QCOMPARE(Find<QLabel>(*form, "lextraday")->text(), QStringLiteral("Ferie zimowe"));
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2026, 2, 20));
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);  // once, not at every refresh

        // A missing file is no fault: no winter holidays, the other breaks still there.
        std::filesystem::remove(shared.Path() / "ferie-zimowe.txt");
        form.reset();
        form = Make(EncodeDate(2026, 2, 10), shared.Path());
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(Find<QLabel>(*form, "lextraday")->text(), QString());
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2026, 4, 3));
        QCOMPARE(Find<QLabel>(*form, "lextraday")->text(),
                 QStringLiteral("Wielki Piątek\nWiosenna przerwa świąteczna"));
    }

    // 6 January since 2011 and 24 December since 2025 are public holidays, not before.
    void LaterPublicHolidaysAreColouredInTheirYearsOnly()
    {
        struct Row
        {
            int year, month, day;
            bool holiday;
        };
        const Row rows[] = {{2024, 1, 6, true}, {2025, 12, 24, true}, {2010, 1, 6, false}, {2024, 12, 24, false}};
        for (const Row& r : rows) {
            const QString day = QString::asprintf("%04d-%02d-%02d", r.year, r.month, r.day);
            // Each selected month that puts the day into another of the four grids.
            int seenIn = 0;
            for (int offset = -2; offset <= 1; ++offset) {
                const std::optional<GridMonth> selected = OffsetMonth(r.year, r.month, offset);
                auto form = Make(EncodeDate(selected->year, selected->month, 1));
                for (const char* name : {"cal", "calb", "calf", "calff"}) {
                    const auto* grid = Find<TCalenPnl>(*form, name);
                    if (grid->Year() != r.year || grid->Month() != r.month)
                        continue;
                    ++seenIn;
                    const CellInk ink = InkOfDay(grid, r.day);
                    QVERIFY2((ink == CellInk::Holiday) == r.holiday, qPrintable(day + ' ' + name));
                }
            }
            QCOMPARE(seenIn, 4);
            // The day number shows the same colour, and the panel names the holiday that the red
            // stands for (24 December had its name in the table before it became one).
            auto form = Make(EncodeDate(r.year, r.month, r.day));
            QCOMPARE(Find<QLabel>(*form, "ldzien")->palette().color(QPalette::WindowText) == QColor(Qt::red),
                     r.holiday);
            const QString named = r.month == 12 ? QStringLiteral("Wigilia")
                                  : r.holiday   ? QStringLiteral("Trzech Króli")
                                                : QString();
            QCOMPARE(Find<QLabel>(*form, "lextraday")->text(), named);
            QCOMPARE(Find<QLabel>(*form, "lextraday")->isHidden(), named.isEmpty());
        }
    }

    // Beyond the years 1..9999 a neighbour grid shows nothing rather than some other month.
    void NeighbourGridsAtTheEndsOfTheCalendarAreBlank()
    {
        auto form = Make(EncodeDate(9999, 12, 15));
        QVERIFY(!Find<TCalenPnl>(*form, "calb")->Blank());
        QCOMPARE(Find<TCalenPnl>(*form, "calb")->Month(), 11);
        QVERIFY(Find<TCalenPnl>(*form, "calf")->Blank());
        QVERIFY(Find<TCalenPnl>(*form, "calff")->Blank());
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(9999, 11, 1));
        QVERIFY(!Find<TCalenPnl>(*form, "calf")->Blank());
        QVERIFY(Find<TCalenPnl>(*form, "calff")->Blank());
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(1, 1, 1));
        QVERIFY(Find<TCalenPnl>(*form, "calb")->Blank());
        QVERIFY(!Find<TCalenPnl>(*form, "calf")->Blank());
        QVERIFY(!Find<TCalenPnl>(*form, "calff")->Blank());
        QCOMPARE(Find<TCalenPnl>(*form, "calff")->Month(), 3);
        QCOMPARE(Find<TCalenPnl>(*form, "calff")->Year(), 1);
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
#include "day_view_window_test.moc"
