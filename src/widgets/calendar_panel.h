// TCalenPnl: the framed month-grid panel, four of which surround the main window's day view.
#pragma once

#include "calendar/month_grid.h"
#include "calendar/spoken_day.h"

#include <QColor>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The model's 0xRRGGBB colours as Qt's, and back.
inline QColor ToQColor(Rgb rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb));
}

inline Rgb ToRgb(const QColor& colour)
{
    return static_cast<Rgb>(colour.rgb() & 0xFFFFFFu);
}

// The two month-step buttons: a plain glyph button; the panel gives it its behaviour.
class TCalButton : public QPushButton
{
public:
    using QPushButton::QPushButton;
};

// A month as six rows of seven day cells under a row of weekday names, optionally with a title
// row (month, year, month-step buttons) and a week-number column. Weekends, holidays, marked days
// and today are coloured; neighbour-month days are grey.
//
// Use from the owner:
//   - read SelectedDate(), Year(), Month(), Day() at any time;
//   - SetSelectedDate(), SetMonth(), SetYear() move the selection and fire OnDateChange (a neighbour
//     panel is moved with SetMonth followed by SetYear); bad values beep and change nothing;
//   - Holidays and Markdays are lists of date keys: "yyyy.mm.dd" marks one date, "    .mm.dd" that
//     day in every year, a shorter line every day whose key begins with it ("2024.12"). Setting them
//     does not repaint: call update() or repaint() afterwards;
//   - inside an OnDateChange handler LeftClick()/RightClick() tell whether a mouse press caused it
//     (both are clear after a key move; Space on the grid is a left click on the selected day),
//     and SelectedDayColor() is the colour the selected day's number is drawn in;
//   - a disabled panel only displays: no buttons, no selection, no input.
// Screen readers see the panel as a table of 6 x 7 day cells (calendar_panel_accessible.h); each
// cell is named by SpokenDayName with what the owner's SetDayFacts tells of the day.
// "Today" and the beep come from the two functions given at construction, so tests can fix both;
// the main window passes its clock, e.g. TCalenPnl(parent, [&clock] { return LocalNow(clock); }).
// Today is read again at every paint, so a panel left open past midnight moves its today mark.
class TCalenPnl : public QWidget
{
    Q_OBJECT

public:
    using TodaySource = std::function<TDateTime()>;  // local date (fraction ignored)
    using BeepSink = std::function<void()>;
    // The holiday and the note of a day for its spoken name; the panel adds today and the sign.
    using DayFactsSource = std::function<SpokenDayFacts(TDateTime)>;

    // An empty `today` reads the system's local date; an empty `beep` calls QApplication::beep.
    explicit TCalenPnl(QWidget* parent = nullptr, TodaySource today = {}, BeepSink beep = {});

    TDateTime SelectedDate() const { return m_grid.SelectedDate(); }
    int Year() const { return m_grid.Year(); }
    int Month() const { return m_grid.Month(); }
    int Day() const { return m_grid.Day(); }
    void SetSelectedDate(TDateTime date);  // the date part counts; same date: no notification
    // As many clicks of the month-step buttons: back for a negative count, forward for a positive.
    void StepMonths(int months);
    void SetMonth(int month);
    void SetYear(int year);

    bool LeftClick() const { return m_leftClick; }
    bool RightClick() const { return m_rightClick; }
    // The colour of the selected day's number under the current lists and colours: what the last
    // repaint drew, and also right before the first paint or while the panel is hidden.
    QColor SelectedDayColor() const;

    const std::vector<std::string>& Holidays() const { return m_grid.Holidays(); }
    void SetHolidays(std::vector<std::string> lines) { m_grid.SetHolidays(std::move(lines)); }
    const std::vector<std::string>& Markdays() const { return m_grid.Markdays(); }
    void SetMarkdays(std::vector<std::string> lines) { m_grid.SetMarkdays(std::move(lines)); }
    // Days whose cells get a light shade under the number, a list like the two above (the
    // school breaks); the number keeps its colour and today's colour covers the shade.
    const std::vector<std::string>& ShadedDays() const { return m_grid.ShadedDays(); }
    void SetShadedDays(std::vector<std::string> lines) { m_grid.SetShadedDays(std::move(lines)); }
    // The shade's colour: a pale yellow, light enough for every ink of the numbers.
    static QColor ShadeColour();

