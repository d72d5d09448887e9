#include "generator/storedoptions.h"

#include "core/optionsettings.h"
#include "core/settingsstore.h"
#include "generator/optiontable.h"

namespace zentavo {

GenerationOptions readStoredOptions(const SettingsStore &store)
{
    GenerationOptions options;
    for (const OptionSetting &setting : kOptionSettings) {
        const QString text =
            store.ReadSetting(QString::fromLatin1(setting.key), QString::fromLatin1(setting.firstRunValue));
        if (const auto *checked = std::get_if<bool GenerationOptions::*>(&setting.field))
            options.**checked = decodeCheckBox(text);
        else
            options.*std::get<QString GenerationOptions::*>(setting.field) = text;
    }
    return options;
}

} // namespace zentavo
