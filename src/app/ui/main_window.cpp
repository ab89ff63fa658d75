// The main window's layout, its shell behaviour (tray, close, quit) and the hooks where the
// day view, the notes and the clock attach.
#include "app/ui/main_window.h"
#include "app/time_sync_controller.h"

#include "clock/local_time.h"
#include "app/ui/clock_bar.h"
#include "app/ui/icons.h"
#include "app/ui/link_label.h"
#include "ui_support/message_box.h"
#include "app/ui/show_error.h"
#include "app/ui/speed_button.h"
#include "app/ui/tray_icon.h"
#include "astro/sun_moon_line.h"
#include "calendar/date_format.h"
#include "calendar/ui/multi_day_dialog.h"
#include "calendar/ui/storable_text.h"
#include "clock/ui/calibration_dialog.h"
#include "platform/startup_entry.h"
#include "platform/system_clock.h"
#include "platform/url_launcher.h"
#include "ui_support/fonts.h"
#include "ui_support/named.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include <algorithm>
#include <array>
#include <iostream>

namespace {

void SetTextColour(QWidget* widget, const QColor& colour, QPalette::ColorRole role = QPalette::WindowText)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QString FromText(const std::string& text)
{
    QString result = QString::fromUtf8(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

// A label at a place; without a size it takes the size of its text.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint at, QSize size = {})
{
    if (size.isValid())
        return NamedAt(new QLabel(text, parent), name, QRect(at, size));
    auto* label = Named(new QLabel(text, parent), name);
    label->move(at);
    label->adjustSize();
    return label;
}

QLabel* CentredLabel(QWidget* parent, const char* name, int top, int height, const QFont& font)
{
    QLabel* label = MakeLabel(parent, name, {}, {0, top}, {96, height});
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(font);
    return label;
}

SpeedButton* FlatButton(QWidget* parent, const char* name, const QString& text, QRect geometry, const QString& hint,
                        Glyph glyph)
{
    auto* button = NamedAt(new SpeedButton(parent), name, geometry);
    button->setText(text);
    button->setToolTip(hint);
    button->setIcon(GlyphIcon(glyph));
    return button;
}

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

// Where the options name no start-at-logon entries (pictures, tests): there are none, and none
// can be made.
class NoStartupEntry final : public StartupEntry
{
public:
    std::optional<std::string> Read(TRegLocation, std::string_view) const override { return std::nullopt; }
    bool Remove(TRegLocation, std::string_view) override { return false; }
    bool Write(TRegLocation, std::string_view, const std::string&, const std::vector<std::string>&) override
    {
        return false;
    }
};

}  // namespace

TForm1::TForm1(MainWindowServices services, MainWindowOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      m_clock(services.clock), m_store(services.settings), m_options(std::move(options)), m_journal(services.notesFile)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dniarz"));
    setWindowIcon(AppIcon());
    setFont(WindowFont());
    setFixedSize(kClientWidth, kClientHeight);
    move(229, 107);
    CreateTopBar();
    calb = CreateMonthGrid(this, "calb", {12, 36, 141, 161}, m_clock, false);
    CreateDayPanel();
    calf = CreateMonthGrid(this, "calf", {272, 36, 141, 161}, m_clock, false);
    calff = CreateMonthGrid(this, "calff", {424, 36, 141, 161}, m_clock, false);
    cal = CreateMonthGrid(this, "cal", {12, 208, 249, 181}, m_clock, true);
    cal->SetSelectedDate(m_options.date.value_or(DateOf(LocalNow(m_clock))));
    CreateNoteEditor();
    CreateButtonRow();
    CreateInfoPanel();

    LoadSettings(m_store, m_settings, LocalNow(m_clock));
    ApplySettingsToGrid();
    if (m_options.withTray)
        CreateTray();
    CreateQuitPaths();
    m_clockBar = std::make_unique<ClockBar>(ClockBar::Controls{lgodzina, alarm, azalwyl, alstop},
                                            ClockBar::Services{m_clock, m_settings,
                                                               m_options.persist ? services.sound : nullptr,
                                                               m_options.programDir, m_options.alarmTiming},
                                            m_trayIcon, this);

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

    // The grids' holiday lists come with the first refresh, which always runs the month step.
    CopyGridColours();
    m_names.Load();
    m_cities.Load();
    CreateConfiguration();
    ConnectNoteEditor();
    connect(cal, &TCalenPnl::OnDateChange, this, [this] { RefreshDay(false); });

    CreateTimers();
    RefreshDay(false);
    // The first picture of the window already shows the time, not the placeholder.
    ClockTick();
    if (m_options.udp && m_options.workerClock) {
        m_timeSync = std::make_unique<TimeSyncController>(
            m_settings, m_store, m_clock, m_options.programDir, m_options.sharedDir,
            NetworkTime{m_options.udp, m_options.workerClock}, m_options.persist);
        connect(SpeedButton7, &QAbstractButton::clicked, this,
                [this] { Guarded([this] { m_timeSync->SpeedButton7Click(); }); });
        m_timeSync->StartUp();
    }
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
    MakeLabel(bar, "LabelCzas", QStringLiteral("Czas:"), {16, 8});
    lgodzina = MakeLabel(bar, "lgodzina", QStringLiteral("00:00:00"), {52, 8});
    lgodzina->setFont(SansFont(11, true));
    lgodzina->adjustSize();
    MakeLabel(bar, "LabelAlarm", QStringLiteral("Alarm:"), {124, 8});

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

    SpeedButton7 = FlatButton(bar, "SpeedButton7", {}, {536, 4, 23, 22},
                              QStringLiteral("Synchronizacja czasu (wymagane połączenie z internetem)"), Glyph::Sync);
}

void TForm1::CreateDayPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(164, 36, 97, 161);
    Panel1->setAutoFillBackground(true);
    SetTextColour(Panel1, Qt::white, QPalette::Window);

    ltydzien = CentredLabel(Panel1, "ltydzien", 4, 16, SansFont(13, true));
    ldzien = CentredLabel(Panel1, "ldzien", 20, 28, SansFont(24, true));
    lmiesiac = CentredLabel(Panel1, "lmiesiac", 49, 16, SansFont(13, true));
    lrok = CentredLabel(Panel1, "lrok", 64, 16, SansFont(13, true));
    slonce = MakeLabel(Panel1, "slonce", {}, {4, 84});
    limien = CentredLabel(Panel1, "limien", 100, 54, font());
    limien->setWordWrap(true);
    // The holiday lies over the top of the names, which then start with two empty lines.
    lextraday = CentredLabel(Panel1, "lextraday", 100, 25, SansFont(11));
    lextraday->setWordWrap(true);
    SetTextColour(lextraday, QColor(0x00, 0x80, 0x80));
    lextraday->hide();
}

void TForm1::CreateNoteEditor()
{
    RadioGroup = new QGroupBox(QStringLiteral("Typ notatki"), this);
    RadioGroup->setObjectName(QStringLiteral("RadioGroup"));
    // The style draws the title above the frame: the group is as tall as the title, the frame and
    // the buttons inside it need, between the grids above and the note label below.
    RadioGroup->setGeometry(272, 200, 293, 42);
    RadioDate = new QRadioButton(QStringLiteral("Konkretna data"), RadioGroup);
    RadioDate->setObjectName(QStringLiteral("RadioDate"));
    RadioDate->setChecked(true);
    RadioYearly = new QRadioButton(QStringLiteral("Coroczna"), RadioGroup);
    RadioYearly->setObjectName(QStringLiteral("RadioYearly"));
    // Two equal columns inside the frame, wherever the style draws it.
    auto* items = new QHBoxLayout(RadioGroup);
    items->setContentsMargins(8, 0, 8, 0);
    items->addWidget(RadioDate, 1);
    items->addWidget(RadioYearly, 1);

    Label1 = MakeLabel(this, "Label1", QStringLiteral("Brak notatki"), {272, 244});
    ldt = MakeLabel(this, "ldt", {}, {384, 244}, {181, 14});
    ldt->setFont(SansFont(11, true));

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setGeometry(272, 264, 293, 125);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Notes often hold small tables: Tab types a tab instead of leaving the editor.
    Memo->setTabChangesFocus(false);
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
    Zachowaj = FlatButton(this, "Zachowaj", QStringLiteral("Zachowaj"), {272, 404, 81, 22},
                          QStringLiteral("Zachowanie notatki"), Glyph::Save);
    Anuluj = FlatButton(this, "Anuluj", QStringLiteral("Anuluj"), {378, 404, 81, 22},
                        QStringLiteral("Anulowanie zmian w notatce"), Glyph::Cancel);
    Wykasuj = FlatButton(this, "Wykasuj", QStringLiteral("Wykasuj"), {484, 404, 81, 22},
                         QStringLiteral("Wykasowanie zawartości notatki"), Glyph::Erase);

    connect(Dzisiaj, &SpeedButton::clicked, this, &TForm1::SelectToday);
    connect(Tel, &SpeedButton::clicked, this, &TForm1::OpenContacts);
    connect(Konfig, &SpeedButton::clicked, this, &TForm1::SpeedButton5Click);
    m_contactsHost = new ContactsHost(this, m_options.programDir, m_options.sharedDir, m_options.contacts);
    connect(Info, &SpeedButton::clicked, m_contactsHost, &ContactsHost::ShowInfo);
}

void TForm1::CreateInfoPanel()
{
    auto* panel = new QFrame(this);
    InfoPanel = panel;
    panel->setObjectName(QStringLiteral("InfoPanel"));
    panel->setGeometry(0, kClientHeight - 73, kClientWidth, 73);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto* picture = MakeLabel(panel, "InfoPicture", {}, {12, 8}, {56, 56});
    picture->setPixmap(InfoPicture(56, picture->devicePixelRatioF()));
    QLabel* title = MakeLabel(panel, "InfoLine1",
                              QStringLiteral("Dniarz – kalendarz z imieninami i świętami, Słońce i Księżyc, notatki "
                                             "oraz zegar z budzikiem"),
                              {80, 9});
    title->setFont(SansFont(11, true));
    title->adjustSize();
    MakeLabel(panel, "InfoLine2",
              QStringLiteral("Nowe wersje i pomoc na stronach programu, uwagi i pytania prosimy przesyłać "
                             "pocztą elektroniczną:"),
              {80, 28});

    RxLabel1 = new LinkLabel(QStringLiteral("https://dniarz.example.org"), panel);
    RxLabel1->setObjectName(QStringLiteral("RxLabel1"));
    RxLabel1->move(80, 48);
    RxLabel2 = new LinkLabel(QStringLiteral("https://dniarz.example.org/pomoc"), panel);
    RxLabel2->setObjectName(QStringLiteral("RxLabel2"));
    RxLabel2->move(RxLabel1->geometry().right() + 24, 48);
    EMAIL = new LinkLabel(QStringLiteral("dniarz@example.org"), panel);
    EMAIL->setObjectName(QStringLiteral("EMAIL"));
    EMAIL->move(RxLabel2->geometry().right() + 24, 48);
    for (LinkLabel* web : {RxLabel1, RxLabel2})
        connect(web, &LinkLabel::clicked, this, [this, web] { UrlClick(web); });
    connect(EMAIL, &LinkLabel::clicked, this, [this] { EMAILClick(EMAIL); });
}

void TForm1::CreateTray()
{
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
    m_trayMenu->addAction(QStringLiteral("Pokaż"), this, &TForm1::ShowFromTray);
    m_trayMenu->addAction(QStringLiteral("Kontakty"), this, &TForm1::OpenContacts);
    m_trayMenu->addAction(QStringLiteral("Wył. alarm"), this, &TForm1::StopAlarmSound);
    m_trayMenu->addAction(QStringLiteral("Zakończ"), this, &TForm1::Quit);

    m_trayIcon = new TTrayNotifyIcon(this);
    m_trayIcon->SetIcon(AppIcon());
    m_trayIcon->SetHint(QStringLiteral("Dniarz"));
    // A click already brings the window back; waiting out the double-click time would only
    // make that feel slow.
    m_trayIcon->SetNoDoubleClick(true);
    m_trayIcon->SetPopupMenu(m_trayMenu);
    connect(m_trayIcon, &TTrayNotifyIcon::OnClick, this, &TForm1::ShowFromTray);
    connect(m_trayIcon, &TTrayNotifyIcon::OnDblClick, this, &TForm1::ShowFromTray);
    m_quitRequested = false;
    m_trayIcon->SetIconVisible(true);
}

void TForm1::CreateQuitPaths()
{
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &TForm1::Quit);
    if (m_options.withTray && m_options.trayAvailable)
        return;
    // Without a notification area the tray menu has no icon to open from, and closing only
    // minimises: the window itself offers the menu, so that the program can still be ended.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto add = [this](const QString& text, auto slot) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    add(QStringLiteral("Kontakty"), &TForm1::OpenContacts);
    add(QStringLiteral("Wył. alarm"), &TForm1::StopAlarmSound);
    add(QStringLiteral("Zakończ"), &TForm1::Quit);
}

