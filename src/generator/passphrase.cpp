#include "generator/passphrase.h"

#include "core/wipe.h"
#include "generator/passwordgenerator.h"
#include "generator/randomsource.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace zentavo {

namespace {

constexpr qsizetype kRowsPerStretch = 4096;

QString lineFault(const QString &source, qsizetype line, const QString &fault)
{
    return QStringLiteral("%1, line %2: %3").arg(source).arg(line).arg(fault);
}

QString capitalized(const QString &word)
{
    const qsizetype first = word[0].isHighSurrogate() && word.size() > 1 ? 2 : 1;
    return word.left(first).toUpper() + word.mid(first);
}

// The pieces of a passphrase as its batch holds them: a byte a character
// when the words allow (copying them is most of the work), else UTF-16.
struct Pieces
{
    PasswordBatch::Encoding encoding = PasswordBatch::Encoding::Utf16;
    std::vector<QByteArray> tokens;
    QByteArray separator;
    QByteArray digits[10]; // each after its separator
    qsizetype longest = 0;

    Pieces(const QStringList &words, const QString &between, const QString &all)
    {
        if (std::all_of(all.begin(), all.end(), [](QChar c) { return c.unicode() <= 0xff; }))
            encoding = std::all_of(all.begin(), all.end(), [](QChar c) { return c.unicode() < 0x80; })
                           ? PasswordBatch::Encoding::Ascii
                           : PasswordBatch::Encoding::Latin1;
        for (const QString &word : words) {
            tokens.push_back(encoded(word));
            longest = std::max(longest, tokens.back().size());
        }
        separator = encoded(between);
        for (int d = 0; d < 10; ++d)
            digits[d] = encoded(between + QChar(char16_t(u'0' + d)));
    }
    QByteArray encoded(const QString &text) const
    {
        if (encoding != PasswordBatch::Encoding::Utf16)
            return text.toLatin1();
        return QByteArray(reinterpret_cast<const char *>(text.utf16()),
                          text.size() * qsizetype(sizeof(QChar)));
    }
};

} // namespace

std::variant<WordList, QString> readWordList(const QByteArray &text, const QString &source)
{
    WordList list;
    list.source = source;
    std::map<QString, qsizetype> seen; // each word's first line, as composed alike
    qsizetype line = 0;
    for (const QByteArray &bytes : text.split('\n')) {
        ++line;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString word = QString(decoder.decode(bytes)).trimmed();
        if (decoder.hasError())
            return lineFault(source, line, QStringLiteral("not UTF-8"));
        if (word.isEmpty())
            continue;
        if (std::any_of(word.begin(), word.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control; }))
            return lineFault(source, line, QStringLiteral("a word holds a control character"));
        const auto [first, added] = seen.emplace(word.normalized(QString::NormalizationForm_C), line);
        if (!added)
            return lineFault(
                source, line,
                QStringLiteral("\"%1\" repeats the word of line %2: each word must be there once")
                    .arg(word)
                    .arg(first->second));
        list.words << word;
        list.lines << line;
    }
    if (list.words.isEmpty())
        return QStringLiteral("%1: no word in it").arg(source);
    return list;
}

