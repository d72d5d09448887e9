// The system's print dialog and the print system's queues (CUPS).

#include "ui/desktopservices.h"

#include "core/failure.h"
#include "export/textblocks.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <cups/cups.h>
#include <memory>
#include <utility>

namespace zentavo {

namespace {

// The print system's own words for what went wrong last.
QString cupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// One connection to the print server, ours alone: should the document fail
// half-way, closing it ends the unfinished request.
using Connection = std::unique_ptr<http_t, decltype(&httpClose)>;

Connection openConnection()
{
    return {httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr),
            &httpClose};
}

QString notTaken(const QString &printer)
{
    return QCoreApplication::translate("zentavo::CupsPrintJobs", "The printer %1 did not take the slips: %2")
        .arg(printer, cupsError());
}

// The document's bytes, straight into the job's request.
class JobDocument final : public ByteSink
{
public:
    JobDocument(http_t *http, QString printer) : m_http(http), m_printer(std::move(printer)) {}
    void write(const char *data, qsizetype size) override
    {
        if (cupsWriteRequestData(m_http, data, std::size_t(size)) != HTTP_STATUS_CONTINUE)
            throw Failure(notTaken(m_printer));
    }

private:
    http_t *m_http;
    QString m_printer;
};

} // namespace

std::optional<PrintChoice> SystemPrintDialog::ask()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        throw Failure(QCoreApplication::translate("zentavo::SystemPrintDialog",
                                                  "No printer is set up on this computer."));
    QPrinter printer;
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    // The slips go to a printer; "Save Slips as PDF…" makes the file.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() != QDialog::Accepted || printer.printerName().isEmpty())
        return std::nullopt;
    const QPageSize::PageSizeId size = printer.pageLayout().pageSize().id();
    const Paper paper = size == QPageSize::A4       ? Paper::A4
                        : size == QPageSize::Letter ? Paper::Letter
                                                    : defaultPaper();
    return PrintChoice{printer.printerName(), paper, printer.copyCount()};
}

void CupsPrintJobs::print(const PrintChoice &choice, const QString &title,
                          const std::function<void(ByteSink &)> &write)
{
    const QByteArray printer = choice.printer.toUtf8();
    const QByteArray copies = QByteArray::number(choice.copies);
    cups_option_t *options = nullptr;
    int count = cupsAddOption("media", choice.paper == Paper::Letter ? "Letter" : "A4", 0, &options);
    count = cupsAddOption("copies", copies.constData(), count, &options);
    const auto freeOptions = qScopeGuard([&] { cupsFreeOptions(count, options); });

    Connection http = openConnection();
    const int job =
        http ? cupsCreateJob(http.get(), printer.constData(), title.toUtf8().constData(), count, options) : 0;
    if (job == 0)
        throw Failure(notTaken(choice.printer));
    try {
        if (cupsStartDocument(http.get(), printer.constData(), job, nullptr, CUPS_FORMAT_PDF, 1) !=
            HTTP_STATUS_CONTINUE)
            throw Failure(notTaken(choice.printer));
        JobDocument document(http.get(), choice.printer);
        write(document);
        if (cupsFinishDocument(http.get(), printer.constData()) > IPP_STATUS_OK_EVENTS_COMPLETE)
            throw Failure(notTaken(choice.printer));
    } catch (...) {
        // Half a document is no use to anyone: the job goes, with what the
        // server kept of it.
        http.reset();
        if (const Connection again = openConnection())
            cupsCancelJob2(again.get(), printer.constData(), job, 1);
        throw;
    }
}

} // namespace zentavo
