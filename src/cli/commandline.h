#pragma once

#include "generator/options.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <span>

namespace zentavo::cli {

enum class Format { Plain, Text, Csv, Workbook };

// The hash written beside each account's password, for /etc/shadow.
enum class CryptMethod { Yescrypt, Sha512 };

// What the command line asks for. The options start from the defaults (or
// from the window's stored options) and each argument changes them in turn,
// so a later argument wins over an earlier one.
struct Request
{
    enum class Action { Generate, Strength, Help, Version, Completion };
    Action action = Action::Generate;
    bool fromSettings = false;
    GenerationOptions options;
    Format format = Format::Plain;
    QString outputPath; // empty: standard output
    // One password for each name of this file ("-": standard input).
    std::optional<QString> accountsPath;
    std::optional<CryptMethod> crypt;
    // A count was given by -n or as the second plain argument.
    bool countGiven = false;
    QString completionShell; // bash, zsh or fish
};

// The printable ASCII punctuation --symbols draws from: all of it but the
// quotes, the backslash and the backtick, which shells, CSV readers and
// configuration files take for their own, and the colon, which separates
// the fields of `name:password` lines and of /etc/shadow.
#define ZENTAVO_CLI_SYMBOLS "!#$%&()*+,-./;<=>?@[]^_{|}~"
inline constexpr char kSymbols[] = ZENTAVO_CLI_SYMBOLS;

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

// --help, each line at most `width` columns wide.
QString helpText(int width = 80);

// One option of the command line. The parser, --help and the shell
// completions are all made from the one table of them, so none can know an
// option the others do not. Its fields follow the order in which a row of
// the table reads best, not the tightest packing: a few dozen rows.
struct OptionSpec // NOLINT(clang-analyzer-optin.performance.Padding)
{
    enum class Takes { Nothing, Value, AttachedValue }; // AttachedValue: only as --name=VALUE
    enum class Completes { Nothing, File, Choices };
    const char *name;     // "--count"
    char shortName;       // 'n', or 0
    const char *negation; // "--no-lower", or nullptr
    Takes takes;
    const char *valueName; // "N", "FILE"
    Completes completes;
    const char *choices; // words for Completes::Choices, separated by spaces
    const char *section;
    const char *help; // for an on/off switch, "(on)" or "(off)" is added
    bool GenerationOptions::*field;
};
std::span<const OptionSpec> optionTable();

} // namespace zentavo::cli
