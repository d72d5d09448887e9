#include "core/errorreport.h"
#include "generator/passphrase.h"
#include "generator/passwordgenerator.h"
#include "generator/randomsource.h"
#include "generator/strength.h"
#include "recorders.h"

#include <QTest>
#include <cmath>
#include <map>
#include <vector>

using namespace zentavo;
using namespace zentavo::test;

namespace {

// Walks every sequence of draws the generator can make, one password per
// run, like an odometer: each draw starts at 0 and the last one that can
// still move moves on.
class EveryDraw : public RandomSource
{
public:
    quint32 uniform(quint32 n) override
    {
        if (m_next == m_choices.size()) {
            m_choices.push_back(0);
            m_sizes.push_back(n);
        }
        return m_choices[m_next++];
    }
    double chance() const
    {
        double p = 1;
        for (std::size_t i = 0; i < m_next; ++i)
            p /= m_sizes[i];
        return p;
    }
    bool advance()
    {
        m_choices.resize(m_next);
        m_sizes.resize(m_next);
        m_next = 0;
        while (!m_choices.empty() && m_choices.back() + 1 == m_sizes.back()) {
            m_choices.pop_back();
            m_sizes.pop_back();
        }
        if (m_choices.empty())
            return false;
        ++m_choices.back();
        return true;
    }

private:
    std::vector<quint32> m_choices, m_sizes;
    std::size_t m_next = 0;
};

class OnePassword : public PasswordSink
{
public:
    void append(const PasswordBatch &batch) override
    {
        made.clear();
        batch.appendPassword(0, made);
    }
    QString made;
};

GenerationOptions firstRun(const QString &length)
{
    GenerationOptions o;
    o.useLowerCase = o.useUpperCase = o.useDigits = true;
    o.passwordCount = QStringLiteral("1");
    o.passwordLength = length;
    o.removeVowels = o.includeSpace = o.lastCharacterDigit = o.atLeastOneFromEachGroup = true;
    return o;
}

} // namespace

class TestStrength : public QObject
{
    Q_OBJECT

private slots:
    // The exact figure against the distribution of what the generator really
    // makes, found by running it over every possible sequence of draws.
    void matchesEveryPossiblePassword_data()
    {
        QTest::addColumn<QString>("groups"); // l u d, c: own characters
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("extras"); // a: at least, v: no vowels, s: space, 9: last digit,
                                             // b: no look-alikes, r: no repeats, x: without a and 1,
                                             // L, l, U, D: a first letter, lower, upper, digit;
                                             // passphrases (groups w, own the words, length their
                                             // count): C capitalised, D a digit, _ no separator

        auto row = [](const char *name, const char *groups, const char *own, const char *length,
                      const char *extras) {
            QTest::addRow("%s", name)
                << QString(groups) << QString(own) << QString(length) << QString(extras);
        };
        row("plain, own characters", "c", "abc", "3", "");
        row("repeats weigh more, then a space", "c", "aab", "3", "s");
        row("own characters hold a space", "c", " xy", "3", "s");
        row("last digit, then a space", "c", "ab", "2", "9s");
        row("at least: digits and own", "dc", "ab", "3", "a9s");
        row("vowels removed from group and pool", "c", "aeb!", "2", "av");
        row("own group only vowels", "dc", "ae", "3", "avs");
        row("space drawn by the own group and the pool", "dc", " ab", "3", "as");
        row("one character, digit then space", "c", "ab", "1", "9s");
        row("lower case, no vowels", "l", "", "2", "v9");
        row("look-alikes out of own characters", "c", "0O1lI|ab", "2", "b");
        row("look-alikes out of digits, own, pool and the last digit", "dc", "0Ol|xa", "3", "abv9s");
        row("no repeats", "c", "abc", "3", "r");
        row("no repeats, a character twice, last digit, space", "c", "aab1", "4", "r9s");
        row("no repeats after at-least groups that share characters", "dc", "1a", "3", "ar");
        row("a first letter, the space after it", "dc", "ab", "3", "Ls");
        row("a first digit before at-least, last digit", "dc", "ab", "4", "aD9");
        row("a first capital", "uc", "ab", "2", "U");
        row("a first lower-case letter without repeats", "dc", "aB", "3", "lr");
        row("excluded from groups, pool and the last digit", "dc", "ab", "3", "x9");
        row("every rule at once", "dc", "ab", "4", "aLrxs9");
        row("passphrases", "w", "sun|moon|star", "2", "");
        row("passphrases capitalised, a digit, no separator", "w", "sun|moon|star", "2", "CD_");
        row("a digit among three words", "w", "a|b", "3", "D");
    }
    void matchesEveryPossiblePassword()
    {
        QFETCH(QString, groups);
        QFETCH(QString, own);
        QFETCH(QString, length);
        QFETCH(QString, extras);
        GenerationOptions o;
        o.useLowerCase = groups.contains('l');
        o.useUpperCase = groups.contains('u');
        o.useDigits = groups.contains('d');
        o.useSpecified = groups.contains('c');
        o.specifiedCharacters = own;
        o.passwordCount = QStringLiteral("1");
        o.passwordLength = length;
        o.atLeastOneFromEachGroup = extras.contains('a');
        o.removeVowels = extras.contains('v');
        o.includeSpace = extras.contains('s');
        o.lastCharacterDigit = extras.contains('9');
        o.removeSimilar = extras.contains('b');
        o.noRepeat = extras.contains('r');
        o.excludedCharacters = extras.contains('x') ? QStringLiteral("a1") : QString();
        const std::map<QChar, FirstCharacter> kinds{{u'L', FirstCharacter::Letter},
                                                    {u'l', FirstCharacter::Lower},
                                                    {u'U', FirstCharacter::Upper},
                                                    {u'D', FirstCharacter::Digit}};
        for (const auto &[letter, kind] : kinds)
            if (extras.contains(letter) && groups != u'w')
                o.startWith = kind;
        o.wordCount = length;
        o.capitalizeWords = extras.contains('C');
        o.digitBetweenWords = extras.contains('D');
        o.wordSeparator = extras.contains('_') ? QString() : QStringLiteral("-");
        WordList words;
        if (groups == u'w')
            words = std::get<WordList>(readWordList(own.replace(u'|', u'\n').toUtf8(), "words"));
        const Passphrases phrases(words, o);

        RecordingPrompter prompter;
        ErrorReport report(prompter, QStringLiteral("help@example.org"));
        EveryDraw random;
        PasswordGenerator generator(random, report);
        std::map<QString, double> chances;
        do {
            OnePassword sink;
            if (groups == u'w')
                phrases.make(random, sink, 1, false);
            else
                generator.run(o, sink);
            chances[sink.made] += random.chance();
        } while (random.advance());
        QVERIFY2(prompter.shown.isEmpty(), qPrintable(prompter.texts().join(u'\n')));

        double total = 0, bits = 0, likeliest = 0;
        for (const auto &[password, p] : chances) {
            total += p;
            bits -= p * std::log2(p);
            likeliest = std::max(likeliest, p);
        }
        QVERIFY(std::abs(total - 1) < 1e-9);
        const double wordBits = phrases.entropyBits();
        const std::optional<Strength> computed =
            groups == u'w' ? std::optional<Strength>({wordBits, wordBits}) : passwordStrength(o);
        QVERIFY(computed);
        QVERIFY2(std::abs(computed->bits - bits) < 1e-9 &&
                     std::abs(computed->minBits + std::log2(likeliest)) < 1e-9,
                 qPrintable(QStringLiteral("computed %1 and %2, enumerated %3 and %4")
                                .arg(computed->bits)
                                .arg(computed->minBits)
                                .arg(bits)
                                .arg(-std::log2(likeliest))));
    }

