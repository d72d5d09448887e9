#pragma once

#include "generator/passwordshape.h"
#include "generator/strength.h"

namespace zentavo {

// The strength of passwords drawn without a character twice in a row: each
// position draws from its characters without the one before it, so the
// positions form a chain and are counted as one, forwards and backwards, in
// time proportional to the length times the characters.
Strength strengthWithoutRepeats(const PasswordShape &shape);

} // namespace zentavo
