// Node averages of cell results, over the element connectivity the geometry left in the part.
#include <algorithm>
#include <unordered_map>
#include <vector>

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
bool accumulateCells(const std::vector<int>& connectivity, const std::vector<unsigned char>& nodesPerElement,
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
    std::unordered_map<int, size_t> meshToLocal;
    meshToLocal.reserve(localToMesh.size());
    for (size_t i = 0; i < localToMesh.size(); ++i) meshToLocal.emplace(localToMesh[i], i);
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
            const auto local = meshToLocal.find(faceNodes[at]);
            if (local == meshToLocal.end()) {
                ok = false;
                continue;
            }
            accumulate(patchNodeValues, counts, local->second, faceValues.data() + f * m, m);
        }
    }
    divideByCounts(patchNodeValues, counts, m);
    return ok;
}

bool OFPart::computeAverageNodeResult(const std::vector<double>& cellValues, std::vector<double>& nodeValues,
                                      int components) const {
    if (components <= 0) return false;
    const size_t m = static_cast<size_t>(components);
    std::vector<int> counts(nodeValues.size() / m, 0);
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
    std::vector<int> counts(nodeCount, 0);
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
                const size_t node = static_cast<size_t>(faceNodes[at]);
                if (!accumulate(nodeValues, counts, node, values.data() + f * m, m)) {
                    ok = false;
                    continue;
                }
                marked[node] = 1;
            }
        }
    }
    ok = accumulateCells(m_connectivities, m_nodesCountPerElt, cellValues, nodeValues, counts, m, &marked) && ok;
    divideByCounts(nodeValues, counts, m);
    return ok;
}
