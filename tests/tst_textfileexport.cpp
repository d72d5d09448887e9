#include "core/errorreport.h"
#include "core/eventpump.h"
#include "export/textfileexport.h"
#include "exportfakes.h"
#include "recorders.h"
#include "results/resultslist.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zentavo;
using namespace zentavo::test;

namespace {

const QString kPath = QStringLiteral("in Quorvex2021/08/31.Main.SaveListviewProperlySpaced ");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Files can be made to refuse writes beyond a size, even for root.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class TestTextFileExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tempDir;
    RecordingPrompter prompter;
    std::unique_ptr<ErrorReport> report;
    std::unique_ptr<ResultsList> list;
    EventPump pump{0};

    QString path(const QString &name) const { return tempDir->filePath(name); }

    void fill(int rows, bool lineNumbers = false,
              const QString &password = QStringLiteral("abcdefghijklmnop"))
    {
        addColumns(*list, lineNumbers);
        for (int r = 1; r <= rows; ++r)
            list->appendRow(lineNumbers ? r : 0, password);
    }

    void save(const QString &file, ProgressDisplay *progress)
    {
        SaveListviewProperlySpaced(*list, file, progress, pump, *report);
    }

private slots:
    void init()
    {
        tempDir = std::make_unique<QTemporaryDir>();
        QVERIFY(tempDir->isValid());
        prompter = RecordingPrompter();
        report = std::make_unique<ErrorReport>(prompter, QStringLiteral("help@example.org"));
        list = std::make_unique<ResultsList>();
    }

    void layouts_data()
    {
        QTest::addColumn<bool>("lineNumbers");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QList<int>>("unticked");
        QTest::addColumn<QByteArray>("expected");

        QTest::addRow("titles only") << true << QList<int>{} << QStringList{} << QList<int>{}
                                     << QByteArray("Line\tResult(s)\t\r\n");
        QTest::addRow("two columns padded")
            << true << QList<int>{1, 10} << QStringList{"abc", "defghijklm"} << QList<int>{}
            << QByteArray("Line\tResult(s) \t\r\n"
                          "1   \tabc       \t\r\n"
                          "10  \tdefghijklm\t\r\n");
        QTest::addRow("one column") << false << QList<int>{} << QStringList{"abc", "de"} << QList<int>{}
                                    << QByteArray("Result(s)\t\r\nabc      \t\r\nde       \t\r\n");
        QTest::addRow("trailing spaces kept")
            << false << QList<int>{} << QStringList{"ab  ", "   "} << QList<int>{}
            << QByteArray("Result(s)\t\r\nab       \t\r\n         \t\r\n");
        QTest::addRow("unticked row widens")
            << true << QList<int>{1, 10000, 3} << QStringList{"x", "a-very-long-password", "yz"}
            << QList<int>{1}
            << QByteArray("Line \tResult(s)           \t\r\n"
                          "1    \tx                   \t\r\n"
                          "3    \tyz                  \t\r\n");
        QTest::addRow("all unticked")
            << false << QList<int>{} << QStringList{"abc"} << QList<int>{0} << QByteArray("Result(s)\t\r\n");
        QTest::addRow("empty password") << true << QList<int>{1, 2} << QStringList{"", "a"} << QList<int>{}
                                        << QByteArray("Line\tResult(s)\t\r\n1   \t         \t\r\n"
                                                      "2   \ta        \t\r\n");
        // Lengths count 16-bit units, so the emoji takes two; bytes are UTF-8.
        QTest::addRow("beyond ASCII")
            << false << QList<int>{} << QStringList{QString::fromUtf8("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80")}
            << QList<int>{} << QByteArray("Result(s)\t\r\n\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80     \t\r\n");
    }
    void layouts()
    {
        QFETCH(bool, lineNumbers);
        QFETCH(QList<int>, lines);
        QFETCH(QStringList, passwords);
        QFETCH(QList<int>, unticked);
        QFETCH(QByteArray, expected);
        addColumns(*list, lineNumbers);
        for (int r = 0; r < passwords.size(); ++r)
            list->appendRow(lineNumbers ? lines[r] : 0, passwords[r]);
        for (int r : unticked)
            list->setChecked(r, false);

        RecordingProgress progress;
        save(path("out.txt"), &progress);
        QCOMPARE(readAll(path("out.txt")), expected);
        QVERIFY(prompter.shown.isEmpty());
        // Nothing is left beside the file.
        QCOMPARE(QDir(tempDir->path()).entryList(QDir::Files), QStringList{"out.txt"});
    }

