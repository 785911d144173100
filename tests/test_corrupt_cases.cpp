// Cases with one bad file each, driven through the provider as a host would: each must fail
// only where it is bad, with a clear message, and deliver every other part.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ProviderHarness.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// Two regions with the same mesh: "good" stays intact, "bad" gets the corruption.
class CorruptCaseTest : public ::testing::Test {
public:
    void SetUp() override {
        dir = makeTempFolder("corrupt");
        mesh = hexBlockMesh(2, 2, 2);
        writeCaseSkeleton(dir);
        for (const char* region : {"good", "bad"}) {
            writePolyMesh(dir + "/constant/" + region + "/polyMesh", mesh);
            std::vector<PatchField> patches;
            for (const Patch& p : mesh.patches) patches.push_back({p.name, "type zeroGradient;"});
            writeFile(dir + "/1/" + region + "/p",
                      fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", std::vector<double>(8, 1.5), 1, patches, {}));
        }
    }
    void TearDown() override {
        removeFolder(dir);
    }

    std::string bad(const std::string& file) const { return dir + "/constant/bad/polyMesh/" + file; }
    std::string header(const std::string& cls, const std::string& object, const std::string& extra = "") const {
        return foamFile(cls, object, "", WriteOptions{}, extra);
    }

    // Opens the case, asks for the geometry and every result; the good region must come whole.
    void expectGoodRegionDelivered(const std::string& what, const std::string& message) {
        ProviderHarness host;
        LogCapture capture;
        ASSERT_TRUE(host.open(dir)) << what;
        ASSERT_TRUE(host.geometry()) << what;
        const auto& g = host.geometryRecord();
        bool goodFound = false;
        for (size_t i = 0; i < g.elementGroupCount(); ++i) {
            const auto& group = g.elementGroup(i);
            if (group.elementCount() == 8 && g.nodeGroupOf(group)->nodeCount() == 27) goodFound = true;
        }
        EXPECT_TRUE(goodFound) << what;
        for (const auto& state : host.metaData().states())
            for (const auto& result : host.metaData().results()) {
                vxphost::RecordingResult values;
                host.result(result.id, state.id, &values);
            }
        if (!message.empty()) {
            EXPECT_TRUE(capture.contains(message, 1)) << what << " should log: " << message;
        }
    }

    std::string dir;
    Mesh mesh;
};

}  // namespace

