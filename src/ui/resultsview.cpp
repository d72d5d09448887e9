#include "ui/resultsview.h"

#include "results/resultslist.h"
#include "ui/resultsaccessible.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

namespace zentavo {

ResultsWindow::ResultsWindow(ResultsList &list, QObject *parent) : QAbstractTableModel(parent), m_list(list)
{
    connect(&list, &QAbstractItemModel::columnsAboutToBeInserted, this,
            [this](const QModelIndex &, int first, int last) { beginInsertColumns({}, first, last); });
    connect(&list, &QAbstractItemModel::columnsInserted, this, [this] { endInsertColumns(); });
    connect(&list, &QAbstractItemModel::columnsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) { beginRemoveColumns({}, first, last); });
    connect(&list, &QAbstractItemModel::columnsRemoved, this, [this] { endRemoveColumns(); });
    connect(&list, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&list, &QAbstractItemModel::modelReset, this, [this] {
        m_top = 0;
        m_shown = shownRows();
        endResetModel();
    });
    connect(&list, &QAbstractItemModel::rowsInserted, this, [this] { resize(); });
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
                const qsizetype first = std::max<qsizetype>(topLeft.row(), m_top);
                const qsizetype last = std::min<qsizetype>(bottomRight.row(), m_top + m_shown - 1);
                if (first <= last)
                    emit dataChanged(index(int(first - m_top), topLeft.column()),
                                     index(int(last - m_top), bottomRight.column()), roles);
            });
    connect(&list, &QAbstractItemModel::headerDataChanged, this, &QAbstractItemModel::headerDataChanged);
}

int ResultsWindow::shownRows() const
{
    return int(std::clamp<qsizetype>(m_list.rowCount() - m_top, 0, m_rows));
}

void ResultsWindow::resize()
{
    const int rows = shownRows();
    if (rows > m_shown) {
        beginInsertRows({}, m_shown, rows - 1);
        m_shown = rows;
        endInsertRows();
    } else if (rows < m_shown) {
        beginRemoveRows({}, rows, m_shown - 1);
        m_shown = rows;
        endRemoveRows();
    }
}

void ResultsWindow::place(qsizetype top, int rows)
{
    const bool moved = top != m_top;
    m_top = top;
    m_rows = std::max(rows, 1);
    resize();
    if (moved && m_shown > 0)
        emit dataChanged(index(0, 0), index(m_shown - 1, columnCount() - 1));
}

int ResultsWindow::windowRow(qsizetype listRow) const
{
    return listRow >= m_top && listRow < m_top + m_shown ? int(listRow - m_top) : -1;
}

QModelIndex ResultsWindow::toList(const QModelIndex &index) const
{
    return index.isValid() ? m_list.index(int(listRow(index.row())), index.column()) : QModelIndex();
}

int ResultsWindow::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int ResultsWindow::columnCount(const QModelIndex &parent) const
{
    return m_list.columnCount(parent);
}

QVariant ResultsWindow::data(const QModelIndex &index, int role) const
{
    return m_list.data(toList(index), role);
}

bool ResultsWindow::setData(const QModelIndex &index, const QVariant &value, int role)
{
    return m_list.setData(toList(index), value, role);
}

Qt::ItemFlags ResultsWindow::flags(const QModelIndex &index) const
{
    return m_list.flags(toList(index));
}

QVariant ResultsWindow::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Only the columns have a header shown.
    return orientation == Qt::Horizontal ? m_list.headerData(section, orientation, role) : QVariant();
}

