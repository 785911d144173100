#include "mesh/OFCell.h"

#include <algorithm>
#include <cassert>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace {

// One cell face: its nodes as stored in the face list, and whether the cell owns it.
struct FaceView {
    const int32_t* nodes;
    size_t count;
    bool owner;
};

FaceView faceView(const FacesData& faces, const CellFace& cellFace) {
    const size_t start = static_cast<size_t>(faces.startOffsets[cellFace.face]);
    const size_t count = faces.nodeCounts[cellFace.face];
    assert(start + count <= faces.nodeIndices.size());
    return FaceView{faces.nodeIndices.data() + start, count, cellFace.owner};
}

// The faces of a cell looked up once; the orderings go over them several times.
class FaceViews {
public:
    FaceViews(const CellFaceList& cellFaces, const FacesData& faces) : m_count(cellFaces.size()) {
        if (m_count > LOCAL) m_heap.resize(m_count);
        FaceView* views = data();
        for (size_t i = 0; i < m_count; ++i) views[i] = faceView(faces, cellFaces[i]);
    }
    const FaceView* data() const { return m_count > LOCAL ? m_heap.data() : m_local; }
    FaceView* data() { return m_count > LOCAL ? m_heap.data() : m_local; }
    size_t size() const { return m_count; }

private:
    static constexpr size_t LOCAL = 8;
    size_t m_count;
    FaceView m_local[LOCAL];
    std::vector<FaceView> m_heap;
};

bool contains(const int* first, size_t count, int node) {
    for (size_t k = 0; k < count; ++k)
        if (first[k] == node) return true;
    return false;
}

// Writes the first `count` nodes of a face to out, in file order or reversed.
void copyFace(const FaceView& f, size_t count, bool reversed, int* out) {
    if (reversed)
        std::reverse_copy(f.nodes, f.nodes + count, out);
    else
        std::copy(f.nodes, f.nodes + count, out);
}

// Node adjacency along the edges of a cell's faces. Every consecutive pair of face nodes
// (closing pair included) adds each node to the other's neighbour list; an edge shared by two
// faces therefore shows up twice. The lists are kept as one flat sequence of directed entries
// in insertion order, which gives each node's list in its insertion order when filtered.
class EdgeMap {
public:
    // Adds the edges of the first `count` nodes of a face; false when out of room.
    bool addFace(const int32_t* nodes, size_t count) {
        if (count < 2) return true;
        for (size_t k = 0; k < count; ++k) {
            const int a = nodes[k];
            const int b = nodes[k + 1 < count ? k + 1 : 0];
            if (m_size + 2 > CAPACITY) return false;
            m_from[m_size] = a;
            m_to[m_size++] = b;
            m_from[m_size] = b;
            m_to[m_size++] = a;
        }
        return true;
    }

    // The first neighbour of `node`, in insertion order, that is one of the given nodes; -1 if none.
    int firstNeighbourIn(int node, const int* candidates, size_t candidateCount) const {
        for (size_t e = 0; e < m_size; ++e)
            if (m_from[e] == node && contains(candidates, candidateCount, m_to[e])) return m_to[e];
        return -1;
    }

private:
    // Six quadrilaterals give 48 directed entries; five faces of at most four nodes give 40.
    static constexpr size_t CAPACITY = 48;
    int m_from[CAPACITY];
    int m_to[CAPACITY];
    size_t m_size = 0;
};

// Writes, for each base node in turn, its first edge neighbour on the top face to the next free
// position from `position`; returns the position after the last one written.
size_t joinTopToBase(const EdgeMap& edges, const int* base, size_t baseCount, const int* top, size_t topCount,
                     int* out, size_t position) {
    for (size_t k = 0; k < baseCount; ++k) {
        const int node = edges.firstNeighbourIn(base[k], top, topCount);
        if (node >= 0) out[position++] = node;
    }
    return position;
}

