// TCalenPnl driven by mouse and keys, and its picture checked pixel by pixel.
#include "widgets/calendar_panel.h"

#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

const QColor kSunday(0xFF, 0x00, 0x00);
const QColor kSaturday(0x00, 0x00, 0xFF);
const QColor kHoliday(0x00, 0xA0, 0x00);
const QColor kMarked(0xFF, 0x00, 0xFF);
const QColor kToday(0x00, 0xFF, 0xFF);
const QColor kWeek(0x80, 0x00, 0x00);

// The main window's grid: 249 x 181, title with long month names, Monday first, week numbers,
// a 15-pixel font; today is 24 December 2024 and 6 December is selected.
struct MainPanel
{
    int beeps = 0;
    TCalenPnl panel{nullptr, [] { return EncodeDate(2024, 12, 24) + 0.4; }, [this] { ++beeps; }};

    MainPanel()
    {
        panel.resize(249, 181);
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(15);
        panel.setFont(font);
        panel.SetShowDate(true);
        panel.SetUseLongDate(true);
        panel.SetGermanDate(true);
        panel.SetShowWeeks(true);
        panel.SetColSunday(kSunday);
        panel.SetColSaturday(kSaturday);
        panel.SetColHoliday(kHoliday);
        panel.SetColMarked(kMarked);
        panel.SetColToday(kToday);
        panel.SetColWeek(kWeek);
        panel.SetHolidays({"    .12.25", "    .12.26"});
        panel.SetMarkdays({"2024.12.03"});
        panel.SetSelectedDate(EncodeDate(2024, 12, 6));
    }

    // Cell of a December 2024 day: 1 December is a Sunday, in cell 7.
    QPoint CentreOfDay(int day) const { return panel.CellRect(day + 6).center(); }

    QImage Render()
    {
        QImage image(panel.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        panel.render(&image);
        return image;
    }
};

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 60;
}

// Whether the cell's number shows in `ink`: some pixel of the cell has (nearly) that colour.
bool CellShows(const QImage& image, const QRect& cell, const QColor& ink)
{
    for (int y = cell.top() + 1; y < cell.bottom(); ++y) {
        for (int x = cell.left() + 1; x < cell.right(); ++x) {
            if (Near(image.pixelColor(x, y), ink))
                return true;
        }
    }
    return false;
}

}  // namespace

class CalendarPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void clickOnADayFiresOnceWithItsButtonFlag_data();
    void clickOnADayFiresOnceWithItsButtonFlag();
    void clicksOutsideTheShownMonthDoNothing();
    void keysMoveAndFireWithoutAClickAndRefusalsBeep();
    void previousButtonOnJanuaryOfYearOneBeepsAndStillFires();
    void settersFireAndBadValuesBeep();
    void doubleClickOnlyInsideTheGrid();
    void moveInsideTheMonthRepaintsTwoCells();
    void selectedDayColorFollowsTheColourRules();
    void mainWindowSizedPictureHasTheRightColours();
    void disabledPanelShowsNoButtonsNoSelectionAndTakesNoInput();
    void ownerHintsReplaceTheDefaultOnes();
    void blankPanelShowsOnlyItsFrame();
};

void CalendarPanelTest::clickOnADayFiresOnceWithItsButtonFlag_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("right");
    QTest::newRow("left") << Qt::LeftButton << true << false;
    QTest::newRow("right") << Qt::RightButton << false << true;
    QTest::newRow("middle") << Qt::MiddleButton << false << false;
}

