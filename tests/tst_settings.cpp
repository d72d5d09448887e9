#include "core/optionsettings.h"
#include "core/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        ini.write("\x01\x02garbage\xff\xfe\n[Zentavo\nNumeric=0\n[Zentavo]\nCheck1=0\n=novalue\nCheck3=@Variant(\x05junk)\n"
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