ResultsView::ResultsView(ResultsList &list, QWidget *parent)
    : QTableView(parent), m_list(list), m_window(list), m_listSelection(&list, nullptr)
{
    static const bool accessible = (QAccessible::installFactory(accessibleResults), true);
    Q_UNUSED(accessible);
    setModel(&m_window);
    // The list may go first, as when the window closes: the view then
    // shows nothing rather than asking it.
    connect(&list, &QObject::destroyed, this, [this] {
        m_listGone = true;
        setModel(nullptr);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &ResultsView::takeWindowCurrent);
    // Whoever selects in list rows sees it in the view.
    connect(&m_listSelection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing)
            showListSelection();
        notifyAccessibility(QAccessible::SelectionWithin);
    });
    connect(&m_listSelection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (!m_syncing) {
            if (current.isValid())
                showListRow(current.row());
            showListSelection();
        }
        notifyAccessibility(QAccessible::Focus);
    });
    connect(&list, &QAbstractItemModel::rowsInserted, this, &ResultsView::updateScrollBar);
    connect(&list, &QAbstractItemModel::modelReset, this, [this] {
        m_anchor = 0;
        m_drag = {};
        m_tickRow = -1;
        updateScrollBar();
        notifyAccessibility(QAccessible::TableModelChanged);
    });
    // Cells told to assistive technology are gone with the rows or columns.
    const auto columnsChanged = [this] { notifyAccessibility(QAccessible::TableModelChanged); };
    connect(&list, &QAbstractItemModel::columnsInserted, this, columnsChanged);
    connect(&list, &QAbstractItemModel::columnsRemoved, this, columnsChanged);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_placing && !m_listGone)
            moveTo(value);
    });
}

int ResultsView::rowsThatFit(int height) const
{
    return std::max(1, height / std::max(1, verticalHeader()->defaultSectionSize()));
}

int ResultsView::windowRows() const
{
    return rowsThatFit(maximumViewportSize().height()) + 1;
}

qsizetype ResultsView::lastTop() const
{
    return std::max<qsizetype>(0, m_list.rowCount() - rowsThatFit());
}

QModelIndex ResultsView::listIndex(qsizetype row, int column) const
{
    return m_list.index(int(row), column);
}

QItemSelection ResultsView::listRows(qsizetype from, qsizetype to) const
{
    const auto [first, last] = std::minmax(from, to);
    return {listIndex(first, 0), listIndex(last, m_list.columnCount() - 1)};
}

void ResultsView::updateScrollBar()
{
    // The list fits without bars when the table would say so of it: the
    // bar then goes, as the table takes it away. Otherwise it runs over
    // list rows.
    const QSize room = maximumViewportSize();
    const bool fits = qint64(m_list.rowCount()) * verticalHeader()->defaultSectionSize() <= room.height() &&
                      horizontalHeader()->length() <= room.width();
    QScrollBar *bar = verticalScrollBar();
    m_placing = true;
    bar->setRange(0, fits ? 0 : int(lastTop()));
    bar->setSingleStep(1);
    bar->setPageStep(rowsThatFit());
    bar->setValue(int(m_window.top()));
    m_placing = false;
}

void ResultsView::updateGeometries()
{
    if (m_listGone) {
        QTableView::updateGeometries();
        return;
    }
    // The window holds as many rows as fit with no scroll bar at all, and
    // one more. The table judges from the rows it has whether it needs its
    // bars; with a window sized to the room the bars leave, its judgement
    // would change as they came and went, and they would come and go for
    // ever (as they did under Adwaita).
    m_window.place(std::min(m_window.top(), lastTop()), windowRows());
    m_placing = true;
    QTableView::updateGeometries();
    verticalHeader()->setOffset(0);
    m_placing = false;
    updateScrollBar();
    showListSelection();
}

void ResultsView::scrollContentsBy(int dx, int)
{
    // The window moves instead of the rows: nothing to shift vertically.
    if (dx != 0)
        QTableView::scrollContentsBy(dx, 0);
}

void ResultsView::moveTo(qsizetype top)
{
    top = std::clamp<qsizetype>(top, 0, lastTop());
    if (top == m_window.top())
        return;
    m_window.place(top, windowRows());
    showListSelection();
    updateScrollBar();
    viewport()->update();
}

void ResultsView::showListRow(qsizetype row)
{
    const qsizetype top = m_window.top();
    if (row < top)
        moveTo(row);
    else if (row >= top + rowsThatFit())
        moveTo(row - rowsThatFit() + 1);
}

