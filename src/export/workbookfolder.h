#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <memory>

class QLockFile;
class QSocketNotifier;
class QTimer;

namespace zentavo {

// Where workbooks wait for the spreadsheet application. They hold passwords,
// so each running program keeps them in a folder of its own that only the
// user may enter, every file readable by the user alone, and removes a file
// once the application has read it: the application reads it a moment after
// it starts, so a file cannot go right after the program hands it over.
//
// The folders live under `base`, each beside a lock file held while its
// program runs. A program that ended without tidying up (a crash, a file
// still unread at exit) leaves its folder to removeLeftovers() at the next
// start; the folder of a program still running is never touched.
class WorkbookFolder : public QObject
{
    Q_OBJECT

public:
    // A file counts as read once a program that opened it has closed it, no
    // program has it open, and none opened it for `quietMs`: the application
    // may look at a file briefly before it loads it. Where opening and
    // closing cannot be watched, a file goes `fallbackMs` after it was
    // handed over.
    explicit WorkbookFolder(QString base, int quietMs = 10000, int fallbackMs = 300000,
                            QObject *parent = nullptr);
    // Removes the files that were read and leaves the others, and with them
    // the folder, to the next start.
    ~WorkbookFolder() override;

    // Below the user's runtime folder, which the system keeps private to the
    // user (and in memory, where it has one). Empty when there is none to
    // use; folder() then says which folders were tried and why they failed.
    static QString defaultBase();
    // Removes the folders of programs no longer running.
    static void removeLeftovers(const QString &base);

    // A new empty file in this program's folder, created on first use.
    // Throws Failure.
    QString createFile(const QString &nameTemplate);
    // This program's folder, created on first use. Throws Failure.
    QString folder();

    // Removes the file once another program has read it (see above). Call
    // it before handing the file over, so no read can go unseen.
    void removeOnceRead(const QString &file);
    // Removes the file now, as when it could not be handed over after all.
    void discard(const QString &file);

    // The files handed over and not yet removed.
    QStringList pendingFiles() const;

private:
    static QString noRuntimeFolder();

    struct Watch
    {
        QString file;
        bool read = false;
        QTimer *quiet = nullptr;
    };

    void readEvents();
    void remove(int watch);

    QString m_base;
    QString m_folder;
    int m_quietMs;
    int m_fallbackMs;
    std::unique_ptr<QLockFile> m_lock;
    int m_inotify = -1;
    QSocketNotifier *m_notifier = nullptr;
    std::map<int, Watch> m_watches;
    int m_nextUnwatched = -1; // keys below 0: files on the fallback timer
};

} // namespace zentavo
