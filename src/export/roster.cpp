#include "export/roster.h"

#include "core/wipe.h"
#include "export/accountname.h"

#include <QStringDecoder>
#include <algorithm>
#include <optional>

namespace zentavo {

namespace {

// The platforms' own words, from their bulk imports' templates and help.
constexpr PlatformRules kPlatforms[] = {
    {RosterPlatform::Any, "the roster", nullptr, "Password", nullptr, 0, 0, 0, 0, false, false, nullptr,
     nullptr},
    {RosterPlatform::Google, "Google Workspace", "Email Address [Required]", "Password [Required]", nullptr,
     8, 0, 0, 150000, true, false, nullptr, "****"},
    {RosterPlatform::Entra, "Microsoft Entra", "User name [userPrincipalName] Required",
     "Initial password [passwordProfile] Required", "version:v1.0", 8, 256, 3, 0, false, true,
     "Example:", nullptr},
    {RosterPlatform::Moodle, "Moodle", "username", "password", nullptr, 0, 0, 0, 0, false, false, nullptr,
     nullptr},
};

enum class Problem {
    NotUtf8,
    NoHeader,
    NoLeadingLine,
    UnterminatedQuote,
    TooManyCells,
    NoColumn,
    SameColumn,
    EmptyName,
    Name,
    PasswordFilled,
    StrayBlank,
    NeedsBom,
    TooManyRows,
    NoRows,
    Short,
    Long,
    FewKinds,
};

// Every reason a roster is refused, and what the user reads (the line
// number is put before it).
struct ProblemText
{
    Problem problem;
    const char *text;
};
constexpr ProblemText kProblems[] = {
    {Problem::NotUtf8, "not UTF-8 text: save the roster as CSV in UTF-8"},
    {Problem::NoHeader, "no header line"},
    {Problem::NoLeadingLine, "%1's template starts with the line \"%2\""},
    {Problem::UnterminatedQuote, "the quote that opens a cell here is never closed"},
    {Problem::TooManyCells, "the row has %1 cells, more than the header's %2"},
    {Problem::NoColumn, "the header has no column \"%1\", which %2's template has"},
    {Problem::SameColumn, "the passwords and their hashes cannot share the column \"%1\""},
    {Problem::EmptyName, "the name (column \"%1\") is empty"},
    {Problem::Name, "%1"},
    {Problem::PasswordFilled,
     "the column \"%1\" already holds a value: give --replace-passwords to replace what it holds"},
    {Problem::StrayBlank, "%1 starts or ends with a blank, which breaks %2's import"},
    {Problem::NeedsBom,
     "%1 reads text outside ASCII only from UTF-8 with a byte order mark: save the roster as \"CSV UTF-8\""},
    {Problem::TooManyRows, "%1 takes at most %2 rows a file: split the roster"},
    {Problem::NoRows, "no row below the header"},
    {Problem::Short, "a password of %1 characters is shorter than the %2 that %3 takes at least"},
    {Problem::Long, "a password of %1 characters is longer than the %2 that %3 takes at most"},
    {Problem::FewKinds, "%1 takes a password with characters of %2 of the four kinds (a - z, A - Z, 0 - 9, "
                        "others); this one has %3: choose more character groups, --capitalize or --digit"},
};

RosterRefusal refuse(Problem problem, qsizetype line, const QStringList &values = {})
{
    const auto *found = std::find_if(std::begin(kProblems), std::end(kProblems),
                                     [problem](const ProblemText &p) { return p.problem == problem; });
    // In one pass, so that a value holding "%2" stays as it is.
    const QByteArrayView pattern(found->text);
    QString text;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const qsizetype n = pattern[i] == '%' && i + 1 < pattern.size() ? pattern[i + 1] - '0' : -1;
        if (n >= 1 && n <= values.size()) {
            text += values[n - 1];
            ++i;
        } else {
            text += QLatin1Char(pattern[i]);
        }
    }
    return {line, text};
}

bool hasStrayBlank(QStringView text)
{
    return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

// The line of the first byte that is not UTF-8, or nothing.
std::optional<qsizetype> firstLineNotUtf8(const QByteArray &bytes)
{
    QStringDecoder whole(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)QString(whole.decode(bytes));
    if (!whole.hasError())
        return std::nullopt;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        (void)QString(decoder.decode(lines[i]));
        if (decoder.hasError())
            return i + 1;
    }
    return lines.size();
}

} // namespace

