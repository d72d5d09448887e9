#pragma once

#include "core/eventpump.h"

#include <chrono>
#include <future>
#include <utility>

namespace zentavo {

// Runs `work` on a thread of its own while the window goes on handling its
// events, for a single step that can take long (packing a workbook, waiting
// for the disk to hold a file) and cannot be cut into pieces that yield.
// Nothing else may touch what `work` uses meanwhile. Failures come back as
// they were thrown; should the window close meanwhile (Abandoned), the work
// is still waited for, so nothing it uses goes away under it.
template <typename Work> auto runWhileYielding(EventPump &pump, Work &&work) -> decltype(work())
{
    auto done = std::async(std::launch::async, std::forward<Work>(work));
    while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        pump.yield();
    return done.get();
}

} // namespace zentavo
