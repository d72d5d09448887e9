#pragma once

#include <cstddef>
#include <string>

namespace zentavo {

// Puts this process out of other processes' reach, first thing in main():
// no core dump, no attaching or reading its memory by other processes of
// the same user (root still may), and freed memory wiped (see
// hardening.cpp).
void hardenProcess();

// Whether blocks given back through free(), realloc() and operator delete
// are wiped in this process: not where the allocator in use cannot tell how
// large its blocks are, nor under a memory checker, which brings its own.
bool wipesFreedMemory();

// What a program should tell its user when freed memory is not wiped,
// naming the allocator; empty when it is, and under a memory checker.
std::string unwipedMemoryNotice();

// Leaves the pages wholly inside [data, data + size) out of any core dump.
void excludeFromDumps(void *data, std::size_t size);

} // namespace zentavo
