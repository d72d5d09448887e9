#pragma once

// The real window program, started offscreen with a home, settings and
// runtime folder of its own (or the ones given), and ended as a desktop
// session ends it.

#include <QProcess>
#include <QTemporaryDir>

namespace zentavo::test {

class RunningWindow
{
public:
    // `environment` adds to (or overrides) the offscreen one.
    RunningWindow(const QString &home, const QProcessEnvironment &environment = {});
    // Sends SIGTERM once the program listens for it; true when it then ended
    // on its own with status 0.
    bool endsCleanly();

    QProcess process;
};

} // namespace zentavo::test
