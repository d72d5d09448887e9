#pragma once

#include <QString>
#include <array>

namespace zentavo {

// Every option in one place: its key in the settings store, the text an
// empty store gives, and the object name of the main window's control that
// shows it. A check box is stored "1" or "0", a text field verbatim. Listed
// in the order the options are restored at start-up.
struct OptionSetting
{
    const char *key;
    const char *firstRunValue;
    const char *control;
};

inline constexpr std::array<OptionSetting, 12> kOptionSettings{{
    {"Alpha Lower", "1", "Check5"},
    {"Alpha Upper", "1", "Check6"},
    {"Numeric", "1", "Check7"},
    {"Specified", "0", "Check2"},
    {"Specified Character", "!@#$%^&*()", "Text1"},
    {"Number Of Passwords", "50", "Text2"},
    {"Password Length", "6", "Text3"},
    {"Check8", "1", "Check8"}, // at least one from each group
    {"Check9", "1", "Check9"}, // show line numbers
    {"Check4", "1", "Check4"}, // last character a digit
    {"Check3", "1", "Check3"}, // include a space
    {"Check1", "1", "Check1"}, // remove vowels
}};

// The splash window's own setting, shown by its check box: "1" hides it at
// later starts.
inline constexpr OptionSetting kShowAgain{"ShowAgain", "0", nullptr};

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