void CalendarPanelTest::clickOnADayFiresOnceWithItsButtonFlag()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, left);
    QFETCH(bool, right);
    MainPanel m;
    int fired = 0;
    bool leftSeen = false, rightSeen = false;
    TDateTime dateSeen = 0;
    QObject::connect(&m.panel, &TCalenPnl::OnDateChange, [&](TCalenPnl* sender) {
        ++fired;
        leftSeen = sender->LeftClick();
        rightSeen = sender->RightClick();
        dateSeen = sender->SelectedDate();
    });
    QTest::mouseClick(&m.panel, button, {}, m.CentreOfDay(10));
    QCOMPARE(fired, 1);
    QCOMPARE(leftSeen, left);
    QCOMPARE(rightSeen, right);
    QCOMPARE(dateSeen, EncodeDate(2024, 12, 10));
    QVERIFY(!m.panel.LeftClick());
    QVERIFY(!m.panel.RightClick());

    // The selected day itself still reports.
    QTest::mouseClick(&m.panel, button, {}, m.CentreOfDay(10));
    QCOMPARE(fired, 2);
}

void CalendarPanelTest::clicksOutsideTheShownMonthDoNothing()
{
    MainPanel m;
    QSignalSpy spy(&m.panel, &TCalenPnl::OnDateChange);
    const QPoint places[] = {
        m.panel.CellRect(1).center(),                  // 25 November, grey
        m.panel.CellRect(42).center(),                 // 5 January, grey
        m.panel.CellRect(8).center() - QPoint(29, 0),  // week-number column
        QPoint(120, 10),                               // title
    };
    for (const QPoint& at : places)
        QTest::mouseClick(&m.panel, Qt::LeftButton, {}, at);
    m.panel.SetShowWeeks(false);
    QTest::mouseClick(&m.panel, Qt::LeftButton, {}, m.panel.CellRect(1).center());  // now blank
    QCOMPARE(spy.count(), 0);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(2024, 12, 6));
}

void CalendarPanelTest::keysMoveAndFireWithoutAClickAndRefusalsBeep()
{
    MainPanel m;
    std::vector<TDateTime> seen;
    QObject::connect(&m.panel, &TCalenPnl::OnDateChange, [&](TCalenPnl* sender) {
        QVERIFY(!sender->LeftClick() && !sender->RightClick());
        seen.push_back(sender->SelectedDate());
    });
    QTest::keyClick(&m.panel, Qt::Key_Right);
    QTest::keyClick(&m.panel, Qt::Key_PageDown);
    QTest::keyClick(&m.panel, Qt::Key_Home);
    QTest::keyClick(&m.panel, Qt::Key_A);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(2026, 1, 7));
    const std::vector<TDateTime> moves = {EncodeDate(2024, 12, 7), EncodeDate(2025, 1, 7), EncodeDate(2026, 1, 7)};
    QCOMPARE(seen, moves);
    QCOMPARE(m.beeps, 0);

    m.panel.SetSelectedDate(EncodeDate(1, 1, 1));
    seen.clear();
    QTest::keyClick(&m.panel, Qt::Key_Left);
    QTest::keyClick(&m.panel, Qt::Key_Up);
    QTest::keyClick(&m.panel, Qt::Key_End);
    QCOMPARE(m.beeps, 3);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(1, 1, 1));
    QVERIFY(seen.empty());
}

void CalendarPanelTest::previousButtonOnJanuaryOfYearOneBeepsAndStillFires()
{
    MainPanel m;
    m.panel.SetSelectedDate(EncodeDate(1, 1, 15));
    QSignalSpy spy(&m.panel, &TCalenPnl::OnDateChange);
    m.panel.show();
    QVERIFY(m.panel.PreviousButton()->isVisible());
    QTest::mouseClick(m.panel.PreviousButton(), Qt::LeftButton);
    QCOMPARE(m.beeps, 1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(1, 1, 15));

    QTest::mouseClick(m.panel.NextButton(), Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(1, 2, 15));
    QVERIFY(!m.panel.LeftClick());
}

void CalendarPanelTest::settersFireAndBadValuesBeep()
{
    MainPanel m;
    m.panel.SetSelectedDate(EncodeDate(2024, 3, 31));
    QSignalSpy spy(&m.panel, &TCalenPnl::OnDateChange);
    m.panel.SetSelectedDate(EncodeDate(2024, 3, 31));
    QCOMPARE(spy.count(), 0);
    m.panel.SetMonth(2);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(2024, 2, 29));
    m.panel.SetYear(2023);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(2023, 2, 28));
    QCOMPARE(spy.count(), 2);
    m.panel.SetMonth(0);
    m.panel.SetYear(10000);
    m.panel.SetSelectedDate(EncodeDate(9999, 12, 31) + 1);
    QCOMPARE(m.beeps, 3);
    QCOMPARE(spy.count(), 2);
}

