#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace zentavo {

// A step of a command went wrong; the description is what the user reads in
// the error report.
class Failure : public std::exception
{
public:
    explicit Failure(QString description)
        : m_description(std::move(description)), m_what(m_description.toUtf8())
    {
    }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
};

// The main window was closed while a command was running. Deliberately not a
// std::exception, so that no step handler mistakes it for a failure to report:
// it unwinds the whole command, which then shows nothing more.
struct Abandoned
{
};

} // namespace zentavo
