#include "export/destinationsink.h"

#include "core/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <unistd.h>

namespace zentavo {

DestinationSink::DestinationSink(QString path) : m_path(std::move(path)), m_file(m_path, ::geteuid()) {}

QString DestinationSink::shownPath() const
{
    return QDir::toNativeSeparators(m_path);
}

void DestinationSink::create()
{
    // Saving follows a link at the chosen name: never one that someone else
    // could have planted or redirected.
    if (!m_file.refusal().isEmpty())
        throw Failure(QCoreApplication::translate("zentavo::TextFileExport", "%1 was not written: %2.")
                          .arg(shownPath(), m_file.refusal()));
    if (!m_file.create()) {
        const QString cause = m_file.error();
        m_file.discard();
        throw Failure(QCoreApplication::translate("zentavo::TextFileExport", "%1 could not be created: %2")
                          .arg(shownPath(), cause));
    }
}

void DestinationSink::write(const char *data, qsizetype size)
{
    if (const int error = writeFully(m_file.fd(), data, size))
        throw Failure(QCoreApplication::translate("zentavo::TextFileExport", "Writing to %1 failed: %2")
                          .arg(shownPath(), qt_error_string(error)));
}

void DestinationSink::commit()
{
    if (!m_file.commit())
        throw Failure(QCoreApplication::translate("zentavo::TextFileExport", "%1 could not be saved: %2")
                          .arg(shownPath(), m_file.error()));
}

} // namespace zentavo
