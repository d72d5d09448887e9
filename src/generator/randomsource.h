#pragma once

#include "generator/bytedraws.h"

#include <QtGlobal>
#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace zentavo {

// Where every random choice of the program comes from.
class RandomSource
{
public:
    virtual ~RandomSource() = default;

    // A position in [0, n), every position exactly equally likely; n >= 1.
    virtual quint32 uniform(quint32 n) = 0;

    // Positions for `repeats` passwords of one shape: for each, one position
    // below each bound of `bounds`, in order, into `out` (bounds.size() x
    // repeats of them). Exactly what as many calls of uniform() in that
    // order give; a source may only do it faster.
    virtual void uniform(std::span<const quint32> bounds, qsizetype repeats, quint32 *out);

    // The text of `rows` passwords whose draws `draws` describes, into `out`
    // (rows x draws.size() bytes, and ByteDraws::kSlack more that may be
    // overwritten): each draw's byte is its alphabet's at the position
    // uniform() gives for its bound, in the same order. A source may only do
    // it faster.
    virtual void drawBytes(const ByteDraws &draws, qsizetype rows, unsigned char *out);
};

// Draws from libsodium's CSPRNG (its ChaCha20 generator, keyed from the
// system's). Bytes are fetched 64 KiB at a time and turned into positions by
// rejection, so no position is favoured: for a pool of n characters, a byte b
// is used only when b < 256 - 256 mod n, and then as b mod n. Pools of more
// than 256 characters take two bytes a draw, more than 65536 four. Many
// draws at once go through ByteDraws, straight from the block.
//
// The source is never seeded from the clock and needs no reseeding; the
// bytes a draw used are wiped before it returns, and the rest when the
// source goes away.
class CryptoRandomSource final : public RandomSource
{
public:
    using Fill = std::function<void(unsigned char *buffer, std::size_t size)>;
    static constexpr std::size_t kBlockBytes = std::size_t(1) << 16;

    CryptoRandomSource();
    // Draws from the given bytes instead of libsodium's; for tests of the
    // rejection rule.
    explicit CryptoRandomSource(Fill fill);
    ~CryptoRandomSource() override;

    CryptoRandomSource(const CryptoRandomSource &) = delete;
    CryptoRandomSource &operator=(const CryptoRandomSource &) = delete;

    quint32 uniform(quint32 n) override;
    void uniform(std::span<const quint32> bounds, qsizetype repeats, quint32 *out) override;
    void drawBytes(const ByteDraws &draws, qsizetype rows, unsigned char *out) override;

private:
    void refill();
    quint32 takeBytes(int count);
    void wipeUsed();

    Fill m_fill;
    // The block, and room for the vector code to read beyond its end.
    std::array<unsigned char, kBlockBytes + ByteDraws::kSlack> m_buffer{};
    std::size_t m_next;
    // Where the bytes not yet wiped begin.
    std::size_t m_unwiped = 0;
    // The width and rejection limit of the last pool size drawn for: a run
    // draws from the same pool millions of times, and working them out
    // anew costs a division each.
    quint32 m_lastN = 0;
    int m_width = 1;
    quint64 m_limit = 0;
    // Positions of a byte each for the last bounds drawn for together.
    std::vector<quint32> m_positionBounds;
    ByteDraws m_positionDraws;
    std::vector<unsigned char> m_positions;
};

} // namespace zentavo
