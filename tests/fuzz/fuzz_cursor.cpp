// The pointer file beside the program: its hot spot and its picture.
#include "ui/cursorfile.h"

#include "core/failure.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_cursor";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *application =
        (qputenv("QT_QPA_PLATFORM", "offscreen"), new QGuiApplication(argc, argv));
    static QTemporaryDir folder;
    Q_UNUSED(application);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    zentavo::cursorHotSpot(bytes);
    const QString path = folder.filePath(QStringLiteral("HAND-M.CUR"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    file.close();
    try {
        zentavo::loadCursorFile(path);
    } catch (const zentavo::Failure &) {
    }
    return 0;
}
