#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/FacesData.h"
#include "vxp/VXPApi.h"

// One face of one cell: the face's index in the mesh's face list, and whether the cell owns
// it (the face normal points out of its owner and into its neighbour).
struct CellFace {
    int face = 0;
    bool owner = true;
};

using CellFaceList = std::vector<CellFace>;

// One cell during conversion: takes its faces, recognises its shape and produces the element's
// node list, or the tables of a general polyhedron. An object is reused from cell to cell, so
// that its lists keep their storage.
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

    // Recognises the cell, writes its code to *type and fills elementNodes: the element's nodes
    // in its order, or for a general polyhedron its sorted distinct nodes (its faces then come
    // from buildElementPolyTables). A cell that matches a shape but cannot be ordered into a
    // valid element of it becomes a polyhedron. Returns false only when the cell cannot be
    // represented: more than MAX_COUNT faces (elementNodes is then left empty) or more than
    // MAX_COUNT distinct nodes (elementNodes then holds them).
    bool buildElementData(const FacesData& faces, VXPElementType* type);
    // The same for the faces given instead of cellFaces().
    bool buildElementData(const CellFace* cellFaces, size_t faceCount, const FacesData& faces, VXPElementType* type);

    // The polyhedron's faces in cell-face order, each oriented outward (a face the cell
    // neighbours is read backwards): its node count to faceNodeCounts[i] and its nodes to
    // faceConnectivity, face after face. Returns the number of node references written.
    size_t buildElementPolyTables(const FacesData& faces, uint8_t* faceNodeCounts, int* faceConnectivity) const;
    static size_t buildElementPolyTables(const CellFace* cellFaces, size_t faceCount, const FacesData& faces,
                                         uint8_t* faceNodeCounts, int* faceConnectivity);

private:
    bool buildHexahedron(const CellFace* cellFaces, const FacesData& faces);

    CellFaceList m_cellFaces;
    std::vector<int> m_elementNodes;
};
