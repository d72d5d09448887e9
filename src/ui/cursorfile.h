#pragma once

#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <QString>
#include <optional>

namespace zentavo {

// The hot spot of a Windows cursor file: the x and y in its first directory
// entry (bytes 10 to 13, little-endian), or nothing when the file is too
// short or not a cursor.
std::optional<QPoint> cursorHotSpot(const QByteArray &fileStart);

// The pointer in a Windows .cur file, with its hot spot where the file puts
// it (Qt reads the picture but not the hot spot). Throws Failure when the
// file cannot be read or holds no cursor.
QCursor loadCursorFile(const QString &path);

} // namespace zentavo
