#pragma once

#include <QString>

namespace zentavo {

// A stored setting: its key in the settings store and the text an empty
// store gives.
struct StoredSetting
{
    const char *key;
    const char *firstRunValue;
};

// The splash window's own setting, shown by its check box: "1" hides it at
// later starts.
inline constexpr StoredSetting kShowAgain{"ShowAgain", "0"};

// A check box is stored "1" or "0".
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
