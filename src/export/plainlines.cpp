#include "export/plainlines.h"

namespace zentavo {

PlainLines::PlainLines(ByteSink &sink, Separator separator)
    : m_out(sink, QStringConverter::Utf8), m_separator(separator == Separator::Tab ? '\t' : ':')
{
}

void PlainLines::row(Cells cells)
{
    m_out.append(cells.front());
    for (const QAnyStringView cell : cells.subspan(1)) {
        m_out.appendAscii(m_separator);
        m_out.append(cell);
    }
    m_out.appendAscii('\n');
    m_out.writeIfFull();
}

bool PlainLines::asciiRows(const char *text, qsizetype rows, qsizetype width)
{
    m_out.appendLines(text, rows, width);
    return true;
}

} // namespace zentavo
