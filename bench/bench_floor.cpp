// How near Zentavo comes to what the machine can do. The floor is the
// plainest loop that makes the same passwords: libsodium's ChaCha20
// generator drawn in 64 KiB blocks, bytes whose low six bits are 62 or 63
// rejected, the rest indexing a 62-character table, lines written in 1 MiB
// blocks to /dev/null. Beside it, in alternating rounds of the same run:
// zentavo-cli (plain output, its start-up included) and "Start Generating"
// in the real window (offscreen, first-run options, length 16). Each line
// gives the minimum and median of the rounds and the ratio to the floor's.
//
//   bench_floor [rounds]      (default 5)

#include "childprocess.h"

#include <QCoreApplication>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sodium.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The floor: returns the processor time it took.
double floorLoop(long count)
{
    static const char table[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::vector<unsigned char> random(1 << 16);
    std::vector<char> out(1 << 20);
    const int sink = ::open("/dev/null", O_WRONLY);
    const double start = processorSeconds();
    std::size_t next = random.size(), used = 0;
    for (long p = 0; p < count; ++p) {
        if (used + 17 > out.size()) {
            if (::write(sink, out.data(), used) < 0)
                std::perror("write");
            used = 0;
        }
        for (int k = 0; k < 16;) {
            if (next == random.size()) {
                randombytes_buf(random.data(), random.size());
                next = 0;
            }
            const unsigned b = random[next++] & 63;
            if (b < 62)
                out[used + std::size_t(k++)] = table[b];
        }
        out[used + 16] = '\n';
        used += 17;
    }
    if (::write(sink, out.data(), used) < 0)
        std::perror("write");
    const double seconds = processorSeconds() - start;
    ::close(sink);
    return seconds;
}

// A command's processor time (user and system), its output to /dev/null.
double commandSeconds(const std::vector<std::string> &arguments)
{
    return zentavo::bench::command(arguments).cpuSeconds;
}

// "Start Generating" in the window: the run's wall time, as the window
// benchmark measures it.
double windowSeconds(const QString &bench, long count, QStringList *figures)
{
    QProcess child;
    child.start(bench, {"--single", QString::number(count)});
    child.waitForFinished(-1);
    *figures = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(' ', Qt::SkipEmptyParts);
    if (child.exitCode() != 0 || figures->size() < 2) {
        std::fprintf(stderr, "the window's run failed: %s\n", child.readAllStandardError().constData());
        return -1;
    }
    return (*figures)[1].toDouble() / 1000.0;
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
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    randombytes_set_implementation(&randombytes_internal_implementation);
    if (sodium_init() < 0)
        return 1;
    const std::string cli = ZENTAVO_CLI;
    const QString window = QStringLiteral(ZENTAVO_WINDOW_BENCH);

    Series floor1{"floor, 1,000,000 x 16 (processor time)", {}}, floor10{"floor, 10,000,000 x 16", {}};
    Series cli1{"zentavo-cli -n 1000000 (processor time, start-up included)", {}},
        cli10{"zentavo-cli -n 10000000", {}};
    Series window1{"window, Start Generating 1,000,000 x 16 (wall)", {}},
        window10{"window, Start Generating 10,000,000 x 16", {}};
    Series gap10{"  longest event-loop gap during the 10,000,000 run (s)", {}};
    Series bytesPerRow{"  window's peak memory over start-up per row at 10,000,000 (bytes)", {}};
    for (int round = 0; round < rounds; ++round) {
        floor1.seconds.push_back(floorLoop(1000000));
        cli1.seconds.push_back(commandSeconds({cli, "-n", "1000000", "-l", "16"}));
        QStringList figures;
        window1.seconds.push_back(windowSeconds(window, 1000000, &figures));
        floor10.seconds.push_back(floorLoop(10000000));
        cli10.seconds.push_back(commandSeconds({cli, "-n", "10000000", "-l", "16"}));
        window10.seconds.push_back(windowSeconds(window, 10000000, &figures));
        if (figures.size() >= 8) {
            gap10.seconds.push_back(figures[3].toDouble() / 1000.0);
            bytesPerRow.seconds.push_back((figures[2].toDouble() - figures[7].toDouble()) * 1048576.0 / 1e7);
        }
    }
    auto line = [](const Series &series, const Series *floor) {
        std::printf("%-66s min %8.3f  median %8.3f", series.name, series.min(), series.median());
        if (floor)
            std::printf("   x floor: min %5.1f  median %5.1f", series.min() / floor->min(),
                        series.median() / floor->median());
        std::printf("\n");
    };
    std::printf("%d alternating rounds\n", rounds);
    line(floor1, nullptr);
    line(cli1, &floor1);
    line(window1, &floor1);
    line(floor10, nullptr);
    line(cli10, &floor10);
    line(window10, &floor10);
    if (!gap10.seconds.empty()) {
        line(gap10, nullptr);
        line(bytesPerRow, nullptr);
    }
    return 0;
}
