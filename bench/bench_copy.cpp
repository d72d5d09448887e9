// Ctrl+C in the results list beside "Copy Results To Clipboard", on
// 1,000,000 and 10,000,000 rows of line number and 16-character password
// made by "Start Generating" in the real window (offscreen), every row
// selected (Ctrl+A) for Ctrl+C, with the platform's real clipboard. For each
// copy: its time, the memory it adds at its peak (the resident set's
// high-water mark, reset before the copy, less the resident set then), and
// the longest the window went without handling its events (the longest gap
// between turns of a 5 ms timer), in wall time and in the window thread's
// processor time (on a busy machine the wall time also counts the time the
// thread waited for a processor). Each copy runs in a process of its own;
// the rounds alternate, and each line gives their minimum and median.
//
//   bench_copy [rounds]                  (default 5)
//   bench_copy --single N button|ctrl-c  one copy, one line of figures

#include "benchwindow.h"
#include "childprocess.h"
#include "ui/desktopservices.h"
#include "ui/form1.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace zentavo;

namespace {

// The processor time this thread has used, in milliseconds.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void sendKey(QWidget *to, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(to, &press);
}

int runSingle(qint64 rows, bool button)
{
    bench::QuietWorld world;
    SystemClipboard clipboard;
    Services services = world.services();
    services.clipboard = &clipboard;
    Form1 form(services);
    form.Form_Load(); // the first-run options: line numbers shown
    form.Text2->setText(QString::number(rows));
    form.Text3->setText(QStringLiteral("16"));
    form.show();
    QApplication::processEvents();
    form.PushButton1_Click();
    if (!button) {
        form.ListView1->setFocus();
        sendKey(form.ListView1, Qt::Key_A);
    }
    QApplication::processEvents();

    // From here the high-water mark is that of the copy.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return 1;
    clear.close();
    const double before = bench::residentMiB();
    QElapsedTimer wall;
    qint64 lastTick = 0, longestGap = 0;
    double lastCpu = threadCpuMs(), longestCpuGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, wall.elapsed() - lastTick);
        lastTick = wall.elapsed();
        longestCpuGap = std::max(longestCpuGap, threadCpuMs() - lastCpu);
        lastCpu = threadCpuMs();
    });
    ticker.start(5);
    wall.start();
    if (button)
        form.PushButton2_Click();
    else
        sendKey(form.ListView1, Qt::Key_C);
    const double seconds = wall.nsecsElapsed() / 1e9;
    longestGap = std::max(longestGap, wall.elapsed() - lastTick);
    longestCpuGap = std::max(longestCpuGap, threadCpuMs() - lastCpu);
    ticker.stop();
    const QMimeData *held = QGuiApplication::clipboard()->mimeData();
    const qsizetype bytes = held ? held->data(QStringLiteral("text/plain")).size() : 0;
    std::printf("%.3f %.1f %lld %.1f %lld\n", seconds, bench::peakMemoryMiB() - before, qlonglong(longestGap),
                longestCpuGap, qlonglong(bytes));
    return bytes > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--single"))
        return runSingle(args[2].toLongLong(), args[3] == QLatin1String("button"));
    const int rounds = args.size() > 1 ? std::max(1, args[1].toInt()) : 5;

    std::printf("Copying every row of line number and 16-character password, real window (offscreen), "
                "%d rounds: min / median\n\n",
                rounds);
    std::printf("%10s %-28s %17s %20s %18s %18s %12s\n", "rows", "command", "seconds", "added peak MiB",
                "longest gap ms", "its processor ms", "UTF-8 bytes");
    for (const qint64 rows : {1000000LL, 10000000LL}) {
        bench::Series figures[2][4];
        QString bytes[2];
        for (int round = 0; round < rounds; ++round) {
            for (int way = 0; way < 2; ++way) {
                QProcess child;
                child.start(app.applicationFilePath(),
                            {"--single", QString::number(rows), way == 0 ? "button" : "ctrl-c"});
                child.waitForFinished(-1);
                const QStringList f = QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(' ');
                if (child.exitCode() != 0 || f.size() != 5) {
                    std::fprintf(stderr, "a copy of %lld rows failed: %s\n", qlonglong(rows),
                                 child.readAllStandardError().constData());
                    return 1;
                }
                for (int k = 0; k < 4; ++k)
                    figures[way][k].values.push_back(f[k].toDouble());
                bytes[way] = f[4];
            }
        }
        for (int way = 0; way < 2; ++way)
            std::printf("%10lld %-28s %8.3f / %6.3f %9.0f / %8.0f %8.0f / %7.0f %8.1f / %7.1f %12s\n",
                        qlonglong(rows), way == 0 ? "Copy Results To Clipboard" : "Ctrl+A, Ctrl+C",
                        figures[way][0].min(), figures[way][0].median(), figures[way][1].min(),
                        figures[way][1].median(), figures[way][2].min(), figures[way][2].median(),
                        figures[way][3].min(), figures[way][3].median(), qPrintable(bytes[way]));
    }
    return 0;
}
