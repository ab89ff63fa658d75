// The main window: building it, connecting its parts, and the day refresh.
#include "app/ui/main_window.h"

#include "app/name_reminders.h"
#include "app/winter_holidays_file.h"
#include "app/ui/clock_bar.h"
#include "app/ui/clock_controller.h"
#include "app/ui/day_panel.h"
#include "app/ui/icons.h"
#include "app/ui/info_panel.h"
#include "app/ui/note_editor_panel.h"
#include "app/ui/notes_controller.h"
#include "app/ui/speed_button.h"
#include "astro/sun_moon_line.h"
#include "clock/local_time.h"
#include "platform/program_dir.h"
#include "platform/startup_entry.h"
#include "platform/url_launcher.h"
#include "ui_support/fonts.h"
#include "ui_support/message_box.h"
#include "ui_support/named.h"
#include "ui_support/qt_text.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <iostream>

namespace {

// The one place where the four month grids are made. The small ones only show their month.
TCalenPnl* CreateMonthGrid(QWidget* parent, const char* name, QRect geometry, SystemClock& clock, bool main)
{
    auto* grid = NamedAt(new TCalenPnl(parent, [&clock] { return LocalNow(clock); }), name, geometry);
    grid->SetColHoliday(Qt::red);
    grid->SetShowDate(true);
    grid->SetGermanDate(true);
    if (main) {
        grid->SetUseLongDate(true);
        grid->SetShowWeeks(true);
        grid->SetShowButtonHints(true);
        grid->SetButtonHints(QStringLiteral("Poprzedni miesiąc"), QStringLiteral("Następny miesiąc"));
        QFont font = grid->font();
        font.setPixelSize(15);
        grid->setFont(font);
    } else {
        grid->setEnabled(false);
    }
    return grid;
}

}  // namespace

TForm1::TForm1(MainWindowServices services, MainWindowOptions options, QWidget* parent)
    // The layout is fixed, so the title bar offers no maximise (and the system menu no "Maximise"),
    // on X11 through the window manager's hints, on Windows through the frame's style; the window
    // can still be minimised, which the clock follows.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_clock(services.clock), m_store(services.settings), m_options(std::move(options))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dniarz"));
    // The program's icon is drawn once, for the application; a window made alone (tests) draws its own.
    if (QGuiApplication::windowIcon().isNull())
        setWindowIcon(AppIcon());
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    move(229, 107);
    CreateNotes(services.notesFile);
    CreateControls();

    LoadSettings(m_store, m_settings, LocalNow(m_clock));
    ApplySettingsToGrid();
    ApplyVoivodeship();
    m_notes->CreateTools();
    if (m_options.withTray)
        CreateTray();
    CreateQuitPaths();
    CreateClock(services);
    m_notes->OpenNotesFile();

    // The grids' holiday lists come with the first refresh, which always runs the month step.
    CopyGridColours();
    m_names.Load();
    m_cities.Load();
    CreateConfiguration();
    connect(m_mainGrid, &TCalenPnl::OnDateChange, this, [this] { RefreshDay(false); });
    // The wheel over a small grid moves the months as over the large one.
    for (TCalenPnl* grid : {m_previousGrid, m_nextGrid, m_afterNextGrid})
        connect(grid, &TCalenPnl::OnWheelMonths, m_mainGrid,
                [this](TCalenPnl*, int months) { m_mainGrid->StepMonths(months); });

    CreateTimers();
    RefreshDay(false);
    // The first picture of the window already shows the time, not the placeholder; then the
    // reminders of the day and the network time.
    m_clockController->Start();
}

