#pragma once

#include "export/rowwriter.h"
#include "export/textblocks.h"

namespace zentavo {

// A row a line, LF, UTF-8, no title: the cells apart by a TAB (a line number
// and its password), or by a colon where each line is name:password (and
// the hash), as chpasswd reads them.
class PlainLines final : public RowWriter
{
public:
    enum class Separator { Tab, Colon };

    PlainLines(ByteSink &sink, Separator separator);

    void begin() override {}
    void row(Cells cells) override;
    bool asciiRows(const char *text, qsizetype rows, qsizetype width) override;
    void finish() override { m_out.flush(); }

private:
    BlockOutput m_out;
    char m_separator;
};

} // namespace zentavo
