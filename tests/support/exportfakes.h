#pragma once

// Stand-ins for what the exports reach outside the program, recording what
// was asked of them.

#include "export/clipboardexport.h"
#include "export/progressdisplay.h"
#include "export/spreadsheetapplication.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <variant>

namespace zentavo {
class ResultsList;
}

namespace zentavo::test {

// Every value and text in the order they were shown.
class RecordingProgress : public ProgressDisplay
{
public:
    void setValue(double percent) override;
    void setText(const QString &text) override;

    QList<std::variant<double, QString>> events;
    QList<double> values() const;
    QStringList texts() const;
    // Runs after each value has been recorded.
    std::function<void(double)> onValue;
};

// A clipboard that refuses a number of attempts before it gives in; -1
// refuses them all.
class RecordingClipboard : public Clipboard
{
public:
    bool clear() override;
    bool setText(const QString &text, const QString &format) override;

    int refusedClears = 0;
    int refusedSets = 0;
    int clearAttempts = 0;
    int setAttempts = 0;
    // What the clipboard holds: nothing until set, empty once cleared.
    std::optional<QString> content;
    QString format;
};

class RecordingSpreadsheet : public SpreadsheetApplication
{
public:
    bool isInstalled() override;
    void open(const QString &workbook, EventPump &pump) override;

    bool installed = true;
    bool refuseToStart = false;
    int installedChecks = 0;
    QStringList opened;
    // Runs when a workbook is opened, as the application would read it.
    std::function<void(const QString &)> onOpen;
};

// Columns as the window builds them: "Line" and "Result(s)", or "Result(s)".
void addColumns(ResultsList &list, bool lineNumbers);

} // namespace zentavo::test
