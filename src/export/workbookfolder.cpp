#include "export/workbookfolder.h"

#include "core/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

#include <cerrno>

#ifdef Q_OS_LINUX
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zentavo {

namespace {

constexpr QFile::Permissions kUserOnlyFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions kUserOnlyFile = QFile::ReadOwner | QFile::WriteOwner;

QString lockPathFor(const QString &folder)
{
    return folder + QStringLiteral(".lock");
}

std::unique_ptr<QLockFile> lockIfUnused(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(lockPathFor(folder));
    // Never stale by age: only when the program that took it has ended.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

// Whether any program has the file open now. The kernel merges an open that
// follows another unread open into one event, so counting events cannot
// tell; the open files of every process we may look at can.
bool isOpenAnywhere(const QString &path)
{
#ifdef Q_OS_LINUX
    struct stat target = {};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return false;
    DIR *processes = ::opendir("/proc");
    if (!processes)
        return false;
    bool open = false;
    while (const dirent *process = ::readdir(processes)) {
        if (process->d_name[0] < '1' || process->d_name[0] > '9')
            continue;
        const QByteArray fdFolder = QByteArray("/proc/") + process->d_name + "/fd";
        DIR *fds = ::opendir(fdFolder.constData());
        if (!fds)
            continue; // not ours to look at, or gone
        while (const dirent *fd = ::readdir(fds)) {
            struct stat info = {};
            if (fd->d_name[0] != '.' && ::stat((fdFolder + '/' + fd->d_name).constData(), &info) == 0 &&
                info.st_dev == target.st_dev && info.st_ino == target.st_ino) {
                open = true;
                break;
            }
        }
        ::closedir(fds);
        if (open)
            break;
    }
    ::closedir(processes);
    return open;
#else
    Q_UNUSED(path);
    return false;
#endif
}

#ifdef Q_OS_LINUX
// Removes the entry `name` of the open folder `parent`: a file or a link
// goes, a folder is emptied first. Links are never followed and every name
// is taken relative to its own folder, so nothing outside is touched.
bool removeEntry(int parent, const char *name)
{
    struct stat info = {};
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(parent, name, 0) == 0;
    const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR *entries = folder >= 0 ? ::fdopendir(folder) : nullptr;
    if (!entries) {
        if (folder >= 0)
            ::close(folder);
        return false;
    }
    bool removed = true;
    while (const dirent *entry = ::readdir(entries)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            removed = removeEntry(::dirfd(entries), entry->d_name) && removed;
    }
    ::closedir(entries);
    return ::unlinkat(parent, name, AT_REMOVEDIR) == 0 && removed;
}
#endif

// Removes `path` and, if it is a folder, all it holds; a link goes itself.
bool removeTree(const QString &path)
{
#ifdef Q_OS_LINUX
    return removeEntry(AT_FDCWD, QFile::encodeName(path).constData());
#else
    return QFileInfo(path).isSymLink() ? QFile::remove(path) : QDir(path).removeRecursively();
#endif
}

// A folder of the user's own at `path`, not a link or someone else's folder
// planted in its place.
bool isOwnFolder(const QString &path)
{
#ifdef Q_OS_LINUX
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid();
#else
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
#endif
}

} // namespace

WorkbookFolder::WorkbookFolder(QString base, int quietMs, int fallbackMs, QObject *parent)
    : QObject(parent), m_base(std::move(base)), m_quietMs(quietMs), m_fallbackMs(fallbackMs)
{
#ifdef Q_OS_LINUX
    m_inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify >= 0) {
        m_notifier = new QSocketNotifier(m_inotify, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &WorkbookFolder::readEvents);
    }
#endif
}

WorkbookFolder::~WorkbookFolder()
{
    // A file read a moment ago counts as read, though the event loop has not
    // seen the kernel's word of it yet.
    readEvents();
    bool unread = false;
    for (const auto &[watch, state] : m_watches) {
        if (state.read)
            QFile::remove(state.file);
        else
            unread = true;
    }
#ifdef Q_OS_LINUX
    if (m_inotify >= 0)
        ::close(m_inotify);
#endif
    if (!m_folder.isEmpty() && !unread)
        removeTree(m_folder);
    // Unlocked, a folder still holding an unread file is the next start's to
    // remove.
}

QString WorkbookFolder::defaultBase()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/zentavo-workbooks");
}

