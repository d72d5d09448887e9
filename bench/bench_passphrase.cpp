// Passphrases against their floor: zentavo-cli --words 6 -n 1000000 (plain
// output to /dev/null, its start-up included) beside the plainest loop that
// makes the same passphrases: libsodium's ChaCha20 generator drawn in 64 KiB
// blocks, two bytes a word rejected at or above the largest multiple of
// 7,776 below 65,536, the words of the same list copied with their
// separators into 1 MiB blocks written to /dev/null. Both run as child
// processes in alternating rounds; each line gives the minimum and median
// processor time (user and system) and wall time of the rounds, and the
// ratio of the medians.
//
//   bench_passphrase [rounds] [path of zentavo-cli]      (default 7)

#include "childprocess.h"
#include "generator/passphrase.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sodium.h>
#include <string>
#include <vector>

using namespace zentavo;

namespace {

constexpr long kCount = 1000000;
constexpr int kWords = 6;

int floorLoop(const std::vector<std::string> &words)
{
    const unsigned n = unsigned(words.size());
    const unsigned limit = 65536 - 65536 % n;
    std::vector<unsigned char> random(1 << 16);
    std::vector<char> out(1 << 20);
    std::size_t next = random.size(), used = 0;
    for (long p = 0; p < kCount; ++p) {
        if (used + 1024 > out.size()) {
            if (::write(STDOUT_FILENO, out.data(), used) < 0)
                return 1;
            used = 0;
        }
        for (int w = 0; w < kWords;) {
            if (next + 2 > random.size()) {
                randombytes_buf(random.data(), random.size());
                next = 0;
            }
            const unsigned value = unsigned(random[next]) << 8 | random[next + 1];
            next += 2;
            if (value >= limit)
                continue;
            const std::string &word = words[value % n];
            if (w++ > 0)
                out[used++] = '-';
            std::memcpy(out.data() + used, word.data(), word.size());
            used += word.size();
        }
        out[used++] = '\n';
    }
    return ::write(STDOUT_FILENO, out.data(), used) < 0 ? 1 : 0;
}

struct Series
{
    bench::Series cpu, wall;
    void add(const bench::Figures &figures)
    {
        cpu.values.push_back(figures.cpuSeconds);
        wall.values.push_back(figures.seconds);
    }
};

void print(const char *name, const Series &series)
{
    std::printf("%-44s cpu min %6.3f s median %6.3f s   wall min %6.3f s median %6.3f s\n", name,
                series.cpu.min(), series.cpu.median(), series.wall.min(), series.wall.median());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string cli = argc > 2 ? argv[2] : ZENTAVO_CLI;
    if (sodium_init() < 0)
        return 1;
    std::vector<std::string> words;
    for (const QString &word : effLongList().words)
        words.push_back(word.toStdString());

    Series floor, zentavo;
    for (int r = 0; r < rounds; ++r) {
        floor.add(bench::inChild("/dev/null", [&] { return floorLoop(words); }));
        zentavo.add(bench::command({cli, "--words", std::to_string(kWords), "-n", std::to_string(kCount)}));
    }
    std::printf("%d rounds of %ld passphrases of %d words from the EFF long list\n", rounds, kCount, kWords);
    print("floor: ChaCha20 blocks, rejection, memcpy", floor);
    print("zentavo-cli --words 6 -n 1000000", zentavo);
    std::printf("  zentavo-cli takes %.2f x the floor's processor time (medians)\n",
                zentavo.cpu.median() / floor.cpu.median());
    return 0;
}