void TForm1::CreateNotes(JournalFile& notesFile)
{
    NotesController::Options options{m_options.programDir,         m_options.persist,
                                     m_options.rangeDialog,        m_options.shiftHeld,
                                     m_options.contacts.files,     m_options.runIcsExportDialog,
                                     m_options.chooseIcsImportFile};
    // A changed journal marks other days and may hold other reminders.
    const auto notesSaved = [this] {
        MarkNoteDays();
        if (m_clockController)
            m_clockController->NotesChanged();
    };
    const auto journalRebuilt = [this] {
        RefreshDay(true);
        if (m_clockController)
            m_clockController->NotesChanged();
    };
    NotesController::WindowHooks hooks{notesSaved, journalRebuilt, [this] { return SelectedDate(); },
                                       [this](TDateTime date) { SelectDate(date); }, [this] { ShowFromTray(); }};
    m_notes = std::make_unique<NotesController>(m_clock, notesFile, m_names, std::move(options), std::move(hooks),
                                                this);
}

void TForm1::CreateClock(const MainWindowServices& services)
{
    ClockController::Services clockServices{m_clock,        m_store,           m_settings, m_names,
                                            services.sound, services.notifier, m_trayIcon, &m_notes->Journal()};
    ClockController::Options clockOptions{m_options.programDir, m_options.sharedDir,   m_options.alarmTiming,
                                          m_options.persist,    m_options.startTimers, m_options.udp,
                                          m_options.workerClock};
    ClockController::WindowHooks hooks{[this] { return SelectedDate(); }, [this] { return Editor().Modified(); },
                                       [this](const DayChange& change) { MoveOnAtMidnight(change); }};
    m_clockController = std::make_unique<ClockController>(
        ClockBar::Controls{m_timeLabel, m_alarmEdit, m_alarmToggle, m_stopButton, m_snoozeButton}, m_syncButton,
        std::move(clockServices), std::move(clockOptions), std::move(hooks), this);
}

void TForm1::CreateControls()
{
    CreateTopBar();
    m_previousGrid = CreateMonthGrid(this, "calb", {12, 36, 141, 161}, m_clock, false);
    m_dayPanel = new DayPanel(this);
    m_nextGrid = CreateMonthGrid(this, "calf", {272, 36, 141, 161}, m_clock, false);
    m_afterNextGrid = CreateMonthGrid(this, "calff", {424, 36, 141, 161}, m_clock, false);
    m_mainGrid = CreateMonthGrid(this, "cal", {12, 208, 249, 181}, m_clock, true);
    m_mainGrid->SetSelectedDate(m_options.date.value_or(DateOf(LocalNow(m_clock))));
    m_notePanel = new NoteEditorPanel(this, m_notes->Editor(), m_clock);
    CreateButtonRow();
    m_infoPanel = new InfoLinksPanel(
        this, [this](const QUrl& url) { return OpenUrl(url); }, m_options.infoLinks);
}

TForm1::~TForm1()
{
    if (!m_settingsDeleted && m_options.persist)
        m_clockController->StoreAlarmState();
}

NotesJournal& TForm1::Journal()
{
    return m_notes->Journal();
}

const NoteEditor& TForm1::Editor() const
{
    return m_notes->Editor();
}

NotesSearchWindow* TForm1::SearchWindow() const
{
    return m_notes->SearchWindow();
}

const QList<QAction*>& TForm1::NotesTools() const
{
    return m_notes->Tools();
}

void TForm1::OpenNotesSearch()
{
    m_notes->OpenNotesSearch();
}

const QTimer& TForm1::ClockTimer() const
{
    return m_clockController->ClockTimer();
}

TimeSyncController* TForm1::TimeSync() const
{
    return m_clockController->TimeSync();
}

ClockBar* TForm1::Clock() const
{
    return m_clockController->Bar();
}

void TForm1::ApplySettingsToGrid()
{
    ShowGridColours();
    m_recallSelectsToday = m_settings.RecallSelectsToday;
}

bool TForm1::ApplyVoivodeship()
{
    if (m_settings.Voivodeship == m_schoolBreaksFor)
        return false;
    m_schoolBreaksFor = m_settings.Voivodeship;
    m_winterHolidays = WinterHolidays();
    if (!m_schoolBreaksFor.empty()) {
        // Read again on each new choice, so that a corrected file counts without a restart.
        WinterHolidaysFile file = ReadWinterHolidays(
            LocateProgramFile(m_options.programDir, m_options.sharedDir, kWinterHolidaysFileName));
        m_winterHolidays = std::move(file.holidays);
        if (!file.problem.empty()) {
            // A picture has nobody to close a box.
            if (m_options.persist)
                AppMessageBox::Show(this, QMessageBox::Warning, QStringLiteral("Komunikat"), FromText(file.problem));
            else
                std::cerr << "dniarz: " << file.problem << '\n';
        }
    }
    m_dayView.SetSchoolBreaks(&m_winterHolidays, m_schoolBreaksFor);
    return true;
}