    // Passwords too long to enumerate: the mean surprise of real passwords,
    // each password's chance worked out from what each position may hold.
    void agreesWithSampledFirstRunPasswords_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("aboutBits");
        QTest::addRow("length 6") << 6 << 25;
        QTest::addRow("length 16") << 16 << 83;
    }
    void agreesWithSampledFirstRunPasswords()
    {
        QFETCH(int, length);
        QFETCH(int, aboutBits);
        const GenerationOptions o = firstRun(QString::number(length));
        const QString lower = QStringLiteral("bcdfghjklmnpqrstvwxyz");
        const QString digits = QStringLiteral("0123456789");
        const QString pool = lower + lower.toUpper() + digits;
        QList<QString> may{lower, lower.toUpper(), digits};
        while (may.size() < length - 1)
            may << pool;
        may << digits;

        RecordingPrompter prompter;
        ErrorReport report(prompter, QStringLiteral("help@example.org"));
        CryptoRandomSource random;
        PasswordGenerator generator(random, report);
        const int samples = 20000;
        double surprise = 0;
        for (int k = 0; k < samples; ++k) {
            OnePassword sink;
            generator.run(o, sink);
            QCOMPARE(sink.made.size(), length);
            double p = 0; // sum over where the space may have been put
            for (int s = 0; s < length; ++s) {
                if (sink.made[s] != u' ')
                    continue;
                double rest = 1.0 / length;
                for (int j = 0; j < length; ++j)
                    if (j != s)
                        rest *= double(may[j].count(sink.made[j])) / may[j].size();
                p += rest;
            }
            QVERIFY(p > 0);
            surprise -= std::log2(p);
        }
        const double sampled = surprise / samples;
        const double computed = passwordEntropyBits(o).value_or(-1);
        QVERIFY2(std::abs(sampled - computed) < 0.1,
                 qPrintable(QStringLiteral("computed %1, sampled %2").arg(computed).arg(sampled)));
        QCOMPARE(qRound(computed), aboutBits);
        QVERIFY(computed < length * std::log2(52.0));
        QCOMPARE(strengthHint(o), QStringLiteral("About %1 bits per password: %2")
                                      .arg(aboutBits)
                                      .arg(aboutBits < 40 ? "poor" : "good"));
    }

    // No figure where no password would be made.
    void nothingForOptionsThatMakeNoPassword_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<bool>("atLeast");
        QTest::addRow("not a number") << "six" << false;
        QTest::addRow("zero") << "0" << false;
        QTest::addRow("too long") << "32768" << false;
        QTest::addRow("shorter than the groups") << "2" << true;
    }
    void nothingForOptionsThatMakeNoPassword()
    {
        QFETCH(QString, length);
        QFETCH(bool, atLeast);
        GenerationOptions o = firstRun(length);
        o.atLeastOneFromEachGroup = atLeast;
        QVERIFY(!passwordEntropyBits(o));
        QCOMPARE(strengthHint(o), QString());
    }
};

QTEST_GUILESS_MAIN(TestStrength)
#include "tst_strength.moc"