qsizetype ResultsView::listRowAt(const QPoint &point) const
{
    const QModelIndex index = indexAt(point);
    return index.isValid() ? m_window.listRow(index.row()) : -1;
}

QRect ResultsView::listCellRect(qsizetype row, int column) const
{
    const int shown = m_window.windowRow(row);
    return shown < 0 ? QRect() : visualRect(m_window.index(shown, column));
}

void ResultsView::scrollTo(const QModelIndex &index, ScrollHint)
{
    // Not while the window shows the list's current cell: the list's own
    // current row has been scrolled to already.
    if (!m_syncing && index.isValid() && index.model() == &m_window)
        showListRow(m_window.listRow(index.row()));
}

void ResultsView::showListSelection()
{
    // The part of the list's selection that lies in the window, in window
    // rows; and the current cell when it is there.
    if (!selectionModel())
        return; // not yet: the view is being given its model
    const int columns = m_window.columnCount();
    QItemSelection shown;
    if (columns > 0 && m_window.rowCount() > 0) {
        const qsizetype first = m_window.top(), last = first + m_window.rowCount() - 1;
        for (const QItemSelectionRange &range : m_listSelection.selection()) {
            const qsizetype from = std::max<qsizetype>(range.top(), first);
            const qsizetype to = std::min<qsizetype>(range.bottom(), last);
            if (from <= to)
                shown.select(m_window.index(int(from - first), range.left()),
                             m_window.index(int(to - first), range.right()));
        }
    }
    const QModelIndex current = m_listSelection.currentIndex();
    const int row = current.isValid() ? m_window.windowRow(current.row()) : -1;
    const QScopedValueRollback syncing(m_syncing, true);
    selectionModel()->select(shown, QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(row < 0 ? QModelIndex() : m_window.index(row, current.column()),
                                      QItemSelectionModel::NoUpdate);
}

void ResultsView::takeWindowCurrent(const QModelIndex &current)
{
    // The table's own keys (left and right) move the current cell.
    if (m_syncing || !current.isValid())
        return;
    const qsizetype row = m_window.listRow(current.row());
    if (!(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier))
        m_anchor = row;
    const QScopedValueRollback syncing(m_syncing, true);
    m_listSelection.setCurrentIndex(listIndex(row, current.column()), QItemSelectionModel::NoUpdate);
}

void ResultsView::setListCurrent(qsizetype row, int column)
{
    m_listSelection.setCurrentIndex(listIndex(row, std::max(column, 0)), QItemSelectionModel::NoUpdate);
}

QItemSelectionModel::SelectionFlags ResultsView::selectionCommand(const QModelIndex &, const QEvent *) const
{
    return QItemSelectionModel::NoUpdate;
}

std::vector<RowRun> ResultsView::selectedRuns() const
{
    std::vector<RowRun> runs;
    for (const QItemSelectionRange &range : m_listSelection.selection())
        if (range.isValid())
            runs.push_back({range.top(), range.bottom()});
    std::sort(runs.begin(), runs.end(), [](const RowRun &a, const RowRun &b) { return a.first < b.first; });
    // Ranges may share rows (a row selected in two columns apart); runs never.
    std::vector<RowRun> merged;
    for (const RowRun &run : runs) {
        if (!merged.empty() && run.first <= merged.back().last + 1)
            merged.back().last = std::max(merged.back().last, run.last);
        else
            merged.push_back(run);
    }
    return merged;
}

void ResultsView::selectAll()
{
    const int rows = m_list.rowCount(), columns = m_list.columnCount();
    if (rows > 0 && columns > 0)
        m_listSelection.select(listRows(0, rows - 1), QItemSelectionModel::ClearAndSelect);
}

void ResultsView::toggleTick(qsizetype row)
{
    m_list.setChecked(row, !m_list.isChecked(row));
}

bool ResultsView::pressOnTick(QMouseEvent *event)
{
    // The tick answers as the table's own delegate places it: a press on
    // it, and the release that follows there, tick or untick the row and
    // leave the selection alone.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || !(index.flags() & Qt::ItemIsUserCheckable))
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    if (!itemDelegateForIndex(index)->editorEvent(event, model(), option, index))
        return false;
    m_tickRow = m_window.listRow(index.row());
    setListCurrent(m_tickRow, index.column());
    return true;
}

void ResultsView::beginMouseSelection(qsizetype row, Qt::KeyboardModifiers modifiers)
{
    // As in any list: a click selects its row alone, Shift+click the rows
    // from the last row clicked on, Ctrl+click adds or removes its row; and
    // dragging on takes in the rows passed over.
    m_drag = {};
    m_drag.active = true;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (!shift)
        m_anchor = row;
    if (modifiers & Qt::ControlModifier) {
        m_drag.before = m_listSelection.selection();
        m_drag.how = !shift && m_listSelection.isRowSelected(int(row)) ? QItemSelectionModel::Deselect
                                                                       : QItemSelectionModel::Select;
    }
}

qsizetype ResultsView::rowAtEdge(const QPoint &pointer) const
{
    // The row under the pointer; past an edge, the last row wholly shown
    // there.
    const qsizetype top = m_window.top();
    const qsizetype lastShown = std::min<qsizetype>(m_list.rowCount(), top + rowsThatFit()) - 1;
    if (pointer.y() < 0)
        return top;
    const int row = rowAt(pointer.y());
    return row < 0 ? lastShown : std::min(m_window.listRow(row), lastShown);
}

void ResultsView::dragTo(const QPoint &pointer)
{
    if (const qsizetype row = rowAtEdge(pointer); row >= 0)
        extendTo(row);
}

void ResultsView::extendTo(qsizetype row)
{
    const QItemSelection rows = listRows(m_anchor, row);
    if (m_drag.how == QItemSelectionModel::ClearAndSelect) {
        m_listSelection.select(rows, QItemSelectionModel::ClearAndSelect);
    } else {
        QItemSelection selection = m_drag.before;
        selection.merge(rows, m_drag.how);
        m_listSelection.select(selection, QItemSelectionModel::ClearAndSelect);
    }
    const QModelIndex current = m_listSelection.currentIndex();
    setListCurrent(row, current.isValid() ? current.column() : 0);
}

void ResultsView::mousePressEvent(QMouseEvent *event)
{
    const QPoint pointer = event->position().toPoint();
    const qsizetype row = listRowAt(pointer);
    const bool extend = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (row < 0) {
        // Below the last row: a plain click there selects nothing.
        if (!extend)
            m_listSelection.clearSelection();
        return;
    }
    if (event->button() == Qt::LeftButton && pressOnTick(event))
        return;
    const int column = indexAt(pointer).column();
    if (event->button() == Qt::LeftButton) {
        beginMouseSelection(row, event->modifiers());
        extendTo(row);
        setListCurrent(row, column);
    } else if (!m_listSelection.isRowSelected(int(row))) {
        // Another button on a row outside the selection makes it the
        // selection, as for a menu that acts on what is selected.
        m_anchor = row;
        m_listSelection.select(listRows(row, row), QItemSelectionModel::ClearAndSelect);
        setListCurrent(row, column);
    } else {
        setListCurrent(row, column);
    }
}

void ResultsView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_tickRow >= 0)
        return;
    if (!m_drag.active || !(event->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    m_drag.pointer = event->position().toPoint();
    dragTo(m_drag.pointer);
    // Past the top or the bottom of the rows shown, the list runs by.
    const int y = m_drag.pointer.y();
    const bool past = y < 0 || y >= rowsThatFit() * verticalHeader()->defaultSectionSize();
    if (past && !m_autoScroll.isActive())
        m_autoScroll.start(50, this);
    else if (!past)
        m_autoScroll.stop();
}

void ResultsView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_autoScroll.timerId()) {
        QTableView::timerEvent(event);
        return;
    }
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int y = m_drag.pointer.y();
    const int below = y - rowsThatFit() * rowHeight;
    const qsizetype top = m_window.top();
    // The longer and the further past the edge, the faster, up to a page
    // at a time.
    m_drag.speed = std::min(m_drag.speed + 1, rowsThatFit());
    if (m_drag.active && y < 0)
        moveTo(top - m_drag.speed - (-y) / rowHeight);
    else if (m_drag.active && below >= 0)
        moveTo(top + m_drag.speed + below / rowHeight);
    if (!m_drag.active || m_window.top() == top) {
        m_autoScroll.stop();
        return;
    }
    dragTo(m_drag.pointer);
}

