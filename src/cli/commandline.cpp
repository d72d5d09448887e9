#include "cli/commandline.h"

#include "generator/optiontable.h"

#include <algorithm>

namespace zentavo::cli {

namespace {

using Takes = OptionSpec::Takes;
using Completes = OptionSpec::Completes;
using G = GenerationOptions;

const char kGroups[] = "Character groups, drawn from in this order (default: a - z, A - Z, 0 - 9):";
const char kOptions[] = "Options (the window's names):";
const char kAccounts[] = "Accounts:";
const char kOutput[] = "Output:";

constexpr OptionSpec kTable[] = {
    {"--lower", 0, "--no-lower", Takes::Nothing, "", Completes::Nothing, "", kGroups, "a - z",
     &G::useLowerCase},
    {"--upper", 0, "--no-upper", Takes::Nothing, "", Completes::Nothing, "", kGroups, "A - Z",
     &G::useUpperCase},
    {"--digits", 0, "--no-digits", Takes::Nothing, "", Completes::Nothing, "", kGroups, "0 - 9",
     &G::useDigits},
    {"--chars", 0, "--no-chars", Takes::Value, "TEXT", Completes::Nothing, "", kGroups,
     "Your specified characters", &G::useSpecified},
    {"--symbols", 0, nullptr, Takes::Nothing, "", Completes::Nothing, "", kGroups,
     "Your specified characters, set to the punctuation " ZENTAVO_CLI_SYMBOLS, nullptr},
    {"--at-least", 0, "--no-at-least", Takes::Nothing, "", Completes::Nothing, "", kOptions,
     "Generate at least 1 character from each character group", &G::atLeastOneFromEachGroup},
    {"--no-vowels", 0, "--vowels", Takes::Nothing, "", Completes::Nothing, "", kOptions, "Remove vowels",
     &G::removeVowels},
    {"--no-similar", 0, "--similar", Takes::Nothing, "", Completes::Nothing, "", kOptions,
     "Leave out the look-alikes 0 O 1 l I and | from every group, your characters and the last digit",
     &G::removeSimilar},
    {"--space", 0, "--no-space", Takes::Nothing, "", Completes::Nothing, "", kOptions,
     "Include space character", &G::includeSpace},
    {"--last-digit", 0, "--no-last-digit", Takes::Nothing, "", Completes::Nothing, "", kOptions,
     "Make last character a digit", &G::lastCharacterDigit},
    {"--line-numbers", 0, "--no-line-numbers", Takes::Nothing, "", Completes::Nothing, "", kOptions,
     "Show line numbers", &G::showLineNumbers},
    {"--count", 'n', nullptr, Takes::Value, "N", Completes::Nothing, "", kOptions,
     "How many passwords would you like to generate? (10; or the second plain argument)", nullptr},
    {"--length", 'l', nullptr, Takes::Value, "N", Completes::Nothing, "", kOptions,
     "What length? (16; or the first plain argument)", nullptr},
    {"--from-settings", 0, nullptr, Takes::Nothing, "", Completes::Nothing, "", kOptions,
     "start from the options the window stored (only read)", nullptr},
    {"--accounts", 0, nullptr, Takes::Value, "FILE", Completes::File, "", kAccounts,
     "one password for each account name in FILE (standard input for -), one name a line, in its "
     "order; blank lines and # comments are skipped; no count then. The name takes the line "
     "number's place: plain gives name:password lines, as chpasswd reads them",
     nullptr},
    {"--crypt", 0, nullptr, Takes::AttachedValue, "METHOD", Completes::Choices, "yescrypt sha512", kAccounts,
     "add each password's hash for /etc/shadow: yescrypt (the default) or sha512 for older systems", nullptr},
    {"--format", 0, nullptr, Takes::Value, "plain|text|csv|xlsx", Completes::Choices, "plain text csv xlsx",
     kOutput,
     "one password a line (plain, the default), the window's text file, CSV with a title row, or the "
     "window's workbook",
     nullptr},
    {"--output", 'o', nullptr, Takes::Value, "FILE", Completes::File, "", kOutput,
     "write FILE (only when complete, readable by you alone); - is standard output", nullptr},
    {"--strength", 0, nullptr, Takes::Nothing, "", Completes::Nothing, "", kOutput,
     "print the strength of one password and stop", nullptr},
    {"--completion", 0, nullptr, Takes::Value, "SHELL", Completes::Choices, "bash zsh fish", kOutput,
     "print the completion script for bash, zsh or fish and stop", nullptr},
    {"--help", 'h', nullptr, Takes::Nothing, "", Completes::Nothing, "", kOutput, "print this help and stop",
     nullptr},
    {"--version", 'V', nullptr, Takes::Nothing, "", Completes::Nothing, "", kOutput,
     "print the version and stop", nullptr},
};

const OptionSpec *find(const QString &name)
{
    for (const OptionSpec &option : kTable) {
        if (name == QLatin1String(option.name) ||
            (option.negation && name == QLatin1String(option.negation)) ||
            (option.shortName && name.size() == 2 && name[0] == u'-' &&
             name[1] == QLatin1Char(option.shortName)))
            return &option;
    }
    return nullptr;
}

bool is(const OptionSpec *option, const char *name)
{
    return qstrcmp(option->name, name) == 0;
}

// `text` broken at spaces into lines of at most `width` columns; a word
// longer than that stands on a line of its own.
QStringList wrapped(const QString &text, qsizetype width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width)
            lines << std::exchange(line, QString());
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

} // namespace

std::span<const OptionSpec> optionTable()
{
    return kTable;
}

GenerationOptions scriptDefaults()
{
    GenerationOptions options;
    options.useLowerCase = options.useUpperCase = options.useDigits = true;
    options.atLeastOneFromEachGroup = true;
    options.specifiedCharacters = QString::fromLatin1(kOwnCharacters.firstRunValue);
    options.passwordCount = QStringLiteral("10");
    options.passwordLength = QStringLiteral("16");
    return options;
}

bool wantsStoredOptions(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--from-settings"))
            return true;
    }
    return false;
}