// The faces of each element shape in terms of its node positions, each with its outward
// normal, the base first; -1 ends a triangle.
struct ShapeFaces {
    size_t count;
    int8_t nodes[6][4];
};
constexpr ShapeFaces TETRAHEDRON_FACES{4, {{1, 2, 3, -1}, {0, 2, 1, -1}, {0, 1, 3, -1}, {0, 3, 2, -1}}};
constexpr ShapeFaces PYRAMID_FACES{5, {{0, 3, 2, 1}, {0, 1, 4, -1}, {1, 2, 4, -1}, {2, 3, 4, -1}, {3, 0, 4, -1}}};
constexpr ShapeFaces PENTAHEDRON_FACES{5, {{0, 2, 1, -1}, {3, 4, 5, -1}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}}};
constexpr ShapeFaces HEXAHEDRON_FACES{
    6, {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}}};

const ShapeFaces* shapeFaces(VXPElementType type) {
    switch (type) {
    case VXP_TETRAHEDRON: return &TETRAHEDRON_FACES;
    case VXP_PYRAMID: return &PYRAMID_FACES;
    case VXP_PENTAHEDRON: return &PENTAHEDRON_FACES;
    case VXP_HEXAHEDRON: return &HEXAHEDRON_FACES;
    default: return nullptr;
    }
}

// Whether the ordered element has exactly the cell's faces, with the same orientation. Each
// element face is paired with a cell face not paired yet; with as many cell faces as element
// faces, success pairs them all, so every node of the cell is on an element face and, with as
// many positions as distinct nodes, each node sits at exactly one position. The element's
// first face is its base, read from cell face `baseFace` in the orientation that pairs them.
bool hasCellFaces(VXPElementType type, const int* nodes, const FaceView* cellFaces, size_t cellFaceCount,
                  size_t baseFace) {
    const ShapeFaces* shape = shapeFaces(type);
    if (!shape || shape->count != cellFaceCount || baseFace >= cellFaceCount) return false;

    // Each cell face read outward (in file order when the cell owns it, reversed otherwise),
    // written twice in a row so that any cyclic start can be compared without wrapping.
    int rings[6][8];
    bool matched[6] = {false, false, false, false, false, false};
    matched[baseFace] = true;
    for (size_t i = 0; i < cellFaceCount; ++i) {
        const FaceView& f = cellFaces[i];
        if (f.count > 4) return false;
        if (matched[i]) continue;
        copyFace(f, f.count, !f.owner, rings[i]);
        std::copy(rings[i], rings[i] + f.count, rings[i] + f.count);
    }

    for (size_t j = 1; j < shape->count; ++j) {
        const int8_t* positions = shape->nodes[j];
        const size_t count = positions[3] < 0 ? 3 : 4;
        bool found = false;
        for (size_t i = 0; i < cellFaceCount && !found; ++i) {
            if (matched[i] || cellFaces[i].count != count) continue;
            const int* ring = rings[i];
            size_t start = 0;
            while (start < count && ring[start] != nodes[positions[0]]) ++start;
            if (start == count) continue;
            found = true;
            for (size_t k = 1; k < count && found; ++k) found = ring[start + k] == nodes[positions[k]];
            matched[i] = found;
        }
        if (!found) return false;
    }
    return true;
}

// Bit m set when ring[m] is one of the four base nodes.
inline unsigned baseMask(const int* ring, const int* base) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ring));
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(r, _mm_set1_epi32(base[0])),
                                                   _mm_cmpeq_epi32(r, _mm_set1_epi32(base[1]))),
                                      _mm_or_si128(_mm_cmpeq_epi32(r, _mm_set1_epi32(base[2])),
                                                   _mm_cmpeq_epi32(r, _mm_set1_epi32(base[3]))));
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(hits)));
#else
    unsigned mask = 0;
    for (unsigned m = 0; m < 4; ++m) {
        const int x = ring[m];
        mask |= static_cast<unsigned>((x == base[0]) | (x == base[1]) | (x == base[2]) | (x == base[3])) << m;
    }
    return mask;
#endif
}

bool hasCounts(const uint8_t* counts, size_t faceCount, size_t triangles, size_t quadrilaterals) {
    size_t tri = 0, quad = 0;
    for (size_t i = 0; i < faceCount; ++i) {
        if (counts[i] == 3)
            ++tri;
        else if (counts[i] == 4)
            ++quad;
        else
            return false;
    }
    return tri == triangles && quad == quadrilaterals;
}

}  // namespace

OFCell::OFCell() {
    m_cellFaces.reserve(24);
    m_elementNodes.reserve(64);
}

