#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include <tbb/task_arena.h>

#include "core/Undefined.h"
#include "mesh/OFPolymesh.h"
#include "mesh/OFSurfaceGroups.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ProviderHarness.h"
#include "plugin/OpenFoamProvider.h"

using namespace testsupport;
using vxphost::NotificationCall;
using vxphost::NotificationKind;

namespace {

const std::string ZONES =
    "2\n(\nleft\n{\n    type cellZone;\ncellLabels      List<label> 2(0 1)\n;\n}\n"
    "right\n{\n    type cellZone;\ncellLabels      List<label> 2(1 3)\n;\n}\n)\n";
const std::string FACE_ZONES =
    "1\n(\nmiddle\n{\n    type faceZone;\nfaceLabels      List<label> 2(0 1)\n;\nflipMap         List<bool> 2{0};\n}\n)\n";

std::string scalarField(const std::string& name, size_t cells, double value, const Mesh& mesh) {
    std::vector<PatchField> patches;
    for (const Patch& p : mesh.patches) patches.push_back({p.name, "type zeroGradient;"});
    return fieldFile("volScalarField", name, "[0 2 -2 0 0 0 0]", std::vector<double>(cells, value), 1, patches, {});
}

// A 2x2x1 hexahedral case with two cell zones, one face zone and the given time folders.
class ProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeTempFolder("provider");
        mesh = hexBlockMesh(2, 2, 1);
        writeCaseSkeleton(dir);
        writePolyMesh(dir + "/constant/polyMesh", mesh);
        WriteOptions ascii;
        writeFile(dir + "/constant/polyMesh/cellZones", foamFile("regIOobject", "cellZones", ZONES, ascii));
        writeFile(dir + "/constant/polyMesh/faceZones", foamFile("regIOobject", "faceZones", FACE_ZONES, ascii));
    }
    void TearDown() override { removeFolder(dir); }

    void writeTime(const std::string& time, double p) {
        writeFile(dir + "/" + time + "/p", scalarField("p", 4, p, mesh));
    }

    std::string dir;
    Mesh mesh;
};

}  // namespace

TEST_F(ProviderTest, PublishesGlobalPartIdsForZonesPatchesAndSurfaces) {
    writeTime("0", 1.0);
    writeFile(dir + "/postProcessing/sampleSurface/0/cut/points", "0\n()\n");
    ProviderHarness host;
    host.options().setBool("LOAD_FACE_ZONES", true);
    ASSERT_TRUE(host.open(dir));
    std::map<int, std::string> names;
    for (const auto& part : host.metaData().parts()) names[part.id] = part.name;
    // The volume part 1, its cell zones 2 and 3, six patches 4 to 9, the face zone 10, then the surface.
    EXPECT_EQ(names[1], "default_region");
    EXPECT_EQ(names[2], "left");
    EXPECT_EQ(names[3], "right");
    EXPECT_EQ(names[4], "xmin");
    EXPECT_EQ(names[9], "zmax");
    EXPECT_EQ(names[10], "middle [FZ]");
    EXPECT_EQ(names[11], "cut[Surf]");
    const auto* patch = host.metaData().findPart(4);
    ASSERT_TRUE(patch);
    EXPECT_EQ(patch->parent, 1);
    EXPECT_EQ(patch->flag, 1);
    ASSERT_TRUE(patch->attribute("type"));
    EXPECT_EQ(*patch->attribute("type"), "wall");
    EXPECT_EQ(*host.metaData().findPart(2)->attribute("type"), "CellZone");
    EXPECT_EQ(*host.metaData().findPart(11)->attribute("type"), "SampledSurface");
    EXPECT_FALSE(host.metaData().findPart(11)->parent.has_value());
    EXPECT_EQ(host.metaData().findPart(1)->via, vxphost::PartVia::ElementGroup);
}

