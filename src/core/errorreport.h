#pragma once

#include "core/failure.h"

#include <QString>
#include <exception>
#include <new>
#include <optional>
#include <set>
#include <utility>

namespace zentavo {

class Prompter;

// The text of the "Application Error" box: what failed, where, and whom to tell.
QString errorReportText(const QString &description, const QString &procedurePath, int line,
                        const QString &supportAddress);

class ErrorReport
{
public:
    ErrorReport(Prompter &prompter, QString supportAddress);

    // Shows the box and returns when the user has closed it.
    void show(const QString &description, const QString &procedurePath, int line);

private:
    Prompter &m_prompter;
    QString m_supportAddress;
};

// The numbered steps of one run of a command. A step that fails is reported
// with its line number and the command carries on with the next step, so the
// user always gets the rest of what they asked for. A failure that repeats in
// the same run, at the same line and for the same reason (one for every
// password of a long run, say), is reported only the first time: one box
// tells the user as much as a thousand.
// What a report says where an allocation failed, in the user's language.
QString notEnoughMemory();

class Procedure
{
public:
    Procedure(ErrorReport &report, QString path) : m_report(report), m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    // Runs one step; a failure is reported under `line` and swallowed.
    template <typename Body> void step(int line, Body &&body)
    {
        try {
            std::forward<Body>(body)();
        } catch (const Failure &failure) {
            report(line, failure.description());
        } catch (const std::bad_alloc &) {
            report(line, notEnoughMemory());
        } catch (const std::exception &error) {
            report(line, QString::fromLocal8Bit(error.what()));
        }
    }

    // A step that computes a value; empty when it failed (and was reported).
    template <typename Body> auto value(int line, Body &&body) -> std::optional<decltype(body())>
    {
        std::optional<decltype(body())> result;
        step(line, [&] { result.emplace(std::forward<Body>(body)()); });
        return result;
    }

    // A condition whose evaluation fails counts as true, so the branch it
    // guards still runs.
    template <typename Condition> bool test(int line, Condition &&condition)
    {
        return value(line, std::forward<Condition>(condition)).value_or(true);
    }

    // Reports a failure found without an exception (once, as above).
    void report(int line, const QString &description)
    {
        if (m_reported.emplace(line, description).second)
            m_report.show(description, m_path, line);
    }

private:
    ErrorReport &m_report;
    QString m_path;
    std::set<std::pair<int, QString>> m_reported;
};

} // namespace zentavo
