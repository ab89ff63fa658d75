// TCalenPnl: painting and input of the month-grid panel over the MonthGrid model.
#include "widgets/calendar_panel.h"

#include "widgets/calendar_panel_accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QBitmap>
#include <QDate>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

namespace {

TDateTime SystemToday()
{
    const QDate today = QDate::currentDate();
    return TryEncodeDate(today.year(), today.month(), today.day()).value_or(0.0);
}

// The 8 x 6 month-step pictures "DECMONTH" (pointing left) and "INCMONTH" (pointing right): a black
// triangle on white. As with any button glyph, the white around the triangle is shown transparent.
QIcon MonthStepGlyph(bool pointsRight)
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::white);
    static const int widths[6] = {1, 2, 3, 3, 2, 1};
    for (int y = 0; y < 6; ++y) {
        for (int i = 0; i < widths[y]; ++i)
            image.setPixel(pointsRight ? 2 + i : 5 - i, y, qRgb(0, 0, 0));
    }
    // On a scaled screen each pixel of the bitmap becomes a square block rather than a blur.
    QIcon icon;
    for (int scale : {1, 2, 3}) {
        QPixmap glyph = QPixmap::fromImage(
            image.scaled(8 * scale, 6 * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        glyph.setMask(glyph.createMaskFromColor(Qt::white));
        icon.addPixmap(glyph);
    }
    return icon;
}

}  // namespace

TCalenPnl::TCalenPnl(QWidget* parent, TodaySource today, BeepSink beep)
    : QWidget(parent), m_today(today ? std::move(today) : TodaySource(SystemToday)),
      m_beep(beep ? std::move(beep) : BeepSink([] { QApplication::beep(); })), m_grid(m_today())
{
    InstallCalendarPanelAccessibility();
    m_announcedDate = m_grid.SelectedDate();
    // Every pixel is painted here, so a two-cell update need not clear the rest first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(160, 160);

    m_previousButton = new TCalButton(this);
    m_nextButton = new TCalButton(this);
    for (TCalButton* button : {m_previousButton, m_nextButton}) {
        button->setIconSize(QSize(8, 6));
        button->setFocusPolicy(Qt::NoFocus);
        button->hide();
    }
    m_previousButton->setIcon(MonthStepGlyph(false));
    m_nextButton->setIcon(MonthStepGlyph(true));
    // The buttons show only a triangle; their hints may be off, and a screen reader needs words.
    // The keyboard steps months with Page Up and Page Down, so they take no focus.
    m_previousButton->setAccessibleName(QStringLiteral("Poprzedni miesiąc"));
    m_nextButton->setAccessibleName(QStringLiteral("Następny miesiąc"));
    connect(m_previousButton, &QPushButton::clicked, this, [this] { StepMonth(GridKey::PageUp); });
    connect(m_nextButton, &QPushButton::clicked, this, [this] { StepMonth(GridKey::PageDown); });
}

void TCalenPnl::SetSelectedDate(TDateTime date)
{
    const SetDateResult result = m_grid.SetSelectedDate(date);
    if (result != SetDateResult::Unchanged)
        AnnounceOwnerChange(result == SetDateResult::Changed);
}

void TCalenPnl::SetMonth(int month)
{
    AnnounceOwnerChange(m_grid.SetMonth(month));
}

void TCalenPnl::SetYear(int year)
{
    AnnounceOwnerChange(m_grid.SetYear(year));
}

void TCalenPnl::AnnounceOwnerChange(bool changed)
{
    if (!changed) {
        m_beep();
        return;
    }
    DateChanged();
    update();
}

void TCalenPnl::SetShowDate(bool on)
{
    if (on == m_showDate)
        return;
    m_showDate = on;
    PlaceButtons();
    update();
}

void TCalenPnl::SetUseLongDate(bool on)
{
    if (on == m_useLongDate)
        return;
    m_useLongDate = on;
    update();
}

