#pragma once

#include <QString>

namespace zentavo {

// The product's name: the window caption and the settings section.
inline const QString kProductName = QStringLiteral("Zentavo");

// The title of message boxes that have none of their own: the product name
// cut at its last space, and again while it is longer than 40 characters. A
// name without a space is kept whole.
QString applicationTitleFor(const QString &productName);

// The part of a path after its last separator; the whole path when it has
// none, the empty text when it ends in one.
QString FileNameFromPath(const QString &path);

// True when the path's modification time can be read: folders count too.
// Never fails.
bool FileExists(const QString &path);

// True when the program runs from its build tree rather than installed: a
// CMakeCache.txt stands in the program folder or one of the two folders
// above it. Also true when that cannot be told.
bool IsDevelopmentRun(const QString &programFolder);

} // namespace zentavo
