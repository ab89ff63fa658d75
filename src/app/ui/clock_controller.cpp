// The main window's clock: its ticks and their timing, midnight, the name-day reminders and those of
// the notes, and the network time with what the ends of its runs tell the user.
#include "app/ui/clock_controller.h"

#include "app/name_reminders.h"
#include "app/note_reminder_watch.h"
#include "app/time_sync_controller.h"
#include "app/ui/announce.h"
#include "app/ui/show_error.h"
#include "calendar/date_format.h"
#include "clock/alarm_sound.h"
#include "clock/local_time.h"
#include "clock/tick_schedule.h"
#include "ui_support/message_box.h"
#include "ui_support/ui_thread.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

ClockController::ClockController(ClockBar::Controls bar, QAbstractButton* syncButton, Services services,
                                 Options options, WindowHooks hooks, QWidget* window)
    : m_services(std::move(services)), m_options(std::move(options)), m_hooks(std::move(hooks)), m_window(window),
      m_syncButton(syncButton), m_dayWatch(LocalNow(m_services.clock))
{
    m_bar = std::make_unique<ClockBar>(
        bar,
        ClockBar::Services{m_services.clock, m_services.settings, m_options.persist ? m_services.sound : nullptr,
                           m_options.programDir, m_options.alarmTiming, m_services.notifier},
        m_services.tray, window);
    connect(m_bar.get(), &ClockBar::AlarmChanged, this, &ClockController::ScheduleClockTick);
    if (m_services.notes)
        m_reminders = std::make_unique<NoteReminderWatch>(*m_services.notes, m_services.settings, m_services.store,
                                                          m_options.persist);

    // One shot at a time, set to the next moment anything can change (MsToNextTick), to the
    // millisecond: a coarse timer may fire early and find the old second still on the clock.
    m_clockTimer.setSingleShot(true);
    m_clockTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_clockTimer, &QTimer::timeout, this, &ClockController::Timer1Timer);
    m_retryTimer.setInterval(5 * 60 * 1000);
    connect(&m_retryTimer, &QTimer::timeout, this, &ClockController::Timer3Timer);
}

ClockController::~ClockController() = default;

void ClockController::StartTimers()
{
    if (!m_options.startTimers)
        return;
    ScheduleClockTick();
    m_retryTimer.start();
}

void ClockController::Start()
{
    ClockTick();
    RemindNameDays();
    RemindNotes();
    StartTimeSync();
}

bool ClockController::WindowInView() const
{
    return m_window->isVisible() && !m_window->isMinimized();
}

void ClockController::ScheduleClockTick()
{
    if (!m_options.startTimers)
        return;
    const TDateTime now = LocalNow(m_services.clock);
    const TickNeeds needs{WindowInView() || m_tickAfterHiding, m_services.settings.HourSignalEnabled,
                          m_bar->Logic().NextRing(), m_reminders ? m_reminders->NextWake(now) : std::nullopt};
    m_clockTimer.start(MsToNextTick(now, needs));
}

void ClockController::WindowHidden()
{
    // The tray's hint changes with the second, as the clock does: a switch of the alarm made just
    // before the window went reaches it at the next second, not at the next event of a hidden clock.
    m_tickAfterHiding = true;
    ScheduleClockTick();
}

void ClockController::WindowStateChanged()
{
    // Minimised, the clock is out of sight as in the tray; restored, it shows every second again.
    m_tickAfterHiding = m_window->isMinimized();
    ScheduleClockTick();
}

void ClockController::ClockTick()
{
    m_bar->ClockTick();
}

void ClockController::Timer1Timer()
{
    ClockTick();
    MoveOnAtMidnight();
    RemindNotes();
    PollTimeSync();
    m_tickAfterHiding = false;
    ScheduleClockTick();
}

void ClockController::MoveOnAtMidnight()
{
    const std::optional<DayChange> change = m_dayWatch.Tick(LocalNow(m_services.clock), m_hooks.selectedDate(),
                                                            m_hooks.editing());
    if (!change)
        return;
    m_hooks.dayChanged(*change);
    RemindNameDays();
}

void ClockController::RemindNameDays()
{
    // A picture of the window has nobody to remind and must not mark the day as reminded.
    if (!m_options.persist)
        return;
    const auto reminder = TakeDueReminder(m_services.names, m_services.settings, m_services.store,
                                          LocalNow(m_services.clock));
    if (reminder)
        Announce(m_services.notifier, m_services.tray, {reminder->summary, reminder->body, {}, false, {}});
}

void ClockController::NotesChanged()
{
    if (!m_reminders)
        return;
    m_reminders->NotesChanged();
    RemindNotes();
    ScheduleClockTick();
}

