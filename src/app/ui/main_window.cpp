// The main window: building and wiring its parts, the day refresh, and the hooks where the clock,
// the notes and the network time attach.
#include "app/ui/main_window.h"

#include "app/name_reminders.h"
#include "app/time_sync_controller.h"
#include "app/ui/announce.h"
#include "app/ui/clock_bar.h"
#include "app/ui/day_panel.h"
#include "app/ui/icons.h"
#include "app/ui/info_panel.h"
#include "app/ui/note_editor_panel.h"
#include "app/ui/show_error.h"
#include "app/ui/speed_button.h"
#include "astro/sun_moon_line.h"
#include "calendar/date_format.h"
#include "calendar/ui/multi_day_dialog.h"
#include "clock/local_time.h"
#include "clock/tick_schedule.h"
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
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      m_clock(services.clock), m_store(services.settings), m_options(std::move(options)),
      m_dayWatch(LocalNow(services.clock)), m_notifier(services.notifier), m_journal(services.notesFile)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dniarz"));
    // The program's icon is drawn once, for the application; a window made alone (tests) draws its own.
    if (QGuiApplication::windowIcon().isNull())
        setWindowIcon(AppIcon());
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    move(229, 107);
    CreateControls();

    LoadSettings(m_store, m_settings, LocalNow(m_clock));
    ApplySettingsToGrid();
    CreateNotesTools();
    if (m_options.withTray)
        CreateTray();
    CreateQuitPaths();
    m_clockBar = std::make_unique<ClockBar>(
        ClockBar::Controls{lgodzina, alarm, azalwyl, alstop, drzemka},
        ClockBar::Services{m_clock, m_settings, m_options.persist ? services.sound : nullptr, m_options.programDir,
                           m_options.alarmTiming, services.notifier},
        m_trayIcon, this);
    connect(m_clockBar.get(), &ClockBar::AlarmChanged, this, &TForm1::ScheduleClockTick);
    OpenNotesFile();

    // The grids' holiday lists come with the first refresh, which always runs the month step.
    CopyGridColours();
    m_names.Load();
    m_cities.Load();
    CreateConfiguration();
    connect(cal, &TCalenPnl::OnDateChange, this, [this] { RefreshDay(false); });

    CreateTimers();
    RefreshDay(false);
    // The first picture of the window already shows the time, not the placeholder.
    ClockTick();
    RemindNameDays();
    StartTimeSync();
}

void TForm1::CreateControls()
{
    CreateTopBar();
    calb = CreateMonthGrid(this, "calb", {12, 36, 141, 161}, m_clock, false);
    Panel1 = new DayPanel(this);
    calf = CreateMonthGrid(this, "calf", {272, 36, 141, 161}, m_clock, false);
    calff = CreateMonthGrid(this, "calff", {424, 36, 141, 161}, m_clock, false);
    cal = CreateMonthGrid(this, "cal", {12, 208, 249, 181}, m_clock, true);
    cal->SetSelectedDate(m_options.date.value_or(DateOf(LocalNow(m_clock))));
    m_notePanel = new NoteEditorPanel(this, m_editor, m_clock);
    CreateButtonRow();
    InfoPanel = new InfoLinksPanel(this, [this](const QUrl& url) { return OpenUrl(url); });
}

void TForm1::OpenNotesFile()
{
    if (const auto message = m_journal.OpenNotes(m_options.programDir / "dnz.dat")) {
        // A picture has nobody to close a box, so it reports the failure on stderr instead.
        if (m_options.persist)
            AppMessageBox::Show(this, QMessageBox::Warning, QStringLiteral("Komunikat"), FromText(*message));
        else
            std::cerr << "dniarz: " << FromText(*message).toStdString() << '\n';
    }
    m_journal.SetOnChanged([this](NotesChange change) {
        if (change == NotesChange::Saved)
            MarkNoteDays();
        else
            RefreshDay(true);
    });
}

TForm1::~TForm1()
{
    if (!m_settingsDeleted && m_options.persist)
        StoreAlarmState();
    // The callback points back into this window, which is going.
    m_journal.SetOnChanged({});
}

