#include "runningwindow.h"

#include <QFile>
#include <QTest>
#include <csignal>

namespace zentavo::test {

RunningWindow::RunningWindow(const QString &home, const QProcessEnvironment &environment)
{
    QProcessEnvironment everything = QProcessEnvironment::systemEnvironment();
    everything.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    everything.insert(QStringLiteral("HOME"), home);
    everything.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    everything.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    everything.insert(QStringLiteral("ZENTAVO_BROWSER"), QStringLiteral("true"));
    everything.insert(environment);
    process.setProcessEnvironment(everything);
    process.start(QStringLiteral(ZENTAVO_WINDOW), {});
}

bool RunningWindow::endsCleanly()
{
    // Caught signals are a mask in the process's status, SIGTERM its 15th
    // bit; until the program itself runs there, they are this test's.
    const QString proc = QStringLiteral("/proc/%1/").arg(process.processId());
    QFile status(proc + QStringLiteral("status"));
    const bool listening = QTest::qWaitFor(
        [&] {
            if (QFile::symLinkTarget(proc + QStringLiteral("exe")) != QStringLiteral(ZENTAVO_WINDOW) ||
                !status.open(QIODevice::ReadOnly))
                return false;
            const QByteArray text = status.readAll();
            status.close();
            const qsizetype at = text.indexOf("SigCgt:");
            return at >= 0 && (text.mid(at + 7, 17).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
        },
        60000);
    if (!listening)
        return false;
    ::kill(pid_t(process.processId()), SIGTERM);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace zentavo::test
