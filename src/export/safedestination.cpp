#include "export/safedestination.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentavo {

void (*DestinationFile::afterChecks)() = nullptr;

namespace {

// Another user can remove, rename or plant entries in the folder: anyone,
// in a folder everyone may write to that is not sticky; the folder's owner,
// in a sticky one. The system's own owner (root) is trusted, as with /tmp.
bool othersCanChange(int folder, uint user)
{
    struct stat info = {};
    if (::fstat(folder, &info) != 0 || !(info.st_mode & S_IWOTH))
        return false;
    return !(info.st_mode & S_ISVTX) || (info.st_uid != user && info.st_uid != 0);
}

// The folder part and the name of `path`; an empty name when the path
// names a folder itself ("d/", ".", "..").
std::pair<QByteArray, QByteArray> split(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    QByteArray name = path.mid(slash + 1);
    if (name == "." || name == "..")
        name.clear();
    return {folder, name};
}

// The temporary name that a signal handler may have to remove: set only
// while such a name exists.
volatile sig_atomic_t unfinishedFolder = -1;
char unfinishedName[NAME_MAX + 1];

} // namespace

DestinationFile::DestinationFile(const QString &path, uint user)
{
    inspect(path, user);
}

DestinationFile::~DestinationFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty()) {
        unfinishedFolder = -1;
        ::unlinkat(m_folder, m_temporary.constData(), 0);
    }
    if (m_folder >= 0)
        ::close(m_folder);
}

bool DestinationFile::fail(int error)
{
    m_error = qt_error_string(error);
    return false;
}

void DestinationFile::inspect(const QString &path, uint user)
{
    const auto [folderPath, name] = split(QFile::encodeName(path));
    if (name.isEmpty()) {
        // A folder: the system's own word for what is wrong with it.
        struct stat info = {};
        fail(::stat(QFile::encodeName(path).constData(), &info) != 0 ? errno
             : S_ISDIR(info.st_mode)                                 ? EISDIR
                                                                     : ENOTDIR);
        return;
    }
    m_folder = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0) {
        fail(errno);
        return;
    }
    if (othersCanChange(m_folder, user)) {
        m_refusal = QCoreApplication::translate("zentavo::SafeDestination",
                                                "other users can change the folder it is in");
        return;
    }
    struct stat entry = {};
    if (::fstatat(m_folder, name.constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            fail(errno);
        m_name = name; // a new name: the file will be the user's alone
        return;
    }
    if (S_ISDIR(entry.st_mode)) {
        fail(EISDIR);
        return;
    }
    if (entry.st_uid != user) {
        m_refusal =
            S_ISLNK(entry.st_mode)
                ? QCoreApplication::translate("zentavo::SafeDestination", "it is a link made by another user")
                : QCoreApplication::translate("zentavo::SafeDestination", "the file belongs to another user");
        return;
    }
    if (!S_ISLNK(entry.st_mode)) {
        if (!S_ISREG(entry.st_mode))
            m_refusal = QCoreApplication::translate("zentavo::SafeDestination", "it is not a regular file");
        m_name = name;
        return;
    }

    // The user's own link: the file it leads to is the destination, looked
    // at through its own folder in the same way.
    char target[PATH_MAX + 1];
    const ssize_t length = ::readlinkat(m_folder, name.constData(), target, PATH_MAX);
    if (length <= 0) {
        m_refusal = QCoreApplication::translate("zentavo::SafeDestination",
                                                "it is a link to a file that does not exist");
        return;
    }
    const auto [targetFolder, targetName] = split(QByteArray(target, length));
    const int reachedFolder =
        targetName.isEmpty() ? -1
        : targetFolder.startsWith('/')
            ? ::open(targetFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
            : ::openat(m_folder, targetFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat reached = {};
    if (reachedFolder < 0 ||
        ::fstatat(reachedFolder, targetName.constData(), &reached, AT_SYMLINK_NOFOLLOW) != 0) {
        if (reachedFolder >= 0)
            ::close(reachedFolder);
        m_refusal = QCoreApplication::translate("zentavo::SafeDestination",
                                                "it is a link to a file that does not exist");
        return;
    }
    ::close(m_folder);
    m_folder = reachedFolder;
    if (S_ISLNK(reached.st_mode))
        m_refusal = QCoreApplication::translate("zentavo::SafeDestination", "it is a link to another link");
    else if (!S_ISREG(reached.st_mode))
        m_refusal = QCoreApplication::translate("zentavo::SafeDestination",
                                                "it is a link to something that is not a file");
    else if (reached.st_uid != user)
        m_refusal =
            QCoreApplication::translate("zentavo::SafeDestination", "it is a link to a file of another user");
    else if (othersCanChange(m_folder, user))
        m_refusal = QCoreApplication::translate("zentavo::SafeDestination",
                                                "it is a link into a folder other users can change");
    m_name = targetName;
}

bool DestinationFile::create()
{
    if (m_name.isEmpty() || !m_refusal.isEmpty())
        return false;
    if (afterChecks)
        afterChecks();
    // Without a name, the file vanishes with the program however it ends.
    // Giving it one later goes through /proc, so that must be there too.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        m_anonymous = m_fd >= 0;
    }
    if (m_fd < 0 && !(errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT))
        return fail(errno);
    for (int attempt = 0; m_fd < 0 && attempt < 100; ++attempt) {
        // Hidden, beside the destination: the final move stays within one
        // file system.
        const QByteArray temporary =
            '.' + m_name.left(200) + '.' + QByteArray::number(randombytes_random(), 36);
        std::memcpy(unfinishedName, temporary.constData(), std::size_t(temporary.size() + 1));
        m_fd = ::openat(m_folder, temporary.constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC,
                        0600);
        if (m_fd >= 0) {
            m_temporary = temporary;
            unfinishedFolder = m_folder;
        } else if (errno != EEXIST) {
            return fail(errno);
        }
    }
    // A file of passwords is for its owner's eyes only, whatever the umask.
    return m_fd >= 0 && ::fchmod(m_fd, 0600) == 0;
}

QString DestinationFile::writingPath() const
{
    return QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

bool DestinationFile::commit()
{
    // The data must be on the disk before the name points at it, or a crash
    // could leave an empty file where a complete one was promised.
    const int fd = m_fd;
    m_fd = -1;
    if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    if (m_anonymous) {
        // Named beside the destination first, then moved over it: a link
        // can only make a new name, never replace one.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        for (int attempt = 0; m_temporary.isEmpty() && attempt < 100; ++attempt) {
            const QByteArray temporary =
                '.' + m_name.left(200) + '.' + QByteArray::number(randombytes_random(), 36);
            std::memcpy(unfinishedName, temporary.constData(), std::size_t(temporary.size() + 1));
            unfinishedFolder = m_folder;
            if (::linkat(AT_FDCWD, self.constData(), m_folder, temporary.constData(), AT_SYMLINK_FOLLOW) == 0)
                m_temporary = temporary;
            else if (errno != EEXIST) {
                unfinishedFolder = -1;
                const int error = errno;
                ::close(fd);
                return fail(error);
            }
        }
    }
    if (::close(fd) != 0)
        return fail(errno);
    if (::renameat(m_folder, m_temporary.constData(), m_folder, m_name.constData()) != 0)
        return fail(errno);
    unfinishedFolder = -1;
    m_temporary.clear();
    return true;
}

void DestinationFile::removeUnfinished()
{
    const int folder = unfinishedFolder;
    if (folder >= 0)
        ::unlinkat(folder, unfinishedName, 0);
}

QString refusedDestination(const QString &path, uint user)
{
    return DestinationFile(path, user).refusal();
}

} // namespace zentavo
