#pragma once

#include <cstddef>
#include <new>
#include <sodium.h>

namespace zentavo {

// An allocator that overwrites memory before giving it back, so passwords do
// not linger in freed memory when a buffer grows or is released.
template <typename T> struct WipingAllocator
{
    using value_type = T;

    WipingAllocator() = default;
    template <typename U> WipingAllocator(const WipingAllocator<U> &) noexcept {}

    T *allocate(std::size_t n) { return static_cast<T *>(::operator new(n * sizeof(T))); }
    void deallocate(T *p, std::size_t n) noexcept
    {
        sodium_memzero(p, n * sizeof(T));
        ::operator delete(p);
    }

    template <typename U> bool operator==(const WipingAllocator<U> &) const noexcept { return true; }
};

} // namespace zentavo