void ResultsView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_tickRow >= 0) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && index.isValid() &&
            m_window.listRow(index.row()) == m_tickRow) {
            QStyleOptionViewItem option;
            initViewItemOption(&option);
            option.rect = visualRect(index);
            itemDelegateForIndex(index)->editorEvent(event, model(), option, index);
        }
        m_tickRow = -1;
        return;
    }
    if (m_drag.active && event->button() == Qt::LeftButton) {
        m_drag = {};
        m_autoScroll.stop();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

void ResultsView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Changes nothing a click would not.
    mousePressEvent(event);
}

bool ResultsView::moveByKey(const QKeyEvent *event)
{
    // Moving up and down goes by list rows, so it reaches rows outside the
    // window.
    const qsizetype rows = m_list.rowCount();
    const QModelIndex current = m_listSelection.currentIndex();
    const qsizetype from = current.isValid() ? current.row() : m_window.top() - 1;
    qsizetype to;
    switch (event->key()) {
    case Qt::Key_Up:
        to = from - 1;
        break;
    case Qt::Key_Down:
        to = from + 1;
        break;
    case Qt::Key_PageUp:
        to = from - rowsThatFit();
        break;
    case Qt::Key_PageDown:
        to = from + rowsThatFit();
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = rows - 1;
        break;
    default:
        return false;
    }
    if (rows == 0 || m_list.columnCount() == 0)
        return true;
    to = std::clamp<qsizetype>(to, 0, rows - 1);
    if (event->modifiers() & Qt::ShiftModifier) {
        m_listSelection.select(listRows(m_anchor, to), QItemSelectionModel::ClearAndSelect);
    } else if (!(event->modifiers() & Qt::ControlModifier)) {
        m_anchor = to;
        m_listSelection.select(listRows(to, to), QItemSelectionModel::ClearAndSelect);
    }
    setListCurrent(to, current.isValid() ? current.column() : 0);
    showListRow(to);
    return true;
}

