#include "cli/outputs.h"

#include "core/failure.h"
#include "core/wipe.h"
#include "export/paddedcolumns.h"
#include "export/workbook.h"
#include "generator/passwordgenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace zentavo::cli {

namespace {

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

void DescriptorOutput::write(const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, std::size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EPIPE)
                throw OutputFailed{}; // the reader has all it wanted
            throw OutputFailed{QStringLiteral("writing to %1 failed: %2").arg(m_name, errnoText(errno))};
        }
        data += written;
        size -= written;
    }
}

AtomicFile::AtomicFile(const QString &path) : m_path(path), m_destination(path, ::geteuid())
{
    if (!m_destination.refusal().isEmpty())
        throw OutputFailed{QStringLiteral("%1 was not written: %2").arg(path, m_destination.refusal())};
    if (!m_destination.create())
        throw OutputFailed{QStringLiteral("%1 could not be created: %2").arg(path, m_destination.error())};
}

void AtomicFile::commit()
{
    if (!m_destination.commit())
        throw OutputFailed{QStringLiteral("%1 could not be saved: %2").arg(m_path, m_destination.error())};
}

BlockOutput::BlockOutput(DescriptorOutput &out, QStringConverter::Encoding encoding)
    : m_out(out), m_encoder(encoding, QStringConverter::Flag::Stateless)
{
    room(2 * kBlock);
}

BlockOutput::~BlockOutput()
{
    wipe(m_bytes);
}

void BlockOutput::append(QStringView text)
{
    // Passwords are mostly ASCII, which UTF-8 and the locale's encoding write
    // as is: copied directly, they cost a fraction of a general conversion.
    char *start = room(m_encoder.requiredSpace(text.size()));
    char *out = start;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out = m_encoder.appendToBuffer(start, text);
            break;
        }
        *out++ = char(c.unicode());
    }
    m_used += out - start;
}

