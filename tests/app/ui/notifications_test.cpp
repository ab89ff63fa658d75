// Desktop notifications over D-Bus, against a notification server of our own on a private bus
// (a dbus-daemon started here): what is called with which texts, the tray when no server answers,
// and a button picked on the server reaching the alarm.
#include "app/ui/clock_bar.h"
#include "app/ui/main_window.h"
#include "app/ui/tray_icon.h"
#include "platform/desktop_notifier.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace std::chrono;

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// The alarm thread's time: held still until the test lets the ring run to its end, then quick.
struct RingGate
{
    std::atomic<bool> open{false};
    std::atomic<double> seconds{0};
    AlarmTiming Timing()
    {
        return {[this] { return seconds.load(); },
                [this](milliseconds pause) {
                    while (!open)
                        std::this_thread::sleep_for(milliseconds(1));
                    seconds = seconds + static_cast<double>(pause.count()) / 1000.0;
                }};
    }
};

QPushButton* Toggle(const TForm1& form)
{
    return form.findChild<QPushButton*>(QStringLiteral("azalwyl"));
}

}  // namespace

// What a desktop's notification service does, as far as the program uses it: takes Notify and
// answers with an id, and tells of a button picked with ActionInvoked. Or, on request, a broken
// one: it answers Notify with an error, or never.
class NotificationServer : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Call
    {
        QString app, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
        uint replaces = 0;
    };
    QList<Call> calls;
    QList<uint> closed;  // CloseNotification's ids, in order
    enum class Answer
    {
        Id,
        Error,
        Nothing
    };
    Answer answer = Answer::Id;

    explicit NotificationServer(QDBusConnection bus) : m_bus(std::move(bus)) {}
    bool Register()
    {
        return m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) && m_bus.registerService(kService);
    }
    void Unregister()
    {
        m_bus.unregisterService(kService);
        m_bus.unregisterObject(kPath);
    }
    // The user picks the button `key` of notification `id`.
    void Invoke(uint id, const QString& key)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, QStringLiteral("ActionInvoked"));
        signal << id << key;
        m_bus.send(signal);
    }

public slots:
    // A notification replaced keeps its id; a new one gets the number of the call.
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int timeout)
    {
        calls.append({app, icon, summary, body, actions, hints, timeout, replaces});
        if (answer == Answer::Error)
            sendErrorReply(QDBusError::Failed, QStringLiteral("no display"));
        else if (answer == Answer::Nothing)
            setDelayedReply(true);  // and no reply is ever sent
        return replaces != 0 ? replaces : static_cast<uint>(calls.size());
    }
    // Like some servers, it says nothing back, so the program cannot count on NotificationClosed.
    void CloseNotification(uint id) { closed.append(id); }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection m_bus;
};

// The main window at 07:00 with the alarm set for then, its first tick given: the alarm rings.
struct RingingAt7
{
    explicit RingingAt7(DesktopNotifier* notifier)
        : clock{sys_days{year{2024} / March / 11} + hours{5} + minutes{59} + seconds{59}, hours{1}},
          form(MainWindowServices{clock, Settings(store), notes, nullptr, notifier}, Options())
    {
        clock.Advance(milliseconds(1100));
        form.Clock()->ClockTick();
    }
    static MemorySettingsStore& Settings(MemorySettingsStore& store)
    {
        store.Put("Czas alarmu", RegValue::Dword(5));
        store.Put("Godzina alarmu", RegValue::String("07:00"));
        store.Put("Załączony alarm", RegValue::Dword(1));
        return store;
    }
    static MainWindowOptions Options()
    {
        MainWindowOptions options;
        options.startTimers = false;
        options.persist = false;
        options.programDir = "/prog";
        return options;
    }

    FakeSystemClock clock;
    MemorySettingsStore store;
    FakeJournalFile notes;
    TForm1 form;
};

class NotificationsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_busDir;
    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<NotificationServer> m_server;
    std::unique_ptr<DesktopNotifier> m_notifier;