void OFCell::clear() {
    m_cellFaces.clear();
    m_elementNodes.clear();
}

bool OFCell::isTetrahedron(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount) {
    return nodeCount == 4 && faceCount == 4 && hasCounts(faceNodeCounts, faceCount, 4, 0);
}

bool OFCell::isPyramid(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount) {
    return nodeCount == 5 && faceCount == 5 && hasCounts(faceNodeCounts, faceCount, 4, 1);
}

bool OFCell::isPentahedron(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount) {
    return nodeCount == 6 && faceCount == 5 && hasCounts(faceNodeCounts, faceCount, 2, 3);
}

bool OFCell::isHexahedron(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount) {
    return nodeCount == 8 && faceCount == 6 && hasCounts(faceNodeCounts, faceCount, 0, 6);
}

VXPElementType OFCell::typeFromFaces(size_t nodeCount, const uint8_t* faceNodeCounts, size_t faceCount) {
    if (isTetrahedron(nodeCount, faceNodeCounts, faceCount)) return VXP_TETRAHEDRON;
    if (isPyramid(nodeCount, faceNodeCounts, faceCount)) return VXP_PYRAMID;
    if (isPentahedron(nodeCount, faceNodeCounts, faceCount)) return VXP_PENTAHEDRON;
    if (isHexahedron(nodeCount, faceNodeCounts, faceCount)) return VXP_HEXAHEDRON;
    return VXP_POLYGON_OR_POLYHEDRON;
}

namespace {

// Apex at 0, base (cell face 0) at 1..3 read so that its normal points away from the apex:
// in file order when the cell owns it, reversed otherwise.
bool orderTetrahedron(const FaceView* faces, size_t faceCount, int* out, size_t* baseFace) {
    if (faceCount < 2 || faces[0].count < 3) return false;
    *baseFace = 0;
    copyFace(faces[0], 3, !faces[0].owner, out + 1);
    const FaceView& side = faces[1];
    for (size_t k = 0; k < std::min<size_t>(3, side.count); ++k) {
        if (!contains(out + 1, 3, side.nodes[k])) {
            out[0] = side.nodes[k];
            return true;
        }
    }
    return false;
}

// Base (the first quadrilateral) at 0..3 with its normal towards the apex, apex at 4.
bool orderPyramid(const FaceView* faces, size_t faceCount, int* out, size_t* baseFace) {
    faceCount = std::min<size_t>(5, faceCount);
    size_t base = 0;
    while (base < faceCount && faces[base].count != 4) ++base;
    if (base == faceCount) return false;
    *baseFace = base;
    copyFace(faces[base], 4, faces[base].owner, out);
    for (size_t i = 0; i < faceCount; ++i) {
        if (i == base) continue;
        for (size_t k = 0; k < std::min<size_t>(3, faces[i].count); ++k) {
            if (!contains(out, 4, faces[i].nodes[k])) {
                out[4] = faces[i].nodes[k];
                return true;
            }
        }
    }
    return false;
}

// Base (the first triangle) at 0..2 with its normal towards the top (the second triangle);
// position 3 + k holds the top node joined to base node k by an edge.
bool orderPentahedron(const FaceView* faces, size_t faceCount, int* out, size_t* baseFace) {
    size_t triangles[2];
    size_t found = 0;
    EdgeMap edges;
    for (size_t i = 0; i < faceCount; ++i) {
        if (!edges.addFace(faces[i].nodes, faces[i].count)) return false;
        if (faces[i].count == 3 && found < 2) triangles[found++] = i;
    }
    if (found < 2) return false;
    *baseFace = triangles[0];
    const FaceView& base = faces[triangles[0]];
    copyFace(base, 3, base.owner, out);
    return joinTopToBase(edges, out, 3, faces[triangles[1]].nodes, 3, out, 3) == 6;
}

// Base (cell face 0) at 0..3 with its normal towards the top (the first of faces 1 to 5 that
// shares no node with the base); position 4 + k holds the top node joined to base node k by
// an edge.
bool orderHexahedron(const FaceView* faces, size_t faceCount, int* out, size_t* baseFace) {
    if (faceCount < 2 || faces[0].count < 4) return false;
    *baseFace = 0;
    copyFace(faces[0], 4, faces[0].owner, out);
    EdgeMap edges;
    const int32_t* top = nullptr;
    for (size_t i = 0; i < faceCount; ++i) {
        const size_t count = std::min<size_t>(4, faces[i].count);
        if (!edges.addFace(faces[i].nodes, count)) return false;
        if (i == 0 || i > 5 || top || count < 4) continue;
        bool shared = false;
        for (size_t k = 0; k < 4 && !shared; ++k) shared = contains(out, 4, faces[i].nodes[k]);
        if (!shared) top = faces[i].nodes;
    }
    return top && joinTopToBase(edges, out, 4, top, 4, out, 4) == 8;
}

// Orders the nodes into out and tells which cell face became the base.
bool orderElement(VXPElementType type, const FaceView* faces, size_t faceCount, int* out, size_t* baseFace) {
    switch (type) {
    case VXP_TETRAHEDRON: return orderTetrahedron(faces, faceCount, out, baseFace);
    case VXP_PYRAMID: return orderPyramid(faces, faceCount, out, baseFace);
    case VXP_PENTAHEDRON: return orderPentahedron(faces, faceCount, out, baseFace);
    case VXP_HEXAHEDRON: return orderHexahedron(faces, faceCount, out, baseFace);
    default: return false;
    }
}

size_t elementNodeCount(VXPElementType type) {
    switch (type) {
    case VXP_TETRAHEDRON: return 4;
    case VXP_PYRAMID: return 5;
    case VXP_PENTAHEDRON: return 6;
    case VXP_HEXAHEDRON: return 8;
    default: return 0;
    }
}

bool orderWithViews(VXPElementType type, const CellFaceList& cellFaces, const FacesData& faces,
                    std::vector<int>* nodes) {
    if (nodes->size() < elementNodeCount(type)) return false;
    const FaceViews views(cellFaces, faces);
    size_t baseFace = 0;
    return orderElement(type, views.data(), views.size(), nodes->data(), &baseFace);
}

}  // namespace

