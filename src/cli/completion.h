#pragma once

#include "cli/commandline.h"

#include <QString>

namespace zentavo::cli {

// The completion script for `shell`, made from the command line's option
// table. The package installs the three, made by the program it ships, so
// they know the options it knows.
QString completionScript(Shell shell);

} // namespace zentavo::cli
