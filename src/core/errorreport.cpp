#include "core/errorreport.h"

#include "core/prompter.h"

namespace zentavo {

QString errorReportText(const QString &description, const QString &procedurePath, int line,
                        const QString &supportAddress)
{
    return description + QLatin1String("\r\n") + procedurePath + QLatin1String("at line ") +
           QString::number(line) + QLatin1String("\r\r") +
           QLatin1String("Please email screenshot of this message to ") + supportAddress;
}

ErrorReport::ErrorReport(Prompter &prompter, QString supportAddress)
    : m_prompter(prompter), m_supportAddress(std::move(supportAddress))
{
}

void ErrorReport::show(const QString &description, const QString &procedurePath, int line)
{
    m_prompter.message(Prompter::Icon::Warning, QStringLiteral("Application Error"),
                       errorReportText(description, procedurePath, line, m_supportAddress));
}

} // namespace zentavo
