#include "cli/run.h"
#include "generator/randomsource.h"
#include "ui/form1.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryFile>
#include <QTest>
#include <random>

using namespace zentavo;
using namespace zentavo::test;

namespace {

// Gives the same draws again after each restart.
class RestartingRandom : public RandomSource
{
public:
    void restart(unsigned seed) { m_engine.seed(seed); }
    quint32 uniform(quint32 n) override { return quint32(m_engine() % n); }

private:
    std::mt19937 m_engine;
};

} // namespace

class TestCliWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture;
    Form1 *form = nullptr;
    RestartingRandom random;

    // Sets the window's controls as the command line's switches do.
    void setControls(const QStringList &arguments)
    {
        form->Check5->setChecked(!arguments.contains("--no-lower"));
        form->Check6->setChecked(!arguments.contains("--no-upper"));
        form->Check7->setChecked(!arguments.contains("--no-digits"));
        const qsizetype chars = arguments.indexOf("--chars");
        form->Check2->setChecked(chars >= 0);
        if (chars >= 0)
            form->Text1->setText(arguments[chars + 1]);
        form->Check8->setChecked(!arguments.contains("--no-at-least"));
        form->Check1->setChecked(arguments.contains("--no-vowels"));
        form->Check3->setChecked(arguments.contains("--space"));
        form->Check4->setChecked(arguments.contains("--last-digit"));
        form->Check9->setChecked(true);
        form->Text2->setText(arguments[arguments.indexOf("-n") + 1]);
        form->Text3->setText(arguments[arguments.indexOf("-l") + 1]);
    }

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>();
        fixture->random = &random;
        form = &fixture->start(false);
    }

    // One engine: the same draws give the same passwords in the window and
    // on the command line.
    void theWindowAndTheCommandLineMakeTheSamePasswords_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addRow("script defaults") << QStringList{"-n", "200", "-l", "16"};
        QTest::addRow("first-run options")
            << QStringList{"-n", "200", "-l", "6", "--no-vowels", "--space", "--last-digit"};
        QTest::addRow("all groups, own characters repeated")
            << QStringList{"-n", "100", "-l", "9", "--chars", "!!@a#", "--no-vowels", "--last-digit"};
        QTest::addRow("plain mode, own characters only") << QStringList{
            "-n",         "50",         "-l",          "5",       "--no-at-least",
            "--no-lower", "--no-upper", "--no-digits", "--chars", QString::fromUtf8("x\xF0\x9D\x84\x9E"),
            "--space"};
    }
    void theWindowAndTheCommandLineMakeTheSamePasswords()
    {
        QFETCH(QStringList, arguments);
        setControls(arguments);
        random.restart(42);
        form->PushButton1_Click();
        QStringList window;
        for (qsizetype r = 0; r < form->results().storedRowCount(); ++r)
            window << form->results().cell(r, 0) + '\t' + form->results().cell(r, 1);

        random.restart(42);
        QTemporaryFile out, err;
        QVERIFY(out.open() && err.open());
        const int status = cli::runCommandLine(arguments + QStringList{"--line-numbers"}, random,
                                               {int(out.handle()), int(err.handle())});
        QCOMPARE(status, 0);
        out.seek(0);
        QStringList commandLine = QString::fromUtf8(out.readAll()).split('\n');
        commandLine.removeLast();
        QCOMPARE(window.size(), arguments[arguments.indexOf("-n") + 1].toInt());
        QCOMPARE(commandLine, window);
    }

    // Each password of a stretch has draws of its own, through the sinks
    // the window and the command line really use (their own stretch
    // sizes): 100,000 passwords of 10 characters from the 62 letters and
    // digits are all different, and at each position every character comes
    // about as often. Chi-square with 61 degrees of freedom stays under 125
    // with a fair source but once in 10^5; a repeat is rarer still.
    void everyPasswordHasDrawsOfItsOwn_data()
    {
        QTest::addColumn<bool>("inTheWindow");
        QTest::addRow("window") << true;
        QTest::addRow("command line") << false;
    }
    void everyPasswordHasDrawsOfItsOwn()
    {
        QFETCH(bool, inTheWindow);
        const QStringList arguments{"-n", "100000", "-l", "10", "--no-at-least"};
        CryptoRandomSource system;
        QStringList passwords;
        if (inTheWindow) {
            fixture = std::make_unique<WindowFixture>();
            fixture->random = &system;
            form = &fixture->start(false);
            setControls(arguments);
            form->PushButton1_Click();
            for (qsizetype r = 0; r < form->results().storedRowCount(); ++r)
                passwords << form->results().cell(r, 1);
        } else {
            QTemporaryFile out, err;
            QVERIFY(out.open() && err.open());
            QCOMPARE(cli::runCommandLine(arguments, system, {int(out.handle()), int(err.handle())}), 0);
            out.seek(0);
            passwords = QString::fromLatin1(out.readAll()).split('\n', Qt::SkipEmptyParts);
        }
        QCOMPARE(passwords.size(), 100000);
        QCOMPARE(QSet<QString>(passwords.begin(), passwords.end()).size(), 100000);
        const QString pool = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
        for (int position = 0; position < 10; ++position) {
            std::vector<int> counts(std::size_t(pool.size()), 0);
            for (const QString &password : passwords) {
                const qsizetype drawn = pool.indexOf(password[position]);
                QVERIFY(drawn >= 0);
                ++counts[std::size_t(drawn)];
            }
            const double expected = 100000.0 / double(pool.size());
            double chiSquare = 0;
            for (const int count : counts)
                chiSquare += (count - expected) * (count - expected) / expected;
            QVERIFY2(chiSquare < 125,
                     qPrintable(QStringLiteral("position %1: %2").arg(position).arg(chiSquare)));
        }
    }

    // The length's hover hint follows every option that changes the strength.
    void theLengthHintShowsTheStrength()
    {
        fixture = std::make_unique<WindowFixture>();
        form = &fixture->start(false); // first-run options
        auto hint = [&] {
            [&] { QCOMPARE(form->Frame3->toolTip(), form->Text3->toolTip()); }();
            return form->Text3->toolTip();
        };
        QCOMPARE(hint(), QStringLiteral("About 25 bits per password: poor"));
        form->Text3->setText(QStringLiteral("16"));
        QCOMPARE(hint(), QStringLiteral("About 83 bits per password: good"));
        form->Check1->setChecked(false); // vowels back in the pool
        QCOMPARE(hint(), QStringLiteral("About 86 bits per password: good"));
        form->Check2->setChecked(true);
        form->Text1->setText(QStringLiteral("!@#$%^&*()-_=+[]{};:,.<>/?~"));
        QCOMPARE(hint(), QStringLiteral("About 90 bits per password: good"));
        form->Text3->setText(QStringLiteral("3")); // shorter than the four groups
        QCOMPARE(hint(), QString());
    }
};

QTEST_MAIN(TestCliWindow)
#include "tst_cliwindow.moc"