QString WorkbookFolder::noRuntimeFolder()
{
    // Qt takes $XDG_RUNTIME_DIR and, when that is unset or unfit, a folder
    // of the user's in the temporary folder: both were tried, so both are
    // named, each with what was wrong with it.
    auto whyNot = [](const QString &path) -> QString {
#ifdef Q_OS_LINUX
        struct stat info = {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return QCoreApplication::translate("zentavo::WorkbookFolder", "it could not be made: %1")
                .arg(qt_error_string(errno));
        if (!S_ISDIR(info.st_mode))
            return QCoreApplication::translate("zentavo::WorkbookFolder", "it is not a folder");
        if (info.st_uid != ::geteuid())
            return QCoreApplication::translate("zentavo::WorkbookFolder", "it belongs to another user");
        if ((info.st_mode & 0777) != 0700)
            return QCoreApplication::translate("zentavo::WorkbookFolder", "others may enter it");
#else
        Q_UNUSED(path);
#endif
        return QCoreApplication::translate("zentavo::WorkbookFolder", "it cannot be used");
    };
    QString user;
#ifdef Q_OS_LINUX
    if (const passwd *entry = ::getpwuid(::geteuid()))
        user = QFile::decodeName(entry->pw_name);
#endif
    const QString fromEnvironment = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString fallback = QDir::tempPath() + QStringLiteral("/runtime-") + user;
    const QString first =
        fromEnvironment.isEmpty()
            ? QCoreApplication::translate("zentavo::WorkbookFolder", "XDG_RUNTIME_DIR is not set")
            : QCoreApplication::translate("zentavo::WorkbookFolder", "XDG_RUNTIME_DIR is %1, but %2")
                  .arg(QDir::toNativeSeparators(fromEnvironment), whyNot(fromEnvironment));
    return QCoreApplication::translate(
               "zentavo::WorkbookFolder",
               "There is no private folder for workbooks: %1, and %2 was tried instead, but %3.")
        .arg(first, QDir::toNativeSeparators(fallback), whyNot(fallback));
}

void WorkbookFolder::removeLeftovers(const QString &base)
{
    if (base.isEmpty())
        return; // no folder, no leftovers (and QDir would take the current folder)
    const QDir dir(base);
#ifdef Q_OS_LINUX
    // The base itself is looked at, not through, like everything in it: a
    // link or another user's folder in its place is not ours to clear out.
    // Its entries are then taken through the folder that was checked.
    const int folderFd =
        ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info = {};
    if (folderFd < 0 || ::fstat(folderFd, &info) != 0 || info.st_uid != ::geteuid()) {
        if (folderFd >= 0)
            ::close(folderFd);
        return;
    }
    DIR *entries = ::fdopendir(folderFd);
    if (!entries) {
        ::close(folderFd);
        return;
    }
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        struct stat found = {};
        if (name != "." && name != ".." &&
            ::fstatat(folderFd, entry->d_name, &found, AT_SYMLINK_NOFOLLOW) == 0 &&
            (S_ISDIR(found.st_mode) || S_ISLNK(found.st_mode)))
            names << name;
    }
    for (const QByteArray &name : names) {
        // A link found here is not a program's folder: it goes, what it
        // points to stays.
        if (auto lock = lockIfUnused(dir.filePath(QFile::decodeName(name))))
            removeEntry(::dirfd(entries), name.constData());
    }
    ::closedir(entries);
#else
    for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString program = dir.filePath(name);
        if (auto lock = lockIfUnused(program))
            removeTree(program);
    }
#endif
    // Locks left without their folder go too (unlocking removes them).
    for (const QString &name : dir.entryList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden)) {
        const QString program = dir.filePath(name.chopped(5));
        if (!QFileInfo::exists(program))
            lockIfUnused(program);
    }
}

