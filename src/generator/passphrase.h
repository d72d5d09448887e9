#pragma once

#include "generator/options.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace zentavo {

class PasswordSink;
class RandomSource;

// The words passphrases are drawn from, each once.
struct WordList
{
    QStringList words;
    QList<qsizetype> lines; // each word's line in its file
    QString source;         // how messages name the list: its file, or the shipped list
};

// One word a line, UTF-8; the blanks around a word and blank lines are
// dropped. A line that is not UTF-8, a word holding a control character and
// a word given twice are refused, the message naming the line; so is a list
// without a word.
std::variant<WordList, QString> readWordList(const QByteArray &text, const QString &source);

// The EFF long list, 7,776 words, shipped with the program (CC BY 3.0).
const WordList &effLongList();

// Passphrases as the options shape them: options.wordCount words, each drawn
// uniformly from the list, written with a capital first when
// capitalizeWords, joined by wordSeparator; with digitBetweenWords one digit
// 0-9 stands between two of them, in a gap drawn uniformly, joined by the
// separator as a word is. Draws: each word in order, then the gap, then the
// digit.
class Passphrases
{
public:
    // The word count must have passed its check (kWordCount).
    Passphrases(const WordList &list, const GenerationOptions &options);

    // Why these words cannot make passphrases that read only one way: two
    // words the same once capitalised, or one word (or a digit) and the
    // separator beginning another, so that different draws could give the
    // same passphrase and it would be weaker than it seems; a digit with
    // fewer than two words.
    std::optional<QString> refusal() const;

    // Every passphrase is as likely as any other and reads only one way, so
    // this is log2 of their number: the words' count times log2 of the
    // list's size, and log2 of 10 digits times the gaps.
    double entropyBits() const;

    // `count` passphrases into the sink, numbered from 1 when `lineNumbers`.
    void make(RandomSource &random, PasswordSink &sink, qint64 count, bool lineNumbers) const;

    // Every character a passphrase may hold, for checks of the output's form.
    QString characters() const;

private:
    const WordList &m_list;
    QStringList m_tokens; // the words as written
    qint32 m_words;
    QString m_separator;
    bool m_digit;
};

} // namespace zentavo
