#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <sodium.h>
#include <vector>

namespace zentavo {

// Buffers that held passwords are overwritten before their memory goes back,
// so no copy outlives its use in freed memory. The whole allocation is
// overwritten, not only the current text: a buffer reused for many lines
// still holds the earlier ones beyond its end.
//
// A buffer shared with another owner is only let go: it stays theirs to wipe.

// The capacity counts the room before the text too, which text removed from
// the front (remove(0, n)) leaves: the wiping starts where the memory does.
inline void wipe(QString &text)
{
    if (text.isDetached() && text.capacity() > 0)
        sodium_memzero(text.data() - text.data_ptr().freeSpaceAtBegin(),
                       std::size_t(text.capacity()) * sizeof(QChar));
    text = QString();
}

inline void wipe(QByteArray &bytes)
{
    if (bytes.isDetached() && bytes.capacity() > 0)
        sodium_memzero(bytes.data() - bytes.data_ptr().freeSpaceAtBegin(), std::size_t(bytes.capacity()));
    bytes = QByteArray();
}

inline void wipe(std::vector<char> &bytes)
{
    bytes.resize(bytes.capacity()); // within its memory: nothing moves
    sodium_memzero(bytes.data(), bytes.size());
    bytes = std::vector<char>();
}

// Makes room for `size` units without leaving the old memory unwiped, as
// growing in place (reserve, resize, append) would when it moves the text.
// What the buffer held is kept.
template <typename Buffer> void reserveWiping(Buffer &buffer, qsizetype size)
{
    if (size <= buffer.capacity() && buffer.isDetached())
        return;
    Buffer larger;
    larger.reserve(size);
    larger.append(buffer.constData(), buffer.size());
    wipe(buffer);
    buffer = std::move(larger);
}

// Wipes the buffer when the scope ends, however it ends.
template <typename Buffer> class WipedOnExit
{
public:
    explicit WipedOnExit(Buffer &buffer) : m_buffer(buffer) {}
    ~WipedOnExit() { wipe(m_buffer); }
    WipedOnExit(const WipedOnExit &) = delete;
    WipedOnExit &operator=(const WipedOnExit &) = delete;

private:
    Buffer &m_buffer;
};

// Wipes the buffer only when the scope is left by an exception: a result
// being built is wiped if it is never handed back.
template <typename Buffer> class WipedIfThrown
{
public:
    explicit WipedIfThrown(Buffer &buffer) : m_buffer(buffer), m_exceptions(std::uncaught_exceptions()) {}
    ~WipedIfThrown()
    {
        if (std::uncaught_exceptions() > m_exceptions)
            wipe(m_buffer);
    }
    WipedIfThrown(const WipedIfThrown &) = delete;
    WipedIfThrown &operator=(const WipedIfThrown &) = delete;

private:
    Buffer &m_buffer;
    int m_exceptions;
};

} // namespace zentavo
