#pragma once

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <deque>
#include <vector>

#include "core/wipingallocator.h"

namespace zentavo {

// The generated passwords: the columns of the list and its rows, in the order
// they were appended. Each row is a password, with its line number when line
// numbers are shown, and a checked state the user can change; rows are
// appended checked.
//
// A million rows must not freeze the window, so the rows are stored compactly
// (all passwords in one buffer, line numbers as numbers, turned into text only
// for display) and the view is told about new rows in batches, not one at a
// time: rowCount() counts only the rows the view has been told about, while
// the exports read every stored row.
class ResultsList : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultsList(QObject *parent = nullptr);
    ~ResultsList() override;

    // Columns.
    int columnCount(const QModelIndex &parent = {}) const override;
    QString columnTitle(int column) const;
    int columnWidthTwips(int column) const;
    void addColumn(const QString &title);
    void setColumnWidthTwips(int column, int twips); // throws Failure for a missing column
    void removeAllColumns();

    // Rows as stored; what the exports read.
    qsizetype storedRowCount() const { return qsizetype(m_rows.size()); }
    // The text of a cell (column 0 first); throws Failure when the row no
    // longer exists, as when the list was cleared during an export.
    QString cell(qsizetype row, int column) const;
    // The same text's length, and the text appended to `out`: the exports
    // read a million rows twice, and building a string for every cell would
    // cost more than writing the file.
    qsizetype cellLength(qsizetype row, int column) const;
    void appendCell(qsizetype row, int column, QString &out) const;
    bool isChecked(qsizetype row) const;
    void setChecked(qsizetype row, bool checked);

    // Appends a row: `lineNumber` 0 gives a row of the password alone, any
    // other number a row of the number and the password.
    void appendRow(qint32 lineNumber, QStringView password);
    void removeAllRows();

    // Tells the view about every row stored so far. Happens by itself in
    // batches while events are processed; commands call it when they finish.
    void publishRows();

    // The model seen by the view.
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void columnWidthChanged(int column, int twips);

private:
    struct Column
    {
        QString title;
        int widthTwips;
    };

    struct Row
    {
        quint32 chunk;  // where the password's text is kept
        quint32 offset;
        quint32 length;
        qint32 lineNumber; // 0: no line number
        bool checked;
    };

    QStringView password(qsizetype row) const;
    void checkRow(qsizetype row) const;
    void checkColumn(int column) const;
    void schedulePublish();

    std::vector<Column> m_columns;
    // Growing the list never moves what it holds: copying tens of megabytes
    // at once would stall the window. Rows sit in a deque; the passwords'
    // text in chunks that are filled, never enlarged.
    std::deque<Row> m_rows;
    std::vector<std::vector<char16_t, WipingAllocator<char16_t>>> m_chunks;

    qsizetype m_published = 0;
    QTimer m_publishTimer;
    int m_publishIntervalMs;
};

} // namespace zentavo