const PlatformRules &platformRules(RosterPlatform platform)
{
    return kPlatforms[int(platform)];
}

QString Roster::value(const Cell &cell) const
{
    const QByteArrayView raw(m_bytes.constData() + cell.start, cell.end - cell.start);
    if (!raw.startsWith('"'))
        return QString::fromUtf8(raw);
    // "a ""b"" c" reads a "b" c; what follows the closing quote is kept.
    QByteArray text;
    for (qsizetype i = 1; i < raw.size(); ++i) {
        if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"')
            text += raw[++i];
        else if (raw[i] != '"')
            text += raw[i];
    }
    return QString::fromUtf8(text);
}

const Roster::Cell *Roster::cell(const Record &record, qsizetype column) const
{
    return column < record.cells ? &m_cells[std::size_t(record.firstCell + column)] : nullptr;
}

// Reads the records of a roster, then checks them against the settings.
class RosterReader
{
public:
    RosterReader(Roster &roster, const RosterSettings &settings) : m_roster(roster), m_settings(settings) {}

    std::optional<RosterRefusal> read()
    {
        if (const auto line = firstLineNotUtf8(m_roster.m_bytes))
            return refuse(Problem::NotUtf8, *line);
        qsizetype at = 0;
        qsizetype line = 1;
        if (auto refusal = skipLeadingLine(at, line))
            return refusal;
        if (at >= m_roster.m_bytes.size())
            return refuse(Problem::NoHeader, line);
        m_roster.m_delimiter = delimiter(at);
        while (at < m_roster.m_bytes.size()) {
            if (auto refusal = record(at, line))
                return refusal;
        }
        if (auto refusal = findColumns())
            return refusal;
        return checkRows();
    }

private:
    // Entra's template has a line above its header; a file that starts with
    // one of its kind keeps it there.
    std::optional<RosterRefusal> skipLeadingLine(qsizetype &at, qsizetype &line)
    {
        const QByteArray &bytes = m_roster.m_bytes;
        const qsizetype end = bytes.indexOf('\n');
        QByteArrayView first(bytes.constData(), end < 0 ? bytes.size() : end);
        while (!first.isEmpty() && QByteArrayView(",;\t\r").contains(first.back()))
            first.chop(1);
        const char *expected = m_roster.m_rules->leadingLine;
        if (expected ? first != QByteArrayView(expected) : !first.startsWith("version:"))
            return expected ? std::optional(refuse(Problem::NoLeadingLine, 1,
                                                   {QString::fromLatin1(m_roster.m_rules->name),
                                                    QString::fromLatin1(expected)}))
                            : std::nullopt;
        at = end < 0 ? bytes.size() : end + 1;
        line = 2;
        return std::nullopt;
    }

    // The one of , ; TAB the header line holds most often outside quotes.
    char delimiter(qsizetype at) const
    {
        int counts[3] = {0, 0, 0};
        const char candidates[] = {',', ';', '\t'};
        bool quoted = false;
        for (; at < m_roster.m_bytes.size() && (quoted || m_roster.m_bytes[at] != '\n'); ++at) {
            const char c = m_roster.m_bytes[at];
            if (c == '"')
                quoted = !quoted;
            for (int i = 0; i < 3 && !quoted; ++i)
                counts[i] += c == candidates[i];
        }
        return candidates[std::max_element(counts, counts + 3) - counts];
    }

    // One record from `at`, which moves past its line end.
    std::optional<RosterRefusal> record(qsizetype &at, qsizetype &line)
    {
        const QByteArray &bytes = m_roster.m_bytes;
        const qsizetype size = bytes.size();
        Roster::Record record{at, at, at, qsizetype(m_roster.m_cells.size()), 0, line, false};
        for (;;) {
            const qsizetype start = at;
            if (at < size && bytes[at] == '"') {
                const qsizetype opened = line;
                for (++at;; ++at) {
                    if (at >= size)
                        return refuse(Problem::UnterminatedQuote, opened);
                    if (bytes[at] == '\n')
                        ++line;
                    if (bytes[at] == '"' && !(at + 1 < size && bytes[at + 1] == '"'))
                        break;
                    if (bytes[at] == '"')
                        ++at;
                }
            }
            while (at < size && bytes[at] != m_roster.m_delimiter && bytes[at] != '\n')
                ++at;
            const bool lineEnds = at >= size || bytes[at] == '\n';
            qsizetype end = at;
            if (lineEnds && end > start && bytes[end - 1] == '\r')
                --end;
            m_roster.m_cells.push_back({start, end});
            ++record.cells;
            if (lineEnds) {
                record.end = end;
                record.next = at < size ? at + 1 : at;
                at = record.next;
                ++line;
                m_roster.m_records.push_back(record);
                return std::nullopt;
            }
            ++at;
        }
    }

