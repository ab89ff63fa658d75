// The main window's shell: its fixed layout, going to the tray and back, quitting, the links.
#include "app/ui/main_window.h"

#include "app/ui/link_label.h"
#include "app/ui/message_box.h"
#include "app/ui/speed_button.h"
#include "app/ui/tray_icon.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono;

namespace {

struct Setup
{
    bool withTray = true;
    bool trayAvailable = true;
};

} // namespace

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
        QVERIFY(!(form->windowFlags() & Qt::WindowMinMaxButtonsHint));
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
            {"TopBar", {0, 0, 579, 29}},          {"alarm", {168, 4, 49, 21}},
            {"azalwyl", {228, 4, 81, 22}},        {"alstop", {320, 4, 61, 22}},
            {"SpeedButton7", {536, 4, 23, 22}},   {"calb", {12, 36, 141, 161}},
            {"Panel1", {164, 36, 97, 161}},       {"calf", {272, 36, 141, 161}},
            {"calff", {424, 36, 141, 161}},       {"cal", {12, 208, 249, 181}},
            {"ltydzien", {0, 4, 96, 16}},         {"ldzien", {0, 20, 96, 28}},
            {"lmiesiac", {0, 49, 96, 16}},        {"lrok", {0, 64, 96, 16}},
            {"limien", {0, 100, 96, 54}},         {"lextraday", {0, 100, 96, 25}},
            {"RadioGroup", {272, 204, 293, 33}},  {"Memo", {272, 264, 293, 125}},
            {"Dzisiaj", {12, 404, 61, 22}},       {"Tel", {80, 404, 55, 22}},
            {"Konfig", {144, 404, 55, 22}},       {"Info", {204, 404, 55, 22}},
            {"Zachowaj", {272, 404, 81, 22}},     {"Anuluj", {378, 404, 81, 22}},
            {"Wykasuj", {484, 404, 81, 22}},      {"InfoPanel", {0, 434, 579, 73}},
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
        QVERIFY(form->alstop->isHidden());
        QVERIFY(form->lextraday->isHidden());
    }

    // Fixed pixel widths only work while the captions and texts really fit into them.
    void EveryCaptionFitsItsPlace()
    {
        auto form = Make();
        for (SpeedButton* button : form->findChildren<SpeedButton*>())
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
        for (QLabel* label : form->InfoPanel->findChildren<QLabel*>())
            QVERIFY2(label->geometry().right() < form->InfoPanel->width() - 1, qPrintable(label->objectName()));
        for (QWidget* child : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!child->isWindow())
                QVERIFY2(form->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }

    void DayNumberIsTheLargeArialFont()
    {
        auto form = Make();
        const QFont font = form->ldzien->font();
        QCOMPARE(font.pixelSize(), 24);
        QVERIFY(font.bold());
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(form->ltydzien->font().pixelSize(), 13);
        QCOMPARE(form->lextraday->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x80));
    }

    void HolidayLiesOverTheNamesAndLineBreaksAreShown()
    {
        auto form = Make();
        form->SetNamesAndHoliday("\r\n\r\nAlicji\r\nAnzelma", "Alicji\r\nAnzelma", "Poniedziałek Wielkanocny\r\n", true);
        QCOMPARE(form->limien->text(), QStringLiteral("\n\nAlicji\nAnzelma"));
        QCOMPARE(form->lextraday->text(), QStringLiteral("Poniedziałek Wielkanocny"));
        QVERIFY(!form->lextraday->isHidden());
        QCOMPARE(form->Panel1->childAt(48, 104), form->lextraday);
        form->SetNamesAndHoliday("Alicji\r\nAnzelma", "", "", false);
        QVERIFY(form->lextraday->isHidden());
        QCOMPARE(form->Panel1->childAt(48, 104), form->limien);
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
        QCOMPARE(texts, (QStringList{"Pokaż", "Kontakty", "Wył. alarm", "Zakończ"}));
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
        QTest::mouseClick(form->Dzisiaj, Qt::LeftButton);
        QCOMPARE(form->SelectedDate(), EncodeDate(2024, 6, 21));
    }

    void WebLinkStepsAsideAndReportsAMissingBrowser()
    {
        auto form = Make();
        form->show();
        m_openSucceeds = false;
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(form->RxLabel1, Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1u);
        QCOMPARE(m_opened[0], QUrl(form->RxLabel1->text()));
        QVERIFY(form->isHidden());
        QVERIFY(AppMessageBox::LastAnswered());
        QCOMPARE(AppMessageBox::LastAnswered()->text, QStringLiteral("Nie można załadować domyślnej przeglądarki"));
    }

    void MailLinkOpensTheMailProgramAndTheWindowStays()
    {
        auto form = Make();
        form->show();
        m_openSucceeds = false;
        QTest::mouseClick(form->EMAIL, Qt::LeftButton);
        QCOMPARE(m_opened.size(), 1u);
        QCOMPARE(m_opened[0], QUrl(QStringLiteral("mailto:") + form->EMAIL->text()));
        QVERIFY(form->isVisible());
        QCOMPARE(AppMessageBox::AnsweredCount(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