void TCalenPnl::SetDayWidth(TDayWidth width)
{
    if (width == m_dayWidth)
        return;
    m_dayWidth = width;
    update();
}

void TCalenPnl::SetGermanDate(bool on)
{
    if (on == m_grid.GermanDate())
        return;
    m_grid.SetGermanDate(on);
    update();
}

void TCalenPnl::SetButtonHints(const QString& previous, const QString& next)
{
    m_previousHint = previous;
    m_nextHint = next;
}

QString TCalenPnl::PreviousButtonHint() const
{
    return m_previousHint.isEmpty() ? QString::fromUtf8(m_grid.PreviousButtonHint()) : m_previousHint;
}

QString TCalenPnl::NextButtonHint() const
{
    return m_nextHint.isEmpty() ? QString::fromUtf8(m_grid.NextButtonHint()) : m_nextHint;
}

void TCalenPnl::SetBlank(bool on)
{
    if (on == m_blank)
        return;
    m_blank = on;
    PlaceButtons();
    update();
}

void TCalenPnl::SetShowWeeks(bool on)
{
    if (on == m_grid.ShowWeeks())
        return;
    m_grid.SetShowWeeks(on);
    PlaceButtons();
    update();
}

QColor TCalenPnl::ColHoliday() const
{
    return ToQColor(m_grid.Colours().holiday);
}
QColor TCalenPnl::ColSunday() const
{
    return ToQColor(m_grid.Colours().sunday);
}
QColor TCalenPnl::ColSaturday() const
{
    return ToQColor(m_grid.Colours().saturday);
}
QColor TCalenPnl::ColMarked() const
{
    return ToQColor(m_grid.Colours().marked);
}
QColor TCalenPnl::ColToday() const
{
    return ToQColor(m_grid.Colours().today);
}
QColor TCalenPnl::ColWeek() const
{
    return ToQColor(m_grid.Colours().week);
}
void TCalenPnl::SetColHoliday(const QColor& colour)
{
    SetColour(&GridColours::holiday, colour);
}
void TCalenPnl::SetColSunday(const QColor& colour)
{
    SetColour(&GridColours::sunday, colour);
}
void TCalenPnl::SetColSaturday(const QColor& colour)
{
    SetColour(&GridColours::saturday, colour);
}
void TCalenPnl::SetColMarked(const QColor& colour)
{
    SetColour(&GridColours::marked, colour);
}
void TCalenPnl::SetColToday(const QColor& colour)
{
    SetColour(&GridColours::today, colour);
}
void TCalenPnl::SetColWeek(const QColor& colour)
{
    SetColour(&GridColours::week, colour);
}

void TCalenPnl::SetColour(Rgb GridColours::*field, const QColor& colour)
{
    Rgb& value = m_grid.Colours().*field;
    if (value == ToRgb(colour))
        return;
    value = ToRgb(colour);
    update();
}

void TCalenPnl::SetFrame(Bevel outer, Bevel inner, int bevelWidth, int borderWidth, bool borderLine)
{
    m_bevelOuter = outer;
    m_bevelInner = inner;
    m_bevelWidth = std::max(0, bevelWidth);
    m_borderWidth = std::max(0, borderWidth);
    m_borderLine = borderLine;
    PlaceButtons();
    update();
}

int TCalenPnl::FrameThickness() const
{
    return (m_borderLine ? 1 : 0) + (m_bevelOuter != Bevel::None ? m_bevelWidth : 0)
           + (m_bevelInner != Bevel::None ? m_bevelWidth : 0) + m_borderWidth;
}

GridLayout TCalenPnl::Layout() const
{
    return ComputeGridLayout(width(), height(), FrameThickness(), m_grid.ShowWeeks(), m_showDate);
}

QRect TCalenPnl::CellRect(int cell) const
{
    const ::CellRect r = MonthGrid::CellRectOf(Layout(), cell);
    return QRect(r.x, r.y, r.width, r.height);
}

