#pragma once

#include <QStringList>

namespace zentavo::cli {

// The account names of a file: one a line, UTF-8, in the file's order;
// surrounding blanks are dropped, and blank lines and lines starting with #
// are skipped. A name that holds a colon (the separator of `name:password`
// lines and of /etc/passwd) or a control character is refused with its line
// number, and so is a line that is not UTF-8.
struct AccountNames
{
    QStringList names;
    QString error; // set when the file cannot be used; then no name counts
};
// `path` "-" reads `standardInput`.
AccountNames readAccountNames(const QString &path, int standardInput);

} // namespace zentavo::cli
