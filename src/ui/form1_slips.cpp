// The results list's context menu: "Copy", "Select All", and the ticked
// rows as slips to hand out, printed or saved as PDF.

#include "ui/form1.h"

#include "core/failure.h"
#include "ui/printing.h"
#include "ui/savedialog.h"

#include "export/background.h"
#include "export/destinationsink.h"
#include "export/listrows.h"
#include "export/slips.h"

#include <QKeyEvent>
#include <QMenu>
#include <QScopeGuard>

namespace zentavo {

void Form1::createResultsMenu()
{
    m_resultsMenu = new QMenu(ListView1);
    m_resultsMenu->setObjectName(QStringLiteral("ResultsMenu"));
    QAction *copy = m_resultsMenu->addAction(tr("Copy"), this, &Form1::copySelectedPasswords);
    copy->setShortcut(QKeySequence::Copy);
    QAction *selectAll = m_resultsMenu->addAction(tr("Select All"), ListView1, &ResultsView::selectAll);
    selectAll->setShortcut(QKeySequence::SelectAll);
    for (QAction *action : {copy, selectAll})
        action->setShortcutVisibleInContextMenu(true);
    m_resultsMenu->addSeparator();
    m_resultsMenu->addAction(tr("Print Slips…"), this, [this] { runCommand(&Form1::PrintSlips_Click); });
    m_resultsMenu->addAction(tr("Save Slips as PDF…"), this,
                             [this] { runCommand(&Form1::SaveSlipsAsPdf_Click); });
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { showResultsMenu(ListView1->viewport()->mapToGlobal(at)); });
}

bool Form1::isResultsMenuKey(const QKeyEvent *key)
{
    return (key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier) ||
           (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

void Form1::showResultsMenu(std::optional<QPoint> at)
{
    // One key may arrive both as itself and as a request for the menu.
    if (m_resultsMenu->isVisible())
        return;
    // From the keyboard: below the current row, or at the list's top.
    if (!at) {
        const QRect cell = ListView1->listCellRect(ListView1->listSelection()->currentIndex().row(), 0);
        at = ListView1->viewport()->mapToGlobal(cell.isValid() ? cell.bottomLeft() : QPoint());
    }
    // The command runs once the menu has closed.
    m_resultsMenu->popup(*at);
}

void Form1::PrintSlips_Click()
{
    makeSlips(QStringLiteral("PrintSlips_Click"), [this]() -> std::function<void()> {
        const std::optional<PrintChoice> choice = available(m_services.printDialog, "print dialog").ask();
        if (!choice)
            return {};
        return [this, choice = *choice] {
            available(m_services.printJobs, "print system")
                .print(choice, tr("Password slips"), [&](ByteSink &sink) { writeSlips(sink, choice.paper); });
        };
    });
}

void Form1::SaveSlipsAsPdf_Click()
{
    makeSlips(QStringLiteral("SaveSlipsAsPdf_Click"), [this]() -> std::function<void()> {
        const QString path = available(m_services.saveDialog, "save dialog").askForPath(SaveKind::SlipsPdf);
        if (path.isEmpty())
            return {};
        return [this, path] {
            // Readable by the user alone, written beside its destination and
            // put in its place once complete; removed if anything fails.
            DestinationSink file(path);
            file.create();
            writeSlips(file, defaultPaper());
            runWhileYielding(m_pump, [&] { file.commit(); });
        };
    });
}

void Form1::makeSlips(const QString &command, const std::function<std::function<void()>()> &askWhere)
{
    // The menu is at hand while slips are made: a second command then
    // would make the same slips again.
    if (m_makingSlips)
        return;
    m_makingSlips = true;
    const auto done = qScopeGuard([this] { m_makingSlips = false; });
    Procedure procedure(m_errorReport, QStringLiteral("in Quorvex2021/08/31.Form1.%1 ").arg(command));
    if (!procedure.test(100, [&] { return hasTickedRows(); })) {
        showMessage(tr("No password is ticked: tick the rows to put on slips."));
        return;
    }
    const std::function<void()> write = procedure.value(102, askWhere).value_or(nullptr);
    if (!write)
        return;
    procedure.step(104, [&] { setPointer(Pointer::Busy); });
    try {
        procedure.step(106, write);
    } catch (const Abandoned &) {
        return; // the window was closed: nothing more is shown
    }
    procedure.step(108, [&] { setPointer(Pointer::Arrow); });
}

bool Form1::hasTickedRows() const
{
    const qsizetype rows = m_results.storedRowCount();
    for (qsizetype r = 0; r < rows; ++r)
        if (m_results.isChecked(r))
            return true;
    return false;
}

void Form1::writeSlips(ByteSink &sink, Paper paper)
{
    ListRows rows(m_results);
    SlipSheet sheet(sink, SlipOptions{paper, {}, false});
    sheet.begin();
    // Each slip says which row it is: the line number, or where no numbers
    // are shown, the row's place in the list.
    const bool numbered = rows.columns() > 1;
    NumberText number;
    const qsizetype count = m_results.storedRowCount();
    for (qsizetype r = 0; r < count; ++r) {
        if (r % kRowsBetweenYields == 0)
            m_pump.yield();
        if (!m_results.isChecked(r))
            continue;
        rows.read(r);
        if (numbered) {
            sheet.row(rows.cells());
        } else {
            const QAnyStringView cells[] = {number(qint32(r + 1)), rows.cells().front()};
            sheet.row(cells);
        }
    }
    sheet.finish();
}

} // namespace zentavo
