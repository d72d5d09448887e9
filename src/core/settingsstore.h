#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace zentavo {

// The user's options between runs: texts under the application "Veltrano",
// the section "Zentavo" and a key. By default the INI file
// $XDG_CONFIG_HOME/Veltrano/Zentavo.ini (~/.config/Veltrano/Zentavo.ini).
//
// Every write is on disk when WriteSetting returns, so nothing needs saving at
// exit. Another running copy writing the same file is merged key by key: the
// last write of each key wins.
class SettingsStore
{
public:
    // The user's own store.
    SettingsStore();
    // The store in the given INI file.
    explicit SettingsStore(const QString &fileName);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // The stored text of the key, or the default when the key is absent or
    // holds something that is not a text (a hand-edited file may).
    QString ReadSetting(const QString &key, const QString &defaultValue) const;

    // Stores the text and writes the file. False when the file could not be
    // written; writeError() then says why. A file too damaged to be parsed is
    // kept beside the store as Zentavo.ini.damaged, and a fresh one holds
    // what could be read of it.
    bool WriteSetting(const QString &key, const QString &value);

    QString fileName() const;
    QString writeError() const { return m_writeError; }

private:
    void setDamagedFileAside();
    QString explainWriteFailure() const;

    std::unique_ptr<QSettings> m_settings;
    QString m_writeError;
};

} // namespace zentavo
