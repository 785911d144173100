#include <gtest/gtest.h>

#include <filesystem>

#include "core/Undefined.h"
#include "model/OFPart.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/ProviderHarness.h"

using namespace testsupport;

namespace {

// A 2x1x1 block: cells 0 and 1 share the face at x = 1.
class ResultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeTempFolder("results");
        mesh = hexBlockMesh(2, 1, 1);
        writeCaseSkeleton(dir);
        writePolyMesh(dir + "/constant/polyMesh", mesh);
    }
    void TearDown() override { removeFolder(dir); }

    void writeP(const std::string& time, std::vector<double> values, const std::string& xminEntries) {
        std::vector<PatchField> patches;
        for (const Patch& p : mesh.patches)
            patches.push_back({p.name, p.name == "xmin" ? xminEntries : "type zeroGradient;"});
        writeFile(dir + "/" + time + "/p", fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", values, 1, patches, {}));
    }
    void writeU(const std::string& time) {
        std::vector<PatchField> patches;
        for (const Patch& p : mesh.patches) patches.push_back({p.name, "type noSlip;"});
        writeFile(dir + "/" + time + "/U",
                  fieldFile("volVectorField", "U", "[0 1 -1 0 0 0 0]", {1, 2, 3, 4, 5, 6}, 3, patches, {}));
    }

    const vxphost::RecordingResultValueGroup& group(const vxphost::RecordingResult& r, size_t i) { return r.valueGroup(i); }

    std::string dir;
    Mesh mesh;
};

}  // namespace

TEST_F(ResultsTest, ElementValuesWithPatchValuesFromTheirBoundaryConditions) {
    writeP("1", {1, 3}, "type fixedValue;\n        value uniform 7;");
    writeU("1");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    vxphost::RecordingResult p;
    ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, 1, &p));
    ASSERT_EQ(p.valueGroupCount(), 7u);
    EXPECT_EQ(group(p, 0).values(), (std::vector<double>{1, 3}));
    EXPECT_EQ(group(p, 1).values(), (std::vector<double>{7}));        // xmin: fixedValue
    EXPECT_EQ(group(p, 2).values(), (std::vector<double>{3}));        // xmax: zeroGradient, cell 1
    EXPECT_EQ(group(p, 3).values(), (std::vector<double>{1, 3}));     // ymin: the cells along it
    vxphost::RecordingResult u;
    ASSERT_TRUE(host.result(host.resultNamed("Velocity")->id, 1, &u));
    EXPECT_EQ(group(u, 0).components(), 3);
    EXPECT_EQ(group(u, 1).values(), (std::vector<double>{0, 0, 0})) << "a no-slip wall is at rest";
}

TEST_F(ResultsTest, NodeAveragesPlainAndBoundaryAware) {
    writeP("1", {1, 3}, "type fixedValue;\n        value uniform 0;");
    vxphost::RecordingResult plain, aware;
    {
        ProviderHarness host;
        host.options().setBool("LOAD_BC_PARTS", false);
        ASSERT_TRUE(host.open(dir));
        ASSERT_TRUE(host.geometry());
        ASSERT_TRUE(host.result(host.resultNamed("Pressure [node]")->id, 1, &plain));
    }
    ASSERT_EQ(plain.valueGroupCount(), 1u);
    const std::vector<double>& nodes = plain.valueGroup(0).values();
    ASSERT_EQ(nodes.size(), 12u);
    // Points are numbered x fastest over x = 0, 1, 2: the middle ones are shared by both cells.
    for (size_t i = 0; i < 12; ++i) EXPECT_DOUBLE_EQ(nodes[i], i % 3 == 0 ? 1.0 : i % 3 == 1 ? 2.0 : 3.0) << i;

    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    ASSERT_TRUE(host.result(host.resultNamed("Pressure [node]")->id, 1, &aware));
    const std::vector<double>& awareNodes = aware.valueGroup(0).values();
    ASSERT_EQ(awareNodes.size(), 12u);
    // Boundary nodes average the faces of every patch around them and no cell: a corner of
    // the xmin patch (0) also touches a y and a z face of cell 0 (1): (0 + 1 + 1) / 3.
    EXPECT_DOUBLE_EQ(awareNodes[0], 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(awareNodes[1], 2.0) << "y and z faces of cells 0 and 1: (1 + 3 + 1 + 3) / 4";
    EXPECT_DOUBLE_EQ(awareNodes[2], 3.0);
    // The patch itself shows its own fixed value at its nodes.
    EXPECT_EQ(aware.valueGroup(1).values(), std::vector<double>(4, 0.0));
}

TEST_F(ResultsTest, AveragingReachesOnlyNodesThatElementsUse) {
    OFPart part(1, "p", "f");
    part.setConnectivities({0, 1, 2, 3});
    part.setNodesCountPerElt({4});
    std::vector<double> nodes(5 * 3, 0.0);
    ASSERT_TRUE(part.computeAverageNodeResult({1, 2, 3}, nodes, 3));
    EXPECT_EQ(nodes[0], 1.0);
    EXPECT_EQ(nodes[11], 3.0);
    EXPECT_EQ(nodes[12], vx::UNDEFINED_DOUBLE) << "node 4 belongs to no element";
    part.setConnectivities({0, 1, 2, 9});
    EXPECT_FALSE(part.computeAverageNodeResult({1, 2, 3}, nodes, 3)) << "connectivity beyond the nodes";
}

TEST_F(ResultsTest, AResultMissingInTheStateIsUndefinedEverywhere) {
    writeP("1", {1, 3}, "type zeroGradient;");
    std::filesystem::create_directories(dir + "/2");
    writeFile(dir + "/2/T", fieldFile("volScalarField", "T", "[0 0 0 1 0 0 0]", {5, 5}, 1, {}, {}));
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    vxphost::RecordingResult r;
    ASSERT_TRUE(host.result(host.resultNamed("Temperature")->id, 1, &r));
    ASSERT_EQ(r.valueGroupCount(), 7u);
    for (size_t i = 0; i < r.valueGroupCount(); ++i)
        for (double v : r.valueGroup(i).values()) EXPECT_EQ(v, vx::UNDEFINED_DOUBLE);
}

TEST_F(ResultsTest, DisplacementsGiveThePointsOfEachState) {
    writeP("1", {1, 3}, "type zeroGradient;");
    writeP("2", {1, 3}, "type zeroGradient;");
    Mesh moved = mesh;
    for (size_t i = 0; i < moved.points.size(); i += 3) moved.points[i] += 10.0;
    writeFile(dir + "/2/polyMesh/points", foamFile("vectorField", "points", pointsBody(moved.points, {}), {}));
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    const auto* displacement = host.resultNamed("points");
    ASSERT_TRUE(displacement);
    ASSERT_TRUE(displacement->displacementMode.has_value());
    vxphost::RecordingResult first, second;
    ASSERT_TRUE(host.result(displacement->id, 1, &first));
    ASSERT_TRUE(host.result(displacement->id, 2, &second));
    EXPECT_EQ(first.valueGroup(0).values(), mesh.points) << "a state without moved points shows the mesh";
    EXPECT_EQ(second.valueGroup(0).values(), moved.points);
    EXPECT_EQ(second.valueGroup(1).values()[0], 10.0) << "patch nodes move with the mesh";
}
