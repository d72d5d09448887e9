#include "export/plainlines.h"

namespace zentavo {

PlainLines::PlainLines(ByteSink &sink, Separator separator)
    : m_out(sink, QStringConverter::Utf8),
      m_separator(separator == Separator::Tab ? QLatin1StringView("\t") : QLatin1StringView(":"))
{
}

void PlainLines::row(Cells cells)
{
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0)
            m_out.appendAscii(m_separator);
        m_out.append(cells[c]);
    }
    m_out.appendAscii(QLatin1StringView("\n"));
    m_out.writeIfFull();
}

} // namespace zentavo
