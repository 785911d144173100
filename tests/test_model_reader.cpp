#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/OFReader.h"
#include "model/OFUtilities.h"
#include "tests/support/CaseTree.h"
#include "tests/support/LogCapture.h"

using vx::Str;

namespace {

OFReader readerWithAllLists() {
    OFReader reader;
    reader.setLoadBoundariesFlag(true);
    reader.setLoadCellZonesFlag(true);
    reader.setLoadFaceZonesFlag(true);
    return reader;
}

std::vector<Str> patchNames(const OFPart& part) {
    std::vector<Str> names;
    for (const OFBoundary& b : part.boundaries()) names.push_back(b.patchName());
    return names;
}

// The default region has 4 patches (one without faces), 2 face zones and 1 cell zone; the
// region "solid" has 2 patches.
void writeZonedCase(const CaseTree& tree) {
    tree.writeControlDict();
    tree.writeBoundary("constant/polyMesh/boundary",
                       {{"inlet", "patch", 5}, {"outlet", "patch", 5}, {"frontAndBack", "empty", 0}, {"walls", "wall", 8}});
    tree.writeZones("constant/polyMesh/faceZones", "faceZones", {{"fz1", {1, 2}}, {"fz2", {3}}});
    tree.writeZones("constant/polyMesh/cellZones", "cellZones", {{"heater", {0, 1, 2}}});
    tree.writeBoundary("constant/solid/polyMesh/boundary", {{"top", "wall", 3}, {"bottom", "wall", 3}});
    tree.write("constant/triSurface/part.stl", "solid x\nendsolid x\n");
}

}  // namespace

TEST(ModelReader, PartIdsLeaveRoomForPatchesAndZones) {
    CaseTree tree;
    writeZonedCase(tree);
    OFReader reader = readerWithAllLists();
    ASSERT_TRUE(reader.init(tree.root()));
    ASSERT_EQ(reader.partCount(), 2u);
    EXPECT_EQ(reader.simulationDescription(), Str("Multi-Region Simulation\n"));
    // Parts come in the listing order of constant, which the file system decides.
    const bool defaultFirst = reader.part(0).name() == Str("default_region");
    const OFPart& global = reader.part(defaultFirst ? 0 : 1);
    const OFPart& solid = reader.part(defaultFirst ? 1 : 0);
    EXPECT_TRUE(global.isDefaultRegion());
    EXPECT_EQ(solid.folder(), tree.root() + "/constant/solid/polyMesh");
    EXPECT_EQ(defaultFirst ? solid.id() : global.id(), defaultFirst ? 8 : 4);  // 1 + 3 patches + 2 + 1 zones + 1
    EXPECT_EQ(patchNames(global), (std::vector<Str>{"inlet", "outlet", "walls"}));
    EXPECT_EQ(global.boundaries()[2].boundaryID(), 3);
    EXPECT_EQ(global.boundaries()[2].partID(), global.id());
    EXPECT_EQ(global.faceZones()[1].id(), 2);
    EXPECT_EQ(global.cellZones()[0].partId(), global.id());
    EXPECT_TRUE(solid.cellZones().empty());  // regions carry patches only

    // Without patch lists a part takes 1 id plus its zones.
    OFReader zonesOnly;
    zonesOnly.setLoadCellZonesFlag(true);
    ASSERT_TRUE(zonesOnly.init(tree.root()));
    EXPECT_TRUE(zonesOnly.part(0).boundaries().empty());
    EXPECT_EQ(zonesOnly.part(1).id(), defaultFirst ? 3 : 2);
}

TEST(ModelReader, MeshFlagsAndTheZeroFolderFallback) {
    CaseTree tree;
    writeZonedCase(tree);
    OFReader reader = readerWithAllLists();
    reader.setLoadGlobalMesh(false);
    ASSERT_TRUE(reader.init(tree.root()));
    ASSERT_EQ(reader.partCount(), 1u);
    EXPECT_EQ(reader.part(0).name(), Str("solid"));
    EXPECT_EQ(reader.simulationDescription(), Str("Single-Region Simulation"));

    reader.setLoadLocalMeshes(false);
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(reader.partCount(), 0u);
    // With nothing found in constant, the mesh of 0/polyMesh is taken whatever the flags.
    tree.writeBoundary("0/polyMesh/boundary", {{"walls", "wall", 4}});
    tree.writeZones("0/polyMesh/cellZones", "cellZones", {{"c", {1}}});
    ASSERT_TRUE(reader.init(tree.root()));
    ASSERT_EQ(reader.partCount(), 1u);
    EXPECT_EQ(reader.part(0).name(), Str("default_region"));
    EXPECT_EQ(reader.part(0).folder(), tree.root() + "/0/polyMesh");
    // It is the case's only mesh, so its fields are looked for in the time folders themselves.
    EXPECT_TRUE(reader.part(0).isDefaultRegion());
    EXPECT_EQ(reader.part(0).cellZones().size(), 1u);
}

