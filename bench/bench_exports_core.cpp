// How the three exports compare with the plainest way of producing the same
// output, for a list of 1,000,000 rows of line number and 16-character
// password:
//   text file  SaveListviewProperlySpaced  vs  the same bytes by fwrite, a line at a time
//   clipboard  the clipboard text          vs  the same string built from ready cells
//   workbook   the export's workbook       vs  libxlsxwriter writing the same cells alone
// Each pair runs three times in this process and the best of each is kept.
//
//   bench_exports_core [rows]

#include "benchsupport.h"
#include "core/errorreport.h"
#include "core/eventpump.h"
#include "export/clipboardexport.h"
#include "export/progressdisplay.h"
#include "export/textfileexport.h"
#include "export/workbook.h"
#include "results/resultslist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>
#include <xlsxwriter.h>

using namespace zentavo;

namespace {

// Keeps what the window's bar would show, dropping nothing: the export calls
// it for every row.
class LastProgress : public ProgressDisplay
{
public:
    void setValue(double percent) override { value = percent; }
    void setText(const QString &shown) override { text = shown; }
    double value = 0;
    QString text;
};

class KeepingClipboard : public Clipboard
{
public:
    bool clear() override
    {
        text.clear();
        return true;
    }
    bool setText(const QString &newText, const QString &) override
    {
        text = newText;
        return true;
    }
    QString text;
};

template <typename Body> double bestSeconds(int runs, Body body)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        body();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qsizetype rows = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    QTemporaryDir folder;
    bench::SilentPrompter prompter;
    ErrorReport report(prompter, QStringLiteral("bench@example.org"));
    EventPump pump;