void TForm1::ShowGridColours()
{
    m_mainGrid->SetColSunday(FromStoredColour(m_settings.ColSunday));
    m_mainGrid->SetColSaturday(FromStoredColour(m_settings.ColSaturday));
    m_mainGrid->SetColMarked(FromStoredColour(m_settings.ColMarked));
    m_mainGrid->SetColWeek(FromStoredColour(m_settings.ColWeek));
    m_mainGrid->SetColToday(FromStoredColour(m_settings.ColToday));
    m_mainGrid->SetColHoliday(FromStoredColour(m_settings.ColHoliday));
}

void TForm1::CopyGridColours()
{
    for (TCalenPnl* grid : {m_previousGrid, m_nextGrid, m_afterNextGrid}) {
        grid->SetColHoliday(m_mainGrid->ColHoliday());
        grid->SetColMarked(m_mainGrid->ColMarked());
        grid->SetColSaturday(m_mainGrid->ColSaturday());
        grid->SetColSunday(m_mainGrid->ColSunday());
        grid->SetColToday(m_mainGrid->ColToday());
        grid->SetColWeek(m_mainGrid->ColWeek());
    }
}

void TForm1::CreateTopBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("TopBar"));
    bar->setGeometry(0, 0, kClientWidth, 29);
    NamedLabel(bar, "LabelCzas", QStringLiteral("Czas:"), {16, 8});
    m_timeLabel = NamedLabel(bar, "lgodzina", QStringLiteral("00:00:00"), {52, 8});
    m_timeLabel->setFont(SansFont(11, true));
    m_timeLabel->adjustSize();
    NamedLabel(bar, "LabelAlarm", QStringLiteral("Alarm:"), {124, 8});

    m_alarmEdit = new QLineEdit(bar);
    m_alarmEdit->setObjectName(QStringLiteral("alarm"));
    m_alarmEdit->setGeometry(168, 4, 49, 21);
    m_alarmEdit->setFont(SansFont(11, true));
    m_alarmEdit->setInputMask(QStringLiteral("00:00"));
    m_alarmEdit->setText(QStringLiteral("00:00"));
    m_alarmEdit->setMaxLength(5);

    m_alarmToggle = new QPushButton(QStringLiteral("Zał/Wył"), bar);
    m_alarmToggle->setObjectName(QStringLiteral("azalwyl"));
    m_alarmToggle->setGeometry(228, 4, 81, 22);
    m_alarmToggle->setCheckable(true);
    m_alarmToggle->setToolTip(QStringLiteral("Załączenie / Wyłączenie alarmu"));

    m_stopButton = new QPushButton(QStringLiteral("STOP"), bar);
    m_stopButton->setObjectName(QStringLiteral("alstop"));
    m_stopButton->setGeometry(320, 4, 61, 22);
    m_stopButton->setFont(SansFont(11, true));
    SetTextColour(m_stopButton, Qt::red, QPalette::ButtonText);
    m_stopButton->setToolTip(QStringLiteral("Wyłącz sygnał"));
    m_stopButton->hide();

    m_snoozeButton = new QPushButton(QStringLiteral("Drzemka"), bar);
    m_snoozeButton->setObjectName(QStringLiteral("drzemka"));
    m_snoozeButton->setGeometry(388, 4, 73, 22);
    m_snoozeButton->setToolTip(QStringLiteral("Wyłącz sygnał i zadzwoń ponownie za kilka minut"));
    m_snoozeButton->hide();

    m_syncButton = FlatButton(bar, "SpeedButton7", {}, {536, 4, 23, 22},
                              QStringLiteral("Synchronizacja czasu (wymagane połączenie z internetem)"), Glyph::Sync);
}

