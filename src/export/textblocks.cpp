#include "export/textblocks.h"

#include "core/wipe.h"
#include "export/rowwriter.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace zentavo {

int writeFully(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        data += written;
        size -= written;
    }
    return 0;
}

BlockOutput::BlockOutput(ByteSink &sink, QStringConverter::Encoding encoding)
    : m_sink(sink), m_encoder(encoding, QStringConverter::Flag::Stateless),
      m_utf8(encoding == QStringConverter::Utf8)
{
    room(2 * kBlock);
}

BlockOutput::~BlockOutput()
{
    wipe(m_bytes);
    wipe(m_widened);
}

qint64 BlockOutput::bytesFor(qsizetype units)
{
    // UTF-8 takes at most three bytes for a UTF-16 unit.
    return qint64(kBlock) + qint64(units) * 3;
}

void BlockOutput::reserveLine(qsizetype units)
{
    const qsizetype bytes = qsizetype(bytesFor(units));
    if (bytes > m_size)
        grow(bytes);
    reserveWiping(m_widened, units);
}

void BlockOutput::grow(qsizetype bytes)
{
    // Grown by hand, never in place: a move would leave passwords behind.
    QByteArray larger(std::max(bytes, 2 * kBlock), Qt::Uninitialized);
    std::memcpy(larger.data(), m_bytes.constData(), std::size_t(m_used));
    wipe(m_bytes);
    m_bytes = std::move(larger);
    m_data = m_bytes.data();
    m_size = m_bytes.size();
}

void BlockOutput::appendLatin1(QLatin1StringView text)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; }))
        appendAscii(text);
    else
        widen(text);
}

void BlockOutput::widen(QAnyStringView text)
{
    m_widened.truncate(0);
    reserveWiping(m_widened, text.size());
    appendCell(m_widened, text);
    appendUtf16(m_widened);
}

void BlockOutput::appendUtf16(QStringView text)
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
    const qsizetype used = std::exchange(m_used, 0);
    m_sink.write(m_bytes.constData(), used);
}

} // namespace zentavo
