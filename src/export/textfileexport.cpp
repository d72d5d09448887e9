#include "export/textfileexport.h"

#include "export/background.h"
#include "export/paddedcolumns.h"
#include "export/progressdisplay.h"
#include "export/safedestination.h"

#include "core/apputil.h"
#include "core/errorreport.h"
#include "core/eventpump.h"
#include "core/memorybudget.h"
#include "core/wipe.h"
#include "results/resultslist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <algorithm>
#include <new>
#include <optional>
#include <unistd.h>
#include <vector>

namespace zentavo {

namespace {

// Lines are gathered as text and handed to the file in large blocks: a write
// per line would cost more than everything else for a long list.
class BlockWriter
{
public:
    explicit BlockWriter(QFile &file) : m_file(file) {}
    ~BlockWriter()
    {
        wipe(m_text);
        wipe(m_bytes);
    }
    BlockWriter(const BlockWriter &) = delete;
    BlockWriter &operator=(const BlockWriter &) = delete;

    // Both buffers keep their memory from block to block: growing them anew
    // each time costs more in page faults than the copying itself. Taken
    // only when it is there: a full list may have left little. No line is
    // longer than `longestLine`, so neither buffer ever moves (which would
    // leave an unwiped copy of its passwords behind).
    void reserve(const MemoryBudget &budget, qsizetype longestLine)
    {
        // The text block and its encoded bytes, at most four bytes a character.
        const qint64 needed = qint64(kBlock + longestLine) * 6;
        if (budget.available() < needed)
            throw Failure(
                outOfMemory(QCoreApplication::translate("zentavo::TextFileExport", "writing the file"),
                            needed, budget.available()));
        m_text.reserve(kBlock + longestLine);
        m_bytes.reserve(m_encoder.requiredSpace(m_text.capacity()));
    }

    QString &text() { return m_text; }

    // Writes the gathered text once there is enough of it; false when the
    // file refused it.
    bool writeIfFull() { return m_text.size() < kBlock || writeAll(); }

    bool writeAll()
    {
        const qsizetype required = m_encoder.requiredSpace(m_text.size());
        reserveWiping(m_bytes, required);
        m_bytes.resize(required);
        const qsizetype length = m_encoder.appendToBuffer(m_bytes.data(), m_text) - m_bytes.constData();
        m_text.truncate(0);
        return writeFully(m_bytes.constData(), length);
    }

private:
    static constexpr qsizetype kBlock = qsizetype(1) << 17;

    // A write that runs into a full disk (or a size limit) first writes what
    // fits and returns less, without an error; only the next attempt fails
    // with the system's reason. So the rest is written, and what the device
    // keeps in its buffer flushed, until all is out or the system says why
    // not, which is what the user is then told.
    bool writeFully(const char *data, qsizetype length)
    {
        while (length > 0) {
            const qint64 written = m_file.write(data, length);
            if (written <= 0)
                return false;
            data += written;
            length -= qsizetype(written);
        }
        for (qint64 buffered = m_file.bytesToWrite(); buffered > 0;) {
            if (m_file.flush())
                return true;
            const qint64 left = m_file.bytesToWrite();
            if (left >= buffered)
                return false;
            buffered = left;
        }
        return true;
    }

    QFile &m_file;
    // The locale's encoding; the user's own characters may lie outside ASCII.
#ifdef Q_OS_UNIX
    // Qt takes it to be UTF-8 here. Named so, the encoder writes straight
    // into our buffer rather than through an unwiped copy of its own.
    QStringEncoder m_encoder{QStringConverter::Utf8};
#else
    QStringEncoder m_encoder{QStringConverter::System};
#endif
    QString m_text;
    QByteArray m_bytes;
};

// One run of the export: the list, the file being written beside its
// destination, and the progress display that follows along. Failures are
// reported through the procedure's numbered steps.
class TextFileExport
{
public:
    TextFileExport(const ResultsList &list, const QString &path, ProgressDisplay *progress, EventPump &pump,
                   Procedure &procedure)
        : m_list(list), m_path(path), m_progress(progress), m_pump(pump), m_procedure(procedure),
          m_writing(QCoreApplication::translate("zentavo::TextFileExport", "Writing file: %1")
                        .arg(FileNameFromPath(path))),
          m_destination(path, ::geteuid()), m_writer(m_file)
    {
    }

