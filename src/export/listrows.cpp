#include "export/listrows.h"

#include "core/eventpump.h"
#include "core/wipe.h"
#include "results/resultslist.h"

#include <algorithm>

namespace zentavo {

ListRows::ListRows(const ResultsList &list)
    : m_list(list), m_cells(std::size_t(list.columnCount())), m_views(m_cells.size())
{
}

ListRows::~ListRows()
{
    for (QString &cell : m_cells)
        wipe(cell);
}

QStringList ListRows::titles() const
{
    QStringList titles;
    for (int c = 0; c < columns(); ++c)
        titles << m_list.columnTitle(c);
    return titles;
}

void ListRows::readCell(qsizetype row, int column)
{
    QString &cell = m_cells[std::size_t(column)];
    // Emptied, not released: its memory is reused, and wiped at the end.
    cell.truncate(0);
    reserveWiping(cell, m_list.cellLength(row, column));
    m_list.appendCell(row, column, cell);
    m_views[std::size_t(column)] = cell;
}

void ListRows::read(qsizetype row)
{
    for (int c = 0; c < columns(); ++c)
        readCell(row, c);
}

void widenToCells(const ResultsList &list, qsizetype rows, std::vector<qsizetype> &widths, EventPump &pump)
{
    for (qsizetype r = 0; r < rows; ++r) {
        if (r % kRowsBetweenYields == 0)
            pump.yield();
        for (std::size_t c = 0; c < widths.size(); ++c)
            widths[c] = std::max(widths[c], list.cellLength(r, int(c)));
    }
}

} // namespace zentavo
