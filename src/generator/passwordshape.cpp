#include "generator/passwordshape.h"

#include "generator/groups.h"
#include "generator/validation.h"

#include <algorithm>

namespace zentavo {

namespace {

const char *kindName(FirstCharacter kind)
{
    switch (kind) {
    case FirstCharacter::Letter:
        return "letter";
    case FirstCharacter::Lower:
        return "lower-case letter";
    case FirstCharacter::Upper:
        return "capital letter";
    case FirstCharacter::Digit:
    case FirstCharacter::Any:
        break;
    }
    return "digit";
}

bool holds(const CharacterPool &pool, char32_t c)
{
    for (qsizetype i = 0; i < pool.size(); ++i)
        if (pool.at(i) == c)
            return true;
    return false;
}

// A position that can only be one character, after a position that may be
// the same, would have nothing to draw without repeats.
std::optional<QString> repeatRefusal(const PasswordShape &shape)
{
    const std::vector<const CharacterPool *> pools = positionPools(shape);
    for (std::size_t k = 1; k < pools.size(); ++k) {
        if (k > 1 && pools[k] == pools[k - 1] && pools[k - 1] == pools[k - 2])
            continue; // the same pair as before
        const CharacterPool &pool = *pools[k];
        const char32_t only = pool.at(0);
        bool single = true;
        for (qsizetype i = 1; i < pool.size() && single; ++i)
            single = pool.at(i) == only;
        if (single && holds(*pools[k - 1], only))
            return QStringLiteral(
                       "with --no-repeat, position %1 can only be \"%2\", which may stand right before "
                       "it: there is nothing left to draw")
                .arg(k + 1)
                .arg(QString::fromUcs4(&only, 1));
    }
    if (shape.space &&
        std::any_of(pools.begin(), pools.end(), [](const CharacterPool *p) { return holds(*p, U' '); }))
        return QStringLiteral(
            "with --no-repeat and --space, a space among the characters could stand beside the one "
            "put in: leave it out with --exclude ' '");
    return std::nullopt;
}

std::optional<QString> refusal(const PasswordShape &shape, const GenerationOptions &options, bool firstEmpty)
{
    if (shape.length == 0)
        return std::nullopt;
    if (firstEmpty)
        return QStringLiteral("no character to start with: none of the characters to draw from is a %1")
            .arg(QLatin1String(kindName(options.startWith)));
    if (shape.lastDigit && shape.lastDigit->isEmpty())
        return QStringLiteral("no digit is left for the last character");
    if (shape.space && options.excludedCharacters.contains(u' '))
        return QStringLiteral("--space puts in a space, which --exclude leaves out");
    if (shape.spaceFrom > 0 && shape.length == 1 && (shape.space || shape.lastDigit)) {
        // The one character is the first, which keeps its kind.
        if (shape.space)
            return QStringLiteral("with --start-with, a password of one character has no room for the space");
        if (options.startWith != FirstCharacter::Digit)
            return QStringLiteral("with --start-with, the last digit would take the first character's place");
    }
    if (shape.noRepeat)
        return repeatRefusal(shape);
    return std::nullopt;
}

} // namespace

PasswordShape shapePassword(const QStringList &leading, QStringView pool, qsizetype length,
                            const GenerationOptions &options)
{
    PasswordShape shape;
    bool firstEmpty = false;
    if (options.startWith != FirstCharacter::Any && length > 0) {
        const QString first = firstCharacters(pool, options.startWith);
        firstEmpty = first.isEmpty();
        if (!firstEmpty)
            shape.spans.push_back({CharacterPool(first), 1});
        shape.spaceFrom = 1;
    }
    for (const QString &group : leading)
        shape.spans.push_back({CharacterPool(group), 1});
    const qsizetype rest = length - qsizetype(shape.spans.size());
    if (!pool.isEmpty() && rest > 0)
        shape.spans.push_back({CharacterPool(pool), rest});
    for (const PasswordShape::Span &span : shape.spans)
        shape.length += span.positions;
    if (options.lastCharacterDigit && shape.length > 0)
        shape.lastDigit = CharacterPool(lastDigits(options));
    shape.space = options.includeSpace && shape.length > 0;
    shape.noRepeat = options.noRepeat;
    shape.refusal = refusal(shape, options, firstEmpty);
    return shape;
}

std::optional<QString> shapeRefusal(const GenerationOptions &options)
{
    const GroupChoice choice = chooseGroups(options);
    if (choice.lengthRefusal)
        return choice.lengthRefusal;
    const NumberCheck length = checkNumber(options.passwordLength, kPasswordLength);
    if (!length.passes())
        return std::nullopt;
    return shapePassword(choice.leading, choice.pool, length.value, options).refusal;
}

std::vector<const CharacterPool *> positionPools(const PasswordShape &shape)
{
    std::vector<const CharacterPool *> pools;
    pools.reserve(std::size_t(shape.length));
    for (const PasswordShape::Span &span : shape.spans)
        pools.insert(pools.end(), std::size_t(span.positions), &span.characters);
    if (shape.lastDigit && !pools.empty())
        pools.back() = &*shape.lastDigit;
    return pools;
}

} // namespace zentavo
