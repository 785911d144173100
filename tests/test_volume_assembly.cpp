#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "mesh/OFPolymeshToVXP.h"
#include "tests/support/LogCapture.h"

namespace {

using Face = std::vector<int>;

class RecordingElementGroup : public VXPElementGroup {
public:
    void setElementsOfType(VXPElementType, size_t, const int*, size_t, const int*) override { ++calls; }
    void setElements(const VXPElementType* t, size_t count, const int* nodes, size_t nodeCount,
                     const int* i) override {
        ++calls;
        types.assign(t, t + count);
        connectivity.assign(nodes, nodes + nodeCount);
        ids.assign(i, i + count);
    }
    void setPolyhedra(const uint8_t* nodesPerElement, const uint8_t* facesPerElement, size_t count,
                      const uint8_t* nodesPerFace, size_t faceCount, const int* faceNodes,
                      size_t faceNodeCount) override {
        ++calls;
        ++polyhedraCalls;
        polyNodes.assign(nodesPerElement, nodesPerElement + count);
        polyFaces.assign(facesPerElement, facesPerElement + count);
        polyFaceNodeCounts.assign(nodesPerFace, nodesPerFace + faceCount);
        polyFaceNodes.assign(faceNodes, faceNodes + faceNodeCount);
    }
    void setElementPartIds(const int*, size_t) override { ++calls; }

    int calls = 0, polyhedraCalls = 0;
    std::vector<VXPElementType> types;
    std::vector<int> connectivity, ids, polyFaceNodes;
    std::vector<uint8_t> polyNodes, polyFaces, polyFaceNodeCounts;
};

class RecordingNodeGroup : public VXPNodeGroup {
public:
    void setNodes(const double* xyz, size_t count) override { coordinates.assign(xyz, xyz + 3 * count); }
    void setNodeIds(const int* i, size_t count) override {
        ++idCalls;
        ids.assign(i, i + count);
    }
    int index() const override { return 0; }

    int idCalls = 0;
    std::vector<double> coordinates;
    std::vector<int> ids;
};

// Cells given by their outward faces. In the polyMesh a face found in two cells is internal,
// owned by the lower cell; internal faces come first, in owner order.
struct MeshBuilder {
    std::vector<double> points;
    std::vector<std::vector<Face>> cells;