    void showProgress(int line, double value)
    {
        if (!m_progress)
            return;
        m_pump.yield();
        m_procedure.step(line, [&] {
            m_progress->setValue(value);
            m_progress->setText(m_writing);
        });
        m_pump.yield();
    }

    // Every column is as wide as its widest text: the title, and the cells of
    // all rows, ticked or not.
    std::vector<qsizetype> measureColumns()
    {
        const int columns = m_list.columnCount();
        std::vector<qsizetype> widths(std::size_t(columns), 0);
        for (int c = 0; c < columns; ++c)
            m_procedure.step(116, [&] { widths[std::size_t(c)] = m_list.columnTitle(c).size(); });
        // Should the list lose its rows meanwhile, every further read would
        // fail alike: one report says it, and the widths found so far stand.
        m_procedure.step(124, [&] { widenToCells(m_list, m_list.storedRowCount(), widths, m_pump); });
        return widths;
    }

    // False when the file could not be created (reported).
    bool createFile(const std::vector<qsizetype> &widths)
    {
        qsizetype longestLine = 2;
        for (const qsizetype width : widths)
            longestLine += width + 1;
        m_procedure.step(156, [&] {
            m_writer.reserve(m_list.memoryBudget(), longestLine);
            // Saving follows a link at the chosen name: never one that
            // someone else could have planted or redirected.
            const QString &refusal = m_destination.refusal();
            if (!refusal.isEmpty())
                throw Failure(
                    QCoreApplication::translate("zentavo::TextFileExport", "%1 was not written: %2.")
                        .arg(QDir::toNativeSeparators(m_path), refusal));
            // Unbuffered: the blocks go from our wiped buffer to the file,
            // with no copy in a buffer of the file's own. The file is the
            // owner's alone from the start, also where it replaces one that
            // others could read.
            QString cause;
            if (!m_destination.create())
                cause = m_destination.error();
            else if (!m_file.open(m_destination.fd(), QIODevice::WriteOnly | QIODevice::Unbuffered,
                                  QFileDevice::DontCloseHandle))
                cause = m_file.errorString();
            if (!m_file.isOpen()) {
                m_destination.discard();
                throw Failure(
                    QCoreApplication::translate("zentavo::TextFileExport", "%1 could not be created: %2")
                        .arg(QDir::toNativeSeparators(m_path), cause));
            }
        });
        return m_file.isOpen();
    }

    // The column titles. False when the file refused them (reported).
    bool writeTitleLine(const std::vector<qsizetype> &widths)
    {
        QString &text = m_writer.text();
        for (std::size_t c = 0; c < widths.size(); ++c) {
            m_pump.yield();
            const qsizetype start = text.size();
            m_procedure.step(162, [&] {
                text.append(m_list.columnTitle(int(c)));
                appendPadded(text, start, widths[c]);
            });
        }
        return endLine(170);
    }

    // Every ticked row. False when the file refused a line (reported); a
    // list that loses its rows meanwhile is reported too, and what was
    // written until then stands.
    bool writeTickedRows(const std::vector<qsizetype> &widths)
    {
        QString &text = m_writer.text();
        const qsizetype rows = m_list.storedRowCount();
        for (qsizetype r = 0; r < rows; ++r) {
            if (r % kRowsBetweenYields == 0)
                m_pump.yield();
            const qsizetype lineStart = text.size();
            int line = 188;
            try {
                if (!m_list.isChecked(r))
                    continue;
                line = 194;
                appendPaddedRow(m_list, r, widths, text);
            } catch (const Failure &failure) {
                // The rest of the list is gone; the line is dropped whole,
                // and the file saved with what it holds before that is said.
                text.truncate(lineStart);
                m_lostRows.emplace(line, failure.description());
                break;
            } catch (const std::bad_alloc &) {
                // Nothing is left to write with: the file is not finished,
                // and a half-written one does not replace the old.
                giveUpFile();
                m_procedure.report(line, QCoreApplication::translate(
                                             "zentavo::TextFileExport",
                                             "Out of memory: there is no room left to write the file."));
                return false;
            }
            showRowProgress(r + 1);
            if (!endLine(222))
                return false;
        }
        return true;
    }

