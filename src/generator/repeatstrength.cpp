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

// Each position's weights, over the characters of all positions numbered
// alike; positions of one pool share theirs.
struct Chain
{
    std::size_t characters = 0;
    std::map<const CharacterPool *, Weights> weightsOf;
    std::vector<const Weights *> at;

    explicit Chain(const std::vector<const CharacterPool *> &pools)
    {
        std::map<char32_t, std::size_t> number;
        for (const CharacterPool *pool : pools)
            for (qsizetype i = 0; i < pool->size(); ++i)
                number.emplace(pool->at(i), number.size());
        characters = number.size();
        for (const CharacterPool *pool : pools) {
            Weights &weights = weightsOf[pool];
            if (weights.w.empty()) {
                weights.w.assign(characters, 0);
                for (qsizetype i = 0; i < pool->size(); ++i)
                    weights.w[number[pool->at(i)]] += 1;
                weights.total = double(pool->size());
                for (const double w : weights.w) {
                    weights.logW.push_back(std::log2(w));
                    weights.sumWLogW += w > 0 ? w * weights.logW.back() : 0;
                }
            }
            at.push_back(&weights);
        }
    }
};

// For each k, the entropy and the likeliest chance (log2) of the first k
// characters, worked out forwards with what each character is likely to be.
struct Prefixes
{
    std::vector<double> bits, likeliest;

    explicit Prefixes(const Chain &chain) : bits(chain.at.size() + 1, 0), likeliest(chain.at.size() + 1, 0)
    {
        const std::size_t m = chain.characters;
        std::vector<double> chance(m), best(m), next(m), ratio(m);
        for (std::size_t k = 0; k < chain.at.size(); ++k) {
            const Weights &p = *chain.at[k];
            double spread = 0, conditional = p.entropy();
            if (k > 0) {
                conditional = 0;
                for (std::size_t c = 0; c < m; ++c) {
                    if (chance[c] > 0) {
                        spread += chance[c] / p.without(c);
                        conditional += chance[c] * p.entropyWithout(c);
                    }
                    ratio[c] = p.without(c) > 0 ? best[c] - std::log2(p.without(c)) : -INFINITY;
                }
            }
            const TopTwo top(ratio);
            for (std::size_t d = 0; d < m; ++d) {
                // A character that cannot stand before this position takes nothing away.
                next[d] = k == 0 ? p.w[d] / p.total
                                 : p.w[d] * (spread - (chance[d] > 0 ? chance[d] / p.without(d) : 0));
                best[d] = k == 0 ? p.logW[d] - std::log2(p.total) : p.logW[d] + top.without(d);
            }
            chance.swap(next);
            bits[k + 1] = bits[k] + conditional;
            likeliest[k + 1] = TopTwo(best).first;
        }
    }
};

// For each j, the entropy and the likeliest chance of the characters from j
// on when position j draws from all of its own, as it does right after the
// space; worked out backwards, with the same for each character before j.
struct Suffixes
{
    std::vector<double> bits, likeliest;

    explicit Suffixes(const Chain &chain) : bits(chain.at.size() + 1, 0), likeliest(chain.at.size() + 1, 0)
    {
        const std::size_t m = chain.characters;
        std::vector<double> rest(m, 0), restLikeliest(m, 0), weighted(m);
        for (std::size_t j = chain.at.size(); j-- > 0;) {
            const Weights &p = *chain.at[j];
            double mean = 0, sum = 0;
            for (std::size_t d = 0; d < m; ++d) {
                sum += p.w[d] * rest[d];
                mean += p.w[d] / p.total * rest[d];
                weighted[d] = p.logW[d] + restLikeliest[d];
            }
            const TopTwo top(weighted);
            bits[j] = p.entropy() + mean;
            likeliest[j] = top.first - std::log2(p.total);
            for (std::size_t c = 0; c < m; ++c) {
                const double rests = p.without(c);
                rest[c] = rests > 0 ? p.entropyWithout(c) + (sum - p.w[c] * rest[c]) / rests : 0;
                restLikeliest[c] = rests > 0 ? top.without(c) - std::log2(rests) : -INFINITY;
            }
        }
    }
};

} // namespace

Strength strengthWithoutRepeats(const PasswordShape &shape)
{
    const Chain chain(positionPools(shape));
    const std::size_t length = chain.at.size();
    const Prefixes before(chain);
    if (!shape.space)
        return {before.bits[length], -before.likeliest[length]};
    // With the space at s, the characters before it are a prefix and those
    // after it start afresh.
    const Suffixes after(chain);
    const std::size_t places = length - std::size_t(shape.spaceFrom);
    double bits = 0, most = -INFINITY;
    for (std::size_t s = std::size_t(shape.spaceFrom); s < length; ++s) {
        bits += before.bits[s] + after.bits[s + 1];
        most = std::max(most, before.likeliest[s] + after.likeliest[s + 1]);
    }
    return {std::log2(double(places)) + bits / double(places), std::log2(double(places)) - most};
}

} // namespace zentavo
