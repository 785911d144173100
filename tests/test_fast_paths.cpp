// The shortcuts taken for speed give exactly what the general code gives: labels read eight
// digits at a time, hexahedra, tetrahedra and prisms recognised in one pass over their faces, element tables sized
// from face counts before the cells are recognised, node averages gathered node by node, plain
// files read straight into place.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "core/GroupedLists.h"
#include "core/LargeArrays.h"
#include "core/Undefined.h"
#include "io/FoamFileSource.h"
#include "io/NumberParsing.h"
#include "mesh/OFCell.h"
#include "mesh/OFPolymeshToVXP.h"
#include "model/OFPart.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"

namespace {

// ---- labels --------------------------------------------------------------------------------

struct Parsed {
    bool ok;
    int32_t value;
    long long length;
};

Parsed parse(const std::string& text, bool wide) {
    int32_t value = -7;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* next = wide ? ofnum::parseLabelWide(begin, end, &value) : ofnum::parseLabel(begin, end, &value);
    return Parsed{next != nullptr, next ? value : -7, next ? next - begin : -1};
}

TEST(FastPaths, WideLabelsReadLikeTheDigitLoop) {
    // Every length of digits, every kind of character behind them, with and without eight
    // bytes left, values up to and beyond the largest int32.
    std::vector<std::string> numbers = {"", "0", "7", "00012", "1234567", "12345678", "99999999", "2147483647",
                                        "2147483648", "0002147483647", "99999999999"};
    std::mt19937 rng(7);
    for (int length = 1; length <= 12; ++length) {
        for (int trial = 0; trial < 20; ++trial) {
            std::string digits;
            for (int k = 0; k < length; ++k) digits += static_cast<char>('0' + rng() % 10);
            numbers.push_back(digits);
        }
    }
    const std::string behind[] = {" 5", "\n", ")", "(", "x", "-3", "\xFA" "9", "/9", ":1", "\t", ".5", ""};
    for (const std::string& number : numbers) {
        for (const std::string& tail : behind) {
            for (const std::string& padding : {std::string(), std::string("        12 34 56"), std::string(20, '9')}) {
                const std::string text = number + tail + padding;
                SCOPED_TRACE("'" + text + "'");
                const Parsed a = parse(text, false), b = parse(text, true);
                EXPECT_EQ(a.ok, b.ok);
                EXPECT_EQ(a.value, b.value);
                EXPECT_EQ(a.length, b.length);
            }
        }
    }
}

// ---- doubles ----------------------------------------------------------------------------

// What parseDouble gave before its fast path: std::from_chars after the sign.
const char* referenceDouble(const char* p, const char* end, double* value) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p >= end || !(ofnum::isDigit(*p) || *p == '.')) return nullptr;
    double parsed = 0.0;
    const auto res = std::from_chars(p, end, parsed, std::chars_format::general);
    if (res.ec != std::errc()) return nullptr;
    *value = negative ? -parsed : parsed;
    return res.ptr;
}

TEST(FastPaths, DoublesReadLikeFromChars) {
    std::vector<std::string> texts = {"0", "-0", "0.", ".5", ".", "-.", "5.", "1e", "1e+", "1e-3", "1E22", "1e23",
                                      "9007199254740992", "9007199254740993", "0.1", "0.30000000000000004",
                                      "123456789012345678901", "1.7976931348623157e308", "1e-320", "4.9e-324",
                                      "1e999", "-1e-999", "00000.000001250", "1.5e+0005", "2.2250738585072014e-308",
                                      "0.000000000000000000000001", "1e-22", "1e-23", "+3.25", "--1", "1..2",
                                      "1e0001", "7.0e-022", "7.0e-0023", "1234567.7654321", "12345678.1",
                                      "1.12345678", "-0.0e-0", "+.e1", "3.e-5", "0.0005", "1e-09", "-", "+"};
    std::mt19937 rng(11);
    auto digits = [&](int n) {
        std::string d;
        for (int k = 0; k < n; ++k) d += static_cast<char>('0' + rng() % 10);
        return d;
    };
    for (int trial = 0; trial < 20000; ++trial) {
        std::string t = rng() % 4 == 0 ? "-" : "";
        t += digits(static_cast<int>(rng() % 12));
        if (rng() % 3) t += "." + digits(static_cast<int>(rng() % 20));
        if (rng() % 3 == 0) t += (rng() % 2 ? "e" : "E") + std::string(rng() % 2 ? "-" : "+") + std::to_string(rng() % 40);
        texts.push_back(t);
    }
    for (const std::string& text : texts) {
        // Short tails leave too few bytes to read eight digits at a time; the long one does not.
        for (const std::string& tail : {std::string(), std::string(" 1"), std::string(")"), std::string(40, ' ') + "1"}) {
            const std::string s = text + tail;
            SCOPED_TRACE("'" + s + "'");
            double a = -7, b = -7;
            const char* ra = referenceDouble(s.data(), s.data() + s.size(), &a);
            const char* rb = ofnum::parseDouble(s.data(), s.data() + s.size(), &b);
            ASSERT_EQ(ra == nullptr, rb == nullptr);
            if (!ra) continue;
            EXPECT_EQ(ra - s.data(), rb - s.data());
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << a << " " << b;
        }
    }
}