    // The list, and the same cells ready-made for the plain versions.
    ResultsList list;
    list.addColumn(QStringLiteral("Line"));
    list.addColumn(QStringLiteral("Result(s)"));
    std::mt19937 random(7);
    const char pool[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::vector<std::string> numbers, passwords;
    numbers.reserve(std::size_t(rows));
    passwords.reserve(std::size_t(rows));
    QString password(16, QLatin1Char(' '));
    for (qsizetype r = 1; r <= rows; ++r) {
        std::string text(16, ' ');
        for (int i = 0; i < 16; ++i) {
            text[std::size_t(i)] = pool[random() % 62];
            password[i] = QLatin1Char(text[std::size_t(i)]);
        }
        list.appendRow(qint32(r), password);
        numbers.push_back(std::to_string(r));
        passwords.push_back(std::move(text));
    }
    std::printf("%lld rows of line number and 16-character password; best of 3 runs\n\n", qlonglong(rows));
    std::printf("%-10s %12s %12s %7s\n", "export", "Zentavo s", "plain s", "ratio");

    // Text file.
    const QString exported = folder.filePath(QStringLiteral("exported.txt"));
    LastProgress progress;
    const double textSeconds =
        bestSeconds(3, [&] { SaveListviewProperlySpaced(list, exported, &progress, pump, report); });
    const std::size_t lineWidth = std::to_string(rows).size();
    std::vector<std::string> lines;
    lines.reserve(std::size_t(rows) + 1);
    lines.push_back("Line" + std::string(lineWidth > 4 ? lineWidth - 4 : 0, ' ') +
                    "\tResult(s)       \t\r\n");
    const std::size_t numberWidth = std::max<std::size_t>(lineWidth, 4);
    for (qsizetype r = 0; r < rows; ++r) {
        const std::string &number = numbers[std::size_t(r)];
        lines.push_back(number + std::string(numberWidth - number.size(), ' ') + '\t' +
                        passwords[std::size_t(r)] + "\t\r\n");
    }
    const QByteArray plainPath = QFile::encodeName(folder.filePath(QStringLiteral("plain.txt")));
    const double fwriteSeconds = bestSeconds(3, [&] {
        FILE *file = std::fopen(plainPath.constData(), "wb");
        for (const std::string &line : lines)
            std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    });
    QFile a(exported), b(QFile::decodeName(plainPath));
    a.open(QIODevice::ReadOnly);
    b.open(QIODevice::ReadOnly);
    const bool sameBytes = a.readAll() == b.readAll();
    std::printf(
        "%-10s %12.3f %12.3f %7.2f   (%.1f MB, same bytes: %s; fwrite without fsync, the export's file\n"
        "%-10s %12s %12s %7s    is synced to disk when it is moved into place)\n",
        "text file", textSeconds, fwriteSeconds, textSeconds / fwriteSeconds, a.size() / 1e6,
        sameBytes ? "yes" : "NO", "", "", "", "");
    lines.clear();
    lines.shrink_to_fit();

    // Clipboard text.
    KeepingClipboard clipboard;
    const double clipboardSeconds =
        bestSeconds(3, [&] { CopyListviewProperlySpaced(list, clipboard, pump); });
    std::vector<QString> numberCells, passwordCells;
    numberCells.reserve(std::size_t(rows));
    passwordCells.reserve(std::size_t(rows));
    for (qsizetype r = 0; r < rows; ++r) {
        numberCells.push_back(QString::fromStdString(numbers[std::size_t(r)]));
        passwordCells.push_back(QString::fromStdString(passwords[std::size_t(r)]));
    }
    QString plainText;
    const double buildSeconds = bestSeconds(3, [&] {
        plainText = QString();
        for (qsizetype r = 0; r < rows; ++r) {
            const QString &number = numberCells[std::size_t(r)];
            plainText += number;
            plainText += QString(qsizetype(lineWidth) - number.size(), QLatin1Char(' '));
            plainText += QLatin1Char('\t');
            plainText += passwordCells[std::size_t(r)];
            plainText += QLatin1String("\r\n");
        }
    });
    std::printf("%-10s %12.3f %12.3f %7.2f   (%.1f M characters, same text: %s)\n", "clipboard",
                clipboardSeconds, buildSeconds, clipboardSeconds / buildSeconds, plainText.size() / 1e6,
                plainText == clipboard.text ? "yes" : "NO");
    plainText = QString();
    numberCells.clear();
    passwordCells.clear();

    // Workbook.
    const QString workbookPath = folder.filePath(QStringLiteral("exported.xlsx"));
    const double workbookSeconds = bestSeconds(3, [&] {
        Procedure procedure(report, QStringLiteral("in bench "));
        Workbook workbook(workbookPath, folder.path());
        writeResultsWorkbook(list, workbook, pump, procedure);
        workbook.save();
    });
    const QByteArray plainWorkbook = QFile::encodeName(folder.filePath(QStringLiteral("plain.xlsx")));
    QByteArray tempFolder = QFile::encodeName(folder.path());
    const double libxlsxwriterSeconds = bestSeconds(3, [&] {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tempFolder.data();
        lxw_workbook *workbook = workbook_new_opt(plainWorkbook.constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
        worksheet_write_string(sheet, 0, 0, "Results", nullptr);
        for (qsizetype r = 0; r < rows; ++r) {
            worksheet_write_string(sheet, lxw_row_t(r + 1), 0, numbers[std::size_t(r)].c_str(), nullptr);
            worksheet_write_string(sheet, lxw_row_t(r + 1), 1, passwords[std::size_t(r)].c_str(), nullptr);
        }
        worksheet_set_column(sheet, 0, 0, 9.4, nullptr);
        worksheet_set_column(sheet, 1, 1, 20.2, nullptr);
        workbook_close(workbook);
    });
    std::printf("%-10s %12.3f %12.3f %7.2f   (%.1f MB)\n", "workbook", workbookSeconds, libxlsxwriterSeconds,
                workbookSeconds / libxlsxwriterSeconds, QFile(workbookPath).size() / 1e6);
    std::printf("\nreports shown: %s\n", prompter.last.isEmpty() ? "none" : qPrintable(prompter.last));
    std::printf("peak memory: %.0f MiB\n", bench::peakMemoryMiB());
    return 0;
}
