// TCalenPnl: painting and input of the month-grid panel over the MonthGrid model.
#include "widgets/calendar_panel.h"

#include <QApplication>
#include <QBitmap>
#include <QDate>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QWheelEvent>

#include <algorithm>

namespace {

TDateTime SystemToday()
{
    const QDate today = QDate::currentDate();
    return TryEncodeDate(today.year(), today.month(), today.day()).value_or(0.0);
}

QColor ToQColor(Rgb rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb));
}

Rgb ToRgb(const QColor& colour)
{
    return static_cast<Rgb>(colour.rgb() & 0xFFFFFFu);
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

// Draws `width` one-pixel rings just inside `rect` and shrinks it past them.
void Frame3D(QPainter& painter, QRect& rect, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        painter.setPen(topLeft);
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
        rect.adjust(1, 1, -1, -1);
    }
}

QFont Bold(QFont font)
{
    font.setBold(true);
    return font;
}

}  // namespace

TCalenPnl::TCalenPnl(QWidget* parent, TodaySource today, BeepSink beep)
    : QWidget(parent), m_today(today ? std::move(today) : TodaySource(SystemToday)),
      m_beep(beep ? std::move(beep) : BeepSink([] { QApplication::beep(); })), m_grid(m_today())
{
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
    emit OnDateChange(this);
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
    emit OnDateChange(this);
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
    emit OnDateChange(this);
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
    for (const auto& [qtKey, key] : keys) {
        if (event->key() == qtKey) {
            const MoveResult result = m_grid.PressKey(key);
            ShowMove(result);
            // The owner follows the selection whichever way it moved; with both click flags
            // clear it knows that no click was made.
            if (result != MoveResult::Refused)
                emit OnDateChange(this);
            return;
        }
    }
    QWidget::keyPressEvent(event);
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

void TCalenPnl::paintEvent(QPaintEvent*)
{
    m_grid.SetToday(m_today());
    QPainter painter(this);
    PaintFrame(painter);
    const GridLayout g = Layout();
    const QColor face = palette().color(QPalette::Active, QPalette::Button);
    painter.fillRect(QRect(g.left, g.top, g.right - g.left, g.gridBottom - g.top), face);
    if (g.cellWidth <= 0 || g.cellHeight <= 0 || m_blank)
        return;

    // Hint changes are only stored by their setter; they are applied here.
    m_previousButton->setToolTip(m_showButtonHints ? PreviousButtonHint() : QString());
    m_nextButton->setToolTip(m_showButtonHints ? NextButtonHint() : QString());
    PaintHeader(painter, g);
    for (int cell = 1; cell <= MonthGrid::kCells; ++cell)
        PaintCell(painter, g, cell, false);
    if (m_grid.ShowWeeks()) {
        painter.setFont(font());
        painter.setPen(ToQColor(m_grid.Colours().week));
        const auto& weeks = m_grid.WeekTexts();
        for (std::size_t row = 0; row < weeks.size(); ++row) {
            const QRect r(g.left, g.gridTop + static_cast<int>(row) * g.cellHeight, g.cellWidth, g.cellHeight);
            painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(weeks[row]));
        }
    }
    if (isEnabled()) {
        PaintCell(painter, g, m_grid.CurrentCell(), true);
    }
}

