// The reminders of the notes in the running window, on a fake clock: the wake-up for the next one,
// the notifications with their buttons, the tray's hint, the sound, restarts, sleep, the clock
// going back, a note saved meanwhile and midnight.
#include "app/ui/main_window.h"
#include "app/ui/tray_icon.h"
#include "clock/local_time.h"
#include "clock/tick_schedule.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_notifier.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>

using namespace std::chrono;

namespace {

// Local time is one hour east of UTC; the notes' day is 2026-12-08.
constexpr auto kDay = sys_days{year{2026} / December / 8};

QStringList Summaries(const FakeNotifier& notifier)
{
    QStringList out;
    for (std::size_t i = 0; i < notifier.Count(); ++i)
        out << QString::fromStdString(notifier.At(i).summary);
    return out;
}

}  // namespace

class NoteRemindersWindowTest : public QObject
{
    Q_OBJECT

    FakeSystemClock m_clock{kDay, hours{1}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    std::shared_ptr<FakeSound> m_sound;
    FakeNotifier m_notifier;

    void SetLocal(int h, int n, int s = 0, int ms = 0, int dayOffset = 0)
    {
        m_clock.Set(kDay + days{dayOffset} + hours{h - 1} + minutes{n} + seconds{s} + milliseconds{ms});
    }
    void Notes(const std::string& records) { m_notesFile.SetFile("/prog/dnz.dat", records); }
    static std::string Record(const std::string& key, const std::string& text)
    {
        return key + "\r\n2026.12.01  10:00\r\n" + text + "\r\n****\r\n";
    }

    // The window hidden in the tray, its timers running, as the program starts.
    std::unique_ptr<TForm1> Start()
    {
        MainWindowOptions options;
        options.programDir = "/prog";
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile, m_sound, &m_notifier},
                                        options);
    }
    // The clock's tick at a moment, as its timer would fire.
    void TickAt(TForm1& form, int h, int n, int s = 0, int dayOffset = 0)
    {
        SetLocal(h, n, s, kTickLateMs, dayOffset);
        form.Timer1Timer();
    }

