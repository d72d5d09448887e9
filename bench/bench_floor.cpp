// How near Zentavo comes to what the machine can do. The floor is the
// plainest loop that makes the same passwords (16 characters of a - z, A - Z
// and 0 - 9, at least one of each group in at-least mode): libsodium's
// ChaCha20 generator drawn in 64 KiB blocks, each group's and the pool's
// characters drawn from blocks of their own by the same rejection rule
// (bytes at or above 256 - 256 mod n refused, the rest taken mod n), lines
// written in 1 MiB blocks to /dev/null. The vector floor maps and packs
// the bytes with AVX2, the scalar floor one byte at a time. Beside them, in
// alternating rounds of the same run: zentavo-cli (plain output, its
// start-up included) and "Start Generating" in the real window (offscreen,
// the command line's default options), all in processor time. Each line
// gives the minimum and median of the rounds and the ratio to the vector
// floor's (and to the scalar floor's).
//
//   bench_floor [rounds] [--no-at-least]      (default 5 rounds, at-least on)
//
// ZENTAVO_VECTORS=none (or sse4.1) runs Zentavo's plain code (or its 16-byte
// vectors) instead of the best its processor has.

#include "childprocess.h"

#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sodium.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define ZENTAVO_FLOOR_AVX2 1
#else
#define ZENTAVO_FLOOR_AVX2 0
#endif

namespace {

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

const std::string kLower = "abcdefghijklmnopqrstuvwxyz", kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                  kDigits = "0123456789", kPool = kLower + kUpper + kDigits;

// Characters of one alphabet, drawn from blocks of their own.
class Stream
{
public:
    Stream(const std::string &alphabet, bool vector)
        : m_alphabet(alphabet), m_n(unsigned(alphabet.size())), m_limit(256 - 256 % m_n), m_vector(vector)
    {
        for (unsigned b = 0; b < m_limit; ++b)
            m_table[b] = alphabet[b % m_n];
        m_chars.resize(2 * m_block.size() + 64);
    }
    // `count` characters, fewer than a block gives.
    const char *take(std::size_t count)
    {
        if (m_used + count > m_made)
            refill();
        const char *taken = m_chars.data() + m_used;
        m_used += count;
        return taken;
    }

private:
    void refill()
    {
        const std::size_t kept = m_made - m_used;
        std::memmove(m_chars.data(), m_chars.data() + m_used, kept);
        randombytes_buf(m_block.data(), m_block.size());
#if ZENTAVO_FLOOR_AVX2
        if (m_vector) {
            m_made = kept + mapVector(m_chars.data() + kept);
            m_used = 0;
            return;
        }
#endif
        m_made = kept + mapScalar(m_chars.data() + kept);
        m_used = 0;
    }
    std::size_t mapScalar(char *out)
    {
        char *start = out;
        for (const unsigned char b : m_block) {
            *out = m_table[b];
            out += b < m_limit;
        }
        return std::size_t(out - start);
    }
#if ZENTAVO_FLOOR_AVX2
    __attribute__((target("avx2,popcnt"))) std::size_t mapVector(char *out);
#endif

