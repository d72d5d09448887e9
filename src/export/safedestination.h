#pragma once

#include <QString>

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
// folder where other users can swap entries (writable by everyone and not
// sticky, or owned by another user who is not the system). A link the user
// made to their own file in a folder only they can change is followed: that
// file is replaced.
//
// The file is written without a name (where the file system allows), so
// nothing is left on the disk if the program ends before commit(); it gets
// its name only complete, readable by its owner alone.
class DestinationFile
{
public:
    DestinationFile(const QString &path, uint user);
    ~DestinationFile(); // an uncommitted file is removed
    DestinationFile(const DestinationFile &) = delete;
    DestinationFile &operator=(const DestinationFile &) = delete;

    // Why the file may not be written there (translated), or empty.
    const QString &refusal() const { return m_refusal; }
    // Creates the file to write into; false when the system refused (see
    // error()). Only when there is no refusal.
    bool create();
    int fd() const { return m_fd; }
    // A path that opens the file being written (for libraries that want a
    // name rather than a descriptor).
    QString writingPath() const;
    // Puts the complete file in place of the destination; false when the
    // system refused (see error()). The file is closed either way.
    bool commit();
    // The system's cause of the last failure.
    const QString &error() const { return m_error; }

    // Removes a named temporary file left by a run being cut short. Safe to
    // call from a signal handler.
    static void removeUnfinished();

    // Called between the checks and the writing; lets a test swap entries
    // in from outside.
    static void (*afterChecks)();

private:
    void inspect(const QString &path, uint user);
    bool fail(int error);

    int m_folder = -1; // the folder the file goes into
    QByteArray m_name; // its name there
    QString m_refusal;
    QString m_error;
    int m_fd = -1;
    bool m_anonymous = false;
    QByteArray m_temporary; // a named temporary file in m_folder, if any
};

// Whether a file of passwords may be written at `path` (see
// DestinationFile): why not, or an empty string when it may.
QString refusedDestination(const QString &path, uint user);

} // namespace zentavo
