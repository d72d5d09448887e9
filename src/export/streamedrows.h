#pragma once

#include "export/rowwriter.h"
#include "generator/passwordgenerator.h"

namespace zentavo {

// A password of the batch as a cell, held as the batch holds it.
inline QAnyStringView passwordCell(const PasswordBatch &batch, qsizetype row)
{
    switch (batch.encoding) {
    case PasswordBatch::Encoding::Ascii:
        return QUtf8StringView(batch.bytes(row), batch.unitsPerRow);
    case PasswordBatch::Encoding::Latin1:
        return QLatin1StringView(batch.bytes(row), batch.unitsPerRow);
    case PasswordBatch::Encoding::Utf16:
        break;
    }
    return QStringView(batch.units(row), batch.unitsPerRow);
}

// The generator's rows for a writer as they are made, straight from its
// batches: the line number (where the rows have one) and the password.
class StreamedRows final : public PasswordSink
{
public:
    explicit StreamedRows(RowWriter &writer) : m_writer(writer) {}
    void append(const PasswordBatch &batch) override;

private:
    RowWriter &m_writer;
    NumberText m_number;
};

} // namespace zentavo
