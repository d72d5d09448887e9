#include "core/errorreport.h"
#include "recorders.h"

#include <QTest>

using namespace zentavo;
using namespace zentavo::test;

class TestErrorReport : public QObject
{
    Q_OBJECT

private slots:
    void textIsExact()
    {
        QCOMPARE(errorReportText(QStringLiteral("Overflow"),
                                 QStringLiteral("in Quorvex2021/08/31.Form1.Form_Load "), 142,
                                 QStringLiteral("help@example.org")),
                 QStringLiteral("Overflow\r\nin Quorvex2021/08/31.Form1.Form_Load at line 142\r\r"
                                "Please email screenshot of this message to help@example.org"));
    }

    void boxIsTitledAndWarns()
    {
        RecordingPrompter prompter;
        ErrorReport report(prompter, QStringLiteral("a@b.c"));
        report.show(QStringLiteral("Broken"), QStringLiteral("in X.Y.Z "), 100);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].title, QStringLiteral("Application Error"));
        QVERIFY(prompter.shown[0].icon == Prompter::Icon::Warning);
        QVERIFY(prompter.shown[0].text.endsWith(QStringLiteral("to a@b.c")));
    }

    void failingStepsAreReportedAndTheProcedureCarriesOn()
    {
        RecordingPrompter prompter;
        ErrorReport report(prompter, QStringLiteral("a@b.c"));
        Procedure procedure(report, QStringLiteral("in P.Form1.Test "));
        QStringList ran;
        procedure.step(100, [&] { ran << "100"; });
        procedure.step(102, [&] {
            throw Failure(QStringLiteral("first"));
            ran << "never";
        });
        procedure.step(104, [&] { ran << "104"; });
        procedure.step(106, [&] { throw std::runtime_error("second"); });
        procedure.step(108, [&] { throw Failure(QStringLiteral("third")); });
        procedure.step(110, [&] { ran << "110"; });
        procedure.step(112, [&] { throw std::bad_alloc(); });

        QCOMPARE(ran, QStringList({"100", "104", "110"}));
        QCOMPARE(prompter.texts(),
                 QStringList({errorReportText("first", "in P.Form1.Test ", 102, "a@b.c"),
                              errorReportText("second", "in P.Form1.Test ", 106, "a@b.c"),
                              errorReportText("third", "in P.Form1.Test ", 108, "a@b.c"),
                              errorReportText("Not enough memory", "in P.Form1.Test ", 112, "a@b.c")}));
    }

    void aRepeatedFailureIsReportedOncePerRun_data()
    {
        QTest::addColumn<int>("secondLine");
        QTest::addColumn<QString>("secondCause");
        QTest::addColumn<bool>("newRun");
        QTest::addColumn<int>("boxes");
        QTest::addRow("same line, same cause") << 100 << "empty" << false << 1;
        QTest::addRow("same line, other cause") << 100 << "too long" << false << 2;
        QTest::addRow("other line, same cause") << 102 << "empty" << false << 2;
        QTest::addRow("same failure in the next run") << 100 << "empty" << true << 2;
    }
    void aRepeatedFailureIsReportedOncePerRun()
    {
        QFETCH(int, secondLine);
        QFETCH(QString, secondCause);
        QFETCH(bool, newRun);
        QFETCH(int, boxes);
        RecordingPrompter prompter;
        ErrorReport report(prompter, QString());
        auto first = std::make_unique<Procedure>(report, QStringLiteral("in P "));
        int ran = 0;
        for (int i = 0; i < 3; ++i)
            first->step(100, [&] { throw Failure(QStringLiteral("empty")); });
        if (newRun)
            first = std::make_unique<Procedure>(report, QStringLiteral("in P "));
        for (int i = 0; i < 3; ++i) {
            first->step(secondLine, [&] { throw Failure(secondCause); });
            first->step(104, [&] { ++ran; }); // the steps after a failure still run
        }
        QCOMPARE(prompter.shown.size(), boxes);
        QCOMPARE(ran, 3);
    }

    void aFailingConditionCountsAsTrue()
    {
        RecordingPrompter prompter;
        ErrorReport report(prompter, QString());
        Procedure procedure(report, QStringLiteral("in P "));
        QVERIFY(procedure.test(120, []() -> bool { throw Failure(QStringLiteral("cannot tell")); }));
        QVERIFY(!procedure.test(122, [] { return false; }));
        QCOMPARE(prompter.shown.size(), 1);
        QVERIFY(prompter.shown[0].text.contains(QStringLiteral("at line 120\r\r")));
    }

    void aFailedValueIsNotStored()
    {
        RecordingPrompter prompter;
        ErrorReport report(prompter, QString());
        Procedure procedure(report, QStringLiteral("in P "));
        QCOMPARE(procedure.value(130, [] { return 7; }), std::optional<int>(7));
        QCOMPARE(procedure.value(132, []() -> int { throw Failure(QStringLiteral("no")); }), std::nullopt);
    }

    void closingTheWindowIsNoFailure()
    {
        // Abandoned unwinds the whole command instead of being reported.
        RecordingPrompter prompter;
        ErrorReport report(prompter, QString());
        Procedure procedure(report, QStringLiteral("in P "));
        bool unwound = false;
        try {
            procedure.step(100, [] { throw Abandoned{}; });
        } catch (const Abandoned &) {
            unwound = true;
        }
        QVERIFY(unwound);
        QVERIFY(prompter.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
