#pragma once

#include <QString>

namespace zentavo {

// Whether a file of passwords may be written at `path` for the user with id
// `user`, looking at the path itself, not through it: why not, or an empty
// string when it may. Refused are a link another user made, a link that
// leads nowhere, to another link or to anything but a file, whatever
// another user owns, and anything in a folder where other users can swap
// entries (writable by everyone and not sticky, or owned by another user who
// is not the system). Nothing there yet is fine: the new file is private.
QString refusedDestination(const QString &path, uint user);

} // namespace zentavo
