#pragma once

// Runs what a benchmark measures in a child process of its own, so its time
// and peak memory are its own: wall time, processor time (user and system:
// what it costs, whatever else runs) and the largest resident set.

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zentavo::bench {

struct Figures
{
    double seconds;
    double cpuSeconds;
    double peakMiB;
};

// One figure over the rounds of a benchmark: its minimum and median.
struct Series
{
    std::vector<double> values;
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double median() const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// Runs `body` in a child process with standard output sent to `output`.
inline Figures inChild(const std::string &output, const std::function<int()> &body)
{
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, STDOUT_FILENO);
        ::close(fd);
        _exit(body());
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "a measured command failed (status %d)\n", status);
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return {seconds, cpu, usage.ru_maxrss / 1024.0};
}

// A program with its arguments, its output sent to `output`.
inline Figures command(const std::vector<std::string> &arguments, const std::string &output = "/dev/null")
{
    return inChild(output, [&] {
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        return 127;
    });
}

// A file of `text` in `folder`, for a command to read; its path.
inline std::string inputFile(const QTemporaryDir &folder, const QString &name, const QByteArray &text)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        std::fprintf(stderr, "%s not written\n", qPrintable(file.fileName()));
    return file.fileName().toStdString();
}

} // namespace zentavo::bench
