#include "core/apputil.h"
#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zentavo;

class TestAppUtil : public QObject
{
    Q_OBJECT

private slots:
    void applicationTitle_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addRow("no space keeps the whole name") << "Zentavo"
                                                       << "Zentavo";
        QTest::addRow("short name still loses its last word") << "Zentavo Password Maker"
                                                              << "Zentavo Password";
        QTest::addRow("41 characters keep what stands before the last space")
            << "Zentavo Generates Random Passwords Faster"
            << "Zentavo Generates Random Passwords";
        QTest::addRow("cut again while longer than 40")
            << "Zentavo Generates Very Many Random Passwords Quickly"
            << "Zentavo Generates Very Many Random";
        QTest::addRow("the cut stops at 40") << QString(40, 'x') + " tail" << QString(40, 'x');
        QTest::addRow("trailing blank") << "Zentavo "
                                        << "Zentavo";
    }
    void applicationTitle()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(applicationTitleFor(name), title);
    }

    void fileNameFromPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addRow("full path") << "/home/me/passwords.txt"
                                   << "passwords.txt";
        QTest::addRow("no separator") << "passwords.txt"
                                      << "passwords.txt";
        QTest::addRow("folder") << "/home/me/"
                                << "";
        QTest::addRow("root") << "/"
                              << "";
    }
    void fileNameFromPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(FileNameFromPath(path), name);
    }

    void fileExists()
    {
        QTemporaryDir folder;
        QFile file(folder.filePath("a"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(FileExists(folder.filePath("a")));
        QVERIFY(FileExists(folder.path())); // folders count
        QVERIFY(!FileExists(folder.filePath("missing")));
        QVERIFY(!FileExists(QString()));
    }

    void developmentRun_data()
    {
        // The program runs in a/b/c/d of a temporary folder, and every cache
        // goes inside that folder.
        QTest::addColumn<QString>("cacheIn"); // relative to the temporary folder
        QTest::addColumn<bool>("development");
        QTest::addRow("build folder itself") << "a/b/c/d" << true;
        QTest::addRow("one up") << "a/b/c" << true;
        QTest::addRow("two up") << "a/b" << true;
        QTest::addRow("three up is too far") << "a" << false;
        QTest::addRow("installed") << "" << false;
    }
    void developmentRun()
    {
        QFETCH(QString, cacheIn);
        QFETCH(bool, development);
        QTemporaryDir top;
        QVERIFY(QDir(top.path()).mkpath("a/b/c/d"));
        if (!cacheIn.isEmpty()) {
            QFile cache(top.filePath(cacheIn + "/CMakeCache.txt"));
            QVERIFY(cache.open(QIODevice::WriteOnly));
        }
        QCOMPARE(IsDevelopmentRun(top.filePath("a/b/c/d")), development);
    }

    void developmentRunWhenItCannotBeTold()
    {
        QVERIFY(IsDevelopmentRun(QString()));
        QVERIFY(IsDevelopmentRun(QStringLiteral("/no/such/folder/anywhere")));
    }
};

QTEST_GUILESS_MAIN(TestAppUtil)
#include "tst_apputil.moc"
