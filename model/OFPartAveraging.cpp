// Node averages of cell results, over the element connectivity the geometry left in the part.
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "core/GroupedLists.h"
#include "core/LargeArrays.h"
#include "core/Undefined.h"
#include "model/OFPart.h"

namespace {

// Adds the values of one item to a node; false when the node lies outside the node values.
inline bool accumulate(std::vector<double>& nodeValues, std::vector<int>& counts, size_t node, const double* item,
                       size_t m) {
    if (node >= counts.size()) return false;
    double* target = nodeValues.data() + node * m;
    for (size_t c = 0; c < m; ++c) target[c] += item[c];
    ++counts[node];
    return true;
}

// Node references this far ahead are asked for early: a patch's nodes lie scattered over the
// node values, and each of them would otherwise wait for memory in turn.
constexpr size_t PREFETCH_DISTANCE = 32;

// Divides every node by its number of contributions; a node nobody reached is undefined.
void divideByCounts(std::vector<double>& nodeValues, const std::vector<int>& counts, size_t m) {
    for (size_t n = 0; n < counts.size(); ++n) {
        double* target = nodeValues.data() + n * m;
        if (counts[n] == 0) {
            for (size_t c = 0; c < m; ++c) target[c] = vx::UNDEFINED_DOUBLE;
            continue;
        }
        const double scale = 1.0 / counts[n];
        for (size_t c = 0; c < m; ++c) target[c] *= scale;
    }
}

// Adds each element's values to its nodes, skipping marked nodes when a mark list is given.
bool accumulateCells(const vx::UnsetVector<int>& connectivity, const vx::UnsetVector<uint8_t>& nodesPerElement,
                     const std::vector<double>& cellValues, std::vector<double>& nodeValues, std::vector<int>& counts,
                     size_t m, const std::vector<char>* marked) {
    size_t at = 0;
    for (size_t e = 0; e < nodesPerElement.size(); ++e) {
        if ((e + 1) * m > cellValues.size() || at + nodesPerElement[e] > connectivity.size()) return false;
        const double* item = cellValues.data() + e * m;
        for (size_t k = 0; k < nodesPerElement[e]; ++k, ++at) {
            const size_t node = static_cast<size_t>(connectivity[at]);
            if (marked && node < marked->size() && (*marked)[node]) continue;
            if (!accumulate(nodeValues, counts, node, item, m)) return false;
        }
    }
    return true;
}

// Patches that carry no boundary condition of their own: their values are those of the cells
// next to them, and they must not pull the nodes they share with other patches.
bool takesNoPartInNodeValues(const OFBoundary& patch) {
    const vx::Str type = patch.type();
    return type == vx::Str("empty") || type == vx::Str("wedge") || type == vx::Str("symmetry") ||
           type == vx::Str("symmetryPlane");
}

}  // namespace

bool OFPart::computePatchNodeValues(const OFBoundary& patch, const std::vector<double>& faceValues,
                                    std::vector<double>& patchNodeValues, int components) {
    if (components <= 0) return false;
    const size_t m = static_cast<size_t>(components);
    const std::vector<int>& localToMesh = patch.faceNodeToNodeMapping();
    if (patchNodeValues.size() != localToMesh.size() * m) return false;
    // Each face node reference's surface node as the geometry numbered it, where it was kept and
    // agrees; otherwise found among the patch's nodes: by bisection when they are in ascending
    // mesh order (as the geometry numbers them), in any other order through a map.
    const std::vector<int>& numbered = patch.faceLocalConnectivity();
    const bool keptNumbering = numbered.size() == patch.faceConnectivity().size();
    std::unordered_map<int, size_t> meshToLocal;
    const bool ascending = std::is_sorted(localToMesh.begin(), localToMesh.end());
    if (!ascending) {
        meshToLocal.reserve(localToMesh.size());
        for (size_t i = 0; i < localToMesh.size(); ++i) meshToLocal.emplace(localToMesh[i], i);
    }
    auto localOf = [&](size_t reference, int point, size_t* local) {
        if (keptNumbering) {
            const size_t kept = static_cast<size_t>(numbered[reference]);
            if (kept < localToMesh.size() && localToMesh[kept] == point) {
                *local = kept;
                return true;
            }
        }
        if (ascending) {
            const auto it = std::lower_bound(localToMesh.begin(), localToMesh.end(), point);
            if (it == localToMesh.end() || *it != point) return false;
            *local = static_cast<size_t>(it - localToMesh.begin());
            return true;
        }
        const auto it = meshToLocal.find(point);
        if (it == meshToLocal.end()) return false;
        *local = it->second;
        return true;
    };
    std::fill(patchNodeValues.begin(), patchNodeValues.end(), 0.0);
    std::vector<int> counts(localToMesh.size(), 0);
    const std::vector<int>& faceNodes = patch.faceConnectivity();
    const std::vector<uint8_t>& faceNodeCounts = patch.nodeCountPerFace();
    size_t at = 0;
    bool ok = true;
    for (size_t f = 0; f < faceNodeCounts.size(); ++f) {
        if ((f + 1) * m > faceValues.size() || at + faceNodeCounts[f] > faceNodes.size()) {
            ok = false;
            break;
        }
        for (size_t k = 0; k < faceNodeCounts[f]; ++k, ++at) {
            size_t local = 0;
            if (!localOf(at, faceNodes[at], &local)) {
                ok = false;
                continue;
            }
            accumulate(patchNodeValues, counts, local, faceValues.data() + f * m, m);
        }
    }
    divideByCounts(patchNodeValues, counts, m);
    return ok;
}