    void showDone()
    {
        if (!m_progress)
            return;
        m_procedure.step(228, [&] {
            m_progress->setValue(100);
            m_progress->setText(QCoreApplication::translate("zentavo::TextFileExport", "Done."));
        });
    }

    // Only a complete file replaces what was there; after a failed write the
    // half-written one is thrown away (that failure was reported already).
    void replaceDestination(bool complete)
    {
        if (!m_file.isOpen())
            return;
        if (!complete) {
            giveUpFile();
            return;
        }
        // Moving the file into place waits for the disk to hold it, which
        // takes a while for a long list on a slow disk.
        m_procedure.step(232, [&] {
            const bool written =
                runWhileYielding(m_pump, [&] { return m_writer.writeAll() && (m_file.close(), true); });
            if (!written) {
                const QString failure = writeFailure();
                giveUpFile();
                throw Failure(failure);
            }
            if (!runWhileYielding(m_pump, [&] { return m_destination.commit(); }))
                throw Failure(
                    QCoreApplication::translate("zentavo::TextFileExport", "%1 could not be saved: %2")
                        .arg(QDir::toNativeSeparators(m_path), m_destination.error()));
        });
        if (m_lostRows)
            m_procedure.report(m_lostRows->first, m_lostRows->second);
    }

    void resetProgress()
    {
        if (!m_progress)
            return;
        m_procedure.step(240, [&] {
            m_progress->setValue(0);
            m_progress->setText(QCoreApplication::translate("zentavo::TextFileExport", "Progress Bar"));
        });
    }

private:
    // Ends the line and hands a full block to the file. A failed write is
    // reported once, as step `line`, and ends the writing.
    bool endLine(int line)
    {
        m_writer.text().append(QLatin1String("\r\n"));
        if (m_writer.writeIfFull())
            return true;
        const QString failure = writeFailure();
        giveUpFile();
        m_procedure.report(line, failure);
        return false;
    }

    // The unfinished file leaves the disk before any report of why is shown:
    // a program ended while the box is up leaves nothing behind.
    void giveUpFile()
    {
        m_file.close();
        m_destination.discard();
    }

    void showRowProgress(qsizetype row)
    {
        if (!m_progress)
            return;
        // Counted anew: the list may have grown meanwhile. The bar may pass
        // 100 by a hair near the end of a long list.
        const qsizetype count = m_list.storedRowCount();
        if (count == 0)
            return;
        // A whole number of rows ahead, one for every 2000.
        const qsizetype ahead = count / 2000;
        m_procedure.step(214, [&] {
            m_progress->setValue(double(ahead + row) / double(count) * 100.0);
            if (row % 1000 == 0)
                m_progress->setText(m_writing + QStringLiteral(" (") + QString::number(row) +
                                    QLatin1Char(')'));
        });
    }

    QString writeFailure() const
    {
        return QCoreApplication::translate("zentavo::TextFileExport", "Writing to %1 failed: %2")
            .arg(QDir::toNativeSeparators(m_path), m_file.errorString());
    }

    const ResultsList &m_list;
    const QString m_path;
    ProgressDisplay *const m_progress;
    EventPump &m_pump;
    Procedure &m_procedure;
    const QString m_writing;
    DestinationFile m_destination;
    QFile m_file;
    BlockWriter m_writer;
    std::optional<std::pair<int, QString>> m_lostRows; // reported once the file is saved
};

} // namespace

void SaveListviewProperlySpaced(const ResultsList &list, const QString &path, ProgressDisplay *progress,
                                EventPump &pump, ErrorReport &report)
{
    Procedure procedure(report, QStringLiteral("in Quorvex2021/08/31.Main.SaveListviewProperlySpaced "));
    TextFileExport run(list, path, progress, pump, procedure);

    run.showProgress(102, 1);
    const std::vector<qsizetype> widths = run.measureColumns();
    run.showProgress(146, 10);

    // A file that could not be created was reported once; with nothing to
    // write into, the lines are not built either.
    bool complete = false;
    if (run.createFile(widths)) {
        complete = run.writeTitleLine(widths);
        run.showProgress(176, 20);
        complete = complete && run.writeTickedRows(widths);
    }
    run.showDone();
    run.replaceDestination(complete);
    run.resetProgress();
}

} // namespace zentavo
