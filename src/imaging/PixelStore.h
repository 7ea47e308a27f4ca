#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tintora {

// Allocates pixel memory. Large pictures take whole 2 MiB pages where the host
// offers them: touching a 48 MB bitmap page by page otherwise costs more than
// decoding into it.
template <class T> struct PixelAllocator {
    using value_type = T;
    static constexpr std::size_t hugePage = std::size_t(2) << 20;

    PixelAllocator() = default;
    template <class U> PixelAllocator(const PixelAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < hugePage)
            return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        void* p = std::aligned_alloc(hugePage, rounded);
        if (!p)
            throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        ::madvise(p, rounded, MADV_HUGEPAGE);
#endif
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        if (n * sizeof(T) < hugePage)
            ::operator delete(p);
        else
            std::free(p);
    }
    // A store grown without a value leaves its new bytes as they are: a file
    // read into one is overwritten at once. Zeros are asked for (n, 0).
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const PixelAllocator&, const PixelAllocator&) { return true; }
};

using PixelStore = std::vector<std::uint8_t, PixelAllocator<std::uint8_t>>;

} // namespace tintora