void TForm1::ApplySettingsToGrid()
{
    ShowGridColours();
    m_recallSelectsToday = m_settings.RecallSelectsToday;
}

void TForm1::ShowGridColours()
{
    cal->SetColSunday(FromStoredColour(m_settings.ColSunday));
    cal->SetColSaturday(FromStoredColour(m_settings.ColSaturday));
    cal->SetColMarked(FromStoredColour(m_settings.ColMarked));
    cal->SetColWeek(FromStoredColour(m_settings.ColWeek));
    cal->SetColToday(FromStoredColour(m_settings.ColToday));
    cal->SetColHoliday(FromStoredColour(m_settings.ColHoliday));
}

void TForm1::CopyGridColours()
{
    for (TCalenPnl* grid : {calb, calf, calff}) {
        grid->SetColHoliday(cal->ColHoliday());
        grid->SetColMarked(cal->ColMarked());
        grid->SetColSaturday(cal->ColSaturday());
        grid->SetColSunday(cal->ColSunday());
        grid->SetColToday(cal->ColToday());
        grid->SetColWeek(cal->ColWeek());
    }
}

void TForm1::CreateTopBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("TopBar"));
    bar->setGeometry(0, 0, kClientWidth, 29);
    NamedLabel(bar, "LabelCzas", QStringLiteral("Czas:"), {16, 8});
    lgodzina = NamedLabel(bar, "lgodzina", QStringLiteral("00:00:00"), {52, 8});
    lgodzina->setFont(SansFont(11, true));
    lgodzina->adjustSize();
    NamedLabel(bar, "LabelAlarm", QStringLiteral("Alarm:"), {124, 8});

    alarm = new QLineEdit(bar);
    alarm->setObjectName(QStringLiteral("alarm"));
    alarm->setGeometry(168, 4, 49, 21);
    alarm->setFont(SansFont(11, true));
    alarm->setInputMask(QStringLiteral("00:00"));
    alarm->setText(QStringLiteral("00:00"));
    alarm->setMaxLength(5);

    azalwyl = new QPushButton(QStringLiteral("Zał/Wył"), bar);
    azalwyl->setObjectName(QStringLiteral("azalwyl"));
    azalwyl->setGeometry(228, 4, 81, 22);
    azalwyl->setCheckable(true);
    azalwyl->setToolTip(QStringLiteral("Załączenie / Wyłączenie alarmu"));

    alstop = new QPushButton(QStringLiteral("STOP"), bar);
    alstop->setObjectName(QStringLiteral("alstop"));
    alstop->setGeometry(320, 4, 61, 22);
    alstop->setFont(SansFont(11, true));
    SetTextColour(alstop, Qt::red, QPalette::ButtonText);
    alstop->setToolTip(QStringLiteral("Wyłącz sygnał"));
    alstop->hide();

    drzemka = new QPushButton(QStringLiteral("Drzemka"), bar);
    drzemka->setObjectName(QStringLiteral("drzemka"));
    drzemka->setGeometry(388, 4, 73, 22);
    drzemka->setToolTip(QStringLiteral("Wyłącz sygnał i zadzwoń ponownie za kilka minut"));
    drzemka->hide();

    SpeedButton7 = FlatButton(bar, "SpeedButton7", {}, {536, 4, 23, 22},
                              QStringLiteral("Synchronizacja czasu (wymagane połączenie z internetem)"), Glyph::Sync);
}

