#include "generator/passwordgenerator.h"

#include "core/errorreport.h"
#include "core/wipe.h"
#include "generator/bytedraws.h"
#include "generator/characterpool.h"
#include "generator/groups.h"
#include "generator/numbers.h"
#include "generator/passwordshape.h"
#include "generator/randomsource.h"
#include "generator/vowels.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <new>
#include <vector>

namespace zentavo {

namespace {

// The line numbers an error report quotes for the steps that the at-least
// and the plain loop share in shape.
struct Labels
{
    int loop;
    int length; // plain mode: with vowels removed; the other one is length + 2
    int lastDigit;
    int space;
    int rowWithNumber;
    int rowAlone;
    int progress;
};
constexpr Labels kAtLeastLabels{144, 180, 190, 196, 200, 204, 206};
constexpr Labels kPlainLabels{210, 218, 224, 230, 234, 238, 240};

// About this many characters are made between two yields: far below what a
// person notices, far above what a yield costs.
constexpr qsizetype kStretchCharacters = qsizetype(1) << 15;

// The length the passwords of a run will most likely have, for judging
// whether they fit; a length that cannot be read is reported later.
int expectedLength(const GenerationOptions &options)
{
    try {
        return std::max<int>(0, toInt16(options.passwordLength));
    } catch (const Failure &) {
        return 0;
    }
}

// The most bytes a character of the text takes in the list: Latin-1 text is
// kept at a byte a character, others take two, or four where a character is
// a surrogate pair.
int bytesPerCharacter(QStringView text)
{
    int most = 1;
    for (const QChar c : text)
        most = std::max(most, c.isSurrogate() ? 4 : c.unicode() > 0xff ? 2 : 1);
    return most;
}

// The shape of the passwords of a stretch as the drawing loop reads it:
// where each position's character comes from, worked out once for each
// stretch of unchanged options, not for each password.
struct Shape
{
    // One entry per drawn position; the positions from `leading` on share
    // one pool.
    std::vector<const CharacterPool *> pools;
    std::vector<quint32> bounds; // the pools' sizes, then the digit and space draws
    qsizetype length = 0;        // in characters
    qsizetype leading = 0;
    bool lastDigit = false; // the last character becomes one of `digits`
    const CharacterPool *digits = nullptr;
    bool space = false; // one position becomes a space
    qsizetype spaceFrom = 0;
    bool lineNumbers = false;
    char32_t widest = 0; // the largest character the passwords may hold
};

// Where each character stands in a pool, so that a draw can leave one
// character out by skipping its places.
class PoolIndex
{
public:
    static constexpr char32_t kNone = 0x110000; // no character at all

    explicit PoolIndex(const CharacterPool &pool) : m_pool(&pool)
    {
        for (qsizetype i = 0; i < pool.size(); ++i) {
            const char32_t c = pool.at(i);
            (c < m_small.size() ? m_small[c] : m_large[c]).push_back(quint32(i));
        }
    }

    // A character of the pool other than `left`, each of the others exactly
    // as likely as in the pool.
    char32_t draw(RandomSource &random, char32_t left) const
    {
        const std::vector<quint32> &skipped = places(left);
        quint32 k = random.uniform(quint32(m_pool->size() - qsizetype(skipped.size())));
        for (const quint32 place : skipped) // in order
            k += k >= place ? 1 : 0;
        return m_pool->at(k);
    }

private:
    const std::vector<quint32> &places(char32_t c) const
    {
        if (c < m_small.size())
            return m_small[c];
        const auto found = m_large.find(c);
        return found == m_large.end() ? m_nowhere : found->second;
    }

