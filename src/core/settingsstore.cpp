#include "core/settingsstore.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace zentavo {

namespace {
const QString kSection = QStringLiteral("Zentavo");
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Veltrano"), QStringLiteral("Zentavo")))
{
}

SettingsStore::SettingsStore(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

QString SettingsStore::ReadSetting(const QString &key, const QString &defaultValue) const
{
    const QVariant value = m_settings->value(kSection + QLatin1Char('/') + key);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        // An unquoted value with commas in a hand-edited file reads as a list.
        return value.toStringList().join(QLatin1Char(','));
    default:
        return defaultValue;
    }
}

bool SettingsStore::WriteSetting(const QString &key, const QString &value)
{
    if (m_settings->status() == QSettings::FormatError)
        setDamagedFileAside();
    m_settings->setValue(kSection + QLatin1Char('/') + key, value);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) {
        m_writeError.clear();
        return true;
    }
    m_writeError = explainWriteFailure();
    return false;
}

void SettingsStore::setDamagedFileAside()
{
    // A file that could not be parsed is never overwritten by QSettings, so
    // no option would be remembered again. Keep what could be read, move the
    // damaged file aside for whoever wants to look at it, and start afresh.
    QMap<QString, QVariant> readable;
    for (const QString &key : m_settings->allKeys())
        readable.insert(key, m_settings->value(key));
    const QString path = fileName();
    m_settings.reset();
    const QString aside = path + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(path, aside))
        QFile::remove(path);
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    for (auto it = readable.cbegin(); it != readable.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
}

QString SettingsStore::explainWriteFailure() const
{
    // QSettings only says that it failed; the file system tells why.
    const QString path = fileName();
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("a folder of that name is in the way");
    const QFileInfo folder(info.absolutePath());
    if (folder.exists() && !folder.isDir())
        return QStringLiteral("%1 is a file, not a folder").arg(folder.absoluteFilePath());
    QFile probe(path);
    if (!probe.open(QIODevice::ReadWrite | QIODevice::Append))
        return probe.errorString();
    return QStringLiteral("the disk may be full or the file may be read-only");
}

} // namespace zentavo
