// Where a file of passwords may be written: the chosen path is looked at, not
// through, and anything another user could have planted or can redirect is
// refused.
#include "export/safedestination.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentavo;

namespace {
constexpr uid_t kOtherUser = 65534; // nobody
}

class TestSafeDestination : public QObject
{
    Q_OBJECT

private slots:
    void destination_data()
    {
        // Each step: "file NAME", "link NAME TARGET", "folder NAME MODE",
        // "theirs NAME" (given to another user, which needs root) or "new
        // NAME" (nothing there). The
        // destination is "dest", in the folder "open" or "shared" where
        // there is one.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("refusal"); // a part of the reason; empty: allowed
        QTest::addRow("nothing there yet") << QStringList{} << QString();
        QTest::addRow("own file") << QStringList{"file dest"} << QString();
        QTest::addRow("own link to own file") << QStringList{"file mine", "link dest mine"} << QString();
        QTest::addRow("own file in own sticky shared folder")
            << QStringList{"folder shared 1777", "file shared/dest"} << QString();
        QTest::addRow("link to nothing") << QStringList{"link dest gone"} << "does not exist";
        QTest::addRow("link to a link")
            << QStringList{"file mine", "link next mine", "link dest next"} << "another link";
        QTest::addRow("file in a folder anyone can change")
            << QStringList{"folder open 777", "file open/dest"} << "other users can change the folder";
        QTest::addRow("new name in a folder anyone can change")
            << QStringList{"folder open 777", "new open/dest"} << "other users can change the folder";
        QTest::addRow("link into a folder anyone can change")
            << QStringList{"folder open 777", "file open/mine", "link dest open/mine"} << "into a folder";
        QTest::addRow("another user's file") << QStringList{"file dest", "theirs dest"} << "another user";
        QTest::addRow("another user's link to own file")
            << QStringList{"file mine", "link dest mine", "theirs dest"} << "link made by another user";
        QTest::addRow("own link to another user's file")
            << QStringList{"file loot", "theirs loot", "link dest loot"} << "file of another user";
        QTest::addRow("own file in another user's sticky shared folder")
            << QStringList{"folder shared 1777", "theirs shared", "file shared/dest"}
            << "other users can change";
        QTest::addRow("own file in another user's private folder")
            << QStringList{"folder shared 700", "file shared/dest", "theirs shared"}
            << "other users can change";
    }

    void destination()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const auto at = [&](const QString &name) { return QFile::encodeName(dir.filePath(name)); };
        for (const QString &step : steps) {
            const QStringList word = step.split(QLatin1Char(' '));
            if (word[0] == QLatin1String("file")) {
                QFile file(dir.filePath(word[1]));
                QVERIFY(file.open(QIODevice::WriteOnly));
            } else if (word[0] == QLatin1String("link")) {
                QCOMPARE(::symlink(at(word[2]).constData(), at(word[1]).constData()), 0);
            } else if (word[0] == QLatin1String("folder")) {
                QCOMPARE(::mkdir(at(word[1]).constData(), 0700), 0);
                QCOMPARE(::chmod(at(word[1]).constData(), word[2].toUInt(nullptr, 8)), 0);
            } else if (word[0] == QLatin1String("theirs")) {
                if (::geteuid() != 0)
                    QSKIP("only root can give a file to another user");
                QCOMPARE(::lchown(at(word[1]).constData(), kOtherUser, kOtherUser), 0);
            }
        }
        QString dest = dir.filePath(QStringLiteral("dest"));
        for (const char *folder : {"open/dest", "shared/dest"}) {
            if (steps.join(QLatin1Char(' ')).contains(QLatin1String(folder)))
                dest = dir.filePath(QLatin1String(folder));
        }
        const QString reason = refusedDestination(dest, ::geteuid());
        if (refusal.isEmpty())
            QVERIFY2(reason.isEmpty(), qPrintable(reason));
        else
            QVERIFY2(reason.contains(refusal), qPrintable(reason));
    }

    // Another process changes the folder between the steps: a link swapped
    // in at the name after the checks is replaced, never followed; a link
    // renamed over the finished file's temporary name, or a mode opened to
    // others, fails the save, saying so; the user's file stays as it was.
    void changedBetweenTheSteps_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("error"); // a part of it; empty: saved
        QTest::addRow("a link at the name after the checks") << "link at name" << QString();
        QTest::addRow("a link over the temporary name before the move") << "link over temporary"
                                                                        << "led to another file";
        QTest::addRow("the file opened to others while written") << "mode"
                                                                 << "open to other users (mode 0644)";
    }
    void changedBetweenTheSteps()
    {
        QFETCH(QString, change);
        QFETCH(QString, error);
        QTemporaryDir dir;
        static QString precious, dest, changing;
        changing = change;
        precious = dir.filePath(QStringLiteral("precious.txt"));
        dest = dir.filePath(QStringLiteral("out.txt"));
        QFile file(precious);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kept\n") == 5);
        file.close();
        DestinationFile::betweenSteps = [](DestinationFile::Step step) {
            const QDir folder = QFileInfo(dest).dir();
            const QStringList hidden =
                folder.entryList({".out.txt.*"}, QDir::Files | QDir::System | QDir::Hidden);
            if (step == DestinationFile::Step::Checked && changing == QLatin1String("link at name"))
                QProcess::execute(QStringLiteral("ln"), {"-s", precious, dest});
            if (step == DestinationFile::Step::Named && changing == QLatin1String("link over temporary"))
                QProcess::execute(QStringLiteral("ln"), {"-sfT", precious, folder.filePath(hidden.value(0))});
        };
        DestinationFile destination(dest, ::geteuid());
        QVERIFY(destination.refusal().isEmpty() && destination.create());
        QCOMPARE(::write(destination.fd(), "secret\n", 7), 7);
        if (change == QLatin1String("mode"))
            QCOMPARE(::fchmod(destination.fd(), 0644), 0);
        const bool saved = destination.commit();
        DestinationFile::betweenSteps = nullptr;
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "kept\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).filter(".out"),
                 QStringList());
        if (!error.isEmpty()) {
            QVERIFY(!saved);
            QVERIFY2(destination.error().contains(error), qPrintable(destination.error()));
            return;
        }
        QVERIFY2(saved, qPrintable(destination.error()));
        struct stat written = {};
        QVERIFY(::lstat(QFile::encodeName(dest).constData(), &written) == 0 && S_ISREG(written.st_mode) &&
                (written.st_mode & 0777) == 0600);
    }
};

QTEST_GUILESS_MAIN(TestSafeDestination)
#include "tst_safedestination.moc"
