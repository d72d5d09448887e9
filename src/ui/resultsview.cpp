#include "ui/resultsview.h"

#include "results/resultslist.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
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
    if (moved && m_shown > 0) {
        emit dataChanged(index(0, 0), index(m_shown - 1, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, 0, m_shown - 1);
    }
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
    return m_list.headerData(orientation == Qt::Vertical ? int(listRow(section)) : section, orientation,
                             role);
}

ResultsView::ResultsView(ResultsList &list, QWidget *parent)
    : QTableView(parent), m_list(list), m_window(list), m_listSelection(&list, nullptr)
{
    setModel(&m_window);
    // The list may go first, as when the window closes: the view then
    // shows nothing rather than asking it.
    connect(&list, &QObject::destroyed, this, [this] {
        m_listGone = true;
        setModel(nullptr);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResultsView::takeWindowSelection);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &ResultsView::takeWindowCurrent);
    // Whoever selects in list rows sees it in the view.
    connect(&m_listSelection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_syncing)
            showListSelection();
    });
    connect(&m_listSelection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (m_syncing)
            return;
        if (current.isValid())
            showListRow(current.row());
        showListSelection();
    });
    connect(&list, &QAbstractItemModel::rowsInserted, this, &ResultsView::updateScrollBar);
    connect(&list, &QAbstractItemModel::modelReset, this, [this] {
        m_anchor = 0;
        updateScrollBar();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_placing && !m_listGone)
            moveTo(value);
    });
}

int ResultsView::rowsThatFit() const
{
    return std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

qsizetype ResultsView::lastTop() const
{
    return std::max<qsizetype>(0, m_list.rowCount() - rowsThatFit());
}

QModelIndex ResultsView::listIndex(qsizetype row, int column) const
{
    return m_list.index(int(row), column);
}

void ResultsView::updateScrollBar()
{
    QScrollBar *bar = verticalScrollBar();
    m_placing = true;
    bar->setRange(0, int(lastTop()));
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
    m_window.place(std::min(m_window.top(), lastTop()), rowsThatFit() + 1);
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
    m_window.place(top, rowsThatFit() + 1);
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

void ResultsView::scrollTo(const QModelIndex &index, ScrollHint)
{
    if (index.isValid() && index.model() == &m_window)
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
    m_syncing = true;
    selectionModel()->select(shown, QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(row < 0 ? QModelIndex() : m_window.index(row, current.column()),
                                      QItemSelectionModel::NoUpdate);
    m_syncing = false;
}

void ResultsView::takeWindowSelection(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (m_syncing)
        return;
    auto toList = [this](const QItemSelection &inWindow) {
        QItemSelection inList;
        for (const QItemSelectionRange &range : inWindow)
            inList.select(listIndex(m_window.listRow(range.top()), range.left()),
                          listIndex(m_window.listRow(range.bottom()), range.right()));
        return inList;
    };
    m_syncing = true;
    m_listSelection.select(toList(deselected), QItemSelectionModel::Deselect);
    m_listSelection.select(toList(selected), QItemSelectionModel::Select);
    m_syncing = false;
}

void ResultsView::takeWindowCurrent(const QModelIndex &current)
{
    if (m_syncing || !current.isValid())
        return;
    const qsizetype row = m_window.listRow(current.row());
    if (!(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier))
        m_anchor = row;
    m_syncing = true;
    m_listSelection.setCurrentIndex(listIndex(row, current.column()), QItemSelectionModel::NoUpdate);
    m_syncing = false;
}

void ResultsView::selectAll()
{
    const int rows = m_list.rowCount(), columns = m_list.columnCount();
    if (rows > 0 && columns > 0)
        m_listSelection.select(QItemSelection(listIndex(0, 0), listIndex(rows - 1, columns - 1)),
                               QItemSelectionModel::ClearAndSelect);
}

void ResultsView::mousePressEvent(QMouseEvent *event)
{
    // A plain click selects its row alone, rows outside the window too.
    const Qt::KeyboardModifiers extend = Qt::ShiftModifier | Qt::ControlModifier;
    if (event->button() == Qt::LeftButton && !(event->modifiers() & extend) &&
        indexAt(event->position().toPoint()).isValid()) {
        m_syncing = true;
        m_listSelection.clearSelection();
        m_syncing = false;
    }
    QTableView::mousePressEvent(event);
}

void ResultsView::keyPressEvent(QKeyEvent *event)
{
    // Moving up and down goes by list rows, so it reaches rows outside the
    // window; the rest is the table's own.
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
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
    if (rows == 0 || m_window.columnCount() == 0)
        return;
    to = std::clamp<qsizetype>(to, 0, rows - 1);
    const int column = current.isValid() ? current.column() : 0;
    const int lastColumn = m_window.columnCount() - 1;
    m_syncing = true;
    if (event->modifiers() & Qt::ShiftModifier) {
        const auto [first, last] = std::minmax(m_anchor, to);
        m_listSelection.select(QItemSelection(listIndex(first, 0), listIndex(last, lastColumn)),
                               QItemSelectionModel::ClearAndSelect);
    } else if (!(event->modifiers() & Qt::ControlModifier)) {
        m_anchor = to;
        m_listSelection.select(QItemSelection(listIndex(to, 0), listIndex(to, lastColumn)),
                               QItemSelectionModel::ClearAndSelect);
    }
    m_listSelection.setCurrentIndex(listIndex(to, column), QItemSelectionModel::NoUpdate);
    m_syncing = false;
    showListRow(to);
    showListSelection();
}

} // namespace zentavo
