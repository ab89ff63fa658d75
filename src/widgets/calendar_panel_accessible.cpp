// The accessible table of the month-grid panel and its day cells.
#include "widgets/calendar_panel_accessible.h"

#include "calendar/date_format.h"
#include "widgets/calendar_panel.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <array>

namespace {

constexpr int kRows = 6;
constexpr int kColumns = 7;

class CalendarGridAccessible;

// A day cell. Cells are positions in the grid, not days: the same 42 objects serve every month,
// so a screen reader's references stay valid across month steps; only their names change.
class CalendarCellAccessible : public QAccessibleInterface,
                               public QAccessibleTableCellInterface,
                               public QAccessibleActionInterface
{
public:
    CalendarCellAccessible(TCalenPnl* panel, CalendarGridAccessible* table, int cell)
        : m_panel(panel), m_table(table), m_cell(cell)
    {
    }

    bool isValid() const override { return !m_panel.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_panel ? m_panel->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!m_panel || t != QAccessible::Name)
            return {};
        return m_panel->CellAccessibleName(m_cell);
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!m_panel)
            return {};
        const QRect r = m_panel->CellRect(m_cell);
        return QRect(m_panel->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override { return QAccessible::Cell; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_panel)
            return s;
        const bool hasDate = m_panel->CellDate(m_cell).has_value();
        s.invisible = !hasDate || !m_panel->isVisible();
        // Neighbour-month days are drawn grey and take no click: the reader says so too.
        s.disabled = hasDate && !m_panel->CellSelectable(m_cell);
        s.selectable = s.focusable = m_panel->CellSelectable(m_cell);
        s.selected = isSelected();
        s.focused = s.selected && m_panel->hasFocus();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return m_panel && m_panel->CellSelectable(m_cell) && m_panel->Grid().CurrentCell() == m_cell;
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return (m_cell - 1) % kColumns; }
    int rowIndex() const override { return (m_cell - 1) / kColumns; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

    // Activating a cell selects its day, as the mouse does.
    QStringList actionNames() const override
    {
        return m_panel && m_panel->CellSelectable(m_cell) ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override
    {
        if (m_panel && name == pressAction())
            m_panel->SelectCell(m_cell);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TCalenPnl> m_panel;
    CalendarGridAccessible* m_table;
    int m_cell;
};

class CalendarGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit CalendarGridAccessible(TCalenPnl* panel) : QAccessibleWidget(panel, QAccessible::Table) {}

    ~CalendarGridAccessible() override
    {
        for (QAccessible::Id id : m_cellIds) {
            if (id != 0)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    TCalenPnl* Panel() const { return static_cast<TCalenPnl*>(widget()); }

    QAccessibleInterface* Cell(int cell) const
    {
        QAccessible::Id& id = m_cellIds[static_cast<std::size_t>(cell - 1)];
        if (id == 0) {
            auto* created = new CalendarCellAccessible(Panel(), const_cast<CalendarGridAccessible*>(this), cell);
            id = QAccessible::registerAccessibleInterface(created);
        }
        return QAccessible::accessibleInterface(id);
    }

    // The owner's name ("Kalendarz") and the month shown, which changes as the user moves.
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || Panel()->Blank())
            return own;
        const QString title = QString::fromStdString(Panel()->Grid().Title(true));
        return own.isEmpty() ? title : own + QStringLiteral(", ") + title;
    }

    int childCount() const override { return MonthGrid::kCells + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0)
            return nullptr;
        if (index < MonthGrid::kCells)
            return Cell(index + 1);
        return QAccessibleWidget::child(index - MonthGrid::kCells);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child && child->role() == QAccessible::Cell && child->parent() == this) {
            const auto* cell = static_cast<const QAccessibleTableCellInterface*>(
                const_cast<QAccessibleInterface*>(child)->tableCellInterface());
            if (cell)
                return cell->rowIndex() * kColumns + cell->columnIndex();
        }
        const int widgetIndex = QAccessibleWidget::indexOfChild(child);
        return widgetIndex < 0 ? -1 : widgetIndex + MonthGrid::kCells;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (QAccessibleInterface* button = QAccessibleWidget::childAt(x, y))
            return button;
        const QPoint local = Panel()->mapFromGlobal(QPoint(x, y));
        const HitResult hit = MonthGrid::HitTest(Panel()->Layout(), local.x(), local.y());
        return hit.cell != 0 ? Cell(hit.cell) : nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        const int current = Panel()->Grid().CurrentCell();
        return Panel()->hasFocus() && Panel()->CellSelectable(current) ? Cell(current) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
            return nullptr;
        return Cell(row * kColumns + column + 1);
    }
    int selectedCellCount() const override { return SelectedCell() != 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        const int cell = SelectedCell();
        return cell != 0 ? QList<QAccessibleInterface*>{Cell(cell)} : QList<QAccessibleInterface*>{};
    }
    // Columns are weekdays in full, rows the weeks by their numbers where the panel shows them.
    QString columnDescription(int column) const override
    {
        if (column < 0 || column >= kColumns)
            return {};
        const int sundayFirst = Panel()->GermanDate() ? (column + 1) % 7 : column;
        return QString::fromUtf8(kLongDayNames[static_cast<std::size_t>(sundayFirst)].data(),
                                 static_cast<qsizetype>(kLongDayNames[static_cast<std::size_t>(sundayFirst)].size()));
    }
    QString rowDescription(int row) const override
    {
        const auto& weeks = Panel()->Grid().WeekTexts();
        if (!Panel()->ShowWeeks() || row < 0 || row >= static_cast<int>(weeks.size()))
            return {};
        return QStringLiteral("tydzień ") + QString::fromStdString(weeks[static_cast<std::size_t>(row)]);
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return kColumns; }
    int rowCount() const override { return kRows; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // One day is always selected: whole rows and columns cannot be.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    int SelectedCell() const
    {
        const int current = Panel()->Grid().CurrentCell();
        return Panel()->CellSelectable(current) ? current : 0;
    }

    mutable std::array<QAccessible::Id, MonthGrid::kCells> m_cellIds{};
};

QAccessibleInterface* CalendarCellAccessible::parent() const
{
    return m_panel ? m_table : nullptr;
}

QAccessibleInterface* CalendarCellAccessible::table() const
{
    return parent();
}

QAccessibleInterface* CalendarPanelFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TCalenPnl") && object && object->isWidgetType())
        return new CalendarGridAccessible(static_cast<TCalenPnl*>(object));
    return nullptr;
}

}  // namespace

void InstallCalendarPanelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(CalendarPanelFactory);
        return true;
    }();
    (void)installed;
}

int CalendarCellChildIndex(int cell)
{
    return cell - 1;
}
