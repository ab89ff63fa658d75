// Every window and dialog as a screen reader and a keyboard user meet it: every control has a
// name, every text is Polish (Qt's own edit menus too), and the keyboard reaches every control
// the mouse does, in the order the window is read.
#include "app/settings.h"
#include "app/ui/config_dialog.h"
#include "app/ui/info_window.h"
#include "app/ui/main_window.h"
#include "app/ui/notes_search_window.h"
#include "app/ui/speed_button.h"
#include "astro/places.h"
#include "calendar/notes_journal.h"
#include "calendar/ui/multi_day_dialog.h"
#include "clock/ui/calibration_dialog.h"
#include "contacts/ui/contacts_window.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/fake_url_launcher.h"
#include "platform/fake/memory_file_store.h"
#include "platform/fake/memory_settings_store.h"
#include "ui_support/qt_language.h"
#ifdef DNIARZ_HAVE_ICAL
#include "ics/ui/ics_dialogs.h"
#endif

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

#include <chrono>
#include <functional>
#include <memory>
#include <set>

using namespace std::chrono;

namespace {

// Words of Qt's and of common English UI texts that no Polish text of the program contains.
const std::set<QString> kEnglishWords = {
    "about", "abort",   "all",     "apply",  "back",     "browse",      "cancel",   "clear", "close", "copy",
    "cut",   "date",    "default", "delete", "details",  "discard",     "edit",     "error", "file",  "forward",
    "help",  "hide",    "ignore",  "month",  "name",     "next",        "no",       "open",  "paste", "previous",
    "redo",  "reset",   "retry",   "save",   "search",   "select",      "settings", "show",  "the",   "time",
    "undo",  "warning", "yes",     "week",   "question", "information", "day",
};

// The roles a user operates: each needs a name of its own to be told apart.
bool NeedsName(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::Table:
        return true;
    default:
        return false;
    }
}

struct Findings
{
    QStringList unnamed;
    QStringList english;
    QStringList texts;
};

QString Describe(QAccessibleInterface* iface)
{
    QObject* object = iface->object();
    return QStringLiteral("%1 %2 (%3)")
        .arg(object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("?"),
             object ? object->objectName() : QString(), iface->text(QAccessible::Name));
}

void CheckText(const QString& text, const QString& where, Findings& findings)
{
    if (text.isEmpty())
        return;
    findings.texts << text;
    static const QRegularExpression words(QStringLiteral("[A-Za-z]+"));
    for (auto match = words.globalMatch(text); match.hasNext();) {
        const QString word = match.next().captured().toLower();
        if (kEnglishWords.count(word) != 0)
            findings.english << where + QStringLiteral(": ") + text;
    }
}

// Depth first over what Qt reports, as a reader would go; the grid's 42 cells are covered by the
// grid's own test and would only repeat here.
void Walk(QAccessibleInterface* iface, Findings& findings, int depth = 0)
{
    if (!iface || depth > 30 || iface->state().invisible)
        return;
    const QString name = iface->text(QAccessible::Name).trimmed();
    if (NeedsName(iface->role()) && name.isEmpty())
        findings.unnamed << Describe(iface);
    for (QAccessible::Text t : {QAccessible::Name, QAccessible::Description})
        CheckText(iface->text(t), Describe(iface), findings);
    if (iface->role() == QAccessible::Cell)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        Walk(iface->child(i), findings, depth + 1);
}

Findings WalkWindow(QWidget* window)
{
    Findings findings;
    CheckText(window->windowTitle(), QStringLiteral("title"), findings);
    Walk(QAccessible::queryAccessibleInterface(window), findings);
    return findings;
}