private slots:
    void initTestCase()
    {
        // A bus of its own configuration: "--session" would read the system's service folders, and
        // a notification daemon installed there would answer in place of the test's server.
        QVERIFY(m_busDir.isValid());
        QFile config(m_busDir.filePath(QStringLiteral("bus.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:tmpdir="
                     + m_busDir.path().toUtf8()
                     + "</listen><auth>EXTERNAL</auth>\n"
                       "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                       "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>\n"
                       "</busconfig>\n");
        config.close();
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                       QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        QVERIFY2(m_daemon.waitForStarted(), "dbus-daemon (package dbus-daemon) is needed");
        QTRY_VERIFY(m_daemon.canReadLine());
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
        QDBusConnection serverBus = QDBusConnection::connectToBus(m_address, QStringLiteral("server"));
        QVERIFY(serverBus.isConnected());
        m_server = std::make_unique<NotificationServer>(serverBus);
        m_notifier = MakeDesktopNotifier(m_address.toStdString());
        QVERIFY(m_notifier);
    }
    void cleanupTestCase()
    {
        m_notifier.reset();
        m_server.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("server"));
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }
    void init()
    {
        m_server->calls.clear();
        m_server->closed.clear();
        m_server->answer = NotificationServer::Answer::Id;
        QVERIFY(m_server->Register());
    }
    void cleanup() { m_server->Unregister(); }

    void TheCallCarriesTheTextsTheIconAndTheButtons()
    {
        std::vector<std::string> picked;
        QVERIFY(m_notifier->Notify({"Jutro imieniny: Ewy", "Życzenia dla bliskich", {{"a", "Przyjęte"}}, false, {}},
                                   [&picked](const std::string& key) { picked.push_back(key); }));
        QTRY_COMPARE(m_server->calls.size(), 1);
        const NotificationServer::Call& call = m_server->calls[0];
        QCOMPARE(call.app, QStringLiteral("Dniarz"));
        QCOMPARE(call.icon, QStringLiteral("dniarz"));
        QCOMPARE(call.summary, QStringLiteral("Jutro imieniny: Ewy"));
        QCOMPARE(call.body, QStringLiteral("Życzenia dla bliskich"));
        QCOMPARE(call.actions, (QStringList{QStringLiteral("a"), QStringLiteral("Przyjęte")}));
        // The menu entry the package installs, pl.brenvik.dniarz.desktop, whose icon the desktop shows.
        QCOMPARE(call.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("pl.brenvik.dniarz"));
        QCOMPARE(call.hints.value(QStringLiteral("urgency")).toInt(), 1);
        QCOMPARE(call.timeout, -1);
        // A button of another notification reaches nobody; this one's reaches its handler.
        m_server->Invoke(7, QStringLiteral("a"));
        m_server->Invoke(1, QStringLiteral("a"));
        QTRY_COMPARE(picked.size(), std::size_t(1));
        QCOMPARE(picked[0], "a");
    }

    void WithoutAServiceTheTraySpeaks()
    {
        m_server->Unregister();
        QVERIFY(!m_notifier->Notify({"Alarm 07:00", "Budzik dzwoni.", {}, true, {}}));
    }

    // The alarm rings while the window is hidden: the notification offers Stop and Drzemka, and
    // "Drzemka" picked on the desktop snoozes the alarm.
    void AButtonPickedOnTheDesktopReachesTheAlarm()
    {
        RingingAt7 ringing(m_notifier.get());
        TForm1& form = ringing.form;
        QVERIFY(form.Clock()->Logic().State() == AlarmState::Ringing);
        QTRY_COMPARE(m_server->calls.size(), 1);
        const NotificationServer::Call& call = m_server->calls[0];
        QCOMPARE(call.summary, QStringLiteral("Alarm 07:00"));
        QCOMPARE(call.actions, (QStringList{QStringLiteral("stop"), QStringLiteral("Stop"), QStringLiteral("snooze"),
                                            QStringLiteral("Drzemka")}));
        QCOMPARE(call.hints.value(QStringLiteral("urgency")).toInt(), 2);
        m_server->Invoke(1, QStringLiteral("snooze"));
        QTRY_VERIFY(form.Clock()->Logic().State() == AlarmState::Snoozed);
        QVERIFY(form.TrayIcon()->LastMessage().isEmpty());
    }

    // A service that is there but refuses the alarm's notification, or never answers: the tray
    // speaks instead, once the service has had its few seconds.
    void ABrokenServiceLeavesTheAlarmToTheTray_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("error") << static_cast<int>(NotificationServer::Answer::Error);
        QTest::newRow("silence") << static_cast<int>(NotificationServer::Answer::Nothing);
    }
    void ABrokenServiceLeavesTheAlarmToTheTray()
    {
        QFETCH(int, answer);
        m_server->answer = static_cast<NotificationServer::Answer>(answer);
        const std::unique_ptr<DesktopNotifier> notifier = MakeDesktopNotifier(m_address.toStdString(), seconds(1));
        QVERIFY(notifier);
        RingingAt7 ringing(notifier.get());
        TForm1& form = ringing.form;
        QVERIFY(form.Clock()->Logic().State() == AlarmState::Ringing);
        QTRY_COMPARE(m_server->calls.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(form.TrayIcon()->LastMessage().startsWith(QStringLiteral("Alarm 07:00\n")), 5000);
    }

    // The ringing alarm's notification goes however the ring ends, and the next ring takes the
    // place of the last one's notification instead of adding a second.
    void TheRingsNotificationGoesWithTheRing()
    {
        enum class End
        {
            StopButton,
            SnoozeButton,
            SwitchedOff,
            SoundEnded
        };
        const std::pair<End, const char*> ends[] = {{End::StopButton, "Stop in the notification"},
                                                    {End::SnoozeButton, "Drzemka in the notification"},
                                                    {End::SwitchedOff, "the alarm switched off"},
                                                    {End::SoundEnded, "the ring's own end"}};
        for (const auto& [end, what] : ends) {
            qInfo() << what;
            m_server->calls.clear();
            m_server->closed.clear();
            // A notifier of its own, which knows no notification of the tests before.
            const auto notifier = MakeDesktopNotifier(m_address.toStdString());
            RingGate gate;
            FakeSystemClock clock{sys_days{year{2024} / March / 11} + hours{5} + minutes{59} + seconds{59}, hours{1}};
            auto form = MakeRinging(clock, gate, *notifier);
            QVERIFY(form->Clock()->Logic().State() == AlarmState::Ringing);
            QTRY_COMPARE(m_server->calls.size(), 1);
            QCOMPARE(m_server->calls[0].replaces, 0u);
            switch (end) {
            case End::StopButton:
                m_server->Invoke(1, QStringLiteral("stop"));
                break;
            case End::SnoozeButton:
                m_server->Invoke(1, QStringLiteral("snooze"));
                break;
            case End::SwitchedOff:
                Toggle(*form)->click();
                break;
            case End::SoundEnded:
                gate.open = true;
                break;
            }
            QTRY_COMPARE(m_server->closed, QList<uint>{1u});
            gate.open = true;
            QTRY_VERIFY(!form->Clock()->IsAlarmSounding());
            form->Clock()->ClockTick();
            if (end == End::SwitchedOff)
                Toggle(*form)->click();
            // The snooze's ring, or the next morning's: the notification of the last ring is
            // replaced, not joined by a second.
            clock.Advance(end == End::SnoozeButton ? minutes(5) + seconds(1) : hours(24));
            form->Clock()->ClockTick();
            QVERIFY(form->Clock()->Logic().State() == AlarmState::Ringing);
            QTRY_COMPARE(m_server->calls.size(), 2);
            QCOMPARE(m_server->calls[1].replaces, 1u);
            QCOMPARE(m_server->calls[1].summary, QStringLiteral("Alarm 07:00"));
            form->Clock()->StopClick();
            QTRY_COMPARE(m_server->closed.size(), 2);
        }
    }

    // "Drzemka" in a notification the desktop kept after the ring ended, an hour later: nothing
    // rings, the alarm waits for the next morning.
    void DrzemkaAfterTheRingEndedDoesNothing()
    {
        const auto notifier = MakeDesktopNotifier(m_address.toStdString());
        RingGate gate;
        FakeSystemClock clock{sys_days{year{2024} / March / 11} + hours{5} + minutes{59} + seconds{59}, hours{1}};
        auto form = MakeRinging(clock, gate, *notifier);
        QTRY_COMPARE(m_server->calls.size(), 1);
        gate.open = true;
        QTRY_VERIFY(!form->Clock()->IsAlarmSounding());
        QTRY_COMPARE(m_server->closed, QList<uint>{1u});
        clock.Advance(hours(1));
        m_server->Invoke(1, QStringLiteral("snooze"));
        QTest::qWait(200);
        QVERIFY(form->Clock()->Logic().State() == AlarmState::Armed);
        QVERIFY(!form->Clock()->Logic().Snoozing());
    }

    // A reminder of the notes: its texts and the buttons "Drzemka" and "Gotowe"; "Drzemka" picked
    // on the desktop brings it back after "Czas drzemki", in the place of the first.
    void ANoteReminderOnTheBusAndItsSnooze()
    {
        const auto notifier = MakeDesktopNotifier(m_address.toStdString());
        FakeSystemClock clock{sys_days{year{2026} / December / 8} + hours{13} + minutes{29} + seconds{59}, hours{1}};
        MemorySettingsStore store;
        store.Put("Czas drzemki", RegValue::Dword(2));
        FakeJournalFile notes;
        notes.SetFile("/prog/dnz.dat", "2026.12.08\r\n2026.12.01  10:00\r\n14:30 dentysta\r\n****\r\n");
        MainWindowOptions options;
        options.startTimers = false;
        options.programDir = "/prog";
        TForm1 form(MainWindowServices{clock, store, notes, std::make_shared<FakeSound>(), notifier.get()}, options);
        clock.Advance(milliseconds(1003));
        form.Timer1Timer();
        QTRY_COMPARE(m_server->calls.size(), 1);
        const NotificationServer::Call& call = m_server->calls[0];
        QCOMPARE(call.summary, QStringLiteral("14:30 dentysta"));
        QCOMPARE(call.body, QStringLiteral("Notatka z dnia 2026.12.08"));
        QCOMPARE(call.actions, (QStringList{QStringLiteral("snooze"), QStringLiteral("Drzemka"), QStringLiteral("done"),
                                            QStringLiteral("Gotowe")}));
        QCOMPARE(call.hints.value(QStringLiteral("urgency")).toInt(), 1);
        m_server->Invoke(1, QStringLiteral("snooze"));
        QTest::qWait(200);
        clock.Advance(minutes(2));
        form.Timer1Timer();
        QTRY_COMPARE(m_server->calls.size(), 2);
        QCOMPARE(m_server->calls[1].summary, QStringLiteral("14:30 dentysta"));
        QCOMPARE(m_server->calls[1].replaces, 1u);
        // "Gotowe": nothing more, however long the clock runs.
        m_server->Invoke(1, QStringLiteral("done"));
        QTest::qWait(200);
        clock.Advance(minutes(30));
        form.Timer1Timer();
        QTest::qWait(100);
        QCOMPARE(m_server->calls.size(), 2);
    }

    // The real program, hidden, in a local zone made up so that a note's time is half a minute
    // away: the reminder reaches the desktop's notification service on the bus.
    void TheRealProgramRemindsOnTheBus()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        for (const char* sub : {"config", "runtime", "program", "data", "cache", "home"})
            QVERIFY(QDir(root.path()).mkpath(QLatin1String(sub)));
        QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // Local time = UTC + `shift` seconds, which puts the local clock at hh:mm:30 now.
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        const int shift = (30 - utc.time().second() + 60) % 60;
        const QDateTime reminderAt = utc.addSecs(shift + 30);
        const QString time = reminderAt.toString(QStringLiteral("HH:mm"));
        const QString day = reminderAt.toString(QStringLiteral("yyyy.MM.dd"));
        QFile notes(root.filePath(QStringLiteral("program/dnz.dat")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        // The notes file is Windows-1250: "\xB9" is "ą".
        notes.write((day + QStringLiteral("\r\n") + day + QStringLiteral("  08:00\r\n") + time).toLatin1()
                    + " spotkanie z ekip\xB9\r\n****\r\n");
        notes.close();

        QProcessEnvironment env;
        const auto put = [&env, &root](const char* name, const QString& sub) {
            env.insert(QLatin1String(name), root.filePath(sub));
        };
        put("XDG_CONFIG_HOME", QStringLiteral("config"));
        put("XDG_CONFIG_DIRS", QStringLiteral("config-dirs"));
        put("XDG_DATA_HOME", QStringLiteral("data"));
        put("XDG_RUNTIME_DIR", QStringLiteral("runtime"));
        put("XDG_CACHE_HOME", QStringLiteral("cache"));
        put("HOME", QStringLiteral("home"));
        put("DNIARZ_DIR", QStringLiteral("program"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("TZ"), QStringLiteral("XXX-0:00:%1").arg(shift, 2, 10, QLatin1Char('0')));
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(DNIARZ_EXECUTABLE), {QStringLiteral("-hide")});
        QVERIFY(program.waitForStarted());
        const QString expected = QString::number(reminderAt.time().hour()) + time.mid(2)
                                 + QStringLiteral(" spotkanie z ekipą");
        const auto reminded = [this, &expected] {
            return std::any_of(m_server->calls.begin(), m_server->calls.end(),
                               [&expected](const NotificationServer::Call& call) { return call.summary == expected; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(reminded(), 60000);
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }

private:
    // The window hidden in the tray as the alarm of 07:00 begins to ring; its sound waits at `gate`.
    std::unique_ptr<TForm1> MakeRinging(FakeSystemClock& clock, RingGate& gate, DesktopNotifier& notifier)
    {
        m_store.Put("Czas alarmu", RegValue::Dword(5));
        m_store.Put("Godzina alarmu", RegValue::String("07:00"));
        m_store.Put("Załączony alarm", RegValue::Dword(1));
        MainWindowOptions options;
        options.startTimers = false;
        options.persist = false;
        options.programDir = "/prog";
        options.alarmTiming = gate.Timing();
        auto form = std::make_unique<TForm1>(MainWindowServices{clock, m_store, m_notes, nullptr, &notifier}, options);
        clock.Advance(milliseconds(1100));
        form->Clock()->ClockTick();
        return form;
    }

    MemorySettingsStore m_store;
    FakeJournalFile m_notes;
};

QTEST_MAIN(NotificationsTest)
#include "notifications_test.moc"
