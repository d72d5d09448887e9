#pragma once

#include "generator/characterpool.h"
#include "generator/options.h"

#include <QString>

namespace zentavo {

class ErrorReport;
class Procedure;
class RandomSource;

// What a generation run needs from the window around it. The window reads its
// controls afresh for every call of options(), so changes the user makes in
// the middle of a run take effect from the next password.
class GenerationHost
{
public:
    virtual ~GenerationHost() = default;

    virtual GenerationOptions options() = 0;
    // Lets the window handle pending events; throws Abandoned once it closed.
    virtual void yield() = 0;
    // A row with the line number and the password, or (lineNumber 0) a row
    // with the password alone.
    // Throws std::bad_alloc, adding nothing, when memory runs short.
    virtual void appendRow(qint32 lineNumber, const QString &password) = 0;
    // Whether `count` more rows of passwords of `length` characters, each
    // taking up to `bytesPerCharacter` bytes, fit in the memory the program
    // may use. When they do not, the user has been told how many would.
    virtual bool admitRows(qint64 count, int length, int bytesPerCharacter)
    {
        Q_UNUSED(count);
        Q_UNUSED(length);
        Q_UNUSED(bytesPerCharacter);
        return true;
    }
    virtual void setProgressValue(double percent) = 0;
    virtual void setProgressText(const QString &text) = 0;
    // A box with an OK button, no icon, titled with the application title.
    virtual void showMessage(const QString &text) = 0;
    virtual void focusPasswordLength() = 0;
    virtual void resetPointer() = 0;
};

// "Start Generating": builds the character pool from the chosen groups and
// makes the requested number of passwords into the results list, either drawn
// wholly from the pool or, in at-least mode, starting with one character of
// each chosen group in group order.
class PasswordGenerator
{
public:
    PasswordGenerator(RandomSource &random, ErrorReport &report);

    // One press of the button. A press while a run is going on is ignored.
    void run(GenerationHost &host);

    bool isGenerating() const { return m_isGenerating; }

    static QString procedurePath() { return QStringLiteral("in Quorvex2021/08/31.Form1.PushButton1_Click "); }

private:
    struct Labels;
    struct Pools;

    void makePasswords(Procedure &procedure, GenerationHost &host, const Pools &pools, bool atLeastMode,
                       bool &showDone);
    bool fillAtLeast(Procedure &procedure, const GenerationOptions &options, const Pools &pools,
                     Password &password);
    bool fillPlain(Procedure &procedure, const GenerationOptions &options, const Pools &pools,
                   Password &password);
    void finish(Procedure &procedure, const GenerationOptions &options, const Labels &labels,
                Password &password);
    qint32 passwordCount(const QString &text);
    qint16 passwordLength(const QString &text);
    const CharacterPool &specifiedPool(const QString &text, bool withoutVowels);

    // The count, the length and the user's characters are read for every
    // password; they rarely change during a run, so the last conversion of
    // each is kept.
    template <typename T> struct LastConversion
    {
        QString text;
        T value{};
        bool valid = false;

        bool holds(const QString &other) const { return valid && text == other; }
        void remember(const QString &from, T converted)
        {
            text = from;
            value = std::move(converted);
            valid = true;
        }
    };

    RandomSource &m_random;
    ErrorReport &m_report;
    bool m_isGenerating = false;
    LastConversion<qint32> m_count;
    LastConversion<qint16> m_length;
    LastConversion<CharacterPool> m_specified;
    bool m_specifiedWithoutVowels = false;
};

} // namespace zentavo
