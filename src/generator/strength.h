#pragma once

#include "generator/options.h"

#include <QString>
#include <optional>

namespace zentavo {

// How much a guesser must learn to know one password made with these options:
// the Shannon entropy, in bits, of the generator's output. Every position
// counts with its own distribution (a leading at-least position draws from
// its group alone, a character that occurs twice in the pool is twice as
// likely), and the finishing steps count as they act: the last character
// becomes a digit, then one position chosen at random becomes a space. So it
// is less than the length times log2 of the pool, and exact.
//
// Nothing when the length does not pass its check (generator/validation.h),
// is too short for at-least mode or a rule leaves a position nothing to
// draw: then no password would be made.
std::optional<double> passwordEntropyBits(const GenerationOptions &options);

// Both figures a guesser cares for: the entropy above, and the min-entropy,
// -log2 of the chance of the likeliest password, which a guesser who tries
// the likeliest first meets. They are equal exactly when every password
// that can be made is equally likely; the entropy is then log2 of their
// number.
struct Strength
{
    double bits = 0;
    double minBits = 0;
    bool equallyLikely() const;
};
std::optional<Strength> passwordStrength(const GenerationOptions &options);

// What zentavo-cli --strength prints: the hint's words, then the exact
// figure, or that the passwords are not equally likely and the min-entropy.
QString strengthReport(const Strength &strength);

// "poor" below 40 bits, "weak" below 65, "good" below 100, "excellent" above.
QString strengthRating(double bits);

// "About 25 bits per password: poor"; empty when no password would be made.
QString strengthHint(const GenerationOptions &options);

} // namespace zentavo