bool OFCell::orderTetrahedronNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes) {
    return orderWithViews(VXP_TETRAHEDRON, cellFaces, faces, nodes);
}

bool OFCell::orderPyramidNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes) {
    return orderWithViews(VXP_PYRAMID, cellFaces, faces, nodes);
}

bool OFCell::orderPentahedronNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes) {
    return orderWithViews(VXP_PENTAHEDRON, cellFaces, faces, nodes);
}

bool OFCell::orderHexahedronNodes(const CellFaceList& cellFaces, const FacesData& faces, std::vector<int>* nodes) {
    return orderWithViews(VXP_HEXAHEDRON, cellFaces, faces, nodes);
}

bool OFCell::orderElementNodes(VXPElementType type, const CellFaceList& cellFaces, const FacesData& faces,
                               std::vector<int>* nodes) {
    return elementNodeCount(type) > 0 && orderWithViews(type, cellFaces, faces, nodes);
}

bool OFCell::buildHexahedron(const CellFace* cellFaces, const FacesData& faces) {
    // The common case in one pass over the faces, without the general path's sorting and edge
    // map. The base is cell face 0, read so that its normal points into the element, at
    // positions 0 to 3. Read outward, each side face k of a hexahedron runs base node k, base
    // node k + 1, top node k + 1, top node k, and the top face runs the top nodes; every face
    // must be found so, each side once. A cell that passes is a hexahedron with the cell's faces
    // whose top nodes are joined to the base nodes by edges: the element the general path
    // gives. Anything else goes the general way.
    const int32_t* indices = faces.nodeIndices.data();
    auto ringOf = [&](const CellFace& cf, int* ring) {
        if (faces.nodeCounts[static_cast<size_t>(cf.face)] != 4) return false;
        const int32_t* f = indices + faces.startOffsets[static_cast<size_t>(cf.face)];
        if (cf.owner) {
            ring[0] = f[0], ring[1] = f[1], ring[2] = f[2], ring[3] = f[3];
        } else {
            ring[0] = f[3], ring[1] = f[2], ring[2] = f[1], ring[3] = f[0];
        }
        return true;
    };
    int base[4];
    if (!ringOf(cellFaces[0], base)) return false;
    int nodes[8] = {base[3], base[2], base[1], base[0], -1, -1, -1, -1};  // reversed: inward
    if (nodes[0] == nodes[1] || nodes[0] == nodes[2] || nodes[0] == nodes[3] || nodes[1] == nodes[2] ||
        nodes[1] == nodes[3] || nodes[2] == nodes[3])
        return false;
    bool topSeen = false;
    unsigned sidesSeen = 0;
    int top[4];
    // Which ring position starts the run of two base nodes, by the bit mask of the positions
    // that hold base nodes; -1 for any other mask.
    static constexpr int8_t RUN_START[16] = {-1, -1, -1, 0, -1, -1, 1, -1, -1, -1, -1, -1, 2, -1, -1, -1};
    for (size_t i = 1; i < 6; ++i) {
        int ring[4];
        if (!ringOf(cellFaces[i], ring)) return false;
        const unsigned onBase = baseMask(ring, nodes);
        if (onBase == 0) {
            if (topSeen) return false;
            topSeen = true;
            std::copy(ring, ring + 4, top);
            continue;
        }
        const int m = onBase == 9 ? 3 : RUN_START[onBase];
        if (m < 0) return false;
        const int first = ring[m];
        const int k = first == nodes[0] ? 0 : first == nodes[1] ? 1 : first == nodes[2] ? 2 : 3;
        if (ring[(m + 1) & 3] != nodes[(k + 1) & 3] || (sidesSeen & (1u << k))) return false;
        sidesSeen |= 1u << k;
        const int next = 4 + ((k + 1) & 3);
        const int nodeOfNext = ring[(m + 2) & 3], nodeOfK = ring[(m + 3) & 3];
        if ((nodes[4 + k] >= 0 && nodes[4 + k] != nodeOfK) || (nodes[next] >= 0 && nodes[next] != nodeOfNext))
            return false;
        nodes[4 + k] = nodeOfK;
        nodes[next] = nodeOfNext;
    }
    if (!topSeen || sidesSeen != 0xF) return false;
    if (nodes[4] == nodes[5] || nodes[4] == nodes[6] || nodes[4] == nodes[7] || nodes[5] == nodes[6] ||
        nodes[5] == nodes[7] || nodes[6] == nodes[7])
        return false;
    // The top face, read outward, runs top nodes 0, 1, 2, 3 from some start.
    size_t start = 0;
    while (start < 4 && top[start] != nodes[4]) ++start;
    if (start == 4) return false;
    for (size_t k = 1; k < 4; ++k)
        if (top[(start + k) & 3] != nodes[4 + k]) return false;
    m_elementNodes.assign(nodes, nodes + 8);
    return true;
}

