#include "export/clipboardexport.h"

#include "export/background.h"
#include "export/listrows.h"
#include "export/paddedtext.h"

#include "core/eventpump.h"
#include "core/failure.h"
#include "core/memorybudget.h"
#include "core/wipe.h"
#include "results/resultslist.h"

#include <QCoreApplication>
#include <algorithm>
#include <new>
#include <vector>

namespace zentavo {

namespace {
constexpr int kAttempts = 1000;
} // namespace

QString noRoomForClipboardText()
{
    return QCoreApplication::translate("zentavo::ClipboardExport",
                                       "Out of memory: there is no room for the clipboard text. "
                                       "The clipboard was left as it was.");
}

void checkClipboardRoom(const MemoryBudget &budget, qint64 characters, qsizetype rows)
{
    if (characters * 3 > budget.usable())
        throw Failure(
            outOfMemory(
                QCoreApplication::translate("zentavo::ClipboardExport", "the clipboard text of %1 rows")
                    .arg(messageLocale().toString(qint64(rows))),
                characters * 3, budget.usable()) +
            QLatin1Char(' ') +
            QCoreApplication::translate("zentavo::ClipboardExport", "The clipboard was left as it was."));
}

QString clipboardText(const ResultsList &list, EventPump &pump)
{
    const int columns = list.columnCount();
    const qsizetype rows = list.storedRowCount();
    std::vector<qsizetype> widths(std::size_t(columns), 0);
    widenToCells(list, rows, widths, pump);
    qsizetype total = 0;
    for (const qsizetype width : widths)
        total += width + 1;

    // Every line is at most the sum of the widths, TABs and CR LF: one
    // allocation for the whole text unless the list grows meanwhile. The
    // clipboard may keep a copy in another encoding besides: a text that
    // would not fit is not begun.
    const qint64 characters = qint64(total + 1) * rows;
    checkClipboardRoom(list.memoryBudget(), characters, rows);
    QString text;
    text.reserve(characters);
    // Cut short (a row gone), the text goes no further: it is wiped first.
    const WipedIfThrown wipedIfCutShort(text);
    ListRows source(list);
    for (qsizetype r = 0; r < rows; ++r) {
        if (r % kRowsBetweenYields == 0)
            pump.yield();
        if (!list.isChecked(r))
            continue;
        const qsizetype lineStart = text.size();
        source.read(r);
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const qsizetype start = text.size();
            appendCell(text, source.cells()[c]);
            appendPadded(text, start, widths[c]);
        }
        // The last cell loses its TAB and every space at its end: its own
        // and its padding. Nothing before this line is touched.
        if (text.size() > lineStart)
            text.chop(1);
        qsizetype end = text.size();
        while (end > lineStart && text.at(end - 1) == QLatin1Char(' '))
            --end;
        text.truncate(end);
        text.append(QLatin1String("\r\n"));
    }
    return text;
}

qint64 clipboardTextBytes(qint64 rows, int length, int bytesPerCharacter, bool lineNumbers)
{
    // Characters of four bytes are surrogate pairs, two units of the text;
    // in UTF-8 a character takes up to as many bytes as it takes in the list
    // (three for the rest of the basic plane).
    const qint64 units = qint64(std::max(length, 0)) * (bytesPerCharacter > 2 ? 2 : 1);
    const qint64 utf8 = qint64(std::max(length, 0)) * (bytesPerCharacter == 2 ? 3 : bytesPerCharacter);
    // The number, padded to the widest, and its TAB; CR LF.
    const qint64 ascii = (lineNumbers ? QString::number(rows).size() + 1 : 0) + 2;
    return rows * ((units + ascii) * qint64(sizeof(QChar)) + utf8 + ascii);
}

void CopyListviewProperlySpaced(const ResultsList &list, Clipboard &clipboard, EventPump &pump)
{
    if (list.storedRowCount() == 0)
        return;
    QString text;
    try {
        text = clipboardText(list, pump);
    } catch (const std::bad_alloc &) {
        throw Failure(noRoomForClipboardText());
    }
    // The clipboard keeps a copy of its own; this one goes once handed over.
    const WipedOnExit wiped(text);
    putOnClipboard(clipboard, text, pump);
}

void putOnClipboard(Clipboard &clipboard, QString &text, EventPump &pump)
{
    ClipboardClearWithRetry(clipboard);
    try {
        ClipboardSetTextWithRetry(clipboard, text);
    } catch (const std::bad_alloc &) {
        throw Failure(QCoreApplication::translate(
            "zentavo::ClipboardExport", "Out of memory: there is no room for the clipboard's copy of "
                                        "the text. The clipboard is empty now."));
    }
    // Overwriting hundreds of megabytes takes longer than the window may
    // stand still.
    runWhileYielding(pump, [&text] { wipe(text); });
}

void ClipboardClearWithRetry(Clipboard &clipboard)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        try {
            if (clipboard.clear())
                return;
        } catch (const std::exception &) {
            // Counts as a refused attempt.
        }
    }
}

bool ClipboardSetTextWithRetry(Clipboard &clipboard, const QString &text, const QString &format)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        try {
            if (clipboard.setText(text, format))
                return true;
        } catch (const std::bad_alloc &) {
            throw; // no memory now, none at the next attempt
        } catch (const std::exception &) {
            // Counts as a refused attempt.
        }
    }
    return false;
}

} // namespace zentavo
