#pragma once

#include "generator/options.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zentavo {

// What a set of options makes of the character groups: the one place that
// says which groups are chosen, what a password draws from and whether the
// length is turned down. The generator, the strength figure and the command
// line all ask it.
struct GroupChoice
{
    // The number of chosen groups, 0 to 4: the user's own characters count
    // when chosen, even when none were typed.
    int checkedGroupCount = 0;
    // The leading characters' groups in at-least mode, in group order, each
    // without vowels and look-alikes when they are removed (drawable()). A
    // group left empty adds no leading character. Empty in plain mode.
    QStringList leading;
    // What the rest of a password draws from: every chosen group's
    // characters in group order, repeats kept, drawable() of them. Empty
    // when nothing is left to draw from.
    QString pool;
    // In at-least mode, the message that turns down a length shorter than
    // the number of chosen groups; then no password is made.
    std::optional<QString> lengthRefusal;
};

GroupChoice chooseGroups(const GenerationOptions &options);

// What a drawn character may be, as the options leave it: without vowels
// and without look-alikes when they are removed. Every group, the user's own
// characters and the pool pass through it before a draw.
QString drawable(QStringView characters, const GenerationOptions &options);

// The characters of `pool` that a first character of `kind` may be, in
// order, repeats kept.
QString firstCharacters(QStringView pool, FirstCharacter kind);

// The digits the last character is drawn from when it becomes a digit.
QString lastDigits(const GenerationOptions &options);

} // namespace zentavo
