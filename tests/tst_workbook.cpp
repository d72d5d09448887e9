#include "core/errorreport.h"
#include "core/eventpump.h"
#include "core/failure.h"
#include "export/workbook.h"
#include "exportfakes.h"
#include "libreoffice.h"
#include "recorders.h"
#include "results/resultslist.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/mount.h>

using namespace zentavo;
using namespace zentavo::test;

namespace {
const QString kPath = QStringLiteral("in Quorvex2021/08/31.Form1.PushButton13_Click ");
}

class TestWorkbook : public QObject
{
    Q_OBJECT

    QTemporaryDir profile; // LibreOffice's, kept for the whole run: it is slow to make
    std::unique_ptr<QTemporaryDir> dir;
    RecordingPrompter prompter;
    std::unique_ptr<ErrorReport> report;
    std::unique_ptr<Procedure> procedure;
    std::unique_ptr<ResultsList> list;
    EventPump pump{0};

    QString write(qsizetype rowLimit = Workbook::kRowLimit)
    {
        const QString path = dir->filePath(QStringLiteral("results.xlsx"));
        Workbook workbook(path, dir->path());
        writeResultsWorkbook(*list, workbook, pump, *procedure, rowLimit);
        workbook.save();
        return path;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        prompter = RecordingPrompter();
        report = std::make_unique<ErrorReport>(prompter, QStringLiteral("help@example.org"));
        procedure = std::make_unique<Procedure>(*report, kPath);
        list = std::make_unique<ResultsList>();
    }

    void readBack_data()
    {
        QTest::addColumn<bool>("lineNumbers");
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QList<QStringList>>("sheet");
        const QStringList tricky{
            "=1+1", "0123", "trail ",  " lead",
            "1e5",  "TRUE", "a,\"b\"", QString::fromUtf8("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"),
            "<&>"};
        QList<QStringList> withLines{{"Results", ""}};
        QList<QStringList> alone{{"Results"}};
        for (int i = 0; i < tricky.size(); ++i) {
            withLines << QStringList{QString::number(i + 1), tricky[i]};
            alone << QStringList{tricky[i]};
        }
        QTest::addRow("with line numbers") << true << tricky << withLines;
        QTest::addRow("passwords alone") << false << tricky << alone;
    }
    void readBack()
    {
        QFETCH(bool, lineNumbers);
        QFETCH(QStringList, passwords);
        QFETCH(QList<QStringList>, sheet);
        addColumns(*list, lineNumbers);
        for (int i = 0; i < passwords.size(); ++i)
            list->appendRow(lineNumbers ? i + 1 : 0, passwords[i]);
        list->setChecked(2, false); // unticked rows go to the workbook too

        const QList<QStringList> read = readWorkbook(write(), profile.path());
        QCOMPARE(read, sheet);
        QVERIFY(prompter.shown.isEmpty());
    }

