#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/LargeArrays.h"
#include "mesh/OFCell.h"
#include "mesh/OFPolymesh.h"
#include "vxp/VXPApi.h"

// Converts one part's polyMesh into the host's volume mesh: one node group with every point
// and one element group with one typed element per cell, general polyhedra described by
// their outward-oriented faces.
//
// The cells' faces are listed once for all cells (counted per cell, offsets by prefix sums,
// filled in face order). The element tables are then sized from the face counts alone, and
// every element is written once, in place, into the tables handed to the host; the cells are
// worked on in chunks of consecutive cells on the task pool.
//
// Use: construct on the mesh; draw anything else needed from the mesh (its faces, owners and
// neighbours are released by createMesh); createMesh(); populateElementGroup();
// populateNodeGroup(); move out connectivities() and nodesCountPerElt().
class OFPolymeshToVXP {
public:
    static constexpr int CHUNK_COUNT = 8;
    // Cells per chunk of the conversion passes (the remainder goes to the last chunk).
    static constexpr int CHUNK_CELLS = 4096;

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
    // Both of the above at once (the host copies the two groups concurrently); false, with
    // neither group touched, when there are no elements.
    bool populateNodeAndElementGroup(VXPNodeGroup* nodes, VXPElementGroup* elements, size_t* nodeCount,
                                     size_t* elementCount);

    // Node indices of all elements, element after element, and each element's node count;
    // for moving out.
    vx::UnsetVector<int>& connectivities() { return m_connectivities; }
    vx::UnsetVector<uint8_t>& nodesCountPerElt() { return m_nodesCountPerElt; }

    // Conversion stages, in the order createMesh runs them.
    // Sizes of chunkCount chunks: cellCount / chunkCount each, the remainder in the last one.
    static std::vector<int> createCellsChunks(int cellCount, int chunkCount = CHUNK_COUNT);
    // Lists the faces of every cell: in face order, an owner entry and, for an internal face,
    // a neighbour entry. Releases the mesh's owner and neighbour lists.
    void assignCellFaces();
    // The faces of cell `cell` into the given cell object.
    void loadCell(int cell, OFCell* target) const;
    // Each cell's element type and node count, and where each chunk's elements start; sizes the
    // connectivity. From the face counts (exact for every cell whose faces close, as a cell's
    // must), or with `exact` by recognising every cell. False after logging the error of the
    // first cell that cannot be converted or of a connectivity beyond int offsets.
    bool buildVXPMeshData(bool exact);
    // Sizes the polyhedron tables for the polyhedra buildVXPMeshData counted.
    void BuildVXPMeshForPolys();
    // Recognises and orders every cell and writes its element, and its polyhedron tables, in
    // place. False when a cell did not come out as sized (nothing is then reliable).
    bool buildElementData();

private:
    struct ChunkStart {
        int64_t cell = 0;
        int64_t connectivity = 0;
        int64_t poly = 0;
        int64_t polyFace = 0;
        int64_t polyConnectivity = 0;
    };
    void reportCellTooLarge(int cell) const;
    void discardResults();

    OFPolymesh* m_mesh;
    vx::UnsetVector<uint32_t> m_cellFaceStarts;  // per cell its first entry in m_cellFaces; one more at the end
    vx::UnsetVector<uint32_t> m_cellFaces;   // face index, with NEIGHBOUR_ENTRY set where the cell is the neighbour
    std::vector<ChunkStart> m_chunkStarts;   // per chunk, and one more holding the totals
    vx::UnsetVector<VXPElementType> m_elementTypes;  // written for every cell by the sizing pass
    vx::UnsetVector<int> m_connectivities;  // left unwritten until the parallel fill
    vx::UnsetVector<int> m_elementIds;
    vx::UnsetVector<uint8_t> m_nodesCountPerElt;
    std::vector<uint8_t> m_polyNodeCounts;
    std::vector<uint8_t> m_polyFaceCounts;
    std::vector<uint8_t> m_polyFaceNodeCounts;
    std::vector<int> m_polyFaceConnectivity;
};

// Exclusive prefix sum: out[0] = start, out[i] = out[i-1] + counts[i-1]; returns start plus the
// sum of all n counts. Writes nothing for n = 0.
int vx_exclusive_partial_sum(const unsigned char* counts, size_t n, int start, int* out);