void TForm1::CreateButtonRow()
{
    m_todayButton = FlatButton(this, "Dzisiaj", QStringLiteral("Dzisiaj"), {12, 404, 61, 22},
                               QStringLiteral("Ustaw dzisiejszą datę"), Glyph::Today);
    m_contactsButton = FlatButton(this, "Tel", QStringLiteral("Tel."), {80, 404, 55, 22},
                                  QStringLiteral("Lista kontaktów"), Glyph::Contacts);
    m_configButton = FlatButton(this, "Konfig", QStringLiteral("Konfig."), {144, 404, 55, 22},
                                QStringLiteral("Wejście do konfiguracji"), Glyph::Config);
    m_infoButton = FlatButton(this, "Info", QStringLiteral("Info"), {204, 404, 55, 22},
                              QStringLiteral("Informacje o programie wraz z opisem programu"), Glyph::Info);

    connect(m_todayButton, &SpeedButton::clicked, this, &TForm1::SelectToday);
    connect(m_contactsButton, &SpeedButton::clicked, this, &TForm1::OpenContacts);
    connect(m_configButton, &SpeedButton::clicked, this, &TForm1::SpeedButton5Click);
    m_contactsHost = new ContactsHost(this, m_options.programDir, m_options.sharedDir, m_options.contacts);
    connect(m_infoButton, &SpeedButton::clicked, m_contactsHost, [this] { m_contactsHost->ShowInfo(); });
}

void TForm1::CreateTimers()
{
    // The first refresh runs before the window has ever been painted; this second one, just
    // after the event loop starts, finds the main grid drawn and so gets the day's colour right.
    m_repaintTimer.setInterval(1);
    m_repaintTimer.setSingleShot(true);
    connect(&m_repaintTimer, &QTimer::timeout, this, [this] { RefreshDay(false); });
    if (!m_options.startTimers)
        return;
    m_clockController->StartTimers();
    m_repaintTimer.start();
}

void TForm1::RefreshDay(bool force)
{
    const TDateTime selected = m_mainGrid->SelectedDate();
    m_notes->ShowDay(selected, m_mainGrid->LeftClick());
    m_notePanel->ShowEditorState();

    const DayViewUpdate view = m_dayView.Refresh(selected, force);
    if (view.month)
        ShowMonth(*view.month);
    // The day number takes the colour the grid draws the day in.
    m_mainGrid->repaint();
    m_dayPanel->SetDayNumber(view.panel.day, m_mainGrid->SelectedDayColor());
    m_dayPanel->SetWeekday(view.panel.weekday);
    ShowDayNames(view.panel);
    RefreshSunMoon();
}

void TForm1::ShowDayNames(const DayPanelTexts& panel)
{
    // Read on every refresh: the configuration dialog may have changed the choice since the last.
    const std::vector<std::string> chosen = ParseChosenNames(m_settings.ChosenNames);
    m_dayPanel->SetNamesAndHoliday(panel.holiday, MarkChosenNames(panel.names, chosen),
                                   MarkChosenNames(panel.namesInline, chosen), panel.holidayHint);
}

void TForm1::ShowMonth(const MonthView& month)
{
    m_dayPanel->SetMonthAndYear(month.monthName, month.year, month.workingTime);
    const std::array<TCalenPnl*, 3> neighbours = {m_previousGrid, m_nextGrid, m_afterNextGrid};
    for (std::size_t i = 0; i < neighbours.size(); ++i) {
        TCalenPnl* grid = neighbours[i];
        const std::optional<GridMonth>& shown = month.neighbours[i];
        grid->SetBlank(!shown);
        if (shown) {
            grid->SetMonth(shown->month);
            grid->SetYear(shown->year);
        }
    }
    const std::array<TCalenPnl*, 4> grids = {m_mainGrid, m_previousGrid, m_nextGrid, m_afterNextGrid};
    for (std::size_t i = 0; i < grids.size(); ++i) {
        grids[i]->SetHolidays(month.holidays[i]);
        grids[i]->SetShadedDays(month.schoolBreakDays[i]);
    }
    MarkNoteDays();
}