    void aListLongerThanASheetIsReportedOnce()
    {
        addColumns(*list, true);
        for (int i = 1; i <= 9; ++i)
            list->appendRow(i, QStringLiteral("pw%1").arg(i));
        const QList<QStringList> read = readWorkbook(write(6), profile.path());

        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].text,
                 errorReportText(
                     QStringLiteral("The list has 9 rows, but a sheet holds only 6 with its \"Results\" "
                                    "row: the workbook shows the first 5."),
                     kPath, 120, QStringLiteral("help@example.org")));
        QCOMPARE(read.size(), 6);
        QCOMPARE(read.last(), (QStringList{"5", "pw5"}));
    }

    void aSheetHoldsItsLastRowAndNoMore()
    {
        Workbook workbook(dir->filePath(QStringLiteral("edge.xlsx")), dir->path());
        workbook.setText(0, 0, u"first");
        workbook.setText(Workbook::kRowLimit - 1, 0, u"last");
        QVERIFY_THROWS_EXCEPTION(Failure, workbook.setText(Workbook::kRowLimit, 0, u"beyond"));
        workbook.save();
    }

    void rowsRemovedMeanwhileAreReportedOnce()
    {
        addColumns(*list, false);
        for (int i = 0; i < 50; ++i)
            list->appendRow(0, u"pw");
        QTimer::singleShot(0, list.get(), [this] { list->removeAllRows(); });
        const QList<QStringList> read = readWorkbook(write(), profile.path());
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown[0].text.startsWith(QStringLiteral("Row 1 of the list no longer exists.\r\n") +
                                                  kPath + QStringLiteral("at line 124\r\r")));
        QCOMPARE(read, (QList<QStringList>{{"Results"}}));
    }

    void aWorkbookThatCannotBeSavedSaysWhy_data()
    {
        QTest::addColumn<bool>("whileYielding");
        QTest::addColumn<bool>("fullDisk"); // a 64 KiB disk, or a folder that is missing
        QTest::addColumn<QString>("cause");
        QTest::addRow("at once") << false << false << " could not be saved: No such file or directory";
        QTest::addRow("while handling events")
            << true << false << " could not be saved: No such file or directory";
        // The folder is named as the one that is full: its temporary files' rather than the destination's.
        QTest::addRow("a full disk")
            << true << true << " could not keep its rows in the temporary folder %1: No space left on device";
    }
    void aWorkbookThatCannotBeSavedSaysWhy()
    {
        QFETCH(bool, whileYielding);
        QFETCH(bool, fullDisk);
        QFETCH(QString, cause);
        const QString disk = dir->filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        if (fullDisk && ::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("a small disk cannot be mounted here (needs root)");
        const auto unmount = qScopeGuard([&] {
            if (fullDisk)
                ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH);
        });
        Workbook workbook(disk + (fullDisk ? "/results.xlsx" : "/missing/results.xlsx"), disk);
        QString said;
        try {
            // On the full disk the rows' own temporary file fills first.
            for (int row = 0; row < 20000; ++row)
                workbook.setText(row, 0, QString::number(row * 7919.0, 'e', 12));
            whileYielding ? workbook.save(pump) : workbook.save();
        } catch (const Failure &failure) {
            said = failure.description();
        }
        QVERIFY2(said.startsWith(QStringLiteral("The workbook %1/").arg(disk)), qPrintable(said));
        QVERIFY2(said.contains(QString(cause).replace(QStringLiteral("%1"), disk)), qPrintable(said));
    }

    void eventsAreHandledWhileAWorkbookIsSaved()
    {
        addColumns(*list, true);
        for (int i = 1; i <= 200000; ++i)
            list->appendRow(i, u"abcdefghijklmnop");
        Workbook workbook(dir->filePath(QStringLiteral("big.xlsx")), dir->path());
        writeResultsWorkbook(*list, workbook, pump, *procedure);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(1);
        workbook.save(pump);
        ticker.stop();
        // Packing 200,000 rows takes far longer than a few milliseconds.
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
        QVERIFY(QFileInfo(dir->filePath(QStringLiteral("big.xlsx"))).size() > 1000000);
        QVERIFY(prompter.shown.isEmpty());
    }

    void closingTheWindowWhileAWorkbookIsSavedWaitsForTheSave()
    {
        addColumns(*list, true);
        for (int i = 1; i <= 5000; ++i)
            list->appendRow(i, u"abcdefghijklmnop");
        const QString path = dir->filePath(QStringLiteral("closed.xlsx"));
        Workbook workbook(path, dir->path());
        writeResultsWorkbook(*list, workbook, pump, *procedure);
        QTimer::singleShot(0, list.get(), [this] { pump.abandon(); });
        QVERIFY_THROWS_EXCEPTION(Abandoned, workbook.save(pump));
        // The command stops only once the packing is over, so nothing it
        // uses goes away under it: the file is whole.
        QCOMPARE(readWorkbook(path, profile.path()).size(), 5001);
    }
};

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
