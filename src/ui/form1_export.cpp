// "Save Results As Text File", "Copy Results To Clipboard" and "Save Results
// As Excel File".

#include "ui/form1.h"

#include "core/failure.h"
#include "ui/savedialog.h"

#include "export/clipboardexport.h"
#include "export/progressdisplay.h"
#include "export/spreadsheetapplication.h"
#include "export/textfileexport.h"
#include "export/workbook.h"
#include "export/workbookfolder.h"

#include <QFile>
#include <QScopeGuard>

namespace zentavo {

// The text export's progress on the window's bar.
class Form1::ExportProgress final : public ProgressDisplay
{
public:
    explicit ExportProgress(Form1 &form) : m_form(form) {}

    void setValue(double percent) override { m_form.setProgress(percent); }
    void setText(const QString &text) override { m_form.setProgressText(text); }

private:
    Form1 &m_form;
};

void Form1::PushButton4_Click()
{
    Procedure procedure(m_errorReport, QStringLiteral("in Quorvex2021/08/31.Form1.PushButton4_Click "));
    const QString path =
        procedure.value(112, [&] { return available(m_services.saveDialog, "save dialog").askForPath(); })
            .value_or(QString());
    if (path.isEmpty())
        return;
    procedure.step(118, [&] { setPointer(Pointer::Busy); });
    ExportProgress progress(*this);
    try {
        procedure.step(
            120, [&] { SaveListviewProperlySpaced(m_results, path, &progress, m_pump, m_errorReport); });
    } catch (const Abandoned &) {
        return; // the window was closed: nothing more is shown
    }
    procedure.step(122, [&] { setPointer(Pointer::Arrow); });
}

void Form1::PushButton2_Click()
{
    Procedure procedure(m_errorReport, QStringLiteral("in Quorvex2021/08/31.Form1.PushButton2_Click "));
    bool copied = false;
    try {
        procedure.step(106, [&] {
            CopyListviewProperlySpaced(m_results, available(m_services.clipboard, "clipboard"), m_pump);
            copied = true;
        });
    } catch (const Abandoned &) {
        return;
    }
    // Shown also when there was nothing to copy, but not after a failure was
    // reported: the clipboard was left as it was, and saying it holds the
    // results would be false.
    if (!copied)
        return;
    procedure.step(108, [&] {
        showMessage(
            tr("Results have been copied to the clipboard.\r\rClick a text area where you normally type "
               "and press Ctrl+V to paste the clipboard."));
    });
}

bool Form1::SaveResultsAsExcelFileIsExcelInstalled()
{
    bool installed = false;
    try {
        installed = m_services.spreadsheet && m_services.spreadsheet->isInstalled();
    } catch (const std::exception &) {
        installed = false;
    }
    if (!installed)
        showMessage(
            tr("Excel is not installed on this computer. You need to have it installed to use this software "
               "without error."));
    return installed;
}

void Form1::PushButton13_Click()
{
    // A click while the workbook is still being made, or the application
    // still starting, would start a second copy of it.
    if (m_makingWorkbook)
        return;
    m_makingWorkbook = true;
    const auto done = qScopeGuard([this] { m_makingWorkbook = false; });
    Procedure procedure(m_errorReport, QStringLiteral("in Quorvex2021/08/31.Form1.PushButton13_Click "));
    if (!SaveResultsAsExcelFileIsExcelInstalled()) {
        procedure.step(142, [&] {
            showMessage(
                tr("Excel is not installed on this computer. You need to have it installed to use this "
                   "feature."));
        });
        return;
    }
    if (procedure.test(108, [&] { return m_results.storedRowCount() == 0; }))
        return;
    procedure.step(110, [&] { setPointer(Pointer::Busy); });
    try {
        exportWorkbook(procedure);
    } catch (const Abandoned &) {
        return;
    }
    procedure.step(140, [&] { setPointer(Pointer::Arrow); });
}

void Form1::exportWorkbook(Procedure &procedure)
{
    // Without a file or a workbook every later step would fail alike: one
    // report, and the command goes on to restore the pointer.
    const std::optional<QString> path = procedure.value(112, [&] {
        return available(m_services.workbooks, "folder for workbooks")
            .createFile(QStringLiteral("Results-XXXXXX.xlsx"));
    });
    if (!path)
        return;
    std::optional<Workbook> workbook;
    procedure.step(114, [&] { workbook.emplace(*path, m_services.workbooks->folder()); });
    if (!workbook) {
        QFile::remove(*path);
        return;
    }
    writeResultsWorkbook(m_results, *workbook, m_pump, procedure);
    procedure.step(138, [&] {
        try {
            workbook->save(m_pump);
            // The passwords stay on disk only until the application has read
            // them; watched from before it starts, so no read goes unseen.
            m_services.workbooks->removeOnceRead(*path);
            available(m_services.spreadsheet, "spreadsheet application").open(*path, m_pump);
        } catch (const Failure &) {
            m_services.workbooks->discard(*path);
            throw;
        }
    });
}

} // namespace zentavo
