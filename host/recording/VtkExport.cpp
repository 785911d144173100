#include "host/recording/VtkExport.h"

#include <limits>

#include "host/recording/ElementLayout.h"
#include "host/recording/Statistics.h"

namespace vxphost {

uint8_t vtkCellType(VXPElementType type) {
    switch (type) {
        case VXP_TRIANGLE: return vtk::TRIANGLE;
        case VXP_QUADRILATERAL: return vtk::QUAD;
        case VXP_TETRAHEDRON: return vtk::TETRA;
        case VXP_HEXAHEDRON: return vtk::HEXAHEDRON;
        case VXP_PENTAHEDRON: return vtk::WEDGE;
        case VXP_PYRAMID: return vtk::PYRAMID;
        case VXP_POLYGON_OR_POLYHEDRON: return 0;
    }
    return 0;
}

const std::vector<int>& vtkNodeOrder(VXPElementType type) {
    static const std::vector<int> none;
    static const std::vector<int> triangle{0, 1, 2};
    static const std::vector<int> quad{0, 1, 2, 3};
    static const std::vector<int> tetra{0, 1, 2, 3};
    static const std::vector<int> hexahedron{0, 1, 2, 3, 4, 5, 6, 7};
    static const std::vector<int> wedge{0, 2, 1, 3, 5, 4};
    static const std::vector<int> pyramid{0, 1, 2, 3, 4};
    switch (type) {
        case VXP_TRIANGLE: return triangle;
        case VXP_QUADRILATERAL: return quad;
        case VXP_TETRAHEDRON: return tetra;
        case VXP_HEXAHEDRON: return hexahedron;
        case VXP_PENTAHEDRON: return wedge;
        case VXP_PYRAMID: return pyramid;
        case VXP_POLYGON_OR_POLYHEDRON: return none;
    }
    return none;
}

namespace {

class CellBuilder {
public:
    CellBuilder(const RecordingElementGroup& group, const ElementLayout& layout) : m_group(group), m_layout(layout) {}

    VtkCells build() {
        for (size_t e = 0; e < m_group.elementCount(); ++e) addElement(e);
        if (!m_hasPolyhedra) m_cells.faceOffsets.clear();
        return std::move(m_cells);
    }

private:
    void addElement(size_t e) {
        const int row = m_layout.polyhedronRow[e];
        if (row < 0) {
            addFixedElement(e);
        } else if (faceCount(row) == 1) {
            addPolygon(row);
        } else {
            addPolyhedron(e, row);
        }
        m_cells.offsets.push_back(static_cast<int64_t>(m_cells.connectivity.size()));
    }

    size_t faceCount(int row) const {
        return m_layout.faceStart[static_cast<size_t>(row) + 1] - m_layout.faceStart[static_cast<size_t>(row)];
    }

    void addFixedElement(size_t e) {
        const VXPElementType type = m_group.types()[e];
        const int* nodes = &m_group.connectivity()[m_layout.nodeStart[e]];
        for (int position : vtkNodeOrder(type)) m_cells.connectivity.push_back(nodes[position]);
        m_cells.types.push_back(vtkCellType(type));
        m_cells.faceOffsets.push_back(-1);
    }

    void addPolygon(int row) {
        const size_t face = m_layout.faceStart[static_cast<size_t>(row)];
        for (size_t n = m_layout.faceNodeStart[face]; n < m_layout.faceNodeStart[face + 1]; ++n) {
            m_cells.connectivity.push_back(m_group.faceNodes()[n]);
        }
        m_cells.types.push_back(vtk::POLYGON);
        m_cells.faceOffsets.push_back(-1);
    }

    void addPolyhedron(size_t e, int row) {
        for (size_t n = m_layout.nodeStart[e]; n < m_layout.nodeStart[e + 1]; ++n) {
            m_cells.connectivity.push_back(m_group.connectivity()[n]);
        }
        const size_t firstFace = m_layout.faceStart[static_cast<size_t>(row)];
        const size_t endFace = m_layout.faceStart[static_cast<size_t>(row) + 1];
        m_cells.faces.push_back(static_cast<int64_t>(endFace - firstFace));
        for (size_t face = firstFace; face < endFace; ++face) {
            const size_t begin = m_layout.faceNodeStart[face];
            const size_t end = m_layout.faceNodeStart[face + 1];
            m_cells.faces.push_back(static_cast<int64_t>(end - begin));
            for (size_t n = begin; n < end; ++n) m_cells.faces.push_back(m_group.faceNodes()[n]);
        }
        m_cells.types.push_back(vtk::POLYHEDRON);
        m_cells.faceOffsets.push_back(static_cast<int64_t>(m_cells.faces.size()));
        m_hasPolyhedra = true;
    }