Parsed parseCommandLine(const QStringList &arguments, const GenerationOptions &start)
{
    Request request;
    request.options = start;
    GenerationOptions &options = request.options;
    QStringList plain; // [LENGTH [COUNT]], as pwgen reads them
    bool lengthGiven = false;
    bool optionsEnded = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        if (optionsEnded || name == QLatin1String("-") || !name.startsWith(QLatin1Char('-'))) {
            plain << name;
            continue;
        }
        if (name == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        std::optional<QString> attached; // --count=5, -n5
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            attached = name.mid(name.indexOf(QLatin1Char('=')) + 1);
            name.truncate(name.indexOf(QLatin1Char('=')));
        } else if (!name.startsWith(QLatin1String("--")) && name.size() > 2) {
            attached = name.mid(2);
            name.truncate(2);
        }
        const OptionSpec *option = find(name);
        if (!option || (attached && !name.startsWith(QLatin1String("--")) && option->takes != Takes::Value))
            return {std::nullopt, QStringLiteral("unknown option \"%1\" (see --help)").arg(arguments[i])};
        if (attached && option->takes == Takes::Nothing)
            return {std::nullopt, QStringLiteral("%1 takes no value").arg(name)};
        std::optional<QString> value = attached;
        if (option->takes == Takes::Value && !value) {
            if (i + 1 >= arguments.size())
                return {std::nullopt, QStringLiteral("%1 needs a value").arg(name)};
            value = arguments[++i];
        }
        auto isChoice = [&] {
            return QString::fromLatin1(option->choices).split(QLatin1Char(' ')).contains(*value);
        };

        const bool negated = option->negation && name == QLatin1String(option->negation);
        if (option->field)
            options.*option->field = !negated;
        if (is(option, "--chars")) {
            if (!negated)
                options.specifiedCharacters = *value;
        } else if (is(option, "--symbols")) {
            options.useSpecified = true;
            options.specifiedCharacters = QString::fromLatin1(kSymbols);
        } else if (is(option, "--count")) {
            options.passwordCount = *value;
            request.countGiven = true;
        } else if (is(option, "--length")) {
            options.passwordLength = *value;
            lengthGiven = true;
        } else if (is(option, "--output")) {
            if (value->isEmpty())
                return {std::nullopt, QStringLiteral("%1 needs a value").arg(name)};
            request.outputPath = *value == QLatin1String("-") ? QString() : *value;
        } else if (is(option, "--accounts")) {
            if (value->isEmpty())
                return {std::nullopt, QStringLiteral("%1 needs a value").arg(name)};
            request.accountsPath = *value;
        } else if (is(option, "--crypt")) {
            if (!value)
                value = QStringLiteral("yescrypt");
            if (!isChoice())
                return {std::nullopt, QStringLiteral("unknown hash \"%1\": yescrypt or sha512").arg(*value)};
            request.crypt = *value == QLatin1String("sha512") ? CryptMethod::Sha512 : CryptMethod::Yescrypt;
        } else if (is(option, "--format")) {
            static const std::pair<const char *, Format> formats[] = {{"plain", Format::Plain},
                                                                      {"text", Format::Text},
                                                                      {"csv", Format::Csv},
                                                                      {"xlsx", Format::Workbook}};
            const auto found = std::find_if(std::begin(formats), std::end(formats),
                                            [&](const auto &f) { return *value == QLatin1String(f.first); });
            if (found == std::end(formats))
                return {std::nullopt,
                        QStringLiteral("unknown format \"%1\": plain, text, csv or xlsx").arg(*value)};
            request.format = found->second;
        } else if (is(option, "--from-settings")) {
            request.fromSettings = true;
        } else if (is(option, "--strength")) {
            request.action = Request::Action::Strength;
        } else if (is(option, "--completion")) {
            if (!isChoice())
                return {std::nullopt,
                        QStringLiteral("no completion for \"%1\": bash, zsh or fish").arg(*value)};
            request.action = Request::Action::Completion;
            request.completionShell = *value;
            return {request, {}};
        } else if (is(option, "--help")) {
            request.action = Request::Action::Help;
            return {request, {}};
        } else if (is(option, "--version")) {
            request.action = Request::Action::Version;
            return {request, {}};
        }
    }

    // Options win over plain arguments, wherever they stand.
    if (plain.size() > 2)
        return {std::nullopt,
                QStringLiteral("unexpected argument \"%1\": at most a length and a count").arg(plain[2])};
    if (plain.size() > 0 && !lengthGiven)
        options.passwordLength = plain[0];
    if (plain.size() > 1 && !request.countGiven) {
        options.passwordCount = plain[1];
        request.countGiven = true;
    }
    if (request.accountsPath && request.countGiven)
        return {std::nullopt, QStringLiteral("a count with --accounts: there is one password for each name")};
    if (request.crypt && !request.accountsPath)
        return {std::nullopt, QStringLiteral("--crypt makes the hashes for --accounts: give it the names")};
    return {request, {}};
}