TEST_F(ProviderTest, ProblemInfoAndResultIdsAcrossStates) {
    writeTime("0", 1.0);
    {
        ProviderHarness host;
        ASSERT_TRUE(host.open(dir));
        ASSERT_TRUE(host.metaData().problemInfo().has_value());
        EXPECT_EQ(host.metaData().problemInfo()->value1, 4);
        EXPECT_EQ(host.metaData().problemInfo()->value2, 0);
        EXPECT_EQ(host.metaData().problemInfo()->description, "Single-Region Simulation");
    }
    writeTime("1", 2.0);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    EXPECT_EQ(host.metaData().problemInfo()->value2, 4);
    ASSERT_EQ(host.metaData().states().size(), 2u);
    // One id per result over both states: p and its node average.
    ASSERT_EQ(host.metaData().results().size(), 2u);
    EXPECT_EQ(host.metaData().results()[0].name, "Pressure");
    EXPECT_TRUE(host.metaData().results()[0].elementResult);
    EXPECT_EQ(host.metaData().results()[1].name, "Pressure [node]");
    EXPECT_FALSE(host.metaData().results()[1].elementResult);
    EXPECT_EQ(host.metaData().results()[0].unit, "m2 s-2 ");
}

TEST(ProviderNames, NonAsciiNamesReachTheHostAsTheyAreWritten) {
    // UTF-8 in the case path, a patch, a cell zone and a field name: the host gets the same bytes.
    const std::string base = makeTempFolder("names");
    const std::string dir = base + "/fall_\xC3\xA4\xC3\xB6";
    Mesh mesh = hexBlockMesh(2, 2, 1);
    mesh.patches[0].name = "deckelWand_\xC3\xA4";
    writeCaseSkeleton(dir);
    writePolyMesh(dir + "/constant/polyMesh", mesh);
    const std::string zones = "1\n(\nzone_\xE2\x82\xAC\n{\n    type cellZone;\ncellLabels List<label> 2(0 1);\n}\n)\n";
    writeFile(dir + "/constant/polyMesh/cellZones", foamFile("regIOobject", "cellZones", zones, {}));
    writeFile(dir + "/0/druck_\xC3\xB6", scalarField("druck_\xC3\xB6", 4, 3.5, mesh));

    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    std::vector<std::string> names;
    for (const auto& part : host.metaData().parts()) names.push_back(part.name);
    EXPECT_NE(std::find(names.begin(), names.end(), "deckelWand_\xC3\xA4"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "zone_\xE2\x82\xAC"), names.end());
    const auto* result = host.resultNamed("druck_\xC3\xB6");
    ASSERT_NE(result, nullptr);
    ASSERT_TRUE(host.geometry());
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.result(result->id, 1, &values));
    EXPECT_EQ(values.valueGroup(0).values().at(0), 3.5);
    removeFolder(base);
}

TEST_F(ProviderTest, GetSetDeliversTheCellsOfACellZone) {
    writeTime("0", 1.0);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    struct Set : VXPSet {
        void addElements(int g, int p, const int* indices, size_t count) override {
            geometry = g;
            part = p;
            cells.assign(indices, indices + count);
        }
        int geometry = -1, part = -1;
        std::vector<int> cells;
    } set;
    ASSERT_TRUE(host.provider()->getSet(2, &set));
    EXPECT_EQ(set.cells, (std::vector<int>{1, 3}));
    EXPECT_EQ(set.part, 0);
    LogCapture capture;
    EXPECT_FALSE(host.provider()->getSet(7, &set));
    EXPECT_TRUE(capture.contains(" Get Set with id=7 failure", 1));
}

TEST_F(ProviderTest, GeometryHasOnePairPerPieceAndZonePartIds) {
    writeTime("0", 1.0);
    ProviderHarness host;
    host.options().setBool("LOAD_FACE_ZONES", true);
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    const auto& g = host.geometryRecord();
    ASSERT_EQ(g.elementGroupCount(), 1u + 6u + 1u);
    const auto& volume = g.elementGroup(0);
    EXPECT_EQ(volume.elementCount(), 4u);
    // Cell 1 lies in both zones: the later zone wins.
    EXPECT_EQ(volume.partIds(), (std::vector<int>{2, 3, 1, 3}));
    EXPECT_EQ(g.nodeGroupOf(volume)->nodeCount(), 18u);
    EXPECT_EQ(g.elementGroup(1).partIds(), std::vector<int>(2, 4));
    EXPECT_EQ(g.elementGroup(7).elementCount(), 2u);
    EXPECT_EQ(g.elementGroup(7).partIds(), std::vector<int>(2, 10));
}

