// zentavo-cli --roster: rows a second for a Google Workspace roster filled in
// and written back, without a hash (100,000 rows) and with each hash for
// /etc/shadow (10,000 rows with SHA-512, 500 with yescrypt), on one core
// (taskset -c 0) and on all of them: the hashes are shared out over the
// processors, so the two figures show what the sharing gains. Beside each,
// the floor: --accounts making the same names' rows as CSV, with nothing to
// read back and keep.
//
//   bench_roster [path of zentavo-cli]

#include "childprocess.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

// A roster of Google's columns, a quoted cell with a comma in each row.
std::string rosterFile(const QTemporaryDir &folder, int rows)
{
    QByteArray text =
        "\xEF\xBB\xBF"
        "First Name [Required],Last Name [Required],Email Address [Required],Password [Required],"
        "Password Hash Function [UPLOAD ONLY],Org Unit Path [Required],Change Password at Next "
        "Sign-In\r\n";
    for (int i = 1; i <= rows; ++i) {
        const QByteArray number = QByteArray::number(i).rightJustified(6, '0');
        text +=
            "Pupil,\"No. " + number + ", Class 4b\",pupil" + number + "@school.example,,,/Pupils,TRUE\r\n";
    }
    return zentavo::bench::inputFile(folder, QStringLiteral("roster-%1.csv").arg(rows), text);
}

// The same names as a list for --accounts.
std::string namesFile(const QTemporaryDir &folder, int rows)
{
    QByteArray text;
    for (int i = 1; i <= rows; ++i)
        text += "pupil" + QByteArray::number(i).rightJustified(6, '0') + "@school.example\n";
    return zentavo::bench::inputFile(folder, QStringLiteral("names-%1").arg(rows), text);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string cli = argc > 1 ? argv[1] : ZENTAVO_CLI;
    QTemporaryDir folder;
    struct Case
    {
        int rows;
        const char *crypt;
        int rounds;
    };
    const Case cases[] = {{100000, nullptr, 5}, {10000, "--crypt=sha512", 3}, {500, "--crypt", 3}};
    const unsigned cores = std::thread::hardware_concurrency();
    std::printf("%-52s %5s %9s %9s %11s %11s %10s %8s\n", "command (min and median of the rounds)", "cores",
                "min s", "median s", "rows/s", "median r/s", "cpu ms/row", "peak MiB");
    for (const Case &c : cases) {
        const std::string roster = rosterFile(folder, c.rows);
        // The floor: the same names as a list for --accounts, written as CSV.
        const std::string names = namesFile(folder, c.rows);
        for (const bool accounts : {false, true}) {
            for (const bool oneCore : {true, false}) {
                std::vector<std::string> arguments{cli, "--roster", roster, "--roster-for", "google"};
                if (accounts)
                    arguments = {cli, "--accounts", names, "--format", "csv"};
                if (c.crypt)
                    arguments.push_back(c.crypt);
                if (oneCore)
                    arguments.insert(arguments.begin(), {"taskset", "-c", "0"});
                std::vector<zentavo::bench::Figures> runs;
                for (int round = 0; round < c.rounds; ++round)
                    runs.push_back(zentavo::bench::command(arguments));
                std::sort(runs.begin(), runs.end(),
                          [](const auto &a, const auto &b) { return a.seconds < b.seconds; });
                const zentavo::bench::Figures &median = runs[runs.size() / 2];
                const std::string name = (accounts ? "--accounts " : "--roster ") + std::to_string(c.rows) +
                                         (accounts ? " names --format csv" : " rows --roster-for google") +
                                         (c.crypt ? std::string(" ") + c.crypt : std::string());
                std::printf("%-52s %5u %9.3f %9.3f %11.0f %11.0f %10.4f %8.1f\n", name.c_str(),
                            oneCore ? 1 : cores, runs.front().seconds, median.seconds,
                            c.rows / runs.front().seconds, c.rows / median.seconds,
                            median.cpuSeconds * 1e3 / c.rows, median.peakMiB);
            }
        }
    }
    return 0;
}