void TForm1::CreateButtonRow()
{
    Dzisiaj = FlatButton(this, "Dzisiaj", QStringLiteral("Dzisiaj"), {12, 404, 61, 22},
                         QStringLiteral("Ustaw dzisiejszą datę"), Glyph::Today);
    Tel = FlatButton(this, "Tel", QStringLiteral("Tel."), {80, 404, 55, 22}, QStringLiteral("Lista kontaktów"),
                     Glyph::Contacts);
    Konfig = FlatButton(this, "Konfig", QStringLiteral("Konfig."), {144, 404, 55, 22},
                        QStringLiteral("Wejście do konfiguracji"), Glyph::Config);
    Info = FlatButton(this, "Info", QStringLiteral("Info"), {204, 404, 55, 22},
                      QStringLiteral("Informacje o programie wraz z opisem programu"), Glyph::Info);

    connect(Dzisiaj, &SpeedButton::clicked, this, &TForm1::SelectToday);
    connect(Tel, &SpeedButton::clicked, this, &TForm1::OpenContacts);
    connect(Konfig, &SpeedButton::clicked, this, &TForm1::SpeedButton5Click);
    m_contactsHost = new ContactsHost(this, m_options.programDir, m_options.sharedDir, m_options.contacts);
    connect(Info, &SpeedButton::clicked, m_contactsHost, [this] { m_contactsHost->ShowInfo(); });
}

void TForm1::CreateTimers()
{
    // One shot at a time, set to the next moment anything can change (MsToNextTick), to the
    // millisecond: a coarse timer may fire early and find the old second still on the clock.
    Timer1.setSingleShot(true);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    // The first refresh runs before the window has ever been painted; this second one, just
    // after the event loop starts, finds the main grid drawn and so gets the day's colour right.
    Timer2.setInterval(1);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, [this] { RefreshDay(false); });
    Timer3.setInterval(5 * 60 * 1000);
    connect(&Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
    if (!m_options.startTimers)
        return;
    ScheduleClockTick();
    Timer2.start();
    Timer3.start();
}

void TForm1::ScheduleClockTick()
{
    if (!m_options.startTimers || !m_clockBar)
        return;
    const TickNeeds needs{(isVisible() && !isMinimized()) || m_tickAfterHiding, m_settings.HourSignalEnabled,
                          m_clockBar->Logic().NextRing()};
    Timer1.start(MsToNextTick(LocalNow(m_clock), needs));
}

void TForm1::RefreshDay(bool force)
{
    // The edit goes under the day it was typed for, before anything else moves.
    Guarded(this, [this] { m_editor.SaveNote(LocalNow(m_clock)); });
    const TDateTime selected = cal->SelectedDate();
    // A Shift-click makes a range from the last clicked day; a key move never does.
    m_anchor.DateChanged(selected, cal->LeftClick(), cal->LeftClick() && ShiftHeld(),
                         [this](TDateTime anchor, TDateTime clicked) { RunRange(anchor, clicked); });
    // The editor remembers the day it shows; a later save goes there.
    m_editor.ShowNotes(selected);
    m_notePanel->ShowEditorState();

    const DayViewUpdate view = m_dayView.Refresh(selected, force);
    if (view.month)
        ShowMonth(*view.month);
    // The day number takes the colour the grid draws the day in.
    cal->repaint();
    Panel1->SetDayNumber(view.panel.day, cal->SelectedDayColor());
    Panel1->SetWeekday(view.panel.weekday);
    ShowDayNames(view.panel);
    RefreshSunMoon();
}

void TForm1::ShowDayNames(const DayPanelTexts& panel)
{
    // Read on every refresh: the configuration dialog may have changed the choice since the last.
    const std::vector<std::string> chosen = ParseChosenNames(m_settings.ChosenNames);
    Panel1->SetNamesAndHoliday(panel.holiday, MarkChosenNames(panel.names, chosen),
                               MarkChosenNames(panel.namesInline, chosen));
}

void TForm1::ShowMonth(const MonthView& month)
{
    Panel1->SetMonthAndYear(month.monthName, month.year);
    const std::array<TCalenPnl*, 3> neighbours = {calb, calf, calff};
    for (std::size_t i = 0; i < neighbours.size(); ++i) {
        TCalenPnl* grid = neighbours[i];
        const std::optional<GridMonth>& shown = month.neighbours[i];
        grid->SetBlank(!shown);
        if (shown) {
            grid->SetMonth(shown->month);
            grid->SetYear(shown->year);
        }
    }
    const std::array<TCalenPnl*, 4> grids = {cal, calb, calf, calff};
    for (std::size_t i = 0; i < grids.size(); ++i)
        grids[i]->SetHolidays(month.holidays[i]);
    MarkNoteDays();
}

