#include "export/paddedtext.h"

#include "core/failure.h"
#include "core/wipe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace zentavo {

namespace {

// The locale's encoding; the user's own characters may lie outside ASCII.
#ifdef Q_OS_UNIX
// Qt takes it to be UTF-8 here. Named so, the encoder writes straight into
// our buffer rather than through an unwiped copy of its own.
constexpr QStringConverter::Encoding kTextFileEncoding = QStringConverter::Utf8;
#else
constexpr QStringConverter::Encoding kTextFileEncoding = QStringConverter::System;
#endif

} // namespace

// Rows that wait for the column widths, in a file without a name: memory
// stays flat whatever the count, and the file goes with the writer however
// the run ends. Each cell is its length and its UTF-16 units.
class PaddedText::Spool
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

    void add(const QString &cell)
    {
        const auto units = qint32(cell.size());
        reserveWiping(m_bytes, m_bytes.size() + qsizetype(sizeof units) + cell.size() * 2);
        m_bytes.append(reinterpret_cast<const char *>(&units), sizeof units);
        m_bytes.append(reinterpret_cast<const char *>(cell.utf16()), cell.size() * 2);
        if (m_bytes.size() >= kBlock)
            flush();
    }

    // Hands every row of `columns` cells back, in order.
    template <typename Row> void replay(std::size_t columns, Row &&row)
    {
        flush();
        if (::lseek(m_fd, 0, SEEK_SET) != 0)
            fail(errno);
        std::vector<QString> cells(columns);
        std::vector<QAnyStringView> views(columns);
        const auto wipeCells = qScopeGuard([&] {
            for (QString &cell : cells)
                wipe(cell);
        });
        for (;;) {
            for (std::size_t c = 0; c < columns; ++c) {
                qint32 units = 0;
                if (!readFully(&units, sizeof units, c == 0))
                    return;
                cells[c].resize(units);
                readFully(cells[c].data(), std::size_t(units) * 2, false);
                views[c] = cells[c];
            }
            row(Cells(views));
        }
    }

private:
    static constexpr qsizetype kBlock = qsizetype(1) << 16;

    void flush()
    {
        if (const int error = writeFully(m_fd, m_bytes.constData(), m_bytes.size()))
            fail(error);
        m_bytes.truncate(0);
    }
    // False at the end of the rows, where `endAllowed`.
    bool readFully(void *data, std::size_t size, bool endAllowed)
    {
        auto *at = static_cast<char *>(data);
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::read(m_fd, at + done, size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0 && done == 0 && endAllowed)
                return false;
            if (n <= 0)
                fail(n < 0 ? errno : EIO);
            done += std::size_t(n);
        }
        return true;
    }
    [[noreturn]] void fail(int error)
    {
        throw Failure(QCoreApplication::translate("zentavo::PaddedText",
                                                  "The rows could not wait for their column widths in %1: %2")
                          .arg(QDir::toNativeSeparators(m_folder), qt_error_string(error)));
    }

    QString m_folder;
    int m_fd = -1;
    QByteArray m_bytes;
};

PaddedText::PaddedText(ByteSink &sink, QStringList titles, std::vector<qsizetype> widths)
    : m_out(sink, kTextFileEncoding), m_titles(std::move(titles)), m_widths(std::move(widths))
{
    m_widths.resize(std::size_t(m_titles.size()), 0);
    for (std::size_t c = 0; c < m_widths.size(); ++c)
        m_widths[c] = std::max(m_widths[c], m_titles[qsizetype(c)].size());
    reserveLongestLine(longestLine(m_widths));
}

PaddedText::PaddedText(ByteSink &sink, QStringList titles, const QString &spoolFolder)
    : PaddedText(sink, std::move(titles), std::vector<qsizetype>())
{
    m_waiting = std::make_unique<Spool>(spoolFolder);
}

PaddedText::~PaddedText()
{
    wipe(m_line);
}

qsizetype PaddedText::longestLine(const std::vector<qsizetype> &widths)
{
    qsizetype units = 2; // CR LF
    for (const qsizetype width : widths)
        units += width + 1;
    return units;
}

qint64 PaddedText::memoryFor(qsizetype units)
{
    return BlockOutput::bytesFor(units) + qint64(units) * 2;
}

void PaddedText::reserveLongestLine(qsizetype units)
{
    m_out.reserveLine(units);
    reserveWiping(m_line, units);
}

void PaddedText::begin()
{
    // Waiting rows widen their columns: the titles follow once all are in.
    if (m_waiting)
        return;
    const std::vector<QAnyStringView> titles(m_titles.cbegin(), m_titles.cend());
    writeLine(titles);
}

void PaddedText::row(Cells cells)
{
    if (!m_waiting) {
        writeLine(cells);
        return;
    }
    for (std::size_t c = 0; c < cells.size(); ++c) {
        m_line.truncate(0);
        reserveWiping(m_line, cells[c].size());
        appendCell(m_line, cells[c]);
        m_widths[c] = std::max(m_widths[c], m_line.size());
        m_waiting->add(m_line);
    }
}

void PaddedText::finish()
{
    if (m_waiting) {
        const std::unique_ptr<Spool> waiting = std::move(m_waiting);
        reserveLongestLine(longestLine(m_widths));
        begin();
        waiting->replay(m_widths.size(), [this](Cells cells) { writeLine(cells); });
    }
    m_out.flush();
}

void PaddedText::writeLine(Cells cells)
{
    // A cell wider than its column (the list changed meanwhile) makes a
    // longer line: room for it first, so that nothing moves.
    qsizetype units = 2;
    for (std::size_t c = 0; c < cells.size(); ++c)
        units += std::max(m_widths[c], cells[c].size()) + 1;
    m_line.truncate(0);
    reserveWiping(m_line, units);
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const qsizetype start = m_line.size();
        appendCell(m_line, cells[c]);
        appendPadded(m_line, start, m_widths[c]);
    }
    m_line.append(QLatin1StringView("\r\n"));
    m_out.append(m_line);
    m_out.writeIfFull();
}

void appendPadded(QString &text, qsizetype start, qsizetype width)
{
    const qsizetype length = text.size() - start;
    if (width > length)
        text.resize(start + width, QLatin1Char(' '));
    text.append(QLatin1Char('\t'));
}

} // namespace zentavo