// ---- hexahedra -----------------------------------------------------------------------------

using Face = std::vector<int>;

// A unit cube's faces, outward, in the order and orientation given by the arguments: the cell
// owns face i when owners[i], and the face list stores the faces of other cells reversed.
struct HexCell {
    FacesData faces;
    std::vector<CellFace> cellFaces;

    void add(Face nodes, bool owner) {
        if (!owner) std::reverse(nodes.begin(), nodes.end());
        cellFaces.push_back(CellFace{static_cast<int>(faces.faceCount()), owner});
        faces.nodeCounts.push_back(static_cast<uint8_t>(nodes.size()));
        faces.startOffsets.push_back(static_cast<int32_t>(faces.nodeIndices.size()));
        faces.nodeIndices.insert(faces.nodeIndices.end(), nodes.begin(), nodes.end());
    }
};

const std::vector<Face> CUBE = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};

// Whether the ordered element has exactly the cell's faces, each read outward (checked here
// independently of the converter). shapeFaces gives each element face by node positions.
bool elementHasCellFaces(const HexCell& cell, const std::vector<Face>& shapeFaces, const std::vector<int>& nodes) {
    std::vector<int> sorted = nodes;
    std::sort(sorted.begin(), sorted.end());
    if (std::unique(sorted.begin(), sorted.end()) != sorted.end()) return false;
    std::vector<std::vector<int>> element, fromCell;
    for (const Face& f : shapeFaces) {
        Face ring;
        for (int position : f) ring.push_back(nodes[static_cast<size_t>(position)]);
        std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end()), ring.end());
        element.push_back(ring);
    }
    for (const CellFace& cf : cell.cellFaces) {
        const int* f = cell.faces.nodeIndices.data() + cell.faces.startOffsets[static_cast<size_t>(cf.face)];
        Face ring(f, f + cell.faces.nodeCounts[static_cast<size_t>(cf.face)]);
        if (!cf.owner) std::reverse(ring.begin(), ring.end());
        std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end()), ring.end());
        fromCell.push_back(ring);
    }
    std::sort(element.begin(), element.end());
    std::sort(fromCell.begin(), fromCell.end());
    return element == fromCell;
}

// The general path's answer for a cell with six quadrilaterals: its ordering, valid only when
// the ordered element has exactly the cell's faces.
bool generalHexahedron(const HexCell& cell, std::vector<int>* nodes) {
    nodes->assign(8, -1);
    return OFCell::orderHexahedronNodes(cell.cellFaces, cell.faces, nodes) && elementHasCellFaces(cell, CUBE, *nodes);
}

// The general path's answer for any shape: the shape test on the cell's distinct nodes and face
// sizes, then the shape's ordering, valid only when the element has exactly the cell's faces.
bool generalElement(const HexCell& cell, VXPElementType shape, const std::vector<Face>& shapeFaces,
                    std::vector<int>* nodes) {
    std::vector<int> distinct(cell.faces.nodeIndices.begin(), cell.faces.nodeIndices.end());
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::vector<uint8_t> counts;
    for (const CellFace& cf : cell.cellFaces) counts.push_back(cell.faces.nodeCounts[static_cast<size_t>(cf.face)]);
    if (OFCell::typeFromFaces(distinct.size(), counts) != shape) return false;
    nodes->assign(distinct.size(), -1);
    return OFCell::orderElementNodes(shape, cell.cellFaces, cell.faces, nodes) &&
           elementHasCellFaces(cell, shapeFaces, *nodes);
}

