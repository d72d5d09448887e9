#include "export/safedestination.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace zentavo {

namespace {

// Another user can remove, rename or plant entries in the folder: anyone,
// in a folder everyone may write to that is not sticky; the folder's owner,
// in a sticky one. The system's own owner (root) is trusted, as with /tmp.
bool othersCanChange(const QString &folder, uint user)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || !(info.st_mode & S_IWOTH))
        return false;
    return !(info.st_mode & S_ISVTX) || (info.st_uid != user && info.st_uid != 0);
}

} // namespace

QString refusedDestination(const QString &path, uint user)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat entry = {};
    if (::lstat(name.constData(), &entry) != 0)
        return {};
    if (othersCanChange(QFileInfo(path).absolutePath(), user))
        return QCoreApplication::translate("zentavo::SafeDestination",
                                           "other users can change the folder it is in");
    if (S_ISLNK(entry.st_mode)) {
        if (entry.st_uid != user)
            return QCoreApplication::translate("zentavo::SafeDestination",
                                               "it is a link made by another user");
        const QString target = QFileInfo(path).symLinkTarget();
        struct stat reached = {};
        if (target.isEmpty() || ::lstat(QFile::encodeName(target).constData(), &reached) != 0)
            return QCoreApplication::translate("zentavo::SafeDestination",
                                               "it is a link to a file that does not exist");
        if (S_ISLNK(reached.st_mode))
            return QCoreApplication::translate("zentavo::SafeDestination", "it is a link to another link");
        if (!S_ISREG(reached.st_mode))
            return QCoreApplication::translate("zentavo::SafeDestination",
                                               "it is a link to something that is not a file");
        if (reached.st_uid != user)
            return QCoreApplication::translate("zentavo::SafeDestination",
                                               "it is a link to a file of another user");
        if (othersCanChange(QFileInfo(target).absolutePath(), user))
            return QCoreApplication::translate("zentavo::SafeDestination",
                                               "it is a link into a folder other users can change");
        return {};
    }
    // Anything else there (a folder) makes the save fail on its own.
    if (entry.st_uid != user)
        return QCoreApplication::translate("zentavo::SafeDestination", "the file belongs to another user");
    return {};
}

} // namespace zentavo
