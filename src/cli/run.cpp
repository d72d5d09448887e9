#include "cli/run.h"

#include "cli/accounts.h"
#include "cli/commandline.h"
#include "cli/completion.h"
#include "cli/outputs.h"

#include "core/config.h"
#include "core/errorreport.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "export/workbook.h"
#include "generator/groups.h"
#include "generator/passphrase.h"
#include "generator/passwordgenerator.h"
#include "generator/passwordshape.h"
#include "generator/storedoptions.h"
#include "generator/strength.h"
#include "generator/validation.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace zentavo::cli {

namespace {

constexpr int kWriteFailed = 1;
constexpr int kBadInput = 2;

// The private folder of a workbook run, for a signal handler to remove.
volatile sig_atomic_t workFolderSet = 0;
char workFolderPath[PATH_MAX];

// A file that has no name, so that nothing is left on the disk however the
// run ends: -1 where the file system cannot make one.
int anonymousFile(const QString &folder)
{
    return ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
}

// Reports end up as messages on standard error, after the run.
class CollectingPrompter final : public Prompter
{
public:
    void message(Icon, const QString &, const QString &text) override { texts << text; }
    QStringList texts;
};

// The generator's rows go straight to the output; the command line has no
// events to handle between stretches, so the options never change.
class StreamingSink final : public PasswordSink
{
public:
    explicit StreamingSink(RowFormat &format) : m_format(format) {}
    void append(const PasswordBatch &batch) override { m_format.rows(batch); }

private:
    RowFormat &m_format;
};

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

// What is wrong with the options, or nothing.
std::optional<QString> checkOptions(const Request &request, const Passphrases *phrases)
{
    const GenerationOptions &options = request.options;
    // A colon or a line break in a password would move the fields of the
    // `name:password` lines chpasswd reads.
    if (request.accountsPath && request.format == Format::Plain) {
        const QString pool = phrases ? phrases->characters() : chooseGroups(options).pool;
        if (std::any_of(pool.begin(), pool.end(),
                        [](QChar c) { return c == u':' || c.category() == QChar::Other_Control; }))
            return QStringLiteral("a colon or a control character among the characters would break the "
                                  "name:password lines: leave it out, or choose another format");
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
        checkNumber(options.passwordCount, kPasswordCount, Notation::Digits).value > Workbook::kRowLimit - 1)
        return QStringLiteral("a workbook sheet holds at most %1 passwords below its \"Results\" cell")
            .arg(Workbook::kRowLimit - 1);
    return std::nullopt;
}

// Every password has as many text units as characters, all the same length,
// when the pool lies in the basic plane (the leading group characters always
// do, the user's are part of the pool too).
std::optional<qsizetype> fixedPasswordWidth(const GenerationOptions &options)
{
    if (!options.wordCount.isEmpty())
        return std::nullopt; // passphrases' words differ in length
    const QString pool = chooseGroups(options).pool;
    if (std::any_of(pool.begin(), pool.end(), [](QChar c) { return c.isSurrogate(); }))
        return std::nullopt;
    return qsizetype(checkNumber(options.passwordLength, kPasswordLength, Notation::Digits).value);
}

} // namespace

