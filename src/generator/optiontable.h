#pragma once

#include "generator/options.h"

#include <QtGlobal>
#include <array>
#include <limits>
#include <variant>

namespace zentavo {

// Every option in one place: its key in the settings store, the text an
// empty store gives, the field of GenerationOptions it sets and, for the two
// numbers, the largest value taken (the least is 1). A check box is stored
// "1" or "0" (core/optionsettings.h), a text verbatim. The window, the
// command line, the strength figure and the screen reader's texts all read
// the limits from here.
struct OptionSetting
{
    using Field = std::variant<bool GenerationOptions::*, QString GenerationOptions::*>;

    const char *key;
    const char *firstRunValue;
    Field field;
    qint64 maximum = 0; // 0: not a number
};

// The rows the front ends name. The count is read as a 32-bit number, as
// the line numbers are; a length as a 16-bit one.
inline constexpr OptionSetting kOwnCharacters{"Specified Character", "!@#$%^&*()",
                                              &GenerationOptions::specifiedCharacters};
inline constexpr OptionSetting kPasswordCount{"Number Of Passwords", "50", &GenerationOptions::passwordCount,
                                              std::numeric_limits<qint32>::max()};
inline constexpr OptionSetting kPasswordLength{"Password Length", "6", &GenerationOptions::passwordLength,
                                               std::numeric_limits<qint16>::max()};

// The words of a passphrase, zentavo-cli's alone: as many as a length may be.
inline constexpr OptionSetting kWordCount{"", "", &GenerationOptions::wordCount,
                                          std::numeric_limits<qint16>::max()};

// Listed in the order the options are restored at start-up.
inline constexpr std::array<OptionSetting, 12> kOptionSettings{{
    {"Alpha Lower", "1", &GenerationOptions::useLowerCase},
    {"Alpha Upper", "1", &GenerationOptions::useUpperCase},
    {"Numeric", "1", &GenerationOptions::useDigits},
    {"Specified", "0", &GenerationOptions::useSpecified},
    kOwnCharacters,
    kPasswordCount,
    kPasswordLength,
    {"Check8", "1", &GenerationOptions::atLeastOneFromEachGroup},
    {"Check9", "1", &GenerationOptions::showLineNumbers},
    {"Check4", "1", &GenerationOptions::lastCharacterDigit},
    {"Check3", "1", &GenerationOptions::includeSpace},
    {"Check1", "1", &GenerationOptions::removeVowels},
}};

} // namespace zentavo