QColor TCalenPnl::SelectedDayColor() const
{
    // Worked out rather than remembered from the last paint: a hidden panel never paints, and the
    // owner colours its day number with this right after a change.
    return InkColour(m_grid.InkOf(m_grid.CurrentCell()));
}

QColor TCalenPnl::InkColour(CellInk ink) const
{
    if (ink == CellInk::Grey)
        return palette().color(QPalette::Active, QPalette::Dark);
    return ToQColor(m_grid.ColourOf(ink));
}

void TCalenPnl::PlaceButtons()
{
    const bool shown = m_showDate && isEnabled() && !m_blank;
    if (shown) {
        const GridLayout g = Layout();
        const int y = g.top + (g.headerBottom - g.top) / 15;
        const int margin = (g.right - g.left) / 30;
        m_previousButton->setGeometry(g.left + margin, y, 16, 16);
        m_nextButton->setGeometry(g.right - margin - 16, y, 16, 16);
    }
    m_previousButton->setVisible(shown);
    m_nextButton->setVisible(shown);
}

void TCalenPnl::ShowMove(MoveResult result)
{
    switch (result) {
    case MoveResult::Refused:
        m_beep();
        break;
    case MoveResult::SameMonth:
        // Only the two cells whose look changed: moving along a month must stay cheap.
        update(CellRect(m_grid.PreviousCell()));
        update(CellRect(m_grid.CurrentCell()));
        break;
    case MoveResult::OtherMonth:
        update();
        break;
    }
}

void TCalenPnl::StepMonths(int months)
{
    for (; months < 0; ++months)
        StepMonth(GridKey::PageUp);
    for (; months > 0; --months)
        StepMonth(GridKey::PageDown);
}

bool TCalenPnl::event(QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return QWidget::event(event);
    auto* wheel = static_cast<QWheelEvent*>(event);
    // Up is earlier, as in other calendars; fine-grained wheels and touchpads send parts of the
    // usual 120 a notch, which add up to whole months.
    m_wheelRest -= wheel->angleDelta().y();
    const int months = m_wheelRest / QWheelEvent::DefaultDeltasPerStep;
    m_wheelRest -= months * QWheelEvent::DefaultDeltasPerStep;
    wheel->accept();
    if (months == 0 || m_blank)
        return true;
    if (isEnabled())
        StepMonths(months);
    else
        emit OnWheelMonths(this, months);
    return true;
}

void TCalenPnl::StepMonth(GridKey key)
{
    ShowMove(m_grid.PressKey(key));
    // The owner hears of every click, even a refused one at the ends of time.
    DateChanged();
}

void TCalenPnl::Press(const QPoint& at, Qt::MouseButton button)
{
    m_pressPoint = at;
    if (m_blank)
        return;
    const HitResult hit = MonthGrid::HitTest(Layout(), at.x(), at.y());
    if (hit.cell == 0 || m_grid.CellKind(hit.cell) != '+')
        return;
    struct ResetFlags
    {
        TCalenPnl* panel;
        ~ResetFlags() { panel->m_leftClick = panel->m_rightClick = false; }
    } reset{this};
    m_leftClick = button == Qt::LeftButton;
    m_rightClick = button == Qt::RightButton;
    ShowMove(m_grid.MoveDays(hit.cell - m_grid.CurrentCell()) ? MoveResult::SameMonth : MoveResult::Refused);
    DateChanged();
}

void TCalenPnl::ClickSelectedDay()
{
    struct ResetFlags
    {
        TCalenPnl* panel;
        ~ResetFlags() { panel->m_leftClick = false; }
    } reset{this};
    m_leftClick = true;
    DateChanged();
}

void TCalenPnl::mousePressEvent(QMouseEvent* event)
{
    Press(event->position().toPoint(), event->button());
}

void TCalenPnl::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click arrives only as this event, yet it is a press like any other.
    Press(event->position().toPoint(), event->button());
    if (MonthGrid::HitTest(Layout(), m_pressPoint.x(), m_pressPoint.y()).insideGrid)
        emit OnDblClick(this);
}