void TForm1::CreateTimers()
{
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        ClockTick();
        PollTimeSync();
    });
    // The first refresh runs before the window has ever been painted; this second one, just
    // after the event loop starts, finds the main grid drawn and so gets the day's colour right.
    Timer2.setInterval(1);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, [this] { RefreshDay(false); });
    Timer3.setInterval(5 * 60 * 1000);
    connect(&Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
    if (!m_options.startTimers)
        return;
    Timer1.start();
    Timer2.start();
    Timer3.start();
}

void TForm1::StartShown(bool hide)
{
    if (!hide)
        show();
    else if (!(m_options.withTray && m_options.trayAvailable))
        showMinimized();
}

void TForm1::RefreshDay(bool force)
{
    // The edit goes under the day it was typed for, before anything else moves.
    Guarded([this] { m_editor.SaveNote(LocalNow(m_clock)); });
    const TDateTime selected = cal->SelectedDate();
    // A Shift-click makes a range from the last clicked day; a key move never does.
    m_anchor.DateChanged(selected, cal->LeftClick(), cal->LeftClick() && ShiftHeld(),
                         [this](TDateTime anchor, TDateTime clicked) { RunRange(anchor, clicked); });
    // The editor remembers the day it shows; a later save goes there.
    m_editor.ShowNotes(selected);
    ShowEditorState();

    const DayViewUpdate view = m_dayView.Refresh(selected, force);
    if (view.month)
        ShowMonth(*view.month);
    // The day number takes the colour the grid draws the day in.
    cal->repaint();
    SetDayNumber(view.panel.day, cal->SelectedDayColor());
    SetWeekday(view.panel.weekday);
    SetNamesAndHoliday(view.panel.holiday, view.panel.names, view.panel.namesInline);
    RefreshSunMoon();
}