    const RecordingElementGroup& m_group;
    const ElementLayout& m_layout;
    VtkCells m_cells;
    bool m_hasPolyhedra = false;
};

std::vector<int32_t> asInt32(const std::vector<int>& values) {
    return std::vector<int32_t>(values.begin(), values.end());
}

std::vector<double> withUndefinedAsNaN(const std::vector<double>& values) {
    std::vector<double> converted(values);
    for (double& value : converted) {
        if (value == UNDEFINED_VALUE) value = std::numeric_limits<double>::quiet_NaN();
    }
    return converted;
}

bool indicesBelow(const std::vector<int64_t>& indices, size_t pointCount) {
    for (int64_t index : indices) {
        if (index < 0 || static_cast<uint64_t>(index) >= pointCount) return false;
    }
    return true;
}

// Every point index of the cells, face streams included, names an existing point.
bool allNodesExist(const VtkCells& cells, size_t pointCount) {
    if (!indicesBelow(cells.connectivity, pointCount)) return false;
    size_t position = 0;
    while (position < cells.faces.size()) {
        const int64_t faceCount = cells.faces[position++];
        for (int64_t f = 0; f < faceCount && position < cells.faces.size(); ++f) {
            const int64_t nodes = cells.faces[position++];
            for (int64_t n = 0; n < nodes && position < cells.faces.size(); ++n, ++position) {
                const int64_t index = cells.faces[position];
                if (index < 0 || static_cast<uint64_t>(index) >= pointCount) return false;
            }
        }
    }
    return true;
}

std::string countMismatch(const char* what, size_t expected, size_t tuples) {
    return std::string(what) + ": " + std::to_string(tuples) + " tuples for " + std::to_string(expected);
}

}  // namespace

VtkCells convertElementGroup(const RecordingElementGroup& group, std::vector<std::string>* problems) {
    const ElementLayout layout = layoutElements(group);
    if (!layout.complete()) {
        if (problems) problems->insert(problems->end(), layout.problems.begin(), layout.problems.end());
        return VtkCells();
    }
    return CellBuilder(group, layout).build();
}

VtkPiece buildGeometryPiece(const RecordingGeometry& geometry, size_t groupIndex, std::vector<std::string>* problems) {
    const RecordingElementGroup& group = geometry.elementGroup(groupIndex);
    VtkPiece piece;
    piece.cells = convertElementGroup(group, problems);
    if (const RecordingNodeGroup* nodes = geometry.nodeGroupOf(group)) {
        piece.points = nodes->coordinates();
        if (nodes->nodeIds().size() == nodes->nodeCount() && !nodes->nodeIds().empty()) {
            piece.pointIntData.push_back({"NodeId", asInt32(nodes->nodeIds())});
        }
    } else if (problems) {
        problems->push_back("node group " + std::to_string(group.nodeGroupIndex()) + " does not exist");
    }
    if (!allNodesExist(piece.cells, piece.pointCount())) {
        // A viewer would read outside the point list, so the piece keeps its points only.
        if (problems) problems->push_back("cells refer to points that do not exist");
        piece.cells = VtkCells();
    }
    const size_t cells = piece.cells.count();
    if (cells > 0 && group.elementIds().size() == cells) {
        piece.cellIntData.push_back({"ElementId", asInt32(group.elementIds())});
    }
    if (cells > 0 && group.hasPartIds() && group.partIds().size() == cells) {
        piece.cellIntData.push_back({"PartId", asInt32(group.partIds())});
    }
    return piece;
}

std::string addResultArray(VtkPiece& piece, const std::string& name, bool elementResult,
                           const RecordingResultValueGroup& values) {
    const size_t expected = elementResult ? piece.cells.count() : piece.pointCount();
    if (values.tuples() != expected || values.components() <= 0) {
        return countMismatch(elementResult ? "cells" : "points", expected, values.tuples());
    }
    VtkDataArray array{name, values.components(), withUndefinedAsNaN(values.values())};
    (elementResult ? piece.cellData : piece.pointData).push_back(std::move(array));
    return std::string();
}

std::string applyDisplacedPositions(VtkPiece& piece, const RecordingResultValueGroup& positions) {
    if (positions.components() != 3 || positions.tuples() != piece.pointCount()) {
        return countMismatch("displaced points", piece.pointCount(), positions.tuples());
    }
    const std::vector<double>& values = positions.values();
    for (size_t p = 0; p < piece.pointCount(); ++p) {
        if (isUndefinedTuple(&values[3 * p], 3)) continue;
        for (size_t axis = 0; axis < 3; ++axis) piece.points[3 * p + axis] = values[3 * p + axis];
    }
    return std::string();
}

}  // namespace vxphost
