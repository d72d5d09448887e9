#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <cstring>
#include <type_traits>

namespace zentavo {

// Where a format's bytes go: a file, standard output. write() takes all of
// them or throws (Failure, or what the front end chose).
class ByteSink
{
public:
    virtual ~ByteSink() = default;
    virtual void write(const char *data, qsizetype size) = 0;
};

// Writes all of `data` to the descriptor, retrying where a write was cut
// short: a write that runs into a full disk or a size limit first writes
// what fits without an error, and only the next attempt says why. Returns 0,
// or the system's error number.
int writeFully(int fd, const char *data, qsizetype size);

// Text gathered in one buffer, encoded as it comes, and handed to the sink
// a block at a time: a write per line would cost more than everything else
// for a long list. The buffer keeps its memory from block to block and is
// wiped when it grows and at the end.
class BlockOutput
{
public:
    // `encoding` must write ASCII as ASCII.
    BlockOutput(ByteSink &sink, QStringConverter::Encoding encoding);
    ~BlockOutput();
    BlockOutput(const BlockOutput &) = delete;
    BlockOutput &operator=(const BlockOutput &) = delete;

    // Makes room for a block and a line of `units` UTF-16 units beyond it, so
    // that the buffer never moves while a line is gathered.
    void reserveLine(qsizetype units);
    // Text of any kind: a cell. Inline, as it runs for every cell of
    // millions of rows.
    void append(QAnyStringView text)
    {
        text.visit([this](auto view) {
            using View = decltype(view);
            if constexpr (std::is_same_v<View, QStringView>) {
                appendUtf16(view);
            } else if constexpr (std::is_same_v<View, QLatin1StringView>) {
                appendLatin1(view);
            } else if (m_utf8) {
                // UTF-8 to UTF-8 (a password made as ASCII): as it is.
                appendAscii(QLatin1StringView(view.data(), view.size()));
            } else {
                widen(view);
            }
        });
    }
    // Text known to be ASCII.
    void appendAscii(QLatin1StringView text)
    {
        std::memcpy(room(text.size()), text.data(), std::size_t(text.size()));
        m_used += text.size();
    }
    // A separator or a line end.
    void appendAscii(char c)
    {
        *room(1) = c;
        ++m_used;
    }
    // `rows` texts of `width` ASCII bytes, end to end in `text`, each
    // followed by a line feed; blocks are handed on as they fill.
    void appendLines(const char *text, qsizetype rows, qsizetype width);
    // Hands what was gathered to the sink once it fills a block.
    void writeIfFull()
    {
        if (m_used >= kBlock)
            flush();
    }
    void flush();

    // The bytes a block and a line of `units` UTF-16 units may take, at most.
    static qint64 bytesFor(qsizetype units);

private:
    static constexpr qsizetype kBlock = qsizetype(1) << 16;

    // Space for `bytes` more at the end of what was gathered.
    char *room(qsizetype bytes)
    {
        if (m_used + bytes > m_size)
            grow(m_used + bytes);
        return m_data + m_used;
    }
    void grow(qsizetype bytes);
    void appendUtf16(QStringView text);
    void appendLatin1(QLatin1StringView text);
    // Text beyond ASCII not held as UTF-16: widened first.
    void widen(QAnyStringView text);

    ByteSink &m_sink;
    QStringEncoder m_encoder;
    bool m_utf8; // UTF-8 text is written as it is
    // Kept at its size; m_used says how much of it holds text.
    QByteArray m_bytes;
    // Its text and size, read for every cell without asking it again.
    char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_used = 0;
    // Latin-1 beyond ASCII, widened on its way to the encoder.
    QString m_widened;
};

} // namespace zentavo
