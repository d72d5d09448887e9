#pragma once

#include "generator/characterpool.h"
#include "generator/options.h"

#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace zentavo {

// What every password made with one set of options is, before its draws:
// its positions in order, each with the characters it is drawn from, and
// the steps that finish it. The generator makes the passwords from it and
// the strength figure counts their outcomes from it, so the two cannot
// disagree. A new kind of position (a word of a list, a first character of
// one kind) is one more span; a rule between neighbours (no character
// twice in a row) or a new step, one more field here, which both then
// follow.
struct PasswordShape
{
    // Positions side by side that are drawn from the same characters.
    struct Span
    {
        CharacterPool characters;
        qsizetype positions = 1;
    };
    std::vector<Span> spans;
    qsizetype length = 0; // the positions of all spans

    // The finishing steps, in this order: the last character is drawn again
    // from these digits; then one position, chosen at random, becomes a
    // space (it may land on that digit). An empty password takes neither.
    std::optional<CharacterPool> lastDigit;
    bool space = false;
    // The first position the space may land on: 1 when the first character
    // must be of one kind, which a space is not.
    qsizetype spaceFrom = 0;

    // No character twice in a row: each position draws from its characters
    // without the one before it. The finishing steps then take part in the
    // drawing instead of overwriting what was drawn: the space's position is
    // drawn first and the characters around it follow it as they follow any
    // other, and the last position draws from the digits straight away.
    bool noRepeat = false;

    // Why these options make no password at all (a rule that leaves a
    // position nothing to draw from); then the rest says nothing.
    std::optional<QString> refusal;
};

// The shape of a password `length` long: a first character of the kind the
// options ask for, from the pool; in at-least mode one position for each of
// the `leading` groups, in group order; then the pool for the rest of the
// length. A pool with nothing in it adds no position, and neither does a
// length already taken up. The finishing steps are the options'.
PasswordShape shapePassword(const QStringList &leading, QStringView pool, qsizetype length,
                            const GenerationOptions &options);

// Why the options make no password at all: a length too short for at-least
// mode, or a rule that leaves a position nothing to draw. Nothing for a
// length that does not pass its check, which is told as such.
std::optional<QString> shapeRefusal(const GenerationOptions &options);

// Each position's characters in order, as the drawing without repeats reads
// them: the last one the digits when it becomes one.
std::vector<const CharacterPool *> positionPools(const PasswordShape &shape);

} // namespace zentavo