void TForm1::ShowMonth(const MonthView& month)
{
    SetMonthAndYear(month.monthName, month.year);
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
    try {
        const SunMoonLine line = BuildSunMoonLine(cal->SelectedDate(), m_settings.Latitude, m_settings.Longitude);
        // Qt's tooltips break lines everywhere, so the hint keeps its three lines.
        SetSunLine(line.caption, line.Hint());
    } catch (const std::exception&) {
        // The line keeps what it showed; a place without an answer already reads "----/----".
    }
}

template <typename Action>
void TForm1::Guarded(Action action)
{
    try {
        action();
    } catch (const std::exception& error) {
        ShowError(this, error);
    }
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
    Guarded([&] { AssignNoteToRange(m_journal, anchor, clicked, dialog, LocalNow(m_clock)); });
}

void TForm1::ConnectNoteEditor()
{
    connect(Memo, &QPlainTextEdit::textChanged, this, &TForm1::MemoChanged);
    connect(Zachowaj, &SpeedButton::clicked, this, [this] {
        Guarded([this] { m_editor.ZachowajClick(LocalNow(m_clock)); });
        ShowEditorState();
    });
    connect(Anuluj, &SpeedButton::clicked, this, [this] {
        m_editor.AnulujClick();
        ShowEditorState();
    });
    connect(Wykasuj, &SpeedButton::clicked, this, [this] {
        m_editor.WykasujClick();
        ShowEditorState();
    });
    for (int item : {NoteEditor::kDateNote, NoteEditor::kYearlyNote}) {
        QRadioButton* button = item == NoteEditor::kDateNote ? RadioDate : RadioYearly;
        connect(button, &QRadioButton::clicked, this, [this, item] {
            // A click on the item already chosen changes nothing, so it saves nothing either.
            if (item == m_editor.RadioIndex())
                return;
            Guarded([this, item] { m_editor.RadioGroupClick(item, LocalNow(m_clock)); });
            ShowEditorState();
        });
    }
}

