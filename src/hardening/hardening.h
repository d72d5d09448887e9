#pragma once

#include <cstddef>

namespace zentavo {

// Puts this process out of other processes' reach, first thing in main():
// no core dump, no attaching or reading its memory by other processes of
// the same user (root still may), and freed memory wiped (see
// hardening.cpp).
void hardenProcess();

// Whether blocks given back through free() and realloc() are wiped in this
// process: not where another allocator stands in for the C library's, nor
// under a memory checker, which bring their own.
bool wipesFreedMemory();

// Leaves the pages wholly inside [data, data + size) out of any core dump.
void excludeFromDumps(void *data, std::size_t size);

} // namespace zentavo
