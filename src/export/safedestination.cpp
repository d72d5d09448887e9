#include "export/safedestination.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sodium.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace zentavo {

void (*DestinationFile::betweenSteps)(Step) = nullptr;

namespace {

// Whether another user than `user` has `group` for their own or is listed
// in it. Unknown counts as yes.
bool groupHasOthers(gid_t group, uint user)
{
    std::vector<char> buffer(16384);
    struct passwd self = {};
    struct passwd *found = nullptr;
    const QByteArray name = ::getpwuid_r(user, &self, buffer.data(), buffer.size(), &found) == 0 && found
                                ? QByteArray(self.pw_name)
                                : QByteArray();
    struct group entry = {};
    struct group *listed = nullptr;
    int error = 0;
    while ((error = ::getgrgid_r(group, &entry, buffer.data(), buffer.size(), &listed)) == ERANGE)
        buffer.resize(buffer.size() * 2);
    if (error != 0)
        return true;
    for (char **member = listed ? listed->gr_mem : nullptr; member && *member; ++member) {
        if (name.isEmpty() || name != *member)
            return true;
    }
    bool others = false;
    ::setpwent();
    while (const struct passwd *account = ::getpwent()) {
        if (account->pw_gid == group && account->pw_uid != user) {
            others = true;
            break;
        }
    }
    ::endpwent();
    return others;
}

// Another user can remove, rename or plant entries in the folder: its
// owner, unless that is the user or the system's own (root), as with /tmp;
// and, in a folder that is not sticky, whoever may write to it: everyone,
// the folder's group when another user belongs to it, or the users and
// groups its access list names (the group bits then say the most they may
// do).
bool othersCanChange(int folder, uint user)
{
    struct stat info = {};
    if (::fstat(folder, &info) != 0)
        return true;
    if (info.st_uid != user && info.st_uid != 0)
        return true;
    if (info.st_mode & S_ISVTX)
        return false;
    if (info.st_mode & S_IWOTH)
        return true;
    if (!(info.st_mode & S_IWGRP))
        return false;
    return ::fgetxattr(folder, "system.posix_acl_access", nullptr, 0) > 0 ||
           groupHasOthers(info.st_gid, user);
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

void reach(DestinationFile::Step step)
{
    if (DestinationFile::betweenSteps)
        DestinationFile::betweenSteps(step);
}

// The temporary name that a signal handler may have to remove: set only
// while such a name may exist.
volatile sig_atomic_t unfinishedFolder = -1;
char unfinishedName[NAME_MAX + 1];

} // namespace

DestinationFile::DestinationFile(const QString &path, uint user)
{
    inspect(path, user);
}

DestinationFile::~DestinationFile()
{
    discard();
    if (m_folder >= 0)
        ::close(m_folder);
}

void DestinationFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.isEmpty()) {
        unfinishedFolder = -1;
        ::unlinkat(m_folder, m_temporary.constData(), 0);
        m_temporary.clear();
    }
}

bool DestinationFile::fail(int error)
{
    return fail(qt_error_string(error));
}

bool DestinationFile::fail(const QString &cause)
{
    // Whatever was written goes before anyone is told.
    discard();
    m_error = cause;
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
    inspectEntry(name, entry, user);
}

void DestinationFile::inspectEntry(const QByteArray &name, const struct stat &entry, uint user)
{
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
    if (S_ISLNK(entry.st_mode)) {
        followOwnLink(name, user);
        return;
    }
    if (!S_ISREG(entry.st_mode))
        m_refusal = QCoreApplication::translate("zentavo::SafeDestination", "it is not a regular file");
    m_name = name;
}

