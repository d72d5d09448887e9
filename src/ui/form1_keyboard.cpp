// Everything the window does can be done from the keyboard: Tab reaches
// every control, Space or Return presses a button, Ctrl+C in the results
// list copies the selected passwords.

#include "ui/form1.h"

#include "core/failure.h"
#include "core/wipe.h"
#include "export/clipboardexport.h"
#include "export/listrows.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>

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
    if (isResultsMenuKey(key)) {
        showResultsMenu(std::nullopt);
        return true;
    }
    // The list's own copy would take the current cell alone, unmarked: as
    // passwords, they go to the clipboard like the clipboard export's.
    if (!key->matches(QKeySequence::Copy))
        return false;
    copySelectedPasswords();
    return true;
}

void Form1::copySelectedPasswords()
{
    // The window goes on while a long copy is made; a second Ctrl+C then
    // would only make the same text again.
    if (m_copying || !m_services.clipboard)
        return;
    const std::vector<RowRun> runs = ListView1->selectedRuns();
    if (runs.empty())
        return;
    m_copying = true;
    const auto copied = qScopeGuard([this] { m_copying = false; });
    // Row by row through the runs, letting the window handle its events now
    // and then, as the clipboard export does.
    const auto forEachRow = [&](const auto &take) {
        qsizetype done = 0;
        for (const RowRun &run : runs)
            for (qsizetype row = run.first; row <= run.last; ++row, ++done) {
                if (done % kRowsBetweenYields == 0)
                    m_pump.yield();
                take(row);
            }
    };
    // One password a line, as typed into a password field: kept whole, with
    // any spaces at its end. Measured first, so the text is made in one
    // piece and no copy of it is left behind.
    const int passwordColumn = m_results.columnCount() - 1;
    qsizetype rows = 0;
    for (const RowRun &run : runs)
        rows += run.last - run.first + 1;
    QString text;
    const WipedOnExit wiped(text);
    QString failure;
    try {
        qint64 characters = 0;
        forEachRow([&](qsizetype row) { characters += m_results.cellLength(row, passwordColumn) + 2; });
        checkClipboardRoom(m_results.memoryBudget(), characters, rows);
        reserveWiping(text, characters);
        forEachRow([&](qsizetype row) {
            m_results.appendCell(row, passwordColumn, text);
            text.append(QLatin1String("\r\n"));
        });
        putOnClipboard(*m_services.clipboard, text, m_pump);
    } catch (const Abandoned &) {
        return; // the window was closed
    } catch (const Failure &cause) {
        failure = cause.description();
    } catch (const std::bad_alloc &) {
        failure = noRoomForClipboardText();
    }
    // The rows went meanwhile (Clear Results), or there is no room.
    if (!failure.isEmpty())
        m_services.prompter->message(Prompter::Icon::Warning, m_applicationTitle, failure);
}

} // namespace zentavo
