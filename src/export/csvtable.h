#pragma once

#include "export/rowwriter.h"
#include "export/textblocks.h"

namespace zentavo {

// RFC 4180, UTF-8: a title row, then a record a row, CR LF. A field is quoted
// when it holds a comma, a quote or a line break, its quotes doubled; the
// text itself is never changed, so a password stays exactly as made.
class CsvTable final : public RowWriter
{
public:
    CsvTable(ByteSink &sink, QStringList titles);
    ~CsvTable() override;
    CsvTable(const CsvTable &) = delete;
    CsvTable &operator=(const CsvTable &) = delete;

    void begin() override;
    void row(Cells cells) override;
    void finish() override { m_out.flush(); }

private:
    void field(QAnyStringView text);

    BlockOutput m_out;
    QStringList m_titles;
    QString m_quoted;
};

} // namespace zentavo
