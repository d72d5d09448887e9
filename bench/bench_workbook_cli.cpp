// zentavo-cli's workbook against libxlsxwriter alone. The floor is a plain
// program that reads the same strings (one run of zentavo-cli's plain output
// of the same count and length) and writes them with libxlsxwriter as the
// workbook writer does: the title cell, a cell a row, the column's width,
// rows kept in a temporary file until the workbook is packed. Both run as
// child processes in alternating rounds; the figures are processor time
// (user and system), with the minimum and median of the rounds and the ratio
// of each to the floor's.
//
//   bench_workbook_cli [rows] [rounds] [zentavo-cli]      (default 1000000, 5, the build's)

#include "childprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <xlsxwriter.h>

namespace {

using zentavo::bench::command;
using zentavo::bench::inChild;
using zentavo::bench::Series;

// The floor: the strings of `passwords`, one a line, into a workbook at `path`.
int libxlsxwriterAlone(const std::string &passwords, const std::string &path, const std::string &folder)
{
    QFile in(QString::fromStdString(passwords));
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray text = in.readAll();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(folder.c_str());
    lxw_workbook *workbook = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    worksheet_write_string(sheet, 0, 0, "Results", nullptr);
    std::string cell;
    lxw_row_t row = 0;
    std::size_t longest = 0;
    for (qsizetype start = 0, end; start < text.size(); start = end + 1) {
        end = text.indexOf('\n', start);
        cell.assign(text.constData() + start, std::size_t(end - start));
        longest = std::max(longest, cell.size());
        worksheet_write_string(sheet, ++row, 0, cell.c_str(), nullptr);
    }
    worksheet_set_column(sheet, 0, 0, double(longest) * 1.2 + 1.0, nullptr);
    return workbook_close(workbook) == LXW_NO_ERROR ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const std::string rows = argc > 1 ? argv[1] : "1000000";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string program = argc > 3 ? argv[3] : ZENTAVO_CLI;
    QTemporaryDir folder;
    const std::string at = folder.path().toStdString();
    const std::string passwords = at + "/passwords.txt";
    const std::string cliBook = at + "/cli.xlsx";
    const std::string floorBook = at + "/floor.xlsx";
    command({program, "-n", rows, "-l", "16", "--format", "plain", "-o", passwords});

    Series cli, floor;
    for (int round = 0; round < rounds; ++round) {
        cli.values.push_back(
            command({program, "-n", rows, "-l", "16", "--format", "xlsx", "-o", cliBook}).cpuSeconds);
        floor.values.push_back(
            inChild("/dev/null", [&] { return libxlsxwriterAlone(passwords, floorBook, at); }).cpuSeconds);
        QFile::remove(QString::fromStdString(cliBook));
        QFile::remove(QString::fromStdString(floorBook));
    }
    std::printf("%d alternating rounds, processor time in seconds\n", rounds);
    std::printf("%-58s min %7.3f  median %7.3f\n", "libxlsxwriter alone, the same strings", floor.min(),
                floor.median());
    const std::string name = "zentavo-cli -n " + rows + " -l 16 --format xlsx -o FILE";
    std::printf("%-58s min %7.3f  median %7.3f   x floor: min %5.2f  median %5.2f\n", name.c_str(), cli.min(),
                cli.median(), cli.min() / floor.min(), cli.median() / floor.median());
    return 0;
}
