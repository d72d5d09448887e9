#include "generator/randomsource.h"

#include <QTest>
#include <cmath>
#include <deque>
#include <vector>

using namespace zentavo;

namespace {

// Bytes handed out in the order given; 0 once they run out.
CryptoRandomSource::Fill scriptedBytes(std::deque<unsigned char> &bytes, int *fills = nullptr)
{
    return [&bytes, fills](unsigned char *buffer, std::size_t size) {
        if (fills)
            ++*fills;
        for (std::size_t i = 0; i < size; ++i) {
            buffer[i] = bytes.empty() ? 0 : bytes.front();
            if (!bytes.empty())
                bytes.pop_front();
        }
    };
}

double chiSquare(const std::vector<quint64> &counts, quint64 draws)
{
    const double expected = double(draws) / double(counts.size());
    double sum = 0;
    for (const quint64 count : counts)
        sum += (double(count) - expected) * (double(count) - expected) / expected;
    return sum;
}

// The value a chi-square statistic with `df` degrees of freedom exceeds by
// chance about once in a million runs (Wilson-Hilferty approximation).
double criticalValue(double df)
{
    const double z = 4.75;
    const double a = 2.0 / (9.0 * df);
    return df * std::pow(1.0 - a + z * std::sqrt(a), 3.0);
}

constexpr quint64 kDraws = 20'000'000;

template <typename Draw> double statistic(quint32 n, Draw draw)
{
    std::vector<quint64> counts(n);
    for (quint64 i = 0; i < kDraws; ++i)
        ++counts[draw()];
    return chiSquare(counts, kDraws);
}

} // namespace

class TestRandomSource : public QObject
{
    Q_OBJECT

private slots:
    void rejectsBytesThatWouldFavourLowPositions_data()
    {
        QTest::addColumn<quint32>("n");
        QTest::addColumn<QList<int>>("bytes");
        QTest::addColumn<quint32>("expected");
        // 256 = 4 * 62 + 8: bytes 248 to 255 would make positions 0 to 7 likelier.
        QTest::addRow("62, rejected bytes skipped") << 62u << QList<int>{250, 255, 248, 10} << 10u;
        QTest::addRow("62, highest accepted byte") << 62u << QList<int>{247} << 61u;
        QTest::addRow("200, 200 and up rejected") << 200u << QList<int>{200, 255, 199} << 199u;
        QTest::addRow("256 takes every byte") << 256u << QList<int>{255} << 255u;
        // Two bytes, big end first: 65536 = 65 * 1000 + 536, so 65000 and up go.
        QTest::addRow("1000, two bytes") << 1000u << QList<int>{0xFD, 0xE8, 0x03, 0xE9} << 1u;
        QTest::addRow("70000, four bytes") << 70000u << QList<int>{0, 1, 0x11, 0x71} << 1u;
    }
    void rejectsBytesThatWouldFavourLowPositions()
    {
        QFETCH(quint32, n);
        QFETCH(QList<int>, bytes);
        QFETCH(quint32, expected);
        std::deque<unsigned char> script(bytes.begin(), bytes.end());
        CryptoRandomSource source(scriptedBytes(script));
        QCOMPARE(source.uniform(n), expected);
    }

    void aPoolOfOneNeedsNoBytes()
    {
        int fills = 0;
        std::deque<unsigned char> script;
        CryptoRandomSource source(scriptedBytes(script, &fills));
        QCOMPARE(source.uniform(1), 0u);
        QCOMPARE(fills, 0);
    }

    void fetchesBytesInBlocks()
    {
        int fills = 0;
        std::deque<unsigned char> script;
        CryptoRandomSource source(scriptedBytes(script, &fills));
        for (std::size_t i = 0; i < CryptoRandomSource::kBlockBytes; ++i)
            source.uniform(10);
        QCOMPARE(fills, 1);
        source.uniform(10);
        QCOMPARE(fills, 2);
    }

