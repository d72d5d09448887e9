// zentavo-cli: the window's password generator for scripts.

#include "cli/run.h"
#include "generator/randomsource.h"
#include "hardening/hardening.h"

#include <QStringList>
#include <csignal>
#include <cstdio>
#include <signal.h>
#include <string>

namespace {

// Interrupted, stopped or its terminal gone: nothing of the run stays on the
// disk, and the program ends as the signal would have ended it.
extern "C" void leaveNothingBehind(int caught)
{
    zentavo::cli::removeUnfinishedFiles();
    ::raise(caught); // delivered once this returns, with the default action
}

} // namespace

int main(int argc, char **argv)
{
    zentavo::hardenProcess();
    const std::string unwiped = zentavo::unwipedMemoryNotice();
    if (!unwiped.empty())
        std::fprintf(stderr, "zentavo-cli: %s\n", unwiped.c_str());
    // A reader that goes away (| head) shows up as a failed write, which ends
    // the run quietly, instead of killing the process halfway through a line.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file size limit: the write fails with a cause to name, and
    // the unfinished file is removed.
    std::signal(SIGXFSZ, SIG_IGN);
    // Every signal that would end it and that it may catch: from the
    // terminal, from kill, from a timer or limit it was given, and the C
    // library's own abort.
    for (const int stop : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF,
                           SIGXCPU, SIGABRT}) {
        struct sigaction action = {};
        action.sa_handler = leaveNothingBehind;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(stop, &action, nullptr);
    }
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    zentavo::CryptoRandomSource random;
    return zentavo::cli::runCommandLine(arguments, random);
}
