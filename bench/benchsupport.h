#pragma once

// Small helpers shared by the benchmarks.

#include "core/clock.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "generator/passwordgenerator.h"
#include "generator/randomsource.h"
#include "results/resultslist.h"

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <sys/resource.h>

namespace zentavo::bench {

// Message boxes that close themselves, so a run is never held up by "Done.".
class SilentPrompter : public Prompter
{
public:
    void message(Icon, const QString &, const QString &text) override { last = text; }
    QString last;
};

// The largest resident set the process has had, in MiB.
inline double peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// "Start Generating" without a window: fixed options, the rows into a list
// that no view watches, nothing shown.
class ListHost : public GenerationHost
{
public:
    GenerationOptions current;
    ResultsList list;
    GenerationOptions options() override { return current; }
    void yield() override {}
    void appendRow(qint32 line, const QString &password) override { list.appendRow(line, password); }
    void setProgressValue(double) override {}
    void setProgressText(const QString &) override {}
    void showMessage(const QString &) override {}
    void focusPasswordLength() override {}
    void resetPointer() override {}
};

} // namespace zentavo::bench
