#pragma once

#include <QtGlobal>
#include <array>
#include <span>
#include <vector>

namespace zentavo {

// The draws of one shape of password when each of them is below a bound of
// at most 256 and gives a byte: for each draw, in order, the bytes its
// positions stand for (its alphabet). Made once for a shape, it turns a
// source's bytes into the passwords' text in one pass, by the same
// rejection rule as RandomSource::uniform(): a byte b is refused when
// b >= 256 - 256 mod n, and otherwise gives the alphabet's byte at b mod n.
// A draw below a bound of 1 takes no byte.
//
// The pass uses the processor's vector instructions where it has them
// (AVX2, or SSSE3 with SSE4.1) and plain code elsewhere, with the same
// bytes taken and the same text made. For tests and comparisons,
// ZENTAVO_VECTORS in the environment chooses: "none" the plain code,
// "sse4.1" the 16-byte vectors.
class ByteDraws
{
public:
    // The pass reads up to this many bytes beyond the end of the bytes it is
    // given and writes up to this many beyond the text it makes.
    static constexpr qsizetype kSlack = 32;

    // `count` draws in a row from `alphabet` (1 to 256 bytes, repeats
    // allowed: a byte given twice is twice as likely).
    void add(std::span<const unsigned char> alphabet, qsizetype count);

    ByteDraws() = default;
    // The runs point into the alphabets: a copy would point into the original.
    ByteDraws(const ByteDraws &) = delete;
    ByteDraws &operator=(const ByteDraws &) = delete;
    ByteDraws(ByteDraws &&) = default;
    ByteDraws &operator=(ByteDraws &&) = default;

    qsizetype size() const { return qsizetype(m_bounds.size()); }
    // Each draw's bound, in order.
    const std::vector<quint32> &bounds() const { return m_bounds; }

    // Where a pass stands: `out` is where the next byte of text goes.
    struct Progress
    {
        unsigned char *out = nullptr;
        qsizetype rows = 0;  // passwords still to finish, the current one included
        std::size_t run = 0; // the current password's run of draws
        qsizetype left = 0;  // draws the run still needs
        bool done() const { return rows == 0; }
    };
    // The start of `rows` passwords into `out` (rows x size() bytes).
    Progress start(qsizetype rows, unsigned char *out) const;
    // Takes bytes from `bytes` up to `end` (beyond which kSlack more may be
    // read) until the passwords are made or the bytes run out; returns the
    // first byte not taken.
    const unsigned char *draw(Progress &progress, const unsigned char *bytes, const unsigned char *end) const;

    // What a draw below one bound needs, worked out once. Vector constants
    // are held 32 bytes wide; a 16-byte pass uses their first half.
    struct Alphabet
    {
        quint32 bound = 0;
        unsigned char highest = 0;               // the largest byte accepted
        int steps = 0;                           // subtractions that bring an accepted byte below the bound
        int segments = 0;                        // 16-byte pieces of the alphabet
        std::array<unsigned char, 256> byByte{}; // an accepted byte's character
        alignas(32) std::array<unsigned char, 32> highestVector{};
        // b mod n as b - m n for m = 2^k, ..., 2, 1, each taken where it
        // does not wrap: n, 2n, 4n... as many as `steps`.
        alignas(32) std::array<std::array<unsigned char, 32>, 8> stepVectors{};
        // The alphabet in 16-byte pieces, each twice over, zero beyond its end.
        alignas(32) std::array<std::array<unsigned char, 32>, 16> segmentVectors{};
    };
    // Draws in a row below one bound, within a password.
    struct Run
    {
        const Alphabet *alphabet;
        qsizetype length;
        std::size_t index; // of the alphabet
        int limit;         // of the password's distinct highest bytes accepted
    };
    // What the pass reads.
    struct Plan
    {
        const Run *runs;
        std::size_t runCount;
        // The distinct highest bytes accepted, as vectors.
        const std::array<unsigned char, 32> *limits;
        std::size_t limitCount;
        // Whether passwords can be made from a window of 64 bytes whose
        // accepted bytes are known as bits: few runs and limits, no run of
        // over 16 draws or below a bound of 1, at most 24 draws.
        bool windowed;
    };

private:
    std::vector<Alphabet> m_alphabets;
    std::vector<Run> m_runs;
    std::vector<std::array<unsigned char, 32>> m_limits;
    std::vector<quint32> m_bounds;
    bool m_windowed = false;
};

} // namespace zentavo
