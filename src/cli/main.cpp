// zentavo-cli: the window's password generator for scripts.

#include "cli/run.h"
#include "generator/randomsource.h"

#include <QStringList>
#include <csignal>

int main(int argc, char **argv)
{
    // A reader that goes away (| head) shows up as a failed write, which ends
    // the run quietly, instead of killing the process halfway through a line.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file size limit: the write fails with a cause to name, and
    // the unfinished file is removed.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    zentavo::CryptoRandomSource random;
    return zentavo::cli::runCommandLine(arguments, random);
}