    // Drawn for many passwords at once, the same bytes give the same
    // positions as one draw at a time, across rejected bytes, bounds of one
    // and the end of a block.
    void batchesDrawAsSingleDrawsDo_data()
    {
        QTest::addColumn<QList<quint32>>("bounds");
        QTest::addRow("at least: groups, then the pool, digit and space")
            << QList<quint32>{26, 26, 10, 62, 62, 62, 62, 10, 7};
        QTest::addRow("a group of one") << QList<quint32>{1, 3, 3};
        QTest::addRow("a pool of two bytes a draw") << QList<quint32>{1000, 5};
        QTest::addRow("the command line's default") << QList<quint32>{26, 26, 10} + QList<quint32>(13, 62);
        QTest::addRow("passwords of one run") << QList<quint32>(16, 62);
        QTest::addRow("runs longer than a vector") << QList<quint32>(40, 62) + QList<quint32>(33, 200);
        QTest::addRow("five limits, all 256 bytes") << QList<quint32>{256, 3, 7, 7, 7, 7, 7, 7, 100, 62};
    }
    void batchesDrawAsSingleDrawsDo()
    {
        QFETCH(QList<quint32>, bounds);
        std::deque<unsigned char> bytes;
        for (std::size_t i = 0; i < 5 * CryptoRandomSource::kBlockBytes; ++i)
            bytes.push_back((unsigned char)((i * 167 + i / 7) % 256));
        std::deque<unsigned char> again = bytes;
        CryptoRandomSource batch(scriptedBytes(bytes)), single(scriptedBytes(again));
        const qsizetype repeats = qsizetype(2 * CryptoRandomSource::kBlockBytes / std::size_t(bounds.size()));
        std::vector<quint32> drawn(std::size_t(repeats * bounds.size()));
        batch.uniform(std::span<const quint32>(bounds.data(), std::size_t(bounds.size())), repeats,
                      drawn.data());
        for (std::size_t k = 0; k < drawn.size(); ++k)
            QCOMPARE(drawn[k], single.uniform(bounds[qsizetype(k) % bounds.size()]));

        // The same as text: each position becomes its alphabet's byte.
        if (std::any_of(bounds.begin(), bounds.end(), [](quint32 n) { return n > 256; }))
            return;
        ByteDraws draws;
        std::vector<std::vector<unsigned char>> alphabets;
        for (const quint32 n : bounds) {
            alphabets.emplace_back(n);
            for (quint32 i = 0; i < n; ++i)
                alphabets.back()[i] = (unsigned char)(i * 7 + n);
            draws.add(alphabets.back(), 1);
        }
        std::vector<unsigned char> text(drawn.size() + ByteDraws::kSlack);
        batch.drawBytes(draws, repeats, text.data());
        for (std::size_t k = 0; k < drawn.size(); ++k)
            QCOMPARE(text[k],
                     alphabets[k % alphabets.size()][single.uniform(bounds[qsizetype(k) % bounds.size()])]);
    }

    // Every position equally likely, checked on real draws. The same number
    // of draws must catch a source whose lower half of positions is 1% more
    // likely than its upper half, and the modulo shortcut the rejection rule
    // avoids; otherwise the check proves nothing.
    void drawsAreUniform_data()
    {
        QTest::addColumn<quint32>("n");
        QTest::addRow("2") << 2u;
        QTest::addRow("10 digits") << 10u;
        QTest::addRow("52 consonants and digits") << 52u;
        QTest::addRow("62 letters and digits") << 62u;
        QTest::addRow("200") << 200u;
        QTest::addRow("1000, two bytes") << 1000u;
        QTest::addRow("70000, four bytes") << 70000u;
    }
    void drawsAreUniform()
    {
        QFETCH(quint32, n);
        CryptoRandomSource source;
        const double limit = criticalValue(n - 1);

        const double fair = statistic(n, [&] { return source.uniform(n); });
        QVERIFY2(fair < limit, qPrintable(QStringLiteral("chi-square %1 >= %2").arg(fair).arg(limit)));

        if (n >= 4 && n <= 1000) { // beyond, 20 million draws are too few to see 1%
            const quint32 half = n / 2;
            const double biased = statistic(n, [&] {
                quint32 position = source.uniform(n);
                if (position >= half && source.uniform(101) == 0)
                    position -= half;
                return position;
            });
            QVERIFY2(biased > limit, "a 1% bias went unnoticed");
        }
    }

    void moduloShortcutIsCaught()
    {
        // 65536 mod 1000 = 536: taking two bytes mod 1000 makes positions
        // below 536 about 1.5% likelier. The uniformity check must see that.
        CryptoRandomSource bytes;
        const double biased = statistic(1000, [&] {
            const quint32 value = bytes.uniform(65536);
            return value % 1000;
        });
        QVERIFY(biased > criticalValue(999));
    }
};

QTEST_GUILESS_MAIN(TestRandomSource)
#include "tst_randomsource.moc"
