#include "generator/strength.h"

#include "generator/characterpool.h"
#include "generator/groups.h"
#include "generator/passwordshape.h"
#include "generator/validation.h"

#include <QCoreApplication>

#include <cmath>
#include <map>
#include <vector>

namespace zentavo {

namespace {

// Positions of a password that draw from the same distribution, before the
// space is placed: `count` of them, each character with its chance.
struct PositionClass
{
    std::map<char32_t, double> chance;
    qint64 count = 1;
};

PositionClass uniformOver(const CharacterPool &pool, qint64 count)
{
    PositionClass positions;
    positions.count = count;
    for (qsizetype i = 0; i < pool.size(); ++i)
        positions.chance[pool.at(i)] += 1.0 / double(pool.size());
    return positions;
}

double log2Binomial(qint64 n, qint64 k)
{
    return (std::lgamma(double(n + 1)) - std::lgamma(double(k + 1)) - std::lgamma(double(n - k + 1))) /
           std::log(2.0);
}

// Entropy in bits of one position's character, leaving out the space: the
// part the space step cannot hide.
double entropyWithoutSpace(const PositionClass &positions)
{
    double bits = 0;
    for (const auto &[character, chance] : positions.chance)
        if (character != U' ' && chance > 0)
            bits -= chance * std::log2(chance);
    return bits;
}

double spaceChance(const PositionClass &positions)
{
    const auto found = positions.chance.find(U' ');
    return found == positions.chance.end() ? 0.0 : found->second;
}

// The entropy of the password after one uniformly chosen position of
// `length` became a space. The outcome is seen as the set T of positions
// that hold a space and the other characters. With a_j the chance that
// position j drew a space by itself,
//   P(x) = 1/length * sum over s in T of prod over j in T, j != s of a_j
//          * prod over j not in T of p_j(x_j),
// and positions of one class are interchangeable, so T only matters through
// how many of each class it holds. The sum runs over those counts.
double entropyWithSpace(const std::vector<PositionClass> &classes, qint64 length)
{
    const std::size_t n = classes.size();
    std::vector<double> a(n), logA(n), logB(n), rest(n);
    for (std::size_t c = 0; c < n; ++c) {
        a[c] = spaceChance(classes[c]);
        logA[c] = a[c] > 0 ? std::log2(a[c]) : 0;
        logB[c] = a[c] < 1 ? std::log2(1 - a[c]) : -INFINITY;
        // Entropy of a non-space character at such a position, given it is one.
        rest[c] = a[c] < 1 ? (entropyWithoutSpace(classes[c]) + (1 - a[c]) * logB[c]) / (1 - a[c]) : 0;
    }
    std::vector<qint64> t(n, 0);
    double bits = 0;
    for (;;) {
        qint64 spaces = 0;
        int drawnNoSpace = -1, impossible = 0;
        for (std::size_t c = 0; c < n; ++c) {
            spaces += t[c];
            if (t[c] > 0 && a[c] == 0) {
                drawnNoSpace = int(c);
                impossible += int(t[c]);
            }
        }
        // Positions that cannot draw a space hold one only where it was put:
        // at most one of them.
        if (spaces > 0 && impossible <= 1) {
            double logChance = -std::log2(double(length));
            double spread = 0; // sum over the put space's class of t_c / a_c
            bool possible = true;
            for (std::size_t c = 0; c < n; ++c) {
                if (int(c) != drawnNoSpace)
                    logChance += double(t[c]) * logA[c];
                if (drawnNoSpace < 0 && t[c] > 0)
                    spread += double(t[c]) / a[c];
            }
            if (drawnNoSpace < 0)
                logChance += std::log2(spread);
            double logProbability = logChance, logWays = 0, restBits = 0;
            for (std::size_t c = 0; c < n; ++c) {
                const qint64 others = classes[c].count - t[c];
                if (others > 0 && a[c] >= 1)
                    possible = false;
                if (others > 0)
                    logProbability += double(others) * logB[c];
                logWays += log2Binomial(classes[c].count, t[c]);
                restBits += double(others) * rest[c];
            }
            if (possible) {
                const double weight = std::exp2(logWays + logProbability);
                bits += weight * (-logProbability + restBits);
            }
        }
        // Next combination of counts; a class that never draws a space is
        // counted to one at most.
        std::size_t c = 0;
        for (; c < n; ++c) {
            const qint64 limit = a[c] > 0 ? classes[c].count : std::min<qint64>(classes[c].count, 1);
            if (t[c] < limit) {
                ++t[c];
                break;
            }
            t[c] = 0;
        }
        if (c == n)
            return bits;
    }
}

} // namespace

std::optional<double> passwordEntropyBits(const GenerationOptions &options)
{
    const NumberCheck length = checkNumber(options.passwordLength, kPasswordLength);
    if (!length.passes())
        return std::nullopt;
    const GroupChoice choice = chooseGroups(options);
    if (choice.lengthRefusal)
        return std::nullopt;
    const PasswordShape shape = shapePassword(choice.leading, choice.pool, length.value, options);
    if (shape.length == 0)
        return 0.0;
    std::vector<PositionClass> classes;
    for (const PasswordShape::Span &span : shape.spans)
        classes.push_back(uniformOver(span.characters, span.positions));
    if (shape.lastDigit) {
        // The last position is the last of its span; its own draw no longer shows.
        if (--classes.back().count == 0)
            classes.pop_back();
        classes.push_back(uniformOver(*shape.lastDigit, 1));
    }

    if (shape.space)
        return entropyWithSpace(classes, shape.length);
    double bits = 0;
    for (const PositionClass &positions : classes) {
        const double a = spaceChance(positions);
        bits += double(positions.count) * (entropyWithoutSpace(positions) - (a > 0 ? a * std::log2(a) : 0.0));
    }
    return bits;
}

QString strengthRating(double bits)
{
    if (bits < 40)
        return QCoreApplication::translate("zentavo::Strength", "poor");
    if (bits < 65)
        return QCoreApplication::translate("zentavo::Strength", "weak");
    if (bits < 100)
        return QCoreApplication::translate("zentavo::Strength", "good");
    return QCoreApplication::translate("zentavo::Strength", "excellent");
}

QString strengthHint(const GenerationOptions &options)
{
    const std::optional<double> bits = passwordEntropyBits(options);
    if (!bits)
        return {};
    return QCoreApplication::translate("zentavo::Strength", "About %1 bits per password: %2")
        .arg(qRound64(*bits))
        .arg(strengthRating(*bits));
}

} // namespace zentavo
