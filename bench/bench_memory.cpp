// What the results list costs in memory, and whether it gives it back:
//   - bytes a row takes in the list by width class (Latin-1 rows of 16 and
//     of 6 characters, rows with a wider character, half and half), at
//     1,000,000 and 10,000,000 rows: what the list counts, what the process
//     grew by, and what the window's memory check charges for the list;
//   - 10,000,000 passwords of 16 made by "Start Generating" in the real
//     window (offscreen): time, peak memory, swapping, and the resident
//     memory before the run, after it and after "Clear Results";
//   - what the window says now when asked for the most passwords of 6 and
//     of 16 characters.
// Each measurement runs in a process of its own.
//
//   bench_memory                            everything
//   bench_memory --list N LENGTH WIDTHS     the list alone, N rows
//   bench_memory --window N                 the window, N passwords

#include "benchwindow.h"
#include "core/memorybudget.h"
#include "results/resultslist.h"
#include "ui/form1.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <cstdio>
#include <tuple>

using namespace zentavo;

namespace {

// Pages the system has swapped in and out since it started.
qint64 swappedPages()
{
    QFile vmstat(QStringLiteral("/proc/vmstat"));
    if (!vmstat.open(QIODevice::ReadOnly))
        return -1;
    qint64 pages = 0;
    for (const QByteArray &line : vmstat.readAll().split('\n'))
        if (line.startsWith("pswpin ") || line.startsWith("pswpout "))
            pages += line.split(' ').value(1).toLongLong();
    return pages;
}

// Rows of `length` characters in one width class: "latin1" (a byte a
// character), "wide" (every row has a character beyond Latin-1) or "mixed"
// (every other row has).
int runList(qint64 count, int length, const QString &widths)
{
    ResultsList list;
    list.addColumn(QStringLiteral("Line"));
    list.addColumn(QStringLiteral("Result(s)"));
    const double before = bench::residentMiB();
    QString password(length, QLatin1Char('a'));
    for (qint64 i = 1; i <= count; ++i) {
        // Different text for every row, as the generator makes it.
        for (int k = 0; k < length; ++k)
            password[k] = QLatin1Char(char('!' + (i * 7 + k * 13) % 90));
        if (widths == QLatin1String("wide") || (widths == QLatin1String("mixed") && i % 2 == 0))
            password[0] = QChar(0x20ac);
        list.appendRow(qint32(i), password);
    }
    const double filled = bench::residentMiB();
    const double stored = double(list.storedBytes());
    list.removeAllRows();
    const double cleared = bench::residentMiB();
    const int bytesPerCharacter = widths == QLatin1String("latin1") ? 1 : 2;
    std::printf("%lld %.2f %.2f %.1f %.1f %.1f %.2f\n", qlonglong(count), stored,
                (filled - before) * 1048576.0 / double(count), before, filled, cleared,
                double(ResultsList::estimatedBytes(count, length, bytesPerCharacter)));
    return 0;
}

int runWindow(qint64 count)
{
    bench::QuietWorld world;
    Form1 form(world.services());
    form.Form_Load(); // the first-run options
    form.Text2->setText(QString::number(count));
    form.Text3->setText(QStringLiteral("16"));
    form.show();
    QApplication::processEvents();
    const double before = bench::residentMiB();
    const qint64 swappedBefore = swappedPages();
    QElapsedTimer wall;
    wall.start();
    form.PushButton1_Click();
    const qint64 ms = wall.elapsed();
    const double after = bench::residentMiB();
    const qsizetype rows = form.results().storedRowCount();
    const double listBytes = double(form.results().storedBytes()) / double(std::max<qsizetype>(rows, 1));
    form.PushButton3_Click();
    QApplication::processEvents();
    const double cleared = bench::residentMiB();
    std::printf("%lld %lld %.1f %.1f %.1f %.1f %.2f %lld \"%s\"\n", qlonglong(rows), qlonglong(ms), before,
                after, cleared, bench::peakMemoryMiB(), listBytes, qlonglong(swappedPages() - swappedBefore),
                qPrintable(world.prompter.last.left(200)));
    return 0;
}

// What the window says now to the most passwords of 6 and of 16 characters.
int runLargest()
{
    bench::QuietWorld world;
    Form1 form(world.services());
    form.Form_Load();
    const MemoryBudget &budget = form.memoryBudget();
    std::printf("available %.2f GB, usable %.2f GB\n", budget.available() / 1e9, budget.usable() / 1e9);
    form.Text2->setText(QStringLiteral("2147483647"));
    for (const char *length : {"6", "16"}) {
        form.Text3->setText(QLatin1String(length));
        form.PushButton1_Click();
        std::printf("%s characters: made %lld rows and said: %s\n", length,
                    qlonglong(form.results().storedRowCount()), qPrintable(world.prompter.last));
    }
    return 0;
}

QStringList child(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (process.exitCode() != 0)
        std::fprintf(stderr, "%s\n", process.readAllStandardError().constData());
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().split(' ');
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--list"))
        return runList(args[2].toLongLong(), args[3].toInt(), args[4]);
    if (args.size() == 3 && args[1] == QLatin1String("--window"))
        return runWindow(args[2].toLongLong());
    if (args.size() == 2 && args[1] == QLatin1String("--largest"))
        return runLargest();

    const QString self = app.applicationFilePath();
    std::printf("The list alone, rows with line numbers, by width class: what it counts, what the process\n"
                "grew by and what the window's memory check charges for it\n");
    std::printf("%10s %7s %7s %11s %9s %10s %10s %10s %12s\n", "rows", "length", "widths", "bytes/row",
                "RSS/row", "estimate", "RSS before", "RSS full", "RSS cleared");
    const std::tuple<qint64, int, const char *> cases[] = {{1000000, 16, "latin1"},
                                                           {10000000, 16, "latin1"},
                                                           {10000000, 6, "latin1"},
                                                           {10000000, 16, "wide"},
                                                           {10000000, 16, "mixed"}};
    for (const auto &[count, length, widths] : cases) {
        const QStringList f =
            child(self, {"--list", QString::number(count), QString::number(length), QLatin1String(widths)});
        if (f.size() < 7)
            return 1;
        std::printf("%10s %7d %7s %11.2f %9s %10.2f %6s MiB %6s MiB %8s MiB\n", qPrintable(f[0]), length,
                    widths, f[1].toDouble() / double(count), qPrintable(f[2]),
                    f[6].toDouble() / double(count), qPrintable(f[3]), qPrintable(f[4]), qPrintable(f[5]));
    }

    std::printf("\n\"Start Generating\" in the window, first-run options, 10,000,000 of 16 characters\n");
    const QStringList w = child(self, {"--window", "10000000"});
    if (w.size() < 9)
        return 1;
    std::printf("rows %s in %.2f s; list %s bytes/row; RSS before %s MiB, after the run %s MiB, after Clear "
                "Results %s MiB; peak %s MiB; pages swapped %s; last message %s\n",
                qPrintable(w[0]), w[1].toDouble() / 1000.0, qPrintable(w[6]), qPrintable(w[2]),
                qPrintable(w[3]), qPrintable(w[4]), qPrintable(w[5]), qPrintable(w[7]),
                qPrintable(w.mid(8).join(' ')));

    std::printf("\n");
    std::fflush(stdout);
    QProcess largest;
    largest.setProcessChannelMode(QProcess::ForwardedChannels);
    largest.start(self, {"--largest"});
    largest.waitForFinished(-1);
    return 0;
}
