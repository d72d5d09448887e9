#pragma once

#include "export/rowwriter.h"

#include <QString>
#include <vector>

namespace zentavo {

class EventPump;
class ResultsList;

// The results list as the window's exports hand it to a writer: a row's
// cells read into buffers of their own, reused from row to row and wiped
// at the end.
class ListRows
{
public:
    explicit ListRows(const ResultsList &list);
    ~ListRows();
    ListRows(const ListRows &) = delete;
    ListRows &operator=(const ListRows &) = delete;

    // The titles files carry, the same in every language.
    QStringList titles() const;
    int columns() const { return int(m_cells.size()); }
    // Reads one cell of `row`, or all of them. Throws Failure when the row
    // no longer exists, as when the list was cleared meanwhile.
    void readCell(qsizetype row, int column);
    void read(qsizetype row);
    // The cells as last read.
    Cells cells() const { return m_views; }

private:
    const ResultsList &m_list;
    std::vector<QString> m_cells;
    std::vector<QAnyStringView> m_views;
};

// Handling pending events is decided by the clock, and reading the clock for
// every one of a million rows would cost more than the rows themselves.
inline constexpr qsizetype kRowsBetweenYields = 64;

// Widens every column's width to its longest cell in the first `rows` rows,
// ticked or not. Throws Failure when a row disappears meanwhile; the widths
// found until then stand.
void widenToCells(const ResultsList &list, qsizetype rows, std::vector<qsizetype> &widths, EventPump &pump);

} // namespace zentavo
