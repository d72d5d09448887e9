#include "generator/bytedraws.h"

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define ZENTAVO_X86_VECTORS 1
#include <immintrin.h>
#else
#define ZENTAVO_X86_VECTORS 0
#endif

namespace zentavo {

namespace {

#if ZENTAVO_X86_VECTORS
// The first position of each 16-byte piece of an alphabet, as a vector.
alignas(32) constexpr auto kSegmentStarts = [] {
    std::array<std::array<unsigned char, 32>, 16> starts{};
    for (std::size_t s = 0; s < starts.size(); ++s)
        starts[s].fill((unsigned char)(16 * s));
    return starts;
}();

// For each 8-bit mask, the positions of its set bits in order: how the
// accepted bytes of 8 close up, and where the k-th accepted one is.
constexpr auto kAccepted = [] {
    std::array<std::array<unsigned char, 8>, 256> positions{};
    for (unsigned mask = 0; mask < 256; ++mask)
        for (unsigned bit = 0, k = 0; bit < 8; ++bit)
            if (mask & (1u << bit))
                positions[mask][k++] = (unsigned char)bit;
    return positions;
}();
#endif

namespace plain {
#define ZENTAVO_VECTOR_PASS 0
#include "generator/bytedrawspass.inc"
#undef ZENTAVO_VECTOR_PASS
} // namespace plain

} // namespace

} // namespace zentavo

#if ZENTAVO_X86_VECTORS
// The same pass compiled for two instruction sets. Each is chosen only on a
// processor that has it; the code around them stays portable.
#define ZENTAVO_STRINGIFY(x) #x
#if defined(__clang__)
#define ZENTAVO_TARGET_BEGIN(isa)                                                                            \
    _Pragma(ZENTAVO_STRINGIFY(clang attribute push(__attribute__((target(isa))), apply_to = function)))
#define ZENTAVO_TARGET_END _Pragma("clang attribute pop")
#else
#define ZENTAVO_TARGET_BEGIN(isa) _Pragma("GCC push_options") _Pragma(ZENTAVO_STRINGIFY(GCC target(isa)))
#define ZENTAVO_TARGET_END _Pragma("GCC pop_options")
#endif

ZENTAVO_TARGET_BEGIN("avx2,popcnt")
namespace zentavo {
namespace {
namespace avx2 {
struct Lanes32
{
    using Register = __m256i;
    static constexpr qsizetype kWidth = 32;
    static Register load(const unsigned char *p)
    {
        return _mm256_loadu_si256(reinterpret_cast<const Register *>(p));
    }
    static void store(unsigned char *p, Register v)
    {
        _mm256_storeu_si256(reinterpret_cast<Register *>(p), v);
    }
    static Register constant(const std::array<unsigned char, 32> &v)
    {
        return _mm256_load_si256(reinterpret_cast<const Register *>(v.data()));
    }
    static Register splat(char c) { return _mm256_set1_epi8(c); }
    static Register min(Register a, Register b) { return _mm256_min_epu8(a, b); }
    static Register sub(Register a, Register b) { return _mm256_sub_epi8(a, b); }
    static Register bitAnd(Register a, Register b) { return _mm256_and_si256(a, b); }
    static Register equal(Register a, Register b) { return _mm256_cmpeq_epi8(a, b); }
    // Both halves look up the same 16 bytes.
    static Register shuffle(Register table, Register index) { return _mm256_shuffle_epi8(table, index); }
    static Register blend(Register a, Register b, Register useB) { return _mm256_blendv_epi8(a, b, useB); }
    static quint64 mask(Register v) { return quint32(_mm256_movemask_epi8(v)); }
};
#define ZENTAVO_VECTOR_PASS 1
#define ZENTAVO_WIDE_VECTORS 1
#include "generator/bytedrawspass.inc"
#undef ZENTAVO_WIDE_VECTORS
#undef ZENTAVO_VECTOR_PASS
} // namespace avx2
} // namespace
} // namespace zentavo
ZENTAVO_TARGET_END

ZENTAVO_TARGET_BEGIN("ssse3,sse4.1")
namespace zentavo {
namespace {
namespace sse41 {
#define ZENTAVO_VECTOR_PASS 1
#define ZENTAVO_WIDE_VECTORS 0
#include "generator/bytedrawspass.inc"
#undef ZENTAVO_WIDE_VECTORS
#undef ZENTAVO_VECTOR_PASS
} // namespace sse41
} // namespace
} // namespace zentavo
ZENTAVO_TARGET_END
#endif

