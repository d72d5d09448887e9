#pragma once

#include "generator/options.h"

namespace zentavo {

class SettingsStore;

// The options the window stored, as it would restore them at its next start
// (an option never stored has its first-run value). Only reads the store.
GenerationOptions readStoredOptions(const SettingsStore &store);

} // namespace zentavo