void ExpectAllNamedAndPolish(QWidget* window)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const Findings findings = WalkWindow(window);
    QVERIFY2(findings.unnamed.isEmpty(), qPrintable(findings.unnamed.join(QStringLiteral("; "))));
    QVERIFY2(findings.english.isEmpty(), qPrintable(findings.english.join(QStringLiteral("; "))));
    QVERIFY2(findings.texts.size() > 2, qPrintable(window->objectName()));
}

}  // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

    const SystemClock::TimePoint m_start = sys_days{year{2024} / June / 21} + hours{10};
    FakeSystemClock m_clock{m_start, hours{2}};
    MemorySettingsStore m_store;
    FakeJournalFile m_notesFile;
    MemoryFileStore m_files;
    FakeSound m_sound;
    FakeUrlLauncher m_links;
    bool m_shift = false;
    QStringList m_ranges;

    std::unique_ptr<TForm1> MakeWindow(bool withTray)
    {
        MainWindowOptions options;
        options.date = EncodeDate(2025, 12, 24);
        options.withTray = withTray;
        options.trayAvailable = withTray;
        options.startTimers = false;
        options.persist = false;
        options.programDir = "/notes";
        options.shiftHeld = [this] { return m_shift; };
        options.rangeDialog = [this](const std::string& range) {
            m_ranges << QString::fromStdString(range);
            return std::optional<RangeNote>();
        };
        options.infoLinks = InfoLinks{QStringLiteral("https://dniarz.test/"), QStringLiteral("uwagi@dniarz.test"),
                                      QUrl::fromLocalFile(QStringLiteral("/usr/share/doc/dniarz/README.md"))};
        return std::make_unique<TForm1>(MainWindowServices{m_clock, m_store, m_notesFile}, options);
    }

