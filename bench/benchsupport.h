#pragma once

// Small helpers shared by the benchmarks.

#include "core/clock.h"
#include "core/errorreport.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "generator/passwordgenerator.h"
#include "generator/randomsource.h"
#include "results/resultslist.h"

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace zentavo::bench {

// Message boxes that close themselves, so a run is never held up by "Done.".
class SilentPrompter : public Prompter
{
public:
    void message(Icon, const QString &, const QString &text) override { last = text; }
    QString last;
};

// The resident set now, in MiB.
inline double residentMiB()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// The largest resident set the process has had, in MiB.
inline double peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// "Start Generating" without a window: fixed options, the rows into a list
// that no view watches, nothing shown.
class ListHost : public PasswordSink
{
public:
    GenerationOptions current;
    ResultsList list;
    void append(const PasswordBatch &batch) override { list.appendRows(batch); }
};

// The generator as the window's button drives it, with the system's random
// source and no message box: set host.current, then run().
struct Generation
{
    SilentPrompter prompter;
    ErrorReport report{prompter, QString()};
    CryptoRandomSource random;
    PasswordGenerator generator{random, report};
    ListHost host;
    void run() { generator.run(host.current, host); }
};

} // namespace zentavo::bench