private slots:
    void init()
    {
        m_store = MemorySettingsStore();
        m_notesFile = FakeJournalFile();
        m_sound = std::make_shared<FakeSound>();
        m_notifier = FakeNotifier();
        Notes(Record("2026.12.08", "Zakupy\r\n14:30 dentysta\r\nw pracy do 16:00"));
    }

    // The advance and the time, each on its moment, with the buttons, the sound and the hint; the
    // hidden clock sleeps exactly until each.
    void AdvanceThenTimeAndTheHint()
    {
        SetLocal(14, 14, 30);
        auto form = Start();
        QCOMPARE(m_notifier.Count(), std::size_t(0));
        QCOMPARE(form->ClockTimer().interval(), 30000 + kTickLateMs);
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Budzik nieaktywny\nNastępne: 14:30 dentysta"));

        TickAt(*form, 14, 15);
        QCOMPARE(Summaries(m_notifier), QStringList{QStringLiteral("Za 15 min: 14:30 dentysta")});
        const DesktopNotifier::Notification advance = m_notifier.Last();
        QCOMPARE(advance.body, std::string("Notatka z dnia 2026.12.08"));
        QCOMPARE(advance.actions.size(), std::size_t(2));
        QCOMPARE(advance.actions[0].label, std::string("Drzemka"));
        QCOMPARE(advance.actions[1].label, std::string("Gotowe"));
        QVERIFY(!advance.urgent);
        QTRY_COMPARE(m_sound->Calls().size(), std::size_t(3));
        QCOMPARE(m_sound->Calls()[0].frequency, 1320);

        TickAt(*form, 14, 29, 40);
        QCOMPARE(form->ClockTimer().interval(), 20000);
        TickAt(*form, 14, 30);
        QCOMPARE(Summaries(m_notifier).size(), 2);
        QCOMPARE(Summaries(m_notifier)[1], QStringLiteral("14:30 dentysta"));
        // One place on the screen for both.
        QCOMPARE(m_notifier.At(1).tag, advance.tag);
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Budzik nieaktywny"));
        TickAt(*form, 14, 31);
        QCOMPARE(m_notifier.Count(), std::size_t(2));
    }

    // Closed after the advance, started again before the time: only the time comes. Closed before
    // the reminder, started hours later: it is told once as missed, and not again at the next start.
    void RestartsNeitherRepeatNorLose()
    {
        SetLocal(14, 0);
        {
            auto form = Start();
            TickAt(*form, 14, 15);
        }
        SetLocal(14, 20);
        {
            auto form = Start();
            QCOMPARE(m_notifier.Count(), std::size_t(1));
            TickAt(*form, 14, 30);
            QCOMPARE(Summaries(m_notifier).last(), QStringLiteral("14:30 dentysta"));
        }
        m_notifier = FakeNotifier();
        Notes(Record("2026.12.08", "14:30 dentysta\r\n17:00 narada"));
        SetLocal(16, 0);
        Start().reset();
        SetLocal(20, 0);
        {
            auto form = Start();
            QCOMPARE(Summaries(m_notifier),
                     QStringList{QStringLiteral("Pominięte przypomnienie: 17:00 narada (dziś)")});
        }
        SetLocal(20, 5);
        Start().reset();
        QCOMPARE(m_notifier.Count(), std::size_t(1));
    }

    // A sleep over the reminder (a forward step of hours) tells it once as missed; a sleep of three
    // days tells only what lies in the last day; the clock going back repeats nothing.
    void SleepAndClockSteps()
    {
        Notes(Record("2026.12.08", "14:30 dentysta") + Record("2026.12.10", "9:00 poci\xB9g")
              + Record("2026.12.11", "8:00 praca"));
        SetLocal(14, 0);
        auto form = Start();
        TickAt(*form, 18, 0);
        QCOMPARE(Summaries(m_notifier), QStringList{QStringLiteral("Pominięte przypomnienie: 14:30 dentysta (dziś)")});
        TickAt(*form, 18, 1);
        QCOMPARE(m_notifier.Count(), std::size_t(1));

        // Three days on: 2026-12-10 09:00 is older than a day, 2026-12-11 08:00 is not.
        TickAt(*form, 10, 0, 0, 3);
        QCOMPARE(Summaries(m_notifier).last(), QStringLiteral("Pominięte przypomnienie: 8:00 praca (dziś)"));
        QCOMPARE(m_notifier.Count(), std::size_t(2));

        // Back to the first afternoon: the dentist is not shown again as the clock passes 14:30.
        TickAt(*form, 14, 29);
        TickAt(*form, 14, 30);
        TickAt(*form, 14, 31);
        QCOMPARE(m_notifier.Count(), std::size_t(2));
    }

    // "Drzemka" shows the reminder again after "Czas drzemki"; "Gotowe" ends it, its time too.
    void SnoozeAndDone()
    {
        m_store.Put("Czas drzemki", RegValue::Dword(3));
        SetLocal(14, 0);
        auto form = Start();
        TickAt(*form, 14, 30);
        m_notifier.Pick(0, "snooze");
        TickAt(*form, 14, 32, 59);
        QCOMPARE(m_notifier.Count(), std::size_t(1));
        TickAt(*form, 14, 33);
        QCOMPARE(Summaries(m_notifier),
                 (QStringList{QStringLiteral("14:30 dentysta"), QStringLiteral("14:30 dentysta")}));
        form.reset();

        Notes(Record("2026.12.08", "16:00 narada"));
        auto other = Start();
        const std::size_t before = m_notifier.Count();
        TickAt(*other, 15, 45);
        QCOMPARE(Summaries(m_notifier).last(), QStringLiteral("Za 15 min: 16:00 narada"));
        m_notifier.Pick(before, "done");
        TickAt(*other, 16, 0);
        TickAt(*other, 16, 1);
        QCOMPARE(m_notifier.Count(), before + 1);
    }

    // A note saved after its reminder was shown: the same line stays quiet, a line with a new time
    // reminds, and the window wakes for it without waiting for another event.
    void ANoteSavedMeanwhile()
    {
        m_store.Put("Wyprzedzenie przypomnień", RegValue::Dword(0));
        SetLocal(14, 0);
        auto form = Start();
        TickAt(*form, 14, 30);
        QCOMPARE(m_notifier.Count(), std::size_t(1));
        // Nothing is due: the hidden clock's longest sleep.
        QCOMPARE(form->ClockTimer().interval(), kLongestHiddenSleepMs);
        SetLocal(14, 49, 50);
        form->Journal().AppendRecord("2026.12.08", "Zakupy: chleb\r\n14:30 dentysta\r\n14:50 apteka",
                                     LocalNow(m_clock));
        form->Journal().Flush();
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Budzik nieaktywny\nNastępne: 14:50 apteka"));
        QCOMPARE(form->ClockTimer().interval(), 10000 + kTickLateMs);
        TickAt(*form, 14, 50);
        QCOMPARE(Summaries(m_notifier),
                 (QStringList{QStringLiteral("14:30 dentysta"), QStringLiteral("14:50 apteka")}));
    }

    // Midnight reads the new days' notes: a reminder two days ahead comes into the hint then.
    void MidnightReadsTheNextDays()
    {
        // The notes file is Windows-1250: "\xB9" is "ą".
        Notes(Record("2026.12.10", "7:00 poci\xB9g"));
        SetLocal(23, 59, 30);
        auto form = Start();
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Budzik nieaktywny"));
        TickAt(*form, 0, 0, 0, 1);
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Budzik nieaktywny\nNastępne: 7:00 pociąg"));
    }

    // Switched off in the settings: nothing reminds, and switching on later brings no flood.
    void SwitchedOffAndSilent()
    {
        m_store.Put("Przypomnienia z notatek", RegValue::Dword(0));
        m_store.Put("Dźwięk przypomnień", RegValue::Dword(0));
        SetLocal(14, 0);
        auto form = Start();
        TickAt(*form, 14, 30);
        QCOMPARE(m_notifier.Count(), std::size_t(0));
        QCOMPARE(form->TrayIcon()->Hint(), QStringLiteral("Budzik nieaktywny"));
        form.reset();
        // On again at the next start: what passed while off is no missed reminder.
        Notes(Record("2026.12.08", "14:30 dentysta\r\n15:00 narada"));
        m_store.Put("Przypomnienia z notatek", RegValue::Dword(1));
        SetLocal(14, 59);
        auto again = Start();
        QCOMPARE(Summaries(m_notifier), QStringList{QStringLiteral("Za 1 min: 15:00 narada")});
        TickAt(*again, 15, 0);
        QCOMPARE(Summaries(m_notifier),
                 (QStringList{QStringLiteral("Za 1 min: 15:00 narada"), QStringLiteral("15:00 narada")}));
        QTest::qWait(50);
        QVERIFY(m_sound->Calls().empty());
    }
};

QTEST_MAIN(NoteRemindersWindowTest)
#include "note_reminders_window_test.moc"
