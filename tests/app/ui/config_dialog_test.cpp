// The configuration dialog on the screen and its exchange with the main window: the controls and
// their coupling, OK and its question, "Anuluj", "Usuń wpisy", the first run and the picture.
#include "app/ui/config_dialog.h"
#include "app/ui/info_window.h"

#include "clock/local_time.h"
#include "app/ui/main_window.h"
#include "ui_support/message_box.h"
#include "app/ui/speed_button.h"
#include "clock/ui/calibration_dialog.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_startup_entry.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/linux/file_settings_store.h"
#include "platform/linux/linux_journal_file.h"
#include "platform/linux/xdg_dirs.h"
#include "platform/linux/xdg_startup_entry.h"

#include "../../platform/temp_dir.h"

#include <QApplication>
#include <QMap>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <utility>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono;

namespace {

const std::filesystem::path kDir = "/notes";

RegValue Float(double value)
{
    std::uint8_t bytes[8];
    std::memcpy(bytes, &value, 8);
    return RegValue::Binary({bytes, bytes + 8});
}

template <typename T>
T* Child(QWidget* parent, const char* name)
{
    auto* child = parent->findChild<T*>(QLatin1String(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

template <typename Dialog = Tconfig>
Dialog* OpenDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Runs `act` on the dialog once it is open (modal, so from the event loop).
template <typename Dialog = Tconfig>
void WhenDialogOpens(std::type_identity_t<std::function<void(Dialog*)>> act)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (Dialog* dialog = OpenDialog<Dialog>()) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

void Click(QWidget* dialog, const char* button)
{
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
}

// On the box itself: the rest of a wide check box's row does not take clicks.
void Tick(QWidget* dialog, const char* box)
{
    auto* check = Child<QCheckBox>(dialog, box);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(7, check->height() / 2));
}

// What the user does to replace an edit's text.
void Retype(QWidget* dialog, const char* edit, const QString& text)
{
    auto* line = Child<QLineEdit>(dialog, edit);
    line->setFocus();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, text);
}

// "Konfig." on the window, the edits retyped and OK.
void OkWithTexts(TForm1& form, std::initializer_list<std::pair<const char*, QString>> texts)
{
    WhenDialogOpens([&texts](Tconfig* dialog) {
        for (const auto& [edit, text] : texts)
            Retype(dialog, edit, text);
        Click(dialog, "BitBtn1");
    });
    form.SpeedButton5Click();
}

// An Exec value split into arguments as a desktop session does: blanks separate, double quotes
// group, and inside them a backslash makes the next character plain.
std::vector<std::string> SplitExec(const std::string& exec)
{
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false;
    bool any = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (inQuotes && c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
        } else if (c == '"') {
            inQuotes = !inQuotes;
            any = true;
        } else if (c == ' ' && !inQuotes) {
            if (any || !current.empty())
                args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.empty())
        args.push_back(current);
    return args;
}

// Runs `argv` and returns its exit status and what it printed.
std::pair<int, std::string> RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& output)
{
    std::vector<char*> pointers;
    std::vector<std::string> copy = argv;
    for (std::string& arg : copy)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return {-1, {}};
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::ifstream in(output);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(std::istreambuf_iterator<char>(in), {})};
}

}  // namespace

class ConfigDialogTest : public QObject
{
    Q_OBJECT

    FakeSystemClock m_clock{sys_days{year{2024} / June / 21} + hours{10}, hours{2}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    FakeStartupEntry m_entries;
    Settings m_settings;
    CityTable m_cities;

    std::unique_ptr<TForm1> MakeWindow(bool configOnFirstRun = false)
    {
        MainWindowOptions options;
        options.programDir = kDir;
        options.date = EncodeDate(2024, 6, 21);
        options.startTimers = false;
        options.startupEntry = &m_entries;
        options.programFile = "/opt/dniarz/dniarz";
        options.configOnFirstRun = configOnFirstRun;
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile}, options);
    }

    std::unique_ptr<Tconfig> MakeDialog(ConfigDialogHooks hooks = {})
    {
        return std::make_unique<Tconfig>(ConfigSources{m_settings, false, "2024.06.20   08:15:00", m_cities}, hooks);
    }

    // A key as a user who has been through the dialog before would have it.
    void PutKey()
    {
        m_store.Put("Korekta czasu", Float(0));
        m_store.Put("Ostatnia korekta", Float(45000));
        m_store.Put("Pozostało do korekty", Float(3.25));
        m_store.Put("Korekta łącznie", Float(12.5));
        for (const char* colour : {"ColSunday", "ColSaturday", "ColMarked", "ColWeek", "ColToday"})
            m_store.Put(colour, RegValue::Dword(0x102030));
        m_store.Put("Przywołanie", RegValue::Dword(0));
    }

    double StoredFloat(SettingId id)
    {
        Settings loaded;
        LoadSettings(m_store, loaded, 0);
        return std::get<double>(GetSetting(loaded, id));
    }

