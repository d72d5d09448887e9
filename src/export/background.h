#pragma once

#include "core/eventpump.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QUnhandledException>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <type_traits>
#include <utility>

namespace zentavo {

// Runs `work` on a thread of the pool while the window goes on handling its
// events, for a single step that can take long (packing a workbook, waiting
// for the disk to hold a file) and cannot be cut into pieces that yield.
// Nothing else may touch what `work` uses meanwhile. Failures come back as
// they were thrown; should the window close meanwhile, Abandoned is thrown
// only once the work has finished, so nothing it uses goes away under it.
template <typename Work> auto runWhileYielding(EventPump &pump, Work &&work) -> decltype(work())
{
    using Result = decltype(work());
    QFuture<Result> done = QtConcurrent::run(std::forward<Work>(work));
    {
        QFutureWatcher<Result> watcher;
        QEventLoop loop;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(done);
        if (!done.isFinished())
            loop.exec();
    }
    // Closing the window may end the loop early; the work is waited for all
    // the same. The pump then throws Abandoned.
    try {
        done.waitForFinished();
    } catch (const QUnhandledException &unhandled) {
        // Qt passes on only its own exception type as it is; anything else
        // arrives wrapped.
        if (unhandled.exception())
            std::rethrow_exception(unhandled.exception());
        throw;
    }
    pump.yield();
    if constexpr (!std::is_void_v<Result>)
        return done.result();
}

} // namespace zentavo
