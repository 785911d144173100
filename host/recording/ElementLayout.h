#pragma once
// Decodes a recorded element group: where each element's nodes sit in the connectivity and which
// row of the polyhedron tables belongs to each element of type 17 (the k-th such element owns the
// k-th row), plus consistency checks of all tables.
#include <cstddef>
#include <string>
#include <vector>

#include "host/recording/RecordingGeometry.h"

namespace vxphost {

// Node count of a fixed-size element type; 0 for type 17 and unknown types.
int fixedNodeCount(VXPElementType type);

struct ElementLayout {
    std::vector<size_t> nodeStart;      // per element its first connectivity entry, plus the end
    std::vector<int> polyhedronRow;     // per element its polyhedron table row, -1 for fixed types
    std::vector<size_t> faceStart;      // per polyhedron row its first face, plus the end
    std::vector<size_t> faceNodeStart;  // per face its first face node, plus the end
    std::vector<std::string> problems;  // empty when every table fits the others

    bool complete() const { return problems.empty(); }
    size_t nodeCountOf(size_t element) const { return nodeStart[element + 1] - nodeStart[element]; }
};

ElementLayout layoutElements(const RecordingElementGroup& group);

// Every inconsistency of the group: its layout problems, node indices outside 0..nodeCount-1,
// part id and element id counts that differ from the element count, calls with null arrays and
// overlapping calls.
std::vector<std::string> checkElementGroup(const RecordingElementGroup& group, size_t nodeCount);

}  // namespace vxphost
