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

void RandomSource::drawBytes(const ByteDraws &draws, qsizetype rows, unsigned char *out)
{
    // The positions, a byte each, go through the same pass as a source's
    // bytes: a position is below its bound, so none is refused, and each
    // becomes its alphabet's byte. A bound of 1 takes no byte there.
    const std::vector<quint32> &bounds = draws.bounds();
    std::vector<unsigned char> positions;
    positions.reserve(std::size_t(qsizetype(bounds.size()) * rows + ByteDraws::kSlack));
    for (qsizetype r = 0; r < rows; ++r) {
        for (const quint32 n : bounds) {
            const quint32 position = uniform(n);
            if (n > 1)
                positions.push_back((unsigned char)position);
        }
    }
    const std::size_t used = positions.size();
    positions.resize(used + ByteDraws::kSlack);
    ByteDraws::Progress progress = draws.start(rows, out);
    draws.draw(progress, positions.data(), positions.data() + used);
    sodium_memzero(positions.data(), positions.size());
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
    : m_fill(std::move(fill)), m_next(kBlockBytes), m_unwiped(kBlockBytes)
{
}

CryptoRandomSource::~CryptoRandomSource()
{
    sodium_memzero(m_buffer.data(), m_buffer.size());
}

void CryptoRandomSource::refill()
{
    // The block is overwritten whole, used bytes and all.
    m_fill(m_buffer.data(), kBlockBytes);
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
        if (m_next == kBlockBytes)
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

void CryptoRandomSource::drawBytes(const ByteDraws &draws, qsizetype rows, unsigned char *out)
{
    ByteDraws::Progress progress = draws.start(rows, out);
    const unsigned char *block = m_buffer.data();
    while (!progress.done()) {
        if (m_next == kBlockBytes)
            refill();
        m_next = std::size_t(draws.draw(progress, block + m_next, block + kBlockBytes) - block);
    }
    wipeUsed();
}

void CryptoRandomSource::uniform(std::span<const quint32> bounds, qsizetype repeats, quint32 *out)
{
    if (std::any_of(bounds.begin(), bounds.end(), [](quint32 n) { return n > 0x100; })) {
        RandomSource::uniform(bounds, repeats, out);
        return;
    }
    // Each position a byte of its own, drawn as the text of passwords whose
    // alphabets are the positions themselves.
    if (!std::equal(bounds.begin(), bounds.end(), m_positionBounds.begin(), m_positionBounds.end())) {
        m_positionDraws = ByteDraws();
        unsigned char identity[256];
        for (int k = 0; k < 256; ++k)
            identity[k] = (unsigned char)k;
        for (const quint32 n : bounds)
            m_positionDraws.add(std::span(identity, std::max<quint32>(n, 1)), 1);
        m_positionBounds.assign(bounds.begin(), bounds.end());
    }
    m_positions.resize(std::size_t(qsizetype(bounds.size()) * repeats + ByteDraws::kSlack));
    drawBytes(m_positionDraws, repeats, m_positions.data());
    std::copy_n(m_positions.data(), qsizetype(bounds.size()) * repeats, out);
    sodium_memzero(m_positions.data(), m_positions.size());
}

} // namespace zentavo
