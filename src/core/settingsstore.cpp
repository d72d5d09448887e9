#include "core/settingsstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentavo {

namespace {

const QString kSection = QStringLiteral("Zentavo");

// Options fit in a few hundred bytes; a file far larger is not ours.
constexpr qsizetype kLargestSettingsFile = qsizetype(1) << 20;

QString kindOfNonFile(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("zentavo::SettingsStore", "it is a named pipe (FIFO), not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("zentavo::SettingsStore", "it is a device, not a file");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("zentavo::SettingsStore", "it is a socket, not a file");
    return QCoreApplication::translate("zentavo::SettingsStore", "it is not a file");
}

// The file's bytes, read without ever waiting: opening a FIFO for reading
// would otherwise block until some other program opened it for writing.
// Empty with `error` set when it cannot be read or is no plain file.
// `info` is the file that was read.
QByteArray readPlainFile(const QString &path, struct stat &info, QString &error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = qt_error_string(errno);
        return {};
    }
    QByteArray bytes;
    if (::fstat(fd, &info) != 0) {
        error = qt_error_string(errno);
    } else if (!S_ISREG(info.st_mode)) {
        error = kindOfNonFile(info.st_mode);
    } else {
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = qt_error_string(errno);
                break;
            }
            if (got == 0 || bytes.size() > kLargestSettingsFile)
                break;
            bytes.append(buffer, got);
        }
    }
    ::close(fd);
    return bytes;
}

// What of `values` the store reads back after writing it: a key or value
// its file cannot hold (a key "//" comes back as "\\") is left out.
QMap<QString, QVariant> keptByTheStore(const QMap<QString, QVariant> &values)
{
    QTemporaryFile file;
    if (!file.open())
        return values; // nothing to tell by: taken as it is
    file.close();
    {
        QSettings written(file.fileName(), QSettings::IniFormat);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            written.setValue(it.key(), it.value());
    }
    QSettings read(file.fileName(), QSettings::IniFormat);
    QMap<QString, QVariant> kept;
    for (const QString &key : read.allKeys()) {
        if (values.contains(key) && values.value(key) == read.value(key))
            kept.insert(key, values.value(key));
    }
    return read.status() == QSettings::NoError ? kept : QMap<QString, QVariant>();
}

bool sameEntry(const struct stat &one, const struct stat &other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// Moves the entry at `path` to the first free name of Zentavo.ini.damaged,
// Zentavo.ini.damaged.1, .2 ..., never over an earlier copy. The name it
// went to, or none (errno says why).
QByteArray moveAside(const QByteArray &path)
{
    for (int number = 0; number < 1000; ++number) {
        QByteArray aside = path + ".damaged" + (number ? '.' + QByteArray::number(number) : QByteArray());
        int moved = ::renameat2(AT_FDCWD, path.constData(), AT_FDCWD, aside.constData(), RENAME_NOREPLACE);
        if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system that cannot rename without replacing (NFS): a
            // second name is never made over an existing one either.
            moved = ::link(path.constData(), aside.constData());
            if (moved == 0)
                ::unlink(path.constData());
        }
        if (moved == 0)
            return aside;
        if (errno != EEXIST)
            return {};
    }
    errno = EEXIST;
    return {};
}

} // namespace

SettingsStore::SettingsStore(Access access)
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/Veltrano/Zentavo.ini"),
                    access)
{
}

