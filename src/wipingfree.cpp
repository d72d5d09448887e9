// Every block of memory this program gives back is overwritten first.
//
// Our own buffers that hold passwords are wiped where they are released; the
// libraries we hand passwords to make copies we cannot reach: the workbook
// library and its compressor keep whole sheets in buffers of their own, the C
// library's file buffers hold what was written, and Qt converts clipboard
// text on its way out. Defined in the executable, these functions stand in
// for the C library's for every library the program loads, so those copies
// are wiped too when they are freed.
//
// Left out where a memory checker brings its own allocator.

#include <cstddef> // says which C library this is

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)

#include <cerrno>
#include <cstring>
#include <malloc.h>
#include <sodium.h>

extern "C" {

void *__libc_malloc(std::size_t size);
void __libc_free(void *block);

void free(void *block)
{
    if (block)
        sodium_memzero(block, malloc_usable_size(block));
    __libc_free(block);
}

// The C library's own would release a moved block unwiped. A block that is
// large enough, and not much too large, stays where it is.
void *realloc(void *block, std::size_t size)
{
    if (!block)
        return __libc_malloc(size);
    if (size == 0) {
        free(block);
        return nullptr;
    }
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