    int addPoint(double x, double y, double z) {
        points.insert(points.end(), {x, y, z});
        return static_cast<int>(points.size() / 3 - 1);
    }
    std::vector<int> cellNodes(size_t cell) const {
        std::set<int> nodes;
        for (const Face& f : cells[cell]) nodes.insert(f.begin(), f.end());
        return {nodes.begin(), nodes.end()};
    }
    void build(OFPolymesh* mesh) const {
        std::map<Face, std::vector<std::pair<int, const Face*>>> sides;
        for (size_t c = 0; c < cells.size(); ++c) {
            for (const Face& f : cells[c]) {
                Face key = f;
                std::sort(key.begin(), key.end());
                sides[key].emplace_back(static_cast<int>(c), &f);
            }
        }
        std::vector<std::tuple<int, int, const Face*>> internal, boundary;  // owner, neighbour, nodes
        for (const auto& item : sides) {
            const auto& s = item.second;
            if (s.size() == 2 && s[0].first != s[1].first)
                internal.emplace_back(s[0].first, s[1].first, s[0].second);
            else
                for (const auto& side : s) boundary.emplace_back(side.first, -1, side.second);
        }
        std::sort(internal.begin(), internal.end());
        std::sort(boundary.begin(), boundary.end());
        internal.insert(internal.end(), boundary.begin(), boundary.end());

        mesh->points() = points;
        FacesData& faces = mesh->faces();
        for (const auto& [owner, neighbour, nodes] : internal) {
            faces.nodeCounts.push_back(static_cast<uint8_t>(nodes->size()));
            faces.startOffsets.push_back(static_cast<int32_t>(faces.nodeIndices.size()));
            faces.nodeIndices.insert(faces.nodeIndices.end(), nodes->begin(), nodes->end());
            mesh->owners().push_back(owner);
            if (neighbour >= 0) mesh->neighbors().push_back(neighbour);
        }
        faces.nodeIndices.resize(faces.nodeIndices.size() + 7, -1);  // spare entries after the last face
        mesh->setCellCount(static_cast<int>(cells.size()));
    }
};

// nx * ny * nz unit cubes, cell i + nx * (j + ny * k). Cells in `split` (on the boundary when
// nz = 1) become polyhedra of 9 nodes and 10 faces: the bottom split in two triangles, the top
// in four around an extra centre point.
MeshBuilder blockMesh(int nx, int ny, int nz, const std::set<int>& split = {}) {
    MeshBuilder b;
    for (int k = 0; k <= nz; ++k)
        for (int j = 0; j <= ny; ++j)
            for (int i = 0; i <= nx; ++i) b.addPoint(i, j, k);
    auto at = [&](int i, int j, int k) { return i + (nx + 1) * (j + (ny + 1) * k); };
    for (int k = 0; k < nz; ++k) {
        for (int j = 0; j < ny; ++j) {
            for (int i = 0; i < nx; ++i) {
                const int p[8] = {at(i, j, k),     at(i + 1, j, k),     at(i + 1, j + 1, k),     at(i, j + 1, k),
                                  at(i, j, k + 1), at(i + 1, j, k + 1), at(i + 1, j + 1, k + 1), at(i, j + 1, k + 1)};
                std::vector<Face> faces = {{p[0], p[1], p[5], p[4]}, {p[3], p[7], p[6], p[2]},
                                           {p[0], p[4], p[7], p[3]}, {p[1], p[2], p[6], p[5]}};
                if (split.count(static_cast<int>(b.cells.size()))) {
                    const int c = b.addPoint(i + 0.5, j + 0.5, k + 1);
                    faces.insert(faces.end(), {{p[0], p[3], p[2]}, {p[0], p[2], p[1]}, {p[4], p[5], c},
                                               {p[5], p[6], c}, {p[6], p[7], c}, {p[7], p[4], c}});
                } else {
                    faces.insert(faces.end(), {{p[0], p[3], p[2], p[1]}, {p[4], p[5], p[6], p[7]}});
                }
                b.cells.push_back(faces);
            }
        }
    }
    return b;
}

// Adds a cell with points of its own: a prism (2n nodes, n + 2 faces) or pyramid (n + 1 nodes
// and faces) over a regular n-gon.
void addPolygonCell(MeshBuilder* b, int n, bool apex) {
    const double pi = std::acos(-1.0);
    std::vector<int> bottom, top;
    for (int i = 0; i < n; ++i) bottom.push_back(b->addPoint(std::cos(2 * pi * i / n), std::sin(2 * pi * i / n), 0));
    for (int i = 0; i < (apex ? 1 : n); ++i)
        top.push_back(apex ? b->addPoint(0, 0, 1) : b->addPoint(std::cos(2 * pi * i / n), std::sin(2 * pi * i / n), 1));
    std::vector<Face> faces;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        faces.push_back(apex ? Face{bottom[i], bottom[j], top[0]} : Face{bottom[i], bottom[j], top[j], top[i]});
    }
    faces.push_back(Face(bottom.rbegin(), bottom.rend()));
    if (!apex) faces.push_back(top);
    b->cells.push_back(faces);
}