void TForm1::MarkNoteDays()
{
    for (TCalenPnl* grid : {m_mainGrid, m_previousGrid, m_nextGrid, m_afterNextGrid}) {
        const NotesJournal& journal = m_notes->Journal();
        grid->SetMarkdays(journal.NotesEnabled() ? journal.MarkedDayKeys(grid->Year(), grid->Month())
                                                 : std::vector<std::string>{});
        grid->update();
    }
    // The day number wears the grid's colour for the day, which a note saved or deleted changes.
    m_dayPanel->SetDayNumber(DecodeDate(m_mainGrid->SelectedDate()).day, m_mainGrid->SelectedDayColor());
}

void TForm1::RefreshSunMoon()
{
    // A place without an answer reads "----/----"; any other failure is a fault that must show.
    const double latitude = m_settings.Latitude;
    const double longitude = m_settings.Longitude;
    if (!m_almanac || m_almanac->Latitude() != latitude || m_almanac->Longitude() != longitude)
        m_almanac.emplace(latitude, longitude);
    const SunMoonLine line = m_almanac->Line(m_mainGrid->SelectedDate());
    // Qt's tooltips break lines everywhere, so the hint keeps its three lines.
    m_dayPanel->SetSunLine(line.caption, line.Hint());
}

void TForm1::SelectToday()
{
    SelectDate(DateOf(LocalNow(m_clock)));
}

void TForm1::SelectDate(TDateTime date)
{
    // The grid's date-change notification runs RefreshDay.
    m_mainGrid->SetSelectedDate(date);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
    if (m_clockController)
        m_clockController->ScheduleClockTick();
}

void TForm1::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_clockController)
        m_clockController->WindowHidden();
}

void TForm1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A window manager that maximises anyway (a double-click on the title, a shortcut) gets the
    // window back as it was: the layout cannot grow, and a maximised state would only stick.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        return;
    }
    if (event->type() == QEvent::WindowStateChange && m_clockController) {
        m_clockController->WindowStateChanged();
        if (isVisible())
            FormShow();
    }
}

void TForm1::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // A window uncovered after the event loop was held up shows the time at once, not a stale second.
    if (m_clockController)
        m_clockController->ClockTick();
}

bool TForm1::OpenUrl(const QUrl& url)
{
    if (m_options.openUrl)
        return m_options.openUrl(url);
    UrlLauncher& links = m_contactsHost->Links();
    if (url.scheme() == QLatin1String("mailto"))
        return links.OpenMail(url.path().toStdString());
    return links.OpenInBrowser(url.toString().toStdString());
}

void TForm1::FormShow()
{
    // Started hidden on a desktop without a notification area, the window lies minimised; it is
    // first brought up when the user restores it, as from the tray elsewhere.
    if (!m_settings.FirstRun || !m_options.configOnFirstRun || isMinimized())
        return;
    m_options.configOnFirstRun = false;
    // After the window is on the screen, so that the dialog opens over it.
    QTimer::singleShot(0, this, [this] {
        SpeedButton5Click();
        m_settings.FirstRun = false;
    });
}

void TForm1::Timer1Timer()
{
    m_clockController->Timer1Timer();
}

void TForm1::MoveOnAtMidnight(const DayChange& change)
{
    // The grids read today as they paint; the small ones may hold the new day too.
    for (TCalenPnl* grid : {m_mainGrid, m_previousGrid, m_nextGrid, m_afterNextGrid})
        grid->update();
    // The refresh this runs moves the small grids on a new month and fills the day panel.
    if (change.selectToday)
        SelectDate(change.today);
}

void TForm1::OpenContacts()
{
    m_contactsHost->OpenContacts();
}

void TForm1::HideContacts()
{
    m_contactsHost->HideContacts();
}

void TForm1::SaveNote()
{
    m_notes->SaveNote();
}
