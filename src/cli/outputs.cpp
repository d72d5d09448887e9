#include "cli/outputs.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace zentavo::cli {

namespace {

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The private folder of a workbook run, for a signal handler to remove.
volatile sig_atomic_t workFolderSet = 0;
char workFolderPath[PATH_MAX];
constexpr char kUnpackedName[] = "out.xlsx";

// A file that has no name, so that nothing is left on the disk however the
// run ends: -1 where the file system cannot make one.
int anonymousFile(const QString &folder)
{
    return ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

} // namespace

void DescriptorOutput::write(const char *data, qsizetype size)
{
    const int error = writeFully(m_fd, data, size);
    if (error == EPIPE)
        throw OutputFailed{}; // the reader has all it wanted
    if (error != 0)
        throw OutputFailed{QStringLiteral("writing to %1 failed: %2").arg(m_name, errnoText(error))};
}

Destination::Destination(const QString &path, int output)
    : m_path(path), m_output(output, QStringLiteral("standard output"))
{
    if (path.isEmpty())
        return;
    m_file.emplace(path);
    m_file->create();
}

ByteSink &Destination::sink()
{
    return m_file ? static_cast<ByteSink &>(*m_file) : m_output;
}

QString Destination::spoolFolder() const
{
    return m_file ? QFileInfo(m_path).absolutePath() : QDir::tempPath();
}

void Destination::commit()
{
    if (m_file)
        m_file->commit();
}

WorkbookOutput::WorkbookOutput(Destination &destination)
    // Named for what made it: a run killed outright leaves it.
    : m_destination(destination), m_folder(QDir::tempPath() + QStringLiteral("/zentavo-cli-XXXXXX"))
{
    if (!m_folder.isValid())
        throw Failure(QStringLiteral("no private temporary folder: %1").arg(m_folder.errorString()));
    const QByteArray folder = QFile::encodeName(m_folder.path());
    if (folder.size() < PATH_MAX) {
        std::memcpy(workFolderPath, folder.constData(), std::size_t(folder.size() + 1));
        workFolderSet = 1;
    }
    if (!destination.isFile())
        m_packed = anonymousFile(m_folder.path());
    m_path = destination.isFile() ? destination.writingPath()
             : m_packed >= 0      ? QStringLiteral("/proc/self/fd/%1").arg(m_packed)
                                  : unpackedPath();
    try {
        m_workbook.emplace(m_path, m_folder.path());
    } catch (const Failure &failure) {
        release();
        throw Failure(inUserWords(failure.description()));
    }
}

WorkbookOutput::~WorkbookOutput()
{
    m_workbook.reset();
    release();
}

void WorkbookOutput::release()
{
    workFolderSet = 0;
    if (m_packed >= 0)
        ::close(m_packed);
    m_packed = -1;
}

QString WorkbookOutput::unpackedPath() const
{
    return m_folder.filePath(QLatin1String(kUnpackedName));
}

QString WorkbookOutput::inUserWords(QString message) const
{
    return message.replace(m_path, m_destination.isFile() ? m_destination.path()
                                                          : QStringLiteral("for standard output"));
}

void WorkbookOutput::deliver()
{
    m_workbook->save();
    if (m_destination.isFile())
        return;
    QFile packed;
    const bool opened = m_packed >= 0
                            ? ::lseek(m_packed, 0, SEEK_SET) == 0 &&
                                  packed.open(m_packed, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)
                            : (packed.setFileName(unpackedPath()), packed.open(QIODevice::ReadOnly));
    if (!opened)
        throw Failure(QStringLiteral("the workbook could not be read back: %1").arg(packed.errorString()));
    for (;;) {
        const QByteArray block = packed.read(1 << 16);
        if (block.isEmpty())
            break;
        m_destination.sink().write(block.constData(), block.size());
    }
}

void WorkbookOutput::removeUnfinished()
{
    if (!workFolderSet)
        return;
    // The workbook library's own files in the folder went the moment they
    // were made; a workbook on its way to standard output may be there.
    char name[PATH_MAX + sizeof kUnpackedName + 1];
    const std::size_t length = std::strlen(workFolderPath);
    // The name copied next, its NUL included, ends the path.
    std::memcpy(name, workFolderPath, length); // NOLINT(bugprone-not-null-terminated-result)
    name[length] = '/';
    std::memcpy(name + length + 1, kUnpackedName, sizeof kUnpackedName);
    ::unlink(name);
    ::rmdir(workFolderPath);
}

} // namespace zentavo::cli
