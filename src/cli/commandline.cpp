#include "cli/commandline.h"

#include "generator/optiontable.h"

#include <algorithm>
#include <variant>

namespace zentavo::cli {

namespace {

using Takes = OptionSpec::Takes;
using G = GenerationOptions;

const char kGroups[] = "Character groups, drawn from in this order (default: a - z, A - Z, 0 - 9):";
const char kShaping[] = "Passwords of characters (the window's names):";
const char kRules[] = "Rules of the systems that receive passwords:";
const char kPassphrases[] = "Passphrases, words instead of characters:";
const char kOptions[] = "Options (the window's names):";
const char kAccounts[] = "Accounts:";
const char kRoster[] = "Rosters, a platform's CSV of accounts filled in:";
const char kOutput[] = "Output:";
const char kSlips[] = "Slips to cut out and hand out (--format slips):";

constexpr Choice kFormatWords[] = {{"plain", "one password a line", int(Format::Plain)},
                                   {"text", "the window's text file", int(Format::Text)},
                                   {"csv", "CSV with a title row", int(Format::Csv)},
                                   {"xlsx", "the window's workbook", int(Format::Workbook)},
                                   {"slips", "slips to cut out, as PDF", int(Format::Slips)},
                                   {"newusers", "lines for newusers", int(Format::Newusers)},
                                   {"ldif", "LDIF entries for a directory", int(Format::Ldif)}};
constexpr Choices kFormats{"unknown format \"%1\"", kFormatWords};
constexpr Choice kCryptWords[] = {{"yescrypt", "the default hash", int(CryptMethod::Yescrypt)},
                                  {"sha512", "for older systems", int(CryptMethod::Sha512)}};
constexpr Choices kCrypts{"unknown hash \"%1\"", kCryptWords};
constexpr Choice kShellWords[] = {{"bash", "the Bourne-again shell", int(Shell::Bash)},
                                  {"zsh", "the Z shell", int(Shell::Zsh)},
                                  {"fish", "the friendly interactive shell", int(Shell::Fish)}};
constexpr Choices kShells{"no completion for \"%1\"", kShellWords};
constexpr Choice kFirstWords[] = {{"letter", "a - z or A - Z", int(FirstCharacter::Letter)},
                                  {"lower", "a - z", int(FirstCharacter::Lower)},
                                  {"upper", "A - Z", int(FirstCharacter::Upper)},
                                  {"digit", "0 - 9", int(FirstCharacter::Digit)}};
constexpr Choice kPlatformWords[] = {
    {"google", "Google Workspace's bulk upload", int(RosterPlatform::Google)},
    {"entra", "Microsoft Entra's bulk create", int(RosterPlatform::Entra)},
    {"moodle", "Moodle's Upload users", int(RosterPlatform::Moodle)}};
constexpr Choices kPlatforms{"no roster template of \"%1\"", kPlatformWords};
constexpr Choices kFirsts{"unknown kind of first character \"%1\"", kFirstWords};
constexpr Choice kPaperWords[] = {{"a4", "210 x 297 mm", int(Paper::A4)},
                                  {"letter", "8.5 x 11 inches", int(Paper::Letter)}};
constexpr Choices kPapers{"unknown paper \"%1\"", kPaperWords};

constexpr OptionSpec kTable[] = {
    {"--lower", 0, "--no-lower", Takes::Nothing, "", nullptr, kGroups, "a - z", "Leave out a - z",
     &G::useLowerCase, nullptr, nullptr},
    {"--upper", 0, "--no-upper", Takes::Nothing, "", nullptr, kGroups, "A - Z", "Leave out A - Z",
     &G::useUpperCase, nullptr, nullptr},
    {"--digits", 0, "--no-digits", Takes::Nothing, "", nullptr, kGroups, "0 - 9", "Leave out 0 - 9",
     &G::useDigits, nullptr, nullptr},
    {"--chars", 0, "--no-chars", Takes::Value, "TEXT", nullptr, kGroups, "Your specified characters",
     "Leave out your specified characters", &G::useSpecified, &G::specifiedCharacters, nullptr},
    {"--symbols", 0, nullptr, Takes::Nothing, "", nullptr, kGroups,
     "Your specified characters, set to the punctuation " ZENTAVO_CLI_SYMBOLS, nullptr, nullptr, nullptr,
     [](Request &r, const QString &, int) {
         r.options.useSpecified = true;
         r.options.specifiedCharacters = QString::fromLatin1(kSymbols);
     }},
    {"--at-least", 0, "--no-at-least", Takes::Nothing, "", nullptr, kShaping,
     "Generate at least 1 character from each character group",
     "Draw every character from all the chosen groups alike", &G::atLeastOneFromEachGroup, nullptr, nullptr},
    {"--no-vowels", 0, "--vowels", Takes::Nothing, "", nullptr, kShaping, "Remove vowels", "Keep the vowels",
     &G::removeVowels, nullptr, nullptr},
    {"--no-similar", 0, "--similar", Takes::Nothing, "", nullptr, kShaping,
     "Leave out the look-alikes 0 O 1 l I and | from every group, your characters and the last digit",
     "Keep the look-alikes 0 O 1 l I and |", &G::removeSimilar, nullptr, nullptr},
    {"--space", 0, "--no-space", Takes::Nothing, "", nullptr, kShaping, "Include space character",
     "No space character", &G::includeSpace, nullptr, nullptr},
    {"--last-digit", 0, "--no-last-digit", Takes::Nothing, "", nullptr, kShaping,
     "Make last character a digit", "Leave the last character as drawn", &G::lastCharacterDigit, nullptr,
     nullptr},
    {"--length", 'l', nullptr, Takes::Value, "N", nullptr, kShaping,
     "What length? (%1; or the first plain argument)", nullptr, nullptr, &G::passwordLength,
     [](Request &r, const QString &, int) { r.lengthGiven = true; }},
    {"--start-with", 0, nullptr, Takes::Value, nullptr, &kFirsts, kRules,
     "the first character is a letter, a lower-case or capital letter, or a digit, drawn from the chosen "
     "characters of that kind; at-least's characters follow it, and the space never takes its place",
     nullptr, nullptr, nullptr,
     [](Request &r, const QString &, int choice) { r.options.startWith = FirstCharacter(choice); }},
    {"--exclude", 0, nullptr, Takes::Value, "CHARS", nullptr, kRules,
     "leave CHARS out of every group, your characters and the last digit, as --no-similar does", nullptr,
     nullptr, &G::excludedCharacters, nullptr},
    {"--no-repeat", 0, "--repeat", Takes::Nothing, "", nullptr, kRules,
     "no character twice in a row: each is drawn from its characters without the one before it",
     "Let a character follow itself", &G::noRepeat, nullptr, nullptr},
    {"--words", 0, nullptr, Takes::Value, "N", nullptr, kPassphrases,
     "make passphrases of N words (1 to 32767) instead, each drawn from the word list: the EFF long list of "
     "7,776 words unless --wordlist names another",
     nullptr, nullptr, &G::wordCount, nullptr},
    {"--wordlist", 0, nullptr, Takes::File, "FILE", nullptr, kPassphrases,
     "draw the words from FILE: one word a line, UTF-8, each word once", nullptr, nullptr, nullptr,
     [](Request &r, const QString &value, int) { r.wordListPath = value; }},
    {"--separator", 0, nullptr, Takes::Value, "TEXT", nullptr, kPassphrases,
     "what stands between two words (%1); it may be empty when no word begins another", nullptr, nullptr,
     &G::wordSeparator, nullptr},
    {"--capitalize", 0, "--no-capitalize", Takes::Nothing, "", nullptr, kPassphrases,
     "start each word with a capital", "Keep the words as the list has them", &G::capitalizeWords, nullptr,
     nullptr},
    {"--digit", 0, "--no-digit", Takes::Nothing, "", nullptr, kPassphrases,
     "put one digit 0 - 9 between two words, in a gap drawn at random", "No digit between the words",
     &G::digitBetweenWords, nullptr, nullptr},
    {"--line-numbers", 0, "--no-line-numbers", Takes::Nothing, "", nullptr, kOptions, "Show line numbers",
     "No line numbers", &G::showLineNumbers, nullptr, nullptr},
    {"--count", 'n', nullptr, Takes::Value, "N", nullptr, kOptions,
     "How many passwords would you like to generate? (%1; or the second plain argument)", nullptr, nullptr,
     &G::passwordCount, [](Request &r, const QString &, int) { r.countGiven = true; }},
    {"--from-settings", 0, nullptr, Takes::Nothing, "", nullptr, kOptions,
     "start from the options the window stored (only read)", nullptr, nullptr, nullptr,
     [](Request &r, const QString &, int) { r.fromSettings = true; }},
    {"--accounts", 0, nullptr, Takes::File, "FILE", nullptr, kAccounts,
     "one password for each account name in FILE (standard input for -), one name a line, in its "
     "order; blank lines and # comments are skipped; no count then. The name takes the line "
     "number's place: plain gives name:password lines, as chpasswd reads them",
     nullptr, nullptr, nullptr, [](Request &r, const QString &value, int) { r.accountsPath = value; }},
    {"--crypt", 0, nullptr, Takes::AttachedValue, "METHOD", &kCrypts, kAccounts,
     "add each password's hash for /etc/shadow: yescrypt (the default) or sha512 for older systems; with "
     "--roster into the hashes' column",
     nullptr, nullptr, nullptr,
     [](Request &r, const QString &, int choice) { r.crypt = CryptMethod(choice); }},
    {"--base-dn", 0, nullptr, Takes::Value, "DN", nullptr, kAccounts,
     "with --format ldif: the entry the accounts go below, such as ou=people,dc=example,dc=org", nullptr,
     nullptr, nullptr, [](Request &r, const QString &value, int) { r.baseDn = value; }},
    {"--roster", 0, nullptr, Takes::File, "FILE", nullptr, kRoster,
     "fill one password into each row of the CSV FILE (standard input for -) and write it back, every other "
     "byte as it was: the lines above the header, the cells and their quotes, the delimiter (, ; or TAB, "
     "as the header has it), the byte order mark, the line ends. The first column is the name, refused "
     "when empty, given twice or unreadable; no count then",
     nullptr, nullptr, nullptr, [](Request &r, const QString &value, int) { r.rosterPath = value; }},
    {"--roster-for", 0, nullptr, Takes::Value, nullptr, &kPlatforms, kRoster,
     "the platform's template: its name and password columns, and its checks (Google: passwords of 8 "
     "characters or more, at most 150,000 rows, UTF-8 with a byte order mark for text beyond ASCII; "
     "Entra: the line version:v1.0 first, passwords of 8 to 256 characters of three kinds, no blank at "
     "either end of a cell)",
     nullptr, nullptr, nullptr,
     [](Request &r, const QString &, int choice) { r.roster.platform = RosterPlatform(choice); }},
    {"--password-column", 0, nullptr, Takes::Value, "NAME", nullptr, kRoster,
     "the column the passwords go into (Password, or the platform's); added at the end when absent", nullptr,
     nullptr, nullptr, [](Request &r, const QString &value, int) { r.roster.passwordColumn = value; }},
    {"--hash-column", 0, nullptr, Takes::Value, "NAME", nullptr, kRoster,
     "with --crypt, the column the hashes go into (Hash); added at the end when absent", nullptr, nullptr,
     nullptr, [](Request &r, const QString &value, int) { r.roster.hashColumn = value; }},
    {"--replace-passwords", 0, nullptr, Takes::Nothing, "", nullptr, kRoster,
     "replace the passwords (and hashes) the roster holds; without it a filled cell is refused", nullptr,
     nullptr, nullptr, [](Request &r, const QString &, int) { r.roster.replacePasswords = true; }},
    {"--format", 0, nullptr, Takes::Value, nullptr, &kFormats, kOutput,
     "the output's form: one password a line (plain, the default), the window's text file, CSV with a "
     "title row, the window's workbook, or slips to cut out (a PDF, ten slips a page); with --accounts "
     "also the lines newusers reads (newusers), or LDIF entries with the hashes of --crypt for ldapadd or "
     "slapadd (ldif, with --base-dn)",
     nullptr, nullptr, nullptr, [](Request &r, const QString &, int choice) { r.format = Format(choice); }},
    {"--output", 'o', nullptr, Takes::File, "FILE", nullptr, kOutput,
     "write FILE (only when complete, readable by you alone); - is standard output", nullptr, nullptr,
     nullptr,
     [](Request &r, const QString &value, int) {
         r.outputPath = value == QLatin1String("-") ? QString() : value;
     }},
    {"--strength", 0, nullptr, Takes::Nothing, "", nullptr, kOutput,
     "print the strength of one password and stop", nullptr, nullptr, nullptr,
     [](Request &r, const QString &, int) { r.action = Request::Action::Strength; }},
    {"--completion", 0, nullptr, Takes::Value, "SHELL", &kShells, kOutput,
     "print the completion script for bash, zsh or fish and stop", nullptr, nullptr, nullptr,
     [](Request &r, const QString &, int choice) {
         r.action = Request::Action::Completion;
         r.completionShell = Shell(choice);
     }},
    {"--help", 'h', nullptr, Takes::Nothing, "", nullptr, kOutput, "print this help and stop", nullptr,
     nullptr, nullptr, [](Request &r, const QString &, int) { r.action = Request::Action::Help; }},
    {"--version", 'V', nullptr, Takes::Nothing, "", nullptr, kOutput, "print the version and stop", nullptr,
     nullptr, nullptr, [](Request &r, const QString &, int) { r.action = Request::Action::Version; }},
    {"--paper", 0, nullptr, Takes::Value, nullptr, &kPapers, kSlips,
     "the slips' paper: a4 or letter (the default follows the locale: LC_ALL, LC_PAPER, LANG)", nullptr,
     nullptr, nullptr, [](Request &r, const QString &, int choice) { r.slips.paper = Paper(choice); }},
    {"--slip-note", 0, nullptr, Takes::Value, "TEXT", nullptr, kSlips,
     "print TEXT on every slip, up to two lines (\"Sign in at ...\")", nullptr, nullptr, nullptr,
     [](Request &r, const QString &value, int) { r.slips.note = value; }},
    {"--qr", 0, nullptr, Takes::Nothing, "", nullptr, kSlips, "print a QR code of the password on each slip",
     nullptr, nullptr, nullptr, [](Request &r, const QString &, int) { r.slips.qr = true; }},
};

// The row of an option as typed, and whether it was its negation.
std::pair<const OptionSpec *, bool> find(const QString &name)
{
    for (const OptionSpec &option : kTable) {
        if (option.negation && name == QLatin1String(option.negation))
            return {&option, true};
        if (name == QLatin1String(option.name) || (option.shortName && name.size() == 2 && name[0] == u'-' &&
                                                   name[1] == QLatin1Char(option.shortName)))
            return {&option, false};
    }
    return {nullptr, false};
}

// "a, b or c"
QString listed(const Choices &choices)
{
    QString list;
    for (std::size_t i = 0; i < choices.words.size(); ++i) {
        if (i > 0)
            list += QLatin1String(i + 1 == choices.words.size() ? " or " : ", ");
        list += QLatin1String(choices.words[i].word);
    }
    return list;
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

namespace {

// One option as typed: its name and the value written into the same
// argument (--count=5, -n5).
std::pair<QString, std::optional<QString>> split(const QString &argument)
{
    if (argument.startsWith(QLatin1String("--"))) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0)
            return {argument.left(equals), argument.mid(equals + 1)};
    } else if (argument.size() > 2) {
        return {argument.left(2), argument.mid(2)};
    }
    return {argument, std::nullopt};
}

// The number of the choice the value names; the message when it names none.
// An attached value left out is the first choice.
std::variant<int, QString> choose(const OptionSpec &option, const std::optional<QString> &value)
{
    const std::span<const Choice> words = option.choices->words;
    if (!value)
        return words.front().value;
    for (const Choice &choice : words) {
        if (*value == QLatin1String(choice.word))
            return choice.value;
    }
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(option.choices->refusal).arg(*value),
                                        listed(*option.choices));
}

// Reads the option at `i` (and its value, which may be the next argument)
// into the request; the message for one that makes no sense.
std::optional<QString> readOption(const QStringList &arguments, qsizetype &i, Request &request)
{
    auto [name, value] = split(arguments[i]);
    const auto [option, negated] = find(name);
    const bool valueFollows =
        option && !negated && (option->takes == Takes::Value || option->takes == Takes::File);
    // -n5 reads as -n 5; -h5 is no option.
    if (!option || (value && !name.startsWith(QLatin1String("--")) && !valueFollows))
        return QStringLiteral("unknown option \"%1\" (see --help)").arg(arguments[i]);
    if (value && (negated || option->takes == Takes::Nothing))
        return QStringLiteral("%1 takes no value").arg(name);
    if (valueFollows && !value) {
        if (i + 1 >= arguments.size())
            return QStringLiteral("%1 needs a value").arg(name);
        value = arguments[++i];
    }
    if (option->takes == Takes::File && value->isEmpty())
        return QStringLiteral("%1 needs a value").arg(name);
    int choice = 0;
    if (option->choices) {
        const std::variant<int, QString> chosen = choose(*option, value);
        if (const auto *refusal = std::get_if<QString>(&chosen))
            return *refusal;
        choice = std::get<int>(chosen);
    }
    if (option->field)
        request.options.*option->field = !negated;
    if (option->text && !negated)
        request.options.*option->text = *value;
    if (option->apply && !negated)
        option->apply(request, value.value_or(QString()), choice);
    request.given.push_back({option, name});
    return std::nullopt;
}

// Passwords of characters and passphrases are shaped by options of their
// own: one of the other kind's is a slip, never silently dropped.
std::optional<QString> mixedKinds(const Request &request, const QStringList &plain)
{
    const bool words = !request.options.wordCount.isEmpty();
    if (words && !plain.isEmpty() && !request.lengthGiven)
        return QStringLiteral("a length shapes passwords of characters, not passphrases (--words)");
    for (const auto &[option, name] : request.given) {
        const bool forCharacters =
            option->section == kGroups || option->section == kShaping || option->section == kRules;
        if (words && forCharacters)
            return QStringLiteral("%1 shapes passwords of characters, not passphrases (--words)").arg(name);
        if (!words && option->section == kPassphrases && option->text != &G::wordCount)
            return QStringLiteral("%1 shapes passphrases: give --words N").arg(name);
        if (option->section == kSlips && request.format != Format::Slips)
            return QStringLiteral("%1 shapes slips: give --format slips").arg(name);
    }
    return std::nullopt;
}

// A roster's options without a roster, or a roster with what it cannot take.
std::optional<QString> rosterMisfit(const Request &request)
{
    const bool roster = request.rosterPath.has_value();
    for (const auto &[option, name] : request.given) {
        if (!roster && option->section == kRoster)
            return QStringLiteral("%1 goes with --roster FILE").arg(name);
        if (roster && option->section == kOutput && option->choices == &kFormats)
            return QStringLiteral("%1: a roster is written back as the CSV it is").arg(name);
    }
    if (roster && request.accountsPath)
        return QStringLiteral("--accounts and --roster: give one of them the names");
    if (roster && request.countGiven)
        return QStringLiteral("a count with --roster: there is one password for each row");
    if (!request.crypt && !request.roster.hashColumn.isEmpty())
        return QStringLiteral("--hash-column names the column of the hashes: give --crypt");
    return std::nullopt;
}

// newusers and LDIF hold accounts; newusers hashes the passwords itself, and
// a directory must not be given them in clear.
std::optional<QString> unfitForFormat(const Request &request)
{
    const bool forAccounts = request.format == Format::Newusers || request.format == Format::Ldif;
    if (forAccounts && !request.accountsPath)
        return QStringLiteral("--format newusers and ldif write accounts: give --accounts the names");
    if (request.format == Format::Newusers && request.crypt)
        return QStringLiteral("newusers hashes the passwords itself: leave out --crypt");
    if (request.format == Format::Ldif && !request.crypt)
        return QStringLiteral("a directory keeps hashes, not passwords: give --format ldif --crypt");
    if (request.format == Format::Ldif && !request.baseDn)
        return QStringLiteral("--format ldif needs --base-dn, the entry the accounts go below");
    if (request.format != Format::Ldif && request.baseDn)
        return QStringLiteral("--base-dn names where LDIF entries go: give --format ldif");
    return std::nullopt;
}

// Options win over plain arguments, wherever they stand.
Parsed readPlainArguments(Request request, const QStringList &plain)
{
    GenerationOptions &options = request.options;
    if (plain.size() > 2)
        return {std::nullopt,
                QStringLiteral("unexpected argument \"%1\": at most a length and a count").arg(plain[2])};
    if (plain.size() > 0 && !request.lengthGiven)
        options.passwordLength = plain[0];
    if (plain.size() > 1 && !request.countGiven) {
        options.passwordCount = plain[1];
        request.countGiven = true;
    }
    if (request.accountsPath && request.countGiven)
        return {std::nullopt, QStringLiteral("a count with --accounts: there is one password for each name")};
    if (const std::optional<QString> roster = rosterMisfit(request))
        return {std::nullopt, *roster};
    if (request.crypt && !request.accountsPath && !request.rosterPath)
        return {std::nullopt,
                QStringLiteral("--crypt makes the hashes for --accounts or --roster: give it the names")};
    if (request.crypt && request.format == Format::Slips)
        return {std::nullopt,
                QStringLiteral("--crypt makes hashes for /etc/shadow, not for slips handed out")};
    if (const std::optional<QString> unfit = unfitForFormat(request))
        return {std::nullopt, *unfit};
    if (const std::optional<QString> mixed = mixedKinds(request, plain))
        return {std::nullopt, *mixed};
    return {request, {}};
}

} // namespace

