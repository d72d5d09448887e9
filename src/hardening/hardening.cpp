// Every block of memory this program gives back is overwritten first, and
// no other process of the user may read the memory while the program runs.
//
// Our own buffers that hold passwords are wiped where they are released; the
// libraries we hand passwords to make copies we cannot reach: the workbook
// library and its compressor keep whole sheets in buffers of their own, the C
// library's file buffers hold what was written, and Qt converts clipboard
// text on its way out. Defined in the executable, free() and realloc() here
// stand in for the C library's for every library the program loads, so those
// copies are wiped too when they are freed.
//
// Only blocks of the C library's own allocator are handled so: when another
// allocator is preloaded in its place (jemalloc, tcmalloc, the C library's
// debugging one), its own functions get its blocks. Left out entirely where
// a memory checker brings its own allocator.

#include "hardening/hardening.h"

#include <cstdint>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

// GCC says a memory checker is built in by __SANITIZE_*__, clang by __has_feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZENTAVO_MEMORY_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZENTAVO_MEMORY_CHECKER 1
#endif
#endif

#if defined(__GLIBC__) && !defined(ZENTAVO_MEMORY_CHECKER)
#define ZENTAVO_WIPING_FREE 1
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <malloc.h>
#include <sodium.h>

extern "C" {
void *__libc_malloc(std::size_t size);
void __libc_free(void *block);
void *__libc_realloc(void *block, std::size_t size);
}

namespace {

using FreeFunction = void (*)(void *);
using ReallocFunction = void *(*)(void *, std::size_t);

enum Allocator : int { kUnknown, kLibc, kOther };
std::atomic<int> allocator{kUnknown};
std::atomic<FreeFunction> otherFree{nullptr};
std::atomic<ReallocFunction> otherRealloc{nullptr};

// The next definition of `name` after this program's: the C library's, or
// that of an allocator loaded in its place. The C library's debugging
// allocator defines its functions only under their versioned names.
template <typename Function> Function next(const char *name)
{
    void *found = dlvsym(RTLD_NEXT, name, "GLIBC_2.2.5");
    return reinterpret_cast<Function>(found ? found : dlsym(RTLD_NEXT, name));
}

// Which allocator hands out the blocks: the C library's when the malloc()
// this program calls lies in the C library itself. Found once.
int inUse()
{
    const int known = allocator.load(std::memory_order_acquire);
    if (known != kUnknown)
        return known;
    Dl_info called = {}, library = {};
    if (dladdr(reinterpret_cast<void *>(&::malloc), &called) &&
        dladdr(reinterpret_cast<void *>(&__libc_malloc), &library) && called.dli_fbase == library.dli_fbase) {
        allocator.store(kLibc, std::memory_order_release);
        return kLibc;
    }
    otherFree.store(next<FreeFunction>("free"));
    otherRealloc.store(next<ReallocFunction>("realloc"));
    allocator.store(kOther, std::memory_order_release);
    return kOther;
}

// A large block has pages of its own, mapped for it alone: freeing it hands
// them back to the system, which clears them before anyone gets them again,
// and growing it moves the pages themselves (mremap) without a copy. So it
// needs no wiping, and the pages it never touched are never touched.
bool hasPagesOfItsOwn(void *block)
{
    constexpr std::size_t kMapped = 2; // the C library's mark in the size word before the block
    return (static_cast<const std::size_t *>(block)[-1] & kMapped) != 0;
}

// Blocks from this size on get pages of their own. Fixed, as the C library
// would otherwise raise it after each large block freed and keep the next
// ones among the small, where growing them means copying.
constexpr int kOwnPagesFrom = 256 * 1024;

} // namespace

extern "C" {

void free(void *block)
{
    if (!block)
        return;
    if (inUse() == kOther) {
        if (const FreeFunction theirs = otherFree.load())
            theirs(block);
        return;
    }
    if (!hasPagesOfItsOwn(block))
        sodium_memzero(block, malloc_usable_size(block));
    __libc_free(block);
}

void *realloc(void *block, std::size_t size)
{
    if (inUse() == kOther) {
        const ReallocFunction theirs = otherRealloc.load();
        return theirs ? theirs(block, size) : nullptr;
    }
    if (!block)
        return __libc_malloc(size);
    if (size == 0) {
        free(block);
        return nullptr;
    }
    if (hasPagesOfItsOwn(block))
        return __libc_realloc(block, size);
    // A small block that is large enough, and not much too large, stays
    // where it is; a moved one is wiped where it was.
    const std::size_t usable = malloc_usable_size(block);
    if (size <= usable && size >= usable / 2)
        return block;
    void *moved = __libc_malloc(size);
    if (!moved)
        return nullptr;
    std::memcpy(moved, block, size < usable ? size : usable);
    free(block);
    return moved;
}

void *reallocarray(void *block, std::size_t count, std::size_t size)
{
    std::size_t total = 0;
    if (__builtin_mul_overflow(count, size, &total)) {
        errno = ENOMEM;
        return nullptr;
    }
    return realloc(block, total);
}

} // extern "C"
#endif

namespace zentavo {

void hardenProcess()
{
    // No core dump to hold the list after a crash, and no ptrace or
    // /proc/PID/mem for other processes of the user (root keeps both).
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const struct rlimit none = {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
#ifdef ZENTAVO_WIPING_FREE
    if (inUse() == kLibc)
        mallopt(M_MMAP_THRESHOLD, kOwnPagesFrom);
#endif
}

bool wipesFreedMemory()
{
#ifdef ZENTAVO_WIPING_FREE
    return inUse() == kLibc;
#else
    return false;
#endif
}

void excludeFromDumps(void *data, std::size_t size)
{
    // The whole pages inside the block.
    const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    char *const bytes = static_cast<char *>(data);
    const std::uintptr_t misaligned = reinterpret_cast<std::uintptr_t>(bytes) % page;
    char *const start = misaligned == 0 ? bytes : bytes + (page - misaligned);
    char *const end = bytes + size - reinterpret_cast<std::uintptr_t>(bytes + size) % page;
    if (end > start)
        ::madvise(start, std::size_t(end - start), MADV_DONTDUMP);
}

} // namespace zentavo
