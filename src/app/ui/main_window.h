// TForm1: the main window. It builds the window and connects its parts: the clock with the alarm,
// the reminders and the network time (clock_controller.h), the notes with their editor and tools
// (notes_controller.h), the four month grids, the day panel (day_panel.h), the information panel
// with its links (info_panel.h), the tray icon and the ways to quit (main_window_tray.cpp), and
// the configuration dialog (main_window_config.cpp).
#pragma once

#include "app/auto_runner.h"
#include "app/day_change.h"
#include "app/day_view.h"
#include "app/settings.h"
#include "app/ui/config_dialog.h"
#include "app/ui/contacts_host.h"
#include "app/ui/info_panel.h"
#include "astro/places.h"
#include "astro/sun_moon_line.h"
#include "calendar/datetime.h"
#include "calendar/multi_day_notes.h"
#include "calendar/namedays.h"
#include "calendar/note_editor.h"
#include "calendar/notes_journal.h"
#include "calendar/winter_holidays.h"
#include "clock/alarm_sound.h"
#include "widgets/calendar_panel.h"

#include <QColor>
#include <QList>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class DesktopNotifier;
class IcsExportDialog;
class NotesSearchWindow;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class ClockBar;
class ClockController;
class DayPanel;
class InfoLinksPanel;
class NoteEditorPanel;
class NotesController;
class SpeedButton;
class JournalFile;
class SettingsStore;
class StartupEntry;
class SystemClock;
class TTrayNotifyIcon;
class TimeSyncController;
class UdpTransport;

// What the window works with from outside: tests pass fakes.
struct MainWindowServices
{
    SystemClock& clock;
    SettingsStore& settings;
    JournalFile& notesFile;
    std::shared_ptr<Sound> sound = nullptr;  // the alarm and the full-hour tone; null is silence
    DesktopNotifier* notifier = nullptr;     // the desktop's notifications; null: the tray's messages
};

struct MainWindowOptions
{
    std::filesystem::path programDir;  // where the notes and the other files of the program live
    std::filesystem::path sharedDir;   // where the shipped files lie (LocateProgramFile)
    std::optional<TDateTime> date;     // the date selected at start; today when empty
    bool withTray = true;              // false: no tray icon at all (pictures of the window)
    bool trayAvailable = true;         // whether the desktop has a notification area to hide into
    bool startTimers = true;           // false: the window stands still (pictures, some tests)
    // Opens a web or mail address with the desktop's programs; empty means QDesktopServices.
    std::function<bool(const QUrl&)> openUrl;
    // Whether Shift is held at the moment of a click; empty asks the keyboard.
    std::function<bool()> shiftHeld;
    // The multi-day note dialog; empty shows Twiele.
    RangeNoteDialog rangeDialog;
    // false: nothing is written (the settings, the notes file), as for a picture of the window.
    bool persist = true;
    // The contacts book's and the links' file store, sound and launcher; empty ones are the system's.
    ContactsHostServices contacts;
    // The network for time runs and the clock their worker reads; without both the window has no
    // network time and no drift correction (pictures, most tests).
    std::shared_ptr<UdpTransport> udp;
    std::shared_ptr<const SystemClock> workerClock;
    // How the alarm thread measures and waits; empty is real time.
    AlarmTiming alarmTiming;
    // The start-at-logon entries ("Automatyczne uruchomienie"); none: the box changes nothing.
    StartupEntry* startupEntry = nullptr;
    // The program file an entry starts (ProgramFile() in the real program), and what it is passed
    // after "-hide".
    std::filesystem::path programFile;
    std::vector<std::string> programArguments;
    // The iCalendar export's dialog (true: accepted) and the file an import reads; empty ones ask
    // the user. The files themselves go through `contacts.files`; without it there are no items.
    std::function<bool(IcsExportDialog&)> runIcsExportDialog;
    std::function<QString(QWidget*)> chooseIcsImportFile;
    // With no settings stored, the configuration dialog opens when the window is first shown.
    // Off by default, so that a window under test never waits for a dialog nobody answers.
    bool configOnFirstRun = false;
    // The information panel's links; a window under test names its own.
    InfoLinks infoLinks;
};

class TForm1 : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 579;
    static constexpr int kClientHeight = 507;

    TForm1(MainWindowServices services, MainWindowOptions options, QWidget* parent = nullptr);
    ~TForm1() override;

    // Shows the window as the start asks: hidden in the tray with "-HIDE", but minimised instead
    // when there is no tray, because a hidden window could then never be brought back.
    void StartShown(bool hide);

    // The day refresh: brings the day panel, the small grids, their marks and the note editor up
    // to date with the main grid's date; `force` redoes the month step.
    void RefreshDay(bool force);
    // The marked days of all four grids from the notes.
    void MarkNoteDays();
    // The main grid's six colours onto the three small grids.
    void CopyGridColours();
    // The sun and moon line and its hint for the selected date.
    void RefreshSunMoon();

    // The day panel, Panel1.
    DayPanel* Day() const { return m_dayPanel; }

    // The date the main grid shows.
    TDateTime SelectedDate() const { return m_mainGrid->SelectedDate(); }
    // The notes and the editor's state, for the configuration dialog and tests.
    NotesJournal& Journal();
    const NoteEditor& Editor() const;
    const Settings& CurrentSettings() const { return m_settings; }
    TDateTime EasterOfDisplayedYear() const { return m_dayView.Easter(); }
    void SelectToday();

    // "Szukaj w notatkach" (Ctrl+F): the search window, the main window brought up with it.
    void OpenNotesSearch();
    NotesSearchWindow* SearchWindow() const;  // null until first opened
    // "Szukaj w notatkach…" and, where built in, "Eksport do iCalendar…" and "Import z iCalendar…",
    // as the tray menu and the window's own menu offer them.
    const QList<QAction*>& NotesTools() const;

    // Tray click, double-click and "Pokaż".
    void ShowFromTray();
    // "Zakończ": ends the program in order, also while the window is hidden.
    void Quit();
    bool QuitRequested() const { return m_quitRequested; }
    // "Konfig.": the configuration dialog, and on OK its values applied and saved.
    void SpeedButton5Click();
    // What the configuration dialog's calibration, info and colour buttons open.
    ConfigDialogHooks& ConfigHooks() { return m_configHooks; }
    // The clock's tick: the clock bar, the day moving on at midnight, a finished network time run;
    // then the next tick is set. Once a second while the window is seen, otherwise at the next
    // alarm, full hour or midnight.
    void Timer1Timer();
    const QTimer& ClockTimer() const;
    // "Przywołanie": a recall from the tray selects today.
    void SetRecallSelectsToday(bool value) { m_recallSelectsToday = value; }

    TTrayNotifyIcon* TrayIcon() const { return m_trayIcon; }  // null without a tray
    TimeSyncController* TimeSync() const;                     // null without a network
    ClockBar* Clock() const;
    QMenu* TrayMenu() const { return m_trayMenu; }
    ContactsHost* Contacts() const { return m_contactsHost; }

