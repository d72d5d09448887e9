#include "generator/randomsource.h"

#include <algorithm>
#include <sodium.h>
#include <stdexcept>
#include <vector>

namespace zentavo {

void RandomSource::uniform(std::span<const quint32> bounds, qsizetype repeats, quint32 *out)
{
    for (qsizetype r = 0; r < repeats; ++r)
        for (const quint32 n : bounds)
            *out++ = uniform(n);
}

CryptoRandomSource::CryptoRandomSource()
    : CryptoRandomSource([](unsigned char *buffer, std::size_t size) { randombytes_buf(buffer, size); })
{
    // libsodium's own ChaCha20 generator, keyed from the system's: the same
    // strength without a system call for every block, which took about a
    // sixth of a run of millions of passwords. It must be chosen before the
    // library starts.
    randombytes_set_implementation(&randombytes_internal_implementation);
    if (sodium_init() < 0)
        throw std::runtime_error("the system's random source cannot be opened");
}

CryptoRandomSource::CryptoRandomSource(Fill fill)
    : m_fill(std::move(fill)), m_next(m_buffer.size()), m_unwiped(m_buffer.size())
{
}

CryptoRandomSource::~CryptoRandomSource()
{
    sodium_memzero(m_buffer.data(), m_buffer.size());
}

void CryptoRandomSource::refill()
{
    // The block is overwritten whole, used bytes and all.
    m_fill(m_buffer.data(), m_buffer.size());
    m_next = 0;
    m_unwiped = 0;
}

void CryptoRandomSource::wipeUsed()
{
    // Used bytes are not left lying in memory; wiping them in one go costs
    // far less than one at a time.
    if (m_next > m_unwiped)
        sodium_memzero(m_buffer.data() + m_unwiped, m_next - m_unwiped);
    m_unwiped = m_next;
}

quint32 CryptoRandomSource::takeBytes(int count)
{
    quint32 value = 0;
    for (int k = 0; k < count; ++k) {
        if (m_next == m_buffer.size())
            refill();
        value = (value << 8) | m_buffer[m_next++];
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
    quint32 value;
    do
        value = takeBytes(m_width);
    while (value >= m_limit);
    wipeUsed();
    return value % n;
}

void CryptoRandomSource::fillTable(ByteTable &table, quint32 n)
{
    // The same rule as uniform(): bytes at or above the largest multiple of
    // n below 256 are drawn again.
    const quint32 limit = 256 - 256 % n;
    for (quint32 b = 0; b < 256; ++b)
        table[b] = b < limit ? quint16(b % n) : kRejected;
}

void CryptoRandomSource::drawBytes(const ByteTable &table, quint32 *out, qsizetype count)
{
    qsizetype made = 0;
    while (made < count) {
        if (m_next == m_buffer.size())
            refill();
        // One byte for each position still wanted, as far as the block
        // goes; a rejected byte is overwritten by the next one. Without a
        // branch per byte this runs at the speed of memory.
        const std::size_t take = std::min<std::size_t>(std::size_t(count - made), m_buffer.size() - m_next);
        const unsigned char *bytes = m_buffer.data() + m_next;
        quint32 *to = out + made;
        qsizetype kept = 0;
        for (std::size_t k = 0; k < take; ++k) {
            const quint16 position = table[bytes[k]];
            to[kept] = position;
            kept += position != kRejected;
        }
        made += kept;
        m_next += take;
    }
}

void CryptoRandomSource::uniform(std::span<const quint32> bounds, qsizetype repeats, quint32 *out)
{
    if (std::any_of(bounds.begin(), bounds.end(), [](quint32 n) { return n > 0x100; })) {
        RandomSource::uniform(bounds, repeats, out);
        return;
    }
    // A table for each bound; a password's positions below one bound follow
    // each other (the pool's), so they are drawn together.
    struct Run
    {
        std::size_t table;
        qsizetype length;
        bool free; // a bound of 1 needs no byte
    };
    std::vector<quint32> distinct;
    std::vector<ByteTable> tables;
    std::vector<Run> runs;
    for (const quint32 n : bounds) {
        auto found = std::find(distinct.begin(), distinct.end(), n);
        if (found == distinct.end()) {
            distinct.push_back(n);
            tables.emplace_back();
            if (n > 1)
                fillTable(tables.back(), n);
            found = distinct.end() - 1;
        }
        const std::size_t table = std::size_t(found - distinct.begin());
        if (!runs.empty() && runs.back().table == table)
            ++runs.back().length;
        else
            runs.push_back({table, 1, n <= 1});
    }
    for (qsizetype r = 0; r < repeats; ++r) {
        for (const Run &run : runs) {
            if (run.free)
                std::fill_n(out, run.length, 0u);
            else
                drawBytes(tables[run.table], out, run.length);
            out += run.length;
        }
    }
    wipeUsed();
}

} // namespace zentavo
