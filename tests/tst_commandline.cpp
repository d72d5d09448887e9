// The program's own command line, run as a user would from a terminal. No
// display is given: asking for help or the version must not need one.

#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutAWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // a line standard output must hold
        QTest::addColumn<QString>("err"); // a line standard error must hold
        QTest::addColumn<QString>("language");
        const QString version = QStringLiteral("Zentavo " ZENTAVO_PROJECT_VERSION);
        QTest::addRow("--help") << QStringList{"--help"} << 0
                                << "  -v, --version  Displays version information."
                                << ""
                                << "";
        QTest::addRow("-h") << QStringList{"-h"} << 0 << "Makes batches of random passwords."
                            << ""
                            << "";
        QTest::addRow("--help-all") << QStringList{"--help-all"} << 0 << "Makes batches of random passwords."
                                    << ""
                                    << "";
        QTest::addRow("--version") << QStringList{"--version"} << 0 << version << ""
                                   << "";
        QTest::addRow("after Qt's own options")
            << QStringList{"-style", "fusion", "-reverse", "--version"} << 0 << version << ""
            << "";
        QTest::addRow("unknown option") << QStringList{"--bogus"} << 2 << ""
                                        << "zentavo: Unknown option 'bogus'."
                                        << "";
        QTest::addRow("unknown before help") << QStringList{"-x", "--help"} << 2 << ""
                                             << "zentavo: Unknown option 'x'."
                                             << "";
        QTest::addRow("an argument") << QStringList{"results.txt"} << 2 << ""
                                     << "zentavo: Unexpected argument 'results.txt'."
                                     << "";
        // The system's language, for Qt's texts and the program's own.
        QTest::addRow("German") << QStringList{"--bogus"} << 2 << ""
                                << "zentavo: Unbekannte Option 'bogus'."
                                << "de_DE.UTF-8";
        QTest::addRow("German help") << QStringList{"--help"} << 0 << "Erzeugt Stapel zufälliger Passwörter."
                                     << ""
                                     << "de_DE.UTF-8";
    }
    void answersWithoutAWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, language);
        QProcess zentavo;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("LANGUAGE"));
        environment.remove(QStringLiteral("LC_MESSAGES"));
        environment.insert(QStringLiteral("LC_ALL"), language.isEmpty() ? QStringLiteral("C") : language);
        zentavo.setProcessEnvironment(environment);
        zentavo.start(QStringLiteral(ZENTAVO_EXECUTABLE), arguments);
        QVERIFY(zentavo.waitForFinished(20000));
        const QStringList printed = QString::fromLocal8Bit(zentavo.readAllStandardOutput()).split('\n');
        const QStringList complained = QString::fromLocal8Bit(zentavo.readAllStandardError()).split('\n');
        QCOMPARE(zentavo.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zentavo.exitCode(), status);
        if (!out.isEmpty())
            QVERIFY2(printed.contains(out), qPrintable(printed.join('\n')));
        if (!err.isEmpty())
            QVERIFY2(complained.contains(err), qPrintable(complained.join('\n')));
        if (status != 0)
            QCOMPARE(printed, QStringList{""});
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
