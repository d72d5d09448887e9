// What wiping freed memory costs: growing one buffer to 64 MiB in steps of
// an eighth, freeing a large block barely used, and a 1,000,000-row run into
// a results list, with this
// program's free() and realloc() and, for comparison, with the C library's
// own (the same program built without them, bench_hardening_libc).

#include "benchsupport.h"
#include "core/errorreport.h"
#ifdef ZENTAVO_BENCH_WIPING
#include "hardening/hardening.h"
#endif

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

using namespace zentavo;

namespace {

// User and system seconds of the work, and the wall time.
template <typename Work> void measure(const char *name, Work &&work)
{
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    work();
    const double wall = timer.nsecsElapsed() / 1e9;
    getrusage(RUSAGE_SELF, &after);
    auto seconds = [](const timeval &a, const timeval &b) {
        return double(b.tv_sec - a.tv_sec) + double(b.tv_usec - a.tv_usec) / 1e6;
    };
    std::printf("  %-40s %8.3f s wall %8.3f s user %8.3f s system\n", name, wall,
                seconds(before.ru_utime, after.ru_utime), seconds(before.ru_stime, after.ru_stime));
}

void growBuffer()
{
    std::size_t size = 4096;
    auto *buffer = static_cast<char *>(std::malloc(size));
    std::memset(buffer, 'x', size);
    while (size < (std::size_t(64) << 20)) {
        const std::size_t grown = size + size / 8;
        buffer = static_cast<char *>(std::realloc(buffer, grown));
        std::memset(buffer + size, 'x', grown - size);
        size = grown;
    }
    std::free(buffer);
}

// A large block of which only a page was used: wiping it whole would touch
// every page.
void largeBlockFreed()
{
    char *volatile block = static_cast<char *>(std::malloc(std::size_t(2) << 30));
    if (block)
        block[0] = 1;
    std::free(block);
}

void millionRows()
{
    bench::Generation generation;
    GenerationOptions &options = generation.host.current;
    options.useLowerCase = options.useUpperCase = options.useDigits = true;
    options.atLeastOneFromEachGroup = options.showLineNumbers = true;
    options.passwordCount = QStringLiteral("1000000");
    options.passwordLength = QStringLiteral("16");
    generation.run();
    generation.host.list.removeAllRows();
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef ZENTAVO_BENCH_WIPING
    hardenProcess();
#endif
    QCoreApplication app(argc, argv);
#ifdef ZENTAVO_BENCH_WIPING
    std::printf("%s:\n", wipesFreedMemory() ? "free() and realloc() that wipe" : "another allocator's");
#else
    std::printf("the C library's own:\n");
#endif
    measure("64 MiB grown in steps of 1/8", growBuffer);
    measure("2 GiB block, one page written, freed", largeBlockFreed);
    measure("1,000,000 x 16 into a results list", millionRows);
    std::fflush(stdout);
#ifdef ZENTAVO_BENCH_WIPING
    return QProcess::execute(QStringLiteral(ZENTAVO_BENCH_LIBC), {});
#endif
    return 0;
}
