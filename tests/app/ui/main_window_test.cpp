// The main window's shell: its fixed layout, going to the tray and back, quitting, the links.
#include "app/ui/main_window.h"
#include "find_child.h"
#include "app/ui/day_panel.h"

#include "app/ui/link_label.h"
#include "ui_support/message_box.h"
#include "app/ui/speed_button.h"
#include "app/ui/tray_icon.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_notifier.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include "../../group_box_places.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTextCursor>
#include <QTest>
#include <QWheelEvent>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono;

namespace {

struct Setup
{
    bool withTray = true;
    bool trayAvailable = true;
    // Addresses of a build that has them; the shipped build may have none.
    InfoLinks links{QStringLiteral("https://dniarz.test/"), QStringLiteral("uwagi@dniarz.test"),
                    QUrl::fromLocalFile(QStringLiteral("/usr/share/doc/dniarz/README.md"))};
};

}  // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    // 2024-06-21 10:00 UTC, two hours east: local noon.
    const SystemClock::TimePoint m_start = sys_days{year{2024} / June / 21} + hours{10};
    FakeSystemClock m_clock{m_start, hours{2}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    std::vector<QUrl> m_opened;
    bool m_openSucceeds = true;

    std::unique_ptr<TForm1> Make(Setup setup = {})
    {
        MainWindowOptions options;
        options.date = EncodeDate(2023, 12, 5);
        options.withTray = setup.withTray;
        options.trayAvailable = setup.trayAvailable;
        options.startTimers = false;
        options.openUrl = [this](const QUrl& url) {
            m_opened.push_back(url);
            return m_openSucceeds;
        };
        options.programDir = "/notes";
        options.infoLinks = setup.links;
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile}, options);
    }

