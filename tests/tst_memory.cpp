// Runs that ask for more memory than the program may use: turned down before
// they start, or stopped cleanly when memory runs out, in the real window.
// The cases under a real address-space limit run in a child process, which
// sets the limit on itself and reports what happened.

#include "core/errorreport.h"
#include "core/memorybudget.h"
#include "exportfakes.h"
#include "generator/passwordgenerator.h"
#include "generator/randomsource.h"
#include "results/resultslist.h"
#include "ui/desktopservices.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>

using namespace zentavo;
using namespace zentavo::test;

namespace {

class FixedBudget : public MemoryBudget
{
public:
    explicit FixedBudget(qint64 amount) : bytes(amount) {}
    qint64 available() const override { return bytes; }
    qint64 bytes;
};

constexpr qint64 MiB = qint64(1) << 20;

void click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// --- The child: runs one case under a real limit and prints what it saw. ---

qint64 addressSpaceInUse()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// Leaves `headroom` bytes of address space to grow into, until the limit is
// lifted again: the child's own report (a regular expression among others)
// needs memory the case may have used up.
rlimit limitAddressSpace(qint64 headroom)
{
    rlimit before{};
    getrlimit(RLIMIT_AS, &before);
    const rlimit limit{rlim_t(addressSpaceInUse() + headroom), before.rlim_max};
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        qFatal("setrlimit failed");
    return before;
}

// The line an error report quotes, or the message itself.
QString summary(const ShownMessage &message)
{
    const QRegularExpressionMatch line =
        QRegularExpression(QStringLiteral("at line (\\d+)")).match(message.text);
    return line.hasMatch() ? QStringLiteral("report ") + line.captured(1) : message.text.left(60);
}

// The window under a limit. "refuse": asks for two thousand million
// passwords; "stop": starts a run that fits and lengthens the passwords in
// the middle of it, as a user typing into the length field would. Then the
// window is used again: "Clear Results" and a run of ten.
int windowChild(const QString &scenario)
{
    WindowFixture fixture;
    Form1 &form = fixture.start();
    form.Text3->setText(QStringLiteral("16"));
    form.Text2->setText(scenario == QLatin1String("refuse") ? QStringLiteral("2000000000")
                                                            : QStringLiteral("100000"));
    const rlimit before = limitAddressSpace(96 * MiB);
    if (scenario == QLatin1String("stop")) {
        // Once the first per cent is made, the user types a longer length.
        QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [&](int percent) {
            if (percent > 0 && form.Text3->text() != QLatin1String("4000"))
                form.Text3->setText(QStringLiteral("4000"));
        });
    }
    click(form.PushButton1);
    const QList<ShownMessage> shown = fixture.prompter.shown;
    const qsizetype rows = form.results().storedRowCount();
    const qsizetype lastLength = rows > 0 ? form.results().cellLength(rows - 1, 1) : 0;

    fixture.prompter.shown.clear();
    click(form.PushButton3);
    const qsizetype cleared = form.results().storedRowCount();
    form.Text3->setText(QStringLiteral("8"));
    form.Text2->setText(QStringLiteral("10"));
    click(form.PushButton1);
    setrlimit(RLIMIT_AS, &before);
    QStringList seen;
    for (const ShownMessage &message : shown)
        seen << summary(message);
    std::printf("messages=%s|rows=%lld|lastLength=%lld|cleared=%lld|after=%lld|then=%s\n",
                qPrintable(seen.join("##")), qlonglong(rows), qlonglong(lastLength), qlonglong(cleared),
                qlonglong(form.results().storedRowCount()), qPrintable(fixture.prompter.texts().join(';')));
    return 0;
}

// The generator appending to a list without a budget, so that the memory
// runs out in a real allocation.
class ListHost : public PasswordSink
{
public:
    GenerationOptions current;
    ResultsList list;
    void append(const PasswordBatch &batch) override { list.appendRows(batch); }
};