void TForm1::MarkNoteDays()
{
    for (TCalenPnl* grid : {cal, calb, calf, calff}) {
        grid->SetMarkdays(m_journal.NotesEnabled() ? m_journal.MarkedDayKeys(grid->Year(), grid->Month())
                                                   : std::vector<std::string>{});
        grid->update();
    }
}

void TForm1::RefreshSunMoon()
{
    // A place without an answer reads "----/----"; any other failure is a fault that must show.
    const double latitude = m_settings.Latitude;
    const double longitude = m_settings.Longitude;
    if (!m_almanac || m_almanac->Latitude() != latitude || m_almanac->Longitude() != longitude)
        m_almanac.emplace(latitude, longitude);
    const SunMoonLine line = m_almanac->Line(cal->SelectedDate());
    // Qt's tooltips break lines everywhere, so the hint keeps its three lines.
    Panel1->SetSunLine(line.caption, line.Hint());
}

bool TForm1::ShiftHeld() const
{
    if (m_options.shiftHeld)
        return m_options.shiftHeld();
    // The modifiers of the input event being handled, the click itself: asking the keyboard now
    // could see a later state, and some desktops do not answer that question at all.
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

void TForm1::RunRange(TDateTime anchor, TDateTime clicked)
{
    const RangeNoteDialog dialog = m_options.rangeDialog ? m_options.rangeDialog
                                                         : RangeNoteDialog([this, anchor, clicked](const std::string&) {
                                                               return Twiele::Run(anchor, clicked, this);
                                                           });
    Guarded(this, [&] { AssignNoteToRange(m_journal, anchor, clicked, dialog, LocalNow(m_clock)); });
}

void TForm1::SelectToday()
{
    SelectDate(DateOf(LocalNow(m_clock)));
}

void TForm1::SelectDate(TDateTime date)
{
    // The grid's date-change notification runs RefreshDay.
    cal->SetSelectedDate(date);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
    ScheduleClockTick();
}

void TForm1::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // The tray's hint changes with the second, as the clock does: a switch of the alarm made just
    // before the window went reaches it at the next second, not at the next event of a hidden clock.
    m_tickAfterHiding = true;
    ScheduleClockTick();
}

void TForm1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Minimised, the clock is out of sight as in the tray; restored, it shows every second again.
    if (event->type() == QEvent::WindowStateChange) {
        m_tickAfterHiding = isMinimized();
        ScheduleClockTick();
        if (isVisible())
            FormShow();
    }
}

void TForm1::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // A window uncovered after the event loop was held up shows the time at once, not a stale second.
    if (m_clockBar)
        ClockTick();
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

// ---- Hooks of the services that attach to the window. ----

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

void TForm1::ClockTick()
{
    m_clockBar->ClockTick();
}

void TForm1::Timer1Timer()
{
    ClockTick();
    MoveOnAtMidnight();
    PollTimeSync();
    m_tickAfterHiding = false;
    ScheduleClockTick();
}

void TForm1::MoveOnAtMidnight()
{
    const std::optional<DayChange> change = m_dayWatch.Tick(LocalNow(m_clock), cal->SelectedDate(),
                                                            m_editor.Modified());
    if (!change)
        return;
    // The grids read today as they paint; the small ones may hold the new day too.
    for (TCalenPnl* grid : {cal, calb, calf, calff})
        grid->update();
    // The refresh this runs moves the small grids on a new month and fills the day panel.
    if (change->selectToday)
        SelectDate(change->today);
    RemindNameDays();
}

void TForm1::StopAlarmSound()
{
    m_clockBar->StopAlarmSound();
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
    Guarded(this, [this] { m_editor.SaveNote(LocalNow(m_clock)); });
}

void TForm1::CloseNotesFile()
{
    if (const auto message = m_journal.Close())
        ShowError(this, FromText(*message));
}

void TForm1::StoreAlarmState()
{
    // A failed write of the alarm cannot be helped at this point; the next start uses the defaults.
    (void)SaveAlarm(m_store, m_clockBar->AlarmTextToSave(), m_clockBar->AlarmOn());
}
