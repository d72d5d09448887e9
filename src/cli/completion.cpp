#include "cli/completion.h"

#include "cli/commandline.h"

namespace zentavo::cli {

namespace {

using Takes = OptionSpec::Takes;

QString latin1(const char *text)
{
    return QString::fromLatin1(text);
}

// A help text up to its first pause: a completion menu has one line.
QString summary(const char *help)
{
    QString text = latin1(help);
    for (const char *pause : {" (", "; ", ". ", ": ", ", set"}) {
        const qsizetype at = text.indexOf(QLatin1String(pause));
        if (at > 0)
            text.truncate(at);
    }
    return text;
}

// Each choice's word with what it does, as zsh (word\:"meaning") or fish
// (word\t"meaning") reads such a list; `prefix` goes before each word.
QString describedChoices(const Choices &choices, const char *separator, const QString &prefix = {})
{
    QStringList described;
    for (const Choice &choice : choices.words)
        described << QStringLiteral("%1%2%3\"%4\"")
                         .arg(prefix, latin1(choice.word), latin1(separator), latin1(choice.meaning));
    return described.join(QLatin1Char(' '));
}

QString wordsOf(const Choices &choices)
{
    QStringList words;
    for (const Choice &choice : choices.words)
        words << latin1(choice.word);
    return words.join(QLatin1Char(' '));
}

// Between single quotes for the shell.
QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\'');
}

QString bash()
{
    QStringList words, files, choiceCases, attachedCases, valueNames;
    for (const OptionSpec &option : optionTable()) {
        QStringList names{latin1(option.name)};
        if (option.shortName)
            names << QStringLiteral("-%1").arg(QLatin1Char(option.shortName));
        words << names;
        if (option.negation)
            words << latin1(option.negation);
        const QString pattern = names.join(QLatin1Char('|'));
        const QString choices =
            option.choices
                ? QStringLiteral("        %1) COMPREPLY=($(compgen -W %2 -- \"$cur\")); return ;;\n")
                      .arg(pattern, quoted(wordsOf(*option.choices)))
                : QString();
        if (option.takes == Takes::AttachedValue)
            attachedCases << choices;
        else if (option.takes == Takes::File)
            files << names;
        else if (option.takes == Takes::Value && option.choices)
            choiceCases << choices;
        else if (option.takes == Takes::Value)
            valueNames << names;
    }
    return QStringLiteral(
               "# bash completion for zentavo-cli, made by zentavo-cli --completion bash\n"
               "_zentavo_cli()\n"
               "{\n"
               "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} attached=\n"
               "    # bash splits --format=csv into three words: --format, = and csv.\n"
               "    if [[ $cur == = ]]; then\n"
               "        cur= attached=1\n"
               "    elif [[ $prev == = && $COMP_CWORD -gt 1 ]]; then\n"
               "        prev=${COMP_WORDS[COMP_CWORD-2]} attached=1\n"
               "    fi\n"
               "    case $prev in\n"
               "%1"
               "        %2) compopt -o filenames; COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
               "        %3) return ;;\n"
               "    esac\n"
               "    if [[ $attached ]]; then\n"
               "        case $prev in\n"
               "%4"
               "        esac\n"
               "        return\n"
               "    fi\n"
               "    [[ $cur == -* ]] && COMPREPLY=($(compgen -W %5 -- \"$cur\"))\n"
               "}\n"
               "complete -F _zentavo_cli zentavo-cli\n")
        .arg(choiceCases.join(QString()), files.join(QLatin1Char('|')), valueNames.join(QLatin1Char('|')),
             attachedCases.join(QString()).replace(QLatin1String("        "), QLatin1String("            ")),
             quoted(words.join(QLatin1Char(' '))));
}

QString zsh()
{
    // In _arguments, a description ends at ] and a message at :.
    auto escaped = [](QString text) {
        for (const char *special : {"\\", "[", "]", ":"})
            text.replace(QLatin1String(special), QLatin1Char('\\') + QLatin1String(special));
        return text;
    };
    QString script = QStringLiteral("#compdef zentavo-cli\n"
                                    "# zsh completion for zentavo-cli, made by zentavo-cli --completion zsh\n"
                                    "_arguments -s -S \\\n");
    for (const OptionSpec &option : optionTable()) {
        QString action;
        if (option.takes == Takes::File)
            action = QStringLiteral(":file:_files");
        else if (option.choices)
            action = QStringLiteral(":%1:((%2))")
                         .arg(valueName(option).toLower(), describedChoices(*option.choices, "\\:"));
        else
            action = QStringLiteral(":%1: ").arg(valueName(option));
        const QString description = QStringLiteral("[%1]").arg(escaped(summary(option.help)));
        auto add = [&](const QString &line) { script += QStringLiteral("  %1 \\\n").arg(quoted(line)); };
        if (option.takes == Takes::AttachedValue) {
            add(latin1(option.name) + QStringLiteral("=-") + description + QLatin1Char(':') + action);
        } else if (option.takes == Takes::Nothing) {
            add(latin1(option.name) + description);
            if (option.shortName)
                add(QStringLiteral("-%1").arg(QLatin1Char(option.shortName)) + description);
        } else {
            add(latin1(option.name) + QLatin1Char('=') + description + action);
            if (option.shortName)
                add(QStringLiteral("-%1+").arg(QLatin1Char(option.shortName)) + description + action);
        }
        if (option.negation)
            add(latin1(option.negation) + QStringLiteral("[%1]").arg(escaped(summary(option.negationHelp))));
    }
    script += QStringLiteral("  '1::length: ' \\\n  '2::count: '\n");
    return script;
}

QString fish()
{
    QString script =
        QStringLiteral("# fish completion for zentavo-cli, made by zentavo-cli --completion fish\n"
                       "complete -c zentavo-cli -f\n");
    for (const OptionSpec &option : optionTable()) {
        const QString description = quoted(summary(option.help));
        QString line = QStringLiteral("complete -c zentavo-cli");
        if (option.shortName)
            line += QStringLiteral(" -s %1").arg(QLatin1Char(option.shortName));
        line += QStringLiteral(" -l %1").arg(latin1(option.name + 2));
        if (option.takes == Takes::File)
            line += QStringLiteral(" -r -F");
        else if (option.takes == Takes::Value && option.choices)
            line += QStringLiteral(" -x -a %1").arg(quoted(describedChoices(*option.choices, "\\t")));
        else if (option.takes == Takes::Value)
            line += QStringLiteral(" -x");
        script += line + QStringLiteral(" -d ") + description + QLatin1Char('\n');
        if (option.negation)
            script += QStringLiteral("complete -c zentavo-cli -l %1 -d %2\n")
                          .arg(latin1(option.negation + 2), quoted(summary(option.negationHelp)));
        if (option.takes == Takes::AttachedValue) {
            // fish has no value that only follows an =: offer the whole words.
            const QString name = latin1(option.name);
            script +=
                QStringLiteral("complete -c zentavo-cli -n %1 -a %2\n")
                    .arg(quoted(QStringLiteral("string match -q -- \"%1*\" (commandline -ct)").arg(name)),
                         quoted(describedChoices(*option.choices, "\\t", name + QLatin1Char('='))));
        }
    }
    return script;
}

} // namespace

QString completionScript(Shell shell)
{
    switch (shell) {
    case Shell::Bash:
        return bash();
    case Shell::Zsh:
        return zsh();
    case Shell::Fish:
        return fish();
    }
    return {};
}

} // namespace zentavo::cli
