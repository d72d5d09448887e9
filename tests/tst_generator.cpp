#include "core/errorreport.h"
#include "generator/groups.h"
#include "generator/passwordgenerator.h"
#include "recorders.h"

#include <QLocale>
#include <QTest>
#include <functional>

using namespace zentavo;
using namespace zentavo::test;

namespace {

struct Row
{
    qint32 line;
    QString password;
    bool operator==(const Row &other) const = default;
};

// The front end as a generation run sees it: it yields before every
// password, and records what it is handed.
class FakeHost : public PasswordSink
{
public:
    GenerationOptions current;
    QList<Row> rows;
    QList<double> percents;
    int yields = 0;
    // Runs at each yield, with the number of the yield (1 first): a user
    // acting in the middle of a run.
    std::function<void(int)> onYield;

    void append(const PasswordBatch &batch) override
    {
        for (qsizetype r = 0; r < batch.rows; ++r) {
            QString password;
            batch.appendPassword(r, password);
            rows.append({batch.lineNumber(r), password});
        }
    }
    void progress(double percent) override { percents.append(percent); }
    std::optional<GenerationOptions> yield() override
    {
        ++yields;
        if (onYield)
            onYield(yields);
        return current;
    }
    qsizetype rowsPerStretch() const override { return 1; }

    QStringList passwords() const
    {
        QStringList result;
        for (const Row &row : rows)
            result << row.password;
        return result;
    }
};

// The first-run options: three groups, at-least mode, length 6, and every
// additional option on.
GenerationOptions firstRun()
{
    GenerationOptions o;
    o.useLowerCase = o.useUpperCase = o.useDigits = true;
    o.specifiedCharacters = QStringLiteral("!@#$%^&*()");
    o.passwordCount = QStringLiteral("50");
    o.passwordLength = QStringLiteral("6");
    o.removeVowels = o.includeSpace = o.lastCharacterDigit = true;
    o.atLeastOneFromEachGroup = o.showLineNumbers = true;
    return o;
}

GenerationOptions plain(const QString &count, const QString &length)
{
    GenerationOptions o;
    o.passwordCount = count;
    o.passwordLength = length;
    return o;
}

using End = GenerationOutcome::End;
const QString kTooShort = QStringLiteral("Length must be greater or equal to the number of checked items.");

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

    RecordingPrompter prompter;
    std::unique_ptr<ErrorReport> report;
    ScriptedRandom random;
    FakeHost host;
    GenerationOutcome outcome;