void TForm1::MemoChanged()
{
    if (m_showingEditor)
        return;
    m_editor.TextEdited(Memo->toPlainText().toStdString());
    // The editor keeps "?" for what the notes file cannot hold: show exactly what will be kept.
    ShowOnlyStorableText(Memo);
}

void TForm1::ShowEditorState()
{
    m_showingEditor = true;
    const QString text = FromText(m_editor.Text());
    if (Memo->toPlainText() != text)
        Memo->setPlainText(text);
    Memo->setReadOnly(m_editor.ReadOnly());
    m_showingEditor = false;
    // Both notes shown together select no type until the user picks one.
    RadioDate->setAutoExclusive(false);
    RadioYearly->setAutoExclusive(false);
    RadioDate->setChecked(m_editor.RadioIndex() == NoteEditor::kDateNote);
    RadioYearly->setChecked(m_editor.RadioIndex() == NoteEditor::kYearlyNote);
    RadioDate->setAutoExclusive(true);
    RadioYearly->setAutoExclusive(true);
    ldt->setText(FromText(m_editor.Ldt()));
    Label1->setText(FromText(m_editor.Label1()));
    Label1->adjustSize();
}

void TForm1::SetWeekday(const std::string& text)
{
    ltydzien->setText(FromText(text));
}