TEST_F(CorruptCaseTest, BrokenMeshFilesFailOnlyTheirPart) {
    const Mesh original = mesh;
    struct Corruption {
        const char* what;
        std::function<void(CorruptCaseTest&)> apply;
        const char* message;
    };
    const std::vector<Corruption> corruptions = {
        {"truncated points", [](CorruptCaseTest& t) { writeFile(t.bad("points"), t.header("vectorField", "points") + "27\n(\n(0 0 0)\n(1 0"); }, "Failed to read list in vector field file"},
        {"points count too large", [](CorruptCaseTest& t) { writeFile(t.bad("points"), t.header("vectorField", "points") + "999999999999\n(\n)\n"); }, "vector field file"},
        {"negative count", [](CorruptCaseTest& t) { writeFile(t.bad("points"), t.header("vectorField", "points") + "-5\n(\n)\n"); }, "vector field file"},
        {"non-numeric point", [](CorruptCaseTest& t) { std::string s = pointsBody(t.mesh.points, {}); s.replace(s.find("(1 0 0)"), 7, "(1 x 0)"); writeFile(t.bad("points"), t.header("vectorField", "points") + s); }, "Failed to read list in vector field file"},
        {"face point out of range", [](CorruptCaseTest& t) { Mesh m = t.mesh; m.faces[2][1] = 1000; writeFile(t.bad("faces"), t.header("faceList", "faces") + facesBody(m.faces, {})); }, "refers to point 1000"},
        {"face of 0 nodes", [](CorruptCaseTest& t) { Mesh m = t.mesh; m.faces[2].clear(); writeFile(t.bad("faces"), t.header("faceList", "faces") + facesBody(m.faces, {})); }, "Failed to read list in face list file"},
        {"face of 300 nodes", [](CorruptCaseTest& t) { Mesh m = t.mesh; m.faces[2].assign(300, 1); writeFile(t.bad("faces"), t.header("faceList", "faces") + facesBody(m.faces, {})); }, "more than 255 nodes"},
        {"truncated faces", [](CorruptCaseTest& t) { writeFile(t.bad("faces"), t.header("faceList", "faces") + "36\n(\n4(0 1 2 3)\n4(1 2"); }, "face list file"},
        {"owner one short", [](CorruptCaseTest& t) { Mesh m = t.mesh; m.owner.pop_back(); writePolyMesh(t.dir + "/constant/bad/polyMesh", m); }, "Invalid number of face owners"},
        {"owner out of range", [](CorruptCaseTest& t) { Mesh m = t.mesh; m.owner[0] = 50; writePolyMesh(t.dir + "/constant/bad/polyMesh", m); }, "refers to cell 50"},
        {"binary header over ascii body", [](CorruptCaseTest& t) { WriteOptions binary; binary.binary = true; writeFile(t.bad("owner"), foamFile("labelList", "owner", labelsBody(t.mesh.owner, {}), binary, "    note \"nCells:8 nFaces:36\";\n")); }, ""},
        {"missing faces file", [](CorruptCaseTest& t) { fs::remove(t.bad("faces")); }, "Failed to open face list file"},
        {"empty owner file", [](CorruptCaseTest& t) { writeFile(t.bad("owner"), ""); }, "Failed to open labels file"},
    };
    for (const Corruption& c : corruptions) {
        writePolyMesh(dir + "/constant/bad/polyMesh", original);
        c.apply(*this);
        expectGoodRegionDelivered(c.what, c.message);
    }
}

TEST_F(CorruptCaseTest, WideBinaryLabelsAreRead) {
    WriteOptions wide;
    wide.binary = true;
    wide.labelBits = 64;
    writePolyMesh(dir + "/constant/bad/polyMesh", mesh, wide);
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    size_t volumes = 0;
    for (size_t i = 0; i < host.geometryRecord().elementGroupCount(); ++i)
        if (host.geometryRecord().elementGroup(i).elementCount() == 8) ++volumes;
    EXPECT_EQ(volumes, 2u);
}

TEST_F(CorruptCaseTest, BrokenFieldFilesGiveUndefinedValues) {
    for (const std::string& body : {std::string("internalField nonuniform List<scalar> 8\n(\n1\n2\n"),
                                    std::string("internalField nonuniform List<scalar> 3(1 2 3);\n"),
                                    std::string("internalField uniform x;\n"),
                                    std::string("internalField nonuniform List<scalar> 99999999999\n(\n")}) {
        writeFile(dir + "/1/bad/p", header("volScalarField", "p") + "dimensions [0 2 -2 0 0 0 0];\n" + body);
        expectGoodRegionDelivered(body, "");
    }
}

TEST_F(CorruptCaseTest, SymbolicLinkLoopInTheCaseFolder) {
    std::error_code ec;
    fs::create_directory_symlink(dir + "/loopB", dir + "/loopA", ec);
    fs::create_directory_symlink(dir + "/loopA", dir + "/loopB", ec);
    fs::create_directory_symlink(dir, dir + "/self", ec);
    expectGoodRegionDelivered("symbolic link loop", "");
}

TEST_F(CorruptCaseTest, CaseFolderVanishingBeforeTheGeometry) {
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    removeFolder(dir);
    LogCapture capture;
    EXPECT_TRUE(host.geometry());
    EXPECT_GT(capture.count(1), 0u);
    for (size_t i = 0; i < host.geometryRecord().elementGroupCount(); ++i)
        EXPECT_EQ(host.geometryRecord().elementGroup(i).elementCount(), 0u);
    vxphost::RecordingResult values;
    host.result(1, 1, &values);
    std::vector<vxphost::NotificationCall> calls;
    EXPECT_TRUE(host.poll(&calls));
}
