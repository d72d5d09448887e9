#include "export/textfileexport.h"

#include "export/background.h"
#include "export/progressdisplay.h"
#include "export/safedestination.h"

#include "core/apputil.h"
#include "core/errorreport.h"
#include "core/eventpump.h"
#include "core/wipe.h"
#include "results/resultslist.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>
#include <algorithm>
#include <unistd.h>
#include <vector>

namespace zentavo {

namespace {

// Lines are gathered as text and handed to the file in large blocks: a write
// per line would cost more than everything else for a long list.
class BlockWriter
{
public:
    // `longestLine`: no line is longer, so neither buffer ever moves (which
    // would leave an unwiped copy of its passwords behind).
    explicit BlockWriter(QSaveFile &file, qsizetype longestLine = 4096) : m_file(file)
    {
        m_text.reserve(kBlock + longestLine);
        m_bytes.reserve(m_encoder.requiredSpace(m_text.capacity()));
    }
    // Both buffers keep their memory from block to block: growing them anew
    // each time costs more in page faults than the copying itself.
    ~BlockWriter()
    {
        wipe(m_text);
        wipe(m_bytes);
    }
    BlockWriter(const BlockWriter &) = delete;
    BlockWriter &operator=(const BlockWriter &) = delete;

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
        return m_file.write(m_bytes.constData(), length) == length;
    }

private:
    static constexpr qsizetype kBlock = qsizetype(1) << 17;

    QSaveFile &m_file;
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

// A cell followed by the spaces that fill its column and a TAB; a cell that
// grew wider than its column (the list changed meanwhile) gets no padding.
void appendPadded(QString &text, qsizetype start, qsizetype width)
{
    const qsizetype length = text.size() - start;
    if (width > length)
        text.resize(start + width, QLatin1Char(' '));
    text.append(QLatin1Char('\t'));
}

// Handling pending events is decided by the clock, and reading the clock for
// every one of a million rows would cost more than the rows themselves.
constexpr qsizetype kRowsBetweenYields = 64;

} // namespace

void SaveListviewProperlySpaced(const ResultsList &list, const QString &path, ProgressDisplay *progress,
                                EventPump &pump, ErrorReport &report)
{
    Procedure procedure(report, QStringLiteral("in Quorvex2021/08/31.Main.SaveListviewProperlySpaced "));
    const QString writing = QStringLiteral("Writing file: ") + FileNameFromPath(path);
    auto showProgress = [&](int line, double value, const QString &text) {
        if (!progress)
            return;
        pump.yield();
        procedure.step(line, [&] {
            progress->setValue(value);
            progress->setText(text);
        });
        pump.yield();
    };

    showProgress(102, 1, writing);

    // Every column is as wide as its widest text: the title, and the cells of
    // all rows, ticked or not.
    const int columns = list.columnCount();
    std::vector<qsizetype> widths(std::size_t(columns), 0);
    for (int c = 0; c < columns; ++c)
        procedure.step(116, [&] { widths[std::size_t(c)] = list.columnTitle(c).size(); });
    // Should the list lose its rows meanwhile, every further read would fail
    // alike: one report says it, and the widths found so far stand.
    procedure.step(124, [&] {
        const qsizetype rows = list.storedRowCount();
        for (qsizetype r = 0; r < rows; ++r) {
            if (r % kRowsBetweenYields == 0)
                pump.yield();
            for (int c = 0; c < columns; ++c)
                widths[std::size_t(c)] = std::max(widths[std::size_t(c)], list.cellLength(r, c));
        }
    });

    showProgress(146, 10, writing);

    QSaveFile file(path);
    qsizetype longestLine = 2;
    for (const qsizetype width : widths)
        longestLine += width + 1;
    BlockWriter writer(file, longestLine);
    QString &text = writer.text();
    procedure.step(156, [&] {
        // Saving follows a link at the chosen name: never one that someone
        // else could have planted or redirected.
        const QString refusal = refusedDestination(path, ::geteuid());
        if (!refusal.isEmpty())
            throw Failure(
                QStringLiteral("%1 was not written: %2.").arg(QDir::toNativeSeparators(path), refusal));
        // Unbuffered: the blocks go from our wiped buffer to the file, with no
        // copy in a buffer of the file's own.
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            throw Failure(QStringLiteral("%1 could not be created: %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
        // A file of passwords is for its owner's eyes only, also where it
        // replaces one that others could read.
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    });
    // A file that could not be created was reported once above; with nothing
    // to write into, the lines are not built either. A failed write is
    // likewise reported once and ends the writing.
    bool writeFailed = false;
    auto writeFailure = [&] {
        return QStringLiteral("Writing to %1 failed: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    };
    if (file.isOpen()) {
        for (int c = 0; c < columns; ++c) {
            pump.yield();
            const qsizetype start = text.size();
            procedure.step(162, [&] {
                text.append(list.columnTitle(c));
                appendPadded(text, start, widths[std::size_t(c)]);
            });
        }
        text.append(QLatin1String("\r\n"));
        if (!writer.writeIfFull()) {
            procedure.report(170, writeFailure());
            writeFailed = true;
        }

        showProgress(176, 20, writing);

        const qsizetype rows = list.storedRowCount();
        for (qsizetype r = 0; r < rows && !writeFailed; ++r) {
            if (r % kRowsBetweenYields == 0)
                pump.yield();
            const qsizetype lineStart = text.size();
            int line = 188;
            try {
                if (!list.isChecked(r))
                    continue;
                line = 194;
                for (int c = 0; c < columns; ++c) {
                    const qsizetype start = text.size();
                    list.appendCell(r, c, text);
                    appendPadded(text, start, widths[std::size_t(c)]);
                }
            } catch (const Failure &failure) {
                // The rest of the list is gone; the line is dropped whole.
                text.truncate(lineStart);
                procedure.report(line, failure.description());
                break;
            }
            if (progress) {
                // Counted anew: the list may have grown meanwhile. The bar
                // may pass 100 by a hair near the end of a long list.
                const qsizetype count = list.storedRowCount();
                const qsizetype row = r + 1;
                if (count > 0) {
                    procedure.step(214, [&] {
                        progress->setValue(double(count / 2000 + row) / double(count) * 100.0);
                        if (row % 1000 == 0)
                            progress->setText(writing + QStringLiteral(" (") + QString::number(row) +
                                              QLatin1Char(')'));
                    });
                }
            }
            text.append(QLatin1String("\r\n"));
            if (!writer.writeIfFull()) {
                procedure.report(222, writeFailure());
                writeFailed = true;
            }
        }
    }

    if (progress) {
        procedure.step(228, [&] {
            progress->setValue(100);
            progress->setText(QStringLiteral("Done."));
        });
    }

    // Only a complete file replaces what was there; after a failed write the
    // half-written one is thrown away (that failure was reported already).
    if (file.isOpen()) {
        if (writeFailed) {
            file.cancelWriting();
        } else {
            // Moving the file into place waits for the disk to hold it, which
            // takes a while for a long list on a slow disk.
            procedure.step(232, [&] {
                const bool written =
                    runWhileYielding(pump, [&] { return writer.writeAll() && file.commit(); });
                if (!written)
                    throw Failure(file.isOpen()
                                      ? writeFailure()
                                      : QStringLiteral("%1 could not be saved: %2")
                                            .arg(QDir::toNativeSeparators(path), file.errorString()));
            });
        }
    }

    if (progress) {
        procedure.step(240, [&] {
            progress->setValue(0);
            progress->setText(QStringLiteral("Progress Bar"));
        });
    }
}

} // namespace zentavo
