#pragma once

#include "generator/options.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace zentavo {

class ErrorReport;
class RandomSource;

// Passwords handed on together: rows of one shape, their text end to end.
struct PasswordBatch
{
    // How the text is held: a byte a character (ASCII or Latin-1), or UTF-16.
    enum class Encoding { Ascii, Latin1, Utf16 };

    Encoding encoding = Encoding::Ascii;
    const void *text = nullptr;
    qsizetype rows = 0;
    // Every password of the batch has this many bytes (a byte a character)
    // or UTF-16 units.
    qsizetype unitsPerRow = 0;
    // 0: rows without a line number; otherwise the first row's number, the
    // others following on.
    qint32 firstLine = 0;

    bool isWide() const { return encoding == Encoding::Utf16; }
    qint32 lineNumber(qsizetype row) const { return firstLine == 0 ? 0 : firstLine + qint32(row); }
    const char *bytes(qsizetype row) const { return static_cast<const char *>(text) + row * unitsPerRow; }
    const char16_t *units(qsizetype row) const
    {
        return static_cast<const char16_t *>(text) + row * unitsPerRow;
    }
    // The row's password as text, appended to `out`.
    void appendPassword(qsizetype row, QString &out) const
    {
        if (isWide())
            out.append(QStringView(units(row), unitsPerRow));
        else
            out.append(QLatin1StringView(bytes(row), unitsPerRow));
    }
};

// Where a run's passwords go, and what the run may ask of the front end
// that started it. Nothing here acts on a window: the run hands back its
// outcome, and the front end decides what that looks like.
class PasswordSink
{
public:
    virtual ~PasswordSink() = default;

    // Appends the rows in order. When memory runs short it throws
    // std::bad_alloc, keeping the rows before the one that did not fit.
    virtual void append(const PasswordBatch &batch) = 0;

    // Whether `count` rows of passwords of `length` characters, each taking
    // up to `bytesPerCharacter` bytes, fit in the memory the program may
    // use; if not, what to tell the user.
    virtual std::optional<QString> refuseRows(qint64 count, int length, int bytesPerCharacter)
    {
        Q_UNUSED(count);
        Q_UNUSED(length);
        Q_UNUSED(bytesPerCharacter);
        return std::nullopt;
    }

    // After each stretch of rows: the share of the run made, in percent.
    virtual void progress(double percent) { Q_UNUSED(percent); }

    // Between two stretches of rows the front end may handle what is
    // pending; the options in force afterwards, when they may have changed.
    // Throws Abandoned once the front end has gone away.
    virtual std::optional<GenerationOptions> yield() { return std::nullopt; }

    // The most rows made between two yields: the fewer, the sooner a change
    // of the options counts, the more each row costs.
    virtual qsizetype rowsPerStretch() const { return 1 << 16; }
};

// How a run ended.
struct GenerationOutcome
{
    enum class End {
        Ignored,       // a run was already going on: nothing happened
        Done,          // every password made, failures or not
        LengthRefused, // at-least mode with a length too short, or a rule
                       // leaving a position nothing to draw: nothing made
        MemoryRefused, // the passwords would not fit in memory: nothing made
        Stopped,       // ended early after a reported failure (the count or
                       // length could not be read, memory ran out)
        Abandoned,     // the front end went away in the middle
    };
    End end = End::Done;
    QString reason; // what to tell the user of a refusal
};

// "Start Generating": builds the character pool from the chosen groups and
// makes the requested number of passwords into the sink, either drawn wholly
// from the pool or, in at-least mode, starting with one character of each
// chosen group in group order. Failures of its steps are reported through
// the error report, each kind once.
class PasswordGenerator
{
public:
    PasswordGenerator(RandomSource &random, ErrorReport &report);

    // One run with these options (the sink may change them between
    // stretches). A run started while one is going on is ignored.
    GenerationOutcome run(const GenerationOptions &options, PasswordSink &sink);

    bool isGenerating() const { return m_isGenerating; }

    static QString procedurePath() { return QStringLiteral("in Quorvex2021/08/31.Form1.PushButton1_Click "); }

private:
    class Run;

    RandomSource &m_random;
    ErrorReport &m_report;
    bool m_isGenerating = false;
};

} // namespace zentavo
