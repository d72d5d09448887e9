#include "export/newuserslines.h"

namespace zentavo {

NewusersLines::NewusersLines(ByteSink &sink) : m_out(sink, QStringConverter::Utf8) {}

void NewusersLines::row(Cells cells)
{
    const QAnyStringView name = cells[0];
    m_out.append(name);
    m_out.appendAscii(':');
    m_out.append(cells[1]);
    m_out.appendAscii(QLatin1StringView("::::/home/"));
    m_out.append(name);
    m_out.appendAscii(QLatin1StringView(":/bin/bash\n"));
    m_out.writeIfFull();
}

} // namespace zentavo
