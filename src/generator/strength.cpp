#include "generator/strength.h"

#include "generator/characterpool.h"
#include "generator/groups.h"
#include "generator/passwordshape.h"
#include "generator/repeatstrength.h"
#include "generator/validation.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>
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

// The chance of the likeliest character but the space, or 0.
double likeliestNoSpace(const PositionClass &positions)
{
    double most = 0;
    for (const auto &[character, chance] : positions.chance)
        if (character != U' ')
            most = std::max(most, chance);
    return most;
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

// One position's entropy and min-entropy, the space counted as any character.
double positionBits(const PositionClass &positions)
{
    const double a = spaceChance(positions);
    return entropyWithoutSpace(positions) - (a > 0 ? a * std::log2(a) : 0.0);
}
double positionMinBits(const PositionClass &positions)
{
    return -std::log2(std::max(likeliestNoSpace(positions), spaceChance(positions)));
}

// What a class of positions contributes to every set of spaces: its chance
// of drawing a space by itself, and its figures without one.
struct SpaceTerms
{
    double a = 0;       // the chance of a space
    double logA = 0;    // log2 a (0 where a is 0: such a class never counts a drawn space)
    double logB = 0;    // log2 (1 - a)
    double rest = 0;    // entropy of a non-space character there, given it is one
    double logMost = 0; // log2 of the likeliest non-space character
};

SpaceTerms spaceTerms(const PositionClass &positions)
{
    SpaceTerms terms;
    terms.logMost = std::log2(likeliestNoSpace(positions));
    terms.a = spaceChance(positions);
    terms.logA = terms.a > 0 ? std::log2(terms.a) : 0;
    terms.logB = terms.a < 1 ? std::log2(1 - terms.a) : -INFINITY;
    terms.rest =
        terms.a < 1 ? (entropyWithoutSpace(positions) + (1 - terms.a) * terms.logB) / (1 - terms.a) : 0;
    return terms;
}

// One set of counts t (t[c] spaces among class c): the bits it adds to the
// entropy, and the log2 chance of its likeliest password; nothing where no
// password has those spaces.
std::optional<std::pair<double, double>> spaceSetTerm(const std::vector<PositionClass> &classes,
                                                      const std::vector<SpaceTerms> &terms,
                                                      const std::vector<qint64> &t, qint64 length)
{
    const std::size_t n = classes.size();
    qint64 spaces = 0;
    int drawnNoSpace = -1, impossible = 0;
    for (std::size_t c = 0; c < n; ++c) {
        spaces += t[c];
        if (t[c] > 0 && terms[c].a == 0) {
            drawnNoSpace = int(c);
            impossible += int(t[c]);
        }
    }
    // Positions that cannot draw a space hold one only where it was put:
    // at most one of them.
    if (spaces == 0 || impossible > 1)
        return std::nullopt;
    double logChance = -std::log2(double(length));
    double spread = 0; // sum over the put space's class of t_c / a_c
    for (std::size_t c = 0; c < n; ++c) {
        if (int(c) != drawnNoSpace)
            logChance += double(t[c]) * terms[c].logA;
        if (drawnNoSpace < 0 && t[c] > 0)
            spread += double(t[c]) / terms[c].a;
    }
    if (drawnNoSpace < 0)
        logChance += std::log2(spread);
    double logProbability = logChance, logWays = 0, restBits = 0, logLikeliest = logChance;
    for (std::size_t c = 0; c < n; ++c) {
        const qint64 others = classes[c].count - t[c];
        if (others > 0 && terms[c].a >= 1)
            return std::nullopt;
        if (others > 0) {
            logProbability += double(others) * terms[c].logB;
            logLikeliest += double(others) * terms[c].logMost;
        }
        logWays += log2Binomial(classes[c].count, t[c]);
        restBits += double(others) * terms[c].rest;
    }
    const double weight = std::exp2(logWays + logProbability);
    return std::pair{weight * (-logProbability + restBits), logLikeliest};
}

// The entropy of the password after one uniformly chosen position of
// `length` became a space. The outcome is seen as the set T of positions
// that hold a space and the other characters. With a_j the chance that
// position j drew a space by itself,
//   P(x) = 1/length * sum over s in T of prod over j in T, j != s of a_j
//          * prod over j not in T of p_j(x_j),
// and positions of one class are interchangeable, so T only matters through
// how many of each class it holds. The sum runs over those counts; the
// likeliest password of each count has the likeliest character but the
// space at each position that holds none.
Strength entropyWithSpace(const std::vector<PositionClass> &classes, qint64 length)
{
    const std::size_t n = classes.size();
    std::vector<SpaceTerms> terms(n);
    std::transform(classes.begin(), classes.end(), terms.begin(), spaceTerms);
    std::vector<qint64> t(n, 0);
    double bits = 0, likeliest = -INFINITY;
    for (;;) {
        if (const auto term = spaceSetTerm(classes, terms, t, length)) {
            bits += term->first;
            likeliest = std::max(likeliest, term->second);
        }
        // Next combination of counts; a class that never draws a space is
        // counted to one at most.
        std::size_t c = 0;
        for (; c < n; ++c) {
            const qint64 limit = terms[c].a > 0 ? classes[c].count : std::min<qint64>(classes[c].count, 1);
            if (t[c] < limit) {
                ++t[c];
                break;
            }
            t[c] = 0;
        }
        if (c == n)
            return {bits, -likeliest};
    }
}

// Each position drawn on its own, the finishing steps overwriting what was
// drawn.
Strength independentStrength(const PasswordShape &shape)
{
    std::vector<PositionClass> classes;
    for (const PasswordShape::Span &span : shape.spans)
        classes.push_back(uniformOver(span.characters, span.positions));
    if (shape.lastDigit) {
        // The last position is the last of its span; its own draw no longer shows.
        if (--classes.back().count == 0)
            classes.pop_back();
        classes.push_back(uniformOver(*shape.lastDigit, 1));
    }
    Strength strength;
    if (shape.space && shape.spaceFrom > 0) {
        // The first position, which the space never takes, apart.
        const PositionClass &first = classes.front();
        strength = {positionBits(first), positionMinBits(first)};
        if (--classes.front().count == 0)
            classes.erase(classes.begin());
    }
    if (shape.space) {
        const Strength rest = entropyWithSpace(classes, shape.length - shape.spaceFrom);
        return {strength.bits + rest.bits, strength.minBits + rest.minBits};
    }
    for (const PositionClass &positions : classes) {
        strength.bits += double(positions.count) * positionBits(positions);
        strength.minBits += double(positions.count) * positionMinBits(positions);
    }
    return strength;
}

} // namespace