const OFPart::NodeElements& OFPart::nodeElements(size_t nodeCount) const {
    NodeElements& lists = m_nodeElements;
    if (lists.built && lists.nodeCount == nodeCount) return lists;
    lists = NodeElements{};
    lists.built = true;
    lists.nodeCount = nodeCount;
    const size_t elementCount = m_nodesCountPerElt.size();
    const size_t references = std::accumulate(m_nodesCountPerElt.begin(), m_nodesCountPerElt.end(), size_t(0));
    if (references > m_connectivities.size() || references > UINT32_MAX) return lists;
    const size_t split = elementCount / 2;
    const size_t ranges[3] = {0, split, elementCount};
    const size_t startOfSecond =
        std::accumulate(m_nodesCountPerElt.begin(), m_nodesCountPerElt.begin() + static_cast<long>(split), size_t(0));
    bool inRange[2] = {true, true};
    vx::groupInOrder(
        nodeCount,
        [&](size_t half, auto&& take) {
            size_t at = half == 0 ? 0 : startOfSecond;
            for (size_t e = ranges[half]; e < ranges[half + 1]; ++e) {
                for (size_t k = 0; k < m_nodesCountPerElt[e]; ++k, ++at) {
                    const size_t node = static_cast<size_t>(m_connectivities[at]);
                    if (node < nodeCount)
                        take(node, static_cast<uint32_t>(e));
                    else
                        inRange[half] = false;
                }
            }
        },
        lists.starts, lists.elements);
    lists.complete = inRange[0] && inRange[1];
    return lists;
}

namespace {

// Components of the results averaged node by node (scalars, vectors, tensors as six values).
constexpr size_t MAX_GATHERED_COMPONENTS = 6;

// Node by node, the cells in element order: the sums and counts the element loop gives. M is the
// number of components when known at compile time (0 otherwise).
template <size_t M>
void averageNodes(size_t first, size_t last, const uint32_t* starts, const uint32_t* elements, const double* cellValues,
                  double* nodeValues, int* counts, size_t m, const char* skip) {
    const size_t components = M ? M : m;
    for (size_t n = first; n != last; ++n) {
        double* target = nodeValues + n * components;
        if (!skip || !skip[n]) {
            double sum[MAX_GATHERED_COMPONENTS];
            for (size_t c = 0; c < components; ++c) sum[c] = target[c];
            for (const uint32_t* e = elements + starts[n]; e != elements + starts[n + 1]; ++e) {
                const double* item = cellValues + static_cast<size_t>(*e) * components;
                for (size_t c = 0; c < components; ++c) sum[c] += item[c];
            }
            for (size_t c = 0; c < components; ++c) target[c] = sum[c];
            counts[n] += static_cast<int>(starts[n + 1] - starts[n]);
        }
        if (counts[n] == 0) {
            for (size_t c = 0; c < components; ++c) target[c] = vx::UNDEFINED_DOUBLE;
            continue;
        }
        const double scale = 1.0 / counts[n];
        for (size_t c = 0; c < components; ++c) target[c] *= scale;
    }
}

}  // namespace

