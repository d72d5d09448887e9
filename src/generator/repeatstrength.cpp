#include "generator/repeatstrength.h"

#include <cmath>
#include <map>
#include <vector>

namespace zentavo {

namespace {

// One position's characters as weights over every character any position
// may hold: a character given twice weighs two.
struct Weights
{
    std::vector<double> w, logW;
    double total = 0;
    double sumWLogW = 0; // sum of w log2 w

    // What the position draws from when `left` stood before it.
    double without(std::size_t left) const { return total - w[left]; }
    // The entropy of that draw.
    double entropyWithout(std::size_t left) const
    {
        const double rest = without(left);
        if (rest <= 0)
            return 0;
        return std::log2(rest) - (sumWLogW - (w[left] > 0 ? w[left] * logW[left] : 0)) / rest;
    }
    double entropy() const { return std::log2(total) - sumWLogW / total; }
};

// The largest and the second largest of `values`, with where the largest is:
// the largest of all but one of them is one of the two.
struct TopTwo
{
    double first = -INFINITY, second = -INFINITY;
    std::size_t at = 0;
    explicit TopTwo(const std::vector<double> &values)
    {
        for (std::size_t c = 0; c < values.size(); ++c) {
            if (values[c] > first) {
                second = first;
                first = values[c];
                at = c;
            } else if (values[c] > second) {
                second = values[c];
            }
        }
    }
    double without(std::size_t c) const { return c == at ? second : first; }
};

} // namespace

Strength strengthWithoutRepeats(const PasswordShape &shape)
{
    const std::vector<const CharacterPool *> pools = positionPools(shape);
    const std::size_t length = pools.size();
    // Every character, numbered, and each distinct pool as weights.
    std::map<char32_t, std::size_t> number;
    for (const CharacterPool *pool : pools)
        for (qsizetype i = 0; i < pool->size(); ++i)
            number.emplace(pool->at(i), number.size());
    const std::size_t m = number.size();
    std::map<const CharacterPool *, Weights> weightsOf;
    for (const CharacterPool *pool : pools) {
        Weights &weights = weightsOf[pool];
        if (!weights.w.empty())
            continue;
        weights.w.assign(m, 0);
        for (qsizetype i = 0; i < pool->size(); ++i)
            weights.w[number[pool->at(i)]] += 1;
        weights.total = double(pool->size());
        weights.logW.resize(m);
        for (std::size_t c = 0; c < m; ++c) {
            weights.logW[c] = std::log2(weights.w[c]);
            weights.sumWLogW += weights.w[c] > 0 ? weights.w[c] * weights.logW[c] : 0;
        }
    }
    std::vector<const Weights *> at(length);
    for (std::size_t k = 0; k < length; ++k)
        at[k] = &weightsOf[pools[k]];

    // Forwards: the entropy and the likeliest chance (log2) of the first k
    // characters, and what the k-th character is likely to be.
    std::vector<double> prefixBits(length + 1, 0), prefixLikeliest(length + 1, 0);
    std::vector<double> chance(m), likeliest(m), next(m), ratio(m);
    for (std::size_t k = 0; k < length; ++k) {
        const Weights &p = *at[k];
        if (k == 0) {
            for (std::size_t c = 0; c < m; ++c) {
                next[c] = p.w[c] / p.total;
                likeliest[c] = p.logW[c] - std::log2(p.total);
            }
            prefixBits[1] = p.entropy();
        } else {
            double spread = 0, bits = 0;
            for (std::size_t c = 0; c < m; ++c) {
                if (chance[c] > 0) {
                    spread += chance[c] / p.without(c);
                    bits += chance[c] * p.entropyWithout(c);
                }
                ratio[c] = p.without(c) > 0 ? likeliest[c] - std::log2(p.without(c)) : -INFINITY;
            }
            const TopTwo top(ratio);
            for (std::size_t d = 0; d < m; ++d) {
                // A character that cannot stand before this position takes nothing away.
                next[d] = p.w[d] * (spread - (chance[d] > 0 ? chance[d] / p.without(d) : 0));
                likeliest[d] = p.logW[d] + top.without(d);
            }
            prefixBits[k + 1] = prefixBits[k] + bits;
        }
        chance.swap(next);
        prefixLikeliest[k + 1] = TopTwo(likeliest).first;
    }
    if (!shape.space)
        return {prefixBits[length], -prefixLikeliest[length]};

    // Backwards, for the space: with it at position s, the characters after
    // it start afresh. For each j, the entropy and the likeliest chance of
    // the characters from j on when position j draws from all of its own;
    // `rest` and `restLikeliest` hold them for each character before j.
    std::vector<double> freshBits(length + 1, 0), freshLikeliest(length + 1, 0);
    std::vector<double> rest(m, 0), restLikeliest(m, 0), weighted(m);
    for (std::size_t j = length; j-- > 0;) {
        const Weights &p = *at[j];
        double mean = 0, sum = 0;
        for (std::size_t d = 0; d < m; ++d) {
            sum += p.w[d] * rest[d];
            weighted[d] = p.logW[d] + restLikeliest[d];
        }
        const TopTwo top(weighted);
        for (std::size_t d = 0; d < m; ++d)
            mean += p.w[d] / p.total * rest[d];
        freshBits[j] = p.entropy() + mean;
        freshLikeliest[j] = top.first - std::log2(p.total);
        for (std::size_t c = 0; c < m; ++c) {
            rest[c] = p.without(c) > 0 ? p.entropyWithout(c) + (sum - p.w[c] * rest[c]) / p.without(c) : 0;
            restLikeliest[c] = p.without(c) > 0 ? top.without(c) - std::log2(p.without(c)) : -INFINITY;
        }
    }
    const std::size_t places = length - std::size_t(shape.spaceFrom);
    double bits = 0, most = -INFINITY;
    for (std::size_t s = std::size_t(shape.spaceFrom); s < length; ++s) {
        bits += prefixBits[s] + freshBits[s + 1];
        most = std::max(most, prefixLikeliest[s] + freshLikeliest[s + 1]);
    }
    return {std::log2(double(places)) + bits / double(places), std::log2(double(places)) - most};
}

} // namespace zentavo