namespace {

// Tetrahedra and prisms, the cells of most meshes that are not hexahedral, ordered straight from
// their faces without collecting and sorting every face's nodes first. True only for the element
// the general recognition would give: the same shape test, on as many distinct nodes as the
// ordering found (then exactly the cell's nodes, since the element has the cell's faces), and
// the same ordering and check.
bool orderTetrahedronOrPrism(const CellFace* cellFaces, size_t faceCount, const FacesData& faces,
                             VXPElementType* type, int* nodes, size_t* nodeCount) {
    if (faceCount != 4 && faceCount != 5) return false;
    FaceView views[5];
    uint8_t counts[5];
    size_t triangles = 0;
    for (size_t i = 0; i < faceCount; ++i) {
        views[i] = faceView(faces, cellFaces[i]);
        counts[i] = static_cast<uint8_t>(views[i].count);
        triangles += views[i].count == 3;
    }
    const VXPElementType shape = faceCount == 4 && triangles == 4   ? VXP_TETRAHEDRON
                                 : faceCount == 5 && triangles == 2 ? VXP_PENTAHEDRON
                                                                    : VXP_POLYGON_OR_POLYHEDRON;
    const size_t count = shape == VXP_TETRAHEDRON ? 4 : 6;
    if (shape == VXP_POLYGON_OR_POLYHEDRON || OFCell::typeFromFaces(count, counts, faceCount) != shape) return false;
    size_t baseFace = 0;
    if (!orderElement(shape, views, faceCount, nodes, &baseFace)) return false;
    for (size_t a = 0; a < count; ++a)
        for (size_t b = a + 1; b < count; ++b)
            if (nodes[a] == nodes[b]) return false;
    if (!hasCellFaces(shape, nodes, views, faceCount, baseFace)) return false;
    *type = shape;
    *nodeCount = count;
    return true;
}

}  // namespace

