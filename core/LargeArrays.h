#pragma once
// Arrays of millions of items (mesh lists, element tables, field values): sized once, in memory
// that the system may back with huge pages. A fresh array of that size is otherwise faulted in
// one small page at a time, which costs more than filling it (on virtual machines several times
// more), and its random access pays for many more address translations.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/task_arena.h>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vx {

// Asks the system to back the whole huge pages inside [data, data + bytes) with huge pages.
// A hint only; nothing happens where the system has no such pages.
inline void adviseHugePages(const void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t HUGE_PAGE = uintptr_t(2) << 20;
    if (bytes < HUGE_PAGE) return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(HUGE_PAGE - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Has the system supply the pages of [data, data + bytes) now, by all threads at once a few
// megabytes each: supplying pages costs more than writing them, and a thread that asks for many
// in one call waits less than one that faults them in one by one. Only tasks of its own run
// meanwhile (isolated), so callers may hold locks.
inline void supplyPages(void* data, size_t bytes) {
#if defined(__linux__)
    constexpr int POPULATE_WRITE = 23;  // MADV_POPULATE_WRITE (Linux 5.14); older kernels refuse it
    constexpr uintptr_t PAGE = 4096;
    constexpr uintptr_t STEP = uintptr_t(4) << 20;
    if (bytes < 2 * STEP) return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + PAGE - 1) & ~(PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(PAGE - 1);
    if (end <= begin) return;
    // Steps are counted, not split off a range of addresses: the system refuses a start that is
    // not on a page.
    const size_t steps = (end - begin + STEP - 1) / STEP;
    tbb::this_task_arena::isolate([&] {
        tbb::parallel_for(tbb::blocked_range<size_t>(0, steps), [&](const tbb::blocked_range<size_t>& r) {
            const uintptr_t from = begin + r.begin() * STEP;
            const uintptr_t to = std::min(end, begin + r.end() * STEP);
            madvise(reinterpret_cast<void*>(from), to - from, POPULATE_WRITE);
        });
    });
#else
    (void)data;
    (void)bytes;
#endif
}

// Blocks from a megabyte up are taken in whole huge pages: aligned to one and rounded up to a
// multiple of its size, and advised as a whole. Otherwise up to a huge page at either end of
// the block stays in small pages, each faulted in on its own.
constexpr size_t HUGE_PAGE_BYTES = size_t(2) << 20;
constexpr size_t WHOLE_HUGE_PAGES_FROM = size_t(1) << 20;

inline bool takesWholeHugePages(size_t bytes) {
#if defined(__linux__)
    return bytes >= WHOLE_HUGE_PAGES_FROM;
#else
    (void)bytes;
    return false;
#endif
}

inline void* allocateLarge(size_t bytes) {
    if (!takesWholeHugePages(bytes)) return ::operator new(bytes);
    if (bytes > SIZE_MAX - HUGE_PAGE_BYTES) throw std::bad_alloc();
    const size_t rounded = (bytes + HUGE_PAGE_BYTES - 1) & ~(HUGE_PAGE_BYTES - 1);
    void* block = ::operator new(rounded, std::align_val_t(HUGE_PAGE_BYTES));
    adviseHugePages(block, rounded);
    return block;
}

inline void deallocateLarge(void* block, size_t bytes) noexcept {
    if (takesWholeHugePages(bytes))
        ::operator delete(block, std::align_val_t(HUGE_PAGE_BYTES));
    else
        ::operator delete(block);
}

// An allocator whose vectors leave new items of plain types unwritten on resize: for arrays that
// are filled right after, by several tasks, so that fresh memory is first touched (and supplied
// by the system) in parallel rather than by one thread clearing it. Large blocks are taken in
// whole huge pages, as above.
template <typename T>
struct UnsetAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UnsetAllocator<U>;
    };
    UnsetAllocator() noexcept = default;
    template <typename U>
    UnsetAllocator(const UnsetAllocator<U>&) noexcept {}
    T* allocate(size_t n) {
        if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(allocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept { deallocateLarge(p, n * sizeof(T)); }
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

template <typename T>
using UnsetVector = std::vector<T, UnsetAllocator<T>>;

// Resizes to n items; storage that has to grow is taken once, at the full size, and advised as
// above before anything is written to it. Throws like std::vector::resize.
template <typename T, typename A>
void resizeLarge(std::vector<T, A>& v, size_t n) {
    if (n > v.capacity()) {
        v.reserve(n);
        adviseHugePages(v.data(), n * sizeof(T));
        supplyPages(v.data(), n * sizeof(T));
    }
    v.resize(n);
}

// n copies of value, in storage taken once and advised as above before it is filled.
template <typename T>
std::vector<T> filledLarge(size_t n, const T& value) {
    std::vector<T> v;
    if (n > v.max_size()) return std::vector<T>(n, value);  // fails as a plain vector of that size would
    v.reserve(n);
    adviseHugePages(v.data(), n * sizeof(T));
    supplyPages(v.data(), n * sizeof(T));
    v.assign(n, value);
    return v;
}

// resizeLarge for a size that a file announced: an impossible size is a failed read (false),
// not an exception.
template <typename T, typename A>
bool resizeSafely(std::vector<T, A>& v, size_t n) {
    try {
        resizeLarge(v, n);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return false;
}

}  // namespace vx
