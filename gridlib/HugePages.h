#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

// Allocator for the per-cell tables of large maps: the search reads three
// rows of two such tables per expansion, each row on its own 4 KiB page at
// 2048 columns, so with ordinary pages many reads wait on a page walk (about
// a tenth of the search time at 2048 x 2048). Tables of 2 MiB and more are
// placed on 2 MiB boundaries and offered to the kernel as huge pages (a hint;
// without them nothing changes but the speed).
template <class T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr std::size_t kHugePage = std::size_t(2) << 20;

    HugePageAllocator() = default;
    template <class U>
    HugePageAllocator(const HugePageAllocator<U>&) {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kHugePage) return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = std::aligned_alloc(kHugePage, rounded);
        if (p == nullptr) throw std::bad_alloc();
        madvise(p, rounded, MADV_HUGEPAGE);
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) {
        if (n * sizeof(T) < kHugePage)
            ::operator delete(p);
        else
            std::free(p);
    }
    template <class U>
    bool operator==(const HugePageAllocator<U>&) const {
        return true;
    }
};