// A cell of the given faces under a random relabelling, with every face rotated and the faces
// shuffled, each owned or not at random; on odd trials damaged in one of the ways cells go wrong.
HexCell shuffledCell(const std::vector<Face>& shape, int trial, std::mt19937& rng) {
    std::vector<Face> faces = shape;
    int nodeCount = 0;
    for (const Face& f : faces) nodeCount = std::max(nodeCount, *std::max_element(f.begin(), f.end()) + 1);
    std::vector<int> label(static_cast<size_t>(nodeCount));
    std::iota(label.begin(), label.end(), 10);
    std::shuffle(label.begin(), label.end(), rng);
    for (Face& f : faces) {
        for (int& n : f) n = label[static_cast<size_t>(n)];
        std::rotate(f.begin(), f.begin() + static_cast<long>(rng() % f.size()), f.end());
    }
    std::shuffle(faces.begin(), faces.end(), rng);
    Face& damaged = faces[rng() % faces.size()];
    Face& other = faces[rng() % faces.size()];
    switch (trial % 2 ? rng() % 6 : 6) {
        case 0: std::reverse(damaged.begin(), damaged.end()); break;  // a face inward
        case 1: std::swap(damaged[0], damaged[1]); break;              // twisted
        case 2: damaged[2] = damaged[1]; break;                        // a node twice
        case 3: faces[1 + rng() % (faces.size() - 1)] = faces[0]; break;  // a face twice
        case 4: damaged[rng() % damaged.size()] = 99; break;          // a stray node
        case 5: std::swap(damaged[rng() % damaged.size()], other[rng() % other.size()]); break;
        default: break;
    }
    HexCell cell;
    for (const Face& f : faces) cell.add(f, rng() % 2 == 0);
    return cell;
}

TEST(FastPaths, HexahedraComeOutAsTheGeneralOrderingGivesThem) {
    std::mt19937 rng(99);
    int valid = 0, broken = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        std::vector<Face> faces = CUBE;
        std::vector<int> label(8);
        std::iota(label.begin(), label.end(), 10);
        std::shuffle(label.begin(), label.end(), rng);
        for (Face& f : faces) {
            for (int& n : f) n = label[static_cast<size_t>(n)];
            std::rotate(f.begin(), f.begin() + rng() % 4, f.end());
        }
        std::shuffle(faces.begin(), faces.end(), rng);
        // Every other trial one of the ways a cell goes wrong.
        Face& damaged = faces[rng() % 6];
        Face& other = faces[rng() % 6];
        switch (trial % 2 ? rng() % 6 : 6) {
            case 0: std::reverse(damaged.begin(), damaged.end()); break;  // a face inward
            case 1: std::swap(damaged[0], damaged[1]); break;              // twisted
            case 2: damaged[2] = damaged[1]; break;                        // a node twice
            case 3: faces[1 + rng() % 5] = faces[0]; break;                // a face twice
            case 4: damaged[rng() % 4] = 99; break;                        // a stray node
            case 5: std::swap(damaged[rng() % 4], other[rng() % 4]); break;
            default: break;
        }
        HexCell cell;
        for (const Face& f : faces) cell.add(f, rng() % 2 == 0);
        SCOPED_TRACE(trial);

        std::vector<int> expected;
        const bool isHexahedron = generalHexahedron(cell, &expected);
        OFCell converter;
        VXPElementType type;
        ASSERT_TRUE(converter.buildElementData(cell.cellFaces.data(), 6, cell.faces, &type));
        EXPECT_EQ(type == VXP_HEXAHEDRON, isHexahedron);
        if (isHexahedron) {
            EXPECT_EQ(converter.elementNodes(), expected);
            ++valid;
        } else {
            EXPECT_TRUE(std::is_sorted(converter.elementNodes().begin(), converter.elementNodes().end()));
            ++broken;
        }
    }
    EXPECT_GT(valid, 1000);
    EXPECT_GT(broken, 1000);
}

