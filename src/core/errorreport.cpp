#include "core/errorreport.h"

#include "core/prompter.h"

#include <QCoreApplication>

namespace zentavo {

QString errorReportText(const QString &description, const QString &procedurePath, int line,
                        const QString &supportAddress)
{
    // The procedure's path names the program's own code: it stays as written.
    //: %1 is the line number; the text follows the name of the failed procedure.
    return description + QLatin1String("\r\n") + procedurePath +
           QCoreApplication::translate("zentavo::ErrorReport", "at line %1").arg(line) +
           QLatin1String("\r\r") +
           QCoreApplication::translate("zentavo::ErrorReport",
                                       "Please email screenshot of this message to %1")
               .arg(supportAddress);
}

ErrorReport::ErrorReport(Prompter &prompter, QString supportAddress)
    : m_prompter(prompter), m_supportAddress(std::move(supportAddress))
{
}

void ErrorReport::show(const QString &description, const QString &procedurePath, int line)
{
    m_prompter.message(Prompter::Icon::Warning,
                       QCoreApplication::translate("zentavo::ErrorReport", "Application Error"),
                       errorReportText(description, procedurePath, line, m_supportAddress));
}

QString notEnoughMemory()
{
    return QCoreApplication::translate("zentavo::ErrorReport", "Not enough memory");
}

} // namespace zentavo
