#pragma once

// Small helpers shared by the benchmarks.

#include "app/prompter.h"

#include <QElapsedTimer>
#include <QString>
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

} // namespace zentavo::bench