    std::string m_alphabet;
    unsigned m_n, m_limit;
    bool m_vector;
    std::array<char, 256> m_table{};
    std::array<unsigned char, 1 << 16> m_block{};
    std::vector<char> m_chars;
    std::size_t m_made = 0, m_used = 0;
};

#if ZENTAVO_FLOOR_AVX2
// For each 8-bit mask, the positions of its set bits, packed to the front.
const auto kPack = [] {
    std::array<std::array<unsigned char, 8>, 256> pack{};
    for (unsigned mask = 0; mask < 256; ++mask)
        for (unsigned bit = 0, k = 0; bit < 8; ++bit)
            if (mask & (1u << bit))
                pack[mask][k++] = (unsigned char)bit;
    return pack;
}();

__attribute__((target("avx2,popcnt"))) std::size_t Stream::mapVector(char *out)
{
    // Bytes below the limit, taken mod n by subtracting n times 2^k where it
    // does not wrap, looked up 16 characters at a time, packed 8 at a time.
    __m256i steps[8];
    int stepCount = 0;
    for (unsigned m = 128; m >= 1; m /= 2)
        if (m <= m_limit / m_n - 1)
            steps[stepCount++] = _mm256_set1_epi8(char(m * m_n));
    __m256i pieces[16];
    const int pieceCount = int((m_n + 15) / 16);
    for (int s = 0; s < pieceCount; ++s) {
        char piece[16] = {};
        for (unsigned k = 0; k < 16 && 16 * s + k < m_n; ++k)
            piece[k] = m_alphabet[16 * s + k];
        pieces[s] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(piece)));
    }
    const __m256i highest = _mm256_set1_epi8(char(m_limit - 1)), low4 = _mm256_set1_epi8(0x0f);
    char *start = out;
    for (std::size_t i = 0; i < m_block.size(); i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(m_block.data() + i));
        const auto accepted =
            unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_min_epu8(bytes, highest), bytes)));
        __m256i r = bytes;
        for (int s = 0; s < stepCount; ++s)
            r = _mm256_min_epu8(r, _mm256_sub_epi8(r, steps[s]));
        const __m256i low = _mm256_and_si256(r, low4), high = _mm256_sub_epi8(r, low);
        __m256i c = _mm256_shuffle_epi8(pieces[0], low);
        for (int s = 1; s < pieceCount; ++s)
            c = _mm256_blendv_epi8(c, _mm256_shuffle_epi8(pieces[s], low),
                                   _mm256_cmpeq_epi8(high, _mm256_set1_epi8(char(16 * s))));
        alignas(32) unsigned char mapped[32];
        _mm256_store_si256(reinterpret_cast<__m256i *>(mapped), c);
        for (int g = 0; g < 4; ++g) {
            const unsigned mask = (accepted >> (8 * g)) & 0xff;
            const __m128i group = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(mapped + 8 * g));
            const __m128i order = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(kPack[mask].data()));
            _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_shuffle_epi8(group, order));
            out += _mm_popcnt_u32(mask);
        }
    }
    return std::size_t(out - start);
}
#endif

// The floor: returns the processor time it took.
double floorLoop(long count, bool atLeast, bool vector)
{
    const double start = processorSeconds();
    Stream lower(kLower, vector), upper(kUpper, vector), digits(kDigits, vector), pool(kPool, vector);
    std::vector<char> out(1 << 20);
    const int sink = ::open("/dev/null", O_WRONLY);
    std::size_t used = 0;
    constexpr long kRows = 2048;
    for (long p = 0; p < count; p += kRows) {
        const long rows = std::min(kRows, count - p);
        if (used + std::size_t(rows) * 17 > out.size()) {
            if (::write(sink, out.data(), used) < 0)
                std::perror("write");
            used = 0;
        }
        char *line = out.data() + used;
        if (atLeast) {
            const char *l = lower.take(std::size_t(rows)), *u = upper.take(std::size_t(rows)),
                       *d = digits.take(std::size_t(rows)), *c = pool.take(std::size_t(rows) * 13);
            for (long r = 0; r < rows; ++r, line += 17, c += 13) {
                line[0] = l[r];
                line[1] = u[r];
                line[2] = d[r];
                std::memcpy(line + 3, c, 13);
                line[16] = '\n';
            }
        } else {
            const char *c = pool.take(std::size_t(rows) * 16);
            for (long r = 0; r < rows; ++r, line += 17, c += 16) {
                std::memcpy(line, c, 16);
                line[16] = '\n';
            }
        }
        used += std::size_t(rows) * 17;
    }
    if (::write(sink, out.data(), used) < 0)
        std::perror("write");
    ::close(sink);
    return processorSeconds() - start;
}

// "Start Generating" in the window with the command line's default options:
// the run's processor time, as the window benchmark measures it.
double windowSeconds(const QString &bench, long count, bool atLeast, QStringList *figures)
{
    QProcess child;
    QStringList arguments{"--single", QString::number(count), "--command-line-options"};
    if (!atLeast)
        arguments << "--no-at-least";
    child.start(bench, arguments);
    child.waitForFinished(-1);
    *figures = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(' ', Qt::SkipEmptyParts);
    if (child.exitCode() != 0 || figures->size() < 9) {
        std::fprintf(stderr, "the window's run failed: %s\n", child.readAllStandardError().constData());
        return -1;
    }
    return (*figures)[8].toDouble() / 1000.0;
}

