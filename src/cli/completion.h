#pragma once

#include <QString>

namespace zentavo::cli {

// The completion script for `shell` (bash, zsh or fish), made from the
// command line's option table; empty for another shell. The package installs
// the three, made by the program it ships, so they know the options it knows.
QString completionScript(const QString &shell);

} // namespace zentavo::cli
