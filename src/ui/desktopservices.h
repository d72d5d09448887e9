#pragma once

#include "core/clock.h"
#include "core/prompter.h"
#include "ui/browser.h"
#include "ui/printing.h"
#include "ui/savedialog.h"
#include "ui/services.h"

#include "export/clipboardexport.h"
#include "export/spreadsheetapplication.h"

#include <QDialog>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <memory>
#include <vector>

namespace zentavo {

class CryptoRandomSource;
class SettingsStore;
class WorkbookFolder;

// Message boxes as the desktop shows them: dialogs of the owner window (the
// main window), one at a time.
class MessageBoxPrompter final : public Prompter
{
public:
    void setOwner(QWidget *owner) { m_owner = owner; }
    void message(Icon icon, const QString &title, const QString &text) override;

private:
    QPointer<QWidget> m_owner;
    QPointer<QDialog> m_shown;
};

// The desktop's web browser, or the program ZENTAVO_BROWSER names.
class DesktopBrowser final : public Browser
{
public:
    void open(const QUrl &address) override;
};

// The desktop's file dialog: titled "Save", text files (or PDF files for
// slips) offered first, a name typed without an extension kept as typed,
// and a question before an existing file is replaced.
class FileSaveDialog final : public SaveDialog
{
public:
    using SaveDialog::askForPath;
    QString askForPath(SaveKind kind) override;

private:
    QString m_folder; // of the last path chosen
};

// The system clipboard. The text is marked as secret, as password managers
// do, so clipboard managers leave it out of their history.
class SystemClipboard final : public Clipboard
{
public:
    bool clear() override;
    bool setText(const QString &text, const QString &format) override;

private:
    QPointer<QMimeData> m_given;         // the text we put there last
    std::unique_ptr<QObject> m_watching; // while it lives, the clipboard's changes are followed
};

// LibreOffice Calc: the office suite's soffice (or libreoffice) on the
// search path, counted only when its Calc component is installed beside it;
// or the command named by ZENTAVO_SPREADSHEET. Started in a session of its
// own, so it stays open after this program ends.
class LibreOfficeCalc final : public SpreadsheetApplication
{
public:
    // How long a start may take before the command stops waiting for it.
    explicit LibreOfficeCalc(int patienceMs = 60000) : m_patienceMs(patienceMs) {}
    ~LibreOfficeCalc() override;

    // The program that would be started; empty when there is none.
    static QString command();

    bool isInstalled() override;
    // Waits until the application has opened the workbook, handed it to a
    // copy already running (the launcher then ends at once, without an
    // error), or failed.
    void open(const QString &workbook, EventPump &pump) override;

private:
    int m_patienceMs;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

// The system's print dialog, offering the print system's queues; A4 or
// Letter as chosen there, any other paper the locale's.
class SystemPrintDialog final : public PrintDialog
{
public:
    std::optional<PrintChoice> ask() override;
};

// The print system's queues, through libcups: the document is streamed to
// the queue as it is made, with no file of it on this side.
class CupsPrintJobs final : public PrintJobs
{
public:
    void print(const PrintChoice &choice, const QString &title,
               const std::function<void(ByteSink &)> &write) override;
};

// The real outside world: message boxes, the system's random source and
// clock, the user's settings, the browser, the executable's folder, the
// save dialog, the clipboard, the spreadsheet application and the folder
// workbooks wait in for it.
class DesktopServices
{
public:
    DesktopServices();
    ~DesktopServices();

    Services services();
    // The window message boxes belong to.
    void setMainWindow(QWidget *window) { m_prompter.setOwner(window); }

private:
    MessageBoxPrompter m_prompter;
    DesktopBrowser m_browser;
    SystemClock m_clock;
    std::unique_ptr<CryptoRandomSource> m_random;
    std::unique_ptr<SettingsStore> m_settings;
    FileSaveDialog m_saveDialog;
    SystemClipboard m_clipboard;
    LibreOfficeCalc m_spreadsheet;
    SystemPrintDialog m_printDialog;
    CupsPrintJobs m_printJobs;
    std::unique_ptr<WorkbookFolder> m_workbooks;
};

} // namespace zentavo
