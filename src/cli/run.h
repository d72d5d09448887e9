#pragma once

#include <QStringList>
#include <unistd.h>

namespace zentavo {

class RandomSource;

namespace cli {

// Where the command's output and messages go.
struct Streams
{
    int output = STDOUT_FILENO;
    int error = STDERR_FILENO;
};

// Everything zentavo-cli does, minus the process around it: reads the
// arguments (without the program name), makes the passwords with the window's
// generator and `random`, writes them out. Returns the exit status: 0 done,
// 1 the output could not be written (nothing left behind under -o), 2 a
// command line that makes no sense (nothing written at all).
// A failed allocation anywhere ends the run with status 1 and one message.
int runCommandLine(const QStringList &arguments, RandomSource &random, const Streams &streams = {});

// Removes what an unfinished run has on the disk under a name. Safe to call
// from a signal handler.
void removeUnfinishedFiles();

} // namespace cli
} // namespace zentavo
