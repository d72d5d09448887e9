// Every block of memory this program gives back is overwritten first, and
// no other process of the user may read the memory while the program runs.
//
// Our own buffers that hold passwords are wiped where they are released; the
// libraries we hand passwords to make copies we cannot reach: the workbook
// library and its compressor keep whole sheets in buffers of their own, the C
// library's file buffers hold what was written, and Qt converts clipboard
// text on its way out. Defined in the executable, free(), realloc() and C++'s
// operator new and delete here stand in for the C library's and the C++
// library's for every library the program loads, so those copies are wiped
// too when they are freed.
//
// The program defines no malloc() of its own: every block comes from the
// allocator in use, whichever it is (the C library's, or one preloaded in
// its place: jemalloc, tcmalloc, mimalloc, the C library's debugging one),
// and goes back to that same allocator's free(), wiped as far as its own
// malloc_usable_size() says the block reaches. Nothing here reads an
// allocator's bookkeeping, except the C library's own, and only once it is
// known to be the one in use. An allocator that cannot tell a block's size
// gets its blocks back unwiped, and wipesFreedMemory() says so. Left out
// entirely where a memory checker brings its own allocator.

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
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <gnu/libc-version.h>
#include <link.h>
#include <malloc.h>
#include <new>
#include <sodium.h>

