#include "core/failure.h"
#include "generator/numbers.h"

#include <QLocale>
#include <QTest>

using namespace zentavo;

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected"); // -1: rejected
        QTest::addRow("plain") << "50" << qint64(50);
        QTest::addRow("blanks around") << " 7 " << qint64(7);
        QTest::addRow("half rounds to even, down") << "2.5" << qint64(2);
        QTest::addRow("half rounds to even, up") << "1.5" << qint64(2);
        QTest::addRow("0.5 is 0") << "0.5" << qint64(0);
        QTest::addRow("0.4 is 0") << "0.4" << qint64(0);
        QTest::addRow("0.6 is 1") << "0.6" << qint64(1);
        QTest::addRow("exponent") << "1e3" << qint64(1000);
        QTest::addRow("sign") << "+12" << qint64(12);
        QTest::addRow("empty") << "" << qint64(-1);
        QTest::addRow("blank") << "   " << qint64(-1);
        QTest::addRow("letters") << "abc" << qint64(-1);
        QTest::addRow("trailing letters") << "12abc" << qint64(-1);
        QTest::addRow("largest 16-bit") << "32767" << qint64(32767);
        QTest::addRow("above 16 bits") << "32768" << qint64(-1);
        QTest::addRow("rounds above 16 bits") << "32767.5" << qint64(-1);
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        if (expected == -1) {
            QVERIFY_THROWS_EXCEPTION(Failure, toInt16(text));
        } else {
            QCOMPARE(qint64(toInt16(text)), expected);
        }
    }

    void thirtyTwoBitCount()
    {
        QCOMPARE(toInt32(QStringLiteral("2147483647")), 2147483647);
        QVERIFY_THROWS_EXCEPTION(Failure, toInt32(QStringLiteral("2147483648")));
        QCOMPARE(toInt32(QStringLiteral("-3")), -3);
    }

    void failureNamesTheText()
    {
        try {
            toInt16(QStringLiteral("seven"));
            QFAIL("no failure");
        } catch (const Failure &failure) {
            QVERIFY(failure.description().contains(QStringLiteral("seven")));
        }
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::addRow("plain") << "6" << 6.0;
        QTest::addRow("letters after") << "12abc" << 12.0;
        QTest::addRow("letters first") << "abc12" << 0.0;
        QTest::addRow("empty") << "" << 0.0;
        QTest::addRow("blanks inside") << " 1 2 " << 12.0;
        QTest::addRow("fraction") << "2.75x" << 2.75;
        QTest::addRow("negative") << "-4" << -4.0;
        QTest::addRow("exponent") << "3e2" << 300.0;
        QTest::addRow("e without digits") << "3ex" << 3.0;
        QTest::addRow("lone point") << "." << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(zentavo::leadingNumber(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