struct Series
{
    const char *name;
    std::vector<double> seconds;
    double min() const { return *std::min_element(seconds.begin(), seconds.end()); }
    double median() const
    {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bool atLeast = !arguments.contains(QStringLiteral("--no-at-least"));
    randombytes_set_implementation(&randombytes_internal_implementation);
    if (sodium_init() < 0)
        return 1;
#if ZENTAVO_FLOOR_AVX2
    const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
#else
    const bool avx2 = false;
#endif
    const std::string cli = ZENTAVO_CLI;
    const QString window = QStringLiteral(ZENTAVO_WINDOW_BENCH);
    std::vector<std::string> options{"-l", "16"};
    if (!atLeast)
        options.emplace_back("--no-at-least");
    auto command = [&](const char *count) {
        std::vector<std::string> line{cli, "-n", count};
        line.insert(line.end(), options.begin(), options.end());
        return zentavo::bench::command(line).cpuSeconds;
    };

    Series vector1{"vector floor, 1,000,000 x 16", {}}, scalar1{"scalar floor, 1,000,000 x 16", {}};
    Series cli1{"zentavo-cli -n 1000000 (start-up included)", {}};
    Series window1{"window, Start Generating 1,000,000 x 16", {}};
    Series vector10{"vector floor, 10,000,000 x 16", {}}, scalar10{"scalar floor, 10,000,000 x 16", {}};
    Series cli10{"zentavo-cli -n 10000000", {}}, window10{"window, Start Generating 10,000,000 x 16", {}};
    Series gap10{"  longest event-loop gap during the 10,000,000 run (s)", {}};
    Series bytesPerRow{"  window's peak memory over start-up per row at 10,000,000 (bytes)", {}};
    for (int round = 0; round < rounds; ++round) {
        QStringList figures;
        vector1.seconds.push_back(floorLoop(1000000, atLeast, avx2));
        scalar1.seconds.push_back(floorLoop(1000000, atLeast, false));
        cli1.seconds.push_back(command("1000000"));
        window1.seconds.push_back(windowSeconds(window, 1000000, atLeast, &figures));
        vector10.seconds.push_back(floorLoop(10000000, atLeast, avx2));
        scalar10.seconds.push_back(floorLoop(10000000, atLeast, false));
        cli10.seconds.push_back(command("10000000"));
        window10.seconds.push_back(windowSeconds(window, 10000000, atLeast, &figures));
        if (figures.size() >= 9) {
            gap10.seconds.push_back(figures[3].toDouble() / 1000.0);
            bytesPerRow.seconds.push_back((figures[2].toDouble() - figures[7].toDouble()) * 1048576.0 / 1e7);
        }
    }
    auto line = [](const Series &series, const Series *vector, const Series *scalar) {
        std::printf("%-46s min %7.3f  median %7.3f", series.name, series.min(), series.median());
        if (vector)
            std::printf("   x vector floor %5.2f %5.2f   x scalar floor %5.2f %5.2f",
                        series.min() / vector->min(), series.median() / vector->median(),
                        series.min() / scalar->min(), series.median() / scalar->median());
        std::printf("\n");
    };
    std::printf("%d alternating rounds, at-least %s, processor seconds%s%s\n", rounds, atLeast ? "on" : "off",
                avx2 ? "" : " (no AVX2 here: the vector floor is the scalar one)",
                qEnvironmentVariableIsSet("ZENTAVO_VECTORS")
                    ? qPrintable(", ZENTAVO_VECTORS=" + qEnvironmentVariable("ZENTAVO_VECTORS"))
                    : "");
    line(vector1, nullptr, nullptr);
    line(scalar1, nullptr, nullptr);
    line(cli1, &vector1, &scalar1);
    line(window1, &vector1, &scalar1);
    line(vector10, nullptr, nullptr);
    line(scalar10, nullptr, nullptr);
    line(cli10, &vector10, &scalar10);
    line(window10, &vector10, &scalar10);
    if (!gap10.seconds.empty()) {
        line(gap10, nullptr, nullptr);
        line(bytesPerRow, nullptr, nullptr);
    }
    return 0;
}