TEST(FastPaths, TetrahedraAndPrismsComeOutAsTheGeneralPathGivesThem) {
    const std::vector<Face> tetrahedron = {{1, 2, 3}, {0, 2, 1}, {0, 1, 3}, {0, 3, 2}};
    const std::vector<Face> prism = {{0, 2, 1}, {3, 4, 5}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}};
    std::mt19937 rng(7);
    for (const auto& [shape, faces] : {std::make_pair(VXP_TETRAHEDRON, tetrahedron), std::make_pair(VXP_PENTAHEDRON, prism)}) {
        int valid = 0, broken = 0;
        for (int trial = 0; trial < 3000; ++trial) {
            const HexCell cell = shuffledCell(faces, trial, rng);
            SCOPED_TRACE(trial);
            std::vector<int> expected;
            const bool recognised = generalElement(cell, shape, faces, &expected);
            OFCell converter;
            VXPElementType type;
            ASSERT_TRUE(converter.buildElementData(cell.cellFaces.data(), cell.cellFaces.size(), cell.faces, &type));
            if (recognised) {
                EXPECT_EQ(type, shape);
                EXPECT_EQ(converter.elementNodes(), expected);
                ++valid;
            } else {
                EXPECT_EQ(type, VXP_POLYGON_OR_POLYHEDRON);
                EXPECT_TRUE(std::is_sorted(converter.elementNodes().begin(), converter.elementNodes().end()));
                ++broken;
            }
        }
        EXPECT_GT(valid, 1000);
        EXPECT_GT(broken, 500);
    }
}

// ---- element tables sized before recognition ----------------------------------------------

struct Tables {
    bool created = false;
    std::vector<VXPElementType> types;
    std::vector<int> connectivity;
    std::vector<uint8_t> nodeCounts, polyNodes, polyFaces, faceNodeCounts;
    std::vector<int> faceNodes;
};

struct CapturingGroup : VXPElementGroup {
    Tables* out;
    explicit CapturingGroup(Tables* t) : out(t) {}
    void setElementsOfType(VXPElementType, size_t, const int*, size_t, const int*) override {}
    void setElements(const VXPElementType* t, size_t count, const int* nodes, size_t nodeCount, const int*) override {
        out->types.assign(t, t + count);
        out->connectivity.assign(nodes, nodes + nodeCount);
    }
    void setPolyhedra(const uint8_t* nodesPer, const uint8_t* facesPer, size_t count, const uint8_t* nodesPerFace,
                      size_t faceCount, const int* faceNodes, size_t faceNodeCount) override {
        out->polyNodes.assign(nodesPer, nodesPer + count);
        out->polyFaces.assign(facesPer, facesPer + count);
        out->faceNodeCounts.assign(nodesPerFace, nodesPerFace + faceCount);
        out->faceNodes.assign(faceNodes, faceNodes + faceNodeCount);
    }
    void setElementPartIds(const int*, size_t) override {}
};

OFPolymesh polyMesh(const testsupport::Mesh& m) {
    OFPolymesh mesh;
    mesh.points() = m.points;
    for (const auto& f : m.faces) {
        mesh.faces().nodeCounts.push_back(static_cast<uint8_t>(f.size()));
        mesh.faces().startOffsets.push_back(static_cast<int32_t>(mesh.faces().nodeIndices.size()));
        mesh.faces().nodeIndices.insert(mesh.faces().nodeIndices.end(), f.begin(), f.end());
    }
    mesh.owners().assign(m.owner.begin(), m.owner.end());
    mesh.neighbors().assign(m.neighbour.begin(), m.neighbour.end());
    mesh.setCellCount(m.cellCount);
    return mesh;
}

Tables convert(const testsupport::Mesh& m) {
    OFPolymesh mesh = polyMesh(m);
    Tables t;
    OFPolymeshToVXP converter(&mesh);
    t.created = converter.createMesh();
    CapturingGroup group(&t);
    size_t count = 0;
    converter.populateElementGroup(&group, &count);
    t.nodeCounts.assign(converter.nodesCountPerElt().begin(), converter.nodesCountPerElt().end());
    return t;
}