TEST_F(ProviderTest, WithoutBoundaryPartsNoPatchGroupsAreMade) {
    writeTime("0", 1.0);
    ProviderHarness host;
    host.options().setBool("LOAD_BC_PARTS", false);
    host.options().setBool("LOAD_CELL_ZONES", false);
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    ASSERT_EQ(host.geometryRecord().elementGroupCount(), 1u);
    EXPECT_FALSE(host.geometryRecord().elementGroup(0).hasPartIds());
    EXPECT_EQ(host.metaData().findPart(1)->via, vxphost::PartVia::Geometry);
}

TEST_F(ProviderTest, APatchOutsideTheMeshIsSkippedAndTheRestDelivered) {
    writeTime("0", 1.0);
    Mesh broken = mesh;
    broken.patches[0].startFace = 1000;
    writeFile(dir + "/constant/polyMesh/boundary",
              foamFile("polyBoundaryMesh", "boundary", boundaryBody(broken.patches), {}));
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    LogCapture capture;
    ASSERT_TRUE(host.geometry());
    EXPECT_TRUE(capture.contains("lies outside the mesh", 1));
    EXPECT_EQ(host.geometryRecord().elementGroup(0).elementCount(), 4u);
    EXPECT_EQ(host.geometryRecord().elementGroup(1).elementCount(), 0u);
    EXPECT_EQ(host.geometryRecord().elementGroup(2).elementCount(), 2u);
}

TEST(ProviderPatches, EveryPatchIsAttemptedWhenOneFails) {
    // The parallel loop hands ranges of patches to one task: a broken patch must not take the
    // patches after it in the same range down with it. Every third patch is broken, and one
    // thread makes the ranges hold several patches.
    const std::string dir = makeTempFolder("patches");
    Mesh mesh = hexBlockMesh(4, 4, 1);
    std::vector<Patch> patches;
    for (const Patch& side : mesh.patches) {
        for (int f = 0; f < side.nFaces; ++f) patches.push_back({side.name + std::to_string(f), "patch", side.startFace + f, 1});
    }
    for (size_t p = 0; p < patches.size(); p += 3) patches[p].startFace = 100000;
    mesh.patches = patches;
    writeCaseSkeleton(dir);
    writePolyMesh(dir + "/constant/polyMesh", mesh);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    LogCapture capture;
    tbb::task_arena oneThread(1);
    bool delivered = false;
    oneThread.execute([&] { delivered = host.geometry(); });
    EXPECT_TRUE(delivered);
    EXPECT_TRUE(capture.contains("lies outside the mesh", 1));
    EXPECT_EQ(capture.count(1), (patches.size() + 2) / 3);
    for (size_t p = 0; p < patches.size(); ++p) {
        EXPECT_EQ(host.geometryRecord().elementGroup(p + 1).elementCount(), p % 3 == 0 ? 0u : 1u) << p;
    }
    removeFolder(dir);
}

TEST_F(ProviderTest, CaseWithoutPartsDeliversNothingAndSucceeds) {
    std::filesystem::remove_all(dir + "/constant/polyMesh");
    writeTime("0", 1.0);
    std::filesystem::create_directories(dir + "/processorsX");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    EXPECT_EQ(host.metaData().problemInfo()->description, "Parallel Simulation\n");
    LogCapture capture;
    ASSERT_TRUE(host.geometry());
    EXPECT_EQ(host.geometryRecord().elementGroupCount(), 0u);
    EXPECT_TRUE(capture.contains(">>>> Get Geometry [Parallel] done."));
}

