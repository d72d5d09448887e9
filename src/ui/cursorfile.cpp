#include "ui/cursorfile.h"

#include "core/failure.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace zentavo {

std::optional<QPoint> cursorHotSpot(const QByteArray &fileStart)
{
    // ICONDIR: reserved 0, type 2 (cursor), count; then the first entry,
    // whose planes and bit-count fields hold the hot spot in a cursor.
    if (fileStart.size() < 14)
        return std::nullopt;
    const auto *bytes = reinterpret_cast<const uchar *>(fileStart.constData());
    if (qFromLittleEndian<quint16>(bytes) != 0 || qFromLittleEndian<quint16>(bytes + 2) != 2 ||
        qFromLittleEndian<quint16>(bytes + 4) == 0)
        return std::nullopt;
    return QPoint(qFromLittleEndian<quint16>(bytes + 10), qFromLittleEndian<quint16>(bytes + 12));
}

QCursor loadCursorFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QCoreApplication::translate("zentavo::CursorFile", "The pointer %1 cannot be read: %2")
                          .arg(path, file.errorString()));
    const std::optional<QPoint> hotSpot = cursorHotSpot(file.read(14));
    file.seek(0);
    QImageReader reader(&file, "cur");
    const QImage image = reader.read();
    if (!hotSpot || image.isNull())
        throw Failure(
            QCoreApplication::translate("zentavo::CursorFile", "The pointer %1 is not a cursor file.")
                .arg(path));
    return QCursor(QPixmap::fromImage(image), hotSpot->x(), hotSpot->y());
}

} // namespace zentavo
