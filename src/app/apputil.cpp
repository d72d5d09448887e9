#include "apputil.h"

#include <QDir>

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

} // namespace zentavo
