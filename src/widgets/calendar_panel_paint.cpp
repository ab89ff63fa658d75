// TCalenPnl's painting: the frame, the header and each day's cell over the MonthGrid model.
#include "widgets/calendar_panel.h"

#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {

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
        // The keyboard works on the selected day: a dotted ring inside the frame says the grid
        // has the focus, as a list's current item does.
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = r.adjusted(2, 2, -2, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}
