#include "cli/accountnames.h"

#include <QFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>
#include <variant>

namespace zentavo::cli {

namespace {

std::optional<QByteArray> readDescriptor(int fd)
{
    QByteArray bytes;
    char block[65536];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return bytes;
        bytes.append(block, n);
    }
}

// The line without the spaces, tabs and carriage return that lay the file
// out; any other blank is part of the name, and refused there.
QString layoutTrimmed(const QString &line)
{
    const auto layout = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r'; };
    qsizetype start = 0;
    qsizetype end = line.size();
    while (start < end && layout(line[start]))
        ++start;
    while (end > start && layout(line[end - 1]))
        --end;
    return line.mid(start, end - start);
}

QString shownName(const QString &path)
{
    return path == QLatin1String("-") ? QStringLiteral("standard input") : path;
}

// The bytes of the file, or why it could not be read.
std::variant<QByteArray, QString> readInput(const QString &path, int standardInput)
{
    std::optional<QByteArray> bytes;
    if (path == QLatin1String("-")) {
        bytes = readDescriptor(standardInput);
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("%1 could not be read: %2").arg(path, file.errorString());
        bytes = readDescriptor(file.handle());
    }
    if (!bytes)
        return QStringLiteral("%1 could not be read: %2")
            .arg(shownName(path), QString::fromLocal8Bit(std::strerror(errno)));
    return *std::move(bytes);
}

} // namespace

QString rosterRefusal(const QString &path, const RosterRefusal &refusal)
{
    return QStringLiteral("%1 line %2: %3").arg(shownName(path)).arg(refusal.line).arg(refusal.message);
}

RosterInput readRoster(const QString &path, int standardInput, const RosterSettings &settings)
{
    auto input = readInput(path, standardInput);
    if (const auto *error = std::get_if<QString>(&input))
        return {std::nullopt, *error};
    auto read = Roster::read(std::get<QByteArray>(std::move(input)), settings);
    if (const auto *refusal = std::get_if<RosterRefusal>(&read))
        return {std::nullopt, rosterRefusal(path, *refusal)};
    return {std::get<Roster>(std::move(read)), {}};
}

AccountNames readAccountNames(const QString &path, int standardInput, AccountNameCheck::Use use)
{
    const QString where = shownName(path);
    auto input = readInput(path, standardInput);
    if (const auto *error = std::get_if<QString>(&input))
        return {{}, *error};
    auto *bytes = std::get_if<QByteArray>(&input);
    if (bytes->startsWith("\xEF\xBB\xBF"))
        bytes->remove(0, 3);

    AccountNames result;
    AccountNameCheck check(use);
    auto refuse = [&](qsizetype line, const QString &what) {
        return AccountNames{{}, QStringLiteral("%1 line %2: %3").arg(where).arg(line).arg(what)};
    };
    const QList<QByteArray> lines = bytes->split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString name = layoutTrimmed(decoder.decode(lines[i]));
        if (decoder.hasError())
            return refuse(i + 1, QStringLiteral("not UTF-8 text"));
        if (name.isEmpty() || name.startsWith(QLatin1Char('#')))
            continue;
        const QString refusal = check.refusal(name, i + 1);
        if (!refusal.isEmpty())
            return refuse(i + 1, refusal);
        result.names << name;
    }
    if (result.names.isEmpty())
        result.error = QStringLiteral("%1 holds no account name").arg(where);
    return result;
}

} // namespace zentavo::cli
