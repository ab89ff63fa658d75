// The main window's network time and reminders: the runs, what their ends tell the user, and the
// chosen name days at start and at midnight.
#include "app/ui/main_window.h"

#include "app/name_reminders.h"
#include "app/time_sync_controller.h"
#include "app/ui/announce.h"
#include "app/ui/show_error.h"
#include "app/ui/speed_button.h"
#include "calendar/date_format.h"
#include "clock/local_time.h"
#include "ui_support/message_box.h"
#include "ui_support/ui_thread.h"

void TForm1::StartTimeSync()
{
    if (!m_options.udp || !m_options.workerClock)
        return;
    m_timeSync = std::make_unique<TimeSyncController>(
        m_settings, m_store, m_clock, m_options.programDir, m_options.sharedDir,
        NetworkTime{m_options.udp, m_options.workerClock}, m_options.persist);
    // The run's end is told, not looked for: the clock may have moved, and a hidden window's
    // clock would otherwise sleep on until its next event.
    if (m_options.startTimers)
        m_timeSync->OnRunEnded(CallOnUiThread(this, [this] { Timer1Timer(); }));
    connect(SpeedButton7, &QAbstractButton::clicked, this,
            [this] { Guarded(this, [this] { m_timeSync->SpeedButton7Click(); }); });
    m_timeSync->StartUp();
}

void TForm1::PollTimeSync()
{
    if (!m_timeSync)
        return;
    auto outcome = m_timeSync->PollTimeSync();
    if (outcome && outcome->largeStep) {
        // A step this large is the user's to decide; with nobody at the window it is left unmade
        // and said once, not asked every run.
        if (outcome->byUser || (isVisible() && !isMinimized())) {
            const auto answer = AppMessageBox::Show(this, QMessageBox::Question, QStringLiteral("Potwierdzenie"),
                                                    QString::fromStdString(LargeStepQuestion(outcome->offsetMs)),
                                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes)
                return;
            outcome->change = m_timeSync->ApplyLargeStep(outcome->offsetMs);
            outcome->byUser = true;
        } else {
            if (!m_largeStepNoticeGiven)
                Announce(m_notifier, m_trayIcon,
                         {"Zegar nie został ustawiony", LargeStepNotice(outcome->offsetMs), {}, false});
            m_largeStepNoticeGiven = true;
            return;
        }
    }
    if (!outcome || !outcome->found || outcome->change.Ok())
        return;
    // The user who pressed the button hears why nothing changed; a run of its own accord tells it
    // in a notification, once a day at most, since the runs repeat.
    const std::string message = ClockNotSetMessage(outcome->offsetMs, outcome->change);
    if (outcome->byUser) {
        AppMessageBox::Show(this, QMessageBox::Warning, QStringLiteral("Komunikat"), QString::fromStdString(message));
        return;
    }
    const TDateTime today = DateOf(LocalNow(m_clock));
    if (m_clockNotSetToldOn == today)
        return;
    m_clockNotSetToldOn = today;
    Announce(m_notifier, m_trayIcon, {"Zegar nie został ustawiony", message, {}, false});
}

void TForm1::Timer3Timer()
{
    if (m_timeSync)
        m_timeSync->Timer3Timer();
}

void TForm1::RemindNameDays()
{
    // A picture of the window has nobody to remind and must not mark the day as reminded.
    if (!m_options.persist)
        return;
    const TDateTime today = DateOf(LocalNow(m_clock));
    const std::string day = FormatDateTime("yyyy.mm.dd", today);
    if (m_settings.NameReminderDay == day)
        return;
    const auto reminder = ReminderFor(m_names, ParseChosenNames(m_settings.ChosenNames), today);
    if (!reminder)
        return;
    Announce(m_notifier, m_trayIcon, {reminder->summary, reminder->body, {}, false});
    // Kept, so that a start later the same day does not say it again.
    m_settings.NameReminderDay = day;
    (void)SaveValues(m_store, m_settings, {SettingId::NameReminderDay});
}
