#include "export/paddedcolumns.h"

#include "core/eventpump.h"
#include "results/resultslist.h"

#include <algorithm>

namespace zentavo {

void widenToCells(const ResultsList &list, qsizetype rows, std::vector<qsizetype> &widths, EventPump &pump)
{
    for (qsizetype r = 0; r < rows; ++r) {
        if (r % kRowsBetweenYields == 0)
            pump.yield();
        for (std::size_t c = 0; c < widths.size(); ++c)
            widths[c] = std::max(widths[c], list.cellLength(r, int(c)));
    }
}

void appendPadded(QString &text, qsizetype start, qsizetype width)
{
    const qsizetype length = text.size() - start;
    if (width > length)
        text.resize(start + width, QLatin1Char(' '));
    text.append(QLatin1Char('\t'));
}

void appendPaddedRow(const ResultsList &list, qsizetype row, const std::vector<qsizetype> &widths,
                     QString &text)
{
    for (std::size_t c = 0; c < widths.size(); ++c) {
        const qsizetype start = text.size();
        list.appendCell(row, int(c), text);
        appendPadded(text, start, widths[c]);
    }
}

} // namespace zentavo
