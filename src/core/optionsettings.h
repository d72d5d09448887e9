#pragma once

#include <QString>
#include <array>

namespace zentavo {

// The stored form of every option: its key in the settings store, the text
// an empty store gives, and whether it belongs to a check box (stored "1" or
// "0") or to a text field (stored verbatim). Listed in the order the options
// are restored at start-up.
struct OptionSetting
{
    const char *key;
    const char *firstRunValue;
    bool isCheckBox;
};

inline constexpr std::array<OptionSetting, 12> kOptionSettings{{
    {"Alpha Lower", "1", true},                       // Check5
    {"Alpha Upper", "1", true},                       // Check6
    {"Numeric", "1", true},                           // Check7
    {"Specified", "0", true},                         // Check2
    {"Specified Character", "!@#$%^&*()", false},     // Text1
    {"Number Of Passwords", "50", false},             // Text2
    {"Password Length", "6", false},                  // Text3
    {"Check8", "1", true},                            // at least one from each group
    {"Check9", "1", true},                            // show line numbers
    {"Check4", "1", true},                            // last character a digit
    {"Check3", "1", true},                            // include a space
    {"Check1", "1", true},                            // remove vowels
}};

// The splash window's own setting: "1" hides it at later starts.
inline constexpr OptionSetting kShowAgain{"ShowAgain", "0", false};

inline QString encodeCheckBox(bool checked)
{
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

// Only exactly "1" means checked: "1 ", "true" or "2" do not.
inline bool decodeCheckBox(const QString &stored)
{
    return stored == QLatin1String("1");
}

} // namespace zentavo
