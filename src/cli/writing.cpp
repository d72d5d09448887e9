#include "cli/writing.h"

#include "cli/accounts.h"
#include "cli/outputs.h"

#include "core/config.h"
#include "core/errorreport.h"
#include "core/prompter.h"
#include "export/csvtable.h"
#include "export/ldifentries.h"
#include "export/newuserslines.h"
#include "export/paddedtext.h"
#include "export/plainlines.h"
#include "export/roster.h"
#include "export/slips.h"
#include "export/streamedrows.h"
#include "generator/groups.h"
#include "generator/passphrase.h"
#include "generator/validation.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace zentavo::cli {

namespace {

// Reports end up as one message on standard error, after the run.
class CollectingPrompter final : public Prompter
{
public:
    void message(Icon, const QString &, const QString &text) override { texts << text; }
    QStringList texts;
};

// The rows go straight from the generator to the writer. A writer's failure
// ends the run: the generator must not take it for a failure of one row to
// report and carry on past it.
class CommandLineSink final : public PasswordSink
{
public:
    explicit CommandLineSink(PasswordSink &rows) : m_rows(rows) {}
    void append(const PasswordBatch &batch) override
    {
        try {
            m_rows.append(batch);
        } catch (const Failure &failure) {
            throw OutputFailed{failure.description()};
        }
    }

private:
    PasswordSink &m_rows;
};

// The columns' widths of the text file, where they are known before the
// rows are made: every password has as many text units as characters, all
// the same length, when the pool lies in the basic plane (the leading group
// characters always do, the user's are part of the pool too).
std::optional<std::vector<qsizetype>> knownWidths(const Request &request, const QStringList &names,
                                                  bool hashed)
{
    const GenerationOptions &options = request.options;
    if (hashed || !options.wordCount.isEmpty()) // passphrases' words differ in length
        return std::nullopt;
    const QString pool = chooseGroups(options).pool;
    if (std::any_of(pool.begin(), pool.end(), [](QChar c) { return c.isSurrogate(); }))
        return std::nullopt;
    std::vector<qsizetype> widths;
    if (!names.isEmpty()) {
        widths.push_back(0);
        for (const QString &name : names)
            widths[0] = std::max(widths[0], name.size());
    } else if (options.showLineNumbers) {
        widths.push_back(
            QString::number(checkNumber(options.passwordCount, kPasswordCount, Notation::Digits).value)
                .size());
    }
    widths.push_back(qsizetype(checkNumber(options.passwordLength, kPasswordLength, Notation::Digits).value));
    return widths;
}

std::unique_ptr<RowWriter> chooseWriter(const Request &request, const Named &accounts,
                                        Destination &destination, WorkbookOutput *workbook)
{
    const QStringList &names = accounts.names;
    const bool named = !names.isEmpty();
    const bool hashed = request.crypt.has_value();
    const QStringList titles = named ? AccountRows::titles(hashed)
                               : request.options.showLineNumbers
                                   ? columnTitles({Column::Line, Column::Password})
                                   : columnTitles({Column::Password});
    ByteSink &sink = destination.sink();
    if (accounts.roster)
        return std::make_unique<RosterWriter>(sink, *accounts.roster);
    switch (request.format) {
    case Format::Plain:
        return std::make_unique<PlainLines>(sink, named ? PlainLines::Separator::Colon
                                                        : PlainLines::Separator::Tab);
    case Format::Text:
        if (const auto widths = knownWidths(request, names, hashed))
            return std::make_unique<PaddedText>(sink, titles, *widths);
        return std::make_unique<PaddedText>(sink, titles, destination.spoolFolder());
    case Format::Csv:
        return std::make_unique<CsvTable>(sink, titles);
    case Format::Workbook:
        return std::make_unique<SheetWriter>(workbook->workbook());
    case Format::Slips: {
        SlipOptions slips = request.slips;
        slips.grouped = request.options.wordCount.isEmpty(); // a passphrase's words read apart already
        return std::make_unique<SlipSheet>(sink, slips);
    }
    case Format::Newusers:
        return std::make_unique<NewusersLines>(sink);
    case Format::Ldif:
        return std::make_unique<LdifEntries>(sink, *request.baseDn);
    }
    Q_UNREACHABLE();
}

void generate(const Request &request, const Named &accounts, const Passphrases *phrases, RandomSource &random,
              Destination &destination, WorkbookOutput *workbook)
{
    const QStringList &names = accounts.names;
    const std::unique_ptr<RowWriter> writer = chooseWriter(request, accounts, destination, workbook);
    std::optional<ShadowHasher> hasher;
    if (request.crypt)
        hasher.emplace(*request.crypt);
    std::optional<AccountRows> accountRows;
    std::optional<StreamedRows> streamedRows;
    if (!names.isEmpty())
        accountRows.emplace(*writer, names, hasher ? &*hasher : nullptr);
    else
        streamedRows.emplace(*writer);
    CommandLineSink sink(accountRows ? static_cast<PasswordSink &>(*accountRows) : *streamedRows);

    CollectingPrompter prompter;
    ErrorReport report(prompter, QStringLiteral(ZENTAVO_SUPPORT_ADDRESS));
    PasswordGenerator generator(random, report);
    writer->begin();
    const GenerationOptions &options = request.options;
    if (phrases)
        phrases->make(random, sink,
                      checkNumber(options.passwordCount, kPasswordCount, Notation::Digits).value,
                      options.showLineNumbers);
    else
        generator.run(options, sink);
    if (!prompter.texts.isEmpty())
        throw OutputFailed{prompter.texts.join(QLatin1Char('\n'))};
    if (accountRows)
        accountRows->finish();
    writer->finish();
}

} // namespace

void writePasswords(const Request &request, const Named &named, const Passphrases *phrases,
                    RandomSource &random, int output)
{
    std::optional<Destination> destination;
    std::optional<WorkbookOutput> workbook;
    // Messages name the destination the user gave, not the file the
    // workbook library was given.
    const auto inUserWords = [&](const QString &message) {
        return workbook ? workbook->inUserWords(message) : message;
    };
    try {
        destination.emplace(request.outputPath, output);
        if (request.format == Format::Workbook)
            workbook.emplace(*destination);
        generate(request, named, phrases, random, *destination, workbook ? &*workbook : nullptr);
        if (workbook)
            workbook->deliver();
        destination->commit();
    } catch (const Failure &failure) {
        throw OutputFailed{inUserWords(failure.description())};
    } catch (const OutputFailed &failure) {
        throw OutputFailed{inUserWords(failure.message)};
    }
}

} // namespace zentavo::cli
