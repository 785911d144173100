#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "mesh/OFCell.h"

namespace {

struct Vec {
    double x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

using Face = std::vector<int>;

// A convex cell: its points and its faces, each listed with an outward normal.
struct Shape {
    std::vector<Vec> points;
    std::vector<Face> faces;
};

// A prism (apex false) or pyramid (apex true) over a regular n-gon in the plane z = 0.
// n = 3 and 4 give the pentahedron and hexahedron, resp. the tetrahedron and pyramid.
Shape polygonCell(int n, bool apex) {
    Shape s;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < n; ++i) s.points.push_back({std::cos(2 * pi * i / n), std::sin(2 * pi * i / n), 0});
    if (apex) s.points.push_back({0, 0, 1});
    Face bottom, top;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        bottom.push_back(n - 1 - i);
        if (apex) {
            s.faces.push_back({i, j, n});
        } else {
            s.points.push_back(s.points[i] + Vec{0, 0, 1});
            s.faces.push_back({i, j, n + j, n + i});
            top.push_back(n + i);
        }
    }
    s.faces.push_back(bottom);
    if (!apex) s.faces.push_back(top);
    return s;
}

// The tables of a general polyhedron, as the converter writes them for the host.
struct PolyTables {
    int faceCount = 0;
    std::vector<uint8_t> nodeCountPerFace;
    std::vector<int> faceConnectivity;
};
using PolyDataList = std::vector<PolyTables>;

// One cell as the converter sees it: a face list holding its faces among others, and the cell.
struct TestCell {
    FacesData faces;
    OFCell cell;
    std::vector<Vec> points;   // by mesh point index
    std::vector<int> pointOf;  // shape point -> mesh point

    void addFace(const Face& nodes) {
        faces.nodeCounts.push_back(static_cast<uint8_t>(nodes.size()));
        faces.startOffsets.push_back(static_cast<int32_t>(faces.nodeIndices.size()));
        faces.nodeIndices.insert(faces.nodeIndices.end(), nodes.begin(), nodes.end());
    }
    // A shape face as cell face; the face list stores a neighbour's face reversed.
    void addCellFace(Face nodes, bool owner) {
        for (int& n : nodes) n = pointOf[n];
        if (!owner) std::reverse(nodes.begin(), nodes.end());
        cell.cellFaces().push_back(CellFace{static_cast<int>(faces.faceCount()), owner});
        addFace(nodes);
    }
    // Recognises the cell; a polyhedron's tables are appended to polys.
    bool build(VXPElementType* type, PolyDataList* polys) {
        if (!cell.buildElementData(faces, type)) return false;
        if (*type != VXP_POLYGON_OR_POLYHEDRON) return true;
        PolyTables poly;
        poly.faceCount = static_cast<int>(cell.cellFaces().size());
        poly.nodeCountPerFace.resize(cell.cellFaces().size());
        poly.faceConnectivity.resize(faces.nodeIndices.size());
        const size_t written = cell.buildElementPolyTables(faces, poly.nodeCountPerFace.data(), poly.faceConnectivity.data());
        poly.faceConnectivity.resize(written);
        polys->push_back(poly);
        return true;
    }
};

// The shape's faces in their order, all owned, shape point i as mesh point i.
void setUpPlain(const Shape& shape, TestCell* t) {
    t->points = shape.points;
    t->pointOf.resize(shape.points.size());
    std::iota(t->pointOf.begin(), t->pointOf.end(), 0);
    for (const Face& f : shape.faces) t->addCellFace(f, true);
}

// The shape turned and moved at random, its points renumbered sparsely, its faces shuffled,
// each starting at a random node, owned or neighboured at random.
void setUpRandom(const Shape& shape, std::mt19937& rng, TestCell* t) {
    std::normal_distribution<double> normal;
    double q[4], norm = 0;
    for (double& c : q) {
        c = normal(rng);
        norm += c * c;
    }
    for (double& c : q) c /= std::sqrt(norm);
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    const Vec r0{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)};
    const Vec r1{2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)};
    const Vec r2{2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)};

    const size_t n = shape.points.size();
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), rng);
    t->pointOf.resize(n);
    t->points.assign(3 * n + 5, Vec{0, 0, 0});
    for (size_t i = 0; i < n; ++i) {
        t->pointOf[i] = 5 + 3 * order[i];
        const Vec p = shape.points[i];
        t->points[t->pointOf[i]] = Vec{dot(r0, p) + 7, dot(r1, p) - 3, dot(r2, p) + 1};
    }
    std::vector<Face> faces = shape.faces;
    std::shuffle(faces.begin(), faces.end(), rng);
    t->addFace({0, 1, 2});  // not one of the cell's faces
    for (Face f : faces) {
        std::rotate(f.begin(), f.begin() + rng() % f.size(), f.end());
        t->addCellFace(f, rng() % 2 == 0);
    }
}