struct Vec {
    double x, y, z;
};
Vec pointOf(const std::vector<double>& xyz, int n) { return {xyz[3 * n], xyz[3 * n + 1], xyz[3 * n + 2]}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Volume enclosed by faces whose normals point outward.
double signedVolume(const std::vector<double>& xyz, const uint8_t* counts, size_t faceCount, const int* nodes) {
    double volume = 0;
    for (size_t f = 0; f < faceCount; nodes += counts[f++])
        for (size_t k = 1; k + 1 < counts[f]; ++k)
            volume += dot(pointOf(xyz, nodes[0]), cross(pointOf(xyz, nodes[k]), pointOf(xyz, nodes[k + 1])));
    return volume / 6;
}

struct Converted {
    RecordingElementGroup elements;
    RecordingNodeGroup nodes;
    size_t elementCount = 99, nodeCount = 99;
    std::vector<int> connectivity;
    std::vector<uint8_t> nodeCounts;
    bool created = false, populated = false;
};

void convert(OFPolymesh* mesh, Converted* out) {
    OFPolymeshToVXP converter(mesh);
    out->created = converter.createMesh();
    out->populated = converter.populateElementGroup(&out->elements, &out->elementCount);
    converter.populateNodeGroup(&out->nodes, &out->nodeCount);
    out->connectivity.assign(converter.connectivities().begin(), converter.connectivities().end());
    out->nodeCounts.assign(converter.nodesCountPerElt().begin(), converter.nodesCountPerElt().end());
}

// Element e is cell e: ids, node sets and offsets; hexahedra with the top right above the base.
void expectElementsMatchCells(const MeshBuilder& b, const Converted& c) {
    ASSERT_EQ(c.elements.types.size(), b.cells.size());
    ASSERT_EQ(c.nodeCounts.size(), b.cells.size());
    std::vector<int> ids(b.cells.size());
    std::iota(ids.begin(), ids.end(), 0);
    EXPECT_EQ(c.elements.ids, ids);
    EXPECT_EQ(c.elements.connectivity, c.connectivity);
    ASSERT_EQ(std::accumulate(c.nodeCounts.begin(), c.nodeCounts.end(), size_t(0)), c.connectivity.size());
    for (size_t e = 0, at = 0; e < b.cells.size(); at += c.nodeCounts[e++]) {
        SCOPED_TRACE(testing::Message() << "element " << e);
        std::vector<int> nodes(c.connectivity.begin() + at, c.connectivity.begin() + at + c.nodeCounts[e]);
        if (c.elements.types[e] == VXP_HEXAHEDRON) {
            const Vec up = pointOf(b.points, nodes[4]) - pointOf(b.points, nodes[0]);
            const Vec p0 = pointOf(b.points, nodes[0]);
            EXPECT_GT(dot(cross(pointOf(b.points, nodes[1]) - p0, pointOf(b.points, nodes[3]) - p0), up), 0.0);
            for (int k = 1; k < 4; ++k) {
                const Vec d = pointOf(b.points, nodes[k + 4]) - pointOf(b.points, nodes[k]);
                EXPECT_NEAR(dot(d - up, d - up), 0.0, 1e-20) << k;
            }
        }
        if (c.elements.types[e] == VXP_POLYGON_OR_POLYHEDRON) {
            EXPECT_TRUE(std::is_sorted(nodes.begin(), nodes.end()));
        }
        std::sort(nodes.begin(), nodes.end());
        EXPECT_EQ(nodes, b.cellNodes(e));
    }
}

TEST(VolumeAssembly, OneHexahedronCell) {
    const MeshBuilder b = blockMesh(1, 1, 1);
    OFPolymesh mesh;
    b.build(&mesh);
    Converted c;
    convert(&mesh, &c);
    ASSERT_TRUE(c.created);
    EXPECT_TRUE(c.populated);
    EXPECT_EQ(c.elementCount, 1u);
    EXPECT_EQ(c.elements.types, std::vector<VXPElementType>{VXP_HEXAHEDRON});
    EXPECT_EQ(c.elements.calls, 1);  // no polyhedra
    expectElementsMatchCells(b, c);
    EXPECT_EQ(c.nodeCount, 8u);
    EXPECT_EQ(c.nodes.coordinates, b.points);
    EXPECT_EQ(c.nodes.ids, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    // The mesh is consumed except for its points.
    EXPECT_TRUE(mesh.owners().empty() && mesh.neighbors().empty());
    EXPECT_TRUE(mesh.faces().nodeCounts.empty() && mesh.faces().startOffsets.empty() &&
                mesh.faces().nodeIndices.empty());
    EXPECT_EQ(mesh.points(), b.points);
}

TEST(VolumeAssembly, ChunksAndPrefixSums) {
    EXPECT_EQ(OFPolymeshToVXP::createCellsChunks(5), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 5}));
    EXPECT_EQ(OFPolymeshToVXP::createCellsChunks(10), (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 3}));
    EXPECT_EQ(OFPolymeshToVXP::createCellsChunks(23), (std::vector<int>{2, 2, 2, 2, 2, 2, 2, 9}));

    const unsigned char counts[] = {3, 255, 0, 8};
    int out[5] = {-1, -1, -1, -1, -1};
    EXPECT_EQ(vx_exclusive_partial_sum(counts, 4, 10, out), 276);
    EXPECT_EQ(std::vector<int>(out, out + 5), (std::vector<int>{10, 13, 268, 268, -1}));
    EXPECT_EQ(vx_exclusive_partial_sum(counts, 0, 7, out), 7);
    EXPECT_EQ(out[0], 10);
}

