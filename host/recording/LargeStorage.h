#pragma once
// Storage for the large arrays the host receives (millions of coordinates, node indices, values).
// Fresh memory of that size is supplied by the system a small page at a time, and on a virtual
// machine each of those pages costs more than copying into it: the host asks for huge pages and
// has the pages supplied in one call before it copies.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vxphost {

inline void prepareLargeStorage(void* data, size_t bytes) {
#if defined(__linux__)
    constexpr uintptr_t HUGE_PAGE = uintptr_t(2) << 20;
    if (bytes < 2 * HUGE_PAGE) return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(HUGE_PAGE - 1);
    if (end <= begin) return;
#if defined(MADV_HUGEPAGE)
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
    constexpr int POPULATE_WRITE = 23;  // MADV_POPULATE_WRITE (Linux 5.14); older kernels refuse it
    madvise(reinterpret_cast<void*>(begin), end - begin, POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Makes room for count more items, in storage prepared as above when it has to grow.
template <typename T>
void reserveToAppend(std::vector<T>& target, size_t count) {
    if (count > target.max_size() - target.size()) return;  // insert reports it as a plain vector would
    const size_t needed = target.size() + count;
    if (needed <= target.capacity()) return;
    target.reserve(target.empty() ? needed : std::max(needed, 2 * target.capacity()));
    prepareLargeStorage(target.data() + target.size(), (target.capacity() - target.size()) * sizeof(T));
}

}  // namespace vxphost