std::vector<Face> asSets(std::vector<Face> faces) {
    for (Face& f : faces) std::sort(f.begin(), f.end());
    std::sort(faces.begin(), faces.end());
    return faces;
}

Vec normalOf(const std::vector<Vec>& polygon) {
    Vec n{0, 0, 0};
    for (size_t k = 0; k < polygon.size(); ++k) n = n + cross(polygon[k], polygon[(k + 1) % polygon.size()]);
    return n;
}

Vec centroid(const std::vector<Vec>& points) {
    Vec c{0, 0, 0};
    for (const Vec& p : points) c = c + Vec{p.x / points.size(), p.y / points.size(), p.z / points.size()};
    return c;
}

// Shapes give elements with the cell's faces and the host's orientation; other cells give
// polyhedra with outward faces.
TEST(CellShapes, RandomlyPlacedCellsGiveValidElements) {
    struct Case {
        Shape shape;
        VXPElementType type;
        std::vector<Face> elementFaces;  // by node position
    };
    const Case cases[] = {
        {polygonCell(3, true), VXP_TETRAHEDRON, {{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 2, 3}}},
        {polygonCell(4, true), VXP_PYRAMID, {{0, 1, 2, 3}, {0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}}},
        {polygonCell(3, false), VXP_PENTAHEDRON, {{0, 1, 2}, {3, 4, 5}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}}},
        {polygonCell(4, false), VXP_HEXAHEDRON,
         {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}}},
        {polygonCell(5, false), VXP_POLYGON_OR_POLYHEDRON, {}},
        {polygonCell(7, true), VXP_POLYGON_OR_POLYHEDRON, {}},
    };
    std::mt19937 rng(12345);
    for (const Case& c : cases) {
        for (int trial = 0; trial < 100; ++trial) {
            SCOPED_TRACE(testing::Message() << c.shape.points.size() << " nodes, trial " << trial);
            TestCell t;
            setUpRandom(c.shape, rng, &t);
            VXPElementType types[4] = {VXP_TRIANGLE, VXP_TRIANGLE, VXP_TRIANGLE, VXP_TRIANGLE};
            PolyDataList polys;
            ASSERT_TRUE(t.build(&types[3], &polys));
            ASSERT_EQ(types[3], c.type);
            const std::vector<int>& nodes = t.cell.elementNodes();
            ASSERT_EQ(nodes.size(), c.shape.points.size());
            std::vector<Vec> p;
            for (int n : nodes) p.push_back(t.points[n]);

            if (c.type == VXP_POLYGON_OR_POLYHEDRON) {
                ASSERT_EQ(polys.size(), 1u);
                const PolyTables& poly = polys[0];
                EXPECT_EQ(poly.faceCount, static_cast<int>(c.shape.faces.size()));
                EXPECT_TRUE(std::is_sorted(nodes.begin(), nodes.end()));
                // Each face's normal points away from the centroid of the convex cell.
                size_t at = 0;
                for (uint8_t count : poly.nodeCountPerFace) {
                    std::vector<Vec> face;
                    for (size_t k = 0; k < count; ++k) face.push_back(t.points[poly.faceConnectivity[at++]]);
                    EXPECT_GT(dot(normalOf(face), centroid(face) - centroid(p)), 0.0);
                }
                EXPECT_EQ(at, poly.faceConnectivity.size());
                continue;
            }
            EXPECT_TRUE(polys.empty());
            std::vector<Face> fromElement = c.elementFaces, fromCell = c.shape.faces;
            for (Face& f : fromElement) std::transform(f.begin(), f.end(), f.begin(), [&](int k) { return nodes[k]; });
            for (Face& f : fromCell) std::transform(f.begin(), f.end(), f.begin(), [&](int k) { return t.pointOf[k]; });
            EXPECT_EQ(asSets(fromElement), asSets(fromCell));
            if (c.type == VXP_TETRAHEDRON) {
                EXPECT_GT(dot(cross(p[1] - p[0], p[2] - p[0]), p[3] - p[0]), 0.0);
            } else {
                const auto split = p.begin() + (c.type == VXP_PENTAHEDRON ? 3 : 4);
                const std::vector<Vec> base(p.begin(), split), rest(split, p.end());
                EXPECT_GT(dot(normalOf(base), centroid(rest) - centroid(base)), 0.0);
            }
        }
    }
}