void CalendarPanelTest::doubleClickOnlyInsideTheGrid()
{
    MainPanel m;
    QSignalSpy spy(&m.panel, &TCalenPnl::OnDblClick);
    QTest::mouseDClick(&m.panel, Qt::LeftButton, {}, m.CentreOfDay(12));
    QCOMPARE(spy.count(), 1);
    QTest::mouseDClick(&m.panel, Qt::LeftButton, {}, QPoint(120, 12));                                // title
    QTest::mouseDClick(&m.panel, Qt::LeftButton, {}, m.panel.CellRect(15).center() - QPoint(29, 0));  // weeks
    QCOMPARE(spy.count(), 1);
    QTest::mouseDClick(&m.panel, Qt::LeftButton, {}, m.panel.CellRect(1).center());  // grey day, but in the grid
    QCOMPARE(spy.count(), 2);
}

void CalendarPanelTest::moveInsideTheMonthRepaintsTwoCells()
{
    MainPanel m;
    QList<QRegion> painted;
    struct Recorder : QObject
    {
        QList<QRegion>* regions;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                regions->append(static_cast<QPaintEvent*>(event)->region());
            return false;
        }
    } recorder;
    recorder.regions = &painted;
    m.panel.installEventFilter(&recorder);
    m.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m.panel));
    QTRY_VERIFY(!painted.isEmpty());
    painted.clear();

    QTest::keyClick(&m.panel, Qt::Key_Down);
    QTRY_VERIFY(!painted.isEmpty());
    const QRegion expected = QRegion(m.panel.CellRect(12)) + QRegion(m.panel.CellRect(19));
    QCOMPARE(painted.first(), expected);

    painted.clear();
    QTest::keyClick(&m.panel, Qt::Key_PageDown);
    QTRY_VERIFY(!painted.isEmpty());
    QCOMPARE(painted.first(), QRegion(m.panel.rect()));
}

void CalendarPanelTest::selectedDayColorFollowsTheColourRules()
{
    struct Row
    {
        int day;
        QColor colour;
    };
    const Row rows[] = {{8, kSunday}, {7, kSaturday}, {25, kHoliday}, {3, kMarked}, {10, Qt::black}};
    MainPanel m;
    for (const Row& r : rows) {
        m.panel.SetSelectedDate(EncodeDate(2024, 12, r.day));
        m.Render();
        QCOMPARE(m.panel.SelectedDayColor(), r.colour);
    }
    // A panel that never painted (the window starts hidden in the tray) still knows the colour.
    MainPanel hidden;
    hidden.panel.SetSelectedDate(EncodeDate(2024, 12, 22));
    QCOMPARE(hidden.panel.SelectedDayColor(), kSunday);
}

