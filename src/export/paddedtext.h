#pragma once

#include "export/rowwriter.h"
#include "export/textblocks.h"

#include <QString>
#include <memory>
#include <vector>

namespace zentavo {

// The text file: a title line, then a line a row, every cell padded with
// spaces to its column's width and followed by a TAB, every line ended by
// CR LF, in the locale's encoding without a byte-order mark.
class PaddedText final : public RowWriter
{
public:
    // Columns at least `widths` wide (and as wide as their titles): each row
    // is written as it comes. A cell wider than its column gets no padding.
    PaddedText(ByteSink &sink, QStringList titles, std::vector<qsizetype> widths);
    // Columns as wide as their widest cell, known only once every row is in:
    // the rows wait, in order, in a file without a name in `spoolFolder`, so
    // that memory stays flat whatever their number.
    PaddedText(ByteSink &sink, QStringList titles, const QString &spoolFolder);
    ~PaddedText() override;
    PaddedText(const PaddedText &) = delete;
    PaddedText &operator=(const PaddedText &) = delete;

    void begin() override;
    void row(Cells cells) override;
    void finish() override;

    // The longest line, in UTF-16 units, that columns of `widths` make.
    static qsizetype longestLine(const std::vector<qsizetype> &widths);
    // The memory reserveLongestLine() takes for lines of `units`.
    static qint64 memoryFor(qsizetype units);
    // Takes the memory for lines of `units` at once, so that no buffer moves
    // (which would leave an unwiped copy of its passwords behind).
    void reserveLongestLine(qsizetype units);

private:
    class Spool;

    void writeLine(Cells cells);

    BlockOutput m_out;
    QStringList m_titles;
    std::vector<qsizetype> m_widths;
    QString m_line;
    std::unique_ptr<Spool> m_waiting;
};

// Pads the cell that runs from `start` to the end of `text` to `width` and
// appends a TAB: the cell of the text file, which the clipboard text shares.
void appendPadded(QString &text, qsizetype start, qsizetype width);

} // namespace zentavo