void OFPart::averageCellsAtNodes(const NodeElements& lists, const std::vector<double>& cellValues,
                                 std::vector<double>& nodeValues, std::vector<int>& counts, size_t m,
                                 const std::vector<char>* skip) const {
    tbb::parallel_for(tbb::blocked_range<size_t>(0, lists.nodeCount, 8192), [&](const tbb::blocked_range<size_t>& r) {
        const auto average = m == 1 ? averageNodes<1> : m == 3 ? averageNodes<3> : m == 6 ? averageNodes<6> : averageNodes<0>;
        average(r.begin(), r.end(), lists.starts.data(), lists.elements.data(), cellValues.data(), nodeValues.data(),
                counts.data(), m, skip ? skip->data() : nullptr);
    });
}

bool OFPart::computeAverageNodeResult(const std::vector<double>& cellValues, std::vector<double>& nodeValues,
                                      int components) const {
    if (components <= 0) return false;
    const size_t m = static_cast<size_t>(components);
    std::fill(nodeValues.begin(), nodeValues.end(), 0.0);
    const size_t nodeCount = nodeValues.size() / m;
    std::vector<int> counts = vx::filledLarge(nodeCount, 0);
    if (m <= MAX_GATHERED_COMPONENTS && cellValues.size() >= m_nodesCountPerElt.size() * m) {
        const NodeElements& lists = nodeElements(nodeCount);
        if (lists.complete) {
            averageCellsAtNodes(lists, cellValues, nodeValues, counts, m, nullptr);
            return true;
        }
    }
    // Short cell values or nodes beyond the node values: element by element, up to the first
    // element that cannot be taken.
    const bool ok = accumulateCells(m_connectivities, m_nodesCountPerElt, cellValues, nodeValues, counts, m, nullptr);
    divideByCounts(nodeValues, counts, m);
    return ok;
}

bool OFPart::computeAverageNodeResultAwareBC(const std::vector<double>& cellValues,
                                             const std::vector<std::vector<double>>& boundaryValues,
                                             std::vector<double>& nodeValues, int components) const {
    if (components <= 0) return false;
    const size_t m = static_cast<size_t>(components);
    std::fill(nodeValues.begin(), nodeValues.end(), 0.0);
    const size_t nodeCount = nodeValues.size() / m;
    std::vector<int> counts = vx::filledLarge(nodeCount, 0);
    std::vector<char> marked(nodeCount, 0);
    bool ok = true;
    for (size_t b = 0; b < m_boundaries.size() && b < boundaryValues.size(); ++b) {
        const std::vector<double>& values = boundaryValues[b];
        if (values.empty() || values[0] == vx::UNDEFINED_DOUBLE) continue;
        const OFBoundary& patch = m_boundaries[b];
        if (takesNoPartInNodeValues(patch)) continue;
        const std::vector<int>& faceNodes = patch.faceConnectivity();
        const std::vector<uint8_t>& faceNodeCounts = patch.nodeCountPerFace();
        size_t at = 0;
        for (size_t f = 0; f < faceNodeCounts.size(); ++f) {
            if ((f + 1) * m > values.size() || at + faceNodeCounts[f] > faceNodes.size()) {
                ok = false;
                break;
            }
            for (size_t k = 0; k < faceNodeCounts[f]; ++k, ++at) {
#if defined(__GNUC__)
                // In the loop itself: GCC drops a call of a function that only prefetches.
                if (at + PREFETCH_DISTANCE < faceNodes.size()) {
                    const size_t ahead = static_cast<size_t>(faceNodes[at + PREFETCH_DISTANCE]);
                    if (ahead < nodeCount) {
                        __builtin_prefetch(nodeValues.data() + ahead * m);
                        __builtin_prefetch(counts.data() + ahead);
                        __builtin_prefetch(marked.data() + ahead);
                    }
                }
#endif
                const size_t node = static_cast<size_t>(faceNodes[at]);
                if (!accumulate(nodeValues, counts, node, values.data() + f * m, m)) {
                    ok = false;
                    continue;
                }
                marked[node] = 1;
            }
        }
    }
    if (m <= MAX_GATHERED_COMPONENTS && cellValues.size() >= m_nodesCountPerElt.size() * m) {
        const NodeElements& lists = nodeElements(nodeCount);
        if (lists.complete) {
            averageCellsAtNodes(lists, cellValues, nodeValues, counts, m, &marked);
            return ok;
        }
    }
    ok = accumulateCells(m_connectivities, m_nodesCountPerElt, cellValues, nodeValues, counts, m, &marked) && ok;
    divideByCounts(nodeValues, counts, m);
    return ok;
}
