#include "host/recording/ElementLayout.h"

namespace vxphost {

int fixedNodeCount(VXPElementType type) {
    switch (type) {
        case VXP_TRIANGLE: return 3;
        case VXP_QUADRILATERAL: return 4;
        case VXP_TETRAHEDRON: return 4;
        case VXP_HEXAHEDRON: return 8;
        case VXP_PENTAHEDRON: return 6;
        case VXP_PYRAMID: return 5;
        case VXP_POLYGON_OR_POLYHEDRON: return 0;
    }
    return 0;
}

namespace {

std::string mismatch(const char* what, size_t expected, size_t actual) {
    return std::string(what) + ": expected " + std::to_string(expected) + ", got " + std::to_string(actual);
}

// Fills nodeStart and polyhedronRow; stops at the first element whose size cannot be known.
void layoutNodes(const RecordingElementGroup& group, ElementLayout& layout) {
    const auto& types = group.types();
    const auto& polyNodeCounts = group.polyhedronNodeCounts();
    size_t position = 0;
    size_t polyRow = 0;
    layout.nodeStart.push_back(0);
    for (size_t e = 0; e < types.size(); ++e) {
        size_t count = static_cast<size_t>(fixedNodeCount(types[e]));
        int row = -1;
        if (types[e] == VXP_POLYGON_OR_POLYHEDRON) {
            if (polyRow >= polyNodeCounts.size()) {
                layout.problems.push_back("element " + std::to_string(e) + " of type 17 has no polyhedron row");
                return;
            }
            row = static_cast<int>(polyRow);
            count = polyNodeCounts[polyRow++];
        } else if (count == 0) {
            layout.problems.push_back("element " + std::to_string(e) + " has unknown type " +
                                      std::to_string(static_cast<int>(types[e])));
            return;
        }
        position += count;
        layout.nodeStart.push_back(position);
        layout.polyhedronRow.push_back(row);
    }
    if (position != group.connectivity().size()) {
        layout.problems.push_back(mismatch("connectivity length", position, group.connectivity().size()));
    }
    if (polyRow != polyNodeCounts.size()) {
        layout.problems.push_back(mismatch("polyhedron rows for elements of type 17", polyRow, polyNodeCounts.size()));
    }
}

void layoutFaces(const RecordingElementGroup& group, ElementLayout& layout) {
    size_t face = 0;
    layout.faceStart.push_back(0);
    for (uint8_t faces : group.polyhedronFaceCounts()) {
        face += faces;
        layout.faceStart.push_back(face);
    }
    if (face != group.faceNodeCounts().size()) {
        layout.problems.push_back(mismatch("face count", face, group.faceNodeCounts().size()));
    }
    size_t faceNode = 0;
    layout.faceNodeStart.push_back(0);
    for (uint8_t nodes : group.faceNodeCounts()) {
        faceNode += nodes;
        layout.faceNodeStart.push_back(faceNode);
    }
    if (faceNode != group.faceNodes().size()) {
        layout.problems.push_back(mismatch("face node count", faceNode, group.faceNodes().size()));
    }
}

size_t countOutOfRange(const std::vector<int>& indices, size_t nodeCount) {
    size_t bad = 0;
    for (int index : indices) {
        if (index < 0 || static_cast<size_t>(index) >= nodeCount) ++bad;
    }
    return bad;
}

}  // namespace

ElementLayout layoutElements(const RecordingElementGroup& group) {
    ElementLayout layout;
    layoutNodes(group, layout);
    layoutFaces(group, layout);
    return layout;
}

std::vector<std::string> checkElementGroup(const RecordingElementGroup& group, size_t nodeCount) {
    std::vector<std::string> problems = layoutElements(group).problems;
    if (const size_t bad = countOutOfRange(group.connectivity(), nodeCount)) {
        problems.push_back(std::to_string(bad) + " connectivity entries outside the node group");
    }
    if (const size_t bad = countOutOfRange(group.faceNodes(), nodeCount)) {
        problems.push_back(std::to_string(bad) + " face nodes outside the node group");
    }
    if (group.hasPartIds() && group.partIds().size() != group.elementCount()) {
        problems.push_back(mismatch("part id count", group.elementCount(), group.partIds().size()));
    }
    if (!group.elementIds().empty() && group.elementIds().size() != group.elementCount()) {
        problems.push_back(mismatch("element id count", group.elementCount(), group.elementIds().size()));
    }
    problems.insert(problems.end(), group.callProblems().begin(), group.callProblems().end());
    if (group.overlappingCalls() > 0) {
        problems.push_back(std::to_string(group.overlappingCalls()) + " overlapping calls from several threads");
    }
    return problems;
}

}  // namespace vxphost
