#include <gtest/gtest.h>

#include "mesh/OFPolymeshReader.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"

using namespace testsupport;

namespace {

class PolymeshReaderTest : public ::testing::Test {
protected:
    void SetUp() override { dir = makeTempFolder("polymesh"); }
    void TearDown() override { removeFolder(dir); }

    bool readMesh(const Mesh& mesh, const WriteOptions& options, OFPolymesh* out, const std::string& name = "pm") {
        writePolyMesh(dir + "/" + name, mesh, options);
        OFPolymeshReader reader;
        const bool ok = reader.read((dir + "/" + name).c_str(), out);
        EXPECT_EQ(reader.polyMeshFolder(), vx::Str((dir + "/" + name).c_str()));
        return ok;
    }
    std::string dir;
};

}  // namespace

TEST_F(PolymeshReaderTest, ReadsPlainGzipAndBinaryMeshesAlike) {
    const Mesh mesh = hexBlockMesh(3, 4, 5);
    WriteOptions gz;
    gz.gzip = true;
    WriteOptions binary;
    binary.binary = true;
    int variant = 0;
    for (const WriteOptions& options : {WriteOptions{}, gz, binary}) {
        OFPolymesh got;
        ASSERT_TRUE(readMesh(mesh, options, &got, "pm" + std::to_string(variant++)));
        EXPECT_EQ(got.cellCount(), 60);
        EXPECT_EQ(got.nodeCount(), mesh.pointCount());
        EXPECT_EQ(got.faces().faceCount(), mesh.faces.size());
        EXPECT_EQ(std::vector<int>(got.owners().begin(), got.owners().end()), mesh.owner);
        EXPECT_EQ(std::vector<int>(got.neighbors().begin(), got.neighbors().end()), mesh.neighbour);
    }
}

TEST_F(PolymeshReaderTest, MeshWithoutInternalFaces) {
    OFPolymesh got;
    ASSERT_TRUE(readMesh(hexBlockMesh(1, 1, 1), {}, &got));
    EXPECT_TRUE(got.neighbors().empty());
    EXPECT_EQ(got.cellCount(), 1);
}

TEST_F(PolymeshReaderTest, InconsistentMeshesFailWithOneMessageNamingTheFolder) {
    struct Case {
        const char* what;
        void (*spoil)(Mesh&);
        const char* message;
    };
    const Case cases[] = {
        {"owner short", [](Mesh& m) { m.owner.pop_back(); }, "Invalid number of face owners"},
        {"point out of range", [](Mesh& m) { m.faces[3][1] = static_cast<int>(m.pointCount()); }, "refers to point"},
        {"owner out of range", [](Mesh& m) { m.owner[5] = 99; m.cellCount = 8; }, "refers to cell 99"},
        {"neighbour out of range", [](Mesh& m) { m.neighbour[0] = 8; }, "refers to cell 8"},
        {"neighbour too long", [](Mesh& m) { m.neighbour.resize(m.faces.size() + 1, 0); }, "neighbour list is longer"},
        {"owner negative", [](Mesh& m) { m.owner[2] = -3; }, "owner or neighbour is negative"},
    };
    for (const Case& c : cases) {
        Mesh mesh = hexBlockMesh(2, 2, 2);
        c.spoil(mesh);
        LogCapture capture;
        OFPolymesh got;
        EXPECT_FALSE(readMesh(mesh, {}, &got, "bad")) << c.what;
        ASSERT_EQ(capture.count(1), 1u) << c.what;
        EXPECT_TRUE(capture.contains(c.message)) << c.what << ": " << capture.texts(1)[0];
        EXPECT_TRUE(capture.contains(dir + "/bad")) << c.what;
    }
}

TEST_F(PolymeshReaderTest, MeshWithoutCellCountNoteCountsItsCells) {
    // As the airfoil tutorial ships its mesh: owner and neighbour without the note.
    const Mesh mesh = hexBlockMesh(1, 1, 3);
    writePolyMesh(dir + "/pm", mesh, {});
    writeFile(dir + "/pm/owner", foamFile("labelList", "owner", labelsBody(mesh.owner, {}), {}));
    writeFile(dir + "/pm/neighbour", foamFile("labelList", "neighbour", labelsBody(mesh.neighbour, {}), {}));
    LogCapture capture;
    OFPolymeshReader reader;
    OFPolymesh got;
    ASSERT_TRUE(reader.read((dir + "/pm").c_str(), &got));
    EXPECT_EQ(got.cellCount(), 3);
    EXPECT_EQ(capture.count(1), 0u);
}

TEST_F(PolymeshReaderTest, NeighboursPaddedAsOldVersionsWroteThem) {
    // Meshes of old OpenFOAM versions (shipped with tank3D and sphereTransport) give the boundary
    // faces the neighbour -1; OpenFOAM reads the internal faces up to the first -1.
    const Mesh mesh = hexBlockMesh(1, 1, 3);
    std::vector<int> padded = mesh.neighbour;
    padded.resize(mesh.owner.size(), -1);
    WriteOptions binary;
    binary.binary = true;
    int variant = 0;
    for (const WriteOptions& options : {WriteOptions{}, binary}) {
        const std::string folder = dir + "/pm" + std::to_string(variant++);
        writePolyMesh(folder, mesh, options);
        writeFile(folder + "/neighbour", foamFile("labelList", "neighbour", labelsBody(padded, options), options));
        LogCapture capture;
        OFPolymeshReader reader;
        OFPolymesh got;
        ASSERT_TRUE(reader.read(folder.c_str(), &got)) << capture.texts(1).size();
        EXPECT_EQ(std::vector<int>(got.neighbors().begin(), got.neighbors().end()), mesh.neighbour);
        EXPECT_EQ(got.cellCount(), 3);
        EXPECT_EQ(capture.count(1), 0u);
    }
}