    const CharacterPool *m_pool;
    std::array<std::vector<quint32>, 256> m_small;
    std::map<char32_t, std::vector<quint32>> m_large;
    std::vector<quint32> m_nowhere;
};

} // namespace

// One run: its fixed part (pool, mode, count) and the current shape.
class PasswordGenerator::Run
{
public:
    Run(RandomSource &random, Procedure &procedure, PasswordSink &sink, const GenerationOptions &start)
        : m_random(random), m_procedure(procedure), m_sink(sink), m_atLeast(start.atLeastOneFromEachGroup),
          m_labels(m_atLeast ? kAtLeastLabels : kPlainLabels)
    {
        // The pool is fixed for the run; whether it is used without vowels
        // is read again as the run goes on.
        GenerationOptions withVowels = start;
        withVowels.removeVowels = false;
        m_pool = chooseGroups(withVowels).pool;
        m_poolWithoutVowels = RemoveVowels(m_pool);
        m_bytesPerCharacter = bytesPerCharacter(m_pool);
    }
    ~Run() { wipe(m_text); } // the last batch's passwords
    Run(const Run &) = delete;
    Run &operator=(const Run &) = delete;

    GenerationOutcome::End make(const GenerationOptions &start);
    const QString &refusal() const { return m_refusal; }

private:
    bool plan(const GenerationOptions &options);
    void planBytes();
    void finishFailures(const GenerationOptions &options);
    template <typename Unit> bool makeStretch(qint64 first, qsizetype rows);
    void drawBytes(qsizetype rows);
    template <typename Unit> void drawPositions(qsizetype rows);
    template <typename Unit> bool handStretch(qint64 first, qsizetype rows);
    void indexPools();
    template <typename Unit> void drawWithoutRepeats(Unit *text, qsizetype rows);
    bool hand(const PasswordBatch &batch);

    RandomSource &m_random;
    Procedure &m_procedure;
    PasswordSink &m_sink;
    const bool m_atLeast;
    const Labels &m_labels;
    QString m_pool, m_poolWithoutVowels;
    int m_bytesPerCharacter = 1;

