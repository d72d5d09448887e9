#include "export/csvtable.h"

#include "core/wipe.h"

#include <algorithm>
#include <vector>

namespace zentavo {

namespace {

char16_t unitOf(QChar c)
{
    return c.unicode();
}
char16_t unitOf(char c)
{
    return uchar(c);
}

} // namespace

CsvTable::CsvTable(ByteSink &sink, QStringList titles)
    : m_out(sink, QStringConverter::Utf8), m_titles(std::move(titles))
{
}

CsvTable::~CsvTable()
{
    wipe(m_quoted);
}

void CsvTable::begin()
{
    std::vector<QAnyStringView> cells(m_titles.cbegin(), m_titles.cend());
    row(cells);
}

void CsvTable::row(Cells cells)
{
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0)
            m_out.appendAscii(',');
        field(cells[c]);
    }
    m_out.appendAscii(QLatin1StringView("\r\n"));
    m_out.writeIfFull();
}

void CsvTable::field(QAnyStringView text)
{
    const bool quoted = text.visit([](auto view) {
        return std::any_of(view.begin(), view.end(), [](auto c) {
            const char16_t unit = unitOf(c);
            return unit == u',' || unit == u'"' || unit == u'\r' || unit == u'\n';
        });
    });
    if (!quoted) {
        m_out.append(text);
        return;
    }
    m_quoted.truncate(0);
    reserveWiping(m_quoted, text.size() * 2 + 2);
    m_quoted.append(QLatin1Char('"'));
    appendCell(m_quoted, text);
    // Doubled in place, within the room reserved: nothing moves.
    for (qsizetype at = 1; (at = m_quoted.indexOf(QLatin1Char('"'), at)) >= 0; at += 2)
        m_quoted.insert(at, QLatin1Char('"'));
    m_quoted.append(QLatin1Char('"'));
    m_out.append(m_quoted);
}

} // namespace zentavo