signals:
    // The window has closed for good; the event loop should end.
    void Finished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The controls' object names keep their established spelling ("cal", "lgodzina", "Panel1"):
    // tests find them by those.
    TCalenPnl* m_mainGrid = nullptr;        // "cal"
    TCalenPnl* m_previousGrid = nullptr;    // "calb", the month before the main grid's
    TCalenPnl* m_nextGrid = nullptr;        // "calf"
    TCalenPnl* m_afterNextGrid = nullptr;   // "calff"
    QLabel* m_timeLabel = nullptr;          // "lgodzina"
    QLineEdit* m_alarmEdit = nullptr;       // "alarm"
    QPushButton* m_alarmToggle = nullptr;   // "azalwyl"
    QPushButton* m_stopButton = nullptr;    // "alstop"
    QPushButton* m_snoozeButton = nullptr;  // "drzemka"
    SpeedButton* m_syncButton = nullptr;    // "SpeedButton7", time synchronisation
    DayPanel* m_dayPanel = nullptr;         // "Panel1"
    NoteEditorPanel* m_notePanel = nullptr;
    SpeedButton* m_todayButton = nullptr;     // "Dzisiaj"
    SpeedButton* m_contactsButton = nullptr;  // "Tel"
    SpeedButton* m_configButton = nullptr;    // "Konfig"
    SpeedButton* m_infoButton = nullptr;      // "Info"
    InfoLinksPanel* m_infoPanel = nullptr;    // "InfoPanel"

    void CreateControls();
    void CreateTopBar();
    void CreateButtonRow();
    void CreateClock(const MainWindowServices& services);
    void CreateNotes(JournalFile& notesFile);
    void CreateTray();
    void CreateQuitPaths();
    void CreateTimers();
    void CreateConfiguration();  // the autostart switch and what the configuration dialog opens

    void SelectDate(TDateTime date);
    void ShowMonth(const MonthView& month);
    // The names of the day with the chosen ones in bold, and the holiday over them.
    void ShowDayNames(const DayPanelTexts& panel);
    void ApplySettingsToGrid();
    // The school breaks of the chosen voivodeship to the day view, reading the winter holidays
    // file when a voivodeship is first chosen or changed; a refused file is shown in a box (on
    // stderr for a picture), a missing one is no fault. True when the choice changed.
    bool ApplyVoivodeship();
    void ShowGridColours();  // the main grid's colours from the settings
    bool OpenUrl(const QUrl& url);
    void MoveOnAtMidnight(const DayChange& change);  // the today mark, and the selected day if it was today

    void FormShow();      // on a first run, the configuration dialog opens with the window
    void OpenContacts();  // "Tel." and "Kontakty"
    void HideContacts();  // the contacts window follows the main window into the tray
    void SaveNote();      // before every close, also when the window only goes to the tray

    SystemClock& m_clock;
    SettingsStore& m_store;
    MainWindowOptions m_options;
    Settings m_settings;
    NameDayTable m_names;
    DayView m_dayView{m_names};
    // Kept for the place it was made for: the day before and after share its positions, so that
    // stepping through days, and the refresh that follows the first paint, cost a fraction.
    std::optional<SunMoonAlmanac> m_almanac;
    bool m_quitRequested = false;
    bool m_settingsDeleted = false;
    bool m_recallSelectsToday = false;  // "Przywołanie"
    CityTable m_cities;
    WinterHolidays m_winterHolidays;                 // of the file read for m_schoolBreaksFor
    std::string m_schoolBreaksFor;                   // the voivodeship the day view shows the breaks of
    std::unique_ptr<StartupEntry> m_noStartupEntry;  // stands in when the options give none
    std::unique_ptr<TAutoRunner> m_autoRunner;
    ConfigDialogHooks m_configHooks;

    TTrayNotifyIcon* m_trayIcon = nullptr;
    QMenu* m_trayMenu = nullptr;
    ContactsHost* m_contactsHost = nullptr;
    QTimer m_repaintTimer;  // Timer2: the refresh just after the first paint
    std::unique_ptr<NotesController> m_notes;
    // Last, so that it goes first, while the controls it works on are still there.
    std::unique_ptr<ClockController> m_clockController;
};
