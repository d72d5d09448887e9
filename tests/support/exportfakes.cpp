#include "exportfakes.h"

#include "core/failure.h"
#include "results/resultslist.h"

namespace zentavo::test {

void RecordingProgress::setValue(double percent)
{
    events.append(percent);
    if (onValue)
        onValue(percent);
}

void RecordingProgress::setText(const QString &text)
{
    events.append(text);
}

QList<double> RecordingProgress::values() const
{
    QList<double> result;
    for (const auto &event : events)
        if (const double *value = std::get_if<double>(&event))
            result << *value;
    return result;
}

QStringList RecordingProgress::texts() const
{
    QStringList result;
    for (const auto &event : events)
        if (const QString *text = std::get_if<QString>(&event))
            result << *text;
    return result;
}

bool RecordingClipboard::clear()
{
    ++clearAttempts;
    if (refusedClears < 0 || clearAttempts <= refusedClears)
        return false;
    content = QString();
    return true;
}

bool RecordingClipboard::setText(const QString &text, const QString &textFormat)
{
    ++setAttempts;
    if (refusedSets < 0 || setAttempts <= refusedSets)
        return false;
    content = text;
    format = textFormat;
    return true;
}

bool RecordingSpreadsheet::isInstalled()
{
    ++installedChecks;
    return installed;
}

void RecordingSpreadsheet::open(const QString &workbook, EventPump &)
{
    if (refuseToStart)
        throw Failure(QStringLiteral("The spreadsheet application could not be started."));
    opened << workbook;
    if (onOpen)
        onOpen(workbook);
}

void addColumns(ResultsList &list, bool lineNumbers)
{
    if (lineNumbers)
        list.addColumn(QStringLiteral("Line"));
    list.addColumn(QStringLiteral("Result(s)"));
}

} // namespace zentavo::test
