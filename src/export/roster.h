#pragma once

#include "export/rowwriter.h"
#include "export/textblocks.h"

#include <QByteArray>
#include <QStringEncoder>
#include <QStringList>
#include <variant>
#include <vector>

namespace zentavo {

// The platforms whose bulk import reads a roster the administrator filled in.
enum class RosterPlatform { Any, Google, Entra, Moodle };

// What a platform's import wants of the file and of the passwords in it.
// One row a platform (platformRules()), read by the roster's checks and the
// writer's.
struct PlatformRules // NOLINT(clang-analyzer-optin.performance.Padding): a few rows, read in this order
{
    RosterPlatform platform;
    const char *name;           // as the platform calls itself, for messages
    const char *nameColumn;     // the account's column; nullptr: the first one
    const char *passwordColumn; // where the passwords go unless told otherwise
    const char *leadingLine;    // the line the template has above its header
    qsizetype shortest;         // characters a password has at least (0: any)
    qsizetype longest;          // and at most (0: any)
    int kinds;                  // of a - z, A - Z, 0 - 9 and the others, at least
    qsizetype mostRows;         // rows one file may hold (0: any)
    bool bomBeyondAscii;        // text outside ASCII needs a byte order mark
    bool noStrayBlanks;         // a blank at either end of a cell breaks the import
    // A row the import leaves alone, kept as it is: its first cell starts
    // so (Entra's examples row), or its password cell holds this (Google's
    // **** keeps an existing account's password).
    const char *exampleRow;
    const char *keptPassword;
};
const PlatformRules &platformRules(RosterPlatform platform);

// What a roster run asks of the file.
struct RosterSettings
{
    RosterPlatform platform = RosterPlatform::Any;
    QString passwordColumn; // empty: the platform's
    QString hashColumn;     // empty: no hashes
    bool replacePasswords = false;
};

// Why a roster cannot be used: the line of the file it was found on (the
// first line is 1) and what to tell the user. Not a std::exception: no step
// of a generation run may take it for a failure to report and carry on.
struct RosterRefusal
{
    qsizetype line;
    QString message;
};

// The administrator's CSV (RFC 4180, UTF-8 with or without a byte order
// mark, `,` `;` or TAB as the header line has them, CR LF or LF), read so
// that it can be written back byte for byte with only the passwords (and
// hashes) filled in. The lines above the header (Entra's `version:v1.0`)
// are kept as they are, and so are rows whose every cell is empty and rows
// the platform leaves alone.
class Roster
{
public:
    // The file's bytes; the refusal of the first thing wrong with them.
    static std::variant<Roster, RosterRefusal> read(QByteArray bytes, const RosterSettings &settings);
    // The file may hold old passwords (replaced ones): wiped at the end.
    ~Roster();
    Roster(Roster &&) = default;
    Roster &operator=(Roster &&) = default;
    Roster(const Roster &) = delete;
    Roster &operator=(const Roster &) = delete;

    // The name of each row to fill, in the file's order.
    const QStringList &names() const { return m_names; }
    const PlatformRules &rules() const { return *m_rules; }

private:
    friend class RosterWriter;
    friend class RosterReader;

    struct Cell
    {
        qsizetype start, end; // its bytes, quotes included
    };
    struct Record
    {
        qsizetype start, end, next; // its bytes, then the line end's
        qsizetype firstCell, cells;
        qsizetype line;
        bool filled; // a row that gets a password
    };

    Roster() = default;
    QString value(const Cell &cell) const;
    const Cell *cell(const Record &record, qsizetype column) const;

    QByteArray m_bytes; // without the byte order mark
    bool m_bom = false;
    char m_delimiter = ',';
    const PlatformRules *m_rules = nullptr;
    std::vector<Cell> m_cells;
    std::vector<Record> m_records; // the header first
    qsizetype m_passwordColumn = 0;
    qsizetype m_hashColumn = -1; // -1: no hashes
    QStringList m_addedColumns;  // the titles the header gains at its end
    QStringList m_names;
};

// Writes a roster back with a password (and a hash) in each row to fill:
// every other byte as it was, the cells it fills quoted only where the
// delimiter, a quote or a line break needs it, or where the cell was quoted.
// Takes the account rows' cells (name, password and, with hashes, hash).
// Every password is checked against the platform's rules as it comes
// (throwing RosterRefusal), and the file is held, in memory that is wiped,
// until finish(): a refused password leaves nothing written.
class RosterWriter final : public RowWriter
{
public:
    RosterWriter(ByteSink &sink, const Roster &roster);
    ~RosterWriter() override;
    RosterWriter(const RosterWriter &) = delete;
    RosterWriter &operator=(const RosterWriter &) = delete;

    void begin() override;
    void row(Cells cells) override;
    void finish() override;

private:
    void reserve(qsizetype size);
    void put(const char *data, qsizetype size);
    void putRaw(qsizetype from, qsizetype to) { put(m_roster.m_bytes.constData() + from, to - from); }
    void putCell(QStringView text, bool quoted);
    void putRecordsBefore(qsizetype record);
    void check(const Roster::Record &record, QStringView password) const;

    ByteSink &m_sink;
    const Roster &m_roster;
    QStringEncoder m_encoder{QStringConverter::Utf8};
    QByteArray m_out;
    qsizetype m_used = 0;
    qsizetype m_nextRecord = 1; // the header was record 0
    QString m_password;
    QString m_hash;
};

} // namespace zentavo
