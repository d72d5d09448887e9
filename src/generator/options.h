#pragma once

#include <QString>

namespace zentavo {

// What the first character of a password must be, as systems that receive
// passwords often demand.
enum class FirstCharacter { Any, Letter, Lower, Upper, Digit };

// The generation options as the window's controls show them at one moment.
// The two numeric fields stay texts: they are converted at the moments the
// generator needs them, and may hold anything the user typed.
struct GenerationOptions
{
    bool useLowerCase = false;            // Check5 "a - z"
    bool useUpperCase = false;            // Check6 "A - Z"
    bool useDigits = false;               // Check7 "0 - 9"
    bool useSpecified = false;            // Check2 " Your specified characters"
    QString specifiedCharacters;          // Text1
    QString passwordCount;                // Text2
    QString passwordLength;               // Text3
    bool removeVowels = false;            // Check1
    bool includeSpace = false;            // Check3
    bool lastCharacterDigit = false;      // Check4
    bool atLeastOneFromEachGroup = false; // Check8
    bool showLineNumbers = false;         // Check9
    // Leave out the look-alike characters, as removeVowels leaves out the
    // vowels. No control of the window sets it: zentavo-cli's --no-similar.
    bool removeSimilar = false;
    // The rules of the systems that receive passwords, set by zentavo-cli
    // alone: characters left out of every group like the look-alikes, the
    // kind of the first character, and no character twice in a row.
    QString excludedCharacters;
    FirstCharacter startWith = FirstCharacter::Any;
    bool noRepeat = false;
    // Passphrases instead, zentavo-cli's too: the number of words drawn
    // (empty: passwords of characters), what stands between them, whether
    // each starts with a capital, and one digit between two of them.
    QString wordCount;
    QString wordSeparator = QStringLiteral("-");
    bool capitalizeWords = false;
    bool digitBetweenWords = false;
};

// The character groups, in the order they make up the pool.
inline constexpr char16_t kLowerCaseLetters[] = u"abcdefghijklmnopqrstuvwxyz";
inline constexpr char16_t kUpperCaseLetters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr char16_t kDigits[] = u"0123456789";
// Characters easily taken for one another when read: zero and capital O,
// one, small L, capital I and the bar.
inline constexpr char16_t kLookAlikes[] = u"0O1lI|";

} // namespace zentavo
