#include "core/failure.h"
#include "export/workbook.h"
#include "export/workbookfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zentavo;

namespace {

int modeOf(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

// Another program opening the file, reading it and closing it again.
void readWhole(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    file.readAll();
}

} // namespace

class TestWorkbookFolder : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString base;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        base = dir->filePath(QStringLiteral("workbooks"));
    }

    void filesAndFoldersAreTheUsersAlone()
    {
        WorkbookFolder folder(base);
        const QString file = folder.createFile(QStringLiteral("Results-XXXXXX.xlsx"));
        QCOMPARE(modeOf(base), 0700);
        QCOMPARE(modeOf(folder.folder()), 0700);
        QCOMPARE(QFileInfo(file).absolutePath(), folder.folder());
        QCOMPARE(modeOf(file), 0600);
        // Saving the workbook over it keeps it so.
        Workbook workbook(file, folder.folder());
        workbook.setText(0, 0, u"secret");
        workbook.save();
        QVERIFY(QFileInfo(file).size() > 0);
        QCOMPARE(modeOf(file), 0600);
        // The library's own temporary files went too.
        QCOMPARE(QDir(folder.folder()).entryList(QDir::Files), QStringList{QFileInfo(file).fileName()});
    }

    void eachRunningProgramHasItsOwnFolder()
    {
        WorkbookFolder first(base), second(base);
        QVERIFY(first.folder() != second.folder());
        QVERIFY(first.createFile(QStringLiteral("a-XXXXXX")) !=
                second.createFile(QStringLiteral("a-XXXXXX")));
    }

    void aFileGoesOnceItWasRead()
    {
        WorkbookFolder folder(base, 100);
        const QString file = folder.createFile(QStringLiteral("Results-XXXXXX.xlsx"));
        folder.removeOnceRead(file);
        // Not before the application has even opened it.
        QTest::qWait(400);
        QVERIFY(QFile::exists(file));
        readWhole(file);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(file), 3000);
        QVERIFY(folder.pendingFiles().isEmpty());
    }

    void aFileKeptOpenStays()
    {
        WorkbookFolder folder(base, 100);
        const QString file = folder.createFile(QStringLiteral("Results-XXXXXX.xlsx"));
        folder.removeOnceRead(file);
        // A first look, then the real load while the look is still open.
        QFile look(file), load(file);
        QVERIFY(look.open(QIODevice::ReadOnly));
        QVERIFY(load.open(QIODevice::ReadOnly));
        look.close();
        QTest::qWait(400);
        QVERIFY(QFile::exists(file));
        load.close();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(file), 3000);
    }

    void openingAgainWithinTheQuietTimeKeepsIt()
    {
        // The quiet time counts from the last close. A machine too busy to
        // open the file again within it gets a longer one.
        for (int quietMs = 600; quietMs <= 9600; quietMs *= 2) {
            WorkbookFolder folder(base, quietMs);
            const QString file = folder.createFile(QStringLiteral("Results-XXXXXX.xlsx"));
            folder.removeOnceRead(file);
            readWhole(file);
            QElapsedTimer sinceClose;
            sinceClose.start();
            QTRY_VERIFY_WITH_TIMEOUT(sinceClose.elapsed() >= quietMs / 2, 10 * quietMs);
            QFile again(file);
            if (!again.open(QIODevice::ReadOnly)) {
                QVERIFY2(sinceClose.elapsed() >= quietMs, "removed within the quiet time");
                continue;
            }
            again.close();
            sinceClose.restart();
            QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(file), 10 * quietMs);
            QVERIFY(sinceClose.elapsed() >= quietMs * 9 / 10);
            return;
        }
        QFAIL("never opened again within the quiet time");
    }

    void atExitReadFilesGoAndUnreadOnesWaitForTheNextStart()
    {
        QString read, unread, folderPath;
        {
            WorkbookFolder folder(base, 60000);
            folderPath = folder.folder();
            read = folder.createFile(QStringLiteral("read-XXXXXX"));
            unread = folder.createFile(QStringLiteral("unread-XXXXXX"));
            folder.removeOnceRead(read);
            folder.removeOnceRead(unread);
            readWhole(read);
        }
        QVERIFY(!QFile::exists(read));
        QVERIFY(QFile::exists(unread));
        WorkbookFolder::removeLeftovers(base);
        QVERIFY(!QFile::exists(folderPath));
        QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
    }

    void anEmptyFolderGoesAtExit()
    {
        QString folderPath;
        {
            WorkbookFolder folder(base);
            folderPath = folder.folder();
        }
        QVERIFY(!QFile::exists(folderPath));
    }

    void leftoversOfAProgramThatDiedAreRemoved()
    {
        WorkbookFolder running(base);
        const QString kept = running.createFile(QStringLiteral("Results-XXXXXX.xlsx"));

        int pipe[2];
        QCOMPARE(::pipe(pipe), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            // A program that ends without tidying up.
            WorkbookFolder folder(base);
            const QByteArray file =
                QFile::encodeName(folder.createFile(QStringLiteral("Results-XXXXXX.xlsx")));
            (void)!::write(pipe[1], file.constData(), size_t(file.size()));
            ::_exit(0);
        }
        ::close(pipe[1]);
        char buffer[4096];
        const ssize_t length = ::read(pipe[0], buffer, sizeof buffer);
        ::close(pipe[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        QVERIFY(length > 0);
        const QString left = QFile::decodeName(QByteArray(buffer, int(length)));
        QVERIFY(QFile::exists(left));

        WorkbookFolder::removeLeftovers(base);
        QVERIFY(!QFile::exists(left));
        QVERIFY(!QFile::exists(QFileInfo(left).absolutePath()));
        // The folder of the program still running is left alone.
        QVERIFY(QFile::exists(kept));
    }

    void cleaningUpNeverFollowsALink_data()
    {
        QTest::addColumn<QString>("link"); // below the base, to a folder of the user's
        QTest::addRow("in place of a program's folder") << QStringLiteral("planted");
        QTest::addRow("inside a program's folder") << QStringLiteral("dead/planted");
        QTest::addRow("in place of the base itself") << QString();
    }

    void cleaningUpNeverFollowsALink()
    {
        QFETCH(QString, link);
        const QString important = dir->filePath(QStringLiteral("important"));
        QVERIFY(QDir().mkpath(important + QStringLiteral("/inner")));
        QFile keep(important + QStringLiteral("/inner/keep.txt"));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.close();
        const QString planted = link.isEmpty() ? base : base + QLatin1Char('/') + link;
        QVERIFY(link.isEmpty() ? QDir(base).removeRecursively()
                               : QDir().mkpath(QFileInfo(planted).absolutePath()));
        QVERIFY(QFile::link(important, planted));

        WorkbookFolder::removeLeftovers(base);
        QVERIFY(QFile::exists(keep.fileName()));
        if (link.isEmpty())
            return;
        QVERIFY(!QFileInfo(planted).isSymLink());
        QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList());
    }

    void aLinkInPlaceOfTheBaseIsRefused()
    {
        const QString elsewhere = dir->filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QFile::setPermissions(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                     QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::link(elsewhere, base));
        WorkbookFolder folder(base);
        QVERIFY_THROWS_EXCEPTION(Failure, folder.createFile(QStringLiteral("x-XXXXXX")));
        QCOMPARE(modeOf(elsewhere), 0705);
        QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void aBaseThatCannotBeMadeFails()
    {
        QFile blocker(base);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        WorkbookFolder folder(base);
        QVERIFY_THROWS_EXCEPTION(Failure, folder.createFile(QStringLiteral("x-XXXXXX")));
    }

    void withoutARuntimeFolderTheFoldersTriedAreNamed_data()
    {
        QTest::addColumn<bool>("variableSet"); // XDG_RUNTIME_DIR names a file, or is unset
        QTest::addRow("unset") << false;
        QTest::addRow("naming a file") << true;
    }
    void withoutARuntimeFolderTheFoldersTriedAreNamed()
    {
        QFETCH(bool, variableSet);
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTemp = qgetenv("TMPDIR");
        const QString savedCurrent = QDir::currentPath();
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", savedRuntime);
            qputenv("TMPDIR", savedTemp);
            QDir::setCurrent(savedCurrent);
        });
        // The fallback in the temporary folder is taken by a file.
        const QString temp = dir->filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(temp));
        qputenv("TMPDIR", QFile::encodeName(temp));
        const QString fallback = temp + "/runtime-" + QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
        QVERIFY(QFile(fallback).open(QIODevice::WriteOnly));
        const QString named = dir->filePath(QStringLiteral("not-a-folder"));
        QVERIFY(QFile(named).open(QIODevice::WriteOnly));
        if (variableSet)
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(named));
        else
            qunsetenv("XDG_RUNTIME_DIR");

        // Start-up's clean-up must not take the current folder for the base.
        QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("current/mine")));
        QDir::setCurrent(dir->filePath(QStringLiteral("current")));
        WorkbookFolder::removeLeftovers(WorkbookFolder::defaultBase());
        QVERIFY(QFileInfo(dir->filePath(QStringLiteral("current/mine"))).isDir());

        WorkbookFolder folder(WorkbookFolder::defaultBase());
        QString said;
        try {
            folder.folder();
        } catch (const Failure &failure) {
            said = failure.description();
        }
        QVERIFY2(said.contains(fallback + " was tried instead, but it is not a folder"), qPrintable(said));
        QVERIFY2(
            said.contains(variableSet ? named + ", but it is not a folder" : "XDG_RUNTIME_DIR is not set"),
            qPrintable(said));
        QVERIFY(!said.contains(QStringLiteral("zentavo-workbooks")));
    }
};

QTEST_GUILESS_MAIN(TestWorkbookFolder)
#include "tst_workbookfolder.moc"
