#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include <tbb/cache_aligned_allocator.h>
#include <tbb/concurrent_vector.h>

#include "io/FacesData.h"
#include "vxp/VXPApi.h"

// One face of one cell: the face's index in the mesh's face list, and whether the cell owns
// it (the face normal points out of its owner and into its neighbour).
struct CellFace {
    int face = 0;
    bool owner = true;
};

// One general polyhedron: its faces, each oriented so that its normal points out of the cell.
// Moved, never copied.
struct PolyData {
    int cellIndex = 0;               // index in the current chunk's cell vector
    int faceCount = 0;
    uint64_t connectivitySize = 0;   // node references over all faces
    std::vector<uint8_t> nodeCountPerFace;
    std::vector<int> faceConnectivity;  // face after face, outward-oriented

    PolyData() = default;
    PolyData(PolyData&&) noexcept = default;
    PolyData& operator=(PolyData&&) noexcept = default;
    PolyData(const PolyData&) = delete;
    PolyData& operator=(const PolyData&) = delete;
};

using CellFaceList = tbb::concurrent_vector<CellFace, tbb::cache_aligned_allocator<CellFace>>;
using PolyDataList = tbb::concurrent_vector<PolyData, tbb::cache_aligned_allocator<PolyData>>;

// One cell during conversion: collects its faces (possibly from several threads at once),
// recognises its shape and produces the element's node list or its polyhedron tables.
class OFCell {
public:
    // Face and node counts of an element or polyhedron are stored in one unsigned byte.
    static constexpr size_t MAX_COUNT = 255;

    OFCell();

    CellFaceList& cellFaces() { return m_cellFaces; }
    const CellFaceList& cellFaces() const { return m_cellFaces; }
    std::vector<int>& elementNodes() { return m_elementNodes; }
    const std::vector<int>& elementNodes() const { return m_elementNodes; }

    // Empties both lists; their storage is kept for reuse.
    void clear();

    // Shape tests on the number of distinct nodes and the node count of each face.
    static bool isTetrahedron(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount);
    static bool isPyramid(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount);
    static bool isPentahedron(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount);
    static bool isHexahedron(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount);
    // 8, 15, 12 or 10 for the first shape that matches (in that order), otherwise 17.
    static VXPElementType typeFromFaces(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount);
    static VXPElementType typeFromFaces(size_t nodeCount, const std::vector<uint8_t>& faceNodeCounts) {
        return typeFromFaces(nodeCount, faceNodeCounts.data(), faceNodeCounts.size());
    }

    // Node orderings. `nodes` already has the element's node count as its length and is
    // overwritten; each returns true when every position was filled.
    static bool orderTetrahedronNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes);
    static bool orderPyramidNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes);
    static bool orderPentahedronNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes);
    static bool orderHexahedronNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes);
    // Dispatches on codes 8, 15, 12 and 10; false for any other code.
    static bool orderElementNodes(VXPElementType type, const CellFaceList& cellFaces, const FacesData& faces,
                                  std::vector<int>* nodes);

    // Recognises the cell, writes its code to types[cellIndex] and either orders elementNodes
    // or appends a PolyData to polys (elementNodes then keeps the sorted distinct nodes).
    // A cell that matches a shape but cannot be ordered into a valid element of it becomes a
    // polyhedron. Returns false only when the cell cannot be represented: more than
    // MAX_COUNT faces (elementNodes is then left empty) or more than MAX_COUNT distinct nodes
    // (elementNodes then holds them).
    bool buildElementData(int cellIndex, VXPElementType* types, PolyDataList* polys, const FacesData* faces);

    // Appends the cell's PolyData to polys; takes over faceNodeCounts. Returns true.
    bool buildElementPolyTables(int cellIndex, const FacesData* faces, std::vector<uint8_t>* faceNodeCounts,
                                PolyDataList* polys);

private:
    CellFaceList m_cellFaces;
    std::vector<int> m_elementNodes;
};