TEST_F(ProviderTest, PollingReportsNewRemovedAndRenumberedStates) {
    for (const char* t : {"0", "1", "2"}) writeTime(t, 1.0);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    std::vector<NotificationCall> calls;
    ASSERT_TRUE(host.poll(&calls));
    EXPECT_TRUE(calls.empty());

    writeTime("3", 1.0);
    ASSERT_TRUE(host.poll(&calls));
    // The new state, then the change from the ids of opening (1, 2, 3) to those by position.
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[0].kind, NotificationKind::Add);
    EXPECT_EQ(calls[0].id, 1004);
    EXPECT_EQ(calls[0].value, 3.0);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(calls[i].kind, NotificationKind::Remove);
        EXPECT_EQ(calls[i].id, static_cast<int>(i));
    }
    for (size_t i = 4; i < 7; ++i) {
        EXPECT_EQ(calls[i].kind, NotificationKind::Add);
        EXPECT_EQ(calls[i].id, 997 + static_cast<int>(i));
    }
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_EQ(calls.size(), 4u) << "the verification pass re-sends every state";
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[i].kind, NotificationKind::Update);
        EXPECT_EQ(calls[i].id, 1001 + static_cast<int>(i));
    }
    ASSERT_TRUE(host.poll(&calls));
    EXPECT_TRUE(calls.empty());

    // A result of the new state is numbered and can be fetched.
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.geometry());
    EXPECT_TRUE(host.result(1, 1004, &values));

    writeTime("0.5", 1.0);
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, NotificationKind::Update);
    EXPECT_EQ(calls[0].id, 1002);
    EXPECT_EQ(calls[0].value, 0.5);
    EXPECT_EQ(calls[1].kind, NotificationKind::Add);
    EXPECT_EQ(calls[1].id, 1005);
    EXPECT_EQ(calls[1].value, 3.0);
    host.poll(&calls);

    std::filesystem::remove_all(dir + "/1");
    ASSERT_TRUE(host.poll(&calls));
    // Four states remain: each is re-sent under its new id, then the id no state carries any more
    // goes, so the host does not keep a fifth state that cannot be read.
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[3].kind, NotificationKind::Update);
    EXPECT_EQ(calls[3].id, 1004);
    EXPECT_EQ(calls[3].value, 3.0);
    EXPECT_EQ(calls[4].kind, NotificationKind::Remove);
    EXPECT_EQ(calls[4].id, 1005);
    EXPECT_FALSE(host.result(1, 1005, &values));
    EXPECT_TRUE(host.result(1, 1004, &values));
    host.poll(&calls);

    std::filesystem::create_directories(dir + "/dynamicCode");
    ASSERT_TRUE(host.poll(&calls));
    EXPECT_TRUE(calls.empty());
    ASSERT_TRUE(host.poll(&calls));
    EXPECT_EQ(calls.size(), 4u) << "verification after the non-numeric folder";
    ASSERT_TRUE(host.poll(&calls));
    EXPECT_TRUE(calls.empty()) << "the folder is not reported again";

    std::filesystem::remove_all(dir + "/dynamicCode");
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_EQ(calls.size(), 4u);
    for (const NotificationCall& call : calls)
        EXPECT_EQ(call.kind, NotificationKind::Update) << "a folder without a state takes no state with it";
}

// A host keeps the states it was told of, by id. Every one of them must stay readable and give
// the values of its own time, whatever the polls renumber.
class HeldStates {
public:
    explicit HeldStates(ProviderHarness& host) : m_host(host), m_pressure(host.resultNamed("Pressure")->id) {
        for (const auto& state : host.metaData().states()) m_held[state.id] = state.value;
    }
    void pollTwice() {  // the change, then the verification pass
        std::vector<NotificationCall> calls;
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(m_host.poll(&calls));
            vxphost::applyStateCalls(calls, &m_held);
        }
    }
    // Each field file holds its time + 10.
    void expectEachReadsItsTime(const char* step, size_t count) {
        EXPECT_EQ(m_held.size(), count) << step;
        for (const auto& [id, time] : m_held) {
            vxphost::RecordingResult values;
            ASSERT_TRUE(m_host.result(m_pressure, id, &values)) << step << ": state " << id;
            EXPECT_EQ(values.valueGroup(0).values().front(), time + 10.0) << step << ": state " << id;
        }
    }

private:
    ProviderHarness& m_host;
    int m_pressure;
    vxphost::HostStates m_held;
};

