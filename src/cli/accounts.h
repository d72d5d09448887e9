#pragma once

#include "cli/accountnames.h"
#include "cli/commandline.h"
#include "cli/outputs.h"

#include <QStringList>
#include <memory>

namespace zentavo {

class Workbook;

namespace cli {

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