int unguardedChild()
{
    RecordingPrompter prompter;
    prompter.shown.reserve(16);
    ErrorReport report(prompter, QStringLiteral("help@example.org"));
    CryptoRandomSource random;
    PasswordGenerator generator(random, report);
    ListHost host;
    host.current.useLowerCase = true;
    host.current.passwordCount = QStringLiteral("2000000000");
    host.current.passwordLength = QStringLiteral("16");
    host.list.addColumn(QStringLiteral("Result(s)"));
    const rlimit before = limitAddressSpace(64 * MiB);
    generator.run(host.current, host);
    setrlimit(RLIMIT_AS, &before);
    QStringList seen;
    for (const ShownMessage &message : prompter.shown)
        seen << summary(message);
    const qsizetype rows = host.list.storedRowCount();
    std::printf("messages=%s|rows=%lld|lastLength=%lld|cleared=0|after=0|then=\n",
                qPrintable(seen.join("##")), qlonglong(rows),
                qlonglong(rows > 0 ? host.list.cellLength(rows - 1, 0) : 0));
    return 0;
}

// The system's budget, or none at all.
class SwitchedBudget : public MemoryBudget
{
public:
    qint64 available() const override
    {
        return unlimited ? qint64(1) << 50 : systemMemoryBudget().available();
    }
    bool unlimited = false;
};

// Under a real limit, with the real clipboard: the most passwords the window
// accepts are made and copied whole; a quarter more, made without the check,
// do not fit. Case: LENGTH:LINE NUMBERS (0 or 1):OWN CHARACTERS ALONE.
int holdsChild(const QStringList &fields)
{
    SwitchedBudget budget;
    SystemClipboard clipboard;
    WindowFixture fixture;
    fixture.memoryBudget = &budget;
    Services services = fixture.services();
    services.clipboard = &clipboard;
    Form1 form(services);
    form.Form_Load();
    form.Text3->setText(fields[0]);
    form.Check9->setChecked(fields[1] == QLatin1String("1"));
    form.Check2->setChecked(!fields[2].isEmpty());
    form.Text1->setText(fields[2]);
    for (QCheckBox *group : {form.Check5, form.Check6, form.Check7})
        group->setChecked(fields[2].isEmpty());
    form.Check3->setChecked(false); // no space at an end, which the clipboard drops
    const auto makeAndCopy = [&](qint64 count) {
        form.Text2->setText(QString::number(count));
        click(form.PushButton1);
        click(form.PushButton2);
        // Its bytes as handed out, at least a byte a character, and no report
        // of a failure.
        const QMimeData *held = QGuiApplication::clipboard()->mimeData();
        const qsizetype copied = held ? held->data(QStringLiteral("text/plain")).size() : 0;
        const qint64 line =
            fields[0].toInt() + 2 + (form.Check9->isChecked() ? QString::number(count).size() + 1 : 0);
        const bool whole =
            form.results().storedRowCount() == count && copied >= count * line &&
            fixture.prompter.texts().last().startsWith(QLatin1String("Results have been copied"));
        QGuiApplication::clipboard()->clear();
        click(form.PushButton3);
        return whole;
    };
    makeAndCopy(1000); // the threads and buffers commands keep, before the limit
    const rlimit before = limitAddressSpace(512 * MiB);
    fixture.prompter.shown.clear();
    form.Text2->setText(QStringLiteral("2000000000"));
    click(form.PushButton1);
    const QString refusal = fixture.prompter.texts().value(0);
    const qint64 accepted = QRegularExpression(QStringLiteral("make about ([\\d,]+)"))
                                .match(refusal)
                                .captured(1)
                                .remove(',')
                                .toLongLong();
    const bool acceptedFits = accepted > 0 && makeAndCopy(accepted);
    budget.unlimited = true;
    const bool moreFits = makeAndCopy(accepted + accepted / 4);
    setrlimit(RLIMIT_AS, &before);
    std::printf("accepted=%lld|fits=%d|more=%d|refusal=%s\n", qlonglong(accepted), int(acceptedFits),
                int(moreFits), qPrintable(refusal));
    return 0;
}

} // namespace

class TestMemory : public QObject
{
    Q_OBJECT

