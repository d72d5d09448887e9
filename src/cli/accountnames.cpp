#include "cli/accountnames.h"

#include "export/accountname.h"

#include <QFile>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>

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

} // namespace

AccountNames readAccountNames(const QString &path, int standardInput, bool forSpreadsheet)
{
    const bool fromInput = path == QLatin1String("-");
    const QString where = fromInput ? QStringLiteral("standard input") : path;
    std::optional<QByteArray> bytes;
    if (fromInput) {
        bytes = readDescriptor(standardInput);
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = readDescriptor(file.handle());
        else
            return {{}, QStringLiteral("%1 could not be read: %2").arg(path, file.errorString())};
    }
    if (!bytes)
        return {{},
                QStringLiteral("%1 could not be read: %2")
                    .arg(where, QString::fromLocal8Bit(std::strerror(errno)))};
    if (bytes->startsWith("\xEF\xBB\xBF"))
        bytes->remove(0, 3);

    AccountNames result;
    AccountNameCheck check(forSpreadsheet);
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