namespace {

int run(const QStringList &arguments, RandomSource &random, const Streams &streams)
{
    auto fail = [&](int status, const QString &message) {
        if (!message.isEmpty())
            say(streams.error, QStringLiteral("zentavo-cli: %1\n").arg(message));
        return status;
    };

    Parsed parsed = parseCommandLine(arguments, scriptDefaults());
    if (parsed.request && parsed.request->fromSettings) {
        // Read again on top of the window's stored options.
        const SettingsStore store(SettingsStore::Access::ReadOnly);
        if (!store.readError().isEmpty())
            say(streams.error,
                QStringLiteral("zentavo-cli: the window's stored options were not used (%1: %2): "
                               "starting from its first-run options\n")
                    .arg(store.fileName(), store.readError()));
        parsed = parseCommandLine(arguments, readStoredOptions(store));
    }
    if (!parsed.request)
        return fail(kBadInput, parsed.error);
    Request request = *parsed.request;
    if (request.action == Request::Action::Help) {
        say(streams.output, helpText(helpWidth(streams.output)));
        return 0;
    }
    if (request.action == Request::Action::Completion) {
        say(streams.output, completionScript(request.completionShell));
        return 0;
    }
    if (request.action == Request::Action::Version) {
        say(streams.output, QStringLiteral("zentavo-cli " ZENTAVO_VERSION "\n"));
        return 0;
    }

    // One password for each account name, in the file's order; the name
    // takes the line number's place.
    AccountNames accounts;
    if (request.accountsPath && request.action == Request::Action::Generate) {
        accounts = readAccountNames(*request.accountsPath, streams.input, request.format != Format::Plain);
        if (!accounts.error.isEmpty())
            return fail(kBadInput, accounts.error);
        request.options.passwordCount = QString::number(accounts.names.size());
        request.options.showLineNumbers = false;
    }

    // Passphrases draw words from a list: the shipped one, or the user's.
    std::optional<WordList> ownWords;
    std::optional<Passphrases> phrases;
    if (!request.options.wordCount.isEmpty()) {
        if (request.wordListPath) {
            QFile file(*request.wordListPath);
            if (!file.open(QIODevice::ReadOnly))
                return fail(kBadInput,
                            QStringLiteral("%1: %2").arg(*request.wordListPath, file.errorString()));
            auto read = readWordList(file.readAll(), *request.wordListPath);
            if (const auto *error = std::get_if<QString>(&read))
                return fail(kBadInput, *error);
            ownWords = std::get<WordList>(std::move(read));
        }
        phrases.emplace(ownWords ? *ownWords : effLongList(), request.options);
    }

    if (const auto problem = checkOptions(request, phrases ? &*phrases : nullptr))
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

    const bool toFile = !request.outputPath.isEmpty();
    if (request.format == Format::Workbook && !toFile && ::isatty(streams.output))
        return fail(kBadInput,
                    QStringLiteral("a workbook is no text for a terminal: use -o FILE or redirect"));

    // The workbook library names the file it writes: a temporary one, or a
    // descriptor's /proc path on the way to standard output. Messages name
    // the destination the user gave instead.
    QString workbookPath;
    QString workbookShown;
    try {
        std::optional<AtomicFile> file;
        if (toFile)
            file.emplace(request.outputPath);
        DescriptorOutput out(toFile ? file->fd() : streams.output,
                             toFile ? request.outputPath : QStringLiteral("standard output"));

        // The workbook is packed when complete: into the file's temporary
        // place, or into a private folder on its way to standard output. Its
        // rows wait in that folder meanwhile, as they hold the same secrets.
        std::optional<QTemporaryDir> workFolder;
        int packed = -1;
        const auto closePacked = qScopeGuard([&] {
            workFolderSet = 0;
            if (packed >= 0)
                ::close(packed);
        });
        std::unique_ptr<Workbook> workbook;
        std::unique_ptr<RowFormat> format;
        const GenerationOptions &options = request.options;
        const bool lineNumbers = options.showLineNumbers;
        const auto count = qint32(checkNumber(options.passwordCount, kPasswordCount, Notation::Digits).value);
        std::optional<ShadowHasher> hasher;
        if (request.crypt)
            hasher.emplace(*request.crypt);
        const bool forAccounts = !accounts.names.isEmpty();
        auto accountsRows = [&] {
            return accountsFormat(request.format, out, workbook.get(), accounts.names,
                                  hasher ? &*hasher : nullptr);
        };
        if (forAccounts && request.format != Format::Workbook)
            format = accountsRows();
        else
            switch (request.format) {
            case Format::Plain:
                format = plainFormat(out);
                break;
            case Format::Text:
                // Rows that wait go beside the file they are for, or where
                // temporary files go.
                format = textFormat(out, lineNumbers, count, fixedPasswordWidth(options),
                                    toFile ? QFileInfo(request.outputPath).absolutePath() : QDir::tempPath());
                break;
            case Format::Csv:
                format = csvFormat(out, lineNumbers);
                break;
            case Format::Workbook: {
                // Named for what made it: a run killed outright leaves it.
                workFolder.emplace(QDir::tempPath() + QStringLiteral("/zentavo-cli-XXXXXX"));
                if (!workFolder->isValid())
                    throw OutputFailed{
                        QStringLiteral("no private temporary folder: %1").arg(workFolder->errorString())};
                const QByteArray folder = QFile::encodeName(workFolder->path());
                if (folder.size() < PATH_MAX) {
                    std::memcpy(workFolderPath, folder.constData(), std::size_t(folder.size() + 1));
                    workFolderSet = 1;
                }
                // On its way to standard output, the workbook waits in a file
                // without a name where the system allows one.
                if (!toFile)
                    packed = anonymousFile(workFolder->path());
                workbookShown = toFile ? request.outputPath : QStringLiteral("for standard output");
                workbookPath = toFile        ? file->temporaryPath()
                               : packed >= 0 ? QStringLiteral("/proc/self/fd/%1").arg(packed)
                                             : workFolder->filePath(QStringLiteral("out.xlsx"));
                try {
                    const LibraryKeptQuiet quiet;
                    workbook = std::make_unique<Workbook>(workbookPath, workFolder->path());
                } catch (const Failure &failure) {
                    throw OutputFailed{failure.description()};
                }
                format = forAccounts ? accountsRows() : workbookFormat(*workbook);
                break;
            }
            }

        CollectingPrompter prompter;
        ErrorReport report(prompter, QStringLiteral(ZENTAVO_SUPPORT_ADDRESS));
        PasswordGenerator generator(random, report);
        StreamingSink sink(*format);
        if (phrases)
            phrases->make(random, sink, count, lineNumbers);
        else
            generator.run(options, sink);
        if (!prompter.texts.isEmpty())
            return fail(kWriteFailed, prompter.texts.join(QLatin1Char('\n')));
        format->finish();

        if (request.format == Format::Workbook && !toFile) {
            QFile workbookFile;
            const bool opened =
                packed >= 0 ? ::lseek(packed, 0, SEEK_SET) == 0 &&
                                  workbookFile.open(packed, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)
                            : (workbookFile.setFileName(workFolder->filePath(QStringLiteral("out.xlsx"))),
                               workbookFile.open(QIODevice::ReadOnly));
            if (!opened)
                throw OutputFailed{QStringLiteral("the workbook could not be read back: %1")
                                       .arg(workbookFile.errorString())};
            for (;;) {
                const QByteArray block = workbookFile.read(1 << 16);
                if (block.isEmpty())
                    break;
                out.write(block.constData(), block.size());
            }
        }
        if (file)
            file->commit();
    } catch (const OutputFailed &failure) {
        QString message = failure.message;
        if (!workbookPath.isEmpty())
            message.replace(workbookPath, workbookShown);
        return fail(kWriteFailed, message);
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
    if (workFolderSet) {
        // The workbook library's own files in it went the moment they were
        // made; a workbook on its way to standard output may be there.
        char name[PATH_MAX + 16];
        const std::size_t length = std::strlen(workFolderPath);
        // The suffix copied next, its NUL included, ends the name.
        std::memcpy(name, workFolderPath, length); // NOLINT(bugprone-not-null-terminated-result)
        std::memcpy(name + length, "/out.xlsx", sizeof "/out.xlsx");
        ::unlink(name);
        ::rmdir(workFolderPath);
    }
}

} // namespace zentavo::cli