    // Runs a case in a child process under a limit of its own; what it saw.
    static QMap<QString, QString> runChild(const QString &scenario)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ZENTAVO_MEMORY_CHILD"), scenario);
        // Under AddressSanitizer an allocation that finds no memory fails
        // as it does without it, rather than ending the child.
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) +
                               QStringLiteral(":allocator_may_return_null=1:quarantine_size_mb=0"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QMap<QString, QString> seen;
        const bool ended = child.waitForFinished(300000);
        const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
        [&] {
            QVERIFY(ended);
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                     qPrintable(output + child.readAllStandardError()));
        }();
        for (const QString &field : output.trimmed().split(QLatin1Char('|')))
            seen.insert(field.section(QLatin1Char('='), 0, 0), field.section(QLatin1Char('='), 1));
        return seen;
    }

private slots:
    void requestsThatCannotFitAreTurnedDown_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("ownCharacters");
        QTest::addColumn<qint64>("available");
        QTest::addColumn<bool>("refused");
        QTest::addRow("fifty million") << "50000000"
                                       << "16"
                                       << "" << 70 * MiB << true;
        QTest::addRow("long passwords") << "10000"
                                        << "1000"
                                        << "" << 70 * MiB << true;
        QTest::addRow("Latin-1 fits") << "50000"
                                      << "16"
                                      << "!?" << 70 * MiB << false;
        QTest::addRow("others take more") << "50000"
                                          << "16"
                                          << "€?" << 70 * MiB << true;
        QTest::addRow("nothing fits") << "10"
                                      << "16"
                                      << "" << 32 * MiB << true;
        QTest::addRow("plenty") << "1000"
                                << "16"
                                << "" << 1024 * MiB << false;
    }
    void requestsThatCannotFitAreTurnedDown()
    {
        QFETCH(QString, count);
        QFETCH(QString, length);
        QFETCH(QString, ownCharacters);
        QFETCH(qint64, available);
        QFETCH(bool, refused);
        FixedBudget budget(available);
        WindowFixture fixture;
        fixture.memoryBudget = &budget;
        Form1 &form = fixture.start();
        form.Text1->setText(ownCharacters);
        form.Check2->setChecked(!ownCharacters.isEmpty());
        form.Text3->setText(length);
        form.Text2->setText(count);
        click(form.PushButton1);
        if (!refused) {
            QCOMPARE(form.results().storedRowCount(), count.toLongLong());
            QCOMPARE(fixture.prompter.texts(), QStringList{"Done."});
            return;
        }
        QCOMPARE(form.results().storedRowCount(), 0);
        QCOMPARE(fixture.prompter.shown.size(), 1);
        const ShownMessage message = fixture.prompter.shown[0];
        QVERIFY(message.icon == Prompter::Icon::Warning);
        const QRegularExpressionMatch said =
            QRegularExpression(
                QStringLiteral("^([\\d,]+) passwords of (\\d+) characters need (about [\\d.]+|less than 1) "
                               "[MG]B; (about [\\d.]+|less than 1) [MG]B is free. Zentavo (can make about "
                               "([\\d,]+) at a "
                               "time|cannot make any at the moment).$"))
                .match(message.text);
        QVERIFY2(said.hasMatch(), qPrintable(message.text));
        QCOMPARE(said.captured(1).remove(QLatin1Char(',')), count);
        QCOMPARE(said.captured(2), length);

        // What the message says fits does fit; a little more does not.
        const qint64 fitting = said.captured(6).remove(QLatin1Char(',')).toLongLong();
        if (fitting == 0)
            return;
        fixture.prompter.shown.clear();
        form.Text2->setText(QString::number(fitting));
        click(form.PushButton1);
        QCOMPARE(form.results().storedRowCount(), fitting);
        QCOMPARE(fixture.prompter.texts(), QStringList{"Done."});
    }

    void exportsThatCannotFitAreTurnedDown_data()
    {
        QTest::addColumn<bool>("toClipboard");
        QTest::addColumn<qint64>("available");
        QTest::addColumn<QString>("reportedAt");
        QTest::addRow("clipboard") << true << 70 * MiB << "PushButton2_Click at line 106";
        QTest::addRow("text file") << false << qint64(0) << "SaveListviewProperlySpaced at line 156";
    }
    void exportsThatCannotFitAreTurnedDown()
    {
        QFETCH(bool, toClipboard);
        QFETCH(qint64, available);
        QFETCH(QString, reportedAt);
        FixedBudget budget(1024 * MiB);
        ScriptedSaveDialog dialog;
        RecordingClipboard clipboard;
        clipboard.content = QStringLiteral("before");
        QTemporaryDir folder;
        dialog.answer = folder.filePath(QStringLiteral("results.txt"));
        WindowFixture fixture;
        fixture.memoryBudget = &budget;
        Services services = fixture.services();
        services.saveDialog = &dialog;
        services.clipboard = &clipboard;
        Form1 form(services);
        form.Form_Load();
        form.Text2->setText(QStringLiteral("300000"));
        form.Text3->setText(QStringLiteral("16"));
        click(form.PushButton1);
        fixture.prompter.shown.clear();

        budget.bytes = available;
        click(toClipboard ? form.PushButton2 : form.PushButton4);
        QCOMPARE(fixture.prompter.shown.size(), 1);
        QVERIFY2(fixture.prompter.shown[0].text.startsWith(QStringLiteral("Out of memory: ")) &&
                     fixture.prompter.shown[0].text.contains(reportedAt),
                 qPrintable(fixture.prompter.shown[0].text));
        QCOMPARE(clipboard.content, QStringLiteral("before"));
        QVERIFY(!QFile::exists(dialog.answer));
        QCOMPARE(form.results().storedRowCount(), 300000);
    }

    // The check holds both ways under a real address-space limit: what it
    // accepts fits, and it accepts at least 80 % of what fits (a quarter
    // more than it accepts does not fit), in each width class.
    void theCheckHoldsBothWays_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addRow("6 characters") << "holds:6:0:";
        QTest::addRow("16 characters, line numbers") << "holds:16:1:";
        QTest::addRow("16 wider characters")
            << QString::fromUtf8("holds:16:0:\xE2\x82\xAC\xE2\x84\xA2\xE2\x86\x92");
    }
    void theCheckHoldsBothWays()
    {
        QFETCH(QString, scenario);
        const QMap<QString, QString> seen = runChild(scenario);
        qInfo("%s", qPrintable(seen["refusal"]));
        QVERIFY2(seen["fits"] == QLatin1String("1"), qPrintable(seen["accepted"]));
        QVERIFY2(seen["more"] == QLatin1String("0"), qPrintable(seen["accepted"]));
    }

    void aRealLimitIsHeld_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("messages");
        QTest::addColumn<bool>("rowsKept");
        QTest::addColumn<int>("lastLength");
        // The generator's own steps: 200 appends a numbered row in at-least
        // mode, 238 a row alone in plain mode.
        QTest::addRow("turned down") << "refuse"
                                     << "2,000,000,000 passwords of 16 characters need about" << false << 0;
        QTest::addRow("stopped when the rows grow") << "stop"
                                                    << "report 200" << true << 4000;
        QTest::addRow("a real allocation fails") << "unguarded"
                                                 << "report 238" << true << 16;
    }
    void aRealLimitIsHeld()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, messages);
        QFETCH(bool, rowsKept);
        QFETCH(int, lastLength);
        QMap<QString, QString> seen = runChild(scenario);
        // One message, no more.
        QVERIFY2(seen["messages"].startsWith(messages) && !seen["messages"].contains("##"),
                 qPrintable(seen["messages"]));
        QCOMPARE(seen["rows"].toLongLong() > 0, rowsKept);
        QCOMPARE(seen["lastLength"].toInt(), lastLength);
        if (scenario == QLatin1String("unguarded"))
            return;
        // The window goes on working: the list empties, and a run of ten
        // is made and finished as ever.
        QCOMPARE(seen["cleared"], QStringLiteral("0"));
        QCOMPARE(seen["after"], QStringLiteral("10"));
        QCOMPARE(seen["then"], QStringLiteral("Done."));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString scenario = qEnvironmentVariable("ZENTAVO_MEMORY_CHILD");
    if (scenario == QLatin1String("unguarded"))
        return unguardedChild();
    if (scenario.startsWith(QLatin1String("holds:")))
        return holdsChild(scenario.split(QLatin1Char(':')).mid(1));
    if (!scenario.isEmpty())
        return windowChild(scenario);
    TestMemory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_memory.moc"
