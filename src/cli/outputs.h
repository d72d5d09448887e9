#pragma once

#include "export/destinationsink.h"
#include "export/textblocks.h"
#include "export/workbook.h"

#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace zentavo::cli {

// Writing the output failed. Not a std::exception on purpose: no step of a
// generation run may take it for a failure to report and carry on past it.
struct OutputFailed
{
    QString message; // names the cause; empty when the reader went away (| head)
};

// A file descriptor written in full; a write that fails throws OutputFailed.
class DescriptorOutput final : public ByteSink
{
public:
    DescriptorOutput(int fd, QString name) : m_fd(fd), m_name(std::move(name)) {}
    void write(const char *data, qsizetype size) override;

private:
    int m_fd;
    QString m_name;
};

// Where the run's output goes: the file of -o (see DestinationSink), or
// standard output.
class Destination
{
public:
    // `path` empty: standard output. Throws Failure.
    Destination(const QString &path, int output);

    bool isFile() const { return m_file.has_value(); }
    const QString &path() const { return m_path; }
    ByteSink &sink();
    // A name that opens the file being written.
    QString writingPath() const { return m_file->writingPath(); }
    // Where rows that wait may go: beside the file, or where temporary files go.
    QString spoolFolder() const;
    // Puts the file in place. Throws Failure.
    void commit();

private:
    QString m_path;
    std::optional<DestinationSink> m_file;
    DescriptorOutput m_output;
};

// The workbook of a run. The library names the file it writes, and packs it
// only once complete: into the file's temporary place, or into a private
// folder on its way to standard output. Its rows wait in that folder
// meanwhile, as they hold the same secrets. The library prints nothing while
// it lives; messages name the destination the user gave, not the file the
// library wrote.
class WorkbookOutput
{
public:
    explicit WorkbookOutput(Destination &destination); // throws Failure
    ~WorkbookOutput();
    WorkbookOutput(const WorkbookOutput &) = delete;
    WorkbookOutput &operator=(const WorkbookOutput &) = delete;

    Workbook &workbook() { return *m_workbook; }
    // Saves the workbook and, for standard output, copies it there. Throws
    // Failure or OutputFailed.
    void deliver();
    // `message` naming the destination the user gave.
    QString inUserWords(QString message) const;

    // Removes a workbook on its way to standard output. Safe to call from a
    // signal handler.
    static void removeUnfinished();

private:
    QString unpackedPath() const;
    // Gives up the packed file and the signal handler's hold on the folder.
    void release();

    Destination &m_destination;
    QTemporaryDir m_folder;
    int m_packed = -1; // a file without a name, where the system allows one
    QString m_path;
    const LibraryKeptQuiet m_quiet;
    std::optional<Workbook> m_workbook;
};

} // namespace zentavo::cli