void TCalenPnl::PaintFrame(QPainter& painter) const
{
    const QPalette& p = palette();
    const QColor face = p.color(QPalette::Active, QPalette::Button);
    const QColor light = p.color(QPalette::Active, QPalette::Light);
    const QColor dark = p.color(QPalette::Active, QPalette::Dark);
    QRect r = rect();
    painter.fillRect(r, face);
    if (m_borderLine) {
        painter.setPen(Qt::black);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    if (m_bevelOuter != Bevel::None) {
        const bool raised = m_bevelOuter == Bevel::Raised;
        Frame3D(painter, r, raised ? light : dark, raised ? dark : light, m_bevelWidth);
    }
    r.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    if (m_bevelInner != Bevel::None) {
        const bool raised = m_bevelInner == Bevel::Raised;
        Frame3D(painter, r, raised ? light : dark, raised ? dark : light, m_bevelWidth);
    }
}

void TCalenPnl::PaintHeader(QPainter& painter, const GridLayout& g) const
{
    const QColor face = palette().color(QPalette::Active, QPalette::Button);
    if (m_showDate) {
        const int inset = (g.right - g.left) / 20 + (isEnabled() ? 17 : 0);
        const int top = std::max(g.top + 2 * ((g.headerBottom - g.top) / 20), g.top + 1);
        const QRect title(g.left + inset, top, g.right - g.left - 2 * inset, g.cellHeight);
        painter.fillRect(title, face);
        painter.setFont(Bold(font()));
        painter.setPen(Qt::black);
        painter.drawText(title, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(m_grid.Title(m_useLongDate)));
    }

    // The weekday names are centred in the part of their row above the two separator lines, so
    // that the lines never cut a descender (the "y" of "Ty").
    const int rowTop = g.gridTop - g.cellHeight;
    const int rowHeight = std::max(g.cellHeight - 4, 1);
    if (m_grid.ShowWeeks()) {
        painter.setFont(font());
        painter.setPen(ToQColor(m_grid.Colours().week));
        painter.drawText(QRect(g.left, rowTop, g.cellWidth, rowHeight), Qt::AlignCenter | Qt::TextSingleLine,
                         QString::fromUtf8(m_grid.WeekColumnTitle()));
    }
    painter.setFont(Bold(font()));
    for (int column = 1; column <= 7; ++column) {
        QColor colour = Qt::black;
        if (column == m_grid.SundayColumn())
            colour = ToQColor(m_grid.Colours().sunday);
        else if (column == m_grid.SaturdayColumn())
            colour = ToQColor(m_grid.Colours().saturday);
        painter.setPen(colour);
        const QRect r(g.gridLeft + (column - 1) * g.cellWidth, rowTop, g.cellWidth, rowHeight);
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine,
                         QString::fromStdString(m_grid.WeekdayHeader(column, m_dayWidth)));
    }
    painter.setPen(palette().color(QPalette::Active, QPalette::Light));
    painter.drawLine(g.left, g.gridTop - 4, g.right - 1, g.gridTop - 4);
    painter.setPen(palette().color(QPalette::Active, QPalette::Dark));
    painter.drawLine(g.left, g.gridTop - 3, g.right - 1, g.gridTop - 3);
}

QColor TCalenPnl::ShadeColour()
{
    return QColor(0xFF, 0xF0, 0xB4);
}

void TCalenPnl::PaintCell(QPainter& painter, const GridLayout& g, int cell, bool selected) const
{
    const ::CellRect c = MonthGrid::CellRectOf(g, cell);
    const QRect r(c.x, c.y, c.width, c.height);
    const bool today = m_grid.IsToday(cell);
    painter.fillRect(r, today                   ? ToQColor(m_grid.Colours().today)
                        : m_grid.IsShaded(cell) ? ShadeColour()
                                                : palette().color(QPalette::Active, QPalette::Button));
    if (m_grid.CellKind(cell) == ' ')
        return;
    painter.setFont(selected ? Bold(font()) : font());
    painter.setPen(InkColour(m_grid.InkOf(cell)));
    painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, QString::fromUtf8(m_grid.CellText(cell)));
    if (m_grid.IsTradingSunday(cell)) {
        // A small corner triangle in the day's own ink: the number keeps the Sunday colour, and
        // a sign rather than a new colour stays readable beside the holiday and note colours.
        const int side = std::max(3, std::min(c.width, c.height) / 4);
        const QPoint corner(r.right() - 1, r.top() + 1);
        const QPolygon triangle({corner, corner - QPoint(side, 0), corner + QPoint(0, side)});
        painter.setBrush(painter.pen().color());
        painter.drawPolygon(triangle);
        painter.setBrush(Qt::NoBrush);
    }
    if (selected) {
        // A sunken one-pixel frame just inside the cell.
        painter.setPen(palette().color(QPalette::Active, QPalette::Dark));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(palette().color(QPalette::Active, QPalette::Light));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
}
