#pragma once

#include "export/rowwriter.h"
#include "export/textblocks.h"

namespace zentavo {

// The lines newusers(8) reads, LF, UTF-8, one a row of name and password:
// name:password::::/home/name:/bin/bash. The password is in clear, for
// newusers hashes it as passwd does; the empty user and group IDs let it
// choose the next free ones and make a group of the user's name; the
// comment field is left empty, as useradd leaves it; the home folder (which
// newusers makes) and the login shell are those adduser gives a person.
class NewusersLines final : public RowWriter
{
public:
    explicit NewusersLines(ByteSink &sink);

    void begin() override {}
    // The name, then the password; any further cell (a hash) is left out.
    void row(Cells cells) override;
    void finish() override { m_out.flush(); }

private:
    BlockOutput m_out;
};

} // namespace zentavo
