// Sizes from files reach no allocation unchecked: a piece the geometry could not deliver takes no
// values later, on any path (results, node averages, export), whatever its file said.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "host/recording/CaseExporter.h"
#include "host/recording/PieceCatalog.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ProviderHarness.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A copy of a real case of the test data, removed at the end.
class BoundedSizes : public ::testing::Test {
protected:
    void copyCase(const std::string& name) {
        dir = makeTempFolder("bounded");
        fs::remove_all(dir);
        fs::copy(fs::path(FOAMPROVIDER_TEST_DATA_DIR) / name, dir, fs::copy_options::recursive);
    }
    void TearDown() override {
        if (!dir.empty()) removeFolder(dir);
    }
    // Replaces the first occurrence of what in the file.
    void edit(const std::string& relative, const std::string& what, const std::string& with) {
        std::string text = readText(dir + "/" + relative);
        const size_t at = text.find(what);
        ASSERT_NE(at, std::string::npos) << what;
        writeFile(dir + "/" + relative, text.replace(at, what.size(), with));
    }

    std::string dir;
};

// The tuples every value group of the result holds at the state, by piece name.
std::map<std::string, size_t> tuplesByPiece(ProviderHarness& host, int resultId, int stateId) {
    vxphost::RecordingResult values;
    EXPECT_TRUE(host.result(resultId, stateId, &values));
    const auto pieces = vxphost::matchPiecesToParts(host.metaData(), host.geometryRecord());
    const auto owners = vxphost::valueGroupPieces(pieces, values.valueGroupCount());
    std::map<std::string, size_t> tuples;
    for (size_t v = 0; v < owners.size(); ++v)
        if (owners[v] != vxphost::NO_PIECE) tuples[pieces[owners[v]].name] = values.valueGroup(v).tuples();
    return tuples;
}

}  // namespace

TEST_F(BoundedSizes, PatchSkippedAtGeometryTakesNoValuesOnAnyPath) {
    copyCase("cavity_multi_time");
    edit("constant/polyMesh/boundary", "nFaces          30;", "nFaces          2147483647;");
    for (bool nodeAverages : {false, true}) {
        SCOPED_TRACE(nodeAverages ? "node averages" : "cell values");
        ProviderHarness host;
        host.options().setBool("NODE_AVG_RES", nodeAverages);
        LogCapture capture;
        ASSERT_TRUE(host.open(dir));
        ASSERT_TRUE(host.geometry());
        EXPECT_TRUE(capture.contains("Patch fixedWalls (faces 190 to 2147483836) lies outside the mesh's 420 faces", 1));
        for (const auto& result : host.metaData().results()) {
            SCOPED_TRACE(result.name);
            std::map<std::string, size_t> tuples = tuplesByPiece(host, result.id, host.metaData().states().back().id);
            EXPECT_EQ(tuples["fixedWalls"], 0u);
            EXPECT_EQ(tuples["movingWall"], result.elementResult ? 10u : 22u);
            EXPECT_EQ(tuples["default_region"], result.elementResult ? 100u : 242u);
        }
        // The host's export of every state and result stays small and reports the piece's values missing.
        vxphost::ExportRequest request;
        request.outputFolder = dir + "/export";
        request.caseName = "case";
        for (const auto& state : host.metaData().states()) request.stateIds.push_back(state.id);
        for (const auto& result : host.metaData().results()) request.results.push_back(&result);
        const vxphost::ExportReport report =
            vxphost::exportCase(*host.provider(), host.metaData(), host.geometryRecord(), request);
        EXPECT_TRUE(report.ok);
        EXPECT_FALSE(report.files.empty());
    }
}

TEST_F(BoundedSizes, PartThatCannotBeReadAgainKeepsNoCountsFromTheEarlierGeometry) {
    copyCase("cavity_multi_time");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    const auto* pressure = host.resultNamed("Pressure");
    ASSERT_TRUE(pressure);
    const int last = host.metaData().states().back().id;
    EXPECT_EQ(tuplesByPiece(host, pressure->id, last)["movingWall"], 10u);

    edit("constant/polyMesh/owner", "\n420\n(", "\n4200\n(");
    LogCapture capture;
    ASSERT_TRUE(host.geometry());
    EXPECT_GT(capture.count(1), 0u);
    for (const auto& [piece, tuples] : tuplesByPiece(host, pressure->id, last)) EXPECT_EQ(tuples, 0u) << piece;
}
