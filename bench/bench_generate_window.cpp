// How long "Start Generating" takes in the real window for 10,000, 100,000
// and 1,000,000 passwords of 16 characters with the first-run options, and
// whether the window stays responsive meanwhile. Each size runs in a process
// of its own, so its peak memory is its own. For comparison, the same run
// times `pwgen -s -1 16 1000000 > /dev/null`.
//
//   bench_generate_window            all sizes, with the pwgen comparison
//   bench_generate_window --single N [--command-line-options] [--no-at-least]
//                                    one size, one line of figures (the last
//                                    one the run's processor time, in ms)

#include "benchwindow.h"
#include "ui/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <ctime>

using namespace zentavo;

namespace {

// Counts repaints of a widget and notes when posted clicks are handled.
class Watcher : public QObject
{
public:
    int paints = 0;
    int clicksHandled = 0;
    qint64 slowestClickMs = 0;
    QElapsedTimer *clock = nullptr;
    qint64 clickPostedAt = -1;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        if (event->type() == QEvent::MouseButtonRelease && clickPostedAt >= 0) {
            slowestClickMs = std::max(slowestClickMs, clock->elapsed() - clickPostedAt);
            clickPostedAt = -1;
            ++clicksHandled;
        }
        return false;
    }
};

double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// `commandLine`: the command line's default options instead of the first-run ones.
int runSingle(qint64 count, bool commandLine, bool atLeast)
{
    bench::QuietWorld world;
    Form1 form(world.services());
    form.Form_Load(); // the first-run options
    if (commandLine) {
        form.Check1->setChecked(false); // vowels
        form.Check3->setChecked(false); // space
        form.Check4->setChecked(false); // last digit
        form.Check9->setChecked(false); // line numbers
    }
    form.Check8->setChecked(atLeast);
    form.Text2->setText(QString::number(count));
    form.Text3->setText(QStringLiteral("16"));
    form.show();
    QApplication::processEvents();
    const double startMiB = bench::residentMiB();

    QElapsedTimer wall;
    Watcher watcher;
    watcher.clock = &wall;
    form.ListView1->viewport()->installEventFilter(&watcher);
    // Clicks posted during the run must be answered promptly.
    form.PushButton4->installEventFilter(&watcher);

    qint64 lastTick = -1, longestGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = wall.elapsed();
        if (lastTick >= 0)
            longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        if (watcher.clickPostedAt < 0 && now % 50 < 6) {
            // A click on "Save Results As Text File" whose press is left
            // out: the button only notes the release, nothing runs.
            watcher.clickPostedAt = now;
            const QPointF at(5, 5);
            QCoreApplication::postEvent(form.PushButton4,
                                        new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                        form.PushButton4->mapToGlobal(at), Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
        }
    });
    ticker.start(5);

    wall.start();
    const double startMs = processorMs();
    form.PushButton1_Click();
    const qint64 ms = wall.elapsed();
    const double cpuMs = processorMs() - startMs;
    ticker.stop();

    if (form.results().storedRowCount() != count || world.prompter.last != QStringLiteral("Done.")) {
        std::fprintf(stderr, "the run made %lld rows and said \"%s\"\n",
                     qlonglong(form.results().storedRowCount()), qPrintable(world.prompter.last));
        return 1;
    }
    std::printf("%lld %lld %.1f %lld %d %d %lld %.1f %.1f\n", qlonglong(count), qlonglong(ms),
                bench::peakMemoryMiB(), qlonglong(longestGap), watcher.paints, watcher.clicksHandled,
                qlonglong(watcher.slowestClickMs), startMiB, cpuMs);
    return 0;
}

double timePwgen()
{
    QElapsedTimer timer;
    timer.start();
    QProcess pwgen;
    pwgen.setStandardOutputFile(QProcess::nullDevice());
    pwgen.start(QStringLiteral("pwgen"), {"-s", "-1", "16", "1000000"});
    if (!pwgen.waitForFinished(-1) || pwgen.exitCode() != 0)
        return -1;
    return timer.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("--single"))
        return runSingle(args[2].toLongLong(), args.contains(QLatin1String("--command-line-options")),
                         !args.contains(QLatin1String("--no-at-least")));

    std::printf("Start Generating in the real window (offscreen), first-run options, length 16\n");
    std::printf("%10s %9s %12s %9s %11s %9s %8s %10s\n", "passwords", "seconds", "rows/s", "peak MiB",
                "longest gap", "repaints", "clicks", "slowest");
    double perRow100k = 0, perRow1m = 0, seconds1m = 0;
    for (const qint64 count : {10000LL, 100000LL, 1000000LL}) {
        QProcess child;
        child.start(app.applicationFilePath(), {"--single", QString::number(count)});
        child.waitForFinished(-1);
        const QStringList f =
            QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(' ', Qt::SkipEmptyParts);
        if (child.exitCode() != 0 || f.size() != 9) {
            std::fprintf(stderr, "run of %lld failed: %s\n", qlonglong(count),
                         child.readAllStandardError().constData());
            return 1;
        }
        const double seconds = f[1].toDouble() / 1000.0;
        std::printf("%10lld %9.3f %12.0f %9s %8s ms %9s %8s %7s ms\n", qlonglong(count), seconds,
                    count / seconds, qPrintable(f[2]), qPrintable(f[3]), qPrintable(f[4]), qPrintable(f[5]),
                    qPrintable(f[6]));
        if (count == 100000)
            perRow100k = seconds / count;
        if (count == 1000000) {
            perRow1m = seconds / count;
            seconds1m = seconds;
        }
    }
    std::printf("time per row at 1,000,000 / at 100,000: %.2f\n", perRow1m / perRow100k);
    const double pwgen = timePwgen();
    if (pwgen > 0)
        std::printf("pwgen -s -1 16 1000000: %.3f s; Zentavo / pwgen: %.2f\n", pwgen, seconds1m / pwgen);
    else
        std::printf("pwgen is not installed (scripts/install-deps.sh --test installs it)\n");
    return 0;
}
