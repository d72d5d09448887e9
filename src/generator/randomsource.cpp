#include "generator/randomsource.h"

#include <sodium.h>
#include <stdexcept>

namespace zentavo {

CryptoRandomSource::CryptoRandomSource()
    : CryptoRandomSource([](unsigned char *buffer, std::size_t size) { randombytes_buf(buffer, size); })
{
    // libsodium's own ChaCha20 generator, keyed from the system's: the same
    // strength without a system call for every 4 KiB, which took about a
    // sixth of a run of millions of passwords. It must be chosen before the
    // library starts.
    randombytes_set_implementation(&randombytes_internal_implementation);
    if (sodium_init() < 0)
        throw std::runtime_error("the system's random source cannot be opened");
}

CryptoRandomSource::CryptoRandomSource(Fill fill) : m_fill(std::move(fill)), m_next(m_buffer.size()) {}

CryptoRandomSource::~CryptoRandomSource()
{
    sodium_memzero(m_buffer.data(), m_buffer.size());
}

quint32 CryptoRandomSource::takeBytes(int count)
{
    quint32 value = 0;
    for (int k = 0; k < count; ++k) {
        if (m_next == m_buffer.size()) {
            m_fill(m_buffer.data(), m_buffer.size());
            m_next = 0;
        }
        value = (value << 8) | m_buffer[m_next];
        m_buffer[m_next++] = 0; // a used byte is not left lying in memory
    }
    return value;
}

quint32 CryptoRandomSource::uniform(quint32 n)
{
    if (n <= 1)
        return 0;
    if (n != m_lastN) {
        m_width = n <= 0x100 ? 1 : n <= 0x10000 ? 2 : 4;
        const quint64 range = quint64(1) << (8 * m_width);
        // The largest multiple of n the bytes can express; values at or
        // above it would favour the low positions and are drawn again.
        m_limit = range - range % n;
        m_lastN = n;
    }
    for (;;) {
        quint32 value;
        if (m_width == 1 && m_next < m_buffer.size()) {
            value = m_buffer[m_next];
            m_buffer[m_next++] = 0; // a used byte is not left lying in memory
        } else {
            value = takeBytes(m_width);
        }
        if (value < m_limit)
            return value % n;
    }
}

} // namespace zentavo
