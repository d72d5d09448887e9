#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QTableView>

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

// The results list's view: a table that shows a window of the list and
// moves the window as the user scrolls, so it holds nothing for each row of
// the list. The selection is kept in list rows (`listSelection()`); the view
// shows the part of it that lies in the window.
class ResultsView : public QTableView
{
    Q_OBJECT

public:
    explicit ResultsView(ResultsList &list, QWidget *parent = nullptr);

    QItemSelectionModel *listSelection() { return &m_listSelection; }
    // Scrolls so that list row `row` is shown.
    void showListRow(qsizetype row);

    void selectAll() override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int rowsThatFit() const;
    qsizetype lastTop() const;
    void moveTo(qsizetype top);
    void updateScrollBar();
    void showListSelection();
    void takeWindowSelection(const QItemSelection &selected, const QItemSelection &deselected);
    void takeWindowCurrent(const QModelIndex &current);
    QModelIndex listIndex(qsizetype row, int column) const;

    ResultsList &m_list;
    ResultsWindow m_window;
    QItemSelectionModel m_listSelection;
    qsizetype m_anchor = 0; // where a Shift+arrow selection starts
    bool m_syncing = false; // the two selections being matched
    bool m_placing = false; // the scroll bar being set from the window
    bool m_listGone = false;
};

} // namespace zentavo
