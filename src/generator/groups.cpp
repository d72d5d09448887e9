#include "generator/groups.h"

#include "generator/numbers.h"
#include "generator/vowels.h"

#include <QCoreApplication>

namespace zentavo {

QString drawable(QStringView characters, const GenerationOptions &options)
{
    QString kept = options.removeVowels ? RemoveVowels(characters) : characters.toString();
    if (options.removeSimilar)
        kept.removeIf([](QChar c) { return QStringView(kLookAlikes).contains(c); });
    if (!options.excludedCharacters.isEmpty()) {
        // Character by character, so that a pair of surrogates goes or stays whole.
        const QList<uint> excluded = options.excludedCharacters.toUcs4();
        QList<uint> codes = kept.toUcs4();
        codes.removeIf([&](uint c) { return excluded.contains(c); });
        kept = QString::fromUcs4(reinterpret_cast<const char32_t *>(codes.constData()), codes.size());
    }
    return kept;
}

QString firstCharacters(QStringView pool, FirstCharacter kind)
{
    auto fits = [kind](QChar c) {
        const bool lower = c >= u'a' && c <= u'z', upper = c >= u'A' && c <= u'Z';
        switch (kind) {
        case FirstCharacter::Letter:
            return lower || upper;
        case FirstCharacter::Lower:
            return lower;
        case FirstCharacter::Upper:
            return upper;
        case FirstCharacter::Digit:
            return c >= u'0' && c <= u'9';
        case FirstCharacter::Any:
            break;
        }
        return true;
    };
    QString kept;
    for (const QChar c : pool)
        if (fits(c))
            kept += c;
    return kept;
}

QString lastDigits(const GenerationOptions &options)
{
    return drawable(kDigits, options);
}

GroupChoice chooseGroups(const GenerationOptions &options)
{
    // The groups in the order they make up the pool.
    const std::pair<bool, QStringView> groups[] = {{options.useLowerCase, kLowerCaseLetters},
                                                   {options.useUpperCase, kUpperCaseLetters},
                                                   {options.useDigits, kDigits},
                                                   {options.useSpecified, options.specifiedCharacters}};

    GroupChoice choice;
    QString poolWithVowels;
    for (const auto &[chosen, characters] : groups) {
        if (!chosen)
            continue;
        ++choice.checkedGroupCount;
        poolWithVowels += characters;
        if (options.atLeastOneFromEachGroup) {
            // The digits hold no vowels, so removing them leaves that group whole.
            const QString leading = drawable(characters, options);
            if (!leading.isEmpty())
                choice.leading << leading;
        }
    }
    choice.pool = drawable(poolWithVowels, options);
    // The length is taken as loosely as possible here ("7 chars" is 7); the
    // strict conversion comes when passwords are made. A first character of
    // one kind comes before the groups' own.
    const bool first = options.startWith != FirstCharacter::Any;
    if (options.atLeastOneFromEachGroup &&
        leadingNumber(options.passwordLength) < choice.checkedGroupCount + (first ? 1 : 0))
        choice.lengthRefusal =
            first ? QStringLiteral("the length must be greater than the number of checked items: the first "
                                   "character comes before one of each group")
                  : QCoreApplication::translate(
                        "zentavo::PasswordGenerator",
                        "Length must be greater or equal to the number of checked items.");
    return choice;
}

} // namespace zentavo
