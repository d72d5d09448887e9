// The account names file of zentavo-cli --accounts. Besides not crashing,
// every name it lets through must be one chpasswd and /etc/passwd can take,
// a reader of the hand-out sees as it is, and a spreadsheet does not take
// for a formula; and no name twice. The first byte chooses where the names
// go: chpasswd's lines or a spreadsheet.
#include "cli/accountnames.h"

#include <QSet>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const int fd = memfd_create("names", 0);
    const bool forSpreadsheet = size > 0 && (data[0] & 1);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size) ||
        lseek(fd, 0, SEEK_SET) != 0)
        std::abort();
    const zentavo::cli::AccountNames read = zentavo::cli::readAccountNames(
        QStringLiteral("-"), fd,
        forSpreadsheet ? zentavo::AccountNameCheck::Use::Spreadsheet : zentavo::AccountNameCheck::Use::Lines);
    if (read.error.isEmpty() == read.names.isEmpty())
        std::abort();
    QSet<QString> seen;
    for (const QString &name : read.names) {
        const QList<uint> characters = name.toUcs4();
        if (name.isEmpty() || name.startsWith(QLatin1Char('#')) || name.contains(QLatin1Char(':')) ||
            name.toUtf8().size() > 256 || QChar::isSpace(characters.first()) ||
            QChar::isSpace(characters.last()) ||
            (forSpreadsheet && QStringLiteral("=+-@").contains(name.front())))
            std::abort();
        for (const uint c : characters) {
            const QChar::Category category = QChar::category(c);
            if (category == QChar::Other_Control || category == QChar::Other_Format ||
                category == QChar::Separator_Line || category == QChar::Separator_Paragraph ||
                QChar::isNonCharacter(c))
                std::abort();
        }
        const QString key = name.normalized(QString::NormalizationForm_C);
        if (seen.contains(key))
            std::abort();
        seen.insert(key);
    }
    return 0;
}
