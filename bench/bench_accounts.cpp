// zentavo-cli --accounts: names a second for a list of 100,000 accounts,
// without a hash in each format for names, and with each of the two hashes
// for /etc/shadow and a directory. yescrypt and sha512 are slow on purpose
// (that is what makes a stolen shadow file expensive to guess), so they run
// on a smaller list and the time for 100,000 is worked out from it; each
// runs on one processor (taskset -c 0) and on all, to show the hashes
// shared out over them. The processor time a name says what a busy machine
// costs.
//
//   bench_accounts [path of zentavo-cli]

#include "childprocess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using zentavo::bench::Figures;

// The command as a child process, its output thrown away.
Figures run(const std::vector<std::string> &arguments)
{
    return zentavo::bench::command(arguments);
}

std::string namesFile(const QTemporaryDir &folder, int count)
{
    QByteArray text = "# one account a line\n";
    for (int i = 1; i <= count; ++i)
        text += "pupil" + QByteArray::number(i).rightJustified(6, '0') + '\n';
    return zentavo::bench::inputFile(folder, QStringLiteral("names-%1").arg(count), text);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string cli = argc > 1 ? argv[1] : ZENTAVO_CLI;
    QTemporaryDir folder;
    struct Case
    {
        int names;
        const char *crypt;
        const char *format;
        bool oneCore;
    };
    const Case cases[] = {{100000, nullptr, "plain", false},        {100000, nullptr, "csv", false},
                          {100000, nullptr, "text", false},         {100000, nullptr, "newusers", false},
                          {10000, "--crypt=sha512", "plain", true}, {10000, "--crypt=sha512", "plain", false},
                          {10000, "--crypt=sha512", "ldif", false}, {500, "--crypt", "plain", true},
                          {500, "--crypt", "plain", false}};
    std::printf("%-60s %9s %9s %12s %12s %9s %14s\n", "command", "wall s", "cpu s", "names/s", "cpu ms/name",
                "peak MiB", "100,000 take");
    for (const Case &c : cases) {
        std::vector<std::string> arguments{cli, "--accounts", namesFile(folder, c.names), "--format",
                                           c.format};
        if (c.crypt)
            arguments.push_back(c.crypt);
        if (std::string(c.format) == "ldif")
            arguments.insert(arguments.end(), {"--base-dn", "ou=people,dc=example,dc=org"});
        if (c.oneCore)
            arguments.insert(arguments.begin(), {"taskset", "-c", "0"});
        const Figures figures = run(arguments);
        const double perSecond = c.names / figures.seconds;
        const std::string name = "--accounts " + std::to_string(c.names) + " names --format " + c.format +
                                 (c.crypt ? std::string(" ") + c.crypt : std::string()) +
                                 (c.oneCore ? ", 1 core" : "");
        std::printf("%-60s %9.3f %9.3f %12.0f %12.4f %9.1f %12.1f s%s\n", name.c_str(), figures.seconds,
                    figures.cpuSeconds, perSecond, figures.cpuSeconds * 1e3 / c.names, figures.peakMiB,
                    100000 / perSecond, c.names < 100000 ? " (worked out)" : "");
    }
    return 0;
}
