#pragma once

#include "export/roster.h"
#include "export/slips.h"
#include "generator/options.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace zentavo::cli {

enum class Format { Plain, Text, Csv, Workbook, Slips, Newusers, Ldif };

// The hash written beside each account's password, for /etc/shadow.
enum class CryptMethod { Yescrypt, Sha512 };

// The shells --completion writes a script for.
enum class Shell { Bash, Zsh, Fish };

struct OptionSpec;

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
    // The paper, note and QR code of --format slips.
    SlipOptions slips;
    // A password for each row of this CSV ("-": standard input), written
    // back into it.
    std::optional<QString> rosterPath;
    RosterSettings roster; // the hashes' column only where one was named
    // The entry the LDIF's accounts go below.
    std::optional<QString> baseDn;
    // Passphrases' words from this file instead of the shipped list.
    std::optional<QString> wordListPath;
    // A count was given by -n or as the second plain argument; a length by -l.
    bool countGiven = false;
    bool lengthGiven = false;
    Shell completionShell = Shell::Bash;
    // Each option given, as typed.
    std::vector<std::pair<const OptionSpec *, QString>> given;

    // Help, the version and a completion script answer at once: what
    // follows on the command line is not read.
    bool answersAtOnce() const
    {
        return action == Action::Help || action == Action::Version || action == Action::Completion;
    }
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
// Asked for --from-settings, the caller reads the window's stored options
// and parses again on top of them.
struct Parsed
{
    std::optional<Request> request;
    QString error;
};
Parsed parseCommandLine(const QStringList &arguments, const GenerationOptions &start);

// --help, each line at most `width` columns wide.
QString helpText(int width = 80);

// One value an option takes from a fixed list: the word, what it does (the
// completions show it), and the number the parser hands on (a Format, a
// CryptMethod, a Shell).
struct Choice
{
    const char *word;
    const char *meaning;
    int value;
};
struct Choices
{
    const char *refusal; // an unknown word, %1; the known ones follow it
    std::span<const Choice> words;
};

// One option of the command line. The parser, --help and the shell
// completions are all made from the one table of them, so none can know an
// option the others do not. Its fields follow the order in which a row of
// the table reads best, not the tightest packing: a few dozen rows.
struct OptionSpec // NOLINT(clang-analyzer-optin.performance.Padding)
{
    // File: a value that names a file, never empty. AttachedValue: only as
    // --name=VALUE, the first choice without it. A negation takes no value.
    enum class Takes { Nothing, Value, File, AttachedValue };
    // What an option does beyond setting its switch or its text, with the
    // value given and, for a choice, its number.
    using Apply = void (*)(Request &request, const QString &value, int choice);

    const char *name;     // "--count"
    char shortName;       // 'n', or 0
    const char *negation; // "--no-lower", or nullptr
    Takes takes;
    const char *valueName;  // "N", "FILE"; nullptr: the choices' words
    const Choices *choices; // the words the value must be, or nullptr
    const char *section;
    // For an on/off switch "(on)" or "(off)" is added; %1 is the text's
    // default.
    const char *help;
    const char *negationHelp;
    bool GenerationOptions::*field;   // set, or cleared by the negation
    QString GenerationOptions::*text; // takes the value (not by the negation)
    Apply apply;
};
std::span<const OptionSpec> optionTable();

// The value's name as --help shows it: "N", or the choices' words "a|b|c".
QString valueName(const OptionSpec &option);

} // namespace zentavo::cli
