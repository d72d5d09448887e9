// zentavo-cli's arguments, NUL-separated in the input.
#include "cli/commandline.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList arguments;
    for (const QByteArray &argument :
         QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0'))
        arguments << QString::fromLocal8Bit(argument);
    zentavo::cli::parseCommandLine(arguments, zentavo::cli::scriptDefaults());
    return 0;
}
