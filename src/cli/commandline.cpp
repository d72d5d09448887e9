#include "cli/commandline.h"

#include <functional>

namespace zentavo::cli {

namespace {

// A switch that sets one option of the window, on or off.
struct Switch
{
    const char *on;
    const char *off;
    bool GenerationOptions::*field;
    const char *caption; // the window's name for it
};

constexpr Switch kSwitches[] = {
    {"--lower", "--no-lower", &GenerationOptions::useLowerCase, "a - z"},
    {"--upper", "--no-upper", &GenerationOptions::useUpperCase, "A - Z"},
    {"--digits", "--no-digits", &GenerationOptions::useDigits, "0 - 9"},
    {"--at-least", "--no-at-least", &GenerationOptions::atLeastOneFromEachGroup,
     "Generate at least 1 character from each character group"},
    {"--no-vowels", "--vowels", &GenerationOptions::removeVowels, "Remove vowels"},
    {"--space", "--no-space", &GenerationOptions::includeSpace, "Include space character"},
    {"--last-digit", "--no-last-digit", &GenerationOptions::lastCharacterDigit,
     "Make last character a digit"},
    {"--line-numbers", "--no-line-numbers", &GenerationOptions::showLineNumbers, "Show line numbers"},
};

} // namespace

GenerationOptions scriptDefaults()
{
    GenerationOptions options;
    options.useLowerCase = options.useUpperCase = options.useDigits = true;
    options.atLeastOneFromEachGroup = true;
    options.specifiedCharacters = QStringLiteral("!@#$%^&*()");
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

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        std::optional<QString> attached; // --count=5, -n5
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            attached = name.mid(name.indexOf(QLatin1Char('=')) + 1);
            name.truncate(name.indexOf(QLatin1Char('=')));
        } else if ((name.startsWith(QLatin1String("-n")) || name.startsWith(QLatin1String("-l")) ||
                    name.startsWith(QLatin1String("-o"))) &&
                   name.size() > 2) {
            attached = name.mid(2);
            name.truncate(2);
        }
        auto value = [&]() -> std::optional<QString> {
            if (attached)
                return attached;
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        auto missing = [&] { return Parsed{std::nullopt, QStringLiteral("%1 needs a value").arg(name)}; };

        bool known = false;
        for (const Switch &s : kSwitches) {
            if (name == QLatin1String(s.on) || name == QLatin1String(s.off)) {
                options.*s.field = name == QLatin1String(s.on);
                known = true;
            }
        }
        if (known) {
            if (attached)
                return {std::nullopt, QStringLiteral("%1 takes no value").arg(name)};
            continue;
        }

        if (name == QLatin1String("--chars")) {
            const auto text = value();
            if (!text)
                return missing();
            options.useSpecified = true;
            options.specifiedCharacters = *text;
        } else if (name == QLatin1String("--no-chars")) {
            options.useSpecified = false;
        } else if (name == QLatin1String("-n") || name == QLatin1String("--count")) {
            const auto text = value();
            if (!text)
                return missing();
            options.passwordCount = *text;
        } else if (name == QLatin1String("-l") || name == QLatin1String("--length")) {
            const auto text = value();
            if (!text)
                return missing();
            options.passwordLength = *text;
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            const auto text = value();
            if (!text || text->isEmpty())
                return missing();
            request.outputPath = *text;
        } else if (name == QLatin1String("--format")) {
            const auto text = value();
            if (!text)
                return missing();
            static const std::pair<const char *, Format> formats[] = {{"plain", Format::Plain},
                                                                      {"text", Format::Text},
                                                                      {"csv", Format::Csv},
                                                                      {"xlsx", Format::Workbook}};
            const auto found = std::find_if(std::begin(formats), std::end(formats),
                                            [&](const auto &f) { return *text == QLatin1String(f.first); });
            if (found == std::end(formats))
                return {std::nullopt,
                        QStringLiteral("unknown format \"%1\": plain, text, csv or xlsx").arg(*text)};
            request.format = found->second;
        } else if (name == QLatin1String("--from-settings")) {
            request.fromSettings = true;
        } else if (name == QLatin1String("--strength")) {
            request.action = Request::Action::Strength;
        } else if (name == QLatin1String("-h") || name == QLatin1String("--help")) {
            request.action = Request::Action::Help;
            return {request, {}};
        } else if (name == QLatin1String("--version")) {
            request.action = Request::Action::Version;
            return {request, {}};
        } else {
            return {std::nullopt, QStringLiteral("unknown option \"%1\" (see --help)").arg(arguments[i])};
        }
    }
    return {request, {}};
}

QString helpText()
{
    QString text =
        QStringLiteral("Usage: zentavo-cli [OPTION]...\n"
                       "Make random passwords as the Zentavo window does, for scripts.\n"
                       "\n"
                       "Character groups, drawn from in this order (default: a - z, A - Z, 0 - 9):\n");
    auto line = [&](const QString &names, const QString &what) {
        text += QStringLiteral("  %1%2\n").arg(names.leftJustified(34), what);
    };
    for (const Switch &s : kSwitches) {
        if (s.field == &GenerationOptions::atLeastOneFromEachGroup) {
            line(QStringLiteral("--chars TEXT, --no-chars"),
                 QStringLiteral("Your specified characters (off)"));
            text += QStringLiteral("\nOptions (the window's names):\n");
        }
        const bool onByDefault = scriptDefaults().*s.field;
        line(QStringLiteral("%1, %2").arg(QLatin1String(s.on), QLatin1String(s.off)),
             QStringLiteral("%1 (%2)").arg(QLatin1String(s.caption),
                                           onByDefault ? QStringLiteral("on") : QStringLiteral("off")));
    }
    line(QStringLiteral("-n, --count N"),
         QStringLiteral("How many passwords would you like to generate? (10)"));
    line(QStringLiteral("-l, --length N"), QStringLiteral("What length? (16)"));
    line(QStringLiteral("--from-settings"),
         QStringLiteral("start from the options the window stored (only read)"));
    text += QStringLiteral("\nOutput:\n");
    line(QStringLiteral("--format plain|text|csv|xlsx"),
         QStringLiteral("one password a line (plain, the default), the window's text file,"));
    line(QString(), QStringLiteral("CSV with a title row, or the window's workbook"));
    line(QStringLiteral("-o, --output FILE"),
         QStringLiteral("write FILE (only when complete, readable by you alone)"));
    line(QStringLiteral("--strength"), QStringLiteral("print the strength of one password and stop"));
    line(QStringLiteral("-h, --help"), QStringLiteral("print this help and stop"));
    line(QStringLiteral("--version"), QStringLiteral("print the version and stop"));
    text += QStringLiteral(
        "\nExit status: 0 done; 1 the output could not be written; 2 the command line was wrong\n"
        "(nothing is written then).\n");
    return text;
}

} // namespace zentavo::cli