bool OFCell::buildElementData(const FacesData& faces, VXPElementType* type) {
    return buildElementData(m_cellFaces.data(), m_cellFaces.size(), faces, type);
}

bool OFCell::buildElementData(const CellFace* cellFaces, size_t faceCount, const FacesData& faces,
                              VXPElementType* type) {
    m_elementNodes.clear();
    if (faceCount > MAX_COUNT) {
        *type = VXP_POLYGON_OR_POLYHEDRON;
        return false;
    }
    if (faceCount == 6 && buildHexahedron(cellFaces, faces)) {
        *type = VXP_HEXAHEDRON;
        return true;
    }
    int ordered[6];
    size_t orderedCount = 0;
    if (orderTetrahedronOrPrism(cellFaces, faceCount, faces, type, ordered, &orderedCount)) {
        m_elementNodes.assign(ordered, ordered + orderedCount);
        return true;
    }

    // The faces of the four shapes are looked up once for the shape tests and the ordering.
    constexpr size_t SHAPE_FACES = 6;
    FaceView views[SHAPE_FACES];
    uint8_t counts[MAX_COUNT];
    for (size_t i = 0; i < faceCount; ++i) {
        const FaceView f = faceView(faces, cellFaces[i]);
        if (i < SHAPE_FACES) views[i] = f;
        counts[i] = static_cast<uint8_t>(f.count);
        m_elementNodes.insert(m_elementNodes.end(), f.nodes, f.nodes + f.count);
    }
    std::sort(m_elementNodes.begin(), m_elementNodes.end());
    m_elementNodes.erase(std::unique(m_elementNodes.begin(), m_elementNodes.end()), m_elementNodes.end());
    const size_t nodeCount = m_elementNodes.size();
    if (nodeCount > MAX_COUNT) {
        *type = VXP_POLYGON_OR_POLYHEDRON;
        return false;
    }

    const VXPElementType shape = typeFromFaces(nodeCount, counts, faceCount);
    if (shape != VXP_POLYGON_OR_POLYHEDRON) {
        // The shape tests guarantee at most 6 faces and 4, 5, 6 or 8 distinct nodes here.
        int distinct[8];
        std::copy(m_elementNodes.begin(), m_elementNodes.end(), distinct);
        size_t baseFace = 0;
        if (orderElement(shape, views, faceCount, m_elementNodes.data(), &baseFace)) {
            // A degenerate or inconsistent cell can fill every position and still repeat a
            // node, or give an element whose faces are not the cell's: the element is valid
            // only if it has the cell's faces, oriented alike.
            if (hasCellFaces(shape, m_elementNodes.data(), views, faceCount, baseFace)) {
                *type = shape;
                return true;
            }
        }
        std::copy(distinct, distinct + nodeCount, m_elementNodes.begin());
    }

    // Not one of the four shapes, or not orderable as one: a general polyhedron whose node
    // list is its sorted distinct nodes.
    *type = VXP_POLYGON_OR_POLYHEDRON;
    return true;
}

size_t OFCell::buildElementPolyTables(const FacesData& faces, uint8_t* faceNodeCounts, int* faceConnectivity) const {
    return buildElementPolyTables(m_cellFaces.data(), m_cellFaces.size(), faces, faceNodeCounts, faceConnectivity);
}

size_t OFCell::buildElementPolyTables(const CellFace* cellFaces, size_t faceCount, const FacesData& faces,
                                      uint8_t* faceNodeCounts, int* faceConnectivity) {
    int* out = faceConnectivity;
    for (const CellFace* cf = cellFaces; cf != cellFaces + faceCount; ++cf) {
        // Outward normals: a neighbour reads its face backwards.
        const FaceView f = faceView(faces, *cf);
        *faceNodeCounts++ = static_cast<uint8_t>(f.count);
        copyFace(f, f.count, !cf->owner, out);
        out += f.count;
    }
    return static_cast<size_t>(out - faceConnectivity);
}