    qsizetype column(const QString &title) const
    {
        const Roster::Record &header = m_roster.m_records.front();
        for (qsizetype c = 0; c < header.cells; ++c) {
            if (m_roster.value(*m_roster.cell(header, c)) == title)
                return c;
        }
        return -1;
    }

    // The password's column must be in a platform's header; elsewhere it
    // and the hashes' column are added at its end.
    std::optional<RosterRefusal> findColumns()
    {
        const PlatformRules &rules = *m_roster.m_rules;
        const Roster::Record &header = m_roster.m_records.front();
        const QString password = m_settings.passwordColumn.isEmpty()
                                     ? QString::fromLatin1(rules.passwordColumn)
                                     : m_settings.passwordColumn;
        const QString platform = QString::fromLatin1(rules.name);
        if (rules.nameColumn) {
            m_nameColumn = column(QString::fromLatin1(rules.nameColumn));
            if (m_nameColumn < 0)
                return refuse(Problem::NoColumn, header.line,
                              {QString::fromLatin1(rules.nameColumn), platform});
        }
        qsizetype width = header.cells;
        const auto place = [&](const QString &title) {
            const qsizetype found = column(title);
            if (found >= 0)
                return found;
            m_roster.m_addedColumns << title;
            return width++;
        };
        if (rules.platform != RosterPlatform::Any && m_settings.passwordColumn.isEmpty() &&
            column(password) < 0)
            return refuse(Problem::NoColumn, header.line, {password, platform});
        m_roster.m_passwordColumn = place(password);
        m_roster.m_hashColumn = m_settings.hashColumn.isEmpty() ? -1 : place(m_settings.hashColumn);
        if (m_roster.m_hashColumn == m_roster.m_passwordColumn)
            return refuse(Problem::SameColumn, header.line, {password});
        m_passwordTitle = password;
        return std::nullopt;
    }

    std::optional<RosterRefusal> checkRows()
    {
        const PlatformRules &rules = *m_roster.m_rules;
        const QString platform = QString::fromLatin1(rules.name);
        const Roster::Record &header = m_roster.m_records.front();
        if (rules.bomBeyondAscii && !m_roster.m_bom) {
            const auto *beyond = std::find_if(m_roster.m_bytes.cbegin(), m_roster.m_bytes.cend(),
                                              [](char c) { return c < 0; });
            if (beyond != m_roster.m_bytes.cend())
                return refuse(Problem::NeedsBom,
                              1 + m_roster.m_bytes.first(beyond - m_roster.m_bytes.cbegin()).count('\n'),
                              {platform});
        }
        AccountNameCheck names(AccountNameCheck::Use::Spreadsheet);
        qsizetype rows = 0;
        if (auto refusal = strayBlank(header))
            return refusal;
        for (Roster::Record &record : m_roster.m_records) {
            if (&record == &header)
                continue;
            if (record.cells > header.cells)
                return refuse(Problem::TooManyCells, record.line,
                              {QString::number(record.cells), QString::number(header.cells)});
            const auto first = m_roster.m_cells.begin() + record.firstCell;
            record.filled = std::any_of(first, first + record.cells,
                                        [](const Roster::Cell &c) { return c.end > c.start; }) &&
                            !leftAlone(record);
            if (!record.filled)
                continue;
            if (auto refusal = strayBlank(record))
                return refusal;
            if (rules.mostRows > 0 && ++rows > rules.mostRows)
                return refuse(Problem::TooManyRows, record.line, {platform, QString::number(rules.mostRows)});
            if (auto refusal = checkRow(record, names))
                return refusal;
        }
        if (m_roster.m_names.isEmpty())
            return refuse(Problem::NoRows, header.line);
        return std::nullopt;
    }

