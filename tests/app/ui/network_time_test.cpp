// The main window's synchronisation button and its clock-change message, over a scripted network
// and fake clocks.
#include "app/ui/main_window.h"

#include "app/time_sync_controller.h"
#include "ui_support/message_box.h"
#include "app/ui/speed_button.h"
#include "clock/sntp.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_notifier.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/fake_udp_transport.h"
#include "platform/fake/memory_settings_store.h"

#include <QTest>

#include "../../clock/scripted_time_server.h"

#include <array>

using namespace std::chrono;

class NetworkTimeTest : public QObject
{
    Q_OBJECT

    const SystemClock::TimePoint m_start = sys_days{year{2024} / June / 21} + hours{10};
    FakeSystemClock m_clock{m_start, hours{2}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    std::shared_ptr<FakeSystemClock> m_workerClock = std::make_shared<FakeSystemClock>(m_start);
    std::shared_ptr<FakeUdpTransport> m_net = std::make_shared<FakeUdpTransport>();
    QTemporaryDir m_dir;

    static SpeedButton* Button(TForm1& form) { return form.findChild<SpeedButton*>(QStringLiteral("SpeedButton7")); }

    std::unique_ptr<TForm1> Make(DesktopNotifier* notifier = nullptr)
    {
        MainWindowOptions options;
        options.withTray = false;
        options.programDir = m_dir.path().toStdString();
        options.udp = m_net;
        options.workerClock = m_workerClock;
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile, nullptr, notifier}, options);
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile list(m_dir.filePath(QStringLiteral("TIMESRV.INI")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("ntp.example\r\n");
        list.close();
        AppMessageBox::ResetAnswered();
        m_store.Key().reset();
        m_clock.SetMaySet(true);
        FakeSystemClock& worker = *m_workerClock;
        // Three seconds ahead of this machine, 40 ms away.
        m_net->AddServer("ntp.example", ScriptedTimeServer(worker, milliseconds(40), seconds(3)));
    }

    void TheButtonRefusesDuringACalibration()
    {
        const auto start = DoubleToBytes(EncodeDate(2024, 6, 1));
        m_store.Put("Kalibracja start", RegValue::Binary({start.begin(), start.end()}));
        auto form = Make();
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(Button(*form), Qt::LeftButton);
        QVERIFY(AppMessageBox::LastAnswered());
        QCOMPARE(
            AppMessageBox::LastAnswered()->text,
            QStringLiteral("Program jest w trybie obliczania korekty dobowej. Aktualizacja czasu nie jest możliwa."));
        QVERIFY(!form->TimeSync()->SyncRunning());
    }

    void TheButtonSetsTheClockOrSaysWhyNot()
    {
        auto form = Make();
        QTest::mouseClick(Button(*form), Qt::LeftButton);
        QTRY_VERIFY(form->TimeSync()->SyncDoneSinceStart());
        QCOMPARE(m_clock.Shifts().size(), std::size_t(1));
        QCOMPARE(AppMessageBox::AnsweredCount(), 0);

        m_clock.SetMaySet(false, ClockChangeError::NoPrivilege);
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(Button(*form), Qt::LeftButton);
        QTRY_COMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Komunikat"));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Nie udało się ustawić zegara. Różnica względem serwera czasu: +3.0 s. "
                                "Przyczyna: brak uprawnień do zmiany czasu systemowego."));
    }

    // A clock within half a second of the server has nothing to set: the button's run says the
    // clock is right, also where setting it would have been refused; a run of its own says nothing.
    void AClockAlreadyRightIsSaidToBeRight()
    {
        FakeSystemClock& worker = *m_workerClock;
        const std::pair<milliseconds, const char*> rows[] = {{milliseconds(0), "+0.0"}, {milliseconds(-420), "-0.4"}};
        for (const auto& [offset, shown] : rows) {
            qInfo() << shown;
            AppMessageBox::ResetAnswered();
            m_net->AddServer("ntp.example", ScriptedTimeServer(worker, milliseconds(40), offset));
            m_clock.SetMaySet(false, ClockChangeError::NoPrivilege);
            const std::size_t shifts = m_clock.Shifts().size();
            auto form = Make();
            AppMessageBox::SetNextAnswer(QMessageBox::Ok);
            QTest::mouseClick(Button(*form), Qt::LeftButton);
            QTRY_COMPARE(AppMessageBox::AnsweredCount(), 1);
            QCOMPARE(AppMessageBox::LastAnswered()->text,
                     QStringLiteral("Zegar jest dokładny. Różnica względem serwera czasu: %1 s.").arg(shown));
            QCOMPARE(AppMessageBox::LastAnswered()->icon, QMessageBox::Information);
            QCOMPARE(m_clock.Shifts().size(), shifts);
            form->TimeSync()->StartTimeSync();
            QTRY_VERIFY(!form->TimeSync()->SyncRunning());
            QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        }
    }

    void ALargeStepIsAskedForOrLeftUnmadeAndSaidOnce()
    {
        FakeSystemClock& worker = *m_workerClock;
        m_net->AddServer("ntp.example", ScriptedTimeServer(worker, milliseconds(40), hours(-5000)));
        FakeNotifier notifier;
        auto form = Make(&notifier);
        const std::size_t shifts = m_clock.Shifts().size();
        // The button's run asks; "Nie" leaves the clock.
        AppMessageBox::SetNextAnswer(QMessageBox::No);
        QTest::mouseClick(Button(*form), Qt::LeftButton);
        QTRY_COMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Zegar różni się od czasu serwera o 208 dni (zegar się spieszy). Ustawić?"));
        QCOMPARE(AppMessageBox::LastAnswered()->buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(m_clock.Shifts().size(), shifts);
        // "Tak" steps it.
        AppMessageBox::SetNextAnswer(QMessageBox::Yes);
        QTest::mouseClick(Button(*form), Qt::LeftButton);
        QTRY_COMPARE(AppMessageBox::AnsweredCount(), 2);
        QCOMPARE(m_clock.Shifts().size(), shifts + 1);

        // A run of its own with the window hidden in the tray never steps it and says so once.
        form->hide();
        for (int run = 0; run < 2; ++run) {
            form->TimeSync()->StartTimeSync();
            QTRY_VERIFY(!form->TimeSync()->SyncRunning());
        }
        QCOMPARE(AppMessageBox::AnsweredCount(), 2);
        QCOMPARE(m_clock.Shifts().size(), shifts + 1);
        QCOMPARE(notifier.Count(), std::size_t(1));
        QCOMPARE(notifier.Last().summary, "Zegar nie został ustawiony");
        QCOMPARE(notifier.Last().body, "Zegar różni się od czasu serwera o 208 dni (zegar się spieszy) i nie został "
                                       "ustawiony. Przycisk synchronizacji ustawi go po potwierdzeniu.");
    }

    // A run of its own accord at the start that the service refused: a notification says so, and
    // no box waits for an answer.
    void ARefusedRunAtTheStartIsANotification()
    {
        m_store.Put("Synchronizacja", RegValue::Dword(1));
        m_clock.SetMaySet(false, ClockChangeError::AutomaticSync);
        FakeNotifier notifier;
        auto form = Make(&notifier);
        QTRY_VERIFY(form->TimeSync()->SyncDoneSinceStart());
        QTRY_COMPARE(notifier.Count(), std::size_t(1));
        QCOMPARE(notifier.Last().summary, "Zegar nie został ustawiony");
        QVERIFY(
            notifier.Last().body.starts_with("Nie udało się ustawić zegara. Różnica względem serwera czasu: +3.0 s."));
        QCOMPARE(AppMessageBox::AnsweredCount(), 0);
    }
};

QTEST_MAIN(NetworkTimeTest)
#include "network_time_test.moc"
