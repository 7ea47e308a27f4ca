#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
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
    friend bool operator==(const PixelAllocator&, const PixelAllocator&) { return true; }
};

using PixelStore = std::vector<std::uint8_t, PixelAllocator<std::uint8_t>>;

} // namespace tintora