void BlockOutput::appendNumber(qint32 number)
{
    char digits[16];
    char *end = digits + sizeof digits;
    char *p = end;
    auto value = quint32(number);
    do {
        *--p = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    append(QLatin1StringView(p, end - p));
}

void BlockOutput::appendLines(const char *text, qsizetype rows, qsizetype width)
{
    const qsizetype line = width + 1;
    const char *const end = text + rows * width;
    while (text < end) {
        // The rows that fill the block, at least one, with room to copy 16
        // bytes at a time past a row's end: the next row overwrites them.
        const qsizetype fit =
            std::min((end - text) / width, std::max<qsizetype>(1, (kBlock - m_used) / line + 1));
        char *out = room(fit * line + 16);
        for (qsizetype r = 0; r < fit; ++r, text += width, out += line) {
            if (end - text >= width + 16) {
                for (qsizetype k = 0; k < width; k += 16)
                    std::memcpy(out + k, text + k, 16);
            } else {
                std::memcpy(out, text, std::size_t(width));
            }
            out[width] = '\n';
        }
        m_used += fit * line;
        writeIfFull();
    }
}

void BlockOutput::flush()
{
    m_out.write(m_bytes.constData(), m_used);
    m_used = 0;
}

// Standard error closed to the workbook library, which prints its own lines
// there before it returns the failure we report in our own words.
LibraryKeptQuiet::LibraryKeptQuiet() : m_saved(::dup(STDERR_FILENO))
{
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0) {
        ::dup2(nowhere, STDERR_FILENO);
        ::close(nowhere);
    }
}
LibraryKeptQuiet::~LibraryKeptQuiet()
{
    if (m_saved >= 0) {
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
}

void RowFormat::rows(const PasswordBatch &batch)
{
    QString password;
    const WipedOnExit wiped(password);
    for (qsizetype r = 0; r < batch.rows; ++r) {
        if (batch.isWide()) {
            row(batch.lineNumber(r), QStringView(batch.units(r), batch.unitsPerRow));
        } else {
            password.resize(0);
            batch.appendPassword(r, password);
            row(batch.lineNumber(r), password);
        }
    }
}

QString lineTitle()
{
    return QStringLiteral("Line");
}

QString passwordTitle()
{
    return QStringLiteral("Result(s)");
}

namespace {

class PlainFormat final : public RowFormat
{
public:
    explicit PlainFormat(DescriptorOutput &out) : m_out(out, QStringConverter::Utf8) {}

    void row(qint32 lineNumber, QStringView password) override
    {
        if (lineNumber != 0) {
            m_out.appendNumber(lineNumber);
            m_out.append(QLatin1StringView("\t"));
        }
        m_out.append(password);
        m_out.append(QLatin1StringView("\n"));
        m_out.writeIfFull();
    }
    void rows(const PasswordBatch &batch) override
    {
        // ASCII is written as it is in UTF-8: straight from the batch.
        if (batch.encoding != PasswordBatch::Encoding::Ascii) {
            RowFormat::rows(batch);
            return;
        }
        if (batch.firstLine == 0 && batch.unitsPerRow > 0) {
            m_out.appendLines(batch.bytes(0), batch.rows, batch.unitsPerRow);
            return;
        }
        for (qsizetype r = 0; r < batch.rows; ++r) {
            if (batch.firstLine != 0) {
                m_out.appendNumber(batch.lineNumber(r));
                m_out.append(QLatin1StringView("\t"));
            }
            m_out.append(QLatin1StringView(batch.bytes(r), batch.unitsPerRow));
            m_out.append(QLatin1StringView("\n"));
            m_out.writeIfFull();
        }
    }
    void finish() override { m_out.flush(); }

private:
    BlockOutput m_out;
};

// Rows that wait for the column widths, in a file without a name: memory
// stays flat whatever the count, and the file goes with the run however it
// ends.
class Spool
{
public:
    explicit Spool(const QString &folder) : m_folder(folder)
    {
        QByteArray pattern = QFile::encodeName(folder + QStringLiteral("/.zentavo-rows.XXXXXX"));
        m_fd = mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0)
            fail(errno);
        ::unlink(pattern.constData());
        m_bytes.reserve(kBlock + 64);
    }
    ~Spool()
    {
        wipe(m_bytes);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Spool(const Spool &) = delete;
    Spool &operator=(const Spool &) = delete;

    void add(qint32 lineNumber, QStringView password)
    {
        const qint32 units = qint32(password.size());
        m_bytes.append(reinterpret_cast<const char *>(&lineNumber), sizeof lineNumber);
        m_bytes.append(reinterpret_cast<const char *>(&units), sizeof units);
        m_bytes.append(reinterpret_cast<const char *>(password.utf16()), password.size() * 2);
        if (m_bytes.size() >= kBlock)
            flush();
    }

    // Hands every row back, in order.
    template <typename Row> void replay(Row &&row)
    {
        flush();
        if (::lseek(m_fd, 0, SEEK_SET) != 0)
            fail(errno);
        QFile file;
        if (!file.open(m_fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            fail(EBADF);
        QString password;
        qint32 header[2];
        while (file.read(reinterpret_cast<char *>(header), sizeof header) == qint64(sizeof header)) {
            password.resize(header[1]);
            if (file.read(reinterpret_cast<char *>(password.data()), qint64(header[1]) * 2) !=
                qint64(header[1]) * 2)
                fail(EIO);
            row(header[0], password);
        }
        wipe(password);
    }

private:
    static constexpr qsizetype kBlock = qsizetype(1) << 16;

    void flush()
    {
        for (qsizetype done = 0; done < m_bytes.size();) {
            const ssize_t written =
                ::write(m_fd, m_bytes.constData() + done, std::size_t(m_bytes.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                fail(written < 0 ? errno : ENOSPC);
            done += written;
        }
        m_bytes.truncate(0);
    }
    [[noreturn]] void fail(int error)
    {
        throw OutputFailed{QStringLiteral("the rows could not wait for their column widths in %1: %2")
                               .arg(m_folder, errnoText(error))};
    }

    QString m_folder;
    int m_fd = -1;
    QByteArray m_bytes;
};

class TextFormat final : public RowFormat
{
public:
    TextFormat(DescriptorOutput &out, bool lineNumbers, qint32 count, std::optional<qsizetype> passwordWidth,
               const QString &spoolFolder)
        // The window writes its file in the locale's encoding.
        : m_out(out, QStringConverter::System), m_lineNumbers(lineNumbers)
    {
        if (lineNumbers)
            m_widths.push_back(std::max(lineTitle().size(), QString::number(count).size()));
        m_widths.push_back(passwordTitle().size());
        if (passwordWidth) {
            m_widths.back() = std::max(m_widths.back(), *passwordWidth);
            writeTitles();
        } else {
            m_waiting.emplace(spoolFolder);
        }
    }

    ~TextFormat() override
    {
        wipe(m_line);
        wipe(m_number);
    }

    void row(qint32 lineNumber, QStringView password) override
    {
        if (m_waiting) {
            m_widths.back() = std::max(m_widths.back(), password.size());
            m_waiting->add(lineNumber, password);
            return;
        }
        writeRow(lineNumber, password);
    }

    void finish() override
    {
        if (m_waiting) {
            writeTitles();
            m_waiting->replay(
                [this](qint32 lineNumber, QStringView password) { writeRow(lineNumber, password); });
        }
        m_out.flush();
    }

private:
    void writeTitles()
    {
        m_line.clear();
        if (m_lineNumbers)
            cell(0, lineTitle());
        cell(m_widths.size() - 1, passwordTitle());
        endLine();
    }
    void writeRow(qint32 lineNumber, QStringView password)
    {
        m_line.clear();
        if (m_lineNumbers) {
            m_number.setNum(lineNumber);
            cell(0, m_number);
        }
        cell(m_widths.size() - 1, password);
        endLine();
    }
    void cell(std::size_t column, QStringView text)
    {
        const qsizetype start = m_line.size();
        m_line.append(text);
        appendPadded(m_line, start, m_widths[column]);
    }
    void endLine()
    {
        m_line.append(QLatin1StringView("\r\n"));
        m_out.append(m_line);
        m_out.writeIfFull();
    }

    BlockOutput m_out;
    bool m_lineNumbers;
    std::vector<qsizetype> m_widths;
    QString m_line, m_number;
    std::optional<Spool> m_waiting;
};

class CsvFormat final : public RowFormat
{
public:
    CsvFormat(DescriptorOutput &out, bool lineNumbers) : m_out(out, QStringConverter::Utf8)
    {
        if (lineNumbers) {
            field(lineTitle());
            m_out.append(QLatin1StringView(","));
        }
        field(passwordTitle());
        m_out.append(QLatin1StringView("\r\n"));
    }

    void row(qint32 lineNumber, QStringView password) override
    {
        if (lineNumber != 0) {
            m_out.appendNumber(lineNumber);
            m_out.append(QLatin1StringView(","));
        }
        field(password);
        m_out.append(QLatin1StringView("\r\n"));
        m_out.writeIfFull();
    }
    void finish() override { m_out.flush(); }

private:
    void field(QStringView text)
    {
        const bool quoted = std::any_of(text.begin(), text.end(), [](QChar c) {
            return c == u',' || c == u'"' || c == u'\r' || c == u'\n';
        });
        if (!quoted) {
            m_out.append(text);
            return;
        }
        m_quoted = QLatin1Char('"') + text.toString().replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                   QLatin1Char('"');
        m_out.append(m_quoted);
    }

    BlockOutput m_out;
    QString m_quoted;
    const WipedOnExit<QString> m_wiped{m_quoted};
};

class WorkbookFormat final : public RowFormat
{
public:
    explicit WorkbookFormat(Workbook &workbook) : m_workbook(workbook)
    {
        guard([&] { m_workbook.setText(0, 0, u"Results"); });
    }

    void row(qint32 lineNumber, QStringView password) override
    {
        ++m_row;
        guard([&] {
            int column = 0;
            if (lineNumber != 0) {
                m_number.setNum(lineNumber);
                m_workbook.setText(m_row, column++, m_number);
            }
            m_workbook.setText(m_row, column, password);
        });
    }

    void finish() override
    {
        guard([&] {
            m_workbook.fitColumns();
            m_workbook.save();
        });
    }

private:
    template <typename Body> void guard(Body &&body)
    {
        try {
            const LibraryKeptQuiet quiet;
            body();
        } catch (const Failure &failure) {
            throw OutputFailed{failure.description()};
        }
    }

    Workbook &m_workbook;
    qsizetype m_row = 0;
    QString m_number;
};

} // namespace

std::unique_ptr<RowFormat> plainFormat(DescriptorOutput &out)
{
    return std::make_unique<PlainFormat>(out);
}

std::unique_ptr<RowFormat> textFormat(DescriptorOutput &out, bool lineNumbers, qint32 count,
                                      std::optional<qsizetype> passwordWidth, const QString &spoolFolder)
{
    return std::make_unique<TextFormat>(out, lineNumbers, count, passwordWidth, spoolFolder);
}

std::unique_ptr<RowFormat> csvFormat(DescriptorOutput &out, bool lineNumbers)
{
    return std::make_unique<CsvFormat>(out, lineNumbers);
}

std::unique_ptr<RowFormat> workbookFormat(Workbook &workbook)
{
    return std::make_unique<WorkbookFormat>(workbook);
}

} // namespace zentavo::cli