const WordList &effLongList()
{
    static const WordList list = [] {
        QFile file(QStringLiteral(":/wordlists/eff_large_wordlist.txt"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the shipped word list is missing");
        auto read = readWordList(file.readAll(), QStringLiteral("the EFF long list"));
        return std::get<WordList>(std::move(read));
    }();
    return list;
}

Passphrases::Passphrases(const WordList &list, const GenerationOptions &options)
    : m_list(list), m_words(options.wordCount.toInt()), m_separator(options.wordSeparator),
      m_digit(options.digitBetweenWords)
{
    for (const QString &word : list.words)
        m_tokens << (options.capitalizeWords ? capitalized(word) : word);
}

std::optional<QString> Passphrases::refusal() const
{
    if (m_digit && m_words < 2)
        return QStringLiteral("--digit goes between two words: give --words 2 or more");
    if (std::any_of(m_separator.begin(), m_separator.end(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
        return QStringLiteral("the separator holds a control character, which would break the lines");
    // Each word (and digit) followed by the separator: when none of these
    // begins another, a passphrase (and a separator after it) splits into
    // its words one way only. Sorted, a string that begins others comes
    // right before one of them.
    struct Token
    {
        QString text;
        qsizetype index; // the word's, or -1 - the digit
    };
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < m_tokens.size(); ++i)
        tokens.push_back({m_tokens[i] + m_separator, i});
    for (int d = 0; m_digit && d < 10; ++d)
        tokens.push_back({QString::number(d) + m_separator, -1 - d});
    std::sort(tokens.begin(), tokens.end(), [](const Token &a, const Token &b) { return a.text < b.text; });
    auto name = [&](const Token &token) {
        return token.index < 0 ? QStringLiteral("the digit %1").arg(-1 - token.index)
                               : QStringLiteral("the word \"%1\" (line %2)")
                                     .arg(m_list.words[token.index])
                                     .arg(m_list.lines[token.index]);
    };
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const Token &a = tokens[i], &b = tokens[i + 1];
        if (a.text == b.text)
            return QStringLiteral("%1: %2 and %3 read the same%4")
                .arg(m_list.source, name(a), name(b),
                     a.index >= 0 && b.index >= 0 ? QStringLiteral(" once capitalised") : QString());
        if (m_words > 1 && b.text.startsWith(a.text))
            return QStringLiteral(
                       "%1: %2%3 begins %4, so a passphrase could be read two ways, which silently "
                       "loses entropy: %5")
                .arg(m_list.source, name(a),
                     m_separator.isEmpty() ? QString()
                                           : QStringLiteral(" with the separator \"%1\"").arg(m_separator),
                     name(b),
                     m_separator.isEmpty() ? QStringLiteral("give a --separator")
                                           : QStringLiteral("choose another --separator"));
    }
    return std::nullopt;
}

double Passphrases::entropyBits() const
{
    const double digit = m_digit ? std::log2(10.0 * (m_words - 1)) : 0.0;
    return m_words * std::log2(double(m_tokens.size())) + digit;
}

QString Passphrases::characters() const
{
    return m_tokens.join(QString()) + m_separator + (m_digit ? QStringLiteral("0123456789") : QString());
}

void Passphrases::make(RandomSource &random, PasswordSink &sink, qint64 count, bool lineNumbers) const
{
    std::vector<quint32> bounds(std::size_t(m_words), quint32(m_tokens.size()));
    if (m_digit) {
        bounds.push_back(quint32(m_words - 1));
        bounds.push_back(10);
    }
    const Pieces pieces(m_tokens, m_separator, characters());
    // Room for the longest passphrase from the start: the buffer never moves
    // and leaves no copy behind.
    std::vector<char> phrase(
        std::size_t(m_words * (pieces.longest + pieces.separator.size()) + pieces.digits[0].size()));
    const std::size_t draws = bounds.size();
    std::vector<quint32> positions;
    for (qint64 first = 1; first <= count;) {
        const qsizetype rows = qsizetype(std::min<qint64>(count - first + 1, kRowsPerStretch));
        positions.resize(draws * std::size_t(rows));
        random.uniform(bounds, rows, positions.data());
        for (qsizetype r = 0; r < rows; ++r) {
            const quint32 *drawn = positions.data() + std::size_t(r) * draws;
            char *end = phrase.data();
            auto put = [&end](const QByteArray &piece) {
                std::memcpy(end, piece.constData(), std::size_t(piece.size()));
                end += piece.size();
            };
            for (qint32 w = 0; w < m_words; ++w) {
                if (w > 0)
                    put(pieces.separator);
                put(pieces.tokens[drawn[w]]);
                if (m_digit && drawn[m_words] == quint32(w))
                    put(pieces.digits[drawn[m_words + 1]]);
            }
            PasswordBatch batch;
            batch.encoding = pieces.encoding;
            batch.text = phrase.data();
            batch.rows = 1;
            batch.unitsPerRow = (end - phrase.data()) / (batch.isWide() ? 2 : 1);
            batch.firstLine = lineNumbers ? qint32(first + r) : 0;
            sink.append(batch);
        }
        first += rows;
    }
    wipe(phrase);
}

} // namespace zentavo
