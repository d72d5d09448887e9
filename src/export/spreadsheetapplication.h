#pragma once

#include <QString>

namespace zentavo {

// The spreadsheet application the results are shown in.
class SpreadsheetApplication
{
public:
    virtual ~SpreadsheetApplication() = default;

    // Whether the application can be found at all.
    virtual bool isInstalled() = 0;
    // Opens the workbook as a new, untitled document and leaves it to the
    // user; returns once the application was started. Throws Failure.
    virtual void open(const QString &workbook) = 0;
};

} // namespace zentavo