namespace zentavo {

namespace {

using Pass = const unsigned char *(*)(const ByteDraws::Plan &, ByteDraws::Progress &, const unsigned char *,
                                      const unsigned char *);

// The best code the processor runs, or the one ZENTAVO_VECTORS asks for:
// "none" the plain code, "sse4.1" the 16-byte vectors (which a processor
// with AVX2 runs too).
Pass choosePass()
{
    const QByteArray wanted = qgetenv("ZENTAVO_VECTORS");
    if (wanted == "none")
        return plain::pass;
#if ZENTAVO_X86_VECTORS
    __builtin_cpu_init();
    if (wanted != "sse4.1" && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt"))
        return avx2::pass;
    if (__builtin_cpu_supports("ssse3") && __builtin_cpu_supports("sse4.1"))
        return sse41::pass;
#endif
    return plain::pass;
}

} // namespace

void ByteDraws::add(std::span<const unsigned char> alphabet, qsizetype count)
{
    Q_ASSERT(!alphabet.empty() && alphabet.size() <= 256);
    if (count <= 0)
        return;
    const auto n = quint32(alphabet.size());
    Alphabet a;
    a.bound = n;
    // The largest multiple of n a byte can express; bytes at or above it
    // would favour the low positions.
    const quint32 limit = 256 - 256 % n;
    a.highest = (unsigned char)(limit - 1);
    a.highestVector.fill(a.highest);
    for (quint32 b = 0, position = 0; b < limit; ++b, position = position + 1 == n ? 0 : position + 1)
        a.byByte[b] = alphabet[position];
    // An accepted byte is at most (limit / n - 1) times n above its remainder.
    for (quint32 m = 1; m <= limit / n - 1; m *= 2)
        a.stepVectors[std::size_t(a.steps++)].fill((unsigned char)(m * n));
    a.segments = int((n + 15) / 16);
    for (std::size_t s = 0; s < std::size_t(a.segments); ++s)
        for (std::size_t k = 0; k < 32; ++k)
            a.segmentVectors[s][k] = 16 * s + k % 16 < n ? alphabet[16 * s + k % 16] : 0;

    auto same = [&](const Alphabet &other) {
        return other.bound == n && std::equal(alphabet.begin(), alphabet.end(), other.byByte.begin());
    };
    auto found = std::find_if(m_alphabets.begin(), m_alphabets.end(), same);
    if (found == m_alphabets.end())
        found = m_alphabets.insert(m_alphabets.end(), a);
    const auto index = std::size_t(found - m_alphabets.begin());
    auto highest = std::find(m_limits.begin(), m_limits.end(), a.highestVector);
    if (highest == m_limits.end())
        highest = m_limits.insert(m_limits.end(), a.highestVector);
    if (!m_runs.empty() && m_runs.back().index == index)
        m_runs.back().length += count;
    else
        m_runs.push_back({nullptr, count, index, int(highest - m_limits.begin())});
    // The alphabets may have moved.
    for (Run &run : m_runs)
        run.alphabet = &m_alphabets[run.index];
    m_windowed = m_runs.size() <= 8 && m_limits.size() <= 4 && m_bounds.size() + std::size_t(count) <= 24 &&
                 std::all_of(m_runs.begin(), m_runs.end(),
                             [](const Run &run) { return run.length <= 16 && run.alphabet->bound > 1; });
    m_bounds.insert(m_bounds.end(), std::size_t(count), n);
}

ByteDraws::Progress ByteDraws::start(qsizetype rows, unsigned char *out) const
{
    Progress progress;
    progress.out = out;
    if (rows <= 0 || m_runs.empty())
        return progress;
    progress.rows = rows;
    progress.left = m_runs.front().length;
    // Passwords of one run follow on as one run.
    if (m_runs.size() == 1) {
        progress.left *= rows;
        progress.rows = 1;
    }
    return progress;
}

const unsigned char *ByteDraws::draw(Progress &progress, const unsigned char *bytes,
                                     const unsigned char *end) const
{
    static const Pass chosen = choosePass();
    if (progress.done())
        return bytes;
    const Plan plan{m_runs.data(), m_runs.size(), m_limits.data(), m_limits.size(), m_windowed};
    return chosen(plan, progress, bytes, end);
}

} // namespace zentavo
