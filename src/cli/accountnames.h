#pragma once

#include "export/accountname.h"
#include "export/roster.h"

#include <QStringList>
#include <optional>

namespace zentavo::cli {

// The account names of a file: one a line, UTF-8, in the file's order; the
// spaces and tabs around a name are dropped, and blank lines and lines
// starting with # are skipped. A name AccountNameCheck refuses (a colon, the
// separator of `name:password` lines and of /etc/passwd, an invisible
// character, a name given twice...) is refused with its line number, and so
// is a line that is not UTF-8.
struct AccountNames
{
    QStringList names;
    QString error; // set when the file cannot be used; then no name counts
};
// `path` "-" reads `standardInput`; `use` says where the names go.
AccountNames readAccountNames(const QString &path, int standardInput, AccountNameCheck::Use use);

// The roster of a file (`path` "-": `standardInput`), or, in `error`, why
// it cannot be used, with the line of the file where that was found.
struct RosterInput
{
    std::optional<Roster> roster;
    QString error;
};
RosterInput readRoster(const QString &path, int standardInput, const RosterSettings &settings);

// What the user reads of a refused roster: the file, the line, the reason.
QString rosterRefusal(const QString &path, const RosterRefusal &refusal);

} // namespace zentavo::cli