    // A row the platform's import does not take as an account to make.
    bool leftAlone(const Roster::Record &record) const
    {
        const PlatformRules &rules = *m_roster.m_rules;
        const Roster::Cell *password = m_roster.cell(record, m_roster.m_passwordColumn);
        const bool example =
            rules.exampleRow &&
            m_roster.value(*m_roster.cell(record, 0)).startsWith(QLatin1String(rules.exampleRow));
        return example || (rules.keptPassword && password &&
                           m_roster.value(*password) == QLatin1String(rules.keptPassword));
    }

    std::optional<RosterRefusal> strayBlank(const Roster::Record &record) const
    {
        if (!m_roster.m_rules->noStrayBlanks)
            return std::nullopt;
        for (qsizetype c = 0; c < record.cells; ++c) {
            const QString text = m_roster.value(*m_roster.cell(record, c));
            if (hasStrayBlank(text))
                return refuse(Problem::StrayBlank, record.line,
                              {QLatin1Char('"') + text + QLatin1Char('"'),
                               QString::fromLatin1(m_roster.m_rules->name)});
        }
        return std::nullopt;
    }

    std::optional<RosterRefusal> checkRow(const Roster::Record &record, AccountNameCheck &names)
    {
        const Roster::Cell *nameCell = m_roster.cell(record, m_nameColumn);
        const QString name = nameCell ? m_roster.value(*nameCell) : QString();
        if (name.isEmpty()) {
            const Roster::Record &header = m_roster.m_records.front();
            return refuse(Problem::EmptyName, record.line,
                          {m_roster.value(*m_roster.cell(header, m_nameColumn))});
        }
        const QString why = names.refusal(name, record.line);
        if (!why.isEmpty())
            return refuse(Problem::Name, record.line, {why});
        for (const qsizetype filled : {m_roster.m_passwordColumn, m_roster.m_hashColumn}) {
            const Roster::Cell *cell = filled >= 0 ? m_roster.cell(record, filled) : nullptr;
            if (cell && !m_settings.replacePasswords && !m_roster.value(*cell).isEmpty())
                return refuse(
                    Problem::PasswordFilled, record.line,
                    {filled == m_roster.m_passwordColumn ? m_passwordTitle : m_settings.hashColumn});
        }
        m_roster.m_names << name;
        return std::nullopt;
    }

    Roster &m_roster;
    const RosterSettings &m_settings;
    qsizetype m_nameColumn = 0;
    QString m_passwordTitle;
};

std::variant<Roster, RosterRefusal> Roster::read(QByteArray bytes, const RosterSettings &settings)
{
    Roster roster;
    roster.m_rules = &platformRules(settings.platform);
    roster.m_bom = bytes.startsWith("\xEF\xBB\xBF");
    if (roster.m_bom)
        bytes.remove(0, 3);
    roster.m_bytes = std::move(bytes);
    RosterReader reader(roster, settings);
    if (auto refusal = reader.read())
        return *std::move(refusal);
    return roster;
}

Roster::~Roster()
{
    wipe(m_bytes);
}

RosterWriter::RosterWriter(ByteSink &sink, const Roster &roster) : m_sink(sink), m_roster(roster) {}

RosterWriter::~RosterWriter()
{
    wipe(m_out);
    wipe(m_password);
    wipe(m_hash);
}

void RosterWriter::reserve(qsizetype size)
{
    if (m_used + size <= m_out.size())
        return;
    // Grown by hand, never in place: a move would leave passwords behind.
    QByteArray larger(std::max(2 * (m_used + size), m_roster.m_bytes.size() * 2 + 4096), Qt::Uninitialized);
    std::memcpy(larger.data(), m_out.constData(), std::size_t(m_used));
    wipe(m_out);
    m_out = std::move(larger);
}

void RosterWriter::put(const char *data, qsizetype size)
{
    reserve(size);
    std::memcpy(m_out.data() + m_used, data, std::size_t(size));
    m_used += size;
}

void RosterWriter::putCell(QStringView text, bool quoted)
{
    const QChar delimiter = QLatin1Char(m_roster.m_delimiter);
    quoted = quoted || std::any_of(text.begin(), text.end(), [delimiter](QChar c) {
                 return c == delimiter || c == u'"' || c == u'\r' || c == u'\n';
             });
    if (quoted)
        put("\"", 1);
    qsizetype from = 0;
    while (from <= text.size()) {
        qsizetype quote = quoted ? text.indexOf(u'"', from) : -1;
        const QStringView piece = text.mid(from, (quote < 0 ? text.size() : quote) - from);
        reserve(m_encoder.requiredSpace(piece.size()));
        m_used = m_encoder.appendToBuffer(m_out.data() + m_used, piece) - m_out.data();
        if (quote < 0)
            break;
        put("\"\"", 2);
        from = quote + 1;
    }
    if (quoted)
        put("\"", 1);
}

