#include "core/eventpump.h"
#include "core/failure.h"
#include "export/clipboardexport.h"
#include "exportfakes.h"
#include "results/resultslist.h"

#include <QTest>
#include <QTimer>

using namespace zentavo;
using namespace zentavo::test;

class TestClipboardExport : public QObject
{
    Q_OBJECT

    std::unique_ptr<ResultsList> list;
    EventPump pump{0};

private slots:
    void init() { list = std::make_unique<ResultsList>(); }

    void layouts_data()
    {
        QTest::addColumn<bool>("lineNumbers");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QList<int>>("unticked");
        QTest::addColumn<QString>("expected");

        QTest::addRow("two columns padded") << true << QList<int>{1, 10} << QStringList{"abc", "defghijklm"}
                                            << QList<int>{} << "1 \tabc\r\n10\tdefghijklm\r\n";
        QTest::addRow("one column, no TAB")
            << false << QList<int>{} << QStringList{"abc", "de"} << QList<int>{} << "abc\r\nde\r\n";
        QTest::addRow("trailing spaces dropped")
            << false << QList<int>{} << QStringList{"ab  ", "a b"} << QList<int>{} << "ab\r\na b\r\n";
        QTest::addRow("spaces only") << true << QList<int>{1, 2} << QStringList{"   ", "x"} << QList<int>{}
                                     << "1\t\r\n2\tx\r\n";
        QTest::addRow("unticked row widens")
            << true << QList<int>{1, 10000, 3} << QStringList{"x", "a-very-long-password", "yz"}
            << QList<int>{1} << "1    \tx\r\n3    \tyz\r\n";
        QTest::addRow("all unticked")
            << false << QList<int>{} << QStringList{"abc", "de"} << QList<int>{0, 1} << "";
        QTest::addRow("leading spaces kept")
            << false << QList<int>{} << QStringList{"  a"} << QList<int>{} << "  a\r\n";
    }
    void layouts()
    {
        QFETCH(bool, lineNumbers);
        QFETCH(QList<int>, lines);
        QFETCH(QStringList, passwords);
        QFETCH(QList<int>, unticked);
        QFETCH(QString, expected);
        addColumns(*list, lineNumbers);
        for (int r = 0; r < passwords.size(); ++r)
            list->appendRow(lineNumbers ? lines[r] : 0, passwords[r]);
        for (int r : unticked)
            list->setChecked(r, false);

        RecordingClipboard clipboard;
        clipboard.content = QStringLiteral("before");
        CopyListviewProperlySpaced(*list, clipboard, pump);
        QCOMPARE(clipboard.clearAttempts, 1);
        QCOMPARE(clipboard.setAttempts, 1);
        QVERIFY(clipboard.content.has_value());
        QCOMPARE(clipboard.content.value_or("<nothing>"), expected);
        QCOMPARE(clipboard.format, QString()); // plain text
    }

    void anEmptyListLeavesTheClipboardAlone()
    {
        addColumns(*list, true);
        RecordingClipboard clipboard;
        clipboard.content = QStringLiteral("before");
        CopyListviewProperlySpaced(*list, clipboard, pump);
        QCOMPARE(clipboard.clearAttempts + clipboard.setAttempts, 0);
        QCOMPARE(clipboard.content.value_or("<nothing>"), QStringLiteral("before"));
    }

    void aRefusingClipboardIsTriedAgain_data()
    {
        QTest::addColumn<int>("refusals");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<bool>("set");
        QTest::addRow("willing") << 0 << 1 << true;
        QTest::addRow("busy for a moment") << 3 << 4 << true;
        QTest::addRow("gives in at the last attempt") << 999 << 1000 << true;
        QTest::addRow("never") << -1 << 1000 << false;
    }
    void aRefusingClipboardIsTriedAgain()
    {
        QFETCH(int, refusals);
        QFETCH(int, attempts);
        QFETCH(bool, set);
        RecordingClipboard clipboard;
        clipboard.content = QStringLiteral("before");
        clipboard.refusedClears = refusals;
        clipboard.refusedSets = refusals;
        ClipboardClearWithRetry(clipboard);
        QCOMPARE(clipboard.clearAttempts, attempts);
        QCOMPARE(ClipboardSetTextWithRetry(clipboard, QStringLiteral("new")), set);
        QCOMPARE(clipboard.setAttempts, attempts);
        QCOMPARE(clipboard.content.value_or("<nothing>"),
                 set ? QStringLiteral("new") : QStringLiteral("before"));
    }

    void aFormatIsPassedOn()
    {
        RecordingClipboard clipboard;
        QVERIFY(
            ClipboardSetTextWithRetry(clipboard, QStringLiteral("<b>x</b>"), QStringLiteral("text/html")));
        QCOMPARE(clipboard.format, QStringLiteral("text/html"));
    }

    void anAttemptThatThrowsCountsAsRefused()
    {
        class Throwing : public RecordingClipboard
        {
        public:
            bool setText(const QString &text, const QString &textFormat) override
            {
                if (setAttempts < 2) {
                    ++setAttempts;
                    throw Failure(QStringLiteral("held by another program"));
                }
                return RecordingClipboard::setText(text, textFormat);
            }
        } clipboard;
        QVERIFY(ClipboardSetTextWithRetry(clipboard, QStringLiteral("x")));
        QCOMPARE(clipboard.setAttempts, 3);
    }

    void rowsClearedDuringTheCopyLeaveTheClipboardAlone()
    {
        addColumns(*list, false);
        for (int r = 0; r < 100; ++r)
            list->appendRow(0, u"pw");
        // Handled at the copy's first chance to process events, as a click on
        // "Clear Results" would be.
        QTimer::singleShot(0, list.get(), [this] { list->removeAllRows(); });
        RecordingClipboard clipboard;
        clipboard.content = QStringLiteral("before");
        QVERIFY_THROWS_EXCEPTION(Failure, CopyListviewProperlySpaced(*list, clipboard, pump));
        QCOMPARE(clipboard.clearAttempts + clipboard.setAttempts, 0);
        QCOMPARE(clipboard.content.value_or("<nothing>"), QStringLiteral("before"));
    }
};

QTEST_GUILESS_MAIN(TestClipboardExport)
#include "tst_clipboardexport.moc"