    GenerationOptions m_options;
    PasswordShape m_described;
    Shape m_shape;
    // The shape's draws when every character fits in a byte; empty otherwise.
    ByteDraws m_byteDraws;
    // Without repeats: each span's characters (and the last digit's), with
    // where each character stands among them; each position's of them.
    std::vector<PoolIndex> m_indexes;
    std::vector<const PoolIndex *> m_positionIndexes;
    std::vector<quint32> m_positions;
    std::vector<char> m_text;
    QString m_refusal;
};

GenerationOutcome::End PasswordGenerator::Run::make(const GenerationOptions &start)
{
    // The number of passwords is fixed when the loop starts. A count that
    // cannot be read ends the run after its report.
    const std::optional<qint32> count =
        m_procedure.value(m_labels.loop, [&] { return toInt32(start.passwordCount); });
    if (!count)
        return GenerationOutcome::End::Stopped;
    // A request that cannot fit in memory is turned down before anything is
    // made, rather than failing half-way through.
    if (*count > 0) {
        if (std::optional<QString> refusal =
                m_sink.refuseRows(*count, expectedLength(start), m_bytesPerCharacter)) {
            m_refusal = *refusal;
            return GenerationOutcome::End::MemoryRefused;
        }
    }

    m_options = start;
    bool planned = false;
    for (qint64 first = 1; first <= *count;) {
        // The front end may change the options only while it is yielded to,
        // so reading them here is the same as reading them for each password.
        if (std::optional<GenerationOptions> changed = m_sink.yield()) {
            m_options = std::move(*changed);
            planned = false;
        }
        if (!planned) {
            if (!plan(m_options))
                return m_refusal.isEmpty() ? GenerationOutcome::End::Stopped
                                           : GenerationOutcome::End::LengthRefused;
            planned = true;
        }
        const qsizetype most =
            std::max<qsizetype>(1, kStretchCharacters / std::max<qsizetype>(1, m_shape.length));
        const qsizetype rows =
            qsizetype(std::min<qint64>({*count - first + 1, most, m_sink.rowsPerStretch()}));
        // A password whose digit or space cannot be placed is still made;
        // each such failure is told once.
        finishFailures(m_options);
        const bool made = m_shape.widest > 0xffff ? makeStretch<char32_t>(first, rows)
                          : m_shape.widest > 0xff ? makeStretch<char16_t>(first, rows)
                                                  : makeStretch<char>(first, rows);
        if (!made)
            return GenerationOutcome::End::Stopped;
        first += rows;
        m_procedure.step(m_labels.progress, [&] {
            const qint32 total = toInt32(m_options.passwordCount);
            if (total == 0)
                throw Failure(QCoreApplication::translate(
                    "zentavo::PasswordGenerator", "Division by zero: the number of passwords is now 0."));
            m_sink.progress(double(first - 1) / total * 100.0);
        });
    }
    return GenerationOutcome::End::Done;
}

bool PasswordGenerator::Run::plan(const GenerationOptions &options)
{
    QStringList leading;
    if (m_atLeast) {
        // One character of each chosen group, in group order, read as the
        // options are now.
        GenerationOptions now = options;
        now.atLeastOneFromEachGroup = true;
        leading = chooseGroups(now).leading;
    }
    const bool noVowels = options.removeVowels;
    const std::optional<qint16> length =
        m_procedure.value(m_atLeast ? m_labels.length : m_labels.length + (noVowels ? 0 : 2),
                          [&] { return toInt16(options.passwordLength); });
    if (!length)
        return false;

    m_described = shapePassword(leading, noVowels ? m_poolWithoutVowels : m_pool, *length, options);
    if (m_described.refusal) {
        m_refusal = *m_described.refusal;
        return false;
    }
    indexPools();
    Shape shape;
    for (const PasswordShape::Span &span : m_described.spans) {
        shape.pools.insert(shape.pools.end(), std::size_t(span.positions), &span.characters);
        shape.bounds.insert(shape.bounds.end(), std::size_t(span.positions), quint32(span.characters.size()));
        shape.widest = std::max(shape.widest, span.characters.widest());
    }
    shape.length = m_described.length;
    shape.leading = shape.length - (m_described.spans.empty() ? 0 : m_described.spans.back().positions);
    // The digit is drawn first, so the space may still land on it.
    shape.lastDigit = m_described.lastDigit.has_value();
    if (shape.lastDigit) {
        shape.digits = &*m_described.lastDigit;
        shape.bounds.push_back(quint32(shape.digits->size()));
    }
    shape.space = m_described.space;
    shape.spaceFrom = m_described.spaceFrom;
    if (shape.space)
        shape.bounds.push_back(quint32(shape.length - shape.spaceFrom));
    shape.lineNumbers = options.showLineNumbers;
    m_shape = std::move(shape);
    planBytes();
    return true;
}

void PasswordGenerator::Run::planBytes()
{
    m_byteDraws = ByteDraws();
    const Shape &shape = m_shape;
    // Drawing without repeats reads each character before the next; a space
    // after the first character has its position at most 256.
    const bool fit =
        shape.length > 0 && shape.widest <= 0xff && !m_described.noRepeat &&
        (!shape.space || shape.length <= 256) &&
        std::all_of(shape.bounds.begin(), shape.bounds.end(), [](quint32 n) { return n >= 1 && n <= 256; });
    if (!fit)
        return;
    std::vector<unsigned char> alphabet;
    auto add = [&](const CharacterPool &pool, qsizetype count) {
        alphabet.resize(std::size_t(pool.size()));
        for (qsizetype k = 0; k < pool.size(); ++k)
            alphabet[std::size_t(k)] = (unsigned char)pool.at(k);
        m_byteDraws.add(alphabet, count);
    };
    for (const PasswordShape::Span &span : m_described.spans)
        add(span.characters, span.positions);
    if (shape.lastDigit)
        add(*shape.digits, 1);
    if (shape.space) {
        // The space's position, a byte like the characters.
        alphabet.resize(std::size_t(shape.length - shape.spaceFrom));
        for (std::size_t k = 0; k < alphabet.size(); ++k)
            alphabet[k] = (unsigned char)(std::size_t(shape.spaceFrom) + k);
        m_byteDraws.add(alphabet, 1);
    }
}

void PasswordGenerator::Run::finishFailures(const GenerationOptions &options)
{
    if (m_shape.length > 0)
        return;
    if (options.lastCharacterDigit)
        m_procedure.report(
            m_labels.lastDigit,
            QCoreApplication::translate("zentavo::PasswordGenerator",
                                        "The password is empty: it has no last character to make a digit."));
    if (options.includeSpace)
        m_procedure.report(
            m_labels.space,
            QCoreApplication::translate("zentavo::PasswordGenerator",
                                        "The password is empty: it has no character to make a space."));
}

template <typename Unit> bool PasswordGenerator::Run::makeStretch(qint64 first, qsizetype rows)
{
    if (m_described.noRepeat) {
        m_text.resize(std::size_t(m_shape.length * rows) * sizeof(Unit));
        drawWithoutRepeats(reinterpret_cast<Unit *>(m_text.data()), rows);
        return handStretch<Unit>(first, rows);
    }
    if constexpr (sizeof(Unit) == 1) {
        if (m_byteDraws.size() > 0) {
            drawBytes(rows);
            return handStretch<Unit>(first, rows);
        }
    }
    drawPositions<Unit>(rows);
    return handStretch<Unit>(first, rows);
}

void PasswordGenerator::Run::drawBytes(qsizetype rows)
{
    // The source writes the passwords' text itself, with the last digit and
    // the space drawn after each password's characters; they take their
    // places here and the rows close up.
    const Shape &shape = m_shape;
    const qsizetype length = shape.length;
    const qsizetype draws = m_byteDraws.size();
    m_text.resize(std::size_t(draws * rows + ByteDraws::kSlack));
    auto *text = reinterpret_cast<unsigned char *>(m_text.data());
    m_random.drawBytes(m_byteDraws, rows, text);
    if (draws == length)
        return;
    for (qsizetype r = 0; r < rows; ++r) {
        unsigned char *password = text + r * draws;
        qsizetype next = length;
        if (shape.lastDigit)
            password[length - 1] = password[next++];
        if (shape.space)
            password[password[next]] = ' ';
        std::memmove(text + r * length, password, std::size_t(length));
    }
}

template <typename Unit> void PasswordGenerator::Run::drawPositions(qsizetype rows)
{
    const Shape &shape = m_shape;
    // The passwords are built in place, end to end, at the width they are
    // kept in.
    const qsizetype length = shape.length;
    m_text.resize(std::size_t(length * rows) * sizeof(Unit));
    Unit *text = reinterpret_cast<Unit *>(m_text.data());
    const qsizetype draws = qsizetype(shape.bounds.size());
    m_positions.resize(std::size_t(draws * rows));
    if (draws > 0)
        m_random.uniform(shape.bounds, rows, m_positions.data());
    const qsizetype leading = shape.leading;
    for (qsizetype r = 0; r < rows; ++r) {
        const quint32 *position = m_positions.data() + r * draws;
        Unit *password = text + r * length;
        for (qsizetype k = 0; k < leading; ++k)
            password[k] = Unit(shape.pools[std::size_t(k)]->at(position[k]));
        if (leading < length) {
            const CharacterPool &pool = *shape.pools[std::size_t(leading)];
            for (qsizetype k = leading; k < length; ++k)
                password[k] = Unit(pool.at(position[k]));
        }
        qsizetype next = length;
        if (shape.lastDigit)
            password[length - 1] = Unit(shape.digits->at(position[next++]));
        if (shape.space)
            password[shape.spaceFrom + position[next]] = Unit(u' ');
    }
}

template <typename Unit> bool PasswordGenerator::Run::handStretch(qint64 first, qsizetype rows)
{
    const Shape &shape = m_shape;
    const qsizetype length = shape.length;
    const Unit *text = reinterpret_cast<const Unit *>(m_text.data());
    PasswordBatch batch;
    batch.firstLine = shape.lineNumbers ? qint32(first) : 0;
    if constexpr (sizeof(Unit) == 4) {
        // Characters outside the basic plane take two units, so these
        // passwords differ in width: each goes on its own.
        std::u16string password;
        for (qsizetype r = 0; r < rows; ++r) {
            password.clear();
            for (qsizetype k = 0; k < length; ++k) {
                const char32_t c = text[r * length + k];
                if (c > 0xffff)
                    password += {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
                else
                    password += char16_t(c);
            }
            batch.encoding = PasswordBatch::Encoding::Utf16;
            batch.text = password.data();
            batch.rows = 1;
            batch.unitsPerRow = qsizetype(password.size());
            batch.firstLine = shape.lineNumbers ? qint32(first + r) : 0;
            if (!hand(batch))
                return false;
        }
        return true;
    } else {
        batch.encoding = sizeof(Unit) == 2     ? PasswordBatch::Encoding::Utf16
                         : shape.widest < 0x80 ? PasswordBatch::Encoding::Ascii
                                               : PasswordBatch::Encoding::Latin1;
        batch.text = text;
        batch.rows = rows;
        batch.unitsPerRow = length;
        return hand(batch);
    }
}

void PasswordGenerator::Run::indexPools()
{
    m_indexes.clear();
    m_positionIndexes.clear();
    if (!m_described.noRepeat)
        return;
    for (const PasswordShape::Span &span : m_described.spans)
        m_indexes.emplace_back(span.characters);
    if (m_described.lastDigit)
        m_indexes.emplace_back(*m_described.lastDigit);
    for (std::size_t i = 0; i < m_described.spans.size(); ++i)
        m_positionIndexes.insert(m_positionIndexes.end(), std::size_t(m_described.spans[i].positions),
                                 &m_indexes[i]);
    if (m_described.lastDigit)
        m_positionIndexes.back() = &m_indexes.back();
}

template <typename Unit> void PasswordGenerator::Run::drawWithoutRepeats(Unit *text, qsizetype rows)
{
    const qsizetype length = m_shape.length;
    for (qsizetype r = 0; r < rows; ++r) {
        Unit *password = text + r * length;
        // The space's position first: the characters around it follow it as
        // they would any other.
        const qsizetype space =
            m_shape.space
                ? m_shape.spaceFrom + qsizetype(m_random.uniform(quint32(length - m_shape.spaceFrom)))
                : -1;
        char32_t before = PoolIndex::kNone;
        for (qsizetype k = 0; k < length; ++k) {
            before = k == space ? U' ' : m_positionIndexes[std::size_t(k)]->draw(m_random, before);
            password[k] = Unit(before);
        }
    }
}

bool PasswordGenerator::Run::hand(const PasswordBatch &batch)
{
    // Memory that runs out ends the run; the rows made so far stay.
    return m_procedure
        .value(batch.firstLine != 0 ? m_labels.rowWithNumber : m_labels.rowAlone,
               [&] {
                   try {
                       m_sink.append(batch);
                   } catch (const std::bad_alloc &) {
                       throw Failure(QCoreApplication::translate(
                           "zentavo::PasswordGenerator",
                           "Out of memory: there is no room for more passwords. The run "
                           "stopped here; the passwords made so far stay in the list."));
                   }
                   return true;
               })
        .has_value();
}

PasswordGenerator::PasswordGenerator(RandomSource &random, ErrorReport &report)
    : m_random(random), m_report(report)
{
}

GenerationOutcome PasswordGenerator::run(const GenerationOptions &options, PasswordSink &sink)
{
    if (m_isGenerating)
        return {GenerationOutcome::End::Ignored, {}};
    m_isGenerating = true;
    // Cleared however the run ends, also when the front end goes away.
    struct ClearFlag
    {
        bool &flag;
        ~ClearFlag() { flag = false; }
    } clearFlag{m_isGenerating};

    // The pool, the number of chosen groups and the mode are fixed for the run.
    const GroupChoice choice = chooseGroups(options);
    if (choice.lengthRefusal)
        return {GenerationOutcome::End::LengthRefused, *choice.lengthRefusal};

    Procedure procedure(m_report, procedurePath());
    Run run(m_random, procedure, sink, options);
    try {
        const GenerationOutcome::End end = run.make(options);
        return {end, run.refusal()};
    } catch (const Abandoned &) {
        return {GenerationOutcome::End::Abandoned, {}};
    }
}

} // namespace zentavo