    void run()
    {
        PasswordGenerator generator(random, *report);
        outcome = generator.run(host.current, host);
        QVERIFY(!generator.isGenerating());
    }
    QStringList reportedLines() const
    {
        QStringList lines;
        for (const ShownMessage &m : prompter.shown) {
            const qsizetype at = m.text.indexOf(QStringLiteral("at line "));
            lines << m.text.mid(at + 8, 3);
        }
        return lines;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void init()
    {
        prompter = RecordingPrompter();
        report = std::make_unique<ErrorReport>(prompter, QStringLiteral("help@example.org"));
        random = ScriptedRandom();
        host = FakeHost();
    }

    // What the options choose, as the generator, the strength figure and the
    // command line all see it.
    void groupsChosenByTheOptions_data()
    {
        QTest::addColumn<QString>("groups"); // l u d c (own characters)
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("extras"); // a: at least, v: no vowels
        QTest::addColumn<QString>("length");
        QTest::addColumn<int>("checked");
        QTest::addColumn<QString>("leading"); // the leading groups, joined by |
        QTest::addColumn<QString>("pool");
        QTest::addColumn<bool>("refused");
        QTest::addRow("plain: no leading groups, repeats kept") << "dc"
                                                                << "1a1"
                                                                << ""
                                                                << "2" << 2 << ""
                                                                << "01234567891a1" << false;
        QTest::addRow("at least, vowels removed from groups and pool")
            << "uc"
            << "Ab#"
            << "av"
            << "3" << 2 << "BCDFGHJKLMNPQRSTVWXYZ|b#"
            << "BCDFGHJKLMNPQRSTVWXYZb#" << false;
        QTest::addRow("an empty own set counts, adds no leading group") << "dc"
                                                                        << ""
                                                                        << "a"
                                                                        << "1" << 2 << "0123456789"
                                                                        << "0123456789" << true;
        QTest::addRow("own set of vowels only: nothing to draw from") << "c"
                                                                      << "aE"
                                                                      << "av"
                                                                      << "1" << 1 << ""
                                                                      << "" << false;
        const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
        QTest::addRow("a length read loosely: 2.9 is below 3")
            << "lud"
            << ""
            << "a"
            << "2.9" << 3 << letters.left(26) + "|" + letters.mid(26) + "|0123456789"
            << letters + "0123456789" << true;
        QTest::addRow("plain mode never refuses a length")
            << "lud"
            << ""
            << ""
            << "abc" << 3 << "" << letters + "0123456789" << false;
    }
    void groupsChosenByTheOptions()
    {
        QFETCH(QString, groups);
        QFETCH(QString, own);
        QFETCH(QString, extras);
        QFETCH(QString, length);
        GenerationOptions o = plain("1", length);
        o.useLowerCase = groups.contains('l');
        o.useUpperCase = groups.contains('u');
        o.useDigits = groups.contains('d');
        o.useSpecified = groups.contains('c');
        o.specifiedCharacters = own;
        o.atLeastOneFromEachGroup = extras.contains('a');
        o.removeVowels = extras.contains('v');
        const GroupChoice choice = chooseGroups(o);
        QTEST(choice.checkedGroupCount, "checked");
        QTEST(choice.leading.join('|'), "leading");
        QTEST(choice.pool, "pool");
        QTEST(choice.lengthRefusal.has_value(), "refused");
    }

    void plainModeDrawsFromTheWholePoolInGroupOrder()
    {
        host.current = plain("2", "3");
        host.current.useLowerCase = host.current.useDigits = host.current.useSpecified = true;
        host.current.specifiedCharacters = QStringLiteral("#a");
        // pool: a-z (0-25), 0-9 (26-35), '#' 36, 'a' 37 -- repeats kept
        random.positions = {0, 26, 36, 37, 35, 25};
        run();
        QCOMPARE(host.passwords(), QStringList({"a0#", "a9z"}));
        QVERIFY(
            std::all_of(random.poolSizes.begin(), random.poolSizes.end(), [](quint32 n) { return n == 38; }));
        QCOMPARE(host.rows[0].line, 0);
        QCOMPARE(outcome.end, End::Done);
        QCOMPARE(host.percents, QList<double>({50.0, 100.0}));
    }

    void atLeastModeStartsWithOneCharacterPerGroup()
    {
        host.current = plain("1", "7");
        host.current.atLeastOneFromEachGroup = true;
        host.current.useLowerCase = host.current.useUpperCase = host.current.useDigits = true;
        host.current.useSpecified = true;
        host.current.specifiedCharacters = QStringLiteral("!?");
        // a-z, A-Z, 0-9, user's, then three from the 64-character pool
        random.positions = {1, 2, 3, 1, 63, 26, 0};
        run();
        QCOMPARE(host.passwords(), QStringList({"bC3?" + QStringLiteral("?Aa")}));
        QCOMPARE(random.poolSizes, QList<quint32>({26, 26, 10, 2, 64, 64, 64}));
    }

    void lengthEqualToGroupCountTakesNothingFromThePool()
    {
        host.current = plain("1", "2");
        host.current.atLeastOneFromEachGroup = true;
        host.current.useUpperCase = host.current.useDigits = true;
        random.positions = {25, 9};
        run();
        QCOMPARE(host.passwords(), QStringList({"Z9"}));
    }

    void firstRunOptionsGiveConsonantsDigitAndSpace()
    {
        host.current = firstRun();
        host.current.passwordCount = QStringLiteral("1");
        // b (of 21 consonants), Z (of 21), 5, three from the 52-character
        // vowel-free pool, the last digit, the space position.
        random.positions = {0, 20, 5, 51, 0, 21, 7, 2};
        run();
        QCOMPARE(random.poolSizes, QList<quint32>({21, 21, 10, 52, 52, 52, 10, 6}));
        QCOMPARE(host.rows, QList<Row>({{1, "bZ 9b7"}}));
    }

    void lastDigitComesBeforeTheSpace()
    {
        // The space may land on the digit just placed: the password then ends
        // in a space.
        host.current = plain("1", "4");
        host.current.useLowerCase = true;
        host.current.lastCharacterDigit = host.current.includeSpace = true;
        random.positions = {0, 1, 2, 3, 8, 3};
        run();
        QCOMPARE(host.passwords(), QStringList({"abc "}));
    }

    void lastDigitAppliesWithoutTheDigitGroup()
    {
        host.current = plain("1", "3");
        host.current.useUpperCase = true;
        host.current.lastCharacterDigit = true;
        random.positions = {0, 0, 0, 4};
        run();
        QCOMPARE(host.passwords(), QStringList({"AA4"}));
    }

    void removeVowelsFiltersGroupsAndPoolButNotDigits()
    {
        host.current = plain("1", "5");
        host.current.atLeastOneFromEachGroup = true;
        host.current.useLowerCase = host.current.useDigits = host.current.useSpecified = true;
        host.current.specifiedCharacters = QStringLiteral("aE#");
        host.current.removeVowels = true;
        // groups: 21 consonants, 10 digits, "#" alone; pool 21 + 10 + 1
        random.positions = {20, 0, 0, 31, 0};
        run();
        QCOMPARE(random.poolSizes, QList<quint32>({21, 10, 1, 32, 32}));
        QCOMPARE(host.passwords(), QStringList({"z0##b"}));
    }

    void emptyUserSetStillCountsAndIsMadeUpFromThePool()
    {
        host.current = plain("1", "2");
        host.current.atLeastOneFromEachGroup = true;
        host.current.useDigits = host.current.useSpecified = true;
        random.positions = {7, 3};
        run();
        QCOMPARE(host.passwords(), QStringList({"73"}));

        init();
        host.current = plain("1", "1");
        host.current.atLeastOneFromEachGroup = true;
        host.current.useDigits = host.current.useSpecified = true;
        run();
        QCOMPARE(host.rows.size(), 0);
        QCOMPARE(outcome.end, End::LengthRefused);
        QCOMPARE(outcome.reason, kTooShort);
    }

    void surrogatePairsAreNeverSplit()
    {
        host.current = plain("1", "3");
        host.current.useSpecified = true;
        host.current.specifiedCharacters = QString::fromUtf8("x😀");
        host.current.includeSpace = true;
        random.positions = {1, 1, 0, 0};
        run();
        QCOMPARE(random.poolSizes, QList<quint32>({2, 2, 2, 3}));
        QCOMPARE(host.passwords(), QStringList({QString::fromUtf8(" 😀x")}));
    }

    void lineNumbersCountFromOneInEveryRun()
    {
        host.current = plain("3", "1");
        host.current.useDigits = host.current.showLineNumbers = true;
        random.fallback = 0;
        run();
        run();
        QList<qint32> lines;
        for (const Row &row : host.rows)
            lines << row.line;
        QCOMPARE(lines, QList<qint32>({1, 2, 3, 1, 2, 3}));
    }

    void tooShortForAtLeastModeIsRejected()
    {
        host.current = firstRun();
        host.current.passwordLength = QStringLiteral("2");
        run();
        QVERIFY(host.rows.isEmpty());
        QCOMPARE(outcome.end, End::LengthRefused);
        QCOMPARE(outcome.reason, kTooShort);
        QVERIFY(prompter.shown.isEmpty());
    }

    void atLeastCheckReadsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<bool>("rejected");
        QTest::addRow("letters read as 0") << "abc" << true;
        QTest::addRow("3 with letters after") << "3x" << false;
        QTest::addRow("2.9 is below 3") << "2.9" << true;
    }
    void atLeastCheckReadsTheLeadingNumber()
    {
        QFETCH(QString, length);
        QFETCH(bool, rejected);
        host.current = firstRun();
        host.current.passwordCount = QStringLiteral("0");
        host.current.passwordLength = length;
        run();
        QCOMPARE(outcome.end == End::LengthRefused, rejected);
    }