void CalendarPanelTest::mainWindowSizedPictureHasTheRightColours()
{
    MainPanel m;
    const QImage image = m.Render();
    const QColor grey = m.panel.palette().color(QPalette::Active, QPalette::Dark);
    QVERIFY(CellShows(image, m.panel.CellRect(7), kSunday));        // Sunday 1 December
    QVERIFY(CellShows(image, m.panel.CellRect(13), kSaturday));     // Saturday 7 December
    QVERIFY(CellShows(image, m.panel.CellRect(6 + 25), kHoliday));  // Christmas
    QVERIFY(!CellShows(image, m.panel.CellRect(6 + 25), kSunday));
    QVERIFY(CellShows(image, m.panel.CellRect(6 + 3), kMarked));  // a day with a note
    QVERIFY(CellShows(image, m.panel.CellRect(1), grey));         // 25 November
    QVERIFY(!CellShows(image, m.panel.CellRect(1), kSunday));

    const QRect today = m.panel.CellRect(6 + 24);
    QCOMPARE(image.pixel(today.topLeft() + QPoint(2, 2)), kToday.rgb());
    QCOMPARE(image.pixel(today.bottomRight() - QPoint(2, 2)), kToday.rgb());
    const QRect other = m.panel.CellRect(6 + 23);
    QVERIFY(image.pixel(other.topLeft() + QPoint(2, 2)) != kToday.rgb());

    // The selected 6 December sits in a sunken frame.
    const QRect selected = m.panel.CellRect(6 + 6);
    QCOMPARE(image.pixel(selected.topLeft() + QPoint(5, 0)), grey.rgb());
    QCOMPARE(image.pixel(selected.bottomLeft() + QPoint(5, 0)),
             m.panel.palette().color(QPalette::Active, QPalette::Light).rgb());

    // The week column: the first row is week 48, in the week colour.
    const GridLayout g = m.panel.Layout();
    QVERIFY(CellShows(image, QRect(g.left, g.gridTop, g.cellWidth, g.cellHeight), kWeek));
}

void CalendarPanelTest::disabledPanelShowsNoButtonsNoSelectionAndTakesNoInput()
{
    MainPanel m;
    m.panel.setEnabled(false);
    m.panel.show();
    QVERIFY(!m.panel.PreviousButton()->isVisible());
    QVERIFY(!m.panel.NextButton()->isVisible());
    const QImage image = m.Render();
    const QRect selected = m.panel.CellRect(6 + 6);
    QCOMPARE(image.pixel(selected.topLeft() + QPoint(5, 0)),
             m.panel.palette().color(QPalette::Active, QPalette::Button).rgb());

    QSignalSpy spy(&m.panel, &TCalenPnl::OnDateChange);
    QTest::mouseClick(&m.panel, Qt::LeftButton, {}, m.CentreOfDay(10));
    QTest::keyClick(&m.panel, Qt::Key_Right);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(m.panel.SelectedDate(), EncodeDate(2024, 12, 6));
}

void CalendarPanelTest::ownerHintsReplaceTheDefaultOnes()
{
    MainPanel m;
    m.panel.SetShowButtonHints(true);
    m.Render();
    QCOMPARE(m.panel.PreviousButton()->toolTip(), QStringLiteral("Letzter Monat"));
    m.panel.SetButtonHints(QStringLiteral("Poprzedni miesiąc"), QStringLiteral("Następny miesiąc"));
    m.Render();
    QCOMPARE(m.panel.PreviousButton()->toolTip(), QStringLiteral("Poprzedni miesiąc"));
    QCOMPARE(m.panel.NextButton()->toolTip(), QStringLiteral("Następny miesiąc"));
    // The week rule still follows GermanDate.
    QCOMPARE(m.panel.Grid().WeekColumnTitle(), std::string_view("Ty"));
}

void CalendarPanelTest::blankPanelShowsOnlyItsFrame()
{
    MainPanel m;
    m.panel.show();
    m.panel.SetBlank(true);
    QVERIFY(!m.panel.PreviousButton()->isVisible());
    const QImage image = m.Render();
    const QRgb face = m.panel.palette().color(QPalette::Active, QPalette::Button).rgb();
    const GridLayout g = m.panel.Layout();
    for (int y = g.top; y < g.gridBottom; ++y)
        for (int x = g.left; x < g.right; ++x)
            QVERIFY2(image.pixel(x, y) == face, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    // Nothing to click either.
    QSignalSpy spy(&m.panel, &TCalenPnl::OnDateChange);
    QTest::mouseClick(&m.panel, Qt::LeftButton, {}, m.CentreOfDay(10));
    QTest::keyClick(&m.panel, Qt::Key_Right);
    QCOMPARE(spy.count(), 0);
    m.panel.SetBlank(false);
    QVERIFY(m.panel.PreviousButton()->isVisible());
}

QTEST_MAIN(CalendarPanelTest)
#include "calendar_panel_test.moc"