// The user's own link: the file it leads to is the destination, looked at
// through its own folder in the same way.
void DestinationFile::followOwnLink(const QByteArray &name, uint user)
{
    char target[PATH_MAX + 1];
    const ssize_t length = ::readlinkat(m_folder, name.constData(), target, PATH_MAX);
    const auto [targetFolder, targetName] = split(QByteArray(target, length > 0 ? length : 0));
    const int reachedFolder =
        length <= 0 || targetName.isEmpty() ? -1
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

// Tries fresh hidden names beside the destination (so the final move stays
// within one file system) until `make` succeeds with one; the name is known
// to removeUnfinished() from just before it may exist.
template <typename Make> bool DestinationFile::underTemporaryName(Make &&make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temporary =
            '.' + m_name.left(200) + '.' + QByteArray::number(randombytes_random(), 36);
        std::memcpy(unfinishedName, temporary.constData(), std::size_t(temporary.size() + 1));
        unfinishedFolder = m_folder;
        if (make(temporary.constData())) {
            m_temporary = temporary;
            return true;
        }
        unfinishedFolder = -1;
        if (errno != EEXIST)
            return fail(errno);
    }
    return fail(EEXIST);
}

bool DestinationFile::create()
{
    if (m_name.isEmpty() || !m_refusal.isEmpty())
        return false;
    reach(Step::Checked);
    // Without a name, the file vanishes with the program however it ends.
    // Giving it one later goes through /proc, so that must be there too.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        m_anonymous = m_fd >= 0;
    }
    if (m_fd < 0 && !(errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT))
        return fail(errno);
    if (m_fd < 0 && !underTemporaryName([this](const char *name) {
            m_fd = ::openat(m_folder, name, O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
            return m_fd >= 0;
        }))
        return false;
    // A file of passwords is for its owner's eyes only, whatever the umask
    // and whatever the file it replaces allowed.
    return keptPrivate(::fchmod(m_fd, 0600) == 0 ? 0 : errno);
}

// The file is open to no one but its owner; a file system that ignores or
// refuses a change of mode (FAT, some FUSE ones) may not keep it so.
bool DestinationFile::keptPrivate(int chmodError)
{
    struct stat written = {};
    if (::fstat(m_fd, &written) != 0)
        return fail(errno);
    m_device = written.st_dev;
    m_inode = written.st_ino;
    if ((written.st_mode & (S_IRWXG | S_IRWXO)) == 0)
        return true;
    QString cause =
        QCoreApplication::translate("zentavo::SafeDestination",
                                    "the file system leaves the file open to other users (mode %1)")
            .arg(written.st_mode & 07777, 4, 8, QLatin1Char('0'));
    if (chmodError != 0)
        cause += QStringLiteral(": ") + qt_error_string(chmodError);
    return fail(cause);
}

QString DestinationFile::writingPath() const
{
    return QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

bool DestinationFile::commit()
{
    // The data must be on the disk before the name points at it, or a crash
    // could leave an empty file where a complete one was promised.
    if (::fsync(m_fd) != 0)
        return fail(errno);
    if (!keptPrivate(0))
        return false;
    // Named beside the destination first, then moved over it: a link can
    // only make a new name, never replace one.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    if (m_anonymous && !underTemporaryName([&](const char *name) {
            return ::linkat(AT_FDCWD, self.constData(), m_folder, name, AT_SYMLINK_FOLLOW) == 0;
        }))
        return false;
    reach(Step::Named);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::renameat(m_folder, m_temporary.constData(), m_folder, m_name.constData()) != 0)
        return fail(errno);
    unfinishedFolder = -1;
    m_temporary.clear();
    // Only root, or a program of the user's own, can swap entries in such a
    // folder; should one have done so meanwhile, the name leads elsewhere.
    struct stat placed = {};
    if (::fstatat(m_folder, m_name.constData(), &placed, AT_SYMLINK_NOFOLLOW) != 0)
        return fail(errno);
    if (placed.st_dev != m_device || placed.st_ino != m_inode)
        return fail(QCoreApplication::translate(
            "zentavo::SafeDestination",
            "once moved into place, the name led to another file: something replaced it meanwhile"));
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