std::optional<Strength> passwordStrength(const GenerationOptions &options)
{
    const NumberCheck length = checkNumber(options.passwordLength, kPasswordLength);
    if (!length.passes())
        return std::nullopt;
    const GroupChoice choice = chooseGroups(options);
    if (choice.lengthRefusal)
        return std::nullopt;
    const PasswordShape shape = shapePassword(choice.leading, choice.pool, length.value, options);
    if (shape.refusal)
        return std::nullopt;
    if (shape.length == 0)
        return Strength{};
    return shape.noRepeat ? strengthWithoutRepeats(shape) : independentStrength(shape);
}

std::optional<double> passwordEntropyBits(const GenerationOptions &options)
{
    const std::optional<Strength> strength = passwordStrength(options);
    return strength ? std::optional<double>(strength->bits) : std::nullopt;
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

bool Strength::equallyLikely() const
{
    return std::abs(bits - minBits) <= 1e-9 * std::max(1.0, bits);
}

QString strengthReport(const Strength &strength)
{
    const QString hint = QStringLiteral("About %1 bits per password: %2\n")
                             .arg(qRound64(strength.bits))
                             .arg(strengthRating(strength.bits));
    if (strength.equallyLikely())
        return hint +
               QStringLiteral("Exactly %1 bits: each of the 2^%1 passwords is as likely as any other.\n")
                   .arg(strength.bits, 0, 'f', 2);
    return hint +
           QStringLiteral("The passwords are not equally likely: %1 bits on average (Shannon entropy); "
                          "the likeliest has a chance of 1 in 2^%2, a min-entropy of %2 bits.\n")
               .arg(strength.bits, 0, 'f', 2)
               .arg(strength.minBits, 0, 'f', 2);
}

} // namespace zentavo
