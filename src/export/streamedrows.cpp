#include "export/streamedrows.h"

namespace zentavo {

void StreamedRows::append(const PasswordBatch &batch)
{
    if (batch.encoding == PasswordBatch::Encoding::Ascii && batch.firstLine == 0 && batch.unitsPerRow > 0 &&
        m_writer.asciiRows(batch.bytes(0), batch.rows, batch.unitsPerRow))
        return;
    QAnyStringView cells[2];
    for (qsizetype r = 0; r < batch.rows; ++r) {
        if (batch.firstLine == 0) {
            cells[0] = passwordCell(batch, r);
            m_writer.row(Cells(cells, 1));
        } else {
            cells[0] = m_number(batch.lineNumber(r));
            cells[1] = passwordCell(batch, r);
            m_writer.row(cells);
        }
    }
}

} // namespace zentavo