TEST(CellShapes, UnitShapesComeOutInTheDocumentedOrder) {
    const Shape tet{std::vector<Vec>(4), {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}}};
    const Shape cube{std::vector<Vec>(8),
                     {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {3, 7, 6, 2}, {0, 4, 7, 3}, {1, 2, 6, 5}}};
    struct Case {
        const Shape& shape;
        bool ownsFirstFace;
        std::vector<int> nodes;
    };
    // As neighbour of its first face a cell reads that face (stored reversed) in file order.
    const Case cases[] = {{tet, true, {3, 0, 2, 1}},
                          {cube, true, {1, 2, 3, 0, 5, 6, 7, 4}},
                          {cube, false, {1, 2, 3, 0, 5, 6, 7, 4}}};
    for (const Case& c : cases) {
        TestCell t;
        setUpPlain(c.shape, &t);
        if (!c.ownsFirstFace) {
            t.cell.cellFaces()[0].owner = false;
            std::reverse(t.faces.nodeIndices.begin(), t.faces.nodeIndices.begin() + t.faces.nodeCounts[0]);
        }
        VXPElementType type;
        PolyDataList polys;
        ASSERT_TRUE(t.build(&type, &polys));
        EXPECT_EQ(t.cell.elementNodes(), c.nodes);
    }
}

TEST(CellShapes, TypeFollowsNodeAndFaceCounts) {
    struct Case {
        size_t nodes;
        std::vector<uint8_t> counts;
        VXPElementType type;
    };
    const Case cases[] = {
        {4, {3, 3, 3, 3}, VXP_TETRAHEDRON},
        {5, {3, 4, 3, 3, 3}, VXP_PYRAMID},
        {6, {4, 3, 4, 3, 4}, VXP_PENTAHEDRON},
        {8, {4, 4, 4, 4, 4, 4}, VXP_HEXAHEDRON},
        {4, {3, 3, 3, 3, 3}, VXP_POLYGON_OR_POLYHEDRON},        // a fifth triangle
        {6, {3, 3, 3, 3, 4}, VXP_POLYGON_OR_POLYHEDRON},        // pyramid faces, 6 nodes
        {6, {3, 3, 3, 4, 4}, VXP_POLYGON_OR_POLYHEDRON},        // 3 triangles, 2 quadrilaterals
        {6, {3, 3, 4, 4, 5}, VXP_POLYGON_OR_POLYHEDRON},        // a pentagon
        {7, {4, 4, 4, 4, 4, 4}, VXP_POLYGON_OR_POLYHEDRON},     // 6 quadrilaterals, 7 nodes
        {8, {4, 4, 4, 4, 4, 4, 4}, VXP_POLYGON_OR_POLYHEDRON},  // 7 quadrilaterals
    };
    for (const Case& c : cases) EXPECT_EQ(OFCell::typeFromFaces(c.nodes, c.counts), c.type) << c.nodes;
}

// Counts that match a shape, faces that do not make one: a polyhedron of the cell's own faces.
TEST(CellShapes, UnorderableCellsBecomePolyhedra) {
    const Shape hex = polygonCell(4, false), tet = polygonCell(3, true), wedge = polygonCell(3, false);
    std::vector<Shape> cases(5, hex);
    cases[0].faces[5] = cases[0].faces[0];  // a side face twice instead of the top
    cases[1].faces[5] = {4, 6, 5, 7};       // the top twisted: its edges miss the sides'
    std::reverse(cases[2].faces[3].begin(), cases[2].faces[3].end());  // one face inward
    cases[3] = tet;
    cases[3].faces[1] = cases[3].faces[0];  // the base twice: no apex
    cases[4] = wedge;
    cases[4].faces[4] = cases[4].faces[3];  // the bottom twice: every position filled, some twice
    for (const Shape& shape : cases) {
        SCOPED_TRACE(&shape - cases.data());
        TestCell t;
        setUpPlain(shape, &t);
        t.cell.cellFaces()[2].owner = false;  // one neighbour face, stored reversed
        std::reverse(t.faces.nodeIndices.begin() + t.faces.startOffsets[2],
                     t.faces.nodeIndices.begin() + t.faces.startOffsets[2] + t.faces.nodeCounts[2]);
        VXPElementType type;
        PolyDataList polys;
        ASSERT_TRUE(t.build(&type, &polys));
        EXPECT_EQ(type, VXP_POLYGON_OR_POLYHEDRON);
        ASSERT_EQ(polys.size(), 1u);
        std::vector<int> distinct(shape.points.size()), expected;
        std::iota(distinct.begin(), distinct.end(), 0);
        EXPECT_EQ(t.cell.elementNodes(), distinct);
        for (const Face& f : shape.faces) expected.insert(expected.end(), f.begin(), f.end());
        EXPECT_EQ(polys[0].faceConnectivity, expected);
    }
}

}  // namespace