QString helpText(int width)
{
    width = std::max(width, 40);
    QString text;
    auto paragraph = [&](const QString &words) {
        for (const QString &line : wrapped(words, width))
            text += line + QLatin1Char('\n');
    };
    paragraph(QStringLiteral("Usage: zentavo-cli [OPTION]... [LENGTH [COUNT]]"));
    paragraph(QStringLiteral("Make random passwords as the Zentavo window does, for scripts."));

    // The names take up to two fifths of the width; longer ones stand on
    // their own line above their description.
    const qsizetype nameColumn = std::min<qsizetype>(30, width * 2 / 5);
    const qsizetype textColumn = 2 + nameColumn + 2;
    const char *section = nullptr;
    const GenerationOptions defaults = scriptDefaults();
    for (const OptionSpec &option : kTable) {
        if (section != option.section) {
            section = option.section;
            text += QLatin1Char('\n');
            paragraph(QString::fromLatin1(section));
        }
        QString names =
            option.shortName ? QStringLiteral("-%1, ").arg(QLatin1Char(option.shortName)) : QString();
        names += QLatin1String(option.name);
        if (option.takes == Takes::Value)
            names += QLatin1Char(' ') + QLatin1String(option.valueName);
        else if (option.takes == Takes::AttachedValue)
            names += QStringLiteral("[=%1]").arg(QLatin1String(option.valueName));
        if (option.negation)
            names += QStringLiteral(", ") + QLatin1String(option.negation);
        QString help = QString::fromLatin1(option.help);
        if (option.field) {
            const bool on = defaults.*option.field;
            help += on ? QStringLiteral(" (on)") : QStringLiteral(" (off)");
        }
        const QStringList lines = wrapped(help, width - textColumn);
        QString lead = QStringLiteral("  ") + names;
        if (lead.size() + 2 > textColumn) {
            text += lead + QLatin1Char('\n');
            lead.clear();
        }
        for (const QString &line : lines) {
            text += lead.leftJustified(textColumn) + line + QLatin1Char('\n');
            lead.clear();
        }
    }
    text += QLatin1Char('\n');
    paragraph(QStringLiteral("Exit status: 0 done; 1 the output could not be written; 2 the command line "
                             "or the account names were wrong (nothing is written then)."));
    return text;
}

} // namespace zentavo::cli
