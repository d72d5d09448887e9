#pragma once

#include "generator/options.h"

#include <array>
#include <variant>

namespace zentavo {

// Every option in one place: its key in the settings store, the text an
// empty store gives, and the field of GenerationOptions it sets. A check box
// is stored "1" or "0" (core/optionsettings.h), a text verbatim. Listed in
// the order the options are restored at start-up.
struct OptionSetting
{
    using Field = std::variant<bool GenerationOptions::*, QString GenerationOptions::*>;

    const char *key;
    const char *firstRunValue;
    Field field;
};

inline const std::array<OptionSetting, 12> kOptionSettings{{
    {"Alpha Lower", "1", &GenerationOptions::useLowerCase},
    {"Alpha Upper", "1", &GenerationOptions::useUpperCase},
    {"Numeric", "1", &GenerationOptions::useDigits},
    {"Specified", "0", &GenerationOptions::useSpecified},
    {"Specified Character", "!@#$%^&*()", &GenerationOptions::specifiedCharacters},
    {"Number Of Passwords", "50", &GenerationOptions::passwordCount},
    {"Password Length", "6", &GenerationOptions::passwordLength},
    {"Check8", "1", &GenerationOptions::atLeastOneFromEachGroup},
    {"Check9", "1", &GenerationOptions::showLineNumbers},
    {"Check4", "1", &GenerationOptions::lastCharacterDigit},
    {"Check3", "1", &GenerationOptions::includeSpace},
    {"Check1", "1", &GenerationOptions::removeVowels},
}};

} // namespace zentavo
