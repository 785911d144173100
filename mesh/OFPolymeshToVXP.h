#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mesh/OFCell.h"
#include "mesh/OFPolymesh.h"
#include "vxp/VXPApi.h"

// Converts one part's polyMesh into the host's volume mesh: one node group with every point
// and one element group with one typed element per cell, general polyhedra described by
// their outward-oriented faces. Cells are converted in chunks to bound the working memory.
//
// Use: construct on the mesh; draw anything else needed from the mesh (its faces are
// released by createMesh); createMesh(); populateElementGroup(); populateNodeGroup(); move
// out connectivities() and nodesCountPerElt().
class OFPolymeshToVXP {
public:
    static constexpr int CHUNK_COUNT = 8;

    explicit OFPolymeshToVXP(OFPolymesh* mesh);

    OFPolymesh* mesh() const { return m_mesh; }

    // Converts all cells. Consumes the mesh: afterwards only its points are left. Returns
    // false, after logging one error, when a cell has more faces or distinct nodes than an
    // unsigned byte counts or the connectivity outgrows int offsets; no elements are then
    // left to populate.
    bool createMesh();

    // Hands elements (and polyhedra, if any) to the host and releases the tables handed over.
    // False without touching the group when there are no elements.
    bool populateElementGroup(VXPElementGroup* group, size_t* elementCount);
    // Hands every mesh point to the host with ids 1 ... node count.
    bool populateNodeGroup(VXPNodeGroup* group, size_t* nodeCount);

    // Node indices of all elements, element after element, and each element's node count;
    // for moving out.
    std::vector<int>& connectivities() { return m_connectivities; }
    std::vector<uint8_t>& nodesCountPerElt() { return m_nodesCountPerElt; }

    // Conversion stages, in the order createMesh runs them for each chunk.
    // Sizes of the CHUNK_COUNT chunks: cellCount / 8 each, the remainder in the last one.
    static std::vector<int> createCellsChunks(int cellCount);
    void allocateCells(size_t count);
    // Appends to each cell in [first, last) the faces it owns or neighbours.
    void assignCellFaces(int first, int last);
    void assignCellFacesSeq(int first, int last);
    void assignCellFacesPar(int first, int last);
    // Types and orders the chunk's cells (cell i is cell first + i of the mesh).
    bool buildElementData(int first);
    bool buildElementDataSeq(int first);
    bool buildElementDataPar(int first);
    // Appends the chunk's element nodes to the connectivity and clears the cells.
    bool buildVXPMeshData(int first, int connectivityStart);
    // Appends the chunk's polyhedra to the polyhedron tables.
    bool BuildVXPMeshForPolys(int first, int polyStart, int faceStart, int connStart);

private:
    // Logs the byte-limit error of the cell at chunk index `index` (first + index globally).
    void reportCellTooLarge(int first, size_t index);
    void discardResults();

    OFPolymesh* m_mesh;
    std::vector<OFCell> m_cells;
    PolyDataList m_polys;
    std::vector<VXPElementType> m_elementTypes;
    std::vector<int> m_connectivities;
    std::vector<int> m_elementIds;
    std::vector<uint8_t> m_nodesCountPerElt;
    std::vector<int> m_cellOffsets;
    std::vector<uint8_t> m_polyNodeCounts;
    std::vector<uint8_t> m_polyFaceCounts;
    std::vector<uint8_t> m_polyFaceNodeCounts;
    std::vector<int> m_polyFaceConnectivity;
    std::vector<int> m_polyFaceOffsets;
    std::vector<int> m_polyConnOffsets;
};

// Exclusive prefix sum: out[0] = start, out[i] = out[i-1] + counts[i-1]; returns start plus the
// sum of all n counts. Writes nothing for n = 0.
int vx_exclusive_partial_sum(const unsigned char* counts, size_t n, int start, int* out);
