#pragma once

#include "export/slips.h"

#include <QString>
#include <functional>
#include <optional>

namespace zentavo {

class ByteSink;

// Where the user chose to print, and on what paper.
struct PrintChoice
{
    QString printer; // the print system's name of the queue
    Paper paper = Paper::A4;
    int copies = 1;
};

// Asks the user where to print: the system's print dialog.
class PrintDialog
{
public:
    virtual ~PrintDialog() = default;
    // Empty when the user cancelled. Throws Failure when there is nothing to
    // print on.
    virtual std::optional<PrintChoice> ask() = 0;
};

// Hands a PDF document to the print system as one job. `write` makes the
// document's bytes into the sink it is given, as they are made, so no copy
// of it is kept on this side. A job that fails or is abandoned half-way is
// cancelled; Failure says why.
class PrintJobs
{
public:
    virtual ~PrintJobs() = default;
    virtual void print(const PrintChoice &choice, const QString &title,
                       const std::function<void(ByteSink &)> &write) = 0;
};

} // namespace zentavo
