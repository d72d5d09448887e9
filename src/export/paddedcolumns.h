#pragma once

#include <QString>
#include <vector>

namespace zentavo {

class EventPump;
class ResultsList;

// The text file and the clipboard text lay the list out alike: every cell
// padded with spaces to its column's width and followed by a TAB.

// Handling pending events is decided by the clock, and reading the clock for
// every one of a million rows would cost more than the rows themselves.
inline constexpr qsizetype kRowsBetweenYields = 64;

// Widens every column's width to its longest cell in the first `rows` rows,
// ticked or not. Throws Failure when a row disappears meanwhile; the widths
// found until then stand.
void widenToCells(const ResultsList &list, qsizetype rows, std::vector<qsizetype> &widths, EventPump &pump);

// Pads the cell that runs from `start` to the end of `text` to `width` and
// appends a TAB. A cell wider than its column (the list changed meanwhile)
// gets no padding.
void appendPadded(QString &text, qsizetype start, qsizetype width);

// Appends every cell of `row`, padded as above. Throws Failure when the row
// disappears meanwhile, leaving part of it in `text`.
void appendPaddedRow(const ResultsList &list, qsizetype row, const std::vector<qsizetype> &widths,
                     QString &text);

} // namespace zentavo
