#include "cli/accountnames.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
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

} // namespace

AccountNames readAccountNames(const QString &path, int standardInput)
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
    auto refuse = [&](qsizetype line, const QString &what) {
        return AccountNames{{}, QStringLiteral("%1 line %2: %3").arg(where).arg(line).arg(what)};
    };
    const QList<QByteArray> lines = bytes->split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString name = QString(decoder.decode(lines[i])).trimmed();
        if (decoder.hasError())
            return refuse(i + 1, QStringLiteral("not UTF-8 text"));
        if (name.isEmpty() || name.startsWith(QLatin1Char('#')))
            continue;
        if (name.contains(QLatin1Char(':')))
            return refuse(
                i + 1, QStringLiteral("\"%1\" holds a colon, which separates name and password").arg(name));
        if (std::any_of(name.begin(), name.end(),
                        [](QChar c) { return c.category() == QChar::Other_Control; }))
            return refuse(i + 1, QStringLiteral("the name holds a control character"));
        result.names << name;
    }
    if (result.names.isEmpty())
        result.error = QStringLiteral("%1 holds no account name").arg(where);
    return result;
}

} // namespace zentavo::cli
