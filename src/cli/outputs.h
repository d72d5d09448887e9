#pragma once

#include "export/safedestination.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <QStringView>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace zentavo {

struct PasswordBatch;
class Workbook;

namespace cli {

// Writing the output failed. Not a std::exception on purpose: no step of a
// generation run may take it for a failure to report and carry on past it.
struct OutputFailed
{
    QString message; // names the cause; empty when the reader went away (| head)
};

// A file descriptor written in full; a write that fails throws OutputFailed.
class DescriptorOutput
{
public:
    DescriptorOutput(int fd, QString name) : m_fd(fd), m_name(std::move(name)) {}
    void write(const char *data, qsizetype size);
    const QString &name() const { return m_name; }

private:
    int m_fd;
    QString m_name;
};

// A file that appears under its name only once complete, readable by its
// owner alone. Dropped unfinished, it leaves nothing behind. Where it may go
// is decided once, as for the window's text file: a name another user could
// have planted or redirected, and anything but a regular file, is refused.
class AtomicFile
{
public:
    explicit AtomicFile(const QString &path); // throws OutputFailed

    int fd() const { return m_destination.fd(); }
    // A name that opens the file being written.
    QString temporaryPath() const { return m_destination.writingPath(); }
    void commit(); // throws OutputFailed

private:
    QString m_path;
    DestinationFile m_destination;
};

// How the rows of a run are written out, one at a time as they are made.
class RowFormat
{
public:
    virtual ~RowFormat() = default;
    // `lineNumber` 0: the row has no line number.
    virtual void row(qint32 lineNumber, QStringView password) = 0;
    // A batch of rows from the generator, each as row() takes it; a format
    // may take them faster.
    virtual void rows(const PasswordBatch &batch);
    // Everything is written when this returns.
    virtual void finish() = 0;
};

// Text gathered in blocks and written to the output in one piece each.
class BlockOutput
{
public:
    // `encoding` must write ASCII as ASCII.
    BlockOutput(DescriptorOutput &out, QStringConverter::Encoding encoding);
    ~BlockOutput();
    BlockOutput(const BlockOutput &) = delete;
    BlockOutput &operator=(const BlockOutput &) = delete;
    void append(QStringView text);
    void append(QLatin1StringView text)
    {
        std::memcpy(room(text.size()), text.data(), std::size_t(text.size()));
        m_used += text.size();
    }
    void appendNumber(qint32 number);
    // `rows` rows of `width` bytes, end to end in `text`, each followed by
    // a line feed; blocks are written as they fill.
    void appendLines(const char *text, qsizetype rows, qsizetype width);
    // Writes what was gathered once it fills a block.
    void writeIfFull()
    {
        if (m_used >= kBlock)
            flush();
    }
    void flush();

private:
    static constexpr qsizetype kBlock = qsizetype(1) << 16;

    // Space for `bytes` more at the end of what was gathered.
    char *room(qsizetype bytes)
    {
        if (m_used + bytes > m_bytes.size())
            m_bytes.resize(std::max(m_used + bytes, 2 * kBlock));
        return m_bytes.data() + m_used;
    }

    DescriptorOutput &m_out;
    QStringEncoder m_encoder;
    // Kept at its size; m_used says how much of it holds text.
    QByteArray m_bytes;
    qsizetype m_used = 0;
};

// One password a line, LF, UTF-8; with line numbers, the number and a TAB first.
std::unique_ptr<RowFormat> plainFormat(DescriptorOutput &out);
// The window's text file: a title line, cells padded to their column and
// each followed by a TAB, CR LF. When every password has the same length
// (`passwordWidth`), lines are written as they come; otherwise the widths are
// known only at the end and the rows wait for it in a file without a name
// in `spoolFolder`.
std::unique_ptr<RowFormat> textFormat(DescriptorOutput &out, bool lineNumbers, qint32 count,
                                      std::optional<qsizetype> passwordWidth, const QString &spoolFolder);
// RFC 4180: a title row, CR LF, a field quoted when it holds a comma, a quote
// or a line break; the password itself is never changed.
std::unique_ptr<RowFormat> csvFormat(DescriptorOutput &out, bool lineNumbers);
// The window's workbook: "Results" in the first cell, the rows below it,
// every cell text. Saved by finish(). The workbook library prints nothing
// meanwhile; its failures name the file it writes.
std::unique_ptr<RowFormat> workbookFormat(Workbook &workbook);

// Standard error closed to the workbook library while it lives, which prints
// its own lines there before it returns the failure we report in our words.
class LibraryKeptQuiet
{
public:
    LibraryKeptQuiet();
    ~LibraryKeptQuiet();
    LibraryKeptQuiet(const LibraryKeptQuiet &) = delete;
    LibraryKeptQuiet &operator=(const LibraryKeptQuiet &) = delete;

private:
    int m_saved;
};

// The titles of the list's columns, as the window shows them.
QString lineTitle();
QString passwordTitle();

} // namespace cli
} // namespace zentavo
