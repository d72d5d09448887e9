#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace zentavo {

// How much more memory this process may take before something refuses it:
// the system running short, a limit set on the process, or the cap of the
// control group it runs in. Asked before a long command builds something
// big, so a request that cannot fit is turned down before it starts instead
// of ending in a crash, or in a desktop that swaps until the kernel kills
// the program.
class MemoryBudget
{
public:
    virtual ~MemoryBudget() = default;

    // Bytes that may still be allocated; never negative.
    virtual qint64 available() const = 0;

    // What a command may plan to use of that: the rest is left for the
    // window, the desktop and the program's own smaller needs.
    qint64 usable() const;
};

// The real budget: the lowest of the system's MemAvailable, the
// address-space limit less the address space in use, the data limit less
// the data in use, and the control group's memory.max less memory.current.
class SystemMemoryBudget final : public MemoryBudget
{
public:
    qint64 available() const override;
};

// The budget used where no other is given.
const MemoryBudget &systemMemoryBudget();

// The locale numbers in messages are written in: that of the translation in
// use, so English texts keep English digits whatever the system's locale.
QLocale messageLocale();

// "about 3.1 GB", "about 850 MB", "less than 1 MB": sizes as people read them.
QString approximateSize(qint64 bytes);

// The message that turns down `count` passwords of `length` characters,
// which need about `needed` bytes, when only `available` bytes may be used and
// `fitting` passwords of that length would fit.
QString memoryRefusal(qint64 count, int length, qint64 needed, qint64 available, qint64 fitting);

// "Out of memory: <what> needs about 810 MB; about 500 MB is free."
QString outOfMemory(const QString &what, qint64 needed, qint64 available);

} // namespace zentavo
