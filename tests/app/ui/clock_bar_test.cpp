// The top bar's clock and alarm in the main window, on a fake clock and a fake sound: pressing,
// the countdown, the ring, STOP, the tray, the half-typed alarm time, start and end.
#include "app/ui/clock_bar.h"

#include "app/ui/main_window.h"
#include "find_child.h"
#include "ui_support/message_box.h"
#include "app/ui/tray_icon.h"
#include "clock/tick_schedule.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using namespace std::chrono;
using Call = FakeSound::Call;

namespace {

// The alarm thread's time: moved on by the tones and the pauses, or held in a pause until the
// test lets it go on.
class ThreadTime
{
public:
    AlarmTiming Timing()
    {
        return {[this] { return m_seconds.load(); },
                [this](milliseconds pause) {
                    std::unique_lock lock(m_mutex);
                    ++m_pauses;
                    m_changed.notify_all();
                    m_changed.wait(lock, [this] { return !m_hold; });
                    m_seconds = m_seconds + static_cast<double>(pause.count()) / 1000.0;
                }};
    }
    void Follow(FakeSound& sound)
    {
        sound.SetOnCall([this](const Call& call) { m_seconds = m_seconds + call.ms / 1000.0; });
    }
    void Hold()
    {
        std::lock_guard lock(m_mutex);
        m_hold = true;
    }
    void WaitForPause()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_pauses > 0; });
    }
    void Release()
    {
        std::lock_guard lock(m_mutex);
        m_hold = false;
        m_changed.notify_all();
    }

private:
    std::atomic<double> m_seconds{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_pauses = 0;
    bool m_hold = false;
};

// The bar's controls by their object names.
QLabel* ClockLabel(const TForm1& form)
{
    return Find<QLabel>(form, "lgodzina");
}
QLineEdit* Alarm(const TForm1& form)
{
    return Find<QLineEdit>(form, "alarm");
}
QPushButton* Toggle(const TForm1& form)
{
    return Find<QPushButton>(form, "azalwyl");
}
QPushButton* Stop(const TForm1& form)
{
    return Find<QPushButton>(form, "alstop");
}
QPushButton* Snooze(const TForm1& form)
{
    return Find<QPushButton>(form, "drzemka");
}

}  // namespace

class ClockBarTest : public QObject
{
    Q_OBJECT

    FakeSystemClock m_clock{sys_days{year{2024} / March / 11}, hours{1}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    std::shared_ptr<FakeSound> m_sound;
    std::unique_ptr<ThreadTime> m_time;

    // Local time of 2024-03-11 (one hour east of UTC).
    void SetLocal(int h, int n, int s, int ms = 0)
    {
        m_clock.Set(sys_days{year{2024} / March / 11} + hours{h - 1} + minutes{n} + seconds{s} + milliseconds{ms});
    }

    std::unique_ptr<TForm1> Make(bool startTimers = false)
    {
        MainWindowOptions options;
        options.startTimers = startTimers;
        options.programDir = "/prog";
        options.alarmTiming = m_time->Timing();
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile, m_sound}, options);
    }

    static void Tick(TForm1& form) { form.Clock()->ClockTick(); }

    // Ticks every 100 ms from the clock's moment for `span`.
    void Run(TForm1& form, milliseconds span)
    {
        for (milliseconds t{0}; t < span; t += milliseconds(100)) {
            m_clock.Advance(milliseconds(100));
            Tick(form);
        }
    }

    void SaveBar(TForm1& form, const char* name)
    {
        const QString dir = QStringLiteral(DNIARZ_PICTURE_DIR);
        QDir().mkpath(dir);
        QWidget* bar = form.findChild<QWidget*>(QStringLiteral("TopBar"));
        QVERIFY(bar->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
    }

    // Shows the window, clicks into the alarm box, clears it and types `digits`.
    static void RetypeAlarm(TForm1& form, const QString& digits)
    {
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        Alarm(form)->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(Alarm(form)->hasFocus());
        Alarm(form)->selectAll();
        QTest::keyClick(Alarm(form), Qt::Key_Backspace);
        QTest::keyClicks(Alarm(form), digits);
    }

    // The bar's texts must fit their fixed places in every state.
    static void CheckCaptionsFit(TForm1& form)
    {
        for (QPushButton* button : {Toggle(form), Stop(form), Snooze(form)}) {
            const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
            QVERIFY2(needed <= button->width(), qPrintable(button->objectName() + QLatin1Char(' ') + button->text()));
        }
        QLabel* clockLabel = ClockLabel(form);
        QVERIFY(clockLabel->x() + clockLabel->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) < 124);
        QLineEdit* box = Alarm(form);
        QVERIFY(box->fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 8 <= box->width());
    }

