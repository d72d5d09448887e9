// zentavo-cli against pwgen and against the window's own way to the same
// files. Each command runs as a child process with its output where the
// figures say; the wall time and the child's peak memory are printed.
//   1,000,000 x 16 plain into /dev/null   zentavo-cli vs pwgen -s -1 16 1000000 (best of 3 each)
//   10,000,000 x 16 plain                 time per password against 1,000,000, and peak memory
//   the text file and the workbook        zentavo-cli vs the window's generator, list and export
//
//   bench_cli [path of zentavo-cli]

#include "benchsupport.h"
#include "childprocess.h"
#include "core/errorreport.h"
#include "core/eventpump.h"
#include "export/textfileexport.h"
#include "export/workbook.h"
#include "generator/passwordgenerator.h"
#include "results/resultslist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace zentavo;

namespace {

using bench::command;
using bench::Figures;
using bench::inChild;

Figures best(int runs, const std::function<Figures()> &measure)
{
    Figures result = measure();
    for (int i = 1; i < runs; ++i) {
        const Figures next = measure();
        if (next.seconds < result.seconds)
            result = next;
    }
    return result;
}

// What the window does for "Start Generating" and then one export, without
// the widgets: the generator fills the list, the export reads it.
Figures window(int count, bool workbook, const QString &path)
{
    return inChild("/dev/null", [&] {
        bench::Generation generation;
        auto &[prompter, report, random, generator, host] = generation;
        host.current.useLowerCase = host.current.useUpperCase = host.current.useDigits = true;
        host.current.atLeastOneFromEachGroup = true;
        host.current.passwordCount = QString::number(count);
        host.current.passwordLength = QStringLiteral("16");
        host.list.addColumn(QStringLiteral("Result(s)"));
        generation.run();
        EventPump pump;
        if (workbook) {
            QTemporaryDir temp;
            Workbook book(path, temp.path());
            Procedure procedure(report, QString());
            writeResultsWorkbook(host.list, book, pump, procedure);
            book.save();
        } else {
            SaveListviewProperlySpaced(host.list, path, nullptr, pump, report);
        }
        return prompter.last.isEmpty() ? 0 : 1;
    });
}

void print(const char *name, const Figures &figures, double passwords)
{
    std::printf("%-58s %7.3f s wall %7.3f s cpu %7.1f ns/password (cpu) %6.1f MiB peak\n", name,
                figures.seconds, figures.cpuSeconds, figures.cpuSeconds * 1e9 / passwords, figures.peakMiB);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const std::string cli = argc > 1 ? argv[1] : ZENTAVO_CLI;
    QTemporaryDir folder;
    const std::string out = folder.filePath(QStringLiteral("out")).toStdString();
    const QString file = folder.filePath(QStringLiteral("window"));

    const Figures pwgen = best(3, [] {
        return command({"pwgen", "-s", "-1", "16", "1000000"}, "/dev/null");
    });
    const Figures plain1 = best(3, [&] {
        return command({cli, "-n", "1000000", "-l", "16", "--format", "plain"}, "/dev/null");
    });
    print("pwgen -s -1 16 1000000 > /dev/null", pwgen, 1e6);
    print("zentavo-cli -n 1000000 -l 16 --format plain > /dev/null", plain1, 1e6);
    std::printf("  zentavo-cli takes 1/%.1f of pwgen's wall time, 1/%.1f of its processor time\n",
                pwgen.seconds / plain1.seconds, pwgen.cpuSeconds / plain1.cpuSeconds);

    const Figures plain10 = best(2, [&] {
        return command({cli, "-n", "10000000", "-l", "16", "--format", "plain"}, "/dev/null");
    });
    print("zentavo-cli -n 10000000 -l 16 --format plain > /dev/null", plain10, 1e7);
    std::printf("  time per password at 10M / at 1M: %.3f wall, %.3f cpu\n",
                (plain10.seconds / 1e7) / (plain1.seconds / 1e6),
                (plain10.cpuSeconds / 1e7) / (plain1.cpuSeconds / 1e6));

    for (const char *format : {"text", "xlsx"}) {
        const bool workbook = std::string(format) == "xlsx";
        // A sheet holds 1,048,576 rows, so the workbook stops at a million.
        const Figures cli1 = best(2, [&] {
            return command({cli, "-n", "1000000", "-l", "16", "--format", format, "-o", out}, "/dev/null");
        });
        const Figures window1 = best(2, [&] { return window(1000000, workbook, file); });
        std::printf("\n");
        print(workbook ? "zentavo-cli -n 1000000 --format xlsx -o FILE"
                       : "zentavo-cli -n 1000000 --format text -o FILE",
              cli1, 1e6);
        print(workbook ? "window: generate 1000000, then the workbook"
                       : "window: generate 1000000, then the text file",
              window1, 1e6);
        std::printf("  zentavo-cli takes %.2f of the window's wall time, %.2f of its processor time, %.2f of "
                    "its memory\n",
                    cli1.seconds / window1.seconds, cli1.cpuSeconds / window1.cpuSeconds,
                    cli1.peakMiB / window1.peakMiB);
        if (!workbook) {
            const Figures cli10 =
                command({cli, "-n", "10000000", "-l", "16", "--format", "text", "-o", out}, "/dev/null");
            print("zentavo-cli -n 10000000 --format text -o FILE", cli10, 1e7);
            std::printf("  time per password at 10M / at 1M: %.3f wall, %.3f cpu\n",
                        (cli10.seconds / 1e7) / (cli1.seconds / 1e6),
                        (cli10.cpuSeconds / 1e7) / (cli1.cpuSeconds / 1e6));
        }
    }
    return 0;
}
