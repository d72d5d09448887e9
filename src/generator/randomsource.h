#pragma once

#include <QtGlobal>
#include <array>
#include <cstddef>
#include <functional>

namespace zentavo {

// Where every random choice of the program comes from.
class RandomSource
{
public:
    virtual ~RandomSource() = default;

    // A position in [0, n), every position exactly equally likely; n >= 1.
    virtual quint32 uniform(quint32 n) = 0;
};

// Draws from libsodium's CSPRNG (its ChaCha20 generator, keyed from the
// system's). Bytes are fetched 4 KiB at a time and turned into positions by
// rejection, so no position is favoured: for a pool of n characters, a byte b
// is used only when b < 256 - 256 mod n, and then as b mod n. Pools of more
// than 256 characters take two bytes a draw, more than 65536 four.
//
// The source is never seeded from the clock and needs no reseeding; the
// buffer is wiped when the source goes away.
class CryptoRandomSource final : public RandomSource
{
public:
    using Fill = std::function<void(unsigned char *buffer, std::size_t size)>;

    CryptoRandomSource();
    // Draws from the given bytes instead of libsodium's; for tests of the
    // rejection rule.
    explicit CryptoRandomSource(Fill fill);
    ~CryptoRandomSource() override;

    CryptoRandomSource(const CryptoRandomSource &) = delete;
    CryptoRandomSource &operator=(const CryptoRandomSource &) = delete;

    quint32 uniform(quint32 n) override;

private:
    quint32 takeBytes(int count);

    Fill m_fill;
    std::array<unsigned char, 4096> m_buffer{};
    std::size_t m_next;
    // The width and rejection limit of the last pool size drawn for: a run
    // draws from the same pool millions of times, and working them out
    // anew costs a division each.
    quint32 m_lastN = 0;
    int m_width = 1;
    quint64 m_limit = 0;
};

} // namespace zentavo