TEST(ModelReader, PatchFiltersAndCompressedPatchFile) {
    CaseTree tree;
    tree.writeControlDict();
    tree.writeBoundary("constant/polyMesh/boundary",
                       {{"walls", "wall", 4}, {"procBoundary0to1", "processor", 2}, {"none", "empty", 0}});
    OFReader reader = readerWithAllLists();
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(patchNames(reader.part(0)), (std::vector<Str>{"walls", "procBoundary0to1"}));
    reader.setHideProcessorInterfacesAsBoundariesFlag(true);
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(patchNames(reader.part(0)), std::vector<Str>{"walls"});

    tree.writeGz("constant/polyMesh/boundary.gz", CaseTree::header("polyBoundaryMesh", "boundary") +
                                                      "1\n(\n    fromGz\n    {\n        type wall;\n"
                                                      "        nFaces 3;\n        startFace 0;\n    }\n)\n");
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(patchNames(reader.part(0)), std::vector<Str>{"fromGz"});
    tree.remove("constant/polyMesh/boundary");
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(patchNames(reader.part(0)), std::vector<Str>{"fromGz"});
}

TEST(ModelReader, OpeningFailures) {
    CaseTree tree;
    LogCapture log;
    OFReader reader = readerWithAllLists();
    EXPECT_FALSE(reader.init(tree.root()));
    EXPECT_TRUE(log.contains("OFReader : Failed to open case " + tree.root().toStdString() + " - could not read system/controlDict", 1));
    tree.writeControlDict();
    tree.write("constant/polyMesh/boundary", CaseTree::header("polyBoundaryMesh", "boundary") +
                                                 "1\n(\n    a\n    {\n        type wall;\n    }\n)\n");
    EXPECT_FALSE(reader.init(tree.root()));
    const std::string file = tree.root().toStdString() + "/constant/polyMesh/boundary";
    EXPECT_TRUE(log.contains("OFReader : Cannot init geometry. Boundary File/Folder " + file + " does not exist.", 1));
    EXPECT_TRUE(log.contains("OFReader : Cannot init Boundary. A parsing problem occurred in " + file + ".", 1));
}

TEST(ModelReader, DecomposedCases) {
    CaseTree tree;
    tree.writeControlDict();
    tree.writeBoundary("constant/polyMesh/boundary", {{"walls", "wall", 4}});
    tree.mkdir("processorsX");
    OFReader reader = readerWithAllLists();
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(reader.partCount(), 0u);
    EXPECT_EQ(reader.simulationDescription(), Str("Parallel Simulation\n"));

    // A patch file that cannot be parsed leaves the processor part without patches.
    tree.write("processor1/constant/polyMesh/boundary", CaseTree::header("polyBoundaryMesh", "boundary") + "1\n(\n)\n");
    ASSERT_TRUE(reader.init(tree.root()));
    ASSERT_EQ(reader.partCount(), 1u);
    EXPECT_EQ(reader.part(0).name(), Str("processor1"));
    EXPECT_EQ(reader.part(0).folder(), tree.root() + "/processor1/constant/polyMesh");
    EXPECT_TRUE(reader.part(0).boundaries().empty());
}

TEST(ModelReader, SampledSurfacesComeFromTheFirstSampledTime) {
    CaseTree tree;
    tree.writeControlDict();
    tree.writeBoundary("constant/polyMesh/boundary", {{"walls", "wall", 4}});
    tree.mkdir("postProcessing/sampleSurface/0.5/late");
    tree.mkdir("postProcessing/sampleSurface/0.25/plane1");
    tree.mkdir("postProcessing/sampleSurface/0.25/plane2");
    Str withBackslashes = tree.root();
    withBackslashes.replace("/", "\\");
    OFReader reader;
    ASSERT_TRUE(reader.init(withBackslashes));
    EXPECT_EQ(reader.path(), tree.root());
    ASSERT_EQ(reader.sampledSurfaceCount(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(reader.sampledSurface(k).id(), static_cast<int>(k) + 1);
        EXPECT_EQ(reader.sampledSurface(k).folder(),
                  tree.root() + "/postProcessing/sampleSurface/0.25/" + reader.sampledSurface(k).name());
    }
    // Surfaces survive close; the next opening replaces them (a folder without times gives none).
    reader.close();
    EXPECT_EQ(reader.partCount(), 0u);
    EXPECT_EQ(reader.sampledSurfaceCount(), 2u);
    tree.remove("postProcessing/sampleSurface/0.25");
    tree.remove("postProcessing/sampleSurface/0.5");
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(reader.sampledSurfaceCount(), 0u);
}