void ClockController::RemindNotes()
{
    if (!m_reminders)
        return;
    // The watch reads the notes again when the date moved, so midnight and a jump of the clock
    // bring the new day's lines, and a jump is caught by the tick after it.
    const TDateTime now = LocalNow(m_services.clock);
    const std::vector<ReminderNotice> notices = m_reminders->Check(now);
    // One sound for the reminders of one look: several missed ones after a sleep are one event.
    if (!notices.empty() && m_services.settings.ReminderSound && m_services.sound)
        StartReminderSignal(m_services.sound);
    for (const ReminderNotice& notice : notices)
        AnnounceReminder(notice);
    m_bar->SetHintLine(m_reminders->Hint(now));
}

void ClockController::AnnounceReminder(const ReminderNotice& notice)
{
    const std::string day = FormatDateTime("yyyy.mm.dd", static_cast<TDateTime>(notice.reminder.day));
    // One notification per reminder: its time takes the place of its advance on the screen.
    DesktopNotifier::Notification notification{notice.summary,
                                               "Notatka z dnia " + day,
                                               {{"snooze", "Drzemka"}, {"done", "Gotowe"}},
                                               false,
                                               "przypomnienie " + notice.reminder.Key()};
    const QPointer<ClockController> self(this);
    Announce(m_services.notifier, m_services.tray, notification,
             [self, reminder = notice.reminder](const std::string& key) {
                 if (!self || !self->m_reminders)
                     return;
                 if (key == "snooze")
                     self->m_reminders->Snooze(reminder, LocalNow(self->m_services.clock));
                 else if (key == "done")
                     self->m_reminders->Done(reminder);
                 self->ScheduleClockTick();
             });
}

void ClockController::StopAlarmSound()
{
    m_bar->StopAlarmSound();
}

void ClockController::StoreAlarmState()
{
    // A failed write of the alarm cannot be helped at this point; the next start uses the defaults.
    (void)SaveAlarm(m_services.store, m_bar->AlarmTextToSave(), m_bar->AlarmOn());
    // How far the reminders were watched, so that the next start tells only what it missed.
    if (m_reminders)
        m_reminders->StoreMemory();
}

void ClockController::StartTimeSync()
{
    if (!m_options.udp || !m_options.workerClock)
        return;
    m_timeSync = std::make_unique<TimeSyncController>(
        m_services.settings, m_services.store, m_services.clock, m_options.programDir, m_options.sharedDir,
        NetworkTime{m_options.udp, m_options.workerClock}, m_options.persist);
    // The run's end is told, not looked for: the clock may have moved, and a hidden window's
    // clock would otherwise sleep on until its next event.
    if (m_options.startTimers)
        m_timeSync->OnRunEnded(CallOnUiThread(this, [this] { Timer1Timer(); }));
    connect(m_syncButton, &QAbstractButton::clicked, this,
            [this] { Guarded(m_window, [this] { m_timeSync->SpeedButton7Click(); }); });
    m_timeSync->StartUp();
}

void ClockController::PollTimeSync()
{
    if (!m_timeSync)
        return;
    auto outcome = m_timeSync->PollTimeSync();
    if (outcome && outcome->largeStep) {
        // A step this large is the user's to decide.
        switch (m_notices.OnLargeStep(outcome->byUser, WindowInView())) {
        case TimeSyncNotices::LargeStepTold::Ask: {
            const auto answer = AppMessageBox::Show(m_window, QMessageBox::Question, QStringLiteral("Potwierdzenie"),
                                                    QString::fromStdString(LargeStepQuestion(outcome->offsetMs)),
                                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return;
            outcome->change = m_timeSync->ApplyLargeStep(outcome->offsetMs);
            outcome->byUser = true;
            break;
        }
        case TimeSyncNotices::LargeStepTold::Notify:
            Announce(m_services.notifier, m_services.tray,
                     {"Zegar nie został ustawiony", LargeStepNotice(outcome->offsetMs), {}, false, {}});
            return;
        case TimeSyncNotices::LargeStepTold::Nothing:
            return;
        }
    }
    if (outcome && outcome->found && outcome->accurate) {
        // The user who asked hears that all is well; a run of its own accord has nothing to say.
        if (outcome->byUser)
            AppMessageBox::Show(m_window, QMessageBox::Information, QStringLiteral("Komunikat"),
                                QString::fromStdString(ClockAccurateMessage(outcome->offsetMs)));
        return;
    }
    if (!outcome || !outcome->found || outcome->change.Ok())
        return;
    // The user who pressed the button hears why nothing changed; a run of its own accord tells it
    // in a notification, once a day at most, since the runs repeat.
    const std::string message = ClockNotSetMessage(outcome->offsetMs, outcome->change);
    if (outcome->byUser) {
        AppMessageBox::Show(m_window, QMessageBox::Warning, QStringLiteral("Komunikat"),
                            QString::fromStdString(message));
        return;
    }
    if (m_notices.TellClockNotSet(DateOf(LocalNow(m_services.clock))))
        Announce(m_services.notifier, m_services.tray, {"Zegar nie został ustawiony", message, {}, false, {}});
}

void ClockController::Timer3Timer()
{
    if (m_timeSync)
        m_timeSync->Timer3Timer();
}