private slots:
    void init()
    {
        m_store = MemorySettingsStore();
        m_store.Put("Czas alarmu", RegValue::Dword(5));
        m_sound = std::make_shared<FakeSound>();
        m_time = std::make_unique<ThreadTime>();
        m_time->Follow(*m_sound);
        AppMessageBox::ResetAnswered();
        SetLocal(6, 59, 30, 500);
    }

    void PressCountsDownRingsAndStopGoesOnTheTickAfterTheSound()
    {
        auto form = Make();
        form->show();
        CheckCaptionsFit(*form);
        SaveBar(*form, "clock_bar_off");
        Alarm(*form)->setText(QStringLiteral("07:00"));
        QTest::mouseClick(Toggle(*form), Qt::LeftButton);
        QVERIFY(Toggle(*form)->isChecked());
        QCOMPARE(Toggle(*form)->text(), QStringLiteral(" 00:00:30"));
        QCOMPARE(form->Clock()->Logic().State(), AlarmState::Armed);
        CheckCaptionsFit(*form);
        SaveBar(*form, "clock_bar_armed");

        // Up to 07:00:00.0 nothing; the tick after it rings.
        Run(*form, milliseconds(29500));
        // The hint follows with the next second shown.
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Alarm: 07:00"));
        QCOMPARE(ClockLabel(*form)->text(), QStringLiteral("07:00:00"));
        QVERIFY(m_sound->Calls().empty());
        QVERIFY(Stop(*form)->isHidden());
        m_time->Hold();
        Run(*form, milliseconds(100));
        QVERIFY(!Stop(*form)->isHidden());
        m_time->WaitForPause();
        QCOMPARE(m_sound->Calls(), (std::vector<Call>{{Call::Tone, 1000, 200, {}}, {Call::Tone, 600, 200, {}}}));
        QVERIFY(form->TrayIcon()->LastMessage().isEmpty());  // the window is up and shows STOP
        CheckCaptionsFit(*form);
        SaveBar(*form, "clock_bar_ringing");

        // Five seconds of alarm: the thread ends by itself; STOP goes with the next tick. The wait
        // handles no events, as a repaint of the window would be that tick.
        m_time->Release();
        const auto deadline = steady_clock::now() + seconds(5);
        while (form->Clock()->IsAlarmSounding() && steady_clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(1));
        QVERIFY(!form->Clock()->IsAlarmSounding());
        QVERIFY(!Stop(*form)->isHidden());
        Tick(*form);
        QVERIFY(Stop(*form)->isHidden());
        QCOMPARE(m_sound->Calls().size(), std::size_t(4));
        QCOMPARE(form->Clock()->Logic().State(), AlarmState::Armed);
        QVERIFY(Toggle(*form)->isChecked());
    }

    // The window's clock sleeps until the next thing it shows or does can change: the next second
    // while seen, the alarm, the full hour or midnight while hidden; and it wakes when the sound
    // of an alarm ends, not at a later look.
    void TheClockSleepsUntilWhatMatters()
    {
        SetLocal(6, 58, 30, 500);
        m_store.Put("Sygnalizacja pełnej godziny", RegValue::Dword(1));
        auto form = Make(true);
        const QTimer& timer = form->ClockTimer();
        QVERIFY(timer.isSingleShot());
        QCOMPARE(timer.timerType(), Qt::PreciseTimer);
        // Not shown yet, the full hour 89.5 s away: the longest sleep.
        QCOMPARE(timer.interval(), kLongestHiddenSleepMs);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(timer.interval(), 500 + kTickLateMs);
        Alarm(*form)->setText(QStringLiteral("06:59"));
        Toggle(*form)->click();
        form->hide();
        // One more tick at the next second brings the alarm into the tray's hint, as it would have
        // come on the screen; then the clock sleeps until the alarm.
        QCOMPARE(timer.interval(), 500 + kTickLateMs);
        SetLocal(6, 58, 31, kTickLateMs);
        form->Timer1Timer();
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Alarm: 06:59"));
        QCOMPARE(timer.interval(), 29000);

        // The tick at the alarm rings; once the sound has ended, STOP goes without another tick.
        SetLocal(6, 59, 0, kTickLateMs);
        form->Timer1Timer();
        QVERIFY(!Stop(*form)->isHidden());
        QTRY_VERIFY(!form->Clock()->IsAlarmSounding());
        QTRY_VERIFY(Stop(*form)->isHidden());

        // The alarm is tomorrow's now; the full hour is next.
        SetLocal(6, 59, 50);
        form->Timer1Timer();
        QCOMPARE(timer.interval(), 10000 + kTickLateMs);
    }

    void APaintOfTheWindowShowsTheTime()
    {
        auto form = Make();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(ClockLabel(*form)->text(), QStringLiteral("06:59:30"));
        // No timer runs here: only the picture being drawn can bring the label up to date.
        m_clock.Advance(seconds(2));
        form->repaint();
        QCOMPARE(ClockLabel(*form)->text(), QStringLiteral("06:59:32"));
    }

    void StopAndTheTrayStopTheAlarmAfterThePause()
    {
        for (int way = 0; way < 3; ++way) {
            init();
            m_time = std::make_unique<ThreadTime>();
            m_time->Follow(*m_sound);
            SetLocal(6, 59, 59, 950);
            auto form = Make();
            Alarm(*form)->setText(QStringLiteral("07:00"));
            Toggle(*form)->click();
            m_time->Hold();
            Run(*form, milliseconds(200));
            QVERIFY(form->Clock()->IsAlarmSounding());
            m_time->WaitForPause();
            if (way == 0) {
                // Rang while hidden in the tray: the tray tells.
                QCOMPARE(form->TrayIcon()->LastMessage().section(QLatin1Char('\n'), 0, 0),
                         QStringLiteral("Alarm 07:00"));
                QTest::mouseClick(Stop(*form), Qt::LeftButton);
            } else if (way == 1) {
                form->TrayMenu()->actions().at(2)->trigger();  // "Wył. alarm"
            } else {
                form->ShowFromTray();
            }
            QVERIFY(form->Clock()->IsAlarmSounding());  // still in its pause
            m_time->Release();
            QTRY_VERIFY(!form->Clock()->IsAlarmSounding());
            QCOMPARE(m_sound->Calls().size(), std::size_t(2));
        }
    }

    // "Drzemka" by the button and by the tray: each time the sound stops and comes back after five
    // minutes; STOP ends it, and the alarm waits for the next day.
    void SnoozeTwiceThenStop()
    {
        SetLocal(6, 59, 59, 950);
        auto form = Make();
        form->show();
        Alarm(*form)->setText(QStringLiteral("07:00"));
        Toggle(*form)->click();
        QVERIFY(Snooze(*form)->isHidden());
        for (int round = 0; round < 2; ++round) {
            m_time->Hold();
            Run(*form, milliseconds(200));
            QVERIFY(form->Clock()->IsAlarmSounding());
            QVERIFY(!Snooze(*form)->isHidden());
            // Both tones played, the thread waits in its pause.
            QTRY_COMPARE(m_sound->Calls().size(), std::size_t(2 * (round + 1)));
            if (round == 0) {
                CheckCaptionsFit(*form);
                SaveBar(*form, "clock_bar_ringing_snooze");
                QTest::mouseClick(Snooze(*form), Qt::LeftButton);
            } else {
                form->TrayMenu()->actions().at(3)->trigger();  // "Drzemka"
            }
            QVERIFY(Snooze(*form)->isHidden());
            QVERIFY(!Stop(*form)->isHidden());
            QCOMPARE(Toggle(*form)->text(), QStringLiteral(" 00:05:01"));
            m_time->Release();
            QTRY_VERIFY(!form->Clock()->IsAlarmSounding());
            QCOMPARE(m_sound->Calls().size(), std::size_t(2 * (round + 1)));
            // Up to five minutes after the press nothing more; STOP stays, as it ends the snooze.
            m_clock.Advance(minutes(5) - milliseconds(200));
            Tick(*form);
            QVERIFY(!form->Clock()->IsAlarmSounding());
            QVERIFY(!Stop(*form)->isHidden());
            m_clock.Advance(milliseconds(150));
        }
        m_time->Hold();
        Run(*form, milliseconds(200));
        QVERIFY(form->Clock()->IsAlarmSounding());
        QTRY_COMPARE(m_sound->Calls().size(), std::size_t(6));
        QTest::mouseClick(Stop(*form), Qt::LeftButton);
        m_time->Release();
        QTRY_VERIFY(!form->Clock()->IsAlarmSounding());
        Tick(*form);
        QVERIFY(Stop(*form)->isHidden());
        QVERIFY(Snooze(*form)->isHidden());
        QCOMPARE(form->Clock()->Logic().State(), AlarmState::Armed);
        QCOMPARE(Toggle(*form)->text().left(3), QStringLiteral(" 23"));
    }

    void EditingTheTimeWhileItRingsTurnsTheAlarmOff()
    {
        SetLocal(6, 59, 59, 950);
        auto form = Make();
        Alarm(*form)->setText(QStringLiteral("07:00"));
        Toggle(*form)->click();
        m_time->Hold();
        Run(*form, milliseconds(200));
        m_time->WaitForPause();
        Alarm(*form)->setText(QStringLiteral("07:05"));
        QVERIFY(!Toggle(*form)->isChecked());
        QCOMPARE(Toggle(*form)->text(), QStringLiteral("Zał/Wył"));
        QVERIFY(Stop(*form)->isHidden());
        m_time->Release();
        QTRY_VERIFY(!form->Clock()->IsAlarmSounding());
        QCOMPARE(m_sound->Calls().size(), std::size_t(2));
    }

    void AnImpossibleTimeSpringsBackSilently()
    {
        auto form = Make();
        Alarm(*form)->setText(QStringLiteral("25:00"));
        Toggle(*form)->click();
        QVERIFY(!Toggle(*form)->isChecked());
        QCOMPARE(Toggle(*form)->text(), QStringLiteral("Zał/Wył"));
        QCOMPARE(AppMessageBox::AnsweredCount(), 0);
    }

    void HalfTypedTimeGetsTheBoxAndEscBringsThePreviousBack()
    {
        auto form = Make();
        Alarm(*form)->setText(QStringLiteral("07:30"));
        RetypeAlarm(*form, QStringLiteral("1"));
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(Alarm(*form)->displayText(), QStringLiteral("1_:__"));
        SaveBar(*form, "clock_bar_half_typed");

        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::keyClick(Alarm(*form), Qt::Key_Tab);
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("komunikat"));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Wprowadź poprawną godzinę alarmu lub naciśnij ESC w celu przywrócenia poprzedniej."));
        QTRY_VERIFY(Alarm(*form)->hasFocus());

        // Ending now keeps the last complete time, not the half-typed one.
        form->Quit();
        form.reset();
        QCOMPARE(m_store.Key()->Find("Godzina alarmu")->text, std::string("07:30"));

        form = Make();
        RetypeAlarm(*form, QStringLiteral("2"));
        if (QTest::currentTestFailed())
            return;
        QTest::keyClick(Alarm(*form), Qt::Key_Escape);
        QCOMPARE(Alarm(*form)->text(), QStringLiteral("07:30"));
        QTest::keyClick(Alarm(*form), Qt::Key_Tab);
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
    }

    // Stored as on, the alarm rings at its next time: today if still ahead, else tomorrow; and a
    // computer asleep over the time says so in the tray rather than ring at noon.
    void StartedOnRingsAtTheNextTime()
    {
        struct Row
        {
            const char* text;
            int hour;
            bool down;
            int ringDay;  // 0 today, 1 tomorrow, -1 never
        };
        const Row rows[] = {{"07:00", 6, true, 0}, {"07:00", 8, true, 1}, {"25:00", 6, false, -1}};
        for (const Row& r : rows) {
            m_store.Put("Godzina alarmu", RegValue::String(r.text));
            m_store.Put("Załączony alarm", RegValue::Dword(1));
            SetLocal(r.hour, 0, 0, 300);
            auto form = Make();
            QCOMPARE(Alarm(*form)->text(), QString::fromLatin1(r.text));
            QCOMPARE(Toggle(*form)->isChecked(), r.down);
            QCOMPARE(form->Clock()->Logic().State(), r.down ? AlarmState::Armed : AlarmState::Off);
            if (!r.down)
                continue;
            QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Alarm: 07:00"));
            m_clock.Set(sys_days{year{2024} / March / 11} + days{r.ringDay} + hours{5} + minutes{59}
                        + seconds{59});  // 06:59:59 local
            Tick(*form);
            QVERIFY(Stop(*form)->isHidden());
            m_clock.Advance(milliseconds(1100));
            Tick(*form);
            QVERIFY(!Stop(*form)->isHidden());
        }

        // (Each window above stored its state as it closed.)
        m_store.Put("Godzina alarmu", RegValue::String("07:00"));
        m_store.Put("Załączony alarm", RegValue::Dword(1));
        m_sound = std::make_shared<FakeSound>();
        SetLocal(6, 0, 0);
        auto form = Make();
        QVERIFY(Toggle(*form)->isChecked());
        m_clock.Advance(hours{6});
        Tick(*form);
        QVERIFY(Stop(*form)->isHidden());
        QVERIFY(form->TrayIcon()->LastMessage().startsWith(QStringLiteral("Pominięty alarm 07:00\n")));
        QVERIFY(m_sound->Calls().empty());
    }

    void FullHourSoundsOneToneAtStartAndAtEachHour()
    {
        m_store.Put("Sygnalizacja pełnej godziny", RegValue::Dword(1));
        SetLocal(10, 0, 20);
        auto form = Make();  // its first tick is in a full hour
        QTRY_COMPARE(m_sound->Calls(), (std::vector<Call>{{Call::Tone, 900, 100, {}}}));
        SetLocal(10, 59, 59);
        Run(*form, seconds(3));
        QTRY_COMPARE(m_sound->Calls().size(), std::size_t(2));
        QTest::qWait(50);
        QCOMPARE(m_sound->Calls().size(), std::size_t(2));
    }
};

QTEST_MAIN(ClockBarTest)
#include "clock_bar_test.moc"
