#pragma once
// Items grouped by a key, each group listing its values in the order the items came: counted
// per key, placed by prefix sums and filled in item order, by two tasks over the two halves of
// the items. Entries of the first half precede those of the second in every group, so the
// order does not depend on which task runs first. (The cells' faces of a mesh, the elements
// around each node.)
#include <cstddef>
#include <cstdint>
#include <vector>

#include <tbb/parallel_invoke.h>

#include "core/LargeArrays.h"

namespace vx {

// forEachEntry(half, take), half 0 or 1, calls take(key, value) for every entry of that half of
// the items, in item order, with key < keyCount. Afterwards the values of key k are
// values[starts[k]] ... values[starts[k + 1] - 1]. The number of entries must fit 32 bits.
template <typename ForEachEntry>
void groupInOrder(size_t keyCount, const ForEachEntry& forEachEntry, UnsetVector<uint32_t>& starts,
                  UnsetVector<uint32_t>& values) {
    // first[k]: the key's entries from the first half; starts[k + 1]: from the second.
    UnsetVector<uint32_t> first;
    first.assign(keyCount, 0);
    starts.assign(keyCount + 1, 0);
    tbb::parallel_invoke([&] { forEachEntry(0, [&](size_t k, uint32_t) { ++first[k]; }); },
                         [&] { forEachEntry(1, [&](size_t k, uint32_t) { ++starts[k + 1]; }); });

    // Where each key's entries go: the first half's from the key's beginning, the second's
    // behind them. Filling moves both on; the second half ends each key where the next one
    // begins, which leaves starts[k] as the beginning of key k.
    uint32_t total = 0;
    for (size_t k = 0; k < keyCount; ++k) {
        const uint32_t fromFirst = first[k], fromSecond = starts[k + 1];
        first[k] = total;
        starts[k + 1] = total + fromFirst;
        total += fromFirst + fromSecond;
    }
    resizeLarge(values, total);
    uint32_t* out = values.data();
    tbb::parallel_invoke([&] { forEachEntry(0, [&](size_t k, uint32_t v) { out[first[k]++] = v; }); },
                         [&] { forEachEntry(1, [&](size_t k, uint32_t v) { out[starts[k + 1]++] = v; }); });
}

}  // namespace vx