// Each cell on its own (as a one-cell mesh of its faces), recognised by the general code.
Tables cellByCell(const testsupport::Mesh& m) {
    OFPolymesh mesh = polyMesh(m);
    std::vector<std::vector<CellFace>> faces(static_cast<size_t>(m.cellCount));
    for (size_t f = 0; f < m.owner.size(); ++f) {
        faces[static_cast<size_t>(m.owner[f])].push_back(CellFace{static_cast<int>(f), true});
        if (f < m.neighbour.size()) faces[static_cast<size_t>(m.neighbour[f])].push_back(CellFace{static_cast<int>(f), false});
    }
    for (auto& list : faces) std::sort(list.begin(), list.end(), [](const CellFace& a, const CellFace& b) { return a.face < b.face; });
    Tables t;
    t.created = true;
    for (const auto& list : faces) {
        OFCell cell;
        VXPElementType type;
        EXPECT_TRUE(cell.buildElementData(list.data(), list.size(), mesh.faces(), &type));
        t.types.push_back(type);
        t.connectivity.insert(t.connectivity.end(), cell.elementNodes().begin(), cell.elementNodes().end());
        t.nodeCounts.push_back(static_cast<uint8_t>(cell.elementNodes().size()));
        if (type != VXP_POLYGON_OR_POLYHEDRON) continue;
        t.polyNodes.push_back(static_cast<uint8_t>(cell.elementNodes().size()));
        t.polyFaces.push_back(static_cast<uint8_t>(list.size()));
        std::vector<uint8_t> counts(list.size());
        std::vector<int> nodes(mesh.faces().nodeIndices.size());
        nodes.resize(OFCell::buildElementPolyTables(list.data(), list.size(), mesh.faces(), counts.data(), nodes.data()));
        t.faceNodeCounts.insert(t.faceNodeCounts.end(), counts.begin(), counts.end());
        t.faceNodes.insert(t.faceNodes.end(), nodes.begin(), nodes.end());
    }
    return t;
}

void expectSameTables(const Tables& a, const Tables& b) {
    EXPECT_EQ(a.created, b.created);
    EXPECT_EQ(a.types, b.types);
    EXPECT_EQ(a.connectivity, b.connectivity);
    EXPECT_EQ(a.nodeCounts, b.nodeCounts);
    EXPECT_EQ(a.polyNodes, b.polyNodes);
    EXPECT_EQ(a.polyFaces, b.polyFaces);
    EXPECT_EQ(a.faceNodeCounts, b.faceNodeCounts);
    EXPECT_EQ(a.faceNodes, b.faceNodes);
}

// Open, inward, twisted and degenerate cells do not have the node count their face counts
// promise; many chunks of them, next to sound cells of every shape.
TEST(FastPaths, CellsThatDoNotCloseComeOutAsRecognised) {
    using namespace testsupport;
    for (const char* split : {"hex", "tet", "prism", "pyramid", "tetprism"}) {
        SCOPED_TRACE(split);
        const bool hex = std::string(split) == "hex";
        CellList cells = hex ? splitBlockCells(24, 20, 18, split) : splitBlockCells(12, 12, 10, split);
        damageCells(&cells);
        scrambleCells(&cells, 3);
        const Mesh mesh = meshFromCells(cells);
        if (hex) {
            ASSERT_GT(mesh.cellCount, 2 * OFPolymeshToVXP::CHUNK_CELLS);
        }
        expectSameTables(convert(mesh), cellByCell(mesh));
    }
    CellList refined = refinedBlockCells(10, 10, 10, [](int i, int j, int k) { return (i + 2 * j + 3 * k) % 5 == 0; });
    damageCells(&refined);
    const Mesh mesh = meshFromCells(refined);
    expectSameTables(convert(mesh), cellByCell(mesh));
}

// The one error names the lowest cell beyond the byte counts, even when a cell of higher index
// is caught from its face counts alone and the lower one only by recognising it.
TEST(FastPaths, TheLowestCellBeyondTheByteCountsIsNamed) {
    using namespace testsupport;
    CellList cells = splitBlockCells(22, 22, 22, "hex");
    // Cell 9000: one polygon of 300 nodes closed by a fan of triangles (301 faces): its face
    // count alone fails it. Cell 5000: 256 distinct nodes on 2 faces that do not close (two
    // polygons of 128 nodes and 128 more), which the face counts cannot tell.
    auto polygonCell = [&](size_t cell, int sides, bool fan) {
        std::vector<int> ring;
        for (int k = 0; k < sides; ++k) {
            cells.points.insert(cells.points.end(), {100.0 + std::cos(k * 0.01), 100.0 + std::sin(k * 0.01), 0.0});
            ring.push_back(static_cast<int>(cells.points.size() / 3 - 1));
        }
        cells.points.insert(cells.points.end(), {100.0, 100.0, 1.0});
        const int apex = static_cast<int>(cells.points.size() / 3 - 1);
        std::vector<std::vector<int>> faces{ring};
        if (fan) {
            for (int k = 0; k < sides; ++k) faces.push_back({ring[static_cast<size_t>(k)], ring[static_cast<size_t>((k + 1) % sides)], apex});
        } else {
            std::vector<int> other;
            for (int k = 0; k < 128; ++k) {
                cells.points.insert(cells.points.end(), {200.0 + k, 0.0, 0.0});
                other.push_back(static_cast<int>(cells.points.size() / 3 - 1));
            }
            faces.push_back(other);
        }
        cells.cells[cell] = faces;
    };
    polygonCell(9000, 300, true);
    polygonCell(5000, 128, false);
    const Mesh mesh = meshFromCells(cells);
    LogCapture log;
    const Tables t = convert(mesh);
    EXPECT_FALSE(t.created);
    ASSERT_EQ(log.texts(1).size(), 1u);
    EXPECT_EQ(log.texts(1)[0].rfind("OFPolymeshToVXP : Cannot convert cell 5000: it has 256 distinct nodes", 0), 0u)
        << log.texts(1)[0];
}

