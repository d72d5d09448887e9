#pragma once

#include "generator/options.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zentavo::cli {

enum class Format { Plain, Text, Csv, Workbook };

// What the command line asks for. The options start from the defaults (or
// from the window's stored options) and each argument changes them in turn,
// so a later argument wins over an earlier one.
struct Request
{
    enum class Action { Generate, Strength, Help, Version };
    Action action = Action::Generate;
    bool fromSettings = false;
    GenerationOptions options;
    Format format = Format::Plain;
    QString outputPath; // empty: standard output
};

// Options for scripts: the three groups, at least one of each, 16 characters,
// 10 passwords, nothing else.
GenerationOptions scriptDefaults();

// The request in `arguments` (without the program name), the options applied
// on top of `start`; or the message for a command line that makes no sense.
struct Parsed
{
    std::optional<Request> request;
    QString error;
};
Parsed parseCommandLine(const QStringList &arguments, const GenerationOptions &start);

// Whether the arguments ask to start from the window's stored options.
bool wantsStoredOptions(const QStringList &arguments);

QString helpText();

} // namespace zentavo::cli