void RosterWriter::begin()
{
    if (m_roster.m_bom)
        put("\xEF\xBB\xBF", 3);
    const Roster::Record &header = m_roster.m_records.front();
    putRaw(0, header.end);
    for (const QString &title : m_roster.m_addedColumns) {
        put(&m_roster.m_delimiter, 1);
        putCell(title, false);
    }
    putRaw(header.end, header.next);
}

void RosterWriter::putRecordsBefore(qsizetype record)
{
    for (; m_nextRecord < record; ++m_nextRecord) {
        const Roster::Record &kept = m_roster.m_records[std::size_t(m_nextRecord)];
        putRaw(kept.start, kept.next);
    }
}

void RosterWriter::row(Cells cells)
{
    qsizetype index = m_nextRecord;
    while (!m_roster.m_records[std::size_t(index)].filled)
        ++index;
    putRecordsBefore(index);
    const Roster::Record &record = m_roster.m_records[std::size_t(index)];
    m_password.truncate(0);
    reserveWiping(m_password, cells[1].size());
    appendCell(m_password, cells[1]);
    check(record, m_password);
    m_hash.truncate(0);
    if (m_roster.m_hashColumn >= 0)
        appendCell(m_hash, cells[2]);

    // The cells filled in, left to right; a row shorter than the header
    // gains empty cells up to them.
    std::pair<qsizetype, const QString *> filled[] = {{m_roster.m_passwordColumn, &m_password},
                                                      {m_roster.m_hashColumn, &m_hash}};
    if (filled[1].first >= 0 && filled[1].first < filled[0].first)
        std::swap(filled[0], filled[1]);
    qsizetype at = record.start;
    qsizetype width = record.cells;
    for (const auto &[column, text] : filled) {
        if (column < 0)
            continue;
        if (const Roster::Cell *cell = m_roster.cell(record, column)) {
            putRaw(at, cell->start);
            putCell(*text, m_roster.m_bytes[cell->start] == '"');
            at = cell->end;
            continue;
        }
        putRaw(at, record.end);
        at = record.end;
        for (; width <= column; ++width)
            put(&m_roster.m_delimiter, 1);
        putCell(*text, false);
    }
    putRaw(at, record.next);
    m_nextRecord = index + 1;
}

void RosterWriter::check(const Roster::Record &record, QStringView password) const
{
    const PlatformRules &rules = m_roster.rules();
    const QString platform = QString::fromLatin1(rules.name);
    qsizetype characters = 0;
    bool kinds[4] = {false, false, false, false};
    bool beyondAscii = false;
    for (qsizetype i = 0; i < password.size(); ++i) {
        const QChar c = password[i];
        characters += !c.isLowSurrogate();
        beyondAscii = beyondAscii || c.unicode() >= 0x80;
        kinds[c.isLower() ? 0 : c.isUpper() ? 1 : c.isDigit() ? 2 : 3] = true;
    }
    if (rules.shortest > 0 && characters < rules.shortest)
        throw refuse(Problem::Short, record.line,
                     {QString::number(characters), QString::number(rules.shortest), platform});
    if (rules.longest > 0 && characters > rules.longest)
        throw refuse(Problem::Long, record.line,
                     {QString::number(characters), QString::number(rules.longest), platform});
    const int kindCount = int(std::count(kinds, kinds + 4, true));
    if (kindCount < rules.kinds)
        throw refuse(Problem::FewKinds, record.line,
                     {platform, QString::number(rules.kinds), QString::number(kindCount)});
    if (rules.noStrayBlanks && hasStrayBlank(password))
        throw refuse(Problem::StrayBlank, record.line, {QStringLiteral("a password"), platform});
    if (rules.bomBeyondAscii && beyondAscii && !m_roster.m_bom)
        throw refuse(Problem::NeedsBom, record.line, {platform});
}

void RosterWriter::finish()
{
    putRecordsBefore(qsizetype(m_roster.m_records.size()));
    constexpr qsizetype kBlock = qsizetype(1) << 16;
    for (qsizetype at = 0; at < m_used; at += kBlock)
        m_sink.write(m_out.constData() + at, std::min(kBlock, m_used - at));
}

} // namespace zentavo