TEST_F(ProviderTest, EveryStateTheHostHoldsReadsItsOwnTime) {
    for (const char* t : {"0", "1", "2"}) writeTime(t, std::stod(t) + 10.0);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    HeldStates held(host);
    held.expectEachReadsItsTime("opened", 3);
    writeTime("3", 13.0);
    held.pollTwice();
    held.expectEachReadsItsTime("appended", 4);
    writeTime("0.5", 10.5);
    held.pollTwice();
    held.expectEachReadsItsTime("inserted", 5);
    std::filesystem::remove_all(dir + "/1");
    held.pollTwice();
    held.expectEachReadsItsTime("removed", 4);

    // The first change after opening a removal.
    ProviderHarness reopened;
    ASSERT_TRUE(reopened.open(dir));
    ASSERT_TRUE(reopened.geometry());
    HeldStates heldAgain(reopened);
    std::filesystem::remove_all(dir + "/0");
    heldAgain.pollTwice();
    heldAgain.expectEachReadsItsTime("removed first", 3);
}

// A solver writes a time folder file by file: the case may be opened, or polled, before the
// latest folder's fields are there.
TEST_F(ProviderTest, FieldsWrittenAfterTheirFolderWasListedAreRead) {
    writeTime("0", 1.0);
    std::filesystem::create_directories(dir + "/1");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    const int pressure = host.resultNamed("Pressure")->id;
    const int nodePressure = host.resultNamed("Pressure [node]")->id;
    const auto expectPressure = [&](int state, double expected) {
        for (int id : {pressure, nodePressure}) {
            vxphost::RecordingResult values;
            ASSERT_TRUE(host.result(id, state, &values));
            ASSERT_FALSE(values.valueGroup(0).values().empty());
            for (double v : values.valueGroup(0).values()) EXPECT_EQ(v, expected) << "state " << state;
        }
    };
    ASSERT_EQ(host.metaData().states().size(), 2u);
    const int latest = host.metaData().states()[1].id;
    expectPressure(latest, vx::UNDEFINED_DOUBLE);
    writeTime("1", 7.0);
    expectPressure(latest, 7.0);

    std::filesystem::create_directories(dir + "/2");
    std::vector<NotificationCall> calls;
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].kind, NotificationKind::Add);
    expectPressure(calls[0].id, vx::UNDEFINED_DOUBLE);
    writeTime("2", 8.0);
    expectPressure(calls[0].id, 8.0);
    host.poll(&calls);
    ASSERT_TRUE(host.poll(&calls));
    EXPECT_TRUE(calls.empty()) << "the fields written are no change of the states";
}

TEST_F(ProviderTest, ResultIdsTheHostHoldsSurviveAStateInsertedBeforeOthers) {
    writeTime("0", 1.0);
    writeTime("2", 2.0);
    writeFile(dir + "/2/T", scalarField("T", 4, 300.0, mesh));
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    const int temperature = host.resultNamed("Temperature")->id;

    // A folder written between the others, with a field that no other folder has.
    writeTime("1", 1.5);
    writeFile(dir + "/1/k", scalarField("k", 4, 0.25, mesh));
    std::vector<NotificationCall> calls;
    ASSERT_TRUE(host.poll(&calls));
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.result(temperature, 1003, &values));
    EXPECT_EQ(values.valueGroup(0).values(), std::vector<double>(4, 300.0));
}

TEST_F(ProviderTest, UnusedProviderOperationsLeaveTheirArgumentsAlone) {
    writeTime("0", 1.0);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    EXPECT_FALSE(host.provider()->getElementVisibilityResult(0, 1, nullptr));
    EXPECT_FALSE(host.provider()->handleClientRequest(*reinterpret_cast<const VXPClientRequest*>(&host), nullptr, nullptr));
    EXPECT_FALSE(host.provider()->getRigidBodyTransformations(1, nullptr));
}

TEST(ProviderInit, CaseDirectoryFromThePathOfTheCaseFile) {
    vx::Str directory;
    ASSERT_TRUE(OpenFoamProvider::caseDirectoryFromPath("/a/b/case.foam", &directory));
    EXPECT_EQ(directory, vx::Str("/a/b"));
    ASSERT_TRUE(OpenFoamProvider::caseDirectoryFromPath("C:\\data\\run\\case.foam", &directory));
    EXPECT_EQ(directory, vx::Str("C:/data/run"));
    ASSERT_TRUE(OpenFoamProvider::caseDirectoryFromPath("case.foam", &directory));
    EXPECT_EQ(directory, vx::Str("."));
    EXPECT_FALSE(OpenFoamProvider::caseDirectoryFromPath("///", &directory));
}