QString WorkbookFolder::folder()
{
    if (!m_folder.isEmpty())
        return m_folder;
    if (m_base.isEmpty())
        throw Failure(noRuntimeFolder());
    // A link or another user's folder planted in its place is not ours to
    // make private.
    errno = 0;
    if (!QDir().mkpath(m_base) || !isOwnFolder(m_base) || !QFile::setPermissions(m_base, kUserOnlyFolder))
        throw Failure(
            QCoreApplication::translate("zentavo::WorkbookFolder", "The folder %1 could not be created: %2")
                .arg(QDir::toNativeSeparators(m_base),
                     errno ? qt_error_string(errno)
                           : QCoreApplication::translate("zentavo::WorkbookFolder", "it is in the way")));
    const QDir base(m_base);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QString::number(QRandomGenerator::global()->generate64(), 36);
        const QString candidate = base.filePath(name);
        auto lock = lockIfUnused(candidate);
        if (!lock || QFileInfo::exists(candidate))
            continue;
        if (!base.mkdir(name, kUserOnlyFolder))
            break;
        m_lock = std::move(lock);
        m_folder = candidate;
        return m_folder;
    }
    throw Failure(
        QCoreApplication::translate("zentavo::WorkbookFolder", "No private folder could be made in %1.")
            .arg(QDir::toNativeSeparators(m_base)));
}

QString WorkbookFolder::createFile(const QString &nameTemplate)
{
    QTemporaryFile file(QDir(folder()).filePath(nameTemplate));
    file.setAutoRemove(false);
    if (!file.open() || !file.setPermissions(kUserOnlyFile))
        throw Failure(
            QCoreApplication::translate("zentavo::WorkbookFolder", "A file could not be created in %1: %2")
                .arg(QDir::toNativeSeparators(m_folder), file.errorString()));
    return file.fileName();
}

void WorkbookFolder::removeOnceRead(const QString &file)
{
    int watch = -1;
#ifdef Q_OS_LINUX
    if (m_inotify >= 0)
        watch = inotify_add_watch(m_inotify, QFile::encodeName(file).constData(),
                                  IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);
#endif
    auto *quiet = new QTimer(this);
    quiet->setSingleShot(true);
    if (watch < 0) {
        // Nothing tells when the file is read: give the application ample
        // time to start and read it.
        watch = m_nextUnwatched--;
        quiet->start(m_fallbackMs);
    }
    Watch &state = m_watches[watch];
    if (state.quiet)
        state.quiet->deleteLater(); // the same file handed over again
    state = Watch{file, false, quiet};
    connect(quiet, &QTimer::timeout, this, [this, watch] {
        // Still open somewhere (a look and the real load may overlap): wait.
        const auto found = m_watches.find(watch);
        if (found != m_watches.end() && watch >= 0 && isOpenAnywhere(found->second.file))
            found->second.quiet->start(m_quietMs);
        else
            remove(watch);
    });
}

void WorkbookFolder::discard(const QString &file)
{
    for (const auto &[watch, state] : m_watches) {
        if (state.file == file) {
            remove(watch);
            return;
        }
    }
    QFile::remove(file);
}

QStringList WorkbookFolder::pendingFiles() const
{
    QStringList files;
    for (const auto &[watch, state] : m_watches)
        files << state.file;
    return files;
}

void WorkbookFolder::readEvents()
{
#ifdef Q_OS_LINUX
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(m_inotify, buffer, sizeof buffer);
        if (length <= 0)
            return;
        for (ssize_t offset = 0; offset < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            const auto found = m_watches.find(event->wd);
            if (found == m_watches.end())
                continue;
            Watch &state = found->second;
            if (event->mask & IN_OPEN)
                state.quiet->stop();
            if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                state.read = true;
                state.quiet->start(m_quietMs);
            }
            if (event->mask & IN_IGNORED) {
                // The file went by other means.
                state.quiet->deleteLater();
                m_watches.erase(found);
            }
        }
    }
#endif
}

void WorkbookFolder::remove(int watch)
{
    const auto found = m_watches.find(watch);
    if (found == m_watches.end())
        return;
    QFile::remove(found->second.file);
    found->second.quiet->deleteLater();
    m_watches.erase(found);
#ifdef Q_OS_LINUX
    if (watch >= 0)
        inotify_rm_watch(m_inotify, watch);
#endif
}

} // namespace zentavo
