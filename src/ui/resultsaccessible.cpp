#include "ui/resultsaccessible.h"

#include "results/resultslist.h"
#include "ui/resultsview.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QPointer>
#include <functional>
#include <limits>

namespace zentavo {

namespace {

// Lists of selected rows or cells stop here: a screen reader asking for them
// after Ctrl+A on millions of rows would otherwise stall the window. The
// counts stay whole.
constexpr qsizetype kMostListed = 65536;
// Cells made for assistive technology are kept until the list changes; past
// this many they are made afresh.
constexpr qsizetype kMostCells = 100000;

int clampedInt(qint64 value)
{
    return int(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

// Something the list shows that has no children and no object of its own:
// a column title or a cell.
class Leaf : public QAccessibleInterface
{
public:
    explicit Leaf(ResultsView *view) : m_view(view) {}

    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}

protected:
    QPointer<ResultsView> m_view;
};

// A column title.
class HeaderCell final : public Leaf
{
public:
    HeaderCell(ResultsView *view, int column) : Leaf(view), m_column(column) {}
    int column() const { return m_column; }

    bool isValid() const override { return m_view && m_column < m_view->model()->columnCount(); }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid()
                   ? m_view->model()->headerData(m_column, Qt::Horizontal).toString()
                   : QString();
    }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QHeaderView *header = m_view->horizontalHeader();
        const QRect area(header->sectionViewportPosition(m_column), 0, header->sectionSize(m_column),
                         header->height());
        return {header->viewport()->mapToGlobal(area.topLeft()), area.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override { return {}; }

private:
    int m_column;
};

// A cell of a row of the list, in view or not. The first column's cell
// carries the row's tick.
class Cell final : public Leaf, public QAccessibleTableCellInterface, public QAccessibleActionInterface
{
public:
    Cell(ResultsView *view, qsizetype row, int column) : Leaf(view), m_row(row), m_column(column) {}

    bool isValid() const override
    {
        return m_view && m_view->hasList() && m_row < m_view->list().rowCount() &&
               m_column < m_view->list().columnCount();
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_view->list().cell(m_row, m_column) : QString();
    }
    QRect rect() const override
    {
        const QRect area = isValid() ? m_view->listCellRect(m_row, m_column) : QRect();
        return area.isNull() ? QRect() : QRect(m_view->viewport()->mapToGlobal(area.topLeft()), area.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = state.multiSelectable = state.extSelectable = state.focusable = true;
        state.selected = isSelected();
        const QModelIndex current = m_view->listSelection()->currentIndex();
        state.focused = m_view->hasFocus() && current.row() == m_row && current.column() == m_column;
        state.offscreen = m_view->listCellRect(m_row, m_column).isNull();
        if (m_column == 0) {
            state.checkable = true;
            state.checked = m_view->list().isChecked(m_row);
        }
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        if (type == QAccessible::ActionInterface && m_column == 0)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return isValid() && m_view->listSelection()->isRowSelected(int(m_row));
    }
    QList<QAccessibleInterface *> columnHeaderCells() const override
    {
        QAccessibleInterface *table = parent();
        QAccessibleInterface *title = table ? table->child(m_column) : nullptr;
        return title ? QList<QAccessibleInterface *>{title} : QList<QAccessibleInterface *>{};
    }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return int(m_row); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString &name) override
    {
        if (name == toggleAction() && isValid())
            m_view->toggleTick(m_row);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    qsizetype m_row;
    int m_column;
};

// The view as a table of the whole list.
class Table final : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit Table(ResultsView *view) : QAccessibleWidget(view, QAccessible::Table) {}
    ~Table() override { forgetCells(); }
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    bool isValid() const override { return QAccessibleWidget::isValid() && view()->hasList(); }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override
    {
        return isValid() ? clampedInt((qint64(rowCount()) + 1) * columnCount()) : 0;
    }
    QAccessibleInterface *child(int index) const override
    {
        const int columns = columnCount();
        if (index < 0 || columns == 0)
            return nullptr;
        if (index < columns)
            return kept(-1 - index, [&] { return new HeaderCell(view(), index); });
        return cellAt((index - columns) / columns, (index - columns) % columns);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        auto *asked = const_cast<QAccessibleInterface *>(child);
        QAccessibleInterface *parent = asked ? asked->parent() : nullptr;
        if (!parent || parent->object() != view())
            return -1;
        if (asked->role() == QAccessible::ColumnHeader)
            return static_cast<const HeaderCell *>(child)->column();
        const QAccessibleTableCellInterface *cell = asked->tableCellInterface();
        return cell ? accessibleCellIndex(columnCount(), cell->rowIndex(), cell->columnIndex()) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
        const qsizetype row = isValid() ? view()->listRowAt(at) : -1;
        return row < 0 ? nullptr : cellAt(int(row), view()->columnAt(at.x()));
    }
    QAccessibleInterface *focusChild() const override
    {
        const QModelIndex current = view()->listSelection()->currentIndex();
        return view()->hasFocus() && current.isValid() ? cellAt(current.row(), current.column()) : nullptr;
    }

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        return kept(qint64(row) * columnCount() + column, [&] { return new Cell(view(), row, column); });
    }
    int selectedCellCount() const override { return clampedInt(qint64(selectedRowCount()) * columnCount()); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        QList<QAccessibleInterface *> cells;
        for (const int row : selectedRows())
            for (int column = 0; column < columnCount() && cells.size() < kMostListed; ++column)
                cells.append(cellAt(row, column));
        return cells;
    }
    QString columnDescription(int column) const override
    {
        return view()->model()->headerData(column, Qt::Horizontal).toString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return everyRowSelected() ? columnCount() : 0; }
    int selectedRowCount() const override
    {
        qint64 rows = 0;
        for (const RowRun &run : selectedRuns())
            rows += run.last - run.first + 1;
        return clampedInt(rows);
    }
    int columnCount() const override { return isValid() ? view()->list().columnCount() : 0; }
    int rowCount() const override { return isValid() ? view()->list().rowCount() : 0; }
    QList<int> selectedColumns() const override
    {
        QList<int> columns;
        for (int column = 0; column < selectedColumnCount(); ++column)
            columns.append(column);
        return columns;
    }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        for (const RowRun &run : selectedRuns())
            for (qsizetype row = run.first; row <= run.last && rows.size() < kMostListed; ++row)
                rows.append(int(row));
        return rows;
    }
    bool isColumnSelected(int column) const override
    {
        return column >= 0 && column < columnCount() && everyRowSelected();
    }
    bool isRowSelected(int row) const override
    {
        return isValid() && view()->listSelection()->isRowSelected(row);
    }
    bool selectRow(int row) override { return selectRow(row, QItemSelectionModel::Select); }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override { return selectRow(row, QItemSelectionModel::Deselect); }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *event) override
    {
        // Rows come and go in the view's window as it scrolls; the cells
        // stand for rows of the list, which change only as a whole.
        const auto type = event->modelChangeType();
        if (type != QAccessibleTableModelChangeEvent::RowsInserted &&
            type != QAccessibleTableModelChangeEvent::RowsRemoved)
            forgetCells();
    }

private:
    ResultsView *view() const { return static_cast<ResultsView *>(widget()); }
    std::vector<RowRun> selectedRuns() const
    {
        return isValid() ? view()->selectedRuns() : std::vector<RowRun>();
    }
    bool everyRowSelected() const
    {
        const std::vector<RowRun> runs = selectedRuns();
        return rowCount() > 0 && runs.size() == 1 && runs[0].first == 0 && runs[0].last == rowCount() - 1;
    }
    bool selectRow(int row, QItemSelectionModel::SelectionFlags how)
    {
        if (row < 0 || row >= rowCount())
            return false;
        view()->listSelection()->select(view()->list().index(row, 0), how | QItemSelectionModel::Rows);
        return true;
    }
    // The interface kept for a cell or title, made when first asked for.
    QAccessibleInterface *kept(qint64 key, const std::function<QAccessibleInterface *()> &make) const
    {
        if (const auto found = m_cells.constFind(key); found != m_cells.constEnd())
            if (QAccessibleInterface *cell = QAccessible::accessibleInterface(*found))
                return cell;
        if (m_cells.size() >= kMostCells)
            forgetCells();
        QAccessibleInterface *cell = make();
        m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    void forgetCells() const
    {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
        m_cells.clear();
    }

    mutable QHash<qint64, QAccessible::Id> m_cells;
};

} // namespace

QAccessibleInterface *accessibleResults(const QString &className, QObject *object)
{
    if (className == QLatin1String(ResultsView::staticMetaObject.className()))
        if (auto *view = qobject_cast<ResultsView *>(object))
            return new Table(view);
    return nullptr;
}

int accessibleCellIndex(int columns, qsizetype row, int column)
{
    return clampedInt(columns + qint64(row) * columns + column);
}

} // namespace zentavo