// ---- node averages -------------------------------------------------------------------------

TEST(FastPaths, GroupsListTheirValuesInItemOrder) {
    // Items i = 0 ... 99 with key i % 7 (keys 7 and 8 get nothing), split into halves at 40.
    vx::UnsetVector<uint32_t> starts;
    vx::UnsetVector<uint32_t> values;
    vx::groupInOrder(
        9,
        [](size_t half, auto&& take) {
            for (uint32_t i = half ? 40 : 0; i < (half ? 100u : 40u); ++i) take(i % 7, i);
        },
        starts, values);
    ASSERT_EQ(starts.size(), 10u);
    ASSERT_EQ(values.size(), 100u);
    for (size_t k = 0; k < 9; ++k) {
        std::vector<uint32_t> expected;
        for (uint32_t i = 0; i < 100; ++i)
            if (i % 7 == k) expected.push_back(i);
        EXPECT_EQ(std::vector<uint32_t>(values.begin() + starts[k], values.begin() + starts[k + 1]), expected) << k;
    }
    vx::groupInOrder(3, [](size_t, auto&&) {}, starts, values);
    EXPECT_EQ(std::vector<uint32_t>(starts.begin(), starts.end()), (std::vector<uint32_t>{0, 0, 0, 0}));
    EXPECT_TRUE(values.empty());
}

// Random elements of 4 to 8 nodes (a node may appear twice in one), some nodes used by none, and
// values of very different magnitudes, so that a sum taken in another order differs in its last
// bits.
struct RandomElements {
    std::vector<int> connectivity;
    std::vector<unsigned char> counts;
};

RandomElements randomElements(size_t elements, size_t nodes, unsigned seed) {
    std::mt19937 random(seed);
    RandomElements r;
    for (size_t e = 0; e < elements; ++e) {
        const unsigned char n = static_cast<unsigned char>(4 + random() % 5);
        r.counts.push_back(n);
        for (unsigned char k = 0; k < n; ++k) r.connectivity.push_back(static_cast<int>(random() % (nodes - nodes / 50)));
    }
    return r;
}

std::vector<double> randomValues(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> exponent(-20, 20);
    std::vector<double> values(n);
    for (double& v : values) v = (random() % 2 ? 1 : -1) * std::exp(exponent(random));
    return values;
}

// The averages element by element, each element's values added to its nodes in element order;
// nodes of patches with values take the mean of their faces instead.
std::vector<double> averagesInElementOrder(const RandomElements& mesh, const std::vector<double>& cellValues,
                                           const std::vector<RandomElements>& patches,
                                           const std::vector<std::vector<double>>& patchValues, size_t nodes,
                                           size_t m) {
    std::vector<double> sums(nodes * m, 0.0);
    std::vector<int> counts(nodes, 0);
    std::vector<char> marked(nodes, 0);
    auto add = [&](const RandomElements& items, const std::vector<double>& values, bool skipMarked, bool mark) {
        size_t at = 0;
        for (size_t e = 0; e < items.counts.size(); ++e) {
            for (size_t k = 0; k < items.counts[e]; ++k, ++at) {
                const size_t node = static_cast<size_t>(items.connectivity[at]);
                if (skipMarked && marked[node]) continue;
                for (size_t c = 0; c < m; ++c) sums[node * m + c] += values[e * m + c];
                ++counts[node];
                if (mark) marked[node] = 1;
            }
        }
    };
    for (size_t b = 0; b < patches.size(); ++b)
        if (patchValues[b][0] != vx::UNDEFINED_DOUBLE) add(patches[b], patchValues[b], false, true);
    add(mesh, cellValues, true, false);
    for (size_t n = 0; n < nodes; ++n)
        for (size_t c = 0; c < m; ++c)
            sums[n * m + c] = counts[n] ? sums[n * m + c] * (1.0 / counts[n]) : vx::UNDEFINED_DOUBLE;
    return sums;
}

