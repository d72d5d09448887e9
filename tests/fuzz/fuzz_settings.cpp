// The settings file as found on disk: checked, repaired, read back. A file
// the store wrote is never judged damaged when read again.
#include "core/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("Zentavo.ini"));
    const QString aside = file + QStringLiteral(".damaged");
    QFile::remove(aside);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    out.write(reinterpret_cast<const char *>(data), qint64(size));
    out.close();
    (void)zentavo::SettingsStore(file, zentavo::SettingsStore::Access::ReadOnly)
        .ReadSetting(QStringLiteral("Check1"), {});
    {
        zentavo::SettingsStore store(file);
        store.ReadSetting(QStringLiteral("Check1"), {});
        store.WriteSetting(QStringLiteral("Check3"), QStringLiteral("0"));
    }
    QFile::remove(aside);
    zentavo::SettingsStore again(file);
    if (QFile::exists(aside))
        std::abort(); // the store's own file set aside as damaged
    return 0;
}