    void SetShowDate(bool on);
    void SetUseLongDate(bool on);
    void SetDayWidth(TDayWidth width);
    bool GermanDate() const { return m_grid.GermanDate(); }
    void SetGermanDate(bool on);
    bool ShowWeeks() const { return m_grid.ShowWeeks(); }
    void SetShowWeeks(bool on);
    void SetShowButtonHints(bool on) { m_showButtonHints = on; }  // takes effect at the next paint
    // The owner's own texts for the two buttons' hints, in place of the ones GermanDate picks;
    // empty texts go back to those. Takes effect at the next paint.
    void SetButtonHints(const QString& previous, const QString& next);
    QString PreviousButtonHint() const;
    QString NextButtonHint() const;
    // A blank panel shows its frame and nothing else: for a month the calendar cannot show.
    bool Blank() const { return m_blank; }
    void SetBlank(bool on);

    QColor ColHoliday() const;
    void SetColHoliday(const QColor& colour);
    QColor ColSunday() const;
    void SetColSunday(const QColor& colour);
    QColor ColSaturday() const;
    void SetColSaturday(const QColor& colour);
    QColor ColMarked() const;
    void SetColMarked(const QColor& colour);
    QColor ColToday() const;
    void SetColToday(const QColor& colour);
    QColor ColWeek() const;
    void SetColWeek(const QColor& colour);

    // The panel's frame: an outer and an inner bevel (raised, lowered or none) of one width, a
    // border of the panel's colour between them, and an optional one-pixel line around it all.
    enum class Bevel
    {
        None,
        Lowered,
        Raised
    };
    void SetFrame(Bevel outer, Bevel inner, int bevelWidth, int borderWidth, bool borderLine);
    int FrameThickness() const;

    // Geometry of the current size, and where a cell (1..42) is drawn; for the owner's tests.
    GridLayout Layout() const;
    QRect CellRect(int cell) const;
    const MonthGrid& Grid() const { return m_grid; }

    // For screen readers. Cell n (1..42) holds a date unless it is empty; only days of the shown
    // month of an enabled, non-blank panel can be selected, as with the mouse.
    void SetDayFacts(DayFactsSource source) { m_dayFacts = std::move(source); }
    std::optional<TDateTime> CellDate(int cell) const;
    bool CellSelectable(int cell) const;
    QString CellAccessibleName(int cell) const;  // empty for an empty cell
    // Selects the day of a selectable cell as a click would, without the click flags.
    void SelectCell(int cell);
    TCalButton* PreviousButton() const { return m_previousButton; }
    TCalButton* NextButton() const { return m_nextButton; }

signals:
    // After every mouse selection, every key that moved the selection, every click of a month-step
    // button (also a refused one) and every successful SetSelectedDate/SetMonth/SetYear; the new
    // date is already in place.
    void OnDateChange(TCalenPnl* sender);
    // A double-click whose press lay inside the day grid.
    void OnDblClick(TCalenPnl* sender);
    // The mouse wheel turned over a disabled grid (one that only shows a month): `months` to go,
    // negative back (the wheel turned up), for the owner to move what the grid shows. An enabled
    // grid steps its own month instead.
    void OnWheelMonths(TCalenPnl* sender, int months);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Also for a disabled grid, which gets no wheelEvent.
    bool event(QEvent* event) override;

private:
    void AnnounceOwnerChange(bool changed);  // beeps when false
    // OnDateChange, then the screen reader hears of the selected cell when it moved.
    void DateChanged();
    void AnnounceSelection(bool force);
    void Press(const QPoint& at, Qt::MouseButton button);
    void ClickSelectedDay();
    void StepMonth(GridKey key);
    void ShowMove(MoveResult result);
    void PlaceButtons();
    void SetColour(Rgb GridColours::*field, const QColor& colour);
    QColor InkColour(CellInk ink) const;
    void PaintFrame(QPainter& painter) const;
    void PaintHeader(QPainter& painter, const GridLayout& layout) const;
    void PaintCell(QPainter& painter, const GridLayout& layout, int cell, bool selected) const;

    TodaySource m_today;  // before m_grid, which starts on today
    BeepSink m_beep;
    MonthGrid m_grid;
    bool m_showDate = false;
    bool m_useLongDate = false;
    TDayWidth m_dayWidth = TDayWidth::dw2Char;
    bool m_showButtonHints = false;
    QString m_previousHint;
    QString m_nextHint;
    bool m_blank = false;
    int m_wheelRest = 0;  // the part of a wheel notch not yet turned into a month
    bool m_leftClick = false;
    bool m_rightClick = false;
    QPoint m_pressPoint;
    Bevel m_bevelOuter = Bevel::Raised;
    Bevel m_bevelInner = Bevel::Lowered;
    int m_bevelWidth = 1;
    int m_borderWidth = 1;
    bool m_borderLine = false;
    TCalButton* m_previousButton = nullptr;
    TCalButton* m_nextButton = nullptr;
    DayFactsSource m_dayFacts;
    TDateTime m_announcedDate = 0;  // the selection a screen reader last heard of
};
