#pragma once

#include <QString>
#include <optional>

namespace zentavo {

// Checks the text of a numeric field as the user leaves it: a number that,
// rounded half to even, is at least 1 and at most `maximum`. Returns the
// warning to show, or nothing when the text passes. The text itself is never
// changed, so " 7 " passes and keeps its blanks.
std::optional<QString> numberFieldWarning(const QString &text, qint64 maximum, const QString &tooLarge);

} // namespace zentavo
