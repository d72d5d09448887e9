#pragma once

#include <QAbstractTableModel>
#include <QAccessible>
#include <QBasicTimer>
#include <QItemSelectionModel>
#include <QTableView>
#include <vector>

namespace zentavo {

class ResultsList;

// The few rows of the results list the view can show at once, from `top()`
// on. A table view keeps a header section for every row of its model and
// walks them all whenever rows are added; over millions of rows that costs
// memory and stalls the window. Showing a window of the list keeps that to
// the rows on screen.
class ResultsWindow : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultsWindow(ResultsList &list, QObject *parent = nullptr);

    qsizetype top() const { return m_top; }
    // Moves the window so that it starts at list row `top`, and lets it hold
    // `rows` rows at most.
    void place(qsizetype top, int rows);
    // The list row of a window row, and back (-1 when the list row is not
    // in the window).
    qsizetype listRow(int row) const { return m_top + row; }
    int windowRow(qsizetype listRow) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QModelIndex toList(const QModelIndex &index) const;
    int shownRows() const;
    void resize();

    ResultsList &m_list;
    qsizetype m_top = 0;
    int m_rows = 1;
    int m_shown = 0; // the rows the window has told the view about
};

// Rows of the list from `first` to `last`.
struct RowRun
{
    qsizetype first;
    qsizetype last;
};

// The results list's view: a table that shows a window of the list and
// moves the window as the user scrolls, so it holds nothing for each row of
// the list. Yet it behaves as a list of every row: the selection and the
// current row are kept in list rows (`listSelection()`), and the mouse, the
// keys and assistive technology work in list rows; the view shows the part
// of the selection that lies in the window.
class ResultsView : public QTableView
{
    Q_OBJECT

public:
    explicit ResultsView(ResultsList &list, QWidget *parent = nullptr);

    ResultsList &list() const { return m_list; }
    // False once the list has gone (the window is closing).
    bool hasList() const { return !m_listGone; }
    QItemSelectionModel *listSelection() { return &m_listSelection; }
    // The selected rows as runs, in list order, each row in one run only.
    std::vector<RowRun> selectedRuns() const;
    // Scrolls so that list row `row` is shown.
    void showListRow(qsizetype row);
    // The list row drawn at a point of the viewport; -1 where there is none.
    qsizetype listRowAt(const QPoint &point) const;
    // Where a cell of the list is drawn in the viewport; empty when its row
    // is out of view.
    QRect listCellRect(qsizetype row, int column) const;
    // Ticks an unticked row, unticks a ticked one.
    void toggleTick(qsizetype row);

    void selectAll() override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    // A list of passwords is not searched by typing.
    void keyboardSearch(const QString &) override {}

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    // The table's own handling of clicks and keys never selects: the view
    // selects in list rows itself.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    // Where a mouse selection started and what it does.
    struct Drag
    {
        bool active = false;
        QItemSelection before; // the selection it adds to (Ctrl) or takes from
        QItemSelectionModel::SelectionFlags how = QItemSelectionModel::ClearAndSelect;
        QPoint pointer; // the last position, in the viewport
        int speed = 0;  // rows the list runs on by at a time
    };

    int rowsThatFit(int height) const;
    int rowsThatFit() const { return rowsThatFit(viewport()->height()); }
    int windowRows() const;
    qsizetype lastTop() const;
    void moveTo(qsizetype top);
    void updateScrollBar();
    void showListSelection();
    void takeWindowCurrent(const QModelIndex &current);
    QModelIndex listIndex(qsizetype row, int column) const;
    QItemSelection listRows(qsizetype from, qsizetype to) const;
    void setListCurrent(qsizetype row, int column);
    bool pressOnTick(QMouseEvent *event);
    void beginMouseSelection(qsizetype row, Qt::KeyboardModifiers modifiers);
    void dragTo(const QPoint &pointer);
    void extendTo(qsizetype row);
    qsizetype rowAtEdge(const QPoint &pointer) const;
    bool moveByKey(const QKeyEvent *event);
    void notifyAccessibility(QAccessible::Event what);

    ResultsList &m_list;
    ResultsWindow m_window;
    QItemSelectionModel m_listSelection;
    qsizetype m_anchor = 0;   // where a Shift selection starts
    qsizetype m_tickRow = -1; // the row whose tick a press went to
    Drag m_drag;
    QBasicTimer m_autoScroll;
    bool m_syncing = false; // the two selections being matched
    bool m_placing = false; // the scroll bar being set from the window
    bool m_listGone = false;
};

} // namespace zentavo
