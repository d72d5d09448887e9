#include "export/clipboardexport.h"

#include "core/eventpump.h"
#include "core/wipe.h"
#include "results/resultslist.h"

#include <algorithm>
#include <vector>

namespace zentavo {

namespace {
constexpr int kAttempts = 1000;
// Handling pending events is decided by the clock; reading it for every row
// of a million would cost more than the rows.
constexpr qsizetype kRowsBetweenYields = 64;
} // namespace

QString clipboardText(const ResultsList &list, EventPump &pump)
{
    const int columns = list.columnCount();
    const qsizetype rows = list.storedRowCount();
    std::vector<qsizetype> widths(std::size_t(columns), 0);
    qsizetype total = 0;
    for (qsizetype r = 0; r < rows; ++r) {
        if (r % kRowsBetweenYields == 0)
            pump.yield();
        for (int c = 0; c < columns; ++c) {
            const qsizetype length = list.cellLength(r, c);
            widths[std::size_t(c)] = std::max(widths[std::size_t(c)], length);
        }
    }
    for (const qsizetype width : widths)
        total += width + 1;

    QString text;
    // Every line is at most the sum of the widths, TABs and CR LF: one
    // allocation for the whole text unless the list grows meanwhile.
    text.reserve((total + 1) * rows);
    // Cut short (a row gone), the text goes no further: it is wiped first.
    const WipedIfThrown wipedIfCutShort(text);
    for (qsizetype r = 0; r < rows; ++r) {
        if (r % kRowsBetweenYields == 0)
            pump.yield();
        if (!list.isChecked(r))
            continue;
        const qsizetype lineStart = text.size();
        for (int c = 0; c < columns; ++c) {
            const qsizetype start = text.size();
            list.appendCell(r, c, text);
            const qsizetype length = text.size() - start;
            if (widths[std::size_t(c)] > length)
                text.resize(start + widths[std::size_t(c)], QLatin1Char(' '));
            text.append(QLatin1Char('\t'));
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

void CopyListviewProperlySpaced(const ResultsList &list, Clipboard &clipboard, EventPump &pump)
{
    if (list.storedRowCount() == 0)
        return;
    QString text = clipboardText(list, pump);
    // The clipboard keeps a copy of its own; this one goes once handed over.
    const WipedOnExit wiped(text);
    ClipboardClearWithRetry(clipboard);
    ClipboardSetTextWithRetry(clipboard, text);
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
        } catch (const std::exception &) {
            // Counts as a refused attempt.
        }
    }
    return false;
}

} // namespace zentavo