void TForm1::SetDayNumber(int day, const QColor& colour)
{
    ldzien->setText(QString::number(day));
    SetTextColour(ldzien, colour);
}

void TForm1::SetMonthAndYear(const std::string& month, int year)
{
    lmiesiac->setText(FromText(month));
    lrok->setText(QString::number(year));
}

void TForm1::SetSunLine(const std::string& caption, const std::string& hint)
{
    slonce->setText(FromText(caption));
    slonce->setToolTip(FromText(hint));
    slonce->adjustSize();
}

void TForm1::SetNamesAndHoliday(const std::string& holiday, const std::string& names, const std::string& namesInline)
{
    // The holiday lies over the top of the names, as tall as its text really is, and the names
    // begin right under it: a fixed two-line gap would leave room for two names only.
    const QString holidayText = FromText(holiday);
    lextraday->setText(holidayText);
    lextraday->setVisible(!holidayText.isEmpty());
    int namesTop = 0;
    if (!holidayText.isEmpty()) {
        namesTop = std::min(lextraday->heightForWidth(lextraday->width()), limien->height());
        lextraday->resize(lextraday->width(), namesTop);
    }
    limien->setContentsMargins(0, namesTop, 0, 0);
    limien->setToolTip(FromText(names));
    // One name a line reads best; when that runs past the panel the names share their lines, and
    // on the few days with a holiday and many long names they also take a pixel less.
    const QString oneALine = FromText(names);
    const QString shared = FromText(namesInline);
    const QRect room = limien->contentsRect();
    const auto show = [this](int pixels, const QString& text) {
        QFont font = this->font();
        font.setPixelSize(pixels);
        limien->setFont(font);
        limien->setText(text);
    };
    for (const int pixels : {11, 10, 9}) {
        QFont font = this->font();
        font.setPixelSize(pixels);
        for (const QString* text : {&oneALine, &shared}) {
            const QRect needed = QFontMetrics(font).boundingRect(
                QRect(0, 0, room.width(), 0xFFFF), static_cast<int>(limien->alignment()) | Qt::TextWordWrap, *text);
            if (needed.height() <= room.height()) {
                show(pixels, *text);
                return;
            }
        }
    }
    // No table day comes here; should one, the smallest shared lines show the most.
    show(9, shared);
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

void TForm1::ShowFromTray()
{
    StopAlarmSound();
    if (isVisible()) {
        // Already up (or only minimised): bring it forward, leave the date alone.
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
        return;
    }
    show();
    raise();
    activateWindow();
    if (m_recallSelectsToday)
        SelectToday();
}

void TForm1::Quit()
{
    m_quitRequested = true;
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The edited note is saved on every close, also when the window only goes to the tray.
    SaveNote();
    if (!m_quitRequested) {
        event->ignore();
        if (m_options.withTray && m_options.trayAvailable) {
            hide();
            HideContacts();
        } else {
            // Without a notification area nothing could bring a hidden window back.
            showMinimized();
        }
        return;
    }
    CloseNotesFile();
    event->accept();
    emit Finished();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
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

void TForm1::UrlClick(LinkLabel* link)
{
    // The browser takes the screen, so the window steps aside to the tray first.
    close();
    if (!OpenUrl(QUrl(link->text())))
        ShowError(this, QStringLiteral("Nie można załadować domyślnej przeglądarki"));
}

void TForm1::EMAILClick(LinkLabel* link)
{
    // Whether a mail program really started cannot be told; the desktop shows its own message.
    OpenUrl(QUrl(QStringLiteral("mailto:") + link->text()));
}

// ---- Hooks of the services that attach to the window. ----

void TForm1::FormShow()
{
    if (!m_settings.FirstRun || !m_options.configOnFirstRun)
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
    // The label and the hint change once a second; the 100 ms tick only keeps the change from
    // lagging behind the real second by more than a tenth.
    m_clockBar->ClockTick();
}

void TForm1::PollTimeSync()
{
    if (!m_timeSync)
        return;
    const auto outcome = m_timeSync->PollTimeSync();
    // Runs of their own accord stay silent; the user who pressed the button hears why nothing changed.
    if (outcome && outcome->byUser && outcome->found && !outcome->change.Ok())
        AppMessageBox::Show(this, QMessageBox::Warning, QStringLiteral("Komunikat"),
                            QString::fromStdString(ClockNotSetMessage(outcome->offsetMs, outcome->change)));
}

void TForm1::Timer3Timer()
{
    if (m_timeSync)
        m_timeSync->Timer3Timer();
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
    Guarded([this] { m_editor.SaveNote(LocalNow(m_clock)); });
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

// ---- The configuration dialog. ----

void TForm1::CreateConfiguration()
{
    StartupEntry* entries = m_options.startupEntry;
    if (!entries) {
        m_noStartupEntry = std::make_unique<NoStartupEntry>();
        entries = m_noStartupEntry.get();
    }
    m_autoRunner = std::make_unique<TAutoRunner>(
        MainWindowAutoRunner(*entries, m_options.programFile.string(), m_options.programArguments));

    // The calibration stores its own results at once; only "Przypisz korektę" hands one back.
    m_configHooks.calibrate = [this](QWidget* parent) -> std::optional<double> {
        Tfkor calibration(CalibrationValuesOf(m_settings), m_clock, CalibrationWriter(m_store, m_settings), parent);
        if (calibration.exec() != QDialog::Accepted)
            return std::nullopt;
        return m_settings.LastCalibration;
    };
    m_configHooks.showInfo = [this](QWidget*) { m_contactsHost->ShowInfo(); };
}

void TForm1::SpeedButton5Click()
{
    ConfigActions actions;
    actions.purgeAndPackNotes = [this](TDateTime cutoff) {
        // A failed pack leaves the notes as they were; its message is shown and the rest applies.
        Guarded([this, cutoff] { m_journal.PurgeAndPackNotes(cutoff); });
    };
    actions.applyGridColours = [this] {
        ShowGridColours();
        // The holiday colour is not stored; confirming the dialog gives holidays the Sunday colour.
        cal->SetColHoliday(FromStoredColour(m_settings.ColSunday));
        CopyGridColours();
    };
    actions.setRecallSelectsToday = [this](bool on) { m_recallSelectsToday = on; };
    actions.setAutoRun = [this](bool on) { m_autoRunner->SetAutoRun(on); };
    actions.refreshSunMoon = [this] { RefreshSunMoon(); };

    const ConfigSources sources{m_settings, m_autoRunner->AutoRun(), ReadSyncTime(m_store), m_cities};
    const ConfigOutcome outcome = RunConfigDialog(this, sources, m_configHooks, m_settings, m_store, LocalNow(m_clock),
                                                  actions);
    if (outcome != ConfigOutcome::RemoveEntries)
        return;
    // Everything the program wrote outside its own folder goes, and the program ends without
    // writing the alarm back.
    m_settingsDeleted = true;
    m_autoRunner->SetAutoRun(false);
    (void)DeleteSettings(m_store);  // nothing more can be done when it fails; the program ends anyway
    Quit();
}