bool bitIdentical(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(FastPaths, NodeAveragesAddInElementOrder) {
    const size_t nodes = 40000;
    OFPart part(1, "p", "f");
    // Two patches of quadrilaterals: one with values, one whose values are unknown.
    std::vector<RandomElements> patches;
    for (unsigned b = 0; b < 2; ++b) {
        RandomElements patch;
        std::mt19937 random(100 + b);
        for (size_t f = 0; f < 3000; ++f) {
            patch.counts.push_back(4);
            for (int k = 0; k < 4; ++k) patch.connectivity.push_back(static_cast<int>(random() % nodes));
        }
        OFBoundary boundary;
        boundary.setType("wall");
        boundary.faceConnectivity() = patch.connectivity;
        boundary.nodeCountPerFace() = patch.counts;
        part.boundaries().push_back(boundary);
        patches.push_back(patch);
    }
    for (unsigned seed : {1u, 2u}) {
        // A second connectivity replaces the first, as a new geometry request does.
        const RandomElements mesh = randomElements(50000, nodes, seed);
        part.setConnectivities(vx::UnsetVector<int>(mesh.connectivity.begin(), mesh.connectivity.end()));
        part.setNodesCountPerElt(vx::UnsetVector<uint8_t>(mesh.counts.begin(), mesh.counts.end()));
        for (size_t m : {1, 2, 3, 6}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << m << " components");
            const std::vector<double> cells = randomValues(mesh.counts.size() * m, seed * 10 + static_cast<unsigned>(m));
            std::vector<double> plain(nodes * m, 1.0);  // whatever it held before
            ASSERT_TRUE(part.computeAverageNodeResult(cells, plain, static_cast<int>(m)));
            EXPECT_TRUE(bitIdentical(plain, averagesInElementOrder(mesh, cells, {}, {}, nodes, m)));

            const std::vector<std::vector<double>> patchValues{randomValues(3000 * m, 7),
                                                               std::vector<double>(3000 * m, vx::UNDEFINED_DOUBLE)};
            std::vector<double> aware(nodes * m, 1.0);
            ASSERT_TRUE(part.computeAverageNodeResultAwareBC(cells, patchValues, aware, static_cast<int>(m)));
            EXPECT_TRUE(bitIdentical(aware, averagesInElementOrder(mesh, cells, patches, patchValues, nodes, m)));
        }
    }
    // Fewer node values than the connectivity reaches: nothing beyond them is written.
    std::vector<double> short_(100, 0.0);
    EXPECT_FALSE(part.computeAverageNodeResult(randomValues(50000, 3), short_, 1));
}

// A patch's node values found through the surface numbering the geometry kept are those found by
// looking each mesh point up; a kept numbering that does not fit the patch is not trusted.
TEST(FastPaths, PatchNodeValuesThroughTheKeptNumbering) {
    std::mt19937 random(5);
    OFBoundary patch;
    std::vector<int> meshNodes;
    for (int point = 0; point < 20000; ++point)
        if (random() % 3 == 0) meshNodes.push_back(point);
    patch.createNodeFaceToNodeMapping(meshNodes.size());
    for (size_t i = 0; i < meshNodes.size(); ++i) patch.nodeIndex(i) = meshNodes[i];
    for (size_t f = 0; f < 4000; ++f) {
        patch.nodeCountPerFace().push_back(static_cast<uint8_t>(3 + f % 3));
        for (size_t k = 0; k < 3 + f % 3; ++k) {
            const size_t local = random() % meshNodes.size();
            patch.faceConnectivity().push_back(meshNodes[local]);
            patch.faceLocalConnectivity().push_back(static_cast<int>(local));
        }
    }
    const std::vector<double> faceValues = randomValues(4000 * 3, 9);
    auto nodeValues = [&](const OFBoundary& p) {
        std::vector<double> values(meshNodes.size() * 3);
        EXPECT_TRUE(OFPart::computePatchNodeValues(p, faceValues, values, 3));
        return values;
    };
    const std::vector<double> kept = nodeValues(patch);
    OFBoundary lookedUp = patch;
    lookedUp.faceLocalConnectivity().clear();
    EXPECT_TRUE(bitIdentical(kept, nodeValues(lookedUp)));
    OFBoundary wrong = patch;
    for (int& local : wrong.faceLocalConnectivity()) local = (local * 7 + 3) % static_cast<int>(meshNodes.size() + 5);
    EXPECT_TRUE(bitIdentical(kept, nodeValues(wrong)));
}

