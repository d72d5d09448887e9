#pragma once

#include <QString>
#include <QUrl>

namespace zentavo {

class Browser;
class Clipboard;
class Clock;
class MemoryBudget;
class PrintDialog;
class PrintJobs;
class Prompter;
class RandomSource;
class SaveDialog;
class SettingsStore;
class SpreadsheetApplication;
class WorkbookFolder;

// The outside world as the main window sees it. Each piece is a small
// interface so tests can stand in for it and observe what the program did;
// the desktop ones are the defaults (desktopservices.h).
struct Services
{
    Prompter *prompter = nullptr;
    RandomSource *random = nullptr;
    SettingsStore *settings = nullptr;
    Browser *browser = nullptr;
    Clock *clock = nullptr;
    // The folder the optional files (hand pointer, skin, splash pictures)
    // are looked for in; the executable's folder in a real run.
    QString programFolder;
    QString supportAddress;
    QUrl homePage;
    // The exports': where to save text, the clipboard, the spreadsheet
    // application and the private folder its workbooks wait in.
    SaveDialog *saveDialog = nullptr;
    Clipboard *clipboard = nullptr;
    SpreadsheetApplication *spreadsheet = nullptr;
    WorkbookFolder *workbooks = nullptr;
    // The slips': the system's print dialog and the print system's queues.
    PrintDialog *printDialog = nullptr;
    PrintJobs *printJobs = nullptr;
    // What the process may still allocate; the system's own when not given.
    const MemoryBudget *memoryBudget = nullptr;
};

} // namespace zentavo