namespace {

using FreeFunction = void (*)(void *);
using ReallocFunction = void *(*)(void *, std::size_t);
using SizeFunction = std::size_t (*)(void *);

// The allocator in use: the shared object that holds the malloc() this
// program calls, which is the one every library calls, and the functions
// that same object defines beside it.
struct Allocator
{
    FreeFunction free = nullptr;
    ReallocFunction realloc = nullptr;
    SizeFunction usableSize = nullptr; // none: its blocks cannot be wiped
    bool isCLibrary = false;           // the C library's own allocator
    const char *file = nullptr;        // where it lives
};

enum State : int { kUnknown, kFinding, kKnown };
std::atomic<int> state{kUnknown};
Allocator inUse;

// A table of an object's dynamic section, which names it by its address.
template <typename Entry> const Entry *table(ElfW(Addr) address)
{
    return reinterpret_cast<const Entry *>(address); // NOLINT(performance-no-int-to-ptr)
}

// The version under which `object` defines `symbol` (the C library and its
// debugging allocator define theirs only under one), or none, from the
// object's own version tables.
const char *versionOf(const link_map *object, const ElfW(Sym) * symbol)
{
    const ElfW(Sym) *symbols = nullptr;
    const ElfW(Versym) *versions = nullptr;
    const char *definitions = nullptr;
    const char *names = nullptr;
    for (const ElfW(Dyn) *entry = object->l_ld; entry->d_tag != DT_NULL; ++entry) {
        // The dynamic linker relocates these addresses in place on most
        // systems and leaves them relative to the object on a few.
        const ElfW(Addr) address =
            entry->d_un.d_ptr < object->l_addr ? object->l_addr + entry->d_un.d_ptr : entry->d_un.d_ptr;
        if (entry->d_tag == DT_SYMTAB)
            symbols = table<ElfW(Sym)>(address);
        else if (entry->d_tag == DT_VERSYM)
            versions = table<ElfW(Versym)>(address);
        else if (entry->d_tag == DT_VERDEF)
            definitions = table<char>(address);
        else if (entry->d_tag == DT_STRTAB)
            names = table<char>(address);
    }
    if (!symbols || !versions || !definitions || !names)
        return nullptr;
    const int index = versions[symbol - symbols] & 0x7fff;
    for (const char *at = definitions;;) {
        const auto *definition = reinterpret_cast<const ElfW(Verdef) *>(at);
        if (definition->vd_ndx == index && !(definition->vd_flags & VER_FLG_BASE)) {
            const auto *name = reinterpret_cast<const ElfW(Verdaux) *>(at + definition->vd_aux);
            return names + name->vda_name;
        }
        if (definition->vd_next == 0)
            return nullptr;
        at += definition->vd_next;
    }
}

bool sameObject(const void *function, const void *base)
{
    Dl_info where = {};
    return function && dladdr(function, &where) && where.dli_fbase == base;
}

Allocator findAllocator()
{
    Allocator found;
    Dl_info info = {}, self = {};
    void *symbol = nullptr;
    link_map *object = nullptr;
    void *const malloc = reinterpret_cast<void *>(&::malloc);
    const bool located = dladdr1(malloc, &info, &symbol, RTLD_DL_SYMENT) && symbol &&
                         dladdr1(malloc, &info, reinterpret_cast<void **>(&object), RTLD_DL_LINKMAP) &&
                         object && dladdr(reinterpret_cast<void *>(&findAllocator), &self);
    void *const handle = located && info.dli_fbase != self.dli_fbase
                             ? dlopen(info.dli_fname, RTLD_NOLOAD | RTLD_LAZY)
                             : nullptr;
    if (handle) {
        const char *version = versionOf(object, static_cast<const ElfW(Sym) *>(symbol));
        const auto own = [&](const char *name) -> void * {
            void *function = version ? dlvsym(handle, name, version) : dlsym(handle, name);
            return sameObject(function, info.dli_fbase) ? function : nullptr;
        };
        found.free = reinterpret_cast<FreeFunction>(own("free"));
        found.realloc = reinterpret_cast<ReallocFunction>(own("realloc"));
        found.usableSize = reinterpret_cast<SizeFunction>(own("malloc_usable_size"));
        found.isCLibrary = sameObject(reinterpret_cast<void *>(&gnu_get_libc_version), info.dli_fbase);
        found.file = info.dli_fname;
    }
    // Whatever cannot be found beside the malloc() in use: the next
    // definition, and no wiping.
    if (!found.free || !found.realloc) {
        found.free = reinterpret_cast<FreeFunction>(dlsym(RTLD_NEXT, "free"));
        found.realloc = reinterpret_cast<ReallocFunction>(dlsym(RTLD_NEXT, "realloc"));
        found.usableSize = nullptr;
        found.isCLibrary = false;
    }
    return found;
}

// Found on the first call, on whichever thread makes it; blocks freed while
// the dynamic linker answers that first call have nowhere known to go and
// are left allocated (a few bytes, once).
const Allocator *allocator()
{
    int now = state.load(std::memory_order_acquire);
    if (now == kKnown)
        return &inUse;
    thread_local bool finding = false;
    if (finding)
        return nullptr;
    finding = true;
    const Allocator found = findAllocator();
    finding = false;
    if (state.compare_exchange_strong(now, kFinding, std::memory_order_acq_rel)) {
        inUse = found;
        state.store(kKnown, std::memory_order_release);
    } else {
        while (state.load(std::memory_order_acquire) != kKnown) {
        }
    }
    return &inUse;
}

// A large block of the C library's has pages of its own, mapped for it
// alone: freeing it hands them back to the system, which clears them before
// anyone gets them again, and growing it moves the pages themselves
// (mremap) without a copy. So it needs no wiping, and the pages it never
// touched are never touched.
bool hasPagesOfItsOwn(const Allocator &allocator, void *block)
{
    constexpr std::size_t kMapped = 2; // the C library's mark in the size word before the block
    return allocator.isCLibrary && (static_cast<const std::size_t *>(block)[-1] & kMapped) != 0;
}

// Blocks from this size on get pages of their own from the C library. Fixed,
// as it would otherwise raise it after each large block freed and keep the
// next ones among the small, where growing them means copying.
constexpr int kOwnPagesFrom = 256 * 1024;

// Overwrites the block. The whole pages of a large one are handed back to
// the system instead, which gives zeroed pages when they are touched again,
// and pages never touched stay untouched; should they not read as zero
// afterwards (memory shared with another mapping), they are overwritten too.
void wipe(const Allocator &allocator, void *block)
{
    if (hasPagesOfItsOwn(allocator, block))
        return;
    const std::size_t size = allocator.usableSize(block);
    auto *const bytes = static_cast<unsigned char *>(block);
    if (size >= std::size_t(kOwnPagesFrom)) {
        const auto page = std::size_t(::sysconf(_SC_PAGESIZE));
        unsigned char *const start = bytes + (page - reinterpret_cast<std::uintptr_t>(bytes) % page) % page;
        unsigned char *const end = bytes + size - reinterpret_cast<std::uintptr_t>(bytes + size) % page;
        if (end > start && ::madvise(start, std::size_t(end - start), MADV_DONTNEED) == 0 &&
            sodium_is_zero(start, page)) {
            sodium_memzero(bytes, std::size_t(start - bytes));
            sodium_memzero(end, std::size_t(bytes + size - end));
            return;
        }
    }
    sodium_memzero(bytes, size);
}

void *allocate(std::size_t size)
{
    for (;;) {
        if (void *block = std::malloc(size ? size : 1))
            return block;
        const std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

void *allocate(std::size_t size, std::align_val_t alignment)
{
    const std::size_t align = std::max(std::size_t(alignment), sizeof(void *));
    for (;;) {
        void *block = nullptr;
        if (::posix_memalign(&block, align, size ? size : 1) == 0)
            return block;
        const std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

template <typename... Alignment> void *allocateOrNull(std::size_t size, Alignment... alignment) noexcept
{
    try {
        return allocate(size, alignment...);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

} // namespace

extern "C" {

void free(void *block)
{
    if (!block)
        return;
    const Allocator *const in = allocator();
    if (!in)
        return;
    if (in->usableSize)
        wipe(*in, block);
    in->free(block);
}

void *realloc(void *block, std::size_t size)
{
    const Allocator *const in = allocator();
    if (!in) {
        errno = ENOMEM;
        return nullptr;
    }
    if (!block)
        return std::malloc(size);
    if (!in->usableSize || hasPagesOfItsOwn(*in, block))
        return in->realloc(block, size);
    if (size == 0) {
        free(block);
        return nullptr;
    }
    // A block that is large enough, and not much too large, stays where it
    // is; a moved one is wiped where it was.
    const std::size_t usable = in->usableSize(block);
    if (size <= usable && size >= usable / 2)
        return block;
    void *moved = std::malloc(size);
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

// C++'s blocks come from the same malloc() and go back through the same
// free(): an allocator preloaded in place of the C library's brings an
// operator delete of its own, which would hand them back unwiped.
void *operator new(std::size_t size)
{
    return allocate(size);
}
void *operator new[](std::size_t size)
{
    return allocate(size);
}
void *operator new(std::size_t size, std::align_val_t alignment)
{
    return allocate(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocate(size, alignment);
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return allocateOrNull(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return allocateOrNull(size);
}
void *operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
    return allocateOrNull(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t &) noexcept
{
    return allocateOrNull(size, alignment);
}
void operator delete(void *block) noexcept
{
    free(block);
}
void operator delete[](void *block) noexcept
{
    free(block);
}
void operator delete(void *block, std::size_t) noexcept
{
    free(block);
}
void operator delete[](void *block, std::size_t) noexcept
{
    free(block);
}
void operator delete(void *block, std::align_val_t) noexcept
{
    free(block);
}
void operator delete[](void *block, std::align_val_t) noexcept
{
    free(block);
}
void operator delete(void *block, std::size_t, std::align_val_t) noexcept
{
    free(block);
}
void operator delete[](void *block, std::size_t, std::align_val_t) noexcept
{
    free(block);
}
void operator delete(void *block, const std::nothrow_t &) noexcept
{
    free(block);
}
void operator delete[](void *block, const std::nothrow_t &) noexcept
{
    free(block);
}
void operator delete(void *block, std::align_val_t, const std::nothrow_t &) noexcept
{
    free(block);
}
void operator delete[](void *block, std::align_val_t, const std::nothrow_t &) noexcept
{
    free(block);
}
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
    if (allocator()->isCLibrary)
        mallopt(M_MMAP_THRESHOLD, kOwnPagesFrom);
#endif
}

bool wipesFreedMemory()
{
#ifdef ZENTAVO_WIPING_FREE
    return allocator()->usableSize != nullptr;
#else
    return false;
#endif
}

std::string unwipedMemoryNotice()
{
#ifdef ZENTAVO_WIPING_FREE
    if (wipesFreedMemory())
        return {};
    const char *file = allocator()->file;
    return std::string("freed memory is not overwritten: the memory allocator in use (") +
           (file ? file : "not found") + ") does not tell how large its blocks are";
#else
    // A memory checker's own allocator, in a build made to look for faults.
    return {};
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