TEST(ProviderInit, SettingsBlockAndDefaults) {
    ProviderHarness host;
    LogCapture capture;
    host.options().setString("RESULTS_NAMES_MAPPING", "");
    EXPECT_FALSE(host.open("/nonexistent/folder"));
    EXPECT_TRUE(capture.contains("OpenFoamProvider :  - LOAD_BC_PARTS: ON"));
    EXPECT_TRUE(capture.contains("OpenFoamProvider :  - LOAD_FACE_ZONES: OFF"));
    EXPECT_TRUE(capture.contains("OpenFoamProvider :  - RESULTS_NAMES_MAPPING: ENABLED"));
    EXPECT_TRUE(capture.contains("Failed to open case /nonexistent/folder - file does not exist", 1));
}

TEST(SurfaceGroups, PatchOfTwoQuadrilaterals) {
    OFPolymesh mesh;
    mesh.points().resize(3 * 16);
    for (size_t i = 0; i < 16; ++i) mesh.points()[3 * i] = static_cast<double>(i);
    mesh.faces().nodeCounts = {4, 4};
    mesh.faces().startOffsets = {0, 4};
    mesh.faces().nodeIndices = {10, 11, 12, 13, 11, 14, 15, 12};
    mesh.owners() = {0, 0};
    mesh.setCellCount(1);
    OFBoundary patch;
    patch.setFaceCount(2);
    patch.setStartFaceIndex(0);
    vxphost::RecordingGeometry geometry;
    VXPNodeGroup* nodes = geometry.addNodeGroup();
    VXPElementGroup* elements = geometry.addElementGroup(nodes->index());
    size_t nodeCount = 0, elementCount = 0;
    ASSERT_TRUE(ofsurface::populateBoundaryGroup(mesh, patch, nodes, &nodeCount, elements, &elementCount));
    EXPECT_EQ(nodeCount, 6u);
    EXPECT_EQ(elementCount, 2u);
    const auto& group = geometry.elementGroup(0);
    EXPECT_EQ(group.connectivity(), (std::vector<int>{0, 1, 2, 3, 1, 4, 5, 2}));
    EXPECT_EQ(group.types(), (std::vector<VXPElementType>{VXP_QUADRILATERAL, VXP_QUADRILATERAL}));
    EXPECT_EQ(patch.faceConnectivity(), (std::vector<int>{10, 11, 12, 13, 11, 14, 15, 12}));
    EXPECT_EQ(patch.faceNodeToNodeMapping(), (std::vector<int>{10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(geometry.nodeGroup(0).nodeIds(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(geometry.nodeGroup(0).coordinates()[3], 11.0);
}

TEST(ProviderDecomposed, ProcessorTimeFoldersAppearAndDisappear) {
    const std::string dir = makeTempFolder("decomposed");
    std::filesystem::copy(std::string(FOAMPROVIDER_TEST_DATA_DIR) + "/decomposed", dir,
                          std::filesystem::copy_options::recursive);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    const size_t states = host.metaData().states().size();
    ASSERT_EQ(states, 4u);
    ASSERT_TRUE(host.geometry());
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, 4, &values));
    EXPECT_EQ(values.valueGroup(0).values().size(), 50u);
    for (double v : values.valueGroup(0).values()) ASSERT_NE(v, vx::UNDEFINED_DOUBLE);

    for (const char* processor : {"processor0", "processor1"})
        std::filesystem::copy(dir + "/" + processor + "/0.15", dir + "/" + processor + "/0.2",
                              std::filesystem::copy_options::recursive);
    std::vector<NotificationCall> calls;
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_FALSE(calls.empty());  // then the states held since opening, under their new ids
    EXPECT_EQ(calls[0].kind, NotificationKind::Add);
    EXPECT_EQ(calls[0].value, 0.2);
    host.poll(&calls);
    std::filesystem::remove_all(dir + "/processor0/0.2");
    ASSERT_TRUE(host.poll(&calls));
    EXPECT_TRUE(calls.empty()) << "still written by processor1";
    std::filesystem::remove_all(dir + "/processor1/0.2");
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, NotificationKind::Remove);
    removeFolder(dir);
}
