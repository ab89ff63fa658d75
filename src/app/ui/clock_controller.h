// ClockController: the main window's clock and what hangs on it. It keeps the top bar (ClockBar)
// ticking, sets the clock's timer to the next moment that matters, moves the day on at midnight,
// gives the name-day reminders and those of the notes' lines, and runs the network time with what its ends tell the
// user. The window builds the controls and says what a new day does to its grids.
#pragma once

#include "app/day_change.h"
#include "app/settings.h"
#include "app/time_sync_notices.h"
#include "app/ui/clock_bar.h"

#include <QObject>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>

class DesktopNotifier;
class NameDayTable;
class NoteReminderWatch;
class NotesJournal;
struct ReminderNotice;
class QAbstractButton;
class SettingsStore;
class Sound;
class SystemClock;
class TTrayNotifyIcon;
class TimeSyncController;
class UdpTransport;

class ClockController : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        SystemClock& clock;
        SettingsStore& store;
        Settings& settings;
        const NameDayTable& names;
        std::shared_ptr<Sound> sound;         // the alarm and the full-hour tone; null is silence
        DesktopNotifier* notifier = nullptr;  // null: the tray's messages
        TTrayNotifyIcon* tray = nullptr;      // null without a tray
        const NotesJournal* notes = nullptr;  // whose timed lines remind; null: none
    };
    struct Options
    {
        std::filesystem::path programDir;  // "ALARM.WAV" and "TIMESRV.INI" are looked for here
        std::filesystem::path sharedDir;   // and here (LocateProgramFile)
        AlarmTiming alarmTiming;           // empty: real time
        bool persist = true;               // false: no sound, no reminders, nothing written
        bool startTimers = true;           // false: the clock ticks only when told
        // Without both there is no network time and no drift correction.
        std::shared_ptr<UdpTransport> udp;
        std::shared_ptr<const SystemClock> workerClock;
    };
    // What the window does with the clock's news.
    struct WindowHooks
    {
        std::function<TDateTime()> selectedDate;  // the main grid's date
        std::function<bool()> editing;            // the note editor holds unsaved text
        // The date moved on while the program ran: the grids' today marks, and the selection.
        std::function<void(const DayChange&)> dayChanged;
    };

    // `window` is where boxes appear and whose visibility decides how often the clock ticks.
    // The alarm's state comes from the settings; the timers are still; the time service waits.
    ClockController(ClockBar::Controls bar, QAbstractButton* syncButton, Services services, Options options,
                    WindowHooks hooks, QWidget* window);
    ~ClockController() override;

    // Once the window is built: the first tick, so that its first picture shows the time, the
    // reminders of the day, and the network time's start-up.
    void Start();
    // The timers' start, unless the options keep them still.
    void StartTimers();

    // The clock's tick: the clock bar, the day moving on at midnight, a finished network time run;
    // then the next tick is set. Once a second while the window is seen, otherwise at the next
    // alarm, full hour or midnight.
    void Timer1Timer();
    // The clock bar alone: every paint, so that an uncovered window shows the current second.
    void ClockTick();
    // The clock's timer to the next moment that matters, shown or hidden.
    void ScheduleClockTick();
    // The window went out of sight, or was minimised or restored.
    void WindowHidden();
    void WindowStateChanged();

    // A note was saved or the journal rebuilt: the next reminder may be another.
    void NotesChanged();
    NoteReminderWatch* Reminders() const { return m_reminders.get(); }  // null without notes

    // Every recall from the tray: the sound stops, a snooze waits on.
    void StopAlarmSound();
    // At the end: the alarm box's text and the toggle into the settings store, and how far the
    // reminders of the notes were watched.
    void StoreAlarmState();

    ClockBar* Bar() const { return m_bar.get(); }
    TimeSyncController* TimeSync() const { return m_timeSync.get(); }  // null without a network
    const QTimer& ClockTimer() const { return m_clockTimer; }

private:
    void MoveOnAtMidnight();
    void RemindNameDays();  // at start and at midnight: the chosen names of today and tomorrow
    // Every tick: the reminders of the notes that are due, and the tray's line of the next one.
    void RemindNotes();
    void AnnounceReminder(const ReminderNotice& notice);
    void StartTimeSync();
    void PollTimeSync();  // after the clock tick: a finished network time run
    void Timer3Timer();   // every 5 minutes: retry the network time while it is not done
    bool WindowInView() const;

    Services m_services;
    Options m_options;
    WindowHooks m_hooks;
    QWidget* m_window;
    QAbstractButton* m_syncButton;  // "Synchronizacja czasu", SpeedButton7
    DayChangeWatch m_dayWatch;
    TimeSyncNotices m_notices;
    bool m_tickAfterHiding = false;  // the first tick after the clock went out of sight
    QTimer m_clockTimer;             // Timer1
    QTimer m_retryTimer;             // Timer3
    std::unique_ptr<TimeSyncController> m_timeSync;
    std::unique_ptr<NoteReminderWatch> m_reminders;
    // Last, so that it goes first, while the controls it works on are still there.
    std::unique_ptr<ClockBar> m_bar;
};
