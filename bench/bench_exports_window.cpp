// The three export buttons and "Save Slips as PDF…" (of the first 1,000 and
// 10,000 rows) in the real window (offscreen) on a list of
// 1,000,000 rows of line number and 16-character password: how long each
// takes and whether the window keeps handling events meanwhile, measured as
// the longest gap between turns of a 5 ms timer and the repaints of the
// progress bar. The clipboard is the real one of the platform; the copy is
// compared with building the same string alone from ready cells.
//
//   bench_exports_window [rows]

#include "benchwindow.h"
#include "core/clock.h"
#include "core/settingsstore.h"
#include "export/spreadsheetapplication.h"
#include "export/workbookfolder.h"
#include "generator/randomsource.h"
#include "ui/browser.h"
#include "ui/desktopservices.h"
#include "ui/form1.h"
#include "ui/savedialog.h"
#include "ui/services.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <random>

using namespace zentavo;

namespace {

class FixedSaveDialog : public SaveDialog
{
public:
    QString askForPath(SaveKind) override { return path; }
    QString path;
};

// Stands in for LibreOffice, which would take seconds to start and is not
// what is measured here.
class NoSpreadsheet : public SpreadsheetApplication
{
public:
    bool isInstalled() override { return true; }
    void open(const QString &workbook, EventPump &) override { opened = workbook; }
    QString opened;
};

class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Measured
{
    double seconds;
    qint64 longestGapMs;
    int ticks;
    int barPaints;
};

template <typename Body> Measured measure(QWidget *bar, Body body)
{
    PaintCounter counter;
    bar->installEventFilter(&counter);
    QElapsedTimer wall;
    qint64 lastTick = -1, longestGap = 0;
    int ticks = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = wall.elapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        ++ticks;
    });
    QApplication::processEvents();
    ticker.start(5);
    wall.start();
    lastTick = 0;
    body();
    const double seconds = wall.nsecsElapsed() / 1e9;
    // The gap up to the end of the command counts too.
    longestGap = std::max(longestGap, wall.elapsed() - lastTick);
    ticker.stop();
    bar->removeEventFilter(&counter);
    return {seconds, longestGap, ticks, counter.paints};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;

    bench::QuietWorld world;
    QTemporaryDir &folder = world.folder;
    FixedSaveDialog dialog;
    dialog.path = folder.filePath(QStringLiteral("results.txt"));
    SystemClipboard clipboard;
    NoSpreadsheet spreadsheet;
    WorkbookFolder workbooks(folder.filePath(QStringLiteral("workbooks")));
    Services services = world.services();
    services.saveDialog = &dialog;
    services.clipboard = &clipboard;
    services.spreadsheet = &spreadsheet;
    services.workbooks = &workbooks;

    Form1 form(services);
    form.Form_Load(); // first-run options: line numbers shown
    std::mt19937 draw(11);
    const char16_t pool[] = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString password(16, QLatin1Char(' '));
    std::vector<QString> numberCells, passwordCells;
    for (qsizetype r = 1; r <= rows; ++r) {
        for (int i = 0; i < 16; ++i)
            password[i] = QChar(pool[draw() % 62]);
        form.results().appendRow(qint32(r), password);
        numberCells.push_back(QString::number(r));
        passwordCells.push_back(password);
    }
    form.results().publishRows();
    form.show();
    QApplication::processEvents();

    std::printf("%lld rows of line number and 16-character password, real window (offscreen)\n\n",
                qlonglong(rows));
    std::printf("%-28s %9s %12s %7s %11s\n", "command", "seconds", "longest gap", "ticks", "bar repaints");
    auto print = [](const char *name, const Measured &m) {
        std::printf("%-28s %9.3f %9lld ms %7d %11d\n", name, m.seconds, qlonglong(m.longestGapMs), m.ticks,
                    m.barPaints);
    };

    const Measured text = measure(form.ProgressBar1, [&] { form.PushButton4_Click(); });
    print("Save Results As Text File", text);
    const Measured copy = measure(form.ProgressBar1, [&] { form.PushButton2_Click(); });
    print("Copy Results To Clipboard", copy);
    const Measured workbook = measure(form.ProgressBar1, [&] { form.PushButton13_Click(); });
    print("Save Results As Excel File", workbook);

    // The same clipboard text built alone, from cells made beforehand.
    const qsizetype width = QString::number(rows).size();
    QElapsedTimer timer;
    timer.start();
    QString plain;
    for (qsizetype r = 0; r < rows; ++r) {
        const QString &number = numberCells[std::size_t(r)];
        plain += number;
        plain += QString(width - number.size(), QLatin1Char(' '));
        plain += QLatin1Char('\t');
        plain += passwordCells[std::size_t(r)];
        plain += QLatin1String("\r\n");
    }
    const double buildSeconds = timer.nsecsElapsed() / 1e9;
    const bool same = QGuiApplication::clipboard()->text() == plain;
    std::printf(
        "\nclipboard: copy with the real clipboard %.3f s, building the string alone %.3f s, ratio %.2f "
        "(same text: %s)\n",
        copy.seconds, buildSeconds, copy.seconds / buildSeconds, same ? "yes" : "NO");
    std::printf("text file: %.1f MB; workbook handed over: %s; messages: last \"%s\"\n",
                QFile(dialog.path).size() / 1e6, spreadsheet.opened.isEmpty() ? "NO" : "yes",
                qPrintable(world.prompter.last.left(40)));
    // Slips of the first 1,000 and 10,000 rows, the rest unticked: a page
    // holds ten, so a whole list would make a book.
    dialog.path = folder.filePath(QStringLiteral("slips.pdf"));
    std::printf("\n%-28s %9s %12s %7s\n", "Save Slips as PDF…", "seconds", "longest gap", "ticks");
    for (const qsizetype slips : {qsizetype(1000), qsizetype(10000)}) {
        for (qsizetype r = 0; r < rows; ++r)
            form.results().setChecked(r, r < slips);
        const Measured made = measure(form.ProgressBar1, [&] { form.SaveSlipsAsPdf_Click(); });
        std::printf("%-28lld %9.3f %9lld ms %7d  (%.1f MB)\n", qlonglong(std::min(slips, rows)), made.seconds,
                    qlonglong(made.longestGapMs), made.ticks, QFile(dialog.path).size() / 1e6);
    }
    std::printf("peak memory: %.0f MiB\n", bench::peakMemoryMiB());
    return 0;
}
