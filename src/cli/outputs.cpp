#include "cli/outputs.h"

#include "core/failure.h"
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

AtomicFile::AtomicFile(const QString &path) : m_path(path)
{
    const QFileInfo info(path);
    // Hidden, beside the destination, so that the final move is a rename
    // within one file system.
    QByteArray pattern = QFile::encodeName(
        info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".XXXXXX")));
    m_fd = mkostemp(pattern.data(), O_CLOEXEC); // mode 0600
    if (m_fd < 0)
        throw OutputFailed{QStringLiteral("%1 could not be created: %2").arg(path, errnoText(errno))};
    m_temporary = QFile::decodeName(pattern);
}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(QFile::encodeName(m_temporary).constData());
    }
}

void AtomicFile::commit()
{
    // The data must be on the disk before the name points at it, or a crash
    // could leave an empty file where a complete one was promised.
    const int fd = m_fd;
    m_fd = -1;
    const QByteArray temporary = QFile::encodeName(m_temporary);
    auto fail = [&](const QString &what) {
        const int error = errno;
        ::unlink(temporary.constData());
        throw OutputFailed{QStringLiteral("%1 %2: %3").arg(m_path, what, errnoText(error))};
    };
    if (::fsync(fd) != 0) {
        ::close(fd);
        fail(QStringLiteral("could not be written"));
    }
    if (::close(fd) != 0)
        fail(QStringLiteral("could not be written"));
    if (::rename(temporary.constData(), QFile::encodeName(m_path).constData()) != 0)
        fail(QStringLiteral("could not be put in place"));
}

BlockOutput::BlockOutput(DescriptorOutput &out, QStringConverter::Encoding encoding)
    : m_out(out), m_encoder(encoding, QStringConverter::Flag::Stateless)
{
    room(2 * kBlock);
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

void BlockOutput::flush()
{
    m_out.write(m_bytes.constData(), m_used);
    m_used = 0;
}

void RowFormat::rows(const PasswordBatch &batch)
{
    QString password;
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

class TextFormat final : public RowFormat
{
public:
    TextFormat(DescriptorOutput &out, bool lineNumbers, qint32 count, std::optional<qsizetype> passwordWidth)
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
            m_waiting.emplace();
        }
    }

    void row(qint32 lineNumber, QStringView password) override
    {
        if (m_waiting) {
            m_widths.back() = std::max(m_widths.back(), password.size());
            m_waiting->push_back({lineNumber, password.toString()});
            return;
        }
        writeRow(lineNumber, password);
    }

    void finish() override
    {
        if (m_waiting) {
            writeTitles();
            for (const auto &[lineNumber, password] : *m_waiting)
                writeRow(lineNumber, password);
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
    std::optional<std::vector<std::pair<qint32, QString>>> m_waiting;
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
    template <typename Body> static void guard(Body &&body)
    {
        try {
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
                                      std::optional<qsizetype> passwordWidth)
{
    return std::make_unique<TextFormat>(out, lineNumbers, count, passwordWidth);
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