Parsed parseCommandLine(const QStringList &arguments, const GenerationOptions &start)
{
    Request request;
    request.options = start;
    QStringList plain; // [LENGTH [COUNT]], as pwgen reads them
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
            plain << argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (const std::optional<QString> error = readOption(arguments, i, request)) {
            return {std::nullopt, *error};
        } else if (request.answersAtOnce()) {
            return {request, {}};
        }
    }
    return readPlainArguments(request, plain);
}

QString valueName(const OptionSpec &option)
{
    if (option.valueName || !option.choices)
        return QString::fromLatin1(option.valueName);
    QStringList words;
    for (const Choice &choice : option.choices->words)
        words << QString::fromLatin1(choice.word);
    return words.join(QLatin1Char('|'));
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
        if (option.takes == Takes::Value || option.takes == Takes::File)
            names += QLatin1Char(' ') + valueName(option);
        else if (option.takes == Takes::AttachedValue)
            names += QStringLiteral("[=%1]").arg(valueName(option));
        if (option.negation)
            names += QStringLiteral(", ") + QLatin1String(option.negation);
        QString help = QString::fromLatin1(option.help);
        if (option.field) {
            const bool on = defaults.*option.field;
            help += on ? QStringLiteral(" (on)") : QStringLiteral(" (off)");
        }
        if (option.text && help.contains(QLatin1String("%1")))
            help = help.arg(defaults.*option.text);
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
    paragraph(QStringLiteral("Exit status: 0 done; 1 the output could not be written; 2 the command line, "
                             "the account names or the roster were wrong (nothing is written then)."));
    return text;
}

} // namespace zentavo::cli
