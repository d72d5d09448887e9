#pragma once

#include <QString>

namespace zentavo {

class EventPump;

// The spreadsheet application the results are shown in.
class SpreadsheetApplication
{
public:
    virtual ~SpreadsheetApplication() = default;

    // Whether the application can be found at all.
    virtual bool isInstalled() = 0;
    // Opens the workbook as a new, untitled document and leaves it to the
    // user. Returns once the application has started on it, letting the
    // window handle its events meanwhile; throws Failure when it could not
    // be started or gave up with an error.
    virtual void open(const QString &workbook, EventPump &pump) = 0;
};

} // namespace zentavo