void TCalenPnl::keyPressEvent(QKeyEvent* event)
{
    if (m_blank) {
        QWidget::keyPressEvent(event);
        return;
    }
    static const std::pair<int, GridKey> keys[] = {
        {Qt::Key_Left, GridKey::Left}, {Qt::Key_Right, GridKey::Right},   {Qt::Key_Up, GridKey::Up},
        {Qt::Key_Down, GridKey::Down}, {Qt::Key_PageUp, GridKey::PageUp}, {Qt::Key_PageDown, GridKey::PageDown},
        {Qt::Key_Home, GridKey::Home}, {Qt::Key_End, GridKey::End},
    };
    // Space is a click on the selected day, Shift+Space a Shift-click: what the owner does with a
    // click (the multi-day note runs from one clicked day to a Shift-clicked one) needs no mouse.
    if (event->key() == Qt::Key_Space && isEnabled()) {
        ClickSelectedDay();
        return;
    }
    for (const auto& [qtKey, key] : keys) {
        if (event->key() == qtKey) {
            const MoveResult result = m_grid.PressKey(key);
            ShowMove(result);
            // The owner follows the selection whichever way it moved; with both click flags
            // clear it knows that no click was made.
            if (result != MoveResult::Refused)
                DateChanged();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TCalenPnl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Qt announces the panel; a screen reader should go on to the day it is on.
    AnnounceSelection(true);
}

void TCalenPnl::DateChanged()
{
    emit OnDateChange(this);
    // After the owner's handler: it may have brought the holidays and notes up to date.
    AnnounceSelection(false);
}

void TCalenPnl::AnnounceSelection(bool force)
{
    const TDateTime selected = m_grid.SelectedDate();
    const bool moved = selected != m_announcedDate;
    m_announcedDate = selected;
    if ((!moved && !force) || !QAccessible::isActive())
        return;
    const int child = CalendarCellChildIndex(m_grid.CurrentCell());
    if (moved) {
        // The table's name holds the month, which a move may have changed.
        QAccessibleEvent name(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&name);
        QAccessibleEvent selection(this, QAccessible::Selection);
        selection.setChild(child);
        QAccessible::updateAccessibility(&selection);
    }
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    }
}

std::optional<TDateTime> TCalenPnl::CellDate(int cell) const
{
    if (cell < 1 || cell > MonthGrid::kCells || m_blank || m_grid.CellKind(cell) == ' ')
        return std::nullopt;
    // Neighbour-month days lie next to the month's own, so one offset from the first covers all.
    const auto first = TryEncodeDate(m_grid.Year(), m_grid.Month(), 1);
    if (!first)
        return std::nullopt;
    const TDateTime date = *first + (cell - m_grid.FirstCell());
    if (date < *TryEncodeDate(1, 1, 1) || date > *TryEncodeDate(9999, 12, 31))
        return std::nullopt;
    return date;
}

bool TCalenPnl::CellSelectable(int cell) const
{
    return isEnabled() && CellDate(cell) && m_grid.CellKind(cell) == '+';
}

QString TCalenPnl::CellAccessibleName(int cell) const
{
    const std::optional<TDateTime> date = CellDate(cell);
    if (!date)
        return {};
    SpokenDayFacts facts = m_dayFacts ? m_dayFacts(*date) : SpokenDayFacts{};
    facts.tradingSunday = m_grid.IsTradingSunday(cell);
    facts.today = DateOf(m_today()) == *date;
    return QString::fromStdString(SpokenDayName(*date, facts));
}

void TCalenPnl::SelectCell(int cell)
{
    if (!CellSelectable(cell))
        return;
    ShowMove(m_grid.MoveDays(cell - m_grid.CurrentCell()) ? MoveResult::SameMonth : MoveResult::Refused);
    DateChanged();
}

void TCalenPnl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceButtons();
}

void TCalenPnl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        PlaceButtons();
        update();
    }
}
