#include "cli/run.h"

#include "cli/accountnames.h"
#include "cli/commandline.h"
#include "cli/completion.h"
#include "cli/outputs.h"
#include "cli/writing.h"

#include "core/config.h"
#include "core/settingsstore.h"
#include "export/ldifentries.h"
#include "export/slips.h"
#include "export/workbook.h"
#include "generator/groups.h"
#include "generator/passphrase.h"
#include "generator/passwordshape.h"
#include "generator/storedoptions.h"
#include "generator/strength.h"
#include "generator/validation.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zentavo::cli {

namespace {

constexpr int kWriteFailed = 1;
constexpr int kBadInput = 2;

// The help fits the terminal it is shown on; elsewhere 80 columns.
int helpWidth(int fd)
{
    winsize size{};
    if (::isatty(fd) && ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

void say(int fd, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

// Why the characters chosen leave nothing to draw from.
QString nothingToDraw(const GenerationOptions &options)
{
    GenerationOptions everything = options;
    everything.removeVowels = everything.removeSimilar = false;
    everything.excludedCharacters.clear();
    if (chooseGroups(everything).pool.isEmpty())
        return QStringLiteral("no characters to draw from: choose a character group");
    QStringList removed;
    if (options.removeVowels)
        removed << QStringLiteral("a vowel");
    if (options.removeSimilar)
        removed << QStringLiteral("a look-alike (0 O 1 l I |)");
    if (!options.excludedCharacters.isEmpty())
        removed << QStringLiteral("left out by --exclude");
    return QStringLiteral("no characters to draw from: every chosen character is %1")
        .arg(removed.join(QLatin1String(" or ")));
}

// Why the slips cannot be made, or nothing: refused before a page is
// written, where the password's length is known beforehand.
std::optional<QString> slipsProblem(const Request &request, const QStringList &names,
                                    const Passphrases *phrases)
{
    if (auto problem = slipOptionsProblem(request.slips))
        return problem;
    // Boxes in place of letters: a slip nobody can read.
    for (const QString &name : names) {
        if (const QString missing = unshownOnSlips(name); !missing.isEmpty())
            return QStringLiteral("no installed font shows %1 of the name \"%2\"").arg(missing, name);
    }
    const QString pool = phrases ? phrases->characters() : chooseGroups(request.options).pool;
    if (const QString missing = unshownOnSlips(pool); !missing.isEmpty())
        return QStringLiteral("no installed font shows %1 of the characters passwords are drawn from")
            .arg(missing);
    const qsizetype longest = longestSlipPassword(request.slips);
    const qint64 length =
        phrases ? 0 : checkNumber(request.options.passwordLength, kPasswordLength, Notation::Digits).value;
    if (length > longest)
        return QStringLiteral("a password of %1 characters does not fit on a slip: at most %2%3")
            .arg(length)
            .arg(longest)
            .arg(request.slips.note.isEmpty() ? QString() : QStringLiteral(" with this note"));
    return std::nullopt;
}

// What the account names must suit, where the format takes them.
AccountNameCheck::Use nameUse(Format format)
{
    switch (format) {
    case Format::Plain:
    case Format::Slips:
        return AccountNameCheck::Use::Lines;
    case Format::Newusers:
        return AccountNameCheck::Use::UserDatabase;
    case Format::Ldif:
        return AccountNameCheck::Use::Directory;
    case Format::Text:
    case Format::Csv:
    case Format::Workbook:
        break;
    }
    return AccountNameCheck::Use::Spreadsheet;
}

// What is wrong with the options, or nothing.
std::optional<QString> checkOptions(const Request &request, const Passphrases *phrases)
{
    const GenerationOptions &options = request.options;
    // A colon or a line break in a password would move the fields of the
    // `name:password` lines chpasswd and newusers read, and of the LDIF's
    // comment lines that hand the passwords out.
    const bool lines = request.format == Format::Plain || request.format == Format::Newusers ||
                       request.format == Format::Ldif;
    if (request.accountsPath && lines) {
        const QString pool = phrases ? phrases->characters() : chooseGroups(options).pool;
        if (std::any_of(pool.begin(), pool.end(),
                        [](QChar c) { return c == u':' || c.category() == QChar::Other_Control; }))
            return QStringLiteral("a colon or a control character among the characters would break the "
                                  "name:password lines: leave it out, or choose another format");
    }
    if (request.baseDn) {
        const QString refusal = LdifEntries::baseDnRefusal(*request.baseDn);
        if (!refusal.isEmpty())
            return refusal;
    }
    // Scripts write plain digits: "2.5" or "1e3" is more likely a slip than meant.
    const OptionSetting &size = phrases ? kWordCount : kPasswordLength;
    const std::pair<const OptionSetting &, const char *> numbers[] = {
        {kPasswordCount, "count"}, {size, phrases ? "number of words" : "length"}};
    for (const auto &[setting, noun] : numbers) {
        const QString &text = options.*std::get<QString GenerationOptions::*>(setting.field);
        if (!checkNumber(text, setting, Notation::Digits).passes())
            return QStringLiteral("the %1 must be a whole number from 1 to %2, not \"%3\"")
                .arg(QLatin1String(noun))
                .arg(setting.maximum)
                .arg(text);
    }
    if (!phrases && chooseGroups(options).pool.isEmpty())
        return nothingToDraw(options);
    if (request.format == Format::Workbook &&
        checkNumber(options.passwordCount, kPasswordCount, Notation::Digits).value > SheetWriter::kRows)
        return QStringLiteral("a workbook sheet holds at most %1 passwords below its \"%2\" cell")
            .arg(SheetWriter::kRows)
            .arg(SheetWriter::title());
    return std::nullopt;
}

// The request in the arguments: on top of the script defaults, or of the
// window's stored options where the arguments ask for them.
Parsed parseRequest(const QStringList &arguments, int error)
{
    Parsed parsed = parseCommandLine(arguments, scriptDefaults());
    if (!parsed.request || !parsed.request->fromSettings)
        return parsed;
    // Read again on top of the window's stored options.
    const SettingsStore store(SettingsStore::Access::ReadOnly);
    if (!store.readError().isEmpty())
        say(error, QStringLiteral("zentavo-cli: the window's stored options were not used (%1: %2): "
                                  "starting from its first-run options\n")
                       .arg(store.fileName(), store.readError()));
    return parseCommandLine(arguments, readStoredOptions(store));
}

// Help, a completion script or the version: printed, and the run is over.
bool answered(const Request &request, int output)
{
    switch (request.action) {
    case Request::Action::Help:
        say(output, helpText(helpWidth(output)));
        return true;
    case Request::Action::Completion:
        say(output, completionScript(request.completionShell));
        return true;
    case Request::Action::Version:
        say(output, QStringLiteral("zentavo-cli " ZENTAVO_VERSION "\n"));
        return true;
    default:
        return false;
    }
}

// Passphrases draw words from a list: the shipped one, or the user's.
struct PassphraseWords
{
    PassphraseWords() = default;
    // The passphrases refer to the list held here.
    PassphraseWords(const PassphraseWords &) = delete;
    PassphraseWords &operator=(const PassphraseWords &) = delete;

    std::optional<WordList> own;
    std::optional<Passphrases> phrases;

    // Reads the user's list where the request names one; what is wrong
    // with it, or nothing.
    std::optional<QString> read(const Request &request)
    {
        if (request.options.wordCount.isEmpty())
            return std::nullopt;
        if (request.wordListPath) {
            QFile file(*request.wordListPath);
            if (!file.open(QIODevice::ReadOnly))
                return QStringLiteral("%1: %2").arg(*request.wordListPath, file.errorString());
            auto read = readWordList(file.readAll(), *request.wordListPath);
            if (const auto *error = std::get_if<QString>(&read))
                return *error;
            own = std::get<WordList>(std::move(read));
        }
        phrases.emplace(own ? *own : effLongList(), request.options);
        return std::nullopt;
    }
};

// One password for each account name (of --accounts, or of the --roster
// read into `roster`), in the file's order; the name takes the line
// number's place.
AccountNames readNames(Request &request, int standardInput, std::optional<Roster> &roster)
{
    AccountNames accounts;
    if (request.rosterPath && request.action == Request::Action::Generate) {
        if (request.crypt && request.roster.hashColumn.isEmpty())
            request.roster.hashColumn = columnTitle(Column::Hash);
        RosterInput input = readRoster(*request.rosterPath, standardInput, request.roster);
        roster = std::move(input.roster);
        accounts = {roster ? roster->names() : QStringList(), input.error};
    } else if (request.accountsPath && request.action == Request::Action::Generate) {
        accounts = readAccountNames(*request.accountsPath, standardInput, nameUse(request.format));
    }
    if (!accounts.error.isEmpty())
        return accounts;
    if (!accounts.names.isEmpty()) {
        request.options.passwordCount = QString::number(accounts.names.size());
        request.options.showLineNumbers = false;
    } else if (request.format == Format::Slips) {
        // A slip without a name is labelled with its line number.
        request.options.showLineNumbers = true;
    }
    return accounts;
}

int run(const QStringList &arguments, RandomSource &random, const Streams &streams)
{
    auto fail = [&](int status, const QString &message) {
        if (!message.isEmpty())
            say(streams.error, QStringLiteral("zentavo-cli: %1\n").arg(message));
        return status;
    };

    const Parsed parsed = parseRequest(arguments, streams.error);
    if (!parsed.request)
        return fail(kBadInput, parsed.error);
    Request request = *parsed.request;
    if (answered(request, streams.output))
        return 0;

    std::optional<Roster> roster;
    const AccountNames accounts = readNames(request, streams.input, roster);
    if (!accounts.error.isEmpty())
        return fail(kBadInput, accounts.error);

    PassphraseWords words;
    if (const auto problem = words.read(request))
        return fail(kBadInput, *problem);
    const Passphrases *phrases = words.phrases ? &*words.phrases : nullptr;

    if (const auto problem = checkOptions(request, phrases))
        return fail(kBadInput, *problem);
    if (request.format == Format::Slips)
        if (const auto problem = slipsProblem(request, accounts.names, phrases))
            return fail(kBadInput, *problem);
    if (const auto refusal = phrases ? phrases->refusal() : shapeRefusal(request.options))
        return fail(kBadInput, *refusal);

    if (request.action == Request::Action::Strength) {
        const double bits = phrases ? phrases->entropyBits() : 0;
        const std::optional<Strength> strength =
            phrases ? Strength{bits, bits} : passwordStrength(request.options);
        say(streams.output, strength ? strengthReport(*strength) : QString());
        return 0;
    }

    const bool binary = request.format == Format::Workbook || request.format == Format::Slips;
    if (binary && request.outputPath.isEmpty() && ::isatty(streams.output))
        return fail(kBadInput, QStringLiteral("a %1 is no text for a terminal: use -o FILE or redirect")
                                   .arg(request.format == Format::Slips ? QStringLiteral("PDF")
                                                                        : QStringLiteral("workbook")));

    try {
        writePasswords(request, {accounts.names, roster ? &*roster : nullptr}, phrases, random,
                       streams.output);
    } catch (const OutputFailed &failure) {
        return fail(kWriteFailed, failure.message);
    } catch (const RosterRefusal &refusal) {
        return fail(kBadInput, rosterRefusal(*request.rosterPath, refusal));
    }
    return 0;
}

} // namespace

int runCommandLine(const QStringList &arguments, RandomSource &random, const Streams &streams)
{
    try {
        return run(arguments, random, streams);
    } catch (const std::bad_alloc &) {
        // Nothing more can be allocated, not even for a message: a fixed
        // one. Whatever was written is gone with the run.
        static const char message[] = "zentavo-cli: not enough memory\n";
        (void)!::write(streams.error, message, sizeof message - 1);
        return kWriteFailed;
    }
}

void removeUnfinishedFiles()
{
    DestinationFile::removeUnfinished();
    WorkbookOutput::removeUnfinished();
}

} // namespace zentavo::cli