private slots:
    void init()
    {
        m_clock.Set(m_start);
        m_opened.clear();
        m_openSucceeds = true;
        AppMessageBox::ResetAnswered();
    }

    void WindowHasItsFixedSizeAndCaption()
    {
        auto form = Make();
        QCOMPARE(form->windowTitle(), QStringLiteral("Dniarz"));
        QCOMPARE(form->minimumSize(), QSize(579, 507));
        QCOMPARE(form->maximumSize(), QSize(579, 507));
        // No maximise where the layout cannot grow; minimise and close stay.
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        // A window manager that maximises all the same finds the window back at its size.
        form->show();
        form->showMaximized();
        QVERIFY(!form->isMaximized());
        QCOMPARE(form->size(), QSize(579, 507));
        form->showMinimized();
        QVERIFY(form->isMinimized());
    }

    // The wheel over a month grid changes the month: up is earlier, down later, a notch a month;
    // parts of a notch add up; over a small grid too.
    void TheWheelOverAGridChangesTheMonth()
    {
        auto form = Make();
        form->show();
        auto* cal = Find<TCalenPnl>(*form, "cal");
        const auto turn = [](QWidget* grid, int delta) {
            const QPointF at(grid->width() / 2.0, grid->height() / 2.0);
            QWheelEvent wheel(at, grid->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid, &wheel);
        };
        const auto shown = [&form, cal] {
            return QStringLiteral("%1.%2 %3")
                .arg(cal->Year())
                .arg(cal->Month())
                .arg(Find<QLabel>(*form, "lmiesiac")->text());
        };
        QCOMPARE(shown(), QStringLiteral("2023.12 grudzień"));
        turn(cal, 120);
        QCOMPARE(shown(), QStringLiteral("2023.11 listopad"));
        QCOMPARE(Find<TCalenPnl>(*form, "calf")->Month(), 12);
        turn(cal, -240);
        QCOMPARE(shown(), QStringLiteral("2024.1 styczeń"));
        turn(cal, -60);
        QCOMPARE(shown(), QStringLiteral("2024.1 styczeń"));
        turn(cal, -60);
        QCOMPARE(shown(), QStringLiteral("2024.2 luty"));
        turn(Find<TCalenPnl>(*form, "calff"), 120);
        QCOMPARE(shown(), QStringLiteral("2024.1 styczeń"));
        turn(Find<TCalenPnl>(*form, "calb"), -120);
        QCOMPARE(shown(), QStringLiteral("2024.2 luty"));
        // A sideways turn is no month.
        QWheelEvent sideways(QPointF(5, 5), cal->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(120, 0), Qt::NoButton,
                             Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(cal, &sideways);
        QCOMPARE(shown(), QStringLiteral("2024.2 luty"));
    }

    void ControlsSitWhereTheLayoutPutsThem()
    {
        auto form = Make();
        struct Row
        {
            const char* name;
            QRect rect;  // relative to its parent
        };
        const Row rows[] = {
            {"TopBar", {0, 0, 579, 29}},     {"alarm", {168, 4, 49, 21}},         {"azalwyl", {228, 4, 81, 22}},
            {"alstop", {320, 4, 61, 22}},    {"SpeedButton7", {536, 4, 23, 22}},  {"calb", {12, 36, 141, 161}},
            {"Panel1", {164, 36, 97, 161}},  {"calf", {272, 36, 141, 161}},       {"calff", {424, 36, 141, 161}},
            {"cal", {12, 208, 249, 181}},    {"ltydzien", {0, 4, 96, 16}},        {"ldzien", {0, 20, 96, 28}},
            {"lmiesiac", {0, 49, 96, 16}},   {"lrok", {0, 64, 96, 16}},           {"limien", {0, 100, 96, 54}},
            {"lextraday", {0, 100, 96, 25}}, {"RadioGroup", {272, 200, 293, 42}}, {"Memo", {272, 264, 293, 125}},
            {"Dzisiaj", {12, 404, 61, 22}},  {"Tel", {80, 404, 55, 22}},          {"Konfig", {144, 404, 55, 22}},
            {"Info", {204, 404, 55, 22}},    {"Zachowaj", {272, 404, 81, 22}},    {"Anuluj", {378, 404, 81, 22}},
            {"Wykasuj", {484, 404, 81, 22}}, {"InfoPanel", {0, 434, 579, 73}},
        };
        for (const Row& r : rows) {
            auto* widget = form->findChild<QWidget*>(QLatin1String(r.name));
            QVERIFY2(widget, r.name);
            QVERIFY2(widget->geometry() == r.rect, r.name);
        }
        for (const char* name : {"slonce", "Label1", "ldt", "lgodzina"})
            QVERIFY2(form->findChild<QWidget*>(QLatin1String(name)), name);
        QCOMPARE(form->findChild<QWidget*>("slonce")->pos(), QPoint(4, 84));
        QCOMPARE(form->findChild<QWidget*>("Label1")->pos(), QPoint(272, 244));
        QCOMPARE(form->findChild<QWidget*>("ldt")->pos(), QPoint(384, 244));
        QVERIFY(Find<QPushButton>(*form, "alstop")->isHidden());
        QVERIFY(Find<QLabel>(*form, "lextraday")->isHidden());
    }

    // Fixed pixel widths only work while the captions and texts really fit into them.
    void EveryCaptionFitsItsPlace()
    {
        auto form = Make();
        for (SpeedButton* button : form->findChildren<SpeedButton*>())
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
        auto* infoPanel = Find<QWidget>(*form, "InfoPanel");
        for (QLabel* label : infoPanel->findChildren<QLabel*>())
            QVERIFY2(label->geometry().right() < infoPanel->width() - 1, qPrintable(label->objectName()));
        for (QWidget* child : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!child->isWindow())
                QVERIFY2(form->rect().contains(child->geometry()), qPrintable(child->objectName()));

        // The note type: the title clear of the buttons, the buttons inside the frame, the group
        // between the grids above and the note label below.
        auto* group = Find<QGroupBox>(*form, "RadioGroup");
        const auto [title, inside] = PlacesOf(group);
        for (const char* name : {"RadioDate", "RadioYearly"}) {
            const auto* radio = Find<QRadioButton>(*form, name);
            QVERIFY2(radio->sizeHint().width() <= radio->width(), name);
            QVERIFY2(radio->sizeHint().height() <= radio->height(), name);
            QVERIFY2(inside.contains(radio->geometry()), name);
            QVERIFY2(!title.intersects(radio->geometry()), name);
        }
        QVERIFY(group->geometry().top() > Find<QWidget>(*form, "calf")->geometry().bottom());
        QVERIFY(group->geometry().bottom() < Find<QLabel>(*form, "Label1")->geometry().top());
        // "Notatkę sporządzono:" is the longer caption and must end before the time stamp.
        auto* label1 = Find<QLabel>(*form, "Label1");
        QVERIFY(label1->x() + label1->fontMetrics().horizontalAdvance(QStringLiteral("Notatkę sporządzono:"))
                < Find<QLabel>(*form, "ldt")->x());
    }

    void MonthButtonsHaveTheirPolishHints()
    {
        auto form = Make();
        form->grab();
        auto* cal = Find<TCalenPnl>(*form, "cal");
        QCOMPARE(cal->PreviousButton()->toolTip(), QStringLiteral("Poprzedni miesiąc"));
        QCOMPARE(cal->NextButton()->toolTip(), QStringLiteral("Następny miesiąc"));
    }

    void DayNumberIsTheLargeArialFont()
    {
        auto form = Make();
        const QFont font = Find<QLabel>(*form, "ldzien")->font();
        QCOMPARE(font.pixelSize(), 24);
        QVERIFY(font.bold());
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(Find<QLabel>(*form, "ltydzien")->font().pixelSize(), 13);
        QCOMPARE(Find<QLabel>(*form, "lextraday")->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x80));
    }

    void HolidayLiesOverTheNamesAndLineBreaksAreShown()
    {
        auto form = Make();
        auto* limien = Find<QLabel>(*form, "limien");
        auto* lextraday = Find<QLabel>(*form, "lextraday");
        form->Day()->SetNamesAndHoliday("Poniedziałek Wielkanocny", MarkChosenNames("Alicji\r\nAnzelma", {}),
                                        MarkChosenNames("Alicji, Anzelma", {}));
        QCOMPARE(limien->text(), QStringLiteral("Alicji<br>Anzelma"));
        QCOMPARE(limien->toolTip(), QStringLiteral("Alicji\nAnzelma"));
        QCOMPARE(lextraday->text(), QStringLiteral("Poniedziałek Wielkanocny"));
        QVERIFY(!lextraday->isHidden());
        QCOMPARE(Find<QWidget>(*form, "Panel1")->childAt(48, 104), lextraday);
        // The names begin right under the holiday's text, which here takes two lines.
        QCOMPARE(limien->contentsRect().top(), lextraday->height());
        QVERIFY(lextraday->height() >= 2 * lextraday->fontMetrics().lineSpacing());
        // A name is text, never markup, wherever it came from.
        form->Day()->SetNamesAndHoliday("", {{"<i>Alicji</i>\r\n", false}, {"Anzelma&", true}},
                                        MarkChosenNames("Alicji, Anzelma", {}));
        QCOMPARE(limien->text(), QStringLiteral("&lt;i&gt;Alicji&lt;/i&gt;<br><b>Anzelma&amp;</b>"));
        QVERIFY(lextraday->isHidden());
        QCOMPARE(limien->contentsRect().top(), 0);
        QCOMPARE(Find<QWidget>(*form, "Panel1")->childAt(48, 104), limien);
    }

    void ClosingHidesToTheTrayAndTheProgramGoesOn()
    {
        auto form = Make();
        QSignalSpy finished(form.get(), &TForm1::Finished);
        form->show();
        QVERIFY(!form->close());
        QVERIFY(form->isHidden());
        QCOMPARE(finished.count(), 0);
        QVERIFY(form->TrayIcon()->IconVisible());
    }

    void WithoutATrayClosingMinimisesInstead()
    {
        auto form = Make({.withTray = true, .trayAvailable = false});
        QSignalSpy finished(form.get(), &TForm1::Finished);
        form->show();
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QVERIFY(form->isMinimized());
        QCOMPARE(finished.count(), 0);
    }

    void HiddenStartDependsOnTheTray()
    {
        auto inTray = Make();
        inTray->StartShown(true);
        QVERIFY(inTray->isHidden());

        auto noTray = Make({.withTray = true, .trayAvailable = false});
        noTray->StartShown(true);
        QVERIFY(noTray->isVisible());
        QVERIFY(noTray->isMinimized());

        auto plain = Make();
        plain->StartShown(false);
        QVERIFY(plain->isVisible());
        QVERIFY(!plain->isMinimized());
    }

    void TrayMenuOffersItsFourItemsAndQuitEndsWhileHidden()
    {
        auto form = Make();
        QStringList texts;
        for (QAction* action : form->TrayMenu()->actions())
            texts << action->text();
        QCOMPARE(texts, (QStringList{"Pokaż", "Kontakty", "Wył. alarm", "Drzemka", "Szukaj w notatkach…", "Zakończ"}));
        QCOMPARE(form->TrayIcon()->PopupMenu(), form->TrayMenu());
        QVERIFY(form->TrayIcon()->NoDoubleClick());
        // The clock's first tick already tells whether the alarm is set.
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Budzik nieaktywny"));

        QSignalSpy finished(form.get(), &TForm1::Finished);
        form->StartShown(true);
        form->TrayMenu()->actions().last()->trigger();
        QVERIFY(form->QuitRequested());
        QCOMPARE(finished.count(), 1);
    }

    void TrayClickBringsTheWindowBackAndRecallSelectsToday()
    {
        auto form = Make();
        form->SetRecallSelectsToday(true);
        form->StartShown(true);
        QCOMPARE(form->SelectedDate(), EncodeDate(2023, 12, 5));
        form->TrayIcon()->LeftPress();
        QTRY_VERIFY(form->isVisible());
        QCOMPARE(form->SelectedDate(), EncodeDate(2024, 6, 21));

        // Brought forward while already up: the date the user picked stays.
        form->SetRecallSelectsToday(true);
        m_clock.Advance(hours{24});
        form->ShowFromTray();
        QCOMPARE(form->SelectedDate(), EncodeDate(2024, 6, 21));
    }

    void WithoutRecallTheDateStays()
    {
        auto form = Make();
        form->StartShown(true);
        form->TrayMenu()->actions().first()->trigger();
        QVERIFY(form->isVisible());
        QCOMPARE(form->SelectedDate(), EncodeDate(2023, 12, 5));
    }

    void TodayButtonSelectsTheClocksDate()
    {
        auto form = Make();
        form->show();
        QTest::mouseClick(Find<SpeedButton>(*form, "Dzisiaj"), Qt::LeftButton);
        QCOMPARE(form->SelectedDate(), EncodeDate(2024, 6, 21));
    }

    // A window left running over midnight: the today mark moves, and the day panel and the small
    // grids follow when the user was on today and writes nothing; a note being typed keeps its day.
    void AtMidnightTheDayMovesOn()
    {
        struct Row
        {
            TDateTime evening;
            int before, after;  // the months calb shows before and after midnight
        };
        const Row rows[] = {
            {EncodeDate(2024, 6, 21), 5, 5}, {EncodeDate(2024, 6, 30), 5, 6}, {EncodeDate(2024, 12, 31), 11, 12}};
        for (const Row& r : rows) {
            for (const bool editing : {false, true}) {
                const DateParts d = DecodeDate(r.evening);
                // Two hours east: 23:59:59.5 local is 21:59:59.5 UTC.
                m_clock.Set(sys_days{year{d.year} / d.month / d.day} + hours{21} + minutes{59} + seconds{59}
                            + milliseconds{500});
                MainWindowOptions options;
                options.startTimers = false;
                options.programDir = "/notes";
                TForm1 form(MainWindowServices{m_clock, m_store, m_notesFile}, options);
                auto* cal = Find<TCalenPnl>(form, "cal");
                auto* calb = Find<TCalenPnl>(form, "calb");
                const QString names = Find<QLabel>(form, "limien")->toolTip();
                QCOMPARE(form.SelectedDate(), r.evening);
                QCOMPARE(calb->Month(), r.before);
                if (editing)
                    QTest::keyClicks(Find<QPlainTextEdit>(form, "Memo"), QStringLiteral("Kupic mleko"));
                form.Timer1Timer();
                QCOMPARE(form.SelectedDate(), r.evening);
                m_clock.Advance(seconds{1});
                form.Timer1Timer();
                if (editing) {
                    QCOMPARE(form.SelectedDate(), r.evening);
                    QCOMPARE(calb->Month(), r.before);
                    // The mark has moved all the same, in the main grid or into the next month's.
                    const DateParts next = DecodeDate(r.evening + 1);
                    const TCalenPnl* grid = next.month == d.month ? cal : Find<TCalenPnl>(form, "calf");
                    form.grab();
                    QVERIFY(grid->Grid().IsToday(grid->Grid().FirstCell() + next.day - 1));
                    continue;
                }
                QCOMPARE(form.SelectedDate(), r.evening + 1);
                QCOMPARE(calb->Month(), r.after);
                QCOMPARE(Find<QLabel>(form, "lrok")->text(), QString::number(DecodeDate(r.evening + 1).year));
                QCOMPARE(Find<QLabel>(form, "ldzien")->text(), QString::number(DecodeDate(r.evening + 1).day));
                QVERIFY(Find<QLabel>(form, "limien")->toolTip() != names);
                form.grab();
                QVERIFY(cal->Grid().IsToday(cal->Grid().CurrentCell()));
            }
        }
    }

    // Pasted characters the notes file cannot keep: "?" in the editor at once, named once under
    // it before anything is saved, in the file as "?", and no longer mentioned on the next day.
    void UnstorableCharactersAreNamedUnderTheEditor()
    {
        auto form = Make();
        form->show();
        auto* memo = Find<QPlainTextEdit>(*form, "Memo");
        auto* notice = Find<QLabel>(*form, "UnstorableNotice");
        QVERIFY(notice->isHidden());
        memo->insertPlainText(QStringLiteral("Spotkanie ☺ o 10 → sala 😀"));
        memo->insertPlainText(QStringLiteral(" ☺"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("Spotkanie ? o 10 ? sala ? ?"));
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QStringLiteral("Notatka nie zachowa znaków (są jako „?”): ☺ → 😀"));
        QCOMPARE(m_notesFile.File("/notes/dnz.dat").value_or("").find("Spotkanie"), std::string::npos);
        // In the gap between the editor and the buttons, and whole.
        const QRect place = notice->geometry();
        QVERIFY(place.top() > memo->geometry().bottom());
        QVERIFY(place.bottom() < Find<QWidget>(*form, "Zachowaj")->geometry().top());
        QVERIFY(notice->fontMetrics().horizontalAdvance(notice->text()) <= place.width());
        QVERIFY(notice->fontMetrics().ascent() + notice->fontMetrics().descent() <= place.height());
        QVERIFY(form->grab().save(QDir::current().filePath(QStringLiteral("main_window_unstorable.png")), "PNG"));

        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2023, 12, 6));
        QVERIFY(m_notesFile.File("/notes/dnz.dat").value_or("").find("Spotkanie ? o 10 ? sala ? ?")
                != std::string::npos);
        QVERIFY(notice->isHidden());
        memo->insertPlainText(QStringLiteral("☺"));
        QCOMPARE(notice->text(), QStringLiteral("Notatka nie zachowa znaków (są jako „?”): ☺"));
    }

    // The notice follows the text: a character's "?" deleted takes its name off the line, the last
    // one the line itself, and a saved note has nothing left to warn of.
    void TheUnstorableNoticeFollowsTheText()
    {
        auto form = Make();
        form->show();
        Find<TCalenPnl>(*form, "cal")->SetSelectedDate(EncodeDate(2023, 12, 12));
        auto* memo = Find<QPlainTextEdit>(*form, "Memo");
        auto* notice = Find<QLabel>(*form, "UnstorableNotice");
        const auto backspaceAt = [memo](int position) {
            QTextCursor cursor = memo->textCursor();
            cursor.setPosition(position);
            memo->setTextCursor(cursor);
            QTest::keyClick(memo, Qt::Key_Backspace);
        };
        memo->insertPlainText(QStringLiteral("a☺b→c?"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("a?b?c?"));
        QCOMPARE(notice->text(), QStringLiteral("Notatka nie zachowa znaków (są jako „?”): ☺ →"));
        backspaceAt(2);  // the "?" of ☺
        QCOMPARE(memo->toPlainText(), QStringLiteral("ab?c?"));
        QCOMPARE(notice->text(), QStringLiteral("Notatka nie zachowa znaków (są jako „?”): →"));
        QVERIFY(notice->isVisible());
        backspaceAt(5);  // the user's own "?" leaves the notice as it is
        QCOMPARE(notice->text(), QStringLiteral("Notatka nie zachowa znaków (są jako „?”): →"));
        backspaceAt(3);
        QCOMPARE(memo->toPlainText(), QStringLiteral("abc"));
        QVERIFY(notice->isHidden());
        // A character typed again is named again.
        memo->insertPlainText(QStringLiteral("😀"));
        QVERIFY(notice->isVisible());
        QCOMPARE(notice->text(), QStringLiteral("Notatka nie zachowa znaków (są jako „?”): 😀"));
        QTest::mouseClick(Find<SpeedButton>(*form, "Zachowaj"), Qt::LeftButton);
        QVERIFY(m_notesFile.File("/notes/dnz.dat").value_or("").find("ab?c") != std::string::npos);
        QVERIFY(notice->isHidden());
        QCOMPARE(memo->toPlainText(), QStringLiteral("ab?c"));
    }

    // The day number in the panel takes the grid's colour for the day also when its note goes:
    // saved, the day is marked in both; deleted and saved, black in both.
    void ADeletedNoteLeavesTheDayNumberBlack()
    {
        auto form = Make();
        form->show();
        auto* cal = Find<TCalenPnl>(*form, "cal");
        cal->SetSelectedDate(EncodeDate(2023, 12, 14));
        auto* memo = Find<QPlainTextEdit>(*form, "Memo");
        auto* ldzien = Find<QLabel>(*form, "ldzien");
        const auto dayColour = [ldzien] { return ldzien->palette().color(QPalette::WindowText); };
        QCOMPARE(dayColour(), QColor(Qt::black));
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral("Dentysta 9:00"));
        QTest::mouseClick(Find<SpeedButton>(*form, "Zachowaj"), Qt::LeftButton);
        QVERIFY(cal->SelectedDayColor() != QColor(Qt::black));
        QCOMPARE(dayColour(), cal->SelectedDayColor());
        QTest::mouseClick(Find<SpeedButton>(*form, "Wykasuj"), Qt::LeftButton);
        QTest::mouseClick(Find<SpeedButton>(*form, "Zachowaj"), Qt::LeftButton);
        QCOMPARE(memo->toPlainText(), QString());
        QCOMPARE(cal->SelectedDayColor(), QColor(Qt::black));
        QCOMPARE(dayColour(), QColor(Qt::black));
    }

    // The chosen names remind once a day: the evening before and on the day, across the year's
    // end; a start later the same day says nothing again.
    void NameDaysOfTheChosenRemindOnceADay()
    {
        // A key as the dialog writes it: the colours first, as they come before the new values.
        for (const char* colour : {"ColSunday", "ColSaturday", "ColMarked", "ColWeek", "ColToday", "Przywołanie"})
            m_store.Put(colour, RegValue::Dword(0));
        m_store.Put("Imieniny bliskich", RegValue::String("Mieszka;Żanety"));
        // 2024-12-31 23:59:59 local, two hours east.
        m_clock.Set(sys_days{year{2024} / December / 31} + hours{21} + minutes{59} + seconds{59});
        FakeNotifier notifier;
        MainWindowOptions options;
        options.startTimers = false;
        options.programDir = "/notes";
        {
            TForm1 form(MainWindowServices{m_clock, m_store, m_notesFile, nullptr, &notifier}, options);
            QCOMPARE(notifier.Count(), std::size_t(1));
            QCOMPARE(notifier.Last().summary, "Jutro imieniny: Mieszka");
        }
        TForm1 form(MainWindowServices{m_clock, m_store, m_notesFile, nullptr, &notifier}, options);
        QCOMPARE(notifier.Count(), std::size_t(1));
        m_clock.Advance(seconds{2});
        form.Timer1Timer();
        QCOMPARE(notifier.Count(), std::size_t(2));
        QCOMPARE(notifier.Last().summary, "Dziś imieniny: Mieszka");
        QCOMPARE(m_store.Key()->Find("Przypomniane imieniny")->text, std::string("2025.01.01"));
        m_store = MemorySettingsStore();
    }

    void WebLinkStepsAsideAndReportsAMissingBrowser()
    {
        auto form = Make();
        form->show();
        m_openSucceeds = false;
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(Find<LinkLabel>(*form, "RxLabel1"), Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1u);
        QCOMPARE(m_opened[0], QUrl(Find<LinkLabel>(*form, "RxLabel1")->text()));
        QVERIFY(form->isHidden());
        QVERIFY(AppMessageBox::LastAnswered());
        QCOMPARE(AppMessageBox::LastAnswered()->text, QStringLiteral("Nie można załadować domyślnej przeglądarki"));
    }

    // A build without a web page or mail address shows neither, and nothing else moves into
    // their place but "Pomoc", which opens the installed documentation like a web link does.
    void WithoutAddressesOnlyTheDocumentationIsLinked()
    {
        const QUrl readme = QUrl::fromLocalFile(QStringLiteral("/usr/share/doc/dniarz/README.md"));
        auto form = Make({.links = {{}, {}, readme}});
        form->show();
        QVERIFY(Find<LinkLabel>(*form, "RxLabel1")->isHidden());
        QVERIFY(Find<LinkLabel>(*form, "EMAIL")->isHidden());
        auto* help = Find<LinkLabel>(*form, "RxLabel2");
        QCOMPARE(help->text(), QStringLiteral("Pomoc"));
        QCOMPARE(help->x(), 80);
        auto* line = Find<QLabel>(*form, "InfoLine2");
        QVERIFY(line->geometry().right() < Find<QWidget>(*form, "InfoPanel")->width() - 1);
        for (const QLabel* label : form->findChildren<QLabel*>())
            QVERIFY2(!label->text().contains(QStringLiteral("example")), qPrintable(label->text()));
        QTest::mouseClick(help, Qt::LeftButton);
        QCOMPARE(m_opened, std::vector<QUrl>{readme});
        QVERIFY(form->isHidden());

        // No documentation installed: the user is told where else to look, and nothing opens.
        auto bare = Make({.links = {}});
        bare->show();
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(Find<LinkLabel>(*bare, "RxLabel2"), Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1u);
        QVERIFY(AppMessageBox::LastAnswered());
        QVERIFY(AppMessageBox::LastAnswered()->text.contains(QStringLiteral("dniarz --help")));
    }

    void MailLinkOpensTheMailProgramAndTheWindowStays()
    {
        auto form = Make();
        form->show();
        m_openSucceeds = false;
        QTest::mouseClick(Find<LinkLabel>(*form, "EMAIL"), Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1u);
        QCOMPARE(m_opened[0], QUrl(QStringLiteral("mailto:") + Find<LinkLabel>(*form, "EMAIL")->text()));
        QVERIFY(form->isVisible());
        QCOMPARE(AppMessageBox::AnsweredCount(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