void ResultsView::keyPressEvent(QKeyEvent *event)
{
    if (moveByKey(event)) {
        event->accept();
        return;
    }
    const QModelIndex current = m_listSelection.currentIndex();
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select) {
        // Space ticks or unticks the current row, whichever its column;
        // with Ctrl it selects or deselects it.
        event->accept();
        if (!current.isValid())
            return;
        if (event->modifiers() & Qt::ControlModifier)
            m_listSelection.select(listRows(current.row(), current.row()),
                                   m_listSelection.isRowSelected(current.row())
                                       ? QItemSelectionModel::Deselect
                                       : QItemSelectionModel::Select);
        else
            toggleTick(current.row());
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultsView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The table would tell assistive technology of a cell of the window;
    // the list's own current cell is told instead (notifyAccessibility).
    QAbstractItemView::currentChanged(current, previous); // NOLINT(bugprone-parent-virtual-call)
}

void ResultsView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected); // NOLINT(bugprone-parent-virtual-call)
}

void ResultsView::notifyAccessibility(QAccessible::Event what)
{
    if (!QAccessible::isActive() || m_listGone)
        return;
    if (what == QAccessible::TableModelChanged) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
        return;
    }
    QAccessibleEvent event(this, what);
    const QModelIndex current = m_listSelection.currentIndex();
    if (what == QAccessible::Focus) {
        if (!current.isValid() || !hasFocus())
            return;
        event.setChild(accessibleCellIndex(m_list.columnCount(), current.row(), current.column()));
    }
    QAccessible::updateAccessibility(&event);
}

} // namespace zentavo
