#include "export/clipboardexport.h"

#include "export/paddedcolumns.h"

#include "core/eventpump.h"
#include "results/resultslist.h"

namespace zentavo {

namespace {
constexpr int kAttempts = 1000;
} // namespace

QString clipboardText(const ResultsList &list, EventPump &pump)
{
    const int columns = list.columnCount();
    const qsizetype rows = list.storedRowCount();
    std::vector<qsizetype> widths(std::size_t(columns), 0);
    widenToCells(list, rows, widths, pump);
    qsizetype total = 0;
    for (const qsizetype width : widths)
        total += width + 1;

    QString text;
    // Every line is at most the sum of the widths, TABs and CR LF: one
    // allocation for the whole text unless the list grows meanwhile.
    text.reserve((total + 1) * rows);
    for (qsizetype r = 0; r < rows; ++r) {
        if (r % kRowsBetweenYields == 0)
            pump.yield();
        if (!list.isChecked(r))
            continue;
        const qsizetype lineStart = text.size();
        appendPaddedRow(list, r, widths, text);
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
    const QString text = clipboardText(list, pump);
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
