#pragma once

#include <QString>
#include <sys/types.h>

struct stat;

namespace zentavo {

// A file of passwords on its way to `path`, for the user with id `user`.
//
// The destination is decided once: its folder is opened, and every check
// and every later step (the file being written, moving it into place) goes
// through that open folder, so a link or file swapped in after the checks
// is replaced, never followed or written through. The path itself is looked
// at, not through. Refused are a link another user made, a link that leads
// nowhere, to another link or to anything but a file, whatever another user
// owns, anything that is not a regular file, and any name, new or not, in a
// folder where other users can swap entries: one owned by another user who
// is not the system, and one that is not sticky and lets others write
// (everyone, a group another user belongs to, or an access list). A link
// the user made to their own file in a folder only they can change is
// followed: that file is replaced.
//
// The file is written without a name (where the file system allows), so
// nothing is left on the disk if the program ends before commit(); it gets
// its name only complete, readable by its owner alone, and commit() succeeds
// only when the name then leads to the very file written.
class DestinationFile
{
public:
    // The points between the steps of a save.
    enum class Step {
        Checked, // the destination was looked at; nothing is written yet
        Named,   // the complete file has its temporary name, not yet the destination's
    };

    DestinationFile(const QString &path, uint user);
    ~DestinationFile(); // an uncommitted file is removed
    DestinationFile(const DestinationFile &) = delete;
    DestinationFile &operator=(const DestinationFile &) = delete;

    // Why the file may not be written there (translated), or empty.
    const QString &refusal() const { return m_refusal; }
    // Creates the file to write into; false when the system refused, or
    // would let other users read it (see error()). Only when there is no
    // refusal.
    bool create();
    int fd() const { return m_fd; }
    // A path that opens the file being written (for libraries that want a
    // name rather than a descriptor).
    QString writingPath() const;
    // Puts the complete file in place of the destination; false when the
    // system refused, when the file is open to other users, or when the
    // name does not lead to it afterwards (see error()). The file is closed
    // either way, and removed when it failed.
    bool commit();
    // Gives the file up: closed, and removed from the disk at once.
    void discard();
    // The cause of the last failure.
    const QString &error() const { return m_error; }

    // Removes a named temporary file left by a run being cut short. Safe to
    // call from a signal handler.
    static void removeUnfinished();

    // Called at each step; lets a test change the folder from outside.
    static void (*betweenSteps)(Step step);

private:
    void inspect(const QString &path, uint user);
    void inspectEntry(const QByteArray &name, const struct stat &entry, uint user);
    void followOwnLink(const QByteArray &name, uint user);
    template <typename Make> bool underTemporaryName(Make &&make);
    bool keptPrivate(int chmodError);
    bool fail(int error);
    bool fail(const QString &cause);

    int m_folder = -1; // the folder the file goes into
    QByteArray m_name; // its name there
    QString m_refusal;
    QString m_error;
    int m_fd = -1;
    bool m_anonymous = false;
    QByteArray m_temporary; // a named temporary file in m_folder, if any
    dev_t m_device = 0;     // the file written
    ino_t m_inode = 0;
};

// Whether a file of passwords may be written at `path` (see
// DestinationFile): why not, or an empty string when it may.
QString refusedDestination(const QString &path, uint user);

} // namespace zentavo