private slots:
    void initTestCase()
    {
        // The style the program runs with, so the picture shows what users see.
        QApplication::setStyle(QStringLiteral("Fusion"));
    }

    void init()
    {
        m_store.Key().reset();
        m_store.ClearLog();
        m_entries = FakeStartupEntry();
        m_notesFile = FakeJournalFile();
        m_settings = Settings();
        m_cities.Load();
        AppMessageBox::ResetAnswered();
    }

    void LayoutHoldsEveryControlAndEveryCaptionFits()
    {
        auto dialog = MakeDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Konfiguracja"));
        QCOMPARE(dialog->minimumSize(), QSize(379, 512));
        QCOMPARE(dialog->maximumSize(), QSize(379, 512));
        QStringList captions;
        for (auto* group : dialog->findChildren<QGroupBox*>())
            captions << group->title();
        for (auto* label : dialog->findChildren<QLabel*>())
            captions << label->text();
        for (auto* button : dialog->findChildren<QAbstractButton*>())
            captions << button->text();
        for (const char* caption : {"Wybór kolorów dla:",
                                    "Niedzieli i świąt",
                                    "Sobót",
                                    "Dni z notatkami",
                                    "Numeru tygodnia",
                                    "Dnia dzisiejszego",
                                    "Synchronizacja czasu",
                                    "Ostatnia synchronizacja czasu:",
                                    "Korekta [s/24h]",
                                    "Oblicz korektę",
                                    "Czas alarmu [s]",
                                    "Alarm przez kartę dźwiękową",
                                    "Obliczanie czasu wschodu i zachodu słońca",
                                    "Szer. geograf.:",
                                    "Dług. geograf.:",
                                    "lub wybierz miasto:",
                                    "Sygnalizacja pełnej godziny",
                                    "Upakowanie bazy z notatkami",
                                    "Usuń notatki sprzed:",
                                    "Podczas przywołania programu ustaw dzisiejszą datę",
                                    "Automatyczne uruchomienie programu podczas startu systemu",
                                    "Województwo (ferie zimowe):",
                                    "Przypomnienia z notatek",
                                    "Przypominaj",
                                    "minut wcześniej",
                                    "Dźwięk przypomnień",
                                    "OK",
                                    "Opis",
                                    "Usuń wpisy",
                                    "Anuluj"})
            QVERIFY2(captions.contains(QString::fromUtf8(caption)), caption);
        QCOMPARE(Child<QLabel>(dialog.get(), "tsynch")->text(), QStringLiteral("2024.06.20   08:15:00"));
        QVERIFY(Child<QLabel>(dialog.get(), "tsynch")->font().bold());

        dialog->show();
        for (QWidget* widget : dialog->findChildren<QWidget*>()) {
            if (widget->isWindow() || !widget->isVisible() || widget->parentWidget() == nullptr)
                continue;
            const QString name = widget->objectName();
            if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget))
                QVERIFY2(widget->sizeHint().width() <= widget->width(), qPrintable(name));
            if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
                QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), qPrintable(name));
        }
        for (auto* group : dialog->findChildren<QGroupBox*>()) {
            const int titleWidth = group->fontMetrics().horizontalAdvance(group->title());
            QVERIFY2(titleWidth + 16 < group->width(), qPrintable(group->title()));
        }
        // The picture for the eye: under the build folder.
        QVERIFY(dialog->grab().save(QStringLiteral(DNIARZ_PICTURE_DIR "/config_dialog.png"), "PNG"));

        // The longest date the edit shows fits beside its drop-down button.
        auto* datyod = Child<QDateEdit>(dialog.get(), "datyod");
        QVERIFY(datyod->calendarPopup());
        datyod->setDate(QDate(2024, 12, 28));
        QVERIFY(datyod->sizeHint().width() <= datyod->width());
    }

    // "Województwo": chosen from the list, stored on OK, and the grids shade the breaks at once;
    // "(nie wybrano)" takes them away again.
    void VoivodeshipIsChosenAndTheGridsFollow()
    {
        PutKey();
        auto form = MakeWindow();
        auto* cal = Child<TCalenPnl>(form.get(), "cal");
        const int summerDay = cal->Grid().FirstCell() + 22 - 1;  // 22 June 2024, the first day of summer
        QVERIFY(!cal->Grid().IsShaded(summerDay));
        const auto choose = [&form](int index) {
            WhenDialogOpens([index](Tconfig* dialog) {
                auto* combo = Child<QComboBox>(dialog, "wojewodztwo");
                QCOMPARE(combo->count(), 17);
                combo->setCurrentIndex(index);
                Click(dialog, "BitBtn1");
            });
            form->SpeedButton5Click();
        };
        choose(7);
        QCOMPARE(form->CurrentSettings().Voivodeship, std::string("mazowieckie"));
        Settings stored;
        LoadSettings(m_store, stored, 0);
        QCOMPARE(stored.Voivodeship, std::string("mazowieckie"));
        QVERIFY(cal->Grid().IsShaded(summerDay));
        QVERIFY(Child<TCalenPnl>(form.get(), "calf")
                    ->Grid()
                    .IsShaded(Child<TCalenPnl>(form.get(), "calf")->Grid().FirstCell()));
        // The dialog opens again on the choice.
        int shown = -1;
        WhenDialogOpens([&shown](Tconfig* dialog) {
            shown = Child<QComboBox>(dialog, "wojewodztwo")->currentIndex();
            Click(dialog, "BitBtn2");
        });
        form->SpeedButton5Click();
        QCOMPARE(shown, 7);
        choose(0);
        QCOMPARE(form->CurrentSettings().Voivodeship, std::string());
        QVERIFY(!cal->Grid().IsShaded(summerDay));
    }

    void DateDropDownNamesMonthsAndDaysInPolishOnAnyDesktop()
    {
        const QLocale desktop;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        auto dialog = MakeDialog();
        QLocale::setDefault(desktop);
        const QCalendarWidget* calendar = Child<QDateEdit>(dialog.get(), "datyod")->calendarWidget();
        QCOMPARE(calendar->locale().standaloneMonthName(12), QStringLiteral("grudzień"));
        QCOMPARE(calendar->locale().dayName(1, QLocale::ShortFormat), QStringLiteral("pon."));
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
    }

    // Saturdays are blue in the grids, not red as Qt's calendar has them, and follow the choice.
    void DateDropDownColoursWeekEndsAsTheGrids()
    {
        ConfigDialogHooks hooks;
        hooks.chooseColour = [](const QColor&, QWidget*) { return std::optional<QColor>(QColor(0, 128, 0)); };
        auto dialog = MakeDialog(hooks);
        dialog->show();
        QCalendarWidget* calendar = Child<QDateEdit>(dialog.get(), "datyod")->calendarWidget();
        auto weekday = [calendar](Qt::DayOfWeek day) { return calendar->weekdayTextFormat(day).foreground().color(); };
        QCOMPARE(weekday(Qt::Saturday), Child<QLabel>(dialog.get(), "soboty")->palette().color(QPalette::WindowText));
        QCOMPARE(weekday(Qt::Saturday), QColor(0, 0, 255));
        QCOMPARE(weekday(Qt::Sunday), Child<QLabel>(dialog.get(), "niedziele")->palette().color(QPalette::WindowText));
        QTest::mouseClick(Child<QLabel>(dialog.get(), "soboty"), Qt::LeftButton);
        QCOMPARE(weekday(Qt::Saturday), QColor(0, 128, 0));
        calendar->setSelectedDate(QDate(2024, 6, 21));
        calendar->resize(calendar->sizeHint());
        QVERIFY(calendar->grab().save(QStringLiteral(DNIARZ_PICTURE_DIR "/config_date_drop_down.png"), "PNG"));
    }

    void ColourLabelsAskTheChooserAndOkColoursTheGrids()
    {
        PutKey();
        auto form = MakeWindow();
        // A key of the previous version has no holiday colour: holidays stay red.
        QCOMPARE(Child<TCalenPnl>(form.get(), "cal")->ColHoliday(), QColor(Qt::red));
        std::vector<QColor> presets;
        form->ConfigHooks().chooseColour = [&presets](const QColor& initial, QWidget*) -> std::optional<QColor> {
            presets.push_back(initial);
            return QColor(0, 128, 0);
        };
        QColor shown;
        bool handCursor = false;
        WhenDialogOpens([&shown, &handCursor](Tconfig* dialog) {
            auto* niedziele = Child<QLabel>(dialog, "niedziele");
            handCursor = niedziele->cursor().shape() == Qt::PointingHandCursor;
            QTest::mouseClick(niedziele, Qt::LeftButton);
            shown = niedziele->palette().color(QPalette::WindowText);
            QTest::mouseClick(Child<QLabel>(dialog, "dzisiaj"), Qt::LeftButton);
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        QVERIFY(handCursor);
        QCOMPARE(shown, QColor(0, 128, 0));
        QCOMPARE(presets.size(), 2u);
        QCOMPARE(presets[0], QColor(0x30, 0x20, 0x10));
        auto* cal = Child<TCalenPnl>(form.get(), "cal");
        QCOMPARE(cal->ColSunday(), QColor(0, 128, 0));
        QCOMPARE(cal->ColHoliday(), QColor(0, 128, 0));
        QCOMPARE(cal->ColToday(), QColor(0, 128, 0));
        QCOMPARE(Child<TCalenPnl>(form.get(), "calf")->ColHoliday(), QColor(0, 128, 0));
        QCOMPARE(Child<TCalenPnl>(form.get(), "calb")->ColToday(), QColor(0, 128, 0));
        QCOMPARE(cal->ColSaturday(), QColor(0x30, 0x20, 0x10));
        // And so they are after a restart.
        form.reset();
        auto again = MakeWindow();
        QCOMPARE(Child<TCalenPnl>(again.get(), "cal")->ColHoliday(), QColor(0, 128, 0));
        QCOMPARE(Child<TCalenPnl>(again.get(), "calff")->ColHoliday(), QColor(0, 128, 0));
    }

    // "Imieniny bliskich": the names as said and as the table writes them, in a list that a search
    // narrows (the name typed as said finds that name alone); the ticked ones are stored in the
    // table's form on OK, Polish letters and all, and the day panel shows them in bold at once.
    void ChosenNamesArePickedFromTheTableAndStored()
    {
        PutKey();
        auto form = MakeWindow();
        // 8 January: Seweryna, Mścisława, Erharda.
        Child<TCalenPnl>(form.get(), "cal")->SetSelectedDate(EncodeDate(2024, 1, 8));
        auto* limien = Child<QLabel>(form.get(), "limien");
        QVERIFY(!limien->text().contains(QStringLiteral("<b>")));
        int shown = 0;
        bool narrowed = true;
        QMap<QString, QStringList> typed;
        WhenDialogOpens([&shown, &narrowed, &typed](Tconfig* dialog) {
            auto* timer = new QTimer;
            timer->setInterval(5);
            QObject::connect(timer, &QTimer::timeout, [timer, &shown, &narrowed, &typed] {
                QDialog* picker = nullptr;
                for (QWidget* widget : QApplication::topLevelWidgets())
                    if (widget->objectName() == QLatin1String("ImieninyBliskich") && widget->isVisible())
                        picker = qobject_cast<QDialog*>(widget);
                if (!picker)
                    return;
                timer->stop();
                timer->deleteLater();
                auto* list = picker->findChild<QListWidget*>(QStringLiteral("imiona"));
                auto* search = picker->findChild<QLineEdit*>(QStringLiteral("szukaj"));
                for (const QString& name :
                     {QStringLiteral("Anna"), QStringLiteral("ewa"), QStringLiteral("Ewy"), QStringLiteral("Jerzy")}) {
                    search->setText(name);
                    for (int i = 0; i < list->count(); ++i)
                        if (!list->item(i)->isHidden())
                            typed[name].append(list->item(i)->text());
                }
                search->setText(QStringLiteral("mści"));
                for (int i = 0; i < list->count(); ++i) {
                    QListWidgetItem* item = list->item(i);
                    if (!item->isHidden()) {
                        ++shown;
                        narrowed = narrowed && item->text().contains(QStringLiteral("ści"), Qt::CaseInsensitive);
                    }
                    const QString stored = item->data(Qt::UserRole).toString();
                    if (stored == QStringLiteral("Mścisława") || stored == QStringLiteral("Żanety"))
                        item->setCheckState(Qt::Checked);
                }
                QVERIFY(picker->grab().save(QStringLiteral(DNIARZ_PICTURE_DIR "/config_names.png"), "PNG"));
                picker->accept();
            });
            timer->start();
            Click(dialog, "imieniny");
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        QCOMPARE(typed.value(QStringLiteral("Anna")), QStringList{QStringLiteral("Anna (Anny)")});
        QCOMPARE(typed.value(QStringLiteral("ewa")), QStringList{QStringLiteral("Ewa (Ewy)")});
        QCOMPARE(typed.value(QStringLiteral("Ewy")), QStringList{QStringLiteral("Ewa (Ewy)")});
        QCOMPARE(typed.value(QStringLiteral("Jerzy")), QStringList{QStringLiteral("Jerzy (Jerzego)")});
        QVERIFY(shown >= 1);
        QVERIFY(narrowed);
        QCOMPARE(m_store.Key()->Find("Imieniny bliskich")->text, std::string("Mścisława;Żanety"));
        QVERIFY(limien->text().contains(QStringLiteral("<b>Mścisława</b>")));
        QVERIFY(!limien->text().contains(QStringLiteral("<b>Seweryna")));
    }

    void CancelledChooserKeepsTheColour()
    {
        ConfigDialogHooks hooks;
        hooks.chooseColour = [](const QColor&, QWidget*) { return std::optional<QColor>(); };
        auto dialog = MakeDialog(hooks);
        dialog->show();
        auto* soboty = Child<QLabel>(dialog.get(), "soboty");
        QTest::mouseClick(soboty, Qt::LeftButton);
        QCOMPARE(soboty->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }

    void SyncBoxSwitchesTheCorrectionBothWays()
    {
        m_settings.SyncEnabled = true;
        auto dialog = MakeDialog();
        dialog->show();
        auto* ekorekta = Child<QLineEdit>(dialog.get(), "ekorekta");
        auto* spoblicz = Child<QPushButton>(dialog.get(), "spoblicz");
        QVERIFY(!ekorekta->isEnabled());
        QVERIFY(!spoblicz->isEnabled());
        Tick(dialog.get(), "synchronizacja");
        QVERIFY(ekorekta->isEnabled());
        QVERIFY(spoblicz->isEnabled());
        Tick(dialog.get(), "synchronizacja");
        QVERIFY(!ekorekta->isEnabled());
        QVERIFY(!spoblicz->isEnabled());
    }

    void CityFillsTheEditsAndATypedDigitLetsItGo()
    {
        auto dialog = MakeDialog();
        dialog->show();
        auto* cmiasto = Child<QComboBox>(dialog.get(), "cmiasto");
        auto* eszer = Child<QLineEdit>(dialog.get(), "eszer");
        auto* edl = Child<QLineEdit>(dialog.get(), "edl");
        QCOMPARE(eszer->text(), QStringLiteral("52.000000"));
        QCOMPARE(cmiasto->currentIndex(), -1);
        QCOMPARE(cmiasto->itemText(0), QStringLiteral("Białystok"));
        cmiasto->setCurrentIndex(cmiasto->findText(QStringLiteral("Kraków")));
        QCOMPARE(eszer->text(), QStringLiteral("50.061021"));
        QCOMPARE(edl->text(), QStringLiteral("19.934429"));
        QCOMPARE(cmiasto->currentText(), QStringLiteral("Kraków"));
        edl->setFocus();
        edl->end(false);
        QTest::keyClick(edl, Qt::Key_5);
        QCOMPARE(cmiasto->currentIndex(), -1);
        QCOMPARE(edl->text(), QStringLiteral("19.9344295"));

        cmiasto->setCurrentIndex(cmiasto->findText(QStringLiteral("Gdańsk")));
        eszer->setFocus();
        QTest::keyClick(eszer, Qt::Key_1);
        QCOMPARE(cmiasto->currentIndex(), -1);
    }

    // A city chosen, OK, and "Konfig." again, also after a restart: the city box shows the city
    // whose coordinates are stored; coordinates of no city leave it empty.
    void ReopenedDialogShowsTheStoredCity()
    {
        PutKey();
        auto form = MakeWindow();
        WhenDialogOpens([](Tconfig* dialog) {
            auto* cmiasto = Child<QComboBox>(dialog, "cmiasto");
            cmiasto->setCurrentIndex(cmiasto->findText(QStringLiteral("Kraków")));
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        const auto cityShown = [](TForm1& window) {
            QString city;
            QString latitude;
            WhenDialogOpens([&city, &latitude](Tconfig* dialog) {
                city = Child<QComboBox>(dialog, "cmiasto")->currentText();
                latitude = Child<QLineEdit>(dialog, "eszer")->text();
                Click(dialog, "BitBtn2");
            });
            window.SpeedButton5Click();
            return city + QLatin1Char(' ') + latitude;
        };
        QCOMPARE(cityShown(*form), QStringLiteral("Kraków 50.061021"));
        form.reset();
        auto again = MakeWindow();
        QCOMPARE(cityShown(*again), QStringLiteral("Kraków 50.061021"));
        OkWithTexts(*again, {{"edl", QStringLiteral("19.934430")}});
        QCOMPARE(cityShown(*again), QStringLiteral(" 50.061021"));
    }

    void PackDateAndPackBoxFollowEachOther()
    {
        auto dialog = MakeDialog();
        dialog->show();
        auto* datyod = Child<QDateEdit>(dialog.get(), "datyod");
        auto* upakowanie = Child<QCheckBox>(dialog.get(), "upakowanie");
        QCOMPARE(datyod->date(), Tconfig::NoDate());
        QCOMPARE(datyod->text().trimmed(), QString());
        QVERIFY(!upakowanie->isChecked());
        // The drop-down opens on this month, not on the blank's, and a day chosen there counts.
        QTest::mouseClick(datyod, Qt::LeftButton, {}, QPoint(datyod->width() - 8, datyod->height() / 2));
        QCOMPARE(datyod->calendarWidget()->yearShown(), QDate::currentDate().year());
        QCOMPARE(datyod->calendarWidget()->monthShown(), QDate::currentDate().month());
        emit datyod->calendarWidget()->clicked(QDate(2020, 1, 1));
        QCOMPARE(datyod->date(), QDate(2020, 1, 1));
        QVERIFY(upakowanie->isChecked());
        QCOMPARE(dialog->Model().Form().purgeBefore, EncodeDate(2020, 1, 1));
        Tick(dialog.get(), "upakowanie");
        QVERIFY(!upakowanie->isChecked());
        QCOMPARE(datyod->date(), Tconfig::NoDate());
        QCOMPARE(dialog->Model().Form().purgeBefore, 0.0);
    }

    void TypedValuesFallBackToTheirDefaultsOnOk()
    {
        PutKey();
        auto form = MakeWindow();
        const struct
        {
            const char* eczas;
            const char* eszer;
            int seconds;
            double latitude;
        } rows[] = {{"abc", "50,5", 300, 52}, {"2", "50.5", 5, 50.5}, {"99999", "", 3600, 52}};
        for (const auto& row : rows) {
            OkWithTexts(*form, {{"eczas", QString::fromUtf8(row.eczas)}, {"eszer", QString::fromUtf8(row.eszer)}});
            QCOMPARE(form->CurrentSettings().AlarmDuration, row.seconds);
            QCOMPARE(form->CurrentSettings().Latitude, row.latitude);
        }
    }

    // The day panel's sun line is for the place just chosen, each time the place changes, also back
    // to one shown before.
    void SunLineFollowsThePlaceChosenOnOk()
    {
        PutKey();
        auto form = MakeWindow();
        const TDateTime day = EncodeDate(2024, 6, 21);
        Child<TCalenPnl>(form.get(), "cal")->SetSelectedDate(day);
        auto* slonce = Child<QLabel>(form.get(), "slonce");
        const struct
        {
            double latitude;
            double longitude;
        } places[] = {{78.22, 15.65}, {-33.87, 151.21}, {78.22, 15.65}};
        for (const auto& place : places) {
            OkWithTexts(*form, {{"eszer", QString::number(place.latitude)}, {"edl", QString::number(place.longitude)}});
            const SunMoonLine expected = BuildSunMoonLine(day, place.latitude, place.longitude);
            QCOMPARE(slonce->text(), QString::fromStdString(expected.caption));
            QCOMPARE(slonce->toolTip(),
                     QString::fromStdString(expected.Hint()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        }
        // Midsummer in Svalbard has no sunset; in Sydney it has both.
        QCOMPARE(slonce->text(), QStringLiteral("W/Z: ----/----"));
    }

    void OkKeepsOrRestartsTheCorrectionBookkeeping()
    {
        PutKey();
        auto form = MakeWindow();
        QString shown;
        WhenDialogOpens([&shown](Tconfig* dialog) {
            shown = Child<QLineEdit>(dialog, "ekorekta")->text();
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        QCOMPARE(shown, QStringLiteral("0.000000"));
        QCOMPARE(StoredFloat(SettingId::LastCorrection), 45000.0);
        QCOMPARE(StoredFloat(SettingId::PendingCorrection), 3.25);
        QCOMPARE(StoredFloat(SettingId::TotalCorrection), 12.5);

        // A correction needs the start with the system; the answer No leaves it off.
        AppMessageBox::SetNextAnswer(QMessageBox::No);
        WhenDialogOpens([](Tconfig* dialog) {
            Retype(dialog, "ekorekta", QStringLiteral("1.5"));
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Informacja"));
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Określono korektę czasu.\nKorekta jest dokonywana tylko w przypadku, gdy od "
                                "uruchomienia komputera upłynęło nie więcej niż 15 minut.\nZaleca się załączenie "
                                "opcji autostartu.\nUaktywnić autostart ?"));
        QCOMPARE(form->CurrentSettings().DailyCorrection, 1.5);
        QCOMPARE(StoredFloat(SettingId::DailyCorrection), 1.5);
        QCOMPARE(StoredFloat(SettingId::LastCorrection), LocalNow(m_clock));
        QCOMPARE(StoredFloat(SettingId::PendingCorrection), 0.0);
        QCOMPARE(StoredFloat(SettingId::TotalCorrection), 0.0);
        QVERIFY(!m_entries.Read(TRegLocation::CurrentUser, "ZWDniarz"));

        // Yes ticks the box and writes the entry.
        AppMessageBox::SetNextAnswer(QMessageBox::Yes);
        WhenDialogOpens([](Tconfig* dialog) { Click(dialog, "BitBtn1"); });
        form->SpeedButton5Click();
        QCOMPARE(m_entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), std::string("/opt/dniarz/dniarz -hide"));
    }

    void EnterConfirmsAndEscapeCancels()
    {
        PutKey();
        auto form = MakeWindow();
        bool isDefault = false;
        WhenDialogOpens([&isDefault](Tconfig* dialog) {
            isDefault = Child<QPushButton>(dialog, "BitBtn1")->isDefault();
            Child<QCheckBox>(dialog, "pelna")->setChecked(true);
            QTest::keyClick(Child<QLineEdit>(dialog, "eczas"), Qt::Key_Escape);
        });
        form->SpeedButton5Click();
        QVERIFY(isDefault);
        QVERIFY(!form->CurrentSettings().HourSignalEnabled);
        WhenDialogOpens([](Tconfig* dialog) {
            Child<QCheckBox>(dialog, "pelna")->setChecked(true);
            QTest::keyClick(Child<QLineEdit>(dialog, "eczas"), Qt::Key_Return);
        });
        form->SpeedButton5Click();
        QVERIFY(form->CurrentSettings().HourSignalEnabled);
    }

    void CancelAfterACalibrationKeepsItsResultButNotTheCorrection()
    {
        PutKey();
        auto form = MakeWindow();
        // The calibration dialog stores its own result at once, whatever this dialog does later.
        form->ConfigHooks().calibrate = [this](QWidget*) -> std::optional<double> {
            m_store.Put("Ostatnia kalibracja", Float(2.5));
            return 2.5;
        };
        QString shown;
        WhenDialogOpens([&shown](Tconfig* dialog) {
            Click(dialog, "spoblicz");
            shown = Child<QLineEdit>(dialog, "ekorekta")->text();
            Click(dialog, "BitBtn2");
        });
        form->SpeedButton5Click();
        QCOMPARE(shown, QStringLiteral("2.500000"));
        QCOMPARE(StoredFloat(SettingId::LastCalibration), 2.5);
        QCOMPARE(form->CurrentSettings().DailyCorrection, 0.0);
        QCOMPARE(StoredFloat(SettingId::DailyCorrection), 0.0);
    }

    void CalibrationDialogHandsItsResultOnlyWhenAssigned()
    {
        PutKey();
        m_store.Put("Ostatnia kalibracja", Float(2.5));
        auto form = MakeWindow();
        QStringList shown;
        WhenDialogOpens([&shown](Tconfig* dialog) {
            const auto calibrate = [&shown, dialog](const char* button) {
                WhenDialogOpens<Tfkor>([button](Tfkor* calibration) { Click(calibration, button); });
                Click(dialog, "spoblicz");
                shown << Child<QLineEdit>(dialog, "ekorekta")->text();
            };
            calibrate("BitBtn2");  // "Zamknij"
            calibrate("BitBtn1");  // "Przypisz korektę"
            Click(dialog, "BitBtn2");
        });
        form->SpeedButton5Click();
        QCOMPARE(shown, (QStringList{"0.000000", "2.500000"}));
        QCOMPARE(form->CurrentSettings().DailyCorrection, 0.0);
        QCOMPARE(StoredFloat(SettingId::DailyCorrection), 0.0);
        QCOMPARE(StoredFloat(SettingId::LastCalibration), 2.5);
    }

    void DescriptionOpensTheInfoWindowOverTheDialog()
    {
        PutKey();
        auto form = MakeWindow();
        bool infoShown = false;
        bool stillOpen = false;
        WhenDialogOpens([&infoShown, &stillOpen](Tconfig* dialog) {
            // Over the dialog, not beside it under the main window.
            WhenDialogOpens<Tinfo>([&infoShown, dialog](Tinfo* info) {
                infoShown = info->parentWidget() == dialog;
                info->reject();
            });
            Click(dialog, "BitBtn4");
            stillOpen = dialog->isVisible();
            Click(dialog, "BitBtn2");
        });
        form->SpeedButton5Click();
        QVERIFY(infoShown);
        QVERIFY(stillOpen);
    }

    // "Usuń notatki sprzed": a question naming the count and the copy first; "Nie" deletes
    // nothing, "Tak" packs and keeps the journal as it was in "dnz.dat.bak".
    void PackAsksFirstAndKeepsTheJournalAsItWas()
    {
        PutKey();
        const std::string notes = "2019.05.01\r\n2019.05.01  10:00\r\nstara\r\n****\r\n"
                                  "2019.06.01\r\n2019.06.01  10:00\r\nte\xBF stara\r\n****\r\n"
                                  "2024.06.21\r\n2024.06.20  10:00\r\nnowa\r\n****\r\n";
        m_notesFile.SetFile(kDir / "dnz.dat", notes);
        auto form = MakeWindow();
        const auto packBefore2020 = [&form] {
            WhenDialogOpens([](Tconfig* dialog) {
                Child<QDateEdit>(dialog, "datyod")->setDate(QDate(2020, 1, 1));
                Click(dialog, "BitBtn1");
            });
            form->SpeedButton5Click();
        };
        AppMessageBox::SetNextAnswer(QMessageBox::No);
        packBefore2020();
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Usunąć na zawsze 2 notatki sprzed 2020.01.01?\n\nPlik notatek sprzed zmiany zostanie "
                                "zachowany jako:\n/notes/dnz.dat.bak"));
        QCOMPARE(AppMessageBox::LastAnswered()->buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(m_notesFile.File(kDir / "dnz.dat"), std::optional<std::string>(notes));
        QVERIFY(!m_notesFile.File(kDir / "dnz.dat.bak"));
        QCOMPARE(form->Journal().FindNote("2019.05.01").text, std::string("stara"));

        AppMessageBox::SetNextAnswer(QMessageBox::Yes);
        packBefore2020();
        QCOMPARE(AppMessageBox::AnsweredCount(), 2);
        QCOMPARE(m_notesFile.File(kDir / "dnz.dat.bak"), std::optional<std::string>(notes));
        QCOMPARE(m_notesFile.File(kDir / "dnz.dat"),
                 std::optional<std::string>("2024.06.21\r\n2024.06.20  10:00\r\nnowa\r\n****\r\n"));
        QCOMPARE(form->Journal().FindNote("2019.05.01").text, std::string());
    }

    void FailedPackShowsItsMessageAndTheRestApplies()
    {
        PutKey();
        m_notesFile.SetFile(kDir / "dnz.dat", "");
        auto form = MakeWindow();
        m_notesFile.failReplace = true;
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        WhenDialogOpens([](Tconfig* dialog) {
            Child<QCheckBox>(dialog, "upakowanie")->setChecked(true);
            Child<QCheckBox>(dialog, "pelna")->setChecked(true);
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QVERIFY(form->Journal().NotesEnabled());
        QVERIFY(form->CurrentSettings().HourSignalEnabled);
    }

    void AFailedSaveIsReportedAndTheValuesHoldForThisRun()
    {
        PutKey();
        auto form = MakeWindow();
        m_store.SetFailWrites(true);
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        WhenDialogOpens([](Tconfig* dialog) {
            Child<QCheckBox>(dialog, "pelna")->setChecked(true);
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QVERIFY(AppMessageBox::LastAnswered()->text.startsWith(QStringLiteral("Nie udało się zapisać konfiguracji")));
        QVERIFY(form->CurrentSettings().HourSignalEnabled);
        m_store.SetFailWrites(false);
    }

    void AStartEntryThatCannotBeWrittenIsSaidAndTheBoxIsUntickedAgain()
    {
        PutKey();
        m_entries.SetReadOnly(TRegLocation::CurrentUser, true);
        auto form = MakeWindow();
        AppMessageBox::SetNextAnswer(QMessageBox::Ok);
        WhenDialogOpens([](Tconfig* dialog) {
            Child<QCheckBox>(dialog, "autorun")->setChecked(true);
            Click(dialog, "BitBtn1");
        });
        form->SpeedButton5Click();
        QCOMPARE(AppMessageBox::AnsweredCount(), 1);
        QCOMPARE(AppMessageBox::LastAnswered()->text,
                 QStringLiteral("Nie udało się zapisać wpisu automatycznego uruchomienia programu:\r\n"
                                "/opt/dniarz/dniarz\r\nŚcieżka programu może zawierać znaki, których wpis nie "
                                "przyjmuje. Program nie będzie uruchamiany podczas startu systemu."));
        bool ticked = true;
        WhenDialogOpens([&ticked](Tconfig* dialog) {
            ticked = Child<QCheckBox>(dialog, "autorun")->isChecked();
            Click(dialog, "BitBtn2");
        });
        form->SpeedButton5Click();
        QVERIFY(!ticked);
    }

    void RemoveEntriesEndsWithoutTheAlarmAndTheNextStartIsAFirstRun()
    {
        PutKey();
        m_entries.Put(TRegLocation::CurrentUser, "ZWDniarz", "/opt/dniarz/dniarz -hide");
        {
            auto form = MakeWindow();
            QSignalSpy finished(form.get(), &TForm1::Finished);
            form->show();
            // No keeps everything and the dialog open.
            AppMessageBox::SetNextAnswer(QMessageBox::No);
            bool stayedOpen = false;
            WhenDialogOpens([&stayedOpen](Tconfig* dialog) {
                Click(dialog, "BitBtn3");
                stayedOpen = dialog->isVisible();
                AppMessageBox::SetNextAnswer(QMessageBox::Yes);
                Click(dialog, "BitBtn3");
            });
            form->SpeedButton5Click();
            QVERIFY(stayedOpen);
            QCOMPARE(AppMessageBox::LastAnswered()->title, QStringLiteral("Potwierdzenie"));
            QCOMPARE(AppMessageBox::LastAnswered()->text,
                     QStringLiteral("Opcja usuwa wszystkie wpisy w rejestrach dokonanych przez program i kończy "
                                    "go.\nPo tej operacji można usunąć program z dysku lub zmienić jego lokalizację "
                                    "i ponownie uruchomić.\nKontynuować ?"));
            QCOMPARE(finished.count(), 1);
            QVERIFY(!m_entries.Read(TRegLocation::CurrentUser, "ZWDniarz"));
            QVERIFY(!m_store.Key().has_value());
        }
        QVERIFY2(!m_store.Key().has_value(), "the alarm must not be written back");

        // The next start opens the dialog by itself when the window shows, with both boxes ticked.
        auto again = MakeWindow(true);
        bool opened = false;
        bool bothTicked = false;
        WhenDialogOpens([&opened, &bothTicked](Tconfig* dialog) {
            opened = true;
            bothTicked = Child<QCheckBox>(dialog, "autorun")->isChecked()
                         && Child<QCheckBox>(dialog, "przywolanie")->isChecked();
            Click(dialog, "BitBtn2");
        });
        again->show();
        QTRY_VERIFY(opened);
        QVERIFY(bothTicked);
        // Opening it created the key: a cancelled first run is not repeated.
        QVERIFY(m_store.Key().has_value());
    }

    void HiddenFirstRunOpensTheDialogAtTheFirstRecall()
    {
        auto form = MakeWindow(true);
        form->StartShown(true);
        QTest::qWait(20);
        QVERIFY(!OpenDialog());
        int opened = 0;
        WhenDialogOpens([&opened](Tconfig* dialog) {
            ++opened;
            Click(dialog, "BitBtn1");
        });
        form->ShowFromTray();
        QTRY_COMPARE(opened, 1);
        QCOMPARE(m_entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), std::string("/opt/dniarz/dniarz -hide"));
        QVERIFY(form->CurrentSettings().RecallSelectsToday);
        // Only the first showing.
        form->hide();
        form->ShowFromTray();
        QTest::qWait(20);
        QVERIFY(!OpenDialog());
    }

    // Without a notification area a hidden start lies minimised: the first bringing up is the
    // restore, not the start.
    void HiddenFirstRunWithoutATrayOpensTheDialogWhenRestored()
    {
        MainWindowOptions options;
        options.programDir = kDir;
        options.startTimers = false;
        options.startupEntry = &m_entries;
        options.programFile = "/opt/dniarz/dniarz";
        options.configOnFirstRun = true;
        options.trayAvailable = false;
        TForm1 form(MainWindowServices{m_clock, m_store, m_notesFile}, options);
        int opened = 0;
        WhenDialogOpens([&opened](Tconfig* dialog) {
            ++opened;
            Click(dialog, "BitBtn2");
        });
        form.StartShown(true);
        QVERIFY(form.isMinimized());
        QTest::qWait(20);
        QCOMPARE(opened, 0);
        form.showNormal();
        QTRY_COMPARE(opened, 1);
        form.showMinimized();
        form.showNormal();
        QTest::qWait(20);
        QCOMPARE(opened, 1);
    }

    // The window over the real settings file, notes file and autostart folder, found the way the
    // program finds them, in a temporary home.
    void FirstStartWritesTheSettingsFileAndARealAutostartEntry()
    {
        TempDir home;
        QVERIFY(!home.Path().empty());
        const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home.Path() / "config").string()));
        const auto configHome = XdgConfigHomeFromEnvironment();
        qputenv("XDG_CONFIG_HOME", previous);
        QCOMPARE(configHome, home.Path() / "config");
        // A folder with a blank and a Polish letter, so the entry's quoting is put to work.
        const auto programDir = home.Path() / "Mój program";
        std::filesystem::create_directories(programDir);
        std::filesystem::create_symlink(DNIARZ_EXECUTABLE, programDir / "dniarz");

        const auto start = [&](XdgStartupEntry& entries, FileSettingsStore& store, LinuxJournalFile& notes) {
            MainWindowOptions options;
            options.programDir = programDir;
            options.startTimers = false;
            options.startupEntry = &entries;
            options.programFile = programDir / "dniarz";
            options.configOnFirstRun = true;
            return std::make_unique<TForm1>(MainWindowServices{m_clock, store, notes}, options);
        };
        XdgStartupEntry entries = ProgramStartupEntry(configHome);
        FileSettingsStore store(ProgramSettingsFile(configHome));
        LinuxJournalFile notes;
        const auto entryFile = configHome / "autostart" / "ZWDniarz.desktop";
        {
            auto form = start(entries, store, notes);
            int opened = 0;
            WhenDialogOpens([&opened](Tconfig* dialog) {
                ++opened;
                Click(dialog, "BitBtn1");
            });
            form->show();
            QTRY_COMPARE(opened, 1);
        }
        QVERIFY(std::filesystem::exists(ProgramSettingsFile(configHome)));
        Settings loaded;
        LoadSettings(store, loaded, 0);
        QVERIFY(!loaded.FirstRun);
        QVERIFY(loaded.RecallSelectsToday);
        QCOMPARE(loaded.AlarmDuration, 300);

        std::ifstream in(entryFile);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        QCOMPARE(DesktopEntryValue(text, "Type"), std::optional<std::string>("Application"));
        const auto exec = DesktopEntryValue(text, "Exec");
        QVERIFY(exec.has_value());
        const std::vector<std::string> argv = SplitExec(*exec);
        QCOMPARE(argv, (std::vector<std::string>{(programDir / "dniarz").string(), "-hide"}));
        // The named file is the program: it answers as the program does.
        const auto [status, output] = RunProgram({argv[0], "--version"}, home.Path() / "version.txt");
        QCOMPARE(status, 0);
        QVERIFY2(output.starts_with("dniarz "), output.c_str());

        // "Usuń wpisy" takes both away, and the next start is a first run again.
        {
            auto form = start(entries, store, notes);
            QSignalSpy finished(form.get(), &TForm1::Finished);
            form->show();
            AppMessageBox::SetNextAnswer(QMessageBox::Yes);
            WhenDialogOpens([](Tconfig* dialog) { Click(dialog, "BitBtn3"); });
            form->SpeedButton5Click();
            QCOMPARE(finished.count(), 1);
        }
        QVERIFY(!std::filesystem::exists(entryFile));
        QVERIFY(!std::filesystem::exists(ProgramSettingsFile(configHome)));
        auto again = start(entries, store, notes);
        int opened = 0;
        WhenDialogOpens([&opened](Tconfig* dialog) {
            ++opened;
            Click(dialog, "BitBtn2");
        });
        again->show();
        QTRY_COMPARE(opened, 1);
    }

    void DialogOpensAgainWhereItWasLeft()
    {
        QPoint moved;
        {
            auto dialog = MakeDialog();
            dialog->show();
            moved = dialog->pos() + QPoint(37, 21);
            dialog->move(moved);
            dialog->reject();
        }
        auto dialog = MakeDialog();
        QCOMPARE(dialog->pos(), moved);
    }
};

QTEST_MAIN(ConfigDialogTest)
#include "config_dialog_test.moc"
