#include "generator/storedoptions.h"

#include "core/optionsettings.h"
#include "core/settingsstore.h"

#include <QLatin1StringView>

namespace zentavo {

GenerationOptions readStoredOptions(const SettingsStore &store)
{
    // Looked up by key, so the table may list its options in any order.
    auto text = [&](const char *key) {
        for (const OptionSetting &setting : kOptionSettings)
            if (QLatin1StringView(setting.key) == QLatin1StringView(key))
                return store.ReadSetting(QString::fromLatin1(key),
                                         QString::fromLatin1(setting.firstRunValue));
        qFatal("no stored option has the key %s", key);
    };
    auto checked = [&](const char *key) { return decodeCheckBox(text(key)); };

    GenerationOptions options;
    options.useLowerCase = checked("Alpha Lower");
    options.useUpperCase = checked("Alpha Upper");
    options.useDigits = checked("Numeric");
    options.useSpecified = checked("Specified");
    options.specifiedCharacters = text("Specified Character");
    options.passwordCount = text("Number Of Passwords");
    options.passwordLength = text("Password Length");
    options.atLeastOneFromEachGroup = checked("Check8");
    options.showLineNumbers = checked("Check9");
    options.lastCharacterDigit = checked("Check4");
    options.includeSpace = checked("Check3");
    options.removeVowels = checked("Check1");
    return options;
}

} // namespace zentavo