SettingsStore::SettingsStore(const QString &fileName, Access access) : m_fileName(fileName), m_access(access)
{
    open();
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::open()
{
    const QByteArray path = QFile::encodeName(m_fileName);
    struct stat entry = {}, target = {};
    if (::lstat(path.constData(), &entry) != 0) {
        // Nothing there yet: the first write makes it.
        m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
        return;
    }
    const bool isLink = S_ISLNK(entry.st_mode);
    const bool dangling = isLink && ::stat(path.constData(), &target) != 0;
    const mode_t mode = isLink ? target.st_mode : entry.st_mode;
    if (m_access == Access::ReadOnly && (dangling || S_ISDIR(mode))) {
        // Nothing to read, and nothing this store may mend: said once.
        m_readError =
            dangling ? qt_error_string(errno)
                     : QCoreApplication::translate("zentavo::SettingsStore", "it is a folder, not a file");
        return;
    }
    if (!dangling && S_ISDIR(mode)) {
        // Reads find nothing and writes say that a folder is in the way.
        m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
        return;
    }
    if (!dangling && !S_ISREG(mode)) {
        m_readError = kindOfNonFile(mode);
        return;
    }

    // What is judged: the file read, or the link itself, which is what
    // goes aside.
    QByteArray bytes;
    struct stat judged = entry;
    if (!dangling) {
        bytes = readPlainFile(m_fileName, isLink ? target : judged, m_readError);
        if (!m_readError.isEmpty())
            return;
    }
    judge(bytes, dangling, judged);
}

void SettingsStore::judge(const QByteArray &bytes, bool dangling, const struct stat &judged)
{
    // QSettings judges the bytes in a copy of their own: given the damaged
    // file itself, it would later write over it.
    QTemporaryFile copy;
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()) {
        m_readError = QCoreApplication::translate("zentavo::SettingsStore", "it could not be checked: %1")
                          .arg(copy.errorString());
        return;
    }
    // It parses on first use, so the keys come before the verdict.
    QSettings parsed(copy.fileName(), QSettings::IniFormat);
    QMap<QString, QVariant> readable;
    for (const QString &key : parsed.allKeys())
        readable.insert(key, parsed.value(key));
    // A file counts as settings only when the store can write back all it
    // read: otherwise the next write would turn it into one that is not.
    const bool intact =
        !dangling && parsed.status() == QSettings::NoError && bytes.size() <= kLargestSettingsFile;
    const QMap<QString, QVariant> kept =
        intact && m_access == Access::ReadOnly ? readable : keptByTheStore(readable);
    if (intact && kept == readable) {
        m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
        return;
    }
    if (m_access == Access::ReadOnly) {
        // What could be read is used; the file stays as it is.
        const QString section = kSection + QLatin1Char('/');
        for (auto it = readable.cbegin(); it != readable.cend(); ++it) {
            if (!it.key().startsWith(section))
                continue;
            const QVariant &value = it.value();
            if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QStringList)
                m_unsaved.insert(it.key().mid(section.size()),
                                 value.typeId() == QMetaType::QString
                                     ? value.toString()
                                     : value.toStringList().join(QLatin1Char(',')));
        }
        return;
    }
    replaceDamaged(kept, judged);
}

void SettingsStore::replaceDamaged(const QMap<QString, QVariant> &readable, const struct stat &judged)
{
    // Renaming moves the entry itself: the damaged bytes stay as they were,
    // and a link goes aside as a link, what it points to untouched. Only
    // what was judged goes: another copy of the program starting at the
    // same time may have set it aside already and put a fresh file in its
    // place.
    const QByteArray path = QFile::encodeName(m_fileName);
    struct stat now = {};
    if (::lstat(path.constData(), &now) == 0 && sameEntry(now, judged)) {
        const QByteArray aside = moveAside(path);
        if (aside.isEmpty()) {
            m_readError = QCoreApplication::translate(
                              "zentavo::SettingsStore",
                              "it cannot be read as settings, and could not be set aside as %1: %2")
                              .arg(m_fileName + QStringLiteral(".damaged"), qt_error_string(errno));
            return;
        }
        // Swapped in between the look and the move: the fresh file goes back.
        if (::lstat(aside.constData(), &now) == 0 && !sameEntry(now, judged))
            ::renameat2(AT_FDCWD, aside.constData(), AT_FDCWD, path.constData(), RENAME_NOREPLACE);
    }
    m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
    for (auto it = readable.cbegin(); it != readable.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
    m_settings->sync();
}

QString SettingsStore::ReadSetting(const QString &key, const QString &defaultValue) const
{
    if (!m_settings)
        return m_unsaved.value(key, defaultValue);
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
    return WriteSettings({{key, value}});
}

bool SettingsStore::WriteSettings(const QList<std::pair<QString, QString>> &values)
{
    if (m_access == Access::ReadOnly) {
        for (const auto &[key, value] : values)
            m_unsaved.insert(key, value);
        m_writeError =
            QCoreApplication::translate("zentavo::SettingsStore", "the options are only read here");
        return false;
    }
    if (!m_settings) {
        // The file was left alone on purpose; the values hold for this run.
        for (const auto &[key, value] : values)
            m_unsaved.insert(key, value);
        m_writeError = m_readError;
        return false;
    }
    for (const auto &[key, value] : values)
        m_settings->setValue(kSection + QLatin1Char('/') + key, value);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) {
        m_writeError.clear();
        return true;
    }
    m_writeError = explainWriteFailure();
    return false;
}

QString SettingsStore::explainWriteFailure() const
{
    // QSettings only says that it failed; the file system tells why.
    const QString path = fileName();
    const QFileInfo info(path);
    if (info.isDir())
        return QCoreApplication::translate("zentavo::SettingsStore", "a folder of that name is in the way");
    const QFileInfo folder(info.absolutePath());
    if (folder.exists() && !folder.isDir())
        return QCoreApplication::translate("zentavo::SettingsStore", "%1 is a file, not a folder")
            .arg(folder.absoluteFilePath());
    QFile probe(path);
    if (!probe.open(QIODevice::ReadWrite | QIODevice::Append))
        return probe.errorString();
    return QCoreApplication::translate("zentavo::SettingsStore",
                                       "the disk may be full or the file may be read-only");
}

} // namespace zentavo
