#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <memory>
#include <utility>

class QSettings;
struct stat;

namespace zentavo {

// The user's options between runs: texts under the application "Veltrano",
// the section "Zentavo" and a key. By default the INI file
// $XDG_CONFIG_HOME/Veltrano/Zentavo.ini (~/.config/Veltrano/Zentavo.ini).
//
// Every write is on disk when WriteSetting returns, so nothing needs saving at
// exit. Another running copy writing the same file is merged key by key: the
// last write of each key wins.
//
// The file is looked at before anything reads it:
// - one that cannot be parsed as settings (a power cut leaves NUL bytes, an
//   editor a byte-order mark) is moved aside, unchanged, as
//   Zentavo.ini.damaged (or .damaged.1, .2 ... beside earlier ones), and a
//   fresh file holds what could be read of it; what goes aside is the file
//   that was read, never one another copy of the program put there since;
//   a link to such a file, or to nothing, is moved aside the same way (the
//   link, never what it points to);
// - one that cannot be read, or is no plain file (a FIFO would block every
//   read, a device is not ours), is left alone: readError() says why, the
//   defaults apply, and nothing is written to it.
class SettingsStore
{
public:
    // ReadOnly never writes, moves or creates anything: a damaged file is
    // read as far as it can be and left as it is. For a program that only
    // borrows the window's options.
    enum class Access { ReadWrite, ReadOnly };

    // The user's own store.
    explicit SettingsStore(Access access = Access::ReadWrite);
    // The store in the given INI file.
    explicit SettingsStore(const QString &fileName, Access access = Access::ReadWrite);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // The stored text of the key, or the default when the key is absent or
    // holds something that is not a text (a hand-edited file may).
    QString ReadSetting(const QString &key, const QString &defaultValue) const;

    // Stores the text and writes the file. False when the file could not be
    // written; writeError() then says why.
    bool WriteSetting(const QString &key, const QString &value);
    // Stores every text and writes the file once.
    bool WriteSettings(const QList<std::pair<QString, QString>> &values);

    QString fileName() const { return m_fileName; }
    QString writeError() const { return m_writeError; }
    // Why the stored options could not be used at all; empty when they could.
    QString readError() const { return m_readError; }

private:
    void open();
    // Uses `bytes`, read from the file `judged` (the link, for a dangling
    // one), or sets it aside when they cannot be read as settings.
    void judge(const QByteArray &bytes, bool dangling, const struct stat &judged);
    void replaceDamaged(const QMap<QString, QVariant> &readable, const struct stat &judged);
    QString explainWriteFailure() const;

    QString m_fileName;
    Access m_access;
    std::unique_ptr<QSettings> m_settings; // none while the file is unusable
    QMap<QString, QString> m_unsaved;      // what was written meanwhile
    QString m_readError;
    QString m_writeError;
};

} // namespace zentavo
