#include "export/textfileexport.h"

#include "export/background.h"
#include "export/destinationsink.h"
#include "export/listrows.h"
#include "export/paddedtext.h"
#include "export/progressdisplay.h"

#include "core/apputil.h"
#include "core/errorreport.h"
#include "core/eventpump.h"
#include "core/memorybudget.h"
#include "core/wipe.h"
#include "results/resultslist.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <new>
#include <optional>
#include <vector>

namespace zentavo {

namespace {

// One run of the export: the list, the file being written beside its
// destination, and the progress display that follows along. Failures are
// reported through the procedure's numbered steps.
class TextFileExport
{
public:
    TextFileExport(const ResultsList &list, const QString &path, ProgressDisplay *progress, EventPump &pump,
                   Procedure &procedure)
        : m_list(list), m_rows(list), m_progress(progress), m_pump(pump), m_procedure(procedure),
          m_writing(QCoreApplication::translate("zentavo::TextFileExport", "Writing file: %1")
                        .arg(FileNameFromPath(path))),
          m_file(path)
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
        m_procedure.step(156, [&] {
            // The lines are built and encoded in buffers taken at once: only
            // when the memory is there, as a full list may have left little.
            const qint64 needed = PaddedText::memoryFor(PaddedText::longestLine(widths));
            const MemoryBudget &budget = m_list.memoryBudget();
            if (budget.available() < needed)
                throw Failure(
                    outOfMemory(QCoreApplication::translate("zentavo::TextFileExport", "writing the file"),
                                needed, budget.available()));
            // The blocks go from our wiped buffer to the file, with no copy
            // in a buffer of the file's own.
            m_file.create();
            m_text.emplace(m_file, m_rows.titles(), widths);
        });
        return m_text.has_value();
    }

    // The column titles.
    void writeTitleLine()
    {
        m_pump.yield();
        m_procedure.step(162, [&] { m_text->begin(); });
    }

    // Every ticked row. False when the file refused a line (reported); a
    // list that loses its rows meanwhile is reported too, once what was
    // written until then is saved.
    bool writeTickedRows()
    {
        const qsizetype rows = m_list.storedRowCount();
        for (qsizetype r = 0; r < rows; ++r) {
            if (r % kRowsBetweenYields == 0)
                m_pump.yield();
            int line = 188;
            try {
                if (!m_list.isChecked(r))
                    continue;
                line = 194;
                m_rows.read(r);
            } catch (const Failure &failure) {
                // The rest of the list is gone; the line is dropped whole,
                // and the file saved with what it holds before that is said.
                m_lostRows.emplace(line, failure.description());
                break;
            } catch (const std::bad_alloc &) {
                reportNoMemory(line);
                return false;
            }
            if (!writeRow())
                return false;
            showRowProgress(r + 1);
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
        if (!m_text || !complete)
            return; // an unfinished file was given up already
        // Moving the file into place waits for the disk to hold it, which
        // takes a while for a long list on a slow disk.
        m_procedure.step(232, [&] {
            try {
                runWhileYielding(m_pump, [&] { m_text->finish(); });
            } catch (const Failure &) {
                giveUpFile();
                throw;
            }
            runWhileYielding(m_pump, [&] { m_file.commit(); });
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
    // Hands the row as read to the file, which writes a full block. A failed
    // write is reported once and ends the writing.
    bool writeRow()
    {
        try {
            m_text->row(m_rows.cells());
            return true;
        } catch (const Failure &failure) {
            giveUpFile();
            m_procedure.report(222, failure.description());
        } catch (const std::bad_alloc &) {
            reportNoMemory(194);
        }
        return false;
    }

    // The unfinished file leaves the disk before any report of why is shown:
    // a program ended while the box is up leaves nothing behind.
    void giveUpFile() { m_file.discard(); }

    // Nothing is left to write with: the file is not finished, and a
    // half-written one does not replace the old.
    void reportNoMemory(int line)
    {
        giveUpFile();
        m_procedure.report(
            line, QCoreApplication::translate("zentavo::TextFileExport",
                                              "Out of memory: there is no room left to write the file."));
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

    const ResultsList &m_list;
    ListRows m_rows;
    ProgressDisplay *const m_progress;
    EventPump &m_pump;
    Procedure &m_procedure;
    const QString m_writing;
    DestinationSink m_file;
    std::optional<PaddedText> m_text;
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
        run.writeTitleLine();
        run.showProgress(176, 20);
        complete = run.writeTickedRows();
    }
    run.showDone();
    run.replaceDestination(complete);
    run.resetProgress();
}

} // namespace zentavo
