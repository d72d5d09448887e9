// Everything the window does can be done from the keyboard: Tab reaches
// every control, Space or Return presses a button, Ctrl+C in the results
// list copies the selected passwords.

#include "ui/form1.h"

#include "core/wipe.h"
#include "export/clipboardexport.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>

namespace zentavo {

void Form1::setUpKeyboard()
{
    // Outside a dialog a push button answers only Space; a button that may
    // be the default one answers Return and Enter too.
    for (QPushButton *button : {PushButton1, PushButton4, PushButton13, PushButton2, PushButton3})
        button->setAutoDefault(true);
    ListView1->installEventFilter(this);
}

bool Form1::handleListKey(QKeyEvent *key)
{
    // The list's own copy would take the current cell alone, unmarked: as
    // passwords, they go to the clipboard like the clipboard export's.
    if (!key->matches(QKeySequence::Copy))
        return false;
    copySelectedPasswords();
    return true;
}

void Form1::copySelectedPasswords()
{
    QList<int> rows;
    for (const QModelIndex &index : ListView1->listSelection()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() || !m_services.clipboard)
        return;
    std::sort(rows.begin(), rows.end());
    // One password a line, as typed into a password field: kept whole, with
    // any spaces at its end.
    const int passwordColumn = m_results.columnCount() - 1;
    QString text;
    // Growing moves the text; every place it leaves and its spare room at
    // the end are wiped.
    const WipedOnExit wiped(text);
    for (const int row : rows) {
        const qsizetype needed = text.size() + m_results.cellLength(row, passwordColumn) + 2;
        if (needed > text.capacity())
            reserveWiping(text, std::max(needed, 2 * text.capacity()));
        m_results.appendCell(row, passwordColumn, text);
        text.append(QLatin1String("\r\n"));
    }
    ClipboardClearWithRetry(*m_services.clipboard);
    ClipboardSetTextWithRetry(*m_services.clipboard, text);
}

} // namespace zentavo