private slots:
    void initTestCase()
    {
        // Qt's own texts in Polish are part of the program's texts; the test needs the translation.
        QVERIFY2(InstallQtPolishTranslation(), "Qt's Polish translation is missing (qt6-translations-l10n)");
    }

    void MainWindowControlsAreNamedAndPolish()
    {
        auto form = MakeWindow(true);
        ExpectAllNamedAndPolish(form.get());
        // The icon-only button and the grids, by their spoken names.
        const Findings findings = WalkWindow(form.get());
        for (const char* expected : {"Synchronizuj", "Kalendarz, grudzień 2025", "Poprzedni miesiąc, listopad 2025",
                                     "Treść notatki", "Godzina alarmu", "Wybrany dzień"})
            QVERIFY2(findings.texts.contains(QString::fromUtf8(expected)), expected);
        QCOMPARE(QAccessible::queryAccessibleInterface(form.get())->role(), QAccessible::Window);
        QAccessibleInterface* help = QAccessible::queryAccessibleInterface(
            form->findChild<QWidget*>(QStringLiteral("RxLabel2")));
        QCOMPARE(help->role(), QAccessible::Link);
        QCOMPARE(help->text(QAccessible::Name), QStringLiteral("Pomoc"));
        QVERIFY(help->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }

    void DialogsAndWindowsAreNamedAndPolish()
    {
        Settings settings;
        CityTable cities;
        cities.Load();
        Tconfig config(ConfigSources{settings, false, "2024.06.20   08:15:00", cities}, {});
        ExpectAllNamedAndPolish(&config);

        Ttelform contacts(ContactsWindowServices{m_files, m_sound, m_links, [](QWidget*, const QString&) {},
                                                 [](QWidget*, const QString&, const QString&) { return false; }},
                          "/program");
        ExpectAllNamedAndPolish(&contacts);

        m_files.files["/program/info.rtf"] = "{\\rtf1 Opis programu.}";
        Tinfo info(m_files, m_links, "/program/info.rtf");
        ExpectAllNamedAndPolish(&info);

        TDateTime calibrationStart = 0, calibrationStop = 0;
        double totalCorrection = 0, lastCalibration = 0;
        Tfkor calibration(CalibrationValues{calibrationStart, calibrationStop, totalCorrection, lastCalibration},
                          m_clock, StoreCalibration());
        ExpectAllNamedAndPolish(&calibration);

        Twiele range(EncodeDate(2025, 12, 24), EncodeDate(2025, 12, 27));
        ExpectAllNamedAndPolish(&range);

        FakeJournalFile file;
        file.SetFile("/n/dnz.dat", "");
        NotesJournal journal(file);
        QVERIFY(!journal.OpenNotes("/n/dnz.dat"));
        journal.AppendRecord("2025.12.24", "Kupić karpia", EncodeDate(2025, 12, 1));
        NotesSearchWindow search(journal.Records());
        ExpectAllNamedAndPolish(&search);

#ifdef DNIARZ_HAVE_ICAL
        IcsExportDialog exportDialog(2025);
        ExpectAllNamedAndPolish(&exportDialog);
#endif
    }

    // Qt's own menu of a text field: what a right click or the menu key opens in every field.
    void QtsOwnEditMenuIsPolish()
    {
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            texts << action->text();
            Findings findings;
            CheckText(action->text().remove(QLatin1Char('&')), QStringLiteral("edit menu"), findings);
            QVERIFY2(findings.english.isEmpty(), qPrintable(findings.english.join(QStringLiteral("; "))));
        }
        QVERIFY2(texts.size() >= 5, qPrintable(texts.join(QLatin1Char('|'))));
    }

    // Tab goes round every control that a click works, the speed buttons included, in reading
    // order; the note editor keeps Tab for its tables and lets the keyboard out with Ctrl+Tab.
    void TabReachesEveryControlInOrder()
    {
        auto form = MakeWindow(true);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* grid = form->findChild<QWidget*>(QStringLiteral("cal"));
        grid->setFocus(Qt::TabFocusReason);

        QStringList order;
        for (int i = 0; i < 40; ++i) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            if (!order.isEmpty() && focus->objectName() == order.first())
                break;
            order << focus->objectName();
            if (focus->objectName() == QLatin1String("Memo")) {
                QTest::keyClick(focus, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), focus);  // a tab typed into the note
                QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
            } else {
                QTest::keyClick(focus, Qt::Key_Tab);
            }
        }
        const QStringList expected = {
            QStringLiteral("cal"),      QStringLiteral("RadioDate"), QStringLiteral("Memo"),
            QStringLiteral("Zachowaj"), QStringLiteral("Anuluj"),    QStringLiteral("Wykasuj"),
            QStringLiteral("Dzisiaj"),  QStringLiteral("Tel"),       QStringLiteral("Konfig"),
            QStringLiteral("Info"),     QStringLiteral("RxLabel1"),  QStringLiteral("RxLabel2"),
            QStringLiteral("EMAIL")};
        int at = -1;
        for (const QString& name : expected) {
            const int next = static_cast<int>(order.indexOf(name));
            QVERIFY2(next > at, qPrintable(name + QStringLiteral(" in ") + order.join(QLatin1Char(' '))));
            at = next;
        }
        for (const char* name : {"alarm", "azalwyl", "SpeedButton7"})
            QVERIFY2(order.contains(QLatin1String(name)), qPrintable(order.join(QLatin1Char(' '))));

        // A speed button shows that it has the focus and works with Space like a push button.
        auto* today = form->findChild<SpeedButton*>(QStringLiteral("Dzisiaj"));
        form->findChild<QWidget*>(QStringLiteral("cal"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(form->SelectedDate(), EncodeDate(2025, 12, 25));
        today->setFocus(Qt::TabFocusReason);
        const QImage focused = today->grab().toImage();
        form->findChild<QWidget*>(QStringLiteral("cal"))->setFocus();
        QVERIFY2(today->grab().toImage() != focused, "no focus mark on the speed button");
        today->setFocus(Qt::TabFocusReason);
        QTest::keyClick(today, Qt::Key_Space);
        QCOMPARE(form->SelectedDate(), EncodeDate(2024, 6, 21));
    }

    // The multi-day note, made with the mouse by a click and a Shift-click: Space and Shift+Space.
    void KeyboardMakesAMultiDayNote()
    {
        auto form = MakeWindow(true);
        form->show();
        auto* grid = form->findChild<QWidget*>(QStringLiteral("cal"));
        QTest::keyClick(grid, Qt::Key_Space);
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Right);
        QVERIFY(m_ranges.isEmpty());
        m_shift = true;
        QTest::keyClick(grid, Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(m_ranges, QStringList{QStringLiteral("2025.12.24 - 2025.12.26")});
    }

    // With a tray the window has no right-click menu, but the menu key opens the tray's menu, so
    // that what only the tray offers (iCalendar, quitting) is in reach of the keyboard.
    void MenuKeyOpensTheTrayMenu()
    {
        auto form = MakeWindow(true);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* grid = form->findChild<QWidget*>(QStringLiteral("cal"));
        grid->setFocus();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), grid->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(grid, &key);
        QTRY_VERIFY(form->TrayMenu()->isVisible());
        form->TrayMenu()->hide();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), grid->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(grid, &click);
        QVERIFY(!form->TrayMenu()->isVisible());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
