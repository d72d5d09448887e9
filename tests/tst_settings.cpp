#include "core/optionsettings.h"
#include "core/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace zentavo;

class TestSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder;
    QString file() const { return folder->filePath(QStringLiteral("Veltrano/Zentavo.ini")); }

    QByteArray fileBytes() const
    {
        QFile ini(file());
        return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
    }
    static QByteArray readBytes(const QString &path)
    {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
    }
    static void writeBytes(const QString &path, const QByteArray &bytes)
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(bytes), bytes.size());
    }

private slots:
    void init() { folder = std::make_unique<QTemporaryDir>(); }

    void theUsersStoreLivesUnderTheConfigFolder()
    {
        // The test runs with XDG_CONFIG_HOME pointing at a folder of its own.
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QVERIFY(!config.isEmpty());
        SettingsStore store;
        QCOMPARE(QDir::cleanPath(store.fileName()), QDir::cleanPath(config + "/Veltrano/Zentavo.ini"));
    }

    void absentKeysGiveTheDefault()
    {
        SettingsStore store(file());
        QCOMPARE(store.ReadSetting("Alpha Lower", "1"), QStringLiteral("1"));
        QCOMPARE(store.ReadSetting("Number Of Passwords", "50"), QStringLiteral("50"));
    }

    void valuesComeBackVerbatim_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addRow("blanks around") << " 7 ";
        QTest::addRow("empty") << "";
        QTest::addRow("commas") << "a,b, c";
        QTest::addRow("symbols") << "!@#$%^&*()";
        QTest::addRow("at sign first") << "@Variant(x)";
        QTest::addRow("quotes and backslash") << "\"\\;=[]";
        QTest::addRow("non-ASCII") << QString::fromUtf8("äß€😀");
        QTest::addRow("line break") << "a\nb";
        QTest::addRow("letters in a number field") << "abc";
    }
    void valuesComeBackVerbatim()
    {
        QFETCH(QString, value);
        {
            SettingsStore store(file());
            QVERIFY(store.WriteSetting("Specified Character", value));
        }
        SettingsStore later(file());
        QCOMPARE(later.ReadSetting("Specified Character", "default"), value);
    }

    void everyWriteIsOnDiskAtOnce()
    {
        SettingsStore store(file());
        QVERIFY(store.WriteSetting("Number Of Passwords", "1"));
        QVERIFY(fileBytes().contains("[Zentavo]"));
        QVERIFY(fileBytes().contains("Number%20Of%20Passwords=1"));
        QVERIFY(store.WriteSetting("Number Of Passwords", "12"));
        QVERIFY(fileBytes().contains("Number%20Of%20Passwords=12"));
    }

    void twoRunningCopiesKeepEachOthersKeys()
    {
        SettingsStore first(file()), second(file());
        QVERIFY(first.WriteSetting("Check1", "0"));
        QVERIFY(second.WriteSetting("Check3", "0"));
        QVERIFY(first.WriteSetting("Check4", "0"));
        QVERIFY(second.WriteSetting("Check4", "1")); // the last write wins
        SettingsStore later(file());
        QCOMPARE(later.ReadSetting("Check1", "x"), QStringLiteral("0"));
        QCOMPARE(later.ReadSetting("Check3", "x"), QStringLiteral("0"));
        QCOMPARE(later.ReadSetting("Check4", "x"), QStringLiteral("1"));
    }

    void aFolderInPlaceOfTheFileRefusesWritesAndSaysWhy()
    {
        QVERIFY(QDir().mkpath(file()));
        SettingsStore store(file());
        QCOMPARE(store.ReadSetting("Alpha Lower", "1"), QStringLiteral("1"));
        QVERIFY(!store.WriteSetting("Alpha Lower", "0"));
        QVERIFY(store.writeError().contains(QStringLiteral("folder")));
        QVERIFY(!store.WriteSetting("Alpha Upper", "0"));
    }

    void aFileInPlaceOfTheFolderRefusesWrites()
    {
        QFile blocker(folder->filePath(QStringLiteral("Veltrano")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore store(file());
        QVERIFY(!store.WriteSetting("Alpha Lower", "0"));
        QVERIFY(!store.writeError().isEmpty());
    }

    void garbageFileKeepsWhatCanBeRead()
    {
        QVERIFY(QDir().mkpath(folder->filePath(QStringLiteral("Veltrano"))));
        QFile ini(file());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("\x01\x02garbage\xff\xfe\n[Zentavo\nNumeric=0\n[Zentavo]\nCheck1=0\n=novalue\nCheck3=@"
                  "Variant(\x05junk)\n"
                  "Password%20Length=9\nnot a line at all\n\x00\x00\n");
        ini.close();
        SettingsStore store(file());
        QCOMPARE(store.ReadSetting("Check1", "1"), QStringLiteral("0"));
        QCOMPARE(store.ReadSetting("Password Length", "6"), QStringLiteral("9"));
        QCOMPARE(store.ReadSetting("Check3", "1"), QStringLiteral("1"));
        QCOMPARE(store.ReadSetting("Alpha Upper", "1"), QStringLiteral("1"));
        // Writing goes on in a fresh file that keeps what could be read; the
        // damaged one is set aside, not lost.
        QVERIFY(store.WriteSetting("Check4", "0"));
        SettingsStore later(file());
        QCOMPARE(later.ReadSetting("Check4", "1"), QStringLiteral("0"));
        QCOMPARE(later.ReadSetting("Check1", "1"), QStringLiteral("0"));
        QCOMPARE(later.ReadSetting("Password Length", "6"), QStringLiteral("9"));
        QVERIFY(QFile::exists(file() + ".damaged"));
    }

    void aDamagedFileIsSetAsideUnchanged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kept"); // what Check1 still reads
        QTest::addRow("NUL bytes") << QByteArray(512, '\0') << "";
        QTest::addRow("0xFF bytes") << QByteArray(512, '\xff') << "";
        QTest::addRow("random bytes") << QByteArray::fromHex("8a1193fe0007c39c0a01ff5b5a5d0d") << "";
        QTest::addRow("byte-order mark") << QByteArray("\xef\xbb\xbf[Zentavo]\nCheck1=0\n") << "0";
        QTest::addRow("stray line") << QByteArray("[Zentavo]\nCheck1=0\nprecious\n") << "0";
        QTest::addRow("NULs after the settings") << QByteArray("[Zentavo]\nCheck1=0\n\0\0\0\0", 24) << "0";
        QTest::addRow("a key the store cannot write back") << QByteArray("//=\n[Zentavo]\nCheck1=0\n") << "0";
    }
    void aDamagedFileIsSetAsideUnchanged()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kept);
        QVERIFY(QDir().mkpath(QFileInfo(file()).absolutePath()));
        writeBytes(file(), bytes);
        writeBytes(file() + ".damaged", "set aside before"); // an earlier copy stays as it is
        SettingsStore store(file());
        QCOMPARE(store.readError(), QString());
        QCOMPARE(store.ReadSetting("Check1", ""), kept);
        QVERIFY(store.WriteSetting("Check3", "0"));
        QCOMPARE(readBytes(file() + ".damaged.1"), bytes);
        SettingsStore later(file());
        QCOMPARE(later.ReadSetting("Check1", ""), kept);
        QCOMPARE(later.ReadSetting("Check3", ""), QStringLiteral("0"));
        QCOMPARE(readBytes(file() + ".damaged.1"), bytes); // a sound file is not set aside again
        QCOMPARE(readBytes(file() + ".damaged"), QByteArray("set aside before"));
    }

    void somethingElseInPlaceOfTheFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind"); // fifo, or a link to what is named
        QTest::addColumn<QString>("why");
        QTest::addRow("a FIFO") << "fifo"
                                << "a named pipe (FIFO), not a file";
        QTest::addRow("a link to a FIFO") << "link fifo"
                                          << "a named pipe (FIFO), not a file";
        QTest::addRow("a link to a device") << "link /dev/null"
                                            << "a device, not a file";
    }
    void somethingElseInPlaceOfTheFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, why);
        QVERIFY(QDir().mkpath(QFileInfo(file()).absolutePath()));
        const QString fifo =
            kind == "link /dev/null" ? QStringLiteral("/dev/null") : folder->filePath("fifo");
        if (fifo != "/dev/null")
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (kind.startsWith("link"))
            QVERIFY(QFile::link(fifo, file()));
        else
            QVERIFY(QFile::rename(fifo, file()));
        // Reading a FIFO would wait for a writer that never comes.
        SettingsStore store(file());
        QVERIFY2(store.readError().contains(why), qPrintable(store.readError()));
        QCOMPARE(store.ReadSetting("Number Of Passwords", "50"), QStringLiteral("50"));
        QVERIFY(!store.WriteSetting("Number Of Passwords", "7"));
        QCOMPARE(store.writeError(), store.readError());
        QCOMPARE(store.ReadSetting("Number Of Passwords", "50"), QStringLiteral("7"));
        QVERIFY(!QFile::exists(file() + ".damaged"));
        QVERIFY(!QFileInfo(file()).isFile());
    }

    void aLinkIsFollowedOnlyToSettings_data()
    {
        QTest::addColumn<QByteArray>("target"); // "-": the link points to nothing
        QTest::addColumn<bool>("followed");
        QTest::addRow("to settings") << QByteArray("[Zentavo]\nCheck1=0\n") << true;
        QTest::addRow("to another file") << QByteArray("my notes\nprecious\n") << false;
        QTest::addRow("to a file of NUL bytes") << QByteArray(64, '\0') << false;
        QTest::addRow("to nothing") << QByteArray("-") << false;
    }
    void aLinkIsFollowedOnlyToSettings()
    {
        QFETCH(QByteArray, target);
        QFETCH(bool, followed);
        QVERIFY(QDir().mkpath(QFileInfo(file()).absolutePath()));
        const QString elsewhere = folder->filePath("elsewhere.txt");
        if (target != "-")
            writeBytes(elsewhere, target);
        QVERIFY(QFile::link(elsewhere, file()));
        {
            SettingsStore store(file());
            QCOMPARE(store.readError(), QString());
            QVERIFY(store.WriteSetting("Check3", "0"));
        }
        SettingsStore later(file());
        QCOMPARE(later.ReadSetting("Check3", ""), QStringLiteral("0"));
        if (followed) {
            QCOMPARE(QFileInfo(file()).symLinkTarget(), elsewhere);
            QCOMPARE(later.ReadSetting("Check1", ""), QStringLiteral("0"));
        } else {
            // The link went aside as a link; what it named is as it was.
            QVERIFY(!QFileInfo(file()).isSymLink());
            QCOMPARE(QFileInfo(file() + ".damaged").symLinkTarget(), elsewhere);
            QCOMPARE(readBytes(elsewhere), target == "-" ? QByteArray("<missing>") : target);
        }
    }

    void checkBoxesAreCheckedOnlyByExactlyOne_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("checked");
        QTest::addRow("1") << "1" << true;
        QTest::addRow("0") << "0" << false;
        QTest::addRow("empty") << "" << false;
        QTest::addRow("2") << "2" << false;
        QTest::addRow("1 with a blank after") << "1 " << false;
        QTest::addRow("1 with a blank before") << " 1" << false;
        QTest::addRow("true") << "true" << false;
    }
    void checkBoxesAreCheckedOnlyByExactlyOne()
    {
        QFETCH(QString, stored);
        QFETCH(bool, checked);
        QCOMPARE(decodeCheckBox(stored), checked);
        QCOMPARE(decodeCheckBox(encodeCheckBox(checked)), checked);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
