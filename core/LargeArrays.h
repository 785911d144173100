#pragma once
// Arrays of millions of items (mesh lists, element tables, field values): sized once, in memory
// that the system may back with huge pages. A fresh array of that size is otherwise faulted in
// one small page at a time, which costs more than filling it, and its random access pays for
// many more address translations.
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vx {

// Asks the system to back the whole huge pages inside [data, data + bytes) with huge pages.
// A hint only; nothing happens where the system has no such pages.
inline void adviseHugePages(const void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t HUGE_PAGE = uintptr_t(2) << 20;
    if (bytes < 2 * HUGE_PAGE) return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(HUGE_PAGE - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Resizes to n items; storage that has to grow is taken once, at the full size, and advised as
// above before anything is written to it. Throws like std::vector::resize.
template <typename T, typename A>
void resizeLarge(std::vector<T, A>& v, size_t n) {
    if (n > v.capacity()) {
        v.reserve(n);
        adviseHugePages(v.data(), n * sizeof(T));
    }
    v.resize(n);
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
