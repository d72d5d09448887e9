// The account names file of zentavo-cli --accounts. Besides not crashing,
// every name it lets through must be one chpasswd and /etc/passwd can take.
#include "cli/accountnames.h"

#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const int fd = memfd_create("names", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size) ||
        lseek(fd, 0, SEEK_SET) != 0)
        std::abort();
    const zentavo::cli::AccountNames read = zentavo::cli::readAccountNames(QStringLiteral("-"), fd);
    if (read.error.isEmpty() == read.names.isEmpty())
        std::abort();
    for (const QString &name : read.names) {
        if (name.isEmpty() || name != name.trimmed() || name.startsWith(QLatin1Char('#')) ||
            name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('\n')))
            std::abort();
        for (const QChar c : name)
            if (c.category() == QChar::Other_Control)
                std::abort();
    }
    return 0;
}
