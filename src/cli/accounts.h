#pragma once

#include "cli/commandline.h"
#include "cli/outputs.h"

#include <QStringList>
#include <memory>

namespace zentavo {

class Workbook;

namespace cli {

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

// Hashes passwords the way /etc/shadow keeps them, with libxcrypt and a fresh
// random salt for each. The hashes are slow on purpose; hash() may be called
// from several threads at once, so that they can share the work.
class ShadowHasher
{
public:
    explicit ShadowHasher(CryptMethod method);

    // Throws OutputFailed when libxcrypt cannot make the hash.
    QString hash(QStringView password) const;

private:
    const char *m_prefix;
};

// The rows of an accounts run: each password with its name in the first
// column and, given a hasher, its hash in the last. `names` must outlive the
// format; the generator's line numbers are not shown, the names take their
// place.
std::unique_ptr<RowFormat> accountsFormat(Format format, DescriptorOutput &out, Workbook *workbook,
                                          const QStringList &names, ShadowHasher *hasher);

} // namespace cli
} // namespace zentavo
