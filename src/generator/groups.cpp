#include "generator/groups.h"

#include "generator/numbers.h"
#include "generator/vowels.h"

#include <QCoreApplication>

namespace zentavo {

GroupChoice chooseGroups(const GenerationOptions &options)
{
    const bool noVowels = options.removeVowels;
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
            const QString leading = noVowels ? RemoveVowels(characters) : characters.toString();
            if (!leading.isEmpty())
                choice.leading << leading;
        }
    }
    choice.pool = noVowels ? RemoveVowels(poolWithVowels) : poolWithVowels;
    // The length is taken as loosely as possible here ("7 chars" is 7); the
    // strict conversion comes when passwords are made.
    if (options.atLeastOneFromEachGroup && leadingNumber(options.passwordLength) < choice.checkedGroupCount)
        choice.lengthRefusal = QCoreApplication::translate(
            "zentavo::PasswordGenerator", "Length must be greater or equal to the number of checked items.");
    return choice;
}

} // namespace zentavo