// ---- whole files -----------------------------------------------------------------------------

// Plain files are read into place in one request and gzip files block by block: both give the
// bytes of the file, whatever their size against zlib's buffer, with NULs and what looks like a
// gzip header inside.
TEST(FastPaths, WholeFilesReadByteForByte) {
    using namespace testsupport;
    const std::string folder = makeTempFolder("whole_files");
    std::mt19937 random(5);
    for (const size_t size : {size_t(1), size_t(65535), size_t(65536), size_t(131073), size_t(5u << 20)}) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 7 == 0 ? 0 : random());
        if (size > 4) bytes.replace(size / 2, 2, "\x1f\x8b");
        for (const bool gzip : {false, true}) {
            const std::string path = folder + "/" + std::to_string(size) + (gzip ? "z" : "p");
            writeFile(path, bytes, gzip);
            std::string read = "left over";
            ASSERT_TRUE(FoamFileSource::disk().read(path, &read)) << path;
            EXPECT_TRUE(read == bytes) << path << ": " << read.size() << " bytes read of " << size;
        }
    }
    std::string read = "left over";
    writeFile(folder + "/empty", "");
    EXPECT_TRUE(FoamFileSource::disk().read(folder + "/empty", &read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(FoamFileSource::disk().read(folder + "/missing", &read));
    removeFolder(folder);
}

#if defined(__linux__)
// A large array starts on a huge page and keeps doing so as it grows; small ones are plain
// blocks. The values survive growth and copies between the two kinds.
TEST(FastPaths, LargeArraysLieInWholeHugePages) {
    auto onHugePage = [](const void* p) { return reinterpret_cast<uintptr_t>(p) % vx::HUGE_PAGE_BYTES == 0; };
    vx::UnsetVector<int32_t> values;
    for (int32_t k = 0; k < 1000; ++k) values.push_back(k);
    vx::resizeLarge(values, 300000);
    EXPECT_TRUE(onHugePage(values.data()));
    std::iota(values.begin() + 1000, values.end(), 1000);
    for (int32_t k = 0; k < 800000; ++k) values.push_back(300000 + k);
    EXPECT_TRUE(onHugePage(values.data()));
    ASSERT_EQ(values.size(), 1100000u);
    for (size_t k = 0; k < values.size(); k += 997) ASSERT_EQ(values[k], static_cast<int32_t>(k));
    const vx::UnsetVector<int32_t> head(values.begin(), values.begin() + 100);
    values.resize(10);
    values.shrink_to_fit();
    EXPECT_EQ(head[99], 99);
    EXPECT_EQ(values[9], 9);
    EXPECT_THROW(vx::UnsetAllocator<double>().allocate(SIZE_MAX / 4), std::bad_alloc);
}

// Large arrays have all their pages supplied before they are filled, from any start within a
// page and for sizes that do not split evenly between the threads.
TEST(FastPaths, LargeArraysHaveEveryPageSuppliedBeforeTheyAreFilled) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    for (const size_t bytes : {size_t(9) << 20, (size_t(37) << 20) + 12345}) {
        for (const size_t offset : {size_t(0), size_t(100)}) {
            const size_t mapped = (bytes + offset + page - 1) / page * page;
            void* map = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            ASSERT_NE(map, MAP_FAILED);
            char* data = static_cast<char*>(map) + offset;
            vx::supplyPages(data, bytes);
            std::vector<unsigned char> resident(mapped / page);
            ASSERT_EQ(mincore(map, mapped, resident.data()), 0);
            // Only the partial pages at either end may be left to the first write.
            const size_t missing = static_cast<size_t>(
                std::count_if(resident.begin() + 1, resident.end() - 1, [](unsigned char r) { return (r & 1) == 0; }));
            EXPECT_EQ(missing, 0u) << bytes << " bytes from offset " << offset << ": " << missing << " of "
                                   << resident.size() << " pages not supplied";
            munmap(map, mapped);
        }
    }
}
#endif

}  // namespace