    void countBelowOneMakesNothingButSaysDone_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addRow("zero") << "0";
        QTest::addRow("negative") << "-5";
    }
    void countBelowOneMakesNothingButSaysDone()
    {
        QFETCH(QString, count);
        host.current = plain(count, "4");
        run();
        QVERIFY(host.rows.isEmpty());
        QCOMPARE(outcome.end, End::Done);
    }

    void unreadableCountIsReportedAndEndsTheRun_data()
    {
        QTest::addColumn<bool>("atLeast");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("line");
        QTest::addRow("plain, letters") << false << "many"
                                        << "210";
        QTest::addRow("plain, too large") << false << "2147483648"
                                          << "210";
        QTest::addRow("at-least, letters") << true << "many"
                                           << "144";
    }
    void unreadableCountIsReportedAndEndsTheRun()
    {
        QFETCH(bool, atLeast);
        QFETCH(QString, count);
        QFETCH(QString, line);
        host.current = plain(count, "4");
        host.current.atLeastOneFromEachGroup = atLeast;
        host.current.useDigits = true;
        run();
        QVERIFY(host.rows.isEmpty());
        QCOMPARE(reportedLines(), QStringList{line});
        QVERIFY(prompter.shown[0].text.contains(PasswordGenerator::procedurePath() + "at line "));
        QCOMPARE(outcome.end, End::Stopped); // no "Done."
    }

    void unreadableLengthIsReportedOnceAndEndsTheRun_data()
    {
        QTest::addColumn<bool>("atLeast");
        QTest::addColumn<bool>("noVowels");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("line");
        QTest::addRow("plain, letters") << false << false << "four"
                                        << "220";
        QTest::addRow("plain, a unit after the number") << false << false << "7 chars"
                                                        << "220";
        QTest::addRow("plain, emptied while typing") << false << false << ""
                                                     << "220";
        QTest::addRow("plain, too long") << false << false << "32768"
                                         << "220";
        QTest::addRow("plain without vowels") << false << true << "four"
                                              << "218";
        QTest::addRow("at-least") << true << false << "four"
                                  << "180";
        QTest::addRow("at-least, too long") << true << false << "40000"
                                            << "180";
    }
    void unreadableLengthIsReportedOnceAndEndsTheRun()
    {
        QFETCH(bool, atLeast);
        QFETCH(bool, noVowels);
        QFETCH(QString, length);
        QFETCH(QString, line);
        host.current = plain("1000", "4");
        host.current.useDigits = true;
        host.current.atLeastOneFromEachGroup = atLeast;
        host.current.removeVowels = noVowels;
        random.fallback = 1;
        // The length field changes before the second password.
        host.onYield = [&](int yield) {
            if (yield == 2)
                host.current.passwordLength = length;
        };
        run();
        QCOMPARE(host.passwords(), QStringList({"1111"}));
        QCOMPARE(reportedLines(), QStringList{line});
        QCOMPARE(outcome.end, End::Stopped); // no "Done.", as for a count that cannot be read
    }

    void passwordsLeftEmptyAreReportedOncePerKind_data()
    {
        QTest::addColumn<bool>("atLeast");
        QTest::addColumn<QString>("ownSet"); // empty: no group chosen at all
        QTest::addColumn<QStringList>("lines");
        QTest::addRow("plain, no group") << false << "" << QStringList{"224", "230"};
        QTest::addRow("at-least, no group") << true << "" << QStringList{"190", "196"};
        QTest::addRow("plain, own set of vowels only") << false << "aEiOu" << QStringList{"224", "230"};
    }
    void passwordsLeftEmptyAreReportedOncePerKind()
    {
        // Every password is empty, is still appended, and cannot take its
        // digit or space: two kinds of failure, each told once in the run.
        QFETCH(bool, atLeast);
        QFETCH(QString, ownSet);
        QFETCH(QStringList, lines);
        host.current = plain("1000", "5");
        host.current.atLeastOneFromEachGroup = atLeast;
        host.current.lastCharacterDigit = host.current.includeSpace = true;
        host.current.useSpecified = host.current.removeVowels = !ownSet.isEmpty();
        host.current.specifiedCharacters = ownSet;
        run();
        QCOMPARE(host.rows.size(), 1000);
        QVERIFY(host.passwords().join(QString()).isEmpty());
        QCOMPARE(reportedLines(), lines);
        QCOMPARE(outcome.end, End::Done);
    }

    void poolOfVowelsOnlyGivesEmptyPasswords()
    {
        host.current = plain("1", "3");
        host.current.useSpecified = host.current.removeVowels = true;
        host.current.specifiedCharacters = QStringLiteral("aeiou");
        run();
        QCOMPARE(host.passwords(), QStringList({""}));
        QVERIFY(prompter.shown.isEmpty());
    }

    void optionsChangedDuringTheRunApplyFromTheNextPassword()
    {
        // Fixed for the run: the pool, the mode and the count. Read for every
        // password: the length, the finishing options and the line numbers.
        host.current = plain("3", "2");
        host.current.useDigits = true;
        random.fallback = 0;
        host.onYield = [&](int yield) {
            if (yield == 2) {
                host.current.passwordLength = QStringLiteral("3");
                host.current.showLineNumbers = true;
                host.current.includeSpace = true;
                host.current.useDigits = false;                   // the pool stays
                host.current.atLeastOneFromEachGroup = true;      // the mode stays
                host.current.passwordCount = QStringLiteral("4"); // the count stays
            }
        };
        run();
        QCOMPARE(host.rows, QList<Row>({{0, "00"}, {2, " 00"}, {3, " 00"}}));
        // The percentage is taken against the count as it reads now.
        QCOMPARE(host.percents, QList<double>({1.0 / 3 * 100.0, 50.0, 75.0}));
    }

    void aPressDuringARunIsIgnored()
    {
        host.current = plain("2", "1");
        host.current.useDigits = true;
        random.fallback = 0;
        PasswordGenerator generator(random, *report);
        host.onYield = [&](int) {
            QVERIFY(generator.isGenerating());
            QCOMPARE(generator.run(host.current, host).end, End::Ignored);
        };
        QCOMPARE(generator.run(host.current, host).end, End::Done);
        QCOMPARE(host.rows.size(), 2);
        QVERIFY(!generator.isGenerating());
    }

    void closingTheWindowStopsTheRunSilently()
    {
        host.current = plain("5", "1");
        host.current.useDigits = true;
        random.fallback = 0;
        host.onYield = [&](int yield) {
            if (yield == 3)
                throw Abandoned{};
        };
        PasswordGenerator generator(random, *report);
        QCOMPARE(generator.run(host.current, host).end, End::Abandoned);
        QCOMPARE(host.rows.size(), 2);
        QVERIFY(!generator.isGenerating());
    }

    void countChangedToZeroMidRunIsReportedOnce()
    {
        host.current = plain("3", "1");
        host.current.useDigits = true;
        random.fallback = 0;
        host.onYield = [&](int) { host.current.passwordCount = QStringLiteral("0"); };
        run();
        QCOMPARE(host.rows.size(), 3);
        QCOMPARE(reportedLines(), QStringList({"240"}));
    }
};

QTEST_GUILESS_MAIN(TestGenerator)
#include "tst_generator.moc"
