#include "core/failure.h"
#include "core/memorybudget.h"
#include "results/resultslist.h"

#include <QSignalSpy>
#include <QTest>

using namespace zentavo;

class TestResultsList : public QObject
{
    Q_OBJECT

private slots:
    void rowsWithAndWithoutLineNumbers()
    {
        ResultsList list;
        list.addColumn(QStringLiteral("Line"));
        list.addColumn(QStringLiteral("Result(s)"));
        list.appendRow(7, u"abc");
        list.appendRow(0, u"alone");
        list.appendRow(12, u"");
        QCOMPARE(list.storedRowCount(), 3);
        QCOMPARE(list.cell(0, 0), QStringLiteral("7"));
        QCOMPARE(list.cell(0, 1), QStringLiteral("abc"));
        QCOMPARE(list.cell(1, 0), QStringLiteral("alone"));
        QCOMPARE(list.cell(1, 1), QString());
        QCOMPARE(list.cell(2, 0), QStringLiteral("12"));
        QCOMPARE(list.cell(2, 1), QString()); // an empty password is still a row
    }

    void rowsAreAppendedTickedAndCanBeUnticked()
    {
        ResultsList list;
        list.addColumn(QStringLiteral("Result(s)"));
        list.appendRow(0, u"a");
        list.appendRow(0, u"b");
        list.publishRows();
        QVERIFY(list.isChecked(0) && list.isChecked(1));
        QCOMPARE(list.data(list.index(1, 0), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        QVERIFY(list.setData(list.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(list.isChecked(0));
        QVERIFY(!list.isChecked(1));
        QVERIFY(list.flags(list.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    }

    void theViewIsToldInBatches()
    {
        ResultsList list;
        list.addColumn(QStringLiteral("Result(s)"));
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        for (int i = 0; i < 1000; ++i)
            list.appendRow(0, u"pw");
        // Stored at once, shown when published, all in one insertion.
        QCOMPARE(list.storedRowCount(), 1000);
        QCOMPARE(list.rowCount(), 0);
        list.publishRows();
        QCOMPARE(list.rowCount(), 1000);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0][1].toInt(), 0);
        QCOMPARE(inserted[0][2].toInt(), 999);
        QCOMPARE(list.data(list.index(999, 0), Qt::DisplayRole).toString(), QStringLiteral("pw"));
    }

    void publishingTellsOnlyNewRows()
    {
        ResultsList list;
        list.addColumn(QStringLiteral("Result(s)"));
        QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
        list.appendRow(0, u"a");
        list.publishRows();
        list.publishRows();
        list.appendRow(0, u"b");
        list.appendRow(0, u"c");
        list.publishRows();
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted[1][1].toInt(), 1);
        QCOMPARE(inserted[1][2].toInt(), 2);
    }

    void removingRowsKeepsColumns()
    {
        ResultsList list;
        list.addColumn(QStringLiteral("Result(s)"));
        list.appendRow(0, u"a");
        list.publishRows();
        list.removeAllRows();
        QCOMPARE(list.storedRowCount(), 0);
        QCOMPARE(list.rowCount(), 0);
        QCOMPARE(list.columnCount(), 1);
        // Rows appended afterwards start a fresh list.
        list.appendRow(0, u"z");
        QCOMPARE(list.cell(0, 0), QStringLiteral("z"));
    }

    void manyRowsKeepTheirText()
    {
        // Enough text to fill several of the storage's chunks, and one text
        // longer than a chunk.
        ResultsList list;
        list.addColumn(QStringLiteral("Result(s)"));
        const auto text = [](int i) {
            return QStringLiteral("%1-password-%2").arg(i, 7, 10, QLatin1Char('0')).arg(i % 97);
        };
        for (int i = 0; i < 150000; ++i)
            list.appendRow(0, text(i));
        const QString huge(3'000'000, QLatin1Char('h'));
        list.appendRow(5, huge);
        list.appendRow(6, u"after");
        for (int i = 0; i < 150000; i += 997)
            QCOMPARE(list.cell(i, 0), text(i));
        QCOMPARE(list.cell(149999, 0), text(149999));
        QCOMPARE(list.cell(150000, 1), huge);
        QCOMPARE(list.cell(150001, 1), QStringLiteral("after"));
    }

    void missingRowsAndColumnsFail()
    {
        ResultsList list;
        list.addColumn(QStringLiteral("Result(s)"));
        list.appendRow(0, u"a");
        QVERIFY_THROWS_EXCEPTION(Failure, list.cell(1, 0));
        QVERIFY_THROWS_EXCEPTION(Failure, list.isChecked(-1));
        QVERIFY_THROWS_EXCEPTION(Failure, list.setColumnWidthTwips(1, 1000));
        QVERIFY_THROWS_EXCEPTION(Failure, list.columnTitle(2));
    }

    void fastReadsAgreeWithCell_data()
    {
        QTest::addColumn<qint32>("lineNumber");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("cells");
        QTest::addRow("alone") << 0 << "abc" << QStringList{"abc", "", ""};
        QTest::addRow("alone, empty") << 0 << "" << QStringList{"", "", ""};
        QTest::addRow("line 1") << 1 << "x y " << QStringList{"1", "x y ", ""};
        QTest::addRow("line 9") << 9 << "p" << QStringList{"9", "p", ""};
        QTest::addRow("line 10") << 10 << "p" << QStringList{"10", "p", ""};
        QTest::addRow("line 1000000") << 1000000 << "" << QStringList{"1000000", "", ""};
        QTest::addRow("largest line") << 2147483647 << "q" << QStringList{"2147483647", "q", ""};
        QTest::addRow("surrogate pair") << 3 << QString::fromUtf8("a\U0001F600")
                                        << QStringList{"3", QString::fromUtf8("a\U0001F600"), ""};
    }
    void fastReadsAgreeWithCell()
    {
        QFETCH(qint32, lineNumber);
        QFETCH(QString, password);
        QFETCH(QStringList, cells);
        ResultsList list;
        list.addColumn(QStringLiteral("Line"));
        list.addColumn(QStringLiteral("Result(s)"));
        list.appendRow(5, u"before");
        list.appendRow(lineNumber, password);
        for (int column = 0; column < cells.size(); ++column) {
            QCOMPARE(list.cell(1, column), cells[column]);
            QCOMPARE(list.cellLength(1, column), cells[column].size());
            QString out = QStringLiteral("<");
            list.appendCell(1, column, out);
            QCOMPARE(out, QStringLiteral("<") + cells[column]);
        }
        QVERIFY_THROWS_EXCEPTION(Failure, list.cellLength(2, 0));
        QString untouched;
        QVERIFY_THROWS_EXCEPTION(Failure, list.appendCell(-1, 0, untouched));
        QVERIFY(untouched.isEmpty());
    }

    void mixedRowsReadBackAcrossPages_data()
    {
        // Rows of one byte a character and of two, numbered in runs that
        // break and restart, on both sides of the list's page boundaries.
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("restartEvery");
        QTest::addRow("one page, no numbers") << 1000 << 0;
        QTest::addRow("three pages, one run") << 3000 << 1000000;
        QTest::addRow("runs of 700") << 5000 << 700;
        QTest::addRow("a run each row") << 2100 << 1;
    }
    void mixedRowsReadBackAcrossPages()
    {
        QFETCH(int, rows);
        QFETCH(int, restartEvery);
        const auto text = [](int i) {
            QString t = QString::number(i);
            if (i % 3 == 1)
                t += QString::fromUtf8("€ü");
            if (i % 5 == 2)
                t += QString::fromUtf8("😀");
            return t + QString(i % 7, QLatin1Char('x'));
        };
        const auto line = [&](int i) { return restartEvery == 0 ? 0 : 1 + i % restartEvery; };
        ResultsList list;
        for (int i = 0; i < rows; ++i)
            list.appendRow(line(i), text(i));
        for (int i = 0; i < rows; i += 3)
            list.setChecked(i, false);
        for (int i = 0; i < rows; ++i) {
            const int password = line(i) == 0 ? 0 : 1;
            QCOMPARE(list.cell(i, password), text(i));
            QCOMPARE(list.cellLength(i, password), text(i).size());
            if (password)
                QCOMPARE(list.cell(i, 0), QString::number(line(i)));
            QCOMPARE(list.isChecked(i), i % 3 != 0);
        }
    }

    void aRowWithoutMemoryLeavesTheListAsItWas()
    {
        class Budget : public MemoryBudget
        {
        public:
            qint64 available() const override { return bytes; }
            qint64 bytes = qint64(1) << 30;
        } budget;
        ResultsList list;
        list.setMemoryBudget(&budget);
        list.appendRow(1, u"first");
        budget.bytes = 0;
        // Text up to the end of what the list holds still fits; beyond it
        // the list needs memory it may not take.
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc, list.appendRow(2, QString(2'000'000, QLatin1Char('z'))));
        QCOMPARE(list.storedRowCount(), 1);
        list.appendRow(2, u"second");
        QCOMPARE(list.cell(1, 0), QStringLiteral("2"));
        QCOMPARE(list.cell(1, 1), QStringLiteral("second"));
        const qint64 held = list.storedBytes();
        list.removeAllRows();
        QVERIFY(list.storedBytes() < held);
        QCOMPARE(list.storedBytes(), 0);
    }

    void columnsCarryTitleAndWidth()
    {
        ResultsList list;
        QSignalSpy widths(&list, &ResultsList::columnWidthChanged);
        list.addColumn(QStringLiteral("Line"));
        list.addColumn(QStringLiteral("Result(s)"));
        list.setColumnWidthTwips(1, 6000);
        QCOMPARE(list.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Line"));
        QCOMPARE(list.columnTitle(1), QStringLiteral("Result(s)"));
        QCOMPARE(list.columnWidthTwips(1), 6000);
        QCOMPARE(widths.last()[0].toInt(), 1);
        QCOMPARE(widths.last()[1].toInt(), 6000);
        list.removeAllColumns();
        QCOMPARE(list.columnCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestResultsList)
#include "tst_resultslist.moc"
