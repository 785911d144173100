// VTK export of recorded geometry and results: cell types and node orders, the .vtu binary
// layout, and whole-case export through a provider.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host/recording/CaseExporter.h"
#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingMetaData.h"
#include "host/recording/RecordingResult.h"
#include "host/recording/Statistics.h"
#include "host/recording/VtkExport.h"
#include "host/recording/VtkWriter.h"

using namespace vxphost;

namespace {

using Point = std::array<double, 3>;
using Face = std::vector<int64_t>;

Point cross(const Point& a, const Point& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The faces of VTK's linear cells as VTK lists them, each oriented outward for a valid cell.
const std::map<uint8_t, std::vector<Face>>& vtkCellFaces() {
    static const std::map<uint8_t, std::vector<Face>> faces = {
        {vtk::TETRA, {{0, 1, 3}, {1, 2, 3}, {2, 0, 3}, {0, 2, 1}}},
        {vtk::HEXAHEDRON, {{0, 4, 7, 3}, {1, 2, 6, 5}, {0, 1, 5, 4}, {3, 7, 6, 2}, {0, 3, 2, 1}, {4, 5, 6, 7}}},
        {vtk::WEDGE, {{0, 1, 2}, {3, 5, 4}, {0, 3, 4, 1}, {1, 4, 5, 2}, {2, 5, 3, 0}}},
        {vtk::PYRAMID, {{0, 3, 2, 1}, {0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}}},
    };
    return faces;
}

// Volume enclosed by faces of point ids (divergence theorem); positive for outward faces.
double enclosedVolume(const std::vector<Face>& faces, const std::vector<double>& xyz) {
    auto point = [&](int64_t id) { return Point{xyz[3 * id], xyz[3 * id + 1], xyz[3 * id + 2]}; };
    double sixTimes = 0.0;
    for (const Face& face : faces) {
        for (size_t k = 1; k + 1 < face.size(); ++k) {
            sixTimes += dot(point(face[0]), cross(point(face[k]), point(face[k + 1])));
        }
    }
    return sixTimes / 6.0;
}

std::vector<Face> facesOfPolyhedronStream(const VtkCells& cells, size_t cell) {
    int64_t position = 0;
    for (size_t c = cell; c-- > 0;) {
        if (cells.faceOffsets[c] >= 0) {
            position = cells.faceOffsets[c];
            break;
        }
    }
    std::vector<Face> faces(static_cast<size_t>(cells.faces[position++]));
    for (Face& face : faces) {
        const int64_t count = cells.faces[position++];
        face.assign(cells.faces.begin() + position, cells.faces.begin() + position + count);
        position += count;
    }
    return faces;
}

// The volume of cell c in VTK's own convention.
double vtkCellVolume(const VtkCells& cells, size_t c, const std::vector<double>& xyz) {
    const int64_t begin = c == 0 ? 0 : cells.offsets[c - 1];
    const Face nodes(cells.connectivity.begin() + begin, cells.connectivity.begin() + cells.offsets[c]);
    if (cells.types[c] == vtk::POLYHEDRON) return enclosedVolume(facesOfPolyhedronStream(cells, c), xyz);
    std::vector<Face> faces = vtkCellFaces().at(cells.types[c]);
    for (Face& face : faces) {
        for (int64_t& local : face) local = nodes[static_cast<size_t>(local)];
    }
    return enclosedVolume(faces, xyz);
}

struct HandBuiltGroup {
    std::vector<double> xyz;
    std::vector<VXPElementType> types;
    std::vector<int> connectivity;
    int addPoint(double x, double y, double z) {
        xyz.insert(xyz.end(), {x, y, z});
        return static_cast<int>(xyz.size() / 3 - 1);
    }
    void addElement(VXPElementType type, std::vector<int> nodes) {
        types.push_back(type);
        connectivity.insert(connectivity.end(), nodes.begin(), nodes.end());
    }
};

// Unit cube corners shifted by x0, numbered 0 (0,0,0), 1 (1,0,0), 2 (1,1,0), 3 (0,1,0), 4-7 above.
std::vector<int> addCube(HandBuiltGroup& group, double x0) {
    std::vector<int> ids;
    for (double z : {0.0, 1.0}) {
        for (auto xy : {std::make_pair(0.0, 0.0), {1.0, 0.0}, {1.0, 1.0}, {0.0, 1.0}}) {
            ids.push_back(group.addPoint(x0 + xy.first, xy.second, z));
        }
    }
    return ids;
}

// One element of every volume shape, in the provider's node conventions, side by side:
// hexahedron (volume 1), pentahedron (1/2), tetrahedron (1/6), pyramid (1/3) and a polyhedron
// (a cube whose top is split into two triangles, volume 1).
struct VolumeFixture {
    RecordingGeometry geometry;
    std::vector<double> expectedVolumes = {1.0, 0.5, 1.0 / 6.0, 1.0 / 3.0, 1.0};

    VolumeFixture() {
        HandBuiltGroup group;
        const std::vector<int> cube = addCube(group, 0.0);
        // Base 1 2 3 0 runs counter-clockwise seen from above: its normal points to the top face.
        group.addElement(VXP_HEXAHEDRON, {cube[1], cube[2], cube[3], cube[0], cube[5], cube[6], cube[7], cube[4]});

        const int b0 = group.addPoint(2, 0, 0), b1 = group.addPoint(3, 0, 0), b2 = group.addPoint(2, 1, 0);
        const int t0 = group.addPoint(2, 0, 1), t1 = group.addPoint(3, 0, 1), t2 = group.addPoint(2, 1, 1);
        group.addElement(VXP_PENTAHEDRON, {b0, b1, b2, t0, t1, t2});

        const int p0 = group.addPoint(4, 0, 0), p1 = group.addPoint(5, 0, 0), p2 = group.addPoint(4, 1, 0),
                  p3 = group.addPoint(4, 0, 1);
        // Apex first, (p1-p0) x (p2-p0) . (p3-p0) > 0 for the order 3 0 2 1.
        group.addElement(VXP_TETRAHEDRON, {p3, p0, p2, p1});

        const int q0 = group.addPoint(6, 0, 0), q1 = group.addPoint(7, 0, 0), q2 = group.addPoint(7, 1, 0),
                  q3 = group.addPoint(6, 1, 0), apex = group.addPoint(6.5, 0.5, 1);
        group.addElement(VXP_PYRAMID, {q0, q1, q2, q3, apex});

        const std::vector<int> poly = addCube(group, 8.0);
        group.addElement(VXP_POLYGON_OR_POLYHEDRON, poly);  // its distinct nodes, sorted
        const std::vector<std::vector<int>> outwardFaces = {{0, 3, 2, 1}, {4, 5, 6},    {4, 6, 7},   {0, 1, 5, 4},
                                                            {3, 7, 6, 2}, {0, 4, 7, 3}, {1, 2, 6, 5}};
        std::vector<uint8_t> nodesPerFace;
        std::vector<int> faceNodes;
        for (const auto& face : outwardFaces) {
            nodesPerFace.push_back(static_cast<uint8_t>(face.size()));
            for (int local : face) faceNodes.push_back(poly[local]);
        }

        VXPNodeGroup* nodes = geometry.addNodeGroup();
        nodes->setNodes(group.xyz.data(), group.xyz.size() / 3);
        VXPElementGroup* elements = geometry.addElementGroup(nodes->index());
        const std::vector<int> ids = {10, 11, 12, 13, 14};
        elements->setElements(group.types.data(), group.types.size(), group.connectivity.data(),
                              group.connectivity.size(), ids.data());
        const uint8_t polyNodes[] = {8};
        const uint8_t polyFaces[] = {7};
        elements->setPolyhedra(polyNodes, polyFaces, 1, nodesPerFace.data(), nodesPerFace.size(), faceNodes.data(),
                               faceNodes.size());
    }
};

// A surface group of a quadrilateral, a triangle and a pentagon (type 17 with one face).
void addSurfaceGroup(RecordingGeometry& geometry) {
    HandBuiltGroup group;
    for (auto xy : {std::make_pair(0.0, 0.0),
                    {1.0, 0.0},
                    {1.0, 1.0},
                    {0.0, 1.0},
                    {2.0, 0.0},
                    {3.0, 0.0},
                    {3.5, 1.0},
                    {2.5, 2.0},
                    {1.5, 1.0}}) {
        group.addPoint(xy.first, xy.second, 0.0);
    }
    group.addElement(VXP_QUADRILATERAL, {0, 1, 2, 3});
    group.addElement(VXP_TRIANGLE, {1, 4, 2});
    group.addElement(VXP_POLYGON_OR_POLYHEDRON, {4, 5, 6, 7, 8});
    VXPNodeGroup* nodes = geometry.addNodeGroup();
    nodes->setNodes(group.xyz.data(), group.xyz.size() / 3);
    VXPElementGroup* elements = geometry.addElementGroup(nodes->index());
    elements->setElements(group.types.data(), 3, group.connectivity.data(), group.connectivity.size(), nullptr);
    const uint8_t five[] = {5};
    const uint8_t one[] = {1};
    const int pentagon[] = {4, 5, 6, 7, 8};
    elements->setPolyhedra(five, one, 1, five, 1, pentagon, 5);
    const int partIds[] = {3, 3, 3};
    elements->setElementPartIds(partIds, 3);
}

// ---- reading a written .vtu back ----------------------------------------------------------

struct AppendedArray {
    std::string type;
    int components = 1;
    std::string bytes;
};

std::string attributeOf(const std::string& tag, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const size_t start = tag.find(key);
    if (start == std::string::npos) return std::string();
    const size_t valueStart = start + key.size();
    return tag.substr(valueStart, tag.find('"', valueStart) - valueStart);
}

// The self-closing DataArray tags of an XML text, in order.
std::vector<std::string> dataArrayTags(const std::string& xml) {
    std::vector<std::string> tags;
    for (size_t start = xml.find("<DataArray "); start != std::string::npos;
         start = xml.find("<DataArray ", start + 1)) {
        tags.push_back(xml.substr(start, xml.find("/>", start) + 2 - start));
    }
    return tags;
}

// Every DataArray of the file by name, with its bytes taken from the appended block its offset names.
std::map<std::string, AppendedArray> readAppendedArrays(const std::string& file) {
    const size_t dataStart = file.find("<AppendedData encoding=\"raw\">");
    const size_t underscore = file.find('_', dataStart);
    EXPECT_NE(dataStart, std::string::npos);
    const std::string xml = file.substr(0, dataStart);
    std::map<std::string, AppendedArray> arrays;
    for (const std::string& tag : dataArrayTags(xml)) {
        const size_t offset = std::stoull(attributeOf(tag, "offset"));
        uint64_t size = 0;
        std::memcpy(&size, file.data() + underscore + 1 + offset, sizeof(size));
        AppendedArray array;
        array.type = attributeOf(tag, "type");
        const std::string components = attributeOf(tag, "NumberOfComponents");
        array.components = components.empty() ? 1 : std::stoi(components);
        array.bytes = file.substr(underscore + 1 + offset + sizeof(size), size);
        EXPECT_EQ(array.bytes.size(), size) << "block of " << attributeOf(tag, "Name") << " runs past the file";
        arrays[attributeOf(tag, "Name")] = array;
    }
    return arrays;
}

template <typename T>
std::vector<T> valuesOf(const AppendedArray& array) {
    std::vector<T> values(array.bytes.size() / sizeof(T));
    std::memcpy(values.data(), array.bytes.data(), values.size() * sizeof(T));
    return values;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(HostVtkCells, EveryVolumeShapeHasPositiveVolumeInVtkConvention) {
    VolumeFixture fixture;
    std::vector<std::string> problems;
    const VtkCells cells = convertElementGroup(fixture.geometry.elementGroup(0), &problems);
    ASSERT_TRUE(problems.empty()) << problems.front();
    ASSERT_EQ(cells.count(), 5u);
    EXPECT_EQ(cells.types,
              (std::vector<uint8_t>{vtk::HEXAHEDRON, vtk::WEDGE, vtk::TETRA, vtk::PYRAMID, vtk::POLYHEDRON}));
    const std::vector<double>& xyz = fixture.geometry.nodeGroup(0).coordinates();
    for (size_t c = 0; c < cells.count(); ++c) {
        EXPECT_NEAR(vtkCellVolume(cells, c, xyz), fixture.expectedVolumes[c], 1e-12)
            << "cell type " << int(cells.types[c]);
    }
}

TEST(HostVtkCells, WedgeBaseIsReversedAndOtherShapesKeepTheirOrder) {
    EXPECT_EQ(vtkNodeOrder(VXP_PENTAHEDRON), (std::vector<int>{0, 2, 1, 3, 5, 4}));
    EXPECT_EQ(vtkNodeOrder(VXP_HEXAHEDRON), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(vtkNodeOrder(VXP_TETRAHEDRON), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(vtkNodeOrder(VXP_PYRAMID), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(vtkNodeOrder(VXP_POLYGON_OR_POLYHEDRON).empty());
    EXPECT_EQ(vtkCellType(VXP_QUADRILATERAL), vtk::QUAD);
    EXPECT_EQ(vtkCellType(VXP_TRIANGLE), vtk::TRIANGLE);
}

TEST(HostVtkCells, PolyhedronFaceStreamsAndOffsets) {
    VolumeFixture fixture;
    const VtkCells cells = convertElementGroup(fixture.geometry.elementGroup(0), nullptr);
    ASSERT_EQ(cells.faceOffsets.size(), 5u);
    EXPECT_EQ(cells.faceOffsets[0], -1);
    EXPECT_EQ(cells.faceOffsets[3], -1);
    // The face count, then 7 node counts, then the nodes of 5 quadrilaterals and 2 triangles.
    EXPECT_EQ(cells.faceOffsets[4], static_cast<int64_t>(cells.faces.size()));
    EXPECT_EQ(cells.faces.size(), 1u + 7u + 5u * 4u + 2u * 3u);
    EXPECT_EQ(cells.faces[0], 7);
    // The polyhedron's point list is its 8 distinct nodes.
    EXPECT_EQ(cells.offsets[4] - cells.offsets[3], 8);
}

TEST(HostVtkCells, SurfaceGroupKeepsFacesAsPolygons) {
    RecordingGeometry geometry;
    addSurfaceGroup(geometry);
    const VtkCells cells = convertElementGroup(geometry.elementGroup(0), nullptr);
    EXPECT_EQ(cells.types, (std::vector<uint8_t>{vtk::QUAD, vtk::TRIANGLE, vtk::POLYGON}));
    EXPECT_EQ(cells.connectivity, (std::vector<int64_t>{0, 1, 2, 3, 1, 4, 2, 4, 5, 6, 7, 8}));
    EXPECT_EQ(cells.offsets, (std::vector<int64_t>{4, 7, 12}));
    EXPECT_TRUE(cells.faceOffsets.empty());  // no polyhedra, no face arrays
}

TEST(HostVtkCells, InconsistentGroupGivesNoCellsButItsProblems) {
    RecordingGeometry geometry;
    VXPNodeGroup* nodes = geometry.addNodeGroup();
    const double xyz[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    nodes->setNodes(xyz, 3);
    VXPElementGroup* elements = geometry.addElementGroup(0);
    const int outside[] = {0, 1, 7};
    elements->setElementsOfType(VXP_TRIANGLE, 1, outside, 3, nullptr);
    const VXPElementType polygon = VXP_POLYGON_OR_POLYHEDRON;
    geometry.addElementGroup(0)->setElements(&polygon, 1, outside, 3, nullptr);  // no polyhedron row

    std::vector<std::string> problems;
    const VtkPiece outsidePiece = buildGeometryPiece(geometry, 0, &problems);
    EXPECT_EQ(outsidePiece.cells.count(), 0u);
    EXPECT_EQ(outsidePiece.pointCount(), 3u);
    ASSERT_EQ(problems.size(), 1u);
    const VtkPiece missingRow = buildGeometryPiece(geometry, 1, &problems);
    EXPECT_EQ(missingRow.cells.count(), 0u);
    EXPECT_EQ(problems.size(), 2u);
}

TEST(HostVtu, AppendedBlocksMatchTheirOffsetsAndContents) {
    VolumeFixture fixture;
    addSurfaceGroup(fixture.geometry);
    VtkPiece piece = buildGeometryPiece(fixture.geometry, 0, nullptr);
    piece.cellData.push_back({"Stress \"xx\" <&>", 6, std::vector<double>(30, 1.5)});
    std::ostringstream out;
    writeVtu(out, piece);
    const std::string file = out.str();

    EXPECT_NE(file.find("header_type=\"UInt64\""), std::string::npos);
    EXPECT_NE(file.find("NumberOfPoints=\"31\" NumberOfCells=\"5\""), std::string::npos);
    EXPECT_NE(file.find("Name=\"Stress &quot;xx&quot; &lt;&amp;&gt;\""), std::string::npos);
    const std::string ending = "\n</AppendedData>\n</VTKFile>\n";
    EXPECT_EQ(file.substr(file.size() - ending.size()), ending);

    const std::map<std::string, AppendedArray> arrays = readAppendedArrays(file);
    EXPECT_EQ(valuesOf<double>(arrays.at("Points")), fixture.geometry.nodeGroup(0).coordinates());
    EXPECT_EQ(arrays.at("Points").components, 3);
    EXPECT_EQ(valuesOf<int64_t>(arrays.at("connectivity")), piece.cells.connectivity);
    EXPECT_EQ(valuesOf<int64_t>(arrays.at("offsets")), piece.cells.offsets);
    EXPECT_EQ(valuesOf<uint8_t>(arrays.at("types")), piece.cells.types);
    EXPECT_EQ(valuesOf<int64_t>(arrays.at("faces")), piece.cells.faces);
    EXPECT_EQ(valuesOf<int64_t>(arrays.at("faceoffsets")), piece.cells.faceOffsets);
    EXPECT_EQ(valuesOf<int32_t>(arrays.at("ElementId")), (std::vector<int32_t>{10, 11, 12, 13, 14}));
    EXPECT_EQ(arrays.at("Stress &quot;xx&quot; &lt;&amp;&gt;").components, 6);
    EXPECT_EQ(arrays.count("PartId"), 0u);  // no part ids were sent for the volume

    const VtkPiece surface = buildGeometryPiece(fixture.geometry, 1, nullptr);
    std::ostringstream surfaceOut;
    writeVtu(surfaceOut, surface);
    EXPECT_EQ(surfaceOut.str().find("faceoffsets"), std::string::npos);
    EXPECT_EQ(valuesOf<int32_t>(readAppendedArrays(surfaceOut.str()).at("PartId")), (std::vector<int32_t>{3, 3, 3}));
}

TEST(HostVtu, CollectionsListTheirFiles) {
    std::ostringstream vtm;
    writeVtm(vtm, {{"inlet", "case_1/inlet.vtu"}, {"a&b", "case_1/a_b.vtu"}});
    EXPECT_NE(vtm.str().find("<DataSet index=\"1\" name=\"a&amp;b\" file=\"case_1/a_b.vtu\"/>"), std::string::npos);
    std::ostringstream pvd;
    writePvd(pvd, {{0.25, "case_1.vtm"}, {1e-7, "case_2.vtm"}});
    EXPECT_NE(pvd.str().find("timestep=\"0.25\""), std::string::npos);
    EXPECT_NE(pvd.str().find("timestep=\"9.9999999999999995e-08\" group=\"\" part=\"0\" file=\"case_2.vtm\""),
              std::string::npos);
}

TEST(HostVtkResults, ValuesGoToCellsOrPointsWithUndefinedAsNaN) {
    VolumeFixture fixture;
    VtkPiece piece = buildGeometryPiece(fixture.geometry, 0, nullptr);
    RecordingResultValueGroup perCell;
    const double cellValues[] = {1, UNDEFINED_VALUE, 3, 4, 5};
    perCell.setValues(cellValues, 1, 5);
    EXPECT_EQ(addResultArray(piece, "p", true, perCell), "");
    ASSERT_EQ(piece.cellData.size(), 1u);
    EXPECT_TRUE(std::isnan(piece.cellData[0].values[1]));
    EXPECT_EQ(piece.cellData[0].values[4], 5.0);

    RecordingResultValueGroup perPoint;
    const std::vector<double> pointValues(3 * piece.pointCount(), 2.0);
    perPoint.setValues(pointValues.data(), 3, piece.pointCount());
    EXPECT_EQ(addResultArray(piece, "U", false, perPoint), "");
    EXPECT_EQ(piece.pointData.at(0).components, 3);
    EXPECT_NE(addResultArray(piece, "U", true, perPoint), "");  // 27 tuples for 5 cells
    EXPECT_EQ(piece.cellData.size(), 1u);
}

TEST(HostVtkResults, DisplacedPositionsReplacePointsExceptUndefinedOnes) {
    RecordingGeometry geometry;
    addSurfaceGroup(geometry);
    VtkPiece piece = buildGeometryPiece(geometry, 0, nullptr);
    std::vector<double> positions(piece.points);
    for (size_t i = 2; i < positions.size(); i += 3) positions[i] = 5.0;
    positions[3] = UNDEFINED_VALUE;  // point 1 keeps its place
    RecordingResultValueGroup group;
    group.setValues(positions.data(), 3, piece.pointCount());
    EXPECT_EQ(applyDisplacedPositions(piece, group), "");
    EXPECT_EQ(piece.points[2], 5.0);
    EXPECT_EQ(piece.points[3], 1.0);
    EXPECT_EQ(piece.points[5], 0.0);
    RecordingResultValueGroup tooShort;
    tooShort.setValues(positions.data(), 3, 2);
    EXPECT_NE(applyDisplacedPositions(piece, tooShort), "");
}

namespace {

// Answers result requests the way the provider lays out value groups: one per volume and patch,
// then one per sampled surface; the displacement (result 3) only for volumes and patches.
class FakeProvider final : public VXPDataProvider {
public:
    explicit FakeProvider(const RecordingGeometry& geometry) : m_geometry(geometry) {}
    bool init(const VXPString&, const VXPInitOptions&, VXPError*) override { return true; }
    void close() override {}
    bool getMetaData(VXPMetaData*) override { return true; }
    bool getGeometry(const VXPGeometrySpec&, VXPGeometry*) override { return true; }
    bool getSet(int, VXPSet*) override { return false; }
    bool getRigidBodyTransformations(int, VXPRigidBodyTransformations*) override { return false; }
    bool getElementVisibilityResult(size_t, int, VXPVisibilityResult*) override { return false; }
    bool pollForChanges(VXPChangeNotifications*) override { return true; }
    bool handleClientRequest(const VXPClientRequest&, VXPClientResponse*, VXPChangeNotifications*) override {
        return false;
    }

    bool getResult(const VXPResultSpec& spec, VXPResult* result) override {
        if (spec.resultId() == 9) return false;
        // Groups 0 fluid, 1 inlet, 2 face zone (no values), 3 cut surface.
        const std::vector<size_t> groups =
            spec.resultId() == 3 ? std::vector<size_t>{0, 1} : std::vector<size_t>{0, 1, 3};
        for (size_t g : groups) {
            const RecordingNodeGroup& nodes = m_geometry.nodeGroup(m_geometry.elementGroup(g).nodeGroupIndex());
            std::vector<double> values;
            if (spec.resultId() == 3) {
                values = nodes.coordinates();
                for (size_t i = 2; i < values.size(); i += 3) values[i] += spec.stateId();
                result->addValueGroup()->setValues(values.data(), 3, nodes.nodeCount());
            } else {
                values.assign(nodes.nodeCount(), 100.0 * spec.stateId() + static_cast<double>(g));
                result->addValueGroup()->setValues(values.data(), 1, nodes.nodeCount());
            }
        }
        return true;
    }

private:
    const RecordingGeometry& m_geometry;
};

void addTriangleGroup(RecordingGeometry& geometry, int partId) {
    VXPNodeGroup* nodes = geometry.addNodeGroup();
    const double xyz[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    nodes->setNodes(xyz, 3);
    VXPElementGroup* elements = geometry.addElementGroup(nodes->index());
    const int triangle[] = {0, 1, 2};
    elements->setElementsOfType(VXP_TRIANGLE, 1, triangle, 3, nullptr);
    elements->setElementPartIds(&partId, 1);
}

struct ExportFixture {
    RecordingMetaData metaData;
    RecordingGeometry geometry;
    std::filesystem::path folder;

    ExportFixture() {
        VXPGeometryInfo* info = metaData.geometryInfo();
        info->addPart(1, VXPString::fromUtf8("fluid"));
        VXPElementGroupInfo* inlet = info->elementGroupInfo();
        inlet->addPart(2, VXPString::fromUtf8("inlet"));
        inlet->setParentPart(2, 1);
        inlet->setPartFlag(2, 1);
        VXPElementGroupInfo* zone = info->elementGroupInfo();
        zone->addPart(3, VXPString::fromUtf8("baffle [FZ]"));
        zone->setParentPart(3, 1);
        zone->setPartAttribute(3, VXPString::fromUtf8("type"), VXPString::fromUtf8("FaceZone"));
        VXPElementGroupInfo* surface = info->elementGroupInfo();
        surface->addPart(4, VXPString::fromUtf8("cut[Surf]"));
        surface->setPartAttribute(4, VXPString::fromUtf8("type"), VXPString::fromUtf8("SampledSurface"));
        metaData.addState(1, VXPString::fromUtf8("Time 0 #1"), 0.0);
        metaData.addState(2, VXPString::fromUtf8("Time 0.5 #2"), 0.5);
        metaData.addResult(0, 1, VXPString::fromUtf8("Pressure"), false);
        metaData.addResult(2, 3, VXPString::fromUtf8("Displacement"), false)->setDisplacementMode(1);
        metaData.addResult(0, 9, VXPString::fromUtf8("Broken"), false);

        VolumeFixture volume;  // the fluid volume: five shapes without part ids
        VXPNodeGroup* nodes = geometry.addNodeGroup();
        const RecordingNodeGroup& source = volume.geometry.nodeGroup(0);
        nodes->setNodes(source.coordinates().data(), source.nodeCount());
        const RecordingElementGroup& cells = volume.geometry.elementGroup(0);
        VXPElementGroup* elements = geometry.addElementGroup(nodes->index());
        elements->setElements(cells.types().data(), cells.elementCount(), cells.connectivity().data(),
                              cells.connectivity().size(), nullptr);
        elements->setPolyhedra(cells.polyhedronNodeCounts().data(), cells.polyhedronFaceCounts().data(), 1,
                               cells.faceNodeCounts().data(), cells.faceNodeCounts().size(), cells.faceNodes().data(),
                               cells.faceNodes().size());
        addTriangleGroup(geometry, 2);
        addTriangleGroup(geometry, 3);
        addTriangleGroup(geometry, 4);

        folder = std::filesystem::temp_directory_path() /
                 ("vxphost_export_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::remove_all(folder);
    }
    ~ExportFixture() { std::filesystem::remove_all(folder); }

    ExportRequest request(std::vector<int> states, std::vector<int> resultIds) const {
        ExportRequest request;
        request.outputFolder = folder.string();
        request.caseName = "run";
        request.stateIds = std::move(states);
        for (int id : resultIds) request.results.push_back(metaData.findResult(id));
        return request;
    }
};

}  // namespace

TEST(HostCaseExport, WritesPiecesPerStateWithResultsAndDisplacedPoints) {
    ExportFixture fixture;
    FakeProvider provider(fixture.geometry);
    std::vector<std::string> steps;
    const ExportReport report =
        exportCase(provider, fixture.metaData, fixture.geometry, fixture.request({1, 2}, {1, 3}),
                   [&](const std::string& step) { steps.push_back(step); });
    EXPECT_TRUE(report.ok);
    EXPECT_TRUE(report.problems.empty()) << report.problems.front();
    EXPECT_EQ(report.files.size(), 2u * 5u + 1u);
    EXPECT_EQ(steps.size(), 4u);
    const std::filesystem::path& folder = fixture.folder;
    for (const char* file : {"run.pvd", "run_1.vtm", "run_2.vtm", "run_2/fluid.vtu", "run_2/inlet.vtu",
                             "run_2/baffle_FZ.vtu", "run_2/cut_Surf.vtu"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;
    }
    EXPECT_NE(fileText(folder / "run.pvd").find("timestep=\"0.5\" group=\"\" part=\"0\" file=\"run_2.vtm\""),
              std::string::npos);
    EXPECT_NE(fileText(folder / "run_1.vtm").find("name=\"baffle [FZ]\" file=\"run_1/baffle_FZ.vtu\""),
              std::string::npos);

    const auto inlet = readAppendedArrays(fileText(folder / "run_2" / "inlet.vtu"));
    EXPECT_EQ(valuesOf<double>(inlet.at("Pressure")), std::vector<double>(3, 201.0));
    EXPECT_EQ(valuesOf<double>(inlet.at("Points"))[2], 2.0);  // moved up by the state id
    EXPECT_EQ(inlet.count("Displacement"), 0u);
    const auto zone = readAppendedArrays(fileText(folder / "run_2" / "baffle_FZ.vtu"));
    EXPECT_EQ(zone.count("Pressure"), 0u);
    EXPECT_EQ(valuesOf<double>(zone.at("Points"))[2], 0.0);
    const auto surface = readAppendedArrays(fileText(folder / "run_1" / "cut_Surf.vtu"));
    EXPECT_EQ(valuesOf<double>(surface.at("Pressure")), std::vector<double>(3, 103.0));
    const auto fluid = readAppendedArrays(fileText(folder / "run_1" / "fluid.vtu"));
    EXPECT_EQ(valuesOf<uint8_t>(fluid.at("types")).back(), vtk::POLYHEDRON);
}

TEST(HostCaseExport, WithoutStatesTheGeometryIsWrittenOnce) {
    ExportFixture fixture;
    FakeProvider provider(fixture.geometry);
    const ExportReport report = exportCase(provider, fixture.metaData, fixture.geometry, fixture.request({}, {1}));
    EXPECT_TRUE(report.ok);
    EXPECT_EQ(report.files.size(), 4u + 1u);
    EXPECT_TRUE(std::filesystem::exists(fixture.folder / "run.vtm"));
    EXPECT_TRUE(std::filesystem::exists(fixture.folder / "run" / "inlet.vtu"));
    EXPECT_FALSE(std::filesystem::exists(fixture.folder / "run.pvd"));
}

TEST(HostCaseExport, AFailedResultRequestMakesTheExportFailButWritesTheRest) {
    ExportFixture fixture;
    FakeProvider provider(fixture.geometry);
    const ExportReport report = exportCase(provider, fixture.metaData, fixture.geometry, fixture.request({2}, {9, 1}));
    EXPECT_FALSE(report.ok);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("Broken"), std::string::npos);
    const auto inlet = readAppendedArrays(fileText(fixture.folder / "run_2" / "inlet.vtu"));
    EXPECT_EQ(inlet.count("Pressure"), 1u);
}