    void anExistingFileIsReplaced()
    {
        writeFile(path("old.txt"), QByteArray(5000, 'x'));
        fill(1);
        save(path("old.txt"), nullptr);
        QCOMPARE(readAll(path("old.txt")), QByteArray("Result(s)       \t\r\nabcdefghijklmnop\t\r\n"));
    }

    void everyFileWrittenIsPrivate_data()
    {
        QTest::addColumn<int>("earlierMode"); // -1: no earlier file
        QTest::addRow("new") << -1;
        QTest::addRow("replacing one the group reads") << 0640;
        QTest::addRow("replacing one everyone writes") << 0666;
    }

    void everyFileWrittenIsPrivate()
    {
        QFETCH(int, earlierMode);
        if (earlierMode >= 0) {
            writeFile(path("file.txt"), "old");
            QCOMPARE(::chmod(QFile::encodeName(path("file.txt")).constData(), mode_t(earlierMode)), 0);
        }
        fill(1);
        save(path("file.txt"), nullptr);
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(path("file.txt")).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0600));
        QCOMPARE(readAll(path("file.txt")), QByteArray("Result(s)       \t\r\nabcdefghijklmnop\t\r\n"));
    }

    void progressFor2500Rows()
    {
        fill(2500);
        list->setChecked(1, false); // an unticked row makes no progress step
        RecordingProgress progress;
        save(path("many.txt"), &progress);

        const QList<double> values = progress.values();
        QCOMPARE(values.size(), 3 + 2499 + 2);
        QCOMPARE(values.mid(0, 3), (QList<double>{1, 10, 20}));
        QCOMPARE(values[3], 0.08);      // after row 1: (1 + 1) / 2500
        QCOMPARE(values[4], 0.16);      // row 2 is unticked; row 3 follows
        QCOMPARE(values[1000], 40.0);   // row 999
        QCOMPARE(values[2501], 100.04); // row 2500, a hair above 100
        QCOMPARE(values.mid(2502), (QList<double>{100, 0}));
        for (qsizetype i = 4; i < 2502; ++i)
            QVERIFY(values[i] > values[i - 1]);

        const QString writing = QStringLiteral("Writing file: many.txt");
        QCOMPARE(progress.texts(), (QStringList{writing, writing, writing, writing + " (1000)",
                                                writing + " (2000)", "Done.", "Progress Bar"}));
        // The texts come with the values of rows 1000 and 2000.
        const qsizetype at1000 = progress.events.indexOf(std::variant<double, QString>(writing + " (1000)"));
        QCOMPARE(std::get<double>(progress.events[at1000 - 1]), 40.04);
        QVERIFY(prompter.shown.isEmpty());
    }

    void progressBelow2000RowsEndsAtExactly100()
    {
        fill(1500);
        RecordingProgress progress;
        save(path("fewer.txt"), &progress);
        const QList<double> values = progress.values();
        QCOMPARE(values.size(), 3 + 1500 + 2);
        QCOMPARE(values[3], 1.0 / 1500 * 100);
        QCOMPARE(values[3 + 1499], 100.0);
        QCOMPARE(progress.texts().count(QStringLiteral("Writing file: fewer.txt (1000)")), 1);
    }

    void theShownNameIsTheLastPartOfThePath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("in a folder") << "sub/list.txt";
        QTest::addRow("without a folder") << "plain";
    }
    void theShownNameIsTheLastPartOfThePath()
    {
        QFETCH(QString, name);
        QDir(tempDir->path()).mkpath(QStringLiteral("sub"));
        fill(1);
        RecordingProgress progress;
        const QString target = name.contains('/') ? path(name) : name;
        const QString before = QDir::currentPath();
        QDir::setCurrent(tempDir->path());
        save(target, &progress);
        QDir::setCurrent(before);
        QCOMPARE(progress.texts().first(), QStringLiteral("Writing file: ") + name.section('/', -1));
        QVERIFY(QFile::exists(path(name)));
    }

    void aFileThatCannotBeCreatedIsReportedOnce_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addRow("a folder in its place") << "taken";
        QTest::addRow("a missing folder") << "missing/out.txt";
    }
    void aFileThatCannotBeCreatedIsReportedOnce()
    {
        QFETCH(QString, target);
        QDir(tempDir->path()).mkdir(QStringLiteral("taken"));
        fill(3000);
        RecordingProgress progress;
        save(path(target), &progress);

        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown[0].text.startsWith(QDir::toNativeSeparators(path(target)) +
                                                  " could not be created"));
        QVERIFY(prompter.shown[0].text.contains(kPath + "at line 156\r\r"));
        QCOMPARE(progress.values().mid(progress.values().size() - 2), (QList<double>{100, 0}));
        QCOMPARE(progress.texts().last(), QStringLiteral("Progress Bar"));
        QCOMPARE(QDir(tempDir->path()).entryList(QDir::Files), QStringList{});
    }

    void aFailedWriteSaysWhyAndLeavesTheEarlierFile_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("line");
        QTest::addColumn<bool>("fullDisk"); // a 64 KiB disk, or a limit on the file's size
        QTest::addColumn<QString>("cause");
        // Long lists are written in blocks as they go; short ones at the end.
        QTest::addRow("in the middle") << 40000 << 222 << false << "File too large";
        QTest::addRow("at the end") << 3000 << 232 << false << "File too large";
        QTest::addRow("a full disk") << 40000 << 222 << true << "No space left on device";
    }
    void aFailedWriteSaysWhyAndLeavesTheEarlierFile()
    {
        QFETCH(int, rows);
        QFETCH(int, line);
        QFETCH(bool, fullDisk);
        QFETCH(QString, cause);
        const QString disk = path("disk");
        QVERIFY(QDir().mkpath(disk));
        if (fullDisk && ::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("a small disk cannot be mounted here (needs root)");
        const auto unmount = qScopeGuard([&] {
            if (fullDisk)
                ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH);
        });
        const QString target = disk + QStringLiteral("/kept.txt");
        const QByteArray earlier("the list saved yesterday\r\n");
        writeFile(target, earlier);
        fill(rows);
        RecordingProgress progress;
        {
            std::optional<FileSizeLimit> limit;
            if (!fullDisk)
                limit.emplace(40000);
            save(target, &progress);
        }
        QCOMPARE(prompter.shown.size(), 1);
        const QString text = prompter.shown[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("Writing to %1 failed: %2\r\n").arg(target, cause)),
                 qPrintable(text));
        QVERIFY2(text.contains(kPath + QStringLiteral("at line %1\r\r").arg(line)), qPrintable(text));
        QCOMPARE(readAll(target), earlier);
        QCOMPARE(QDir(disk).entryList(QDir::Files), QStringList{"kept.txt"});
        QCOMPARE(progress.texts().last(), QStringLiteral("Progress Bar"));
        QCOMPARE(progress.values().last(), 0.0);
    }

    void rowsRemovedDuringTheWriteAreReportedOnce()
    {
        fill(10, true, QStringLiteral("pw"));
        RecordingProgress progress;
        // After its third row the list is emptied, as rebuilding it does.
        progress.onValue = [&](double value) {
            if (value == 30.0)
                list->removeAllRows();
        };
        save(path("cut.txt"), &progress);

        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown[0].text.startsWith(QStringLiteral("Row 4 of the list no longer exists.")));
        QVERIFY(prompter.shown[0].text.contains(kPath + "at line 188\r\r"));
        QCOMPARE(readAll(path("cut.txt")), QByteArray("Line\tResult(s)\t\r\n1   \tpw       \t\r\n"
                                                      "2   \tpw       \t\r\n3   \tpw       \t\r\n"));
        QCOMPARE(progress.texts().last(), QStringLiteral("Progress Bar"));
    }

    void closingTheWindowStopsTheWriteAndKeepsTheEarlierFile()
    {
        const QByteArray earlier("earlier\r\n");
        writeFile(path("keep.txt"), earlier);
        fill(100);
        RecordingProgress progress;
        progress.onValue = [&](double value) {
            if (value == 50.0)
                pump.abandon();
        };
        bool abandoned = false;
        try {
            save(path("keep.txt"), &progress);
        } catch (const Abandoned &) {
            abandoned = true;
        }
        QVERIFY(abandoned);
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(readAll(path("keep.txt")), earlier);
        QCOMPARE(QDir(tempDir->path()).entryList(QDir::Files), QStringList{"keep.txt"});
    }
};

QTEST_GUILESS_MAIN(TestTextFileExport)
#include "tst_textfileexport.moc"
