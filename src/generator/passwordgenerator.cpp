#include "generator/passwordgenerator.h"

#include "core/errorreport.h"
#include "generator/numbers.h"
#include "generator/randomsource.h"
#include "generator/vowels.h"

#include <QCoreApplication>
#include <algorithm>
#include <new>

namespace zentavo {

namespace {

const CharacterPool &lowerCasePool(bool withoutVowels)
{
    static const CharacterPool withVowels(kLowerCaseLetters), without(RemoveVowels(kLowerCaseLetters));
    return withoutVowels ? without : withVowels;
}

const CharacterPool &upperCasePool(bool withoutVowels)
{
    static const CharacterPool withVowels(kUpperCaseLetters), without(RemoveVowels(kUpperCaseLetters));
    return withoutVowels ? without : withVowels;
}

const CharacterPool &digitPool()
{
    static const CharacterPool digits(kDigits);
    return digits;
}

// Latin-1 text is kept at a byte a character; others take two, or four
// where a character is a surrogate pair.
int bytesPerCharacter(const QString &pool)
{
    int most = 1;
    for (const QChar c : pool)
        most = std::max(most, c.isSurrogate() ? 4 : c.unicode() > 0xff ? 2 : 1);
    return most;
}

// The length the passwords of a run will most likely have, for judging
// whether they fit; a length that cannot be read is reported later, for
// each password.
int expectedLength(const GenerationOptions &options)
{
    try {
        return std::max<int>(0, toInt16(options.passwordLength));
    } catch (const Failure &) {
        return 0;
    }
}

// Adds the password's row; memory that runs out is told in words.
void appendRow(GenerationHost &host, qint32 lineNumber, const Password &password)
{
    try {
        host.appendRow(lineNumber, toQString(password));
    } catch (const std::bad_alloc &) {
        throw Failure(QCoreApplication::translate(
            "zentavo::PasswordGenerator",
            "Out of memory: there is no room for more passwords. The run stopped here; the "
            "passwords made so far stay in the list."));
    }
}

} // namespace

// The line numbers an error report quotes for the steps that the at-least
// and the plain loop share in shape.
struct PasswordGenerator::Labels
{
    int loop;
    int lastDigit;
    int space;
    int rowWithNumber;
    int rowAlone;
    int progress;
};

// The run's character pool, fixed when the run starts, with and without
// vowels, and the most bytes one of its characters takes in the list.
struct PasswordGenerator::Pools
{
    CharacterPool all;
    CharacterPool allWithoutVowels;
    int bytesPerCharacter;
};

PasswordGenerator::PasswordGenerator(RandomSource &random, ErrorReport &report)
    : m_random(random), m_report(report)
{
}

void PasswordGenerator::run(GenerationHost &host)
{
    if (m_isGenerating)
        return;
    m_isGenerating = true;
    // Cleared however the run ends, also when the window closes in the middle.
    struct ClearFlag
    {
        bool &flag;
        ~ClearFlag() { flag = false; }
    } clearFlag{m_isGenerating};

    Procedure procedure(m_report, procedurePath());
    // "Done." ends every run that made its passwords, failures or not.
    bool showDone = true;

    // The pool, the number of chosen groups and the mode are fixed for the run.
    const GenerationOptions start = host.options();
    QString poolText;
    int checkedGroupCount = 0;
    if (start.useLowerCase) {
        poolText += kLowerCaseLetters;
        ++checkedGroupCount;
    }
    if (start.useUpperCase) {
        poolText += kUpperCaseLetters;
        ++checkedGroupCount;
    }
    if (start.useDigits) {
        poolText += kDigits;
        ++checkedGroupCount;
    }
    if (start.useSpecified) {
        poolText += start.specifiedCharacters;
        ++checkedGroupCount;
    }
    const Pools pools{CharacterPool(poolText), CharacterPool(RemoveVowels(poolText)),
                      bytesPerCharacter(poolText)};

    if (start.atLeastOneFromEachGroup) {
        // The length is taken as loosely as possible here ("7 chars" is 7);
        // the strict conversion comes for each password.
        if (leadingNumber(start.passwordLength) < checkedGroupCount) {
            host.showMessage(QCoreApplication::translate(
                "zentavo::PasswordGenerator",
                "Length must be greater or equal to the number of checked items."));
            showDone = false;
            host.focusPasswordLength();
        } else {
            makePasswords(procedure, host, pools, true, showDone);
        }
    } else {
        makePasswords(procedure, host, pools, false, showDone);
    }

    host.resetPointer();
    host.setProgressValue(0);
    host.setProgressText(QCoreApplication::translate("zentavo::PasswordGenerator", "Progress Bar"));
    if (showDone)
        host.showMessage(QCoreApplication::translate("zentavo::PasswordGenerator", "Done."));
}

void PasswordGenerator::makePasswords(Procedure &procedure, GenerationHost &host, const Pools &pools,
                                      bool atLeastMode, bool &showDone)
{
    static constexpr Labels atLeastLabels{144, 190, 196, 200, 204, 206};
    static constexpr Labels plainLabels{210, 224, 230, 234, 238, 240};
    const Labels &labels = atLeastMode ? atLeastLabels : plainLabels;

    // The number of passwords is fixed when the loop starts. A count that
    // cannot be read ends the run without "Done.".
    const std::optional<qint32> count =
        procedure.value(labels.loop, [&] { return passwordCount(host.options().passwordCount); });
    if (!count) {
        showDone = false;
        return;
    }
    // A request that cannot fit in memory is turned down before anything is
    // made, rather than failing half-way through.
    if (*count > 0 && !host.admitRows(*count, expectedLength(host.options()), pools.bytesPerCharacter)) {
        showDone = false;
        return;
    }

    for (qint64 i = 1; i <= *count; ++i) {
        host.yield();
        const GenerationOptions options = host.options();
        Password password;
        const bool filled = atLeastMode ? fillAtLeast(procedure, options, pools, password)
                                        : fillPlain(procedure, options, pools, password);
        // A length that cannot be read would fail alike for every password
        // still to come: after its one report the run ends, as for the count.
        if (!filled) {
            showDone = false;
            return;
        }
        finish(procedure, options, labels, password);
        // Memory that runs out all the same ends the run; the rows made so
        // far stay in the list.
        const int line = options.showLineNumbers ? labels.rowWithNumber : labels.rowAlone;
        const bool appended =
            procedure
                .value(line,
                       [&] {
                           appendRow(host, options.showLineNumbers ? qint32(i) : 0, password);
                           return true;
                       })
                .has_value();
        if (!appended) {
            showDone = false;
            return;
        }
        procedure.step(labels.progress, [&] {
            const qint32 total = passwordCount(options.passwordCount);
            if (total == 0)
                throw Failure(QCoreApplication::translate(
                    "zentavo::PasswordGenerator", "Division by zero: the number of passwords is now 0."));
            host.setProgressValue(double(i) / total * 100.0);
        });
    }
}

bool PasswordGenerator::fillAtLeast(Procedure &procedure, const GenerationOptions &options,
                                    const Pools &pools, Password &password)
{
    // One character of each chosen group, in group order. A group that
    // offers nothing (an empty set of the user's, or one of vowels only) adds
    // nothing here; the pool makes up the length below.
    const bool noVowels = options.removeVowels;
    if (options.useLowerCase)
        password += PickRandomCharacters(1, lowerCasePool(noVowels), m_random);
    if (options.useUpperCase)
        password += PickRandomCharacters(1, upperCasePool(noVowels), m_random);
    if (options.useDigits)
        password += PickRandomCharacters(1, digitPool(), m_random);
    if (options.useSpecified)
        password += PickRandomCharacters(1, specifiedPool(options.specifiedCharacters, noVowels), m_random);

    const std::optional<qint16> length =
        procedure.value(180, [&] { return passwordLength(options.passwordLength); });
    if (!length)
        return false;
    const int remaining = *length - int(password.size());
    if (remaining > 0)
        password += PickRandomCharacters(remaining, noVowels ? pools.allWithoutVowels : pools.all, m_random);
    return true;
}

bool PasswordGenerator::fillPlain(Procedure &procedure, const GenerationOptions &options, const Pools &pools,
                                  Password &password)
{
    const bool noVowels = options.removeVowels;
    const std::optional<qint16> length =
        procedure.value(noVowels ? 218 : 220, [&] { return passwordLength(options.passwordLength); });
    if (!length)
        return false;
    password = PickRandomCharacters(*length, noVowels ? pools.allWithoutVowels : pools.all, m_random);
    return true;
}

void PasswordGenerator::finish(Procedure &procedure, const GenerationOptions &options, const Labels &labels,
                               Password &password)
{
    // The digit comes first, so the space may still land on it.
    if (options.lastCharacterDigit) {
        procedure.step(labels.lastDigit, [&] {
            if (password.empty())
                throw Failure(QCoreApplication::translate(
                    "zentavo::PasswordGenerator",
                    "The password is empty: it has no last character to make a digit."));
            password.back() = digitPool().at(m_random.uniform(10));
        });
    }
    if (options.includeSpace) {
        const std::size_t position = password.empty() ? 0 : m_random.uniform(quint32(password.size()));
        procedure.step(labels.space, [&] {
            if (password.empty())
                throw Failure(QCoreApplication::translate(
                    "zentavo::PasswordGenerator",
                    "The password is empty: it has no character to make a space."));
            password[position] = U' ';
        });
    }
}

qint32 PasswordGenerator::passwordCount(const QString &text)
{
    if (!m_count.holds(text))
        m_count.remember(text, toInt32(text));
    return m_count.value;
}

qint16 PasswordGenerator::passwordLength(const QString &text)
{
    if (!m_length.holds(text))
        m_length.remember(text, toInt16(text));
    return m_length.value;
}

const CharacterPool &PasswordGenerator::specifiedPool(const QString &text, bool withoutVowels)
{
    if (!m_specified.holds(text) || m_specifiedWithoutVowels != withoutVowels) {
        m_specified.remember(text, CharacterPool(withoutVowels ? RemoveVowels(text) : text));
        m_specifiedWithoutVowels = withoutVowels;
    }
    return m_specified.value;
}

} // namespace zentavo
