// The month grid as a screen reader sees it through Qt: a table of named day cells whose
// selection and focus follow the keys, and the events that tell the reader so.
#include "widgets/calendar_panel.h"

#include <QAccessible>
#include <QTest>

// Qt passes events on only while a screen reader is attached; offscreen none ever is, so the
// test switches the platform's accessibility on as a reader's bridge would.
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <vector>

namespace {

struct Heard
{
    QAccessible::Event type;
    QString name;  // of the event's object: the cell's for a cell event
};

std::vector<Heard>& Events()
{
    static std::vector<Heard> events;
    return events;
}

void RecordEvent(QAccessibleEvent* event)
{
    QAccessibleInterface* iface = event->accessibleInterface();
    Events().push_back({event->type(), iface ? iface->text(QAccessible::Name) : QString()});
}

bool HeardEvent(QAccessible::Event type, const QString& name)
{
    for (const Heard& e : Events())
        if (e.type == type && e.name == name)
            return true;
    return false;
}

// The main window's grid: Monday first with week numbers; today is 24 December 2024, 6 December
// is selected; the owner knows Christmas Eve's holiday and a note on it.
struct Panel
{
    int beeps = 0;
    TCalenPnl panel{nullptr, [] { return EncodeDate(2024, 12, 24) + 0.4; }, [this] { ++beeps; }};

    Panel()
    {
        panel.resize(249, 181);
        panel.SetShowDate(true);
        panel.SetUseLongDate(true);
        panel.SetGermanDate(true);
        panel.SetShowWeeks(true);
        panel.setAccessibleName(QStringLiteral("Kalendarz"));
        panel.SetDayFacts([](TDateTime date) {
            SpokenDayFacts facts;
            if (date == EncodeDate(2024, 12, 24)) {
                facts.holiday = "Wigilia\r\n";
                facts.note = true;
            }
            return facts;
        });
        panel.SetSelectedDate(EncodeDate(2024, 12, 6));
    }

    QAccessibleInterface* Grid() { return QAccessible::queryAccessibleInterface(&panel); }
    QAccessibleTableInterface* Table() { return Grid()->tableInterface(); }
    // December 2024 begins on a Sunday: row 0, column 6.
    QAccessibleInterface* CellOfDay(int day) { return Table()->cellAt((day + 5) / 7, (day + 5) % 7); }
};

}  // namespace

class CalendarPanelAccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QAccessible::installUpdateHandler(RecordEvent);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        QVERIFY(QAccessible::isActive());
    }

    void init() { Events().clear(); }

    void GridIsATableOfWeeksAndWeekdays()
    {
        Panel p;
        QAccessibleInterface* grid = p.Grid();
        QVERIFY(grid);
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("Kalendarz, grudzień 2024"));
        QAccessibleTableInterface* table = p.Table();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 6);
        QCOMPARE(table->columnCount(), 7);
        QCOMPARE(table->columnDescription(0), QStringLiteral("poniedziałek"));
        QCOMPARE(table->columnDescription(6), QStringLiteral("niedziela"));
        // ISO weeks: 25 November - 1 December 2024 is week 48.
        QCOMPARE(table->rowDescription(0), QStringLiteral("tydzień 48"));
        QVERIFY(table->cellAt(6, 0) == nullptr);
        QVERIFY(table->cellAt(0, 7) == nullptr);

        // Every cell and both buttons are children, found again by their index.
        QCOMPARE(grid->childCount(), 44);
        for (int i = 0; i < grid->childCount(); ++i) {
            QAccessibleInterface* child = grid->child(i);
            QVERIFY2(child, qPrintable(QString::number(i)));
            QCOMPARE(grid->indexOfChild(child), i);
            QCOMPARE(child->parent(), grid);
        }
        QCOMPARE(grid->child(42)->role(), QAccessible::Button);
        QCOMPARE(grid->child(42)->text(QAccessible::Name), QStringLiteral("Poprzedni miesiąc"));
        QCOMPARE(grid->child(43)->text(QAccessible::Name), QStringLiteral("Następny miesiąc"));

        // With Sunday first the columns follow.
        p.panel.SetGermanDate(false);
        QCOMPARE(table->columnDescription(0), QStringLiteral("niedziela"));
    }

    void CellsAreNamedInFull()
    {
        Panel p;
        struct Row
        {
            int row, column;
            const char* name;
            bool selectable;
        };
        const Row rows[] = {
            {4, 1, "wtorek, 24 grudnia 2024, Wigilia, notatka, dziś", true},
            // Trading Sundays of December 2024 by the published list: the 15th and the 22nd.
            {3, 6, "niedziela, 22 grudnia 2024, niedziela handlowa", true},
            {0, 6, "niedziela, 1 grudnia 2024", true},
            // Grey days of the neighbour months are named, but cannot be chosen.
            {0, 0, "poniedziałek, 25 listopada 2024", false},
            {5, 2, "środa, 1 stycznia 2025", false},
        };
        for (const Row& r : rows) {
            QAccessibleInterface* cell = p.Table()->cellAt(r.row, r.column);
            QVERIFY(cell);
            QCOMPARE(cell->role(), QAccessible::Cell);
            QCOMPARE(cell->text(QAccessible::Name), QString::fromUtf8(r.name));
            QCOMPARE(cell->state().disabled, !r.selectable);
            QCOMPARE(cell->actionInterface()->actionNames().isEmpty(), !r.selectable);
            QAccessibleTableCellInterface* position = cell->tableCellInterface();
            QCOMPARE(position->rowIndex(), r.row);
            QCOMPARE(position->columnIndex(), r.column);
            QCOMPARE(position->table(), p.Grid());
        }
        // The cells are found under the mouse too.
        p.panel.show();
        QAccessibleInterface* cell = p.CellOfDay(24);
        QCOMPARE(p.Grid()->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    }

    void KeyMoveMovesSelectionFocusAndTellsTheReader()
    {
        Panel p;
        p.panel.show();
        p.panel.activateWindow();
        p.panel.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&p.panel));
        QVERIFY(p.CellOfDay(6)->state().selected);
        QVERIFY(p.CellOfDay(6)->state().focused);
        QCOMPARE(p.Grid()->focusChild(), p.CellOfDay(6));
        Events().clear();

        QTest::keyClick(&p.panel, Qt::Key_Right);
        QAccessibleInterface* seventh = p.CellOfDay(7);
        QVERIFY(seventh->state().selected && seventh->state().focused);
        QVERIFY(!p.CellOfDay(6)->state().selected);
        QCOMPARE(p.Table()->selectedCellCount(), 1);
        QCOMPARE(p.Table()->selectedCells().value(0), seventh);
        QVERIFY(HeardEvent(QAccessible::Selection, seventh->text(QAccessible::Name)));
        QVERIFY(HeardEvent(QAccessible::Focus, seventh->text(QAccessible::Name)));

        // Another month renames the table; the same cell objects carry the new month's days.
        Events().clear();
        QTest::keyClick(&p.panel, Qt::Key_PageDown);
        QVERIFY(HeardEvent(QAccessible::NameChanged, QStringLiteral("Kalendarz, styczeń 2025")));
        QVERIFY(HeardEvent(QAccessible::Focus, QStringLiteral("wtorek, 7 stycznia 2025")));

        // A refused move at the end of time is no news.
        p.panel.SetSelectedDate(EncodeDate(9999, 12, 31));
        Events().clear();
        QTest::keyClick(&p.panel, Qt::Key_Right);
        QCOMPARE(p.beeps, 1);
        QVERIFY(Events().empty());
    }

    void ReaderSelectsADayAsAClickWould()
    {
        Panel p;
        QAccessibleInterface* twentieth = p.CellOfDay(20);
        twentieth->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(p.panel.SelectedDate(), EncodeDate(2024, 12, 20));
        QVERIFY(!p.panel.LeftClick());
        QVERIFY(HeardEvent(QAccessible::Selection, twentieth->text(QAccessible::Name)));
        // Without focus the selection is told, the focus is not.
        QVERIFY(!HeardEvent(QAccessible::Focus, twentieth->text(QAccessible::Name)));

        // A grey day does nothing; a disabled grid only shows its month.
        p.Table()->cellAt(0, 0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(p.panel.SelectedDate(), EncodeDate(2024, 12, 20));
        p.panel.setEnabled(false);
        QCOMPARE(p.Table()->selectedCellCount(), 0);
        QVERIFY(!twentieth->state().selected);
    }

    void BlankPanelHasNoDays()
    {
        Panel p;
        p.panel.SetBlank(true);
        QCOMPARE(p.Grid()->text(QAccessible::Name), QStringLiteral("Kalendarz"));
        QVERIFY(p.CellOfDay(6)->text(QAccessible::Name).isEmpty());
        QVERIFY(p.CellOfDay(6)->state().invisible);
    }
};

QTEST_MAIN(CalendarPanelAccessibilityTest)
#include "calendar_panel_accessibility_test.moc"
