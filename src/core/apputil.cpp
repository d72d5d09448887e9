#include "core/apputil.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace zentavo {

QString applicationTitleFor(const QString &productName)
{
    QString title = productName;
    do {
        const qsizetype space = title.lastIndexOf(QLatin1Char(' '));
        if (space < 0)
            break;
        title.truncate(space);
    } while (title.size() > 40);
    return title;
}

QString FileNameFromPath(const QString &path)
{
    const QString native = QDir::fromNativeSeparators(path);
    return native.mid(native.lastIndexOf(QLatin1Char('/')) + 1);
}

bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

bool IsDevelopmentRun(const QString &programFolder)
{
    QDir folder(programFolder);
    if (programFolder.isEmpty() || !folder.exists())
        return true;
    for (int level = 0; level < 3; ++level) {
        if (folder.exists(QStringLiteral("CMakeCache.txt")))
            return true;
        if (!folder.cdUp())
            break;
    }
    return false;
}

} // namespace zentavo