// Element order across chunks, the last one taking the remainder (7 chunks of 2014 cells and
// one of 2021). Polyhedra are collected concurrently; many per chunk let them arrive out of order.
TEST(VolumeAssembly, ElementsAndPolyhedraKeepCellOrderAcrossChunks) {
    std::set<int> split = {1, 6, 13, 14};
    for (int cell = 100; cell < 16119; cell += 3) split.insert(cell);
    const MeshBuilder b = blockMesh(199, 81, 1, split);
    OFPolymesh mesh;
    b.build(&mesh);
    Converted c;
    convert(&mesh, &c);
    ASSERT_TRUE(c.created);
    expectElementsMatchCells(b, c);
    for (size_t e = 0; e < b.cells.size(); ++e)
        ASSERT_EQ(c.elements.types[e], split.count(int(e)) ? VXP_POLYGON_OR_POLYHEDRON : VXP_HEXAHEDRON) << e;

    ASSERT_EQ(c.elements.polyhedraCalls, 1);
    ASSERT_EQ(c.elements.polyNodes.size(), split.size());
    ASSERT_EQ(c.elements.polyFaces.size(), split.size());
    size_t face = 0, node = 0, p = 0;
    for (int cell : split) {
        SCOPED_TRACE(testing::Message() << "cell " << cell);
        EXPECT_EQ(c.elements.polyNodes[p], 9);
        EXPECT_EQ(c.nodeCounts[cell], 9);
        ASSERT_EQ(c.elements.polyFaces[p], 10);
        ASSERT_LE(face + 10, c.elements.polyFaceNodeCounts.size());
        const uint8_t* counts = c.elements.polyFaceNodeCounts.data() + face;
        const size_t refs = std::accumulate(counts, counts + 10, size_t(0));
        ASSERT_LE(node + refs, c.elements.polyFaceNodes.size());
        const int* nodes = c.elements.polyFaceNodes.data() + node;
        const std::set<int> used(nodes, nodes + refs);
        EXPECT_EQ(std::vector<int>(used.begin(), used.end()), b.cellNodes(cell));
        EXPECT_NEAR(signedVolume(b.points, counts, 10, nodes), 1.0, 1e-12);
        face += 10;
        node += refs;
        ++p;
    }
    EXPECT_EQ(face, c.elements.polyFaceNodeCounts.size());
    EXPECT_EQ(node, c.elements.polyFaceNodes.size());
}

TEST(VolumeAssembly, MeshWithoutCells) {
    OFPolymesh mesh;
    Converted c;
    convert(&mesh, &c);
    EXPECT_TRUE(c.created);
    EXPECT_FALSE(c.populated);
    EXPECT_EQ(c.elementCount, 0u);
    EXPECT_EQ(c.elements.calls, 0);
    EXPECT_EQ(c.nodeCount, 0u);
    EXPECT_EQ(c.nodes.idCalls, 1);
    EXPECT_TRUE(c.nodes.ids.empty());
}

// One error naming the lowest cell beyond the one-byte counts; nothing left to hand over.
// Cell 1 has 255 faces and 255 nodes, the most that fit.
TEST(VolumeAssembly, CellsBeyondByteLimitsFailThePart) {
    struct Case {
        std::vector<int> bad;  // cells with 256 nodes (a prism) or 256 faces (a tetrahedron's, 64 times)
        bool faces;
        std::string message;
    };
    const Case cases[] = {
        {{8, 10}, false, "OFPolymeshToVXP : Cannot convert cell 8: it has 256 distinct nodes"},
        {{2}, true, "OFPolymeshToVXP : Cannot convert cell 2: it has 256 faces"},
    };
    for (const Case& k : cases) {
        MeshBuilder b;
        for (int cell = 0; cell < 11; ++cell) {
            const bool bad = std::find(k.bad.begin(), k.bad.end(), cell) != k.bad.end();
            addPolygonCell(&b, bad && !k.faces ? 128 : cell == 1 ? 254 : 3, !bad || k.faces);
            const std::vector<Face> once = b.cells.back();
            for (int copy = 1; bad && k.faces && copy < 64; ++copy)
                b.cells.back().insert(b.cells.back().end(), once.begin(), once.end());
        }
        OFPolymesh mesh;
        b.build(&mesh);
        LogCapture log;
        OFPolymeshToVXP converter(&mesh);
        EXPECT_FALSE(converter.createMesh());
        const std::vector<std::string> errors = log.texts(1);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].rfind(k.message, 0), 0u) << errors[0];
        RecordingElementGroup group;
        size_t count = 99;
        EXPECT_FALSE(converter.populateElementGroup(&group, &count));
        EXPECT_EQ(count, 0u);
        EXPECT_EQ(group.calls, 0);
    }
}

}  // namespace
