#include "core/memorybudget.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

namespace zentavo {

namespace {

constexpr qint64 kUnlimited = std::numeric_limits<qint64>::max();

// Reads a small file from /proc or /sys whole; empty when it cannot be read.
QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return file.read(qint64(64) * 1024);
}

// The value of "Key:   1234 kB" in a file like /proc/meminfo, in bytes.
qint64 keyedKilobytes(const QByteArray &text, const QByteArray &key)
{
    const qsizetype at = text.indexOf('\n' + key + ':');
    const qsizetype start = at < 0 ? (text.startsWith(key + ':') ? 0 : -1) : at + 1;
    if (start < 0)
        return kUnlimited;
    const qsizetype end = text.indexOf('\n', start);
    QByteArray value =
        text.mid(start + key.size() + 1, end < 0 ? -1 : end - start - key.size() - 1).trimmed();
    value.chop(value.endsWith(" kB") ? 3 : 0);
    bool ok = false;
    const qint64 kilobytes = value.trimmed().toLongLong(&ok);
    return ok ? kilobytes * 1024 : kUnlimited;
}

qint64 limitLess(int resource, qint64 inUse)
{
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kUnlimited;
    return qint64(limit.rlim_cur) - inUse;
}

// A control group's limit less its use; memory.max reads "max" when it has
// none. Both the unified hierarchy and the older memory controller count.
qint64 controlGroupRoom()
{
    qint64 room = kUnlimited;
    const QList<QByteArray> lines = readSmallFile(QStringLiteral("/proc/self/cgroup")).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() < 3)
            continue;
        const QString path = QString::fromLocal8Bit(fields.mid(2).join(':'));
        QString limitFile, useFile;
        if (fields[0] == "0" && fields[1].isEmpty()) {
            limitFile = QStringLiteral("/sys/fs/cgroup%1/memory.max").arg(path);
            useFile = QStringLiteral("/sys/fs/cgroup%1/memory.current").arg(path);
        } else if (fields[1].split(',').contains("memory")) {
            limitFile = QStringLiteral("/sys/fs/cgroup/memory%1/memory.limit_in_bytes").arg(path);
            useFile = QStringLiteral("/sys/fs/cgroup/memory%1/memory.usage_in_bytes").arg(path);
        } else {
            continue;
        }
        bool limited = false, used = false;
        const qint64 limit = readSmallFile(limitFile).trimmed().toLongLong(&limited);
        const qint64 usage = readSmallFile(useFile).trimmed().toLongLong(&used);
        if (limited && used)
            room = std::min(room, limit - usage);
    }
    return room;
}

} // namespace

qint64 MemoryBudget::usable() const
{
    // An eighth, and at least 64 MiB, stay free: the window draws, message
    // boxes open and the desktop goes on working.
    const qint64 free = available();
    return std::max<qint64>(0, free - std::max<qint64>(free / 8, qint64(64) << 20));
}

qint64 SystemMemoryBudget::available() const
{
    const QByteArray status = readSmallFile(QStringLiteral("/proc/self/status"));
    qint64 room = keyedKilobytes(readSmallFile(QStringLiteral("/proc/meminfo")), "MemAvailable");
    room = std::min(room, limitLess(RLIMIT_AS, keyedKilobytes(status, "VmSize")));
    room = std::min(room, limitLess(RLIMIT_DATA, keyedKilobytes(status, "VmData")));
    room = std::min(room, controlGroupRoom());
    if (room == kUnlimited) {
        // Nothing could be read: the physical memory is the bound then.
        room = qint64(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    }
    return std::max<qint64>(0, room);
}

const MemoryBudget &systemMemoryBudget()
{
    static const SystemMemoryBudget budget;
    return budget;
}

QLocale messageLocale()
{
    //: The locale whose digits and separators the numbers in messages follow: "de" writes 1.000.000 and 1,5.
    return QLocale(QCoreApplication::translate("zentavo::MemoryBudget", "en"));
}

QString approximateSize(qint64 bytes)
{
    const QLocale locale = messageLocale();
    if (bytes >= 1'000'000'000)
        return QCoreApplication::translate("zentavo::MemoryBudget", "about %1 GB")
            .arg(locale.toString(double(bytes) / 1e9, 'f', 1));
    if (bytes < 500'000)
        return QCoreApplication::translate("zentavo::MemoryBudget", "less than 1 MB");
    return QCoreApplication::translate("zentavo::MemoryBudget", "about %1 MB")
        .arg(locale.toString((bytes + 500'000) / 1'000'000));
}

QString outOfMemory(const QString &what, qint64 needed, qint64 available)
{
    //: %1 is what was to be made ("writing the file"), %2 and %3 are sizes ("about 850 MB").
    return QCoreApplication::translate("zentavo::MemoryBudget", "Out of memory: %1 needs %2; %3 is free.")
        .arg(what, approximateSize(needed), approximateSize(available));
}

QString memoryRefusal(qint64 count, int length, qint64 needed, qint64 available, qint64 fitting)
{
    const QLocale locale = messageLocale();
    // Three significant digits, rounded down: "about" must not promise
    // more, nor offer a tenth less than fits.
    qint64 rounded = fitting;
    qint64 unit = 1;
    while (rounded >= 1000) {
        rounded /= 10;
        unit *= 10;
    }
    rounded *= unit;
    // Singular and plural are whole texts of their own: languages differ in
    // which words change with the number.
    const QString passwords = count == 1
                                  ? QCoreApplication::translate("zentavo::MemoryBudget", "1 password")
                                  : QCoreApplication::translate("zentavo::MemoryBudget", "%1 passwords")
                                        .arg(locale.toString(count));
    const QString characters =
        length == 1 ? QCoreApplication::translate("zentavo::MemoryBudget", "of 1 character")
                    : QCoreApplication::translate("zentavo::MemoryBudget", "of %1 characters").arg(length);
    const QString verdict =
        rounded > 0
            ? QCoreApplication::translate("zentavo::MemoryBudget", "Zentavo can make about %1 at a time.")
                  .arg(locale.toString(rounded))
            : QCoreApplication::translate("zentavo::MemoryBudget", "Zentavo cannot make any at the moment.");
    //: %1 "1 password", %2 "of 6 characters", %3 and %4 sizes ("about 850 MB"), %5 what can be made instead.
    const QString sentence =
        count == 1 ? QCoreApplication::translate("zentavo::MemoryBudget", "%1 %2 needs %3; %4 is free. %5")
                   : QCoreApplication::translate("zentavo::MemoryBudget", "%1 %2 need %3; %4 is free. %5");
    return sentence.arg(passwords, characters, approximateSize(needed), approximateSize(available), verdict);
}

} // namespace zentavo
