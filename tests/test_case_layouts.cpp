// Case layouts as users keep them, from real OpenFOAM runs (tests/data, facts in its README.md):
// leftover folders beside the times, reconstructed runs with their processor folders, decomposed
// multi-region runs, many processors, and meshes that change topology.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/Undefined.h"
#include "mesh/OFPolymeshReader.h"
#include "model/OFReader.h"
#include "model/OFUtilities.h"
#include "plugin/OpenFoamProvider.h"
#include "tests/support/CaseTree.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ProviderHarness.h"

using vx::Str;
using vxphost::NotificationCall;
using vxphost::NotificationKind;

namespace {

const std::string DATA = FOAMPROVIDER_TEST_DATA_DIR;

OFReader openData(const std::string& name, bool hideProcessorPatches = false) {
    OFReader reader;
    reader.setLoadBoundariesFlag(true);
    reader.setLoadCellZonesFlag(true);
    reader.setMakeNodeAverageResultFlag(true);
    reader.setHideProcessorInterfacesAsBoundariesFlag(hideProcessorPatches);
    reader.setCustomResultNames("U=Velocity;p=Pressure;rho=Density;T=Temperature;g=Gravity");
    EXPECT_TRUE(reader.init(Str::fromUtf8(DATA + "/" + name))) << name;
    return reader;
}

std::vector<std::string> partNames(const OFReader& reader) {
    std::vector<std::string> names;
    for (size_t i = 0; i < reader.partCount(); ++i) names.push_back(reader.part(i).name().toStdString());
    return names;
}

std::vector<std::string> stateFolders(const OFReader& reader) {
    std::vector<std::string> names;
    for (size_t i = 0; i < reader.stateCount(); ++i)
        names.push_back(OFUtilities::folderNameFromPath(reader.state(i).folder()).toStdString());
    return names;
}

std::vector<std::string> processorNames(const std::string& prefix, int count) {
    std::vector<std::string> names;
    for (int k = 0; k < count; ++k) names.push_back(prefix + "processor" + std::to_string(k));
    return names;
}

size_t cellCount(const OFPart& part) {
    size_t cells = 0;
    EXPECT_TRUE(OFPolymeshReader::readCellCount(part.folder(), &cells)) << part.folder().toStdString();
    return cells;
}

std::string copyOfData(const std::string& name) {
    const std::string dir = testsupport::makeTempFolder(name);
    std::filesystem::copy(DATA + "/" + name, dir, std::filesystem::copy_options::recursive);
    return dir;
}

OpenFoamProvider& providerOf(ProviderHarness& host) { return *dynamic_cast<OpenFoamProvider*>(host.provider()); }

// Sums of the volume values (group 0 of each part) of the parts of one region, per component.
std::vector<double> regionSums(ProviderHarness& host, const vxphost::RecordingResult& values, const std::string& region) {
    const OFReader& reader = providerOf(host).reader();
    std::vector<double> sums;
    size_t group = 0;
    for (size_t i = 0; i < reader.partCount(); ++i) {
        const OFPart& part = reader.part(i);
        if (part.regionName().toStdString() == region) {
            const auto& v = values.valueGroup(group);
            sums.resize(static_cast<size_t>(v.components()), 0.0);
            for (size_t k = 0; k < v.values().size(); ++k) sums[k % sums.size()] += v.values()[k];
        }
        group += 1 + part.boundaries().size();
    }
    return sums;
}

}  // namespace

TEST(CaseLayouts, ReconstructedRunWithLeftoverFoldersReadsTheRoot) {
    LogCapture log;
    const OFReader reader = openData("reconstructed");
    EXPECT_EQ(partNames(reader), std::vector<std::string>{"default_region"});
    EXPECT_EQ(reader.simulationDescription(), Str("Single-Region Simulation"));
    // The serial continuation at the root: 0.15 and 0.2 exist nowhere else.
    EXPECT_EQ(stateFolders(reader), (std::vector<std::string>{"0", "0.05", "0.1", "0.15", "0.2"}));
    const OFState& last = reader.state(4);
    EXPECT_EQ(last.fieldFolderForPart(reader.part(0)), Str::fromUtf8(DATA + "/reconstructed/0.2"));
    EXPECT_EQ(last.stepIndex(), 40u);
    ASSERT_GT(last.resultCount(), 0u);
    EXPECT_TRUE(last.hasResultForPart(last.result(0), reader.part(0)));

    const std::vector<std::string> infos = log.texts(3);
    const auto aside = std::count_if(infos.begin(), infos.end(), [](const std::string& line) {
        return line.find("processor folders are left aside (processor0, processor1)") != std::string::npos;
    });
    EXPECT_EQ(aside, 1);
    for (const char* name : {"0.orig", "0.05.bak", "5_old", ".0.3", "0x10"})
        EXPECT_TRUE(log.contains("Parsed folder, non registered " + DATA + "/reconstructed/" + name + " state.", 3))
            << name;
    EXPECT_FALSE(log.contains("/processor0 state."));
}

TEST(CaseLayouts, WhatTellsAReconstructedRunFromADecomposedOne) {
    // What decomposePar leaves: the root holds its start time only (and a copy of it).
    CaseTree tree;
    tree.writeControlDict();
    tree.writeBoundary("constant/polyMesh/boundary", {{"walls", "wall", 4}});
    tree.writeBoundary("processor0/constant/polyMesh/boundary", {{"walls", "wall", 2}});
    tree.write("0/p", "p");
    tree.write("0.orig/p", "p");
    // A later time folder with run-time data only is no reconstructed time either.
    tree.write("0.5/uniform/time", "time");
    OFReader reader;
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(reader.simulationDescription(), Str("Parallel Simulation\n"));
    EXPECT_EQ(partNames(reader), std::vector<std::string>{"processor0"});

    // Field files of a region in a later time folder: reconstructed.
    tree.writeBoundary("constant/heater/polyMesh/boundary", {{"walls", "wall", 4}});
    tree.write("0.5/heater/T", "T");
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(partNames(reader), (std::vector<std::string>{"default_region", "heater"}));

    // Without a mesh of its own the root cannot be read: decomposed whatever its times hold.
    tree.remove("constant");
    tree.write("0.5/p", "p");
    ASSERT_TRUE(reader.init(tree.root()));
    EXPECT_EQ(partNames(reader), std::vector<std::string>{"processor0"});
}

TEST(CaseLayouts, DecomposedMultiRegionRun) {
    LogCapture log;
    const OFReader reader = openData("multi_region_decomposed");
    EXPECT_EQ(reader.simulationDescription(), Str("Parallel Multi-Region Simulation\n"));
    std::vector<std::string> expected;
    for (const char* region : {"bottomWater", "heater", "leftSolid", "rightSolid", "topAir"}) {
        const std::vector<std::string> names = processorNames(std::string(region) + "/", 4);
        expected.insert(expected.end(), names.begin(), names.end());
    }
    ASSERT_EQ(partNames(reader), expected);

    // Cell counts per region add up to those of the same run reconstructed.
    std::map<std::string, size_t> cells;
    for (size_t i = 0; i < reader.partCount(); ++i) cells[reader.part(i).regionName().toStdString()] += cellCount(reader.part(i));
    EXPECT_EQ(cells, (std::map<std::string, size_t>{
                         {"bottomWater", 144}, {"heater", 21}, {"leftSolid", 30}, {"rightSolid", 30}, {"topAir", 150}}));

    const OFPart& heater2 = reader.part(6);
    EXPECT_EQ(heater2.folder(), Str::fromUtf8(DATA + "/multi_region_decomposed/processor2/constant/heater/polyMesh"));
    EXPECT_EQ(cellCount(heater2), 0u);  // the heater lies in processor0 only
    const OFPart& water1 = reader.part(1);
    ASSERT_EQ(water1.cellZones().size(), 1u);
    EXPECT_EQ(water1.cellZones()[0].name(), Str("bottomWater"));
    std::vector<std::string> patches;
    for (const OFBoundary& b : water1.boundaries()) patches.push_back(b.patchName().toStdString());
    EXPECT_EQ(patches, (std::vector<std::string>{"maxX", "minY", "minZ", "maxZ", "bottomWater_to_heater",
                                                 "procBoundary1to0", "procBoundary1to3"}));
    const OFReader hidden = openData("multi_region_decomposed", true);
    EXPECT_EQ(hidden.part(1).boundaries().size(), 5u);

    // The times of the processor folders; 0.orig beside 0 is no time.
    EXPECT_EQ(stateFolders(reader), (std::vector<std::string>{"0", "0.002"}));
    EXPECT_TRUE(log.contains("Parsed folder, non registered " + DATA + "/multi_region_decomposed/0.orig state.", 3));
    const OFState& last = reader.state(1);
    EXPECT_EQ(last.stepIndex(), 2u);  // uniform/time of the processor folders
    EXPECT_EQ(last.fieldFolderForPart(heater2),
              Str::fromUtf8(DATA + "/multi_region_decomposed/processor2/0.002/heater"));
    std::vector<std::string> natives;
    for (size_t i = 0; i < last.resultCount(); ++i)
        if (last.result(i).mapping() == ELEMENT) natives.push_back(last.result(i).nativeName().toStdString());
    std::sort(natives.begin(), natives.end());
    natives.erase(std::unique(natives.begin(), natives.end()), natives.end());
    EXPECT_EQ(natives, (std::vector<std::string>{"Qdot", "T", "U", "p", "p_rgh", "rho"}));
}

TEST(CaseLayouts, DecomposedMultiRegionValuesEqualTheReconstructedRun) {
    ProviderHarness host;
    ASSERT_TRUE(host.open(DATA + "/multi_region_decomposed"));
    EXPECT_EQ(host.metaData().problemInfo()->description, "Parallel Multi-Region Simulation\n");
    ASSERT_TRUE(host.geometry());
    auto sums = [&host](const char* result, const char* region) {
        vxphost::RecordingResult values;
        EXPECT_TRUE(host.result(host.resultNamed(result)->id, 2, &values));
        return regionSums(host, values, region);
    };
    // Sums over all cells of a region, from the reconstructed run's fields at 0.002.
    EXPECT_NEAR(sums("Pressure", "bottomWater")[0], 33984.75687, 1e-6);
    EXPECT_NEAR(sums("Temperature", "heater")[0], 6300.20829, 1e-6);
    EXPECT_NEAR(sums("Temperature", "topAir")[0], 45000.00206, 1e-6);
    EXPECT_NEAR(sums("p_rgh", "topAir")[0], 14999996.739, 1e-4);
    EXPECT_NEAR(sums("Velocity", "bottomWater")[0], 0.15187152444, 1e-9);
    EXPECT_NEAR(sums("Temperature", "leftSolid")[0], 30 * 300.0, 1e-9);
}

TEST(CaseLayouts, DecomposedMultiRegionPollingAndMovedPoints) {
    const std::string dir = copyOfData("multi_region_decomposed");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    for (int k = 0; k < 4; ++k) {
        const std::string processor = dir + "/processor" + std::to_string(k);
        std::filesystem::copy(processor + "/0.002", processor + "/0.003", std::filesystem::copy_options::recursive);
    }
    // Moved points of the heater in processor0 (64 points) at 0.003.
    std::vector<double> shifted;
    for (int n = 0; n < 64; ++n) shifted.insert(shifted.end(), {1.0, 2.0, 3.0 + n});
    testsupport::writeFile(dir + "/processor0/0.003/heater/polyMesh/points",
                           testsupport::foamFile("vectorField", "points", testsupport::pointsBody(shifted, {}), {}));
    std::vector<NotificationCall> calls;
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_FALSE(calls.empty());  // then the states held since opening, under their new ids
    EXPECT_EQ(calls[0].kind, NotificationKind::Add);
    EXPECT_DOUBLE_EQ(calls[0].value, 0.003);
    // The displacement result is new with the polled state: numbered, not yet published.
    const int points = providerOf(host).displacementResultId();
    ASSERT_GT(points, 0);
    vxphost::RecordingResult moved;
    ASSERT_TRUE(host.result(points, calls[0].id, &moved));
    const OFReader& reader = providerOf(host).reader();
    size_t group = 0;
    for (size_t i = 0; i < 4; ++i) group += 1 + reader.part(i).boundaries().size();
    EXPECT_EQ(reader.part(4).name(), Str("heater/processor0"));
    EXPECT_EQ(moved.valueGroup(group).values(), shifted);

    host.poll(&calls);  // the verification pass
    for (int k = 0; k < 4; ++k) std::filesystem::remove_all(dir + "/processor" + std::to_string(k) + "/0.003");
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, NotificationKind::Remove);
    testsupport::removeFolder(dir);
}

TEST(CaseLayouts, ProcessorsInNumberOrder) {
    const OFReader reader = openData("decomposed_12");
    ASSERT_EQ(partNames(reader), processorNames("", 12));
    for (size_t i = 1; i < reader.partCount(); ++i) EXPECT_GT(reader.part(i).id(), reader.part(i - 1).id());
    EXPECT_EQ(stateFolders(reader), (std::vector<std::string>{"0", "0.05"}));

    ProviderHarness host;
    ASSERT_TRUE(host.open(DATA + "/decomposed_12"));
    ASSERT_TRUE(host.geometry());
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, 2, &values));
    const OFReader& shown = providerOf(host).reader();
    size_t group = 0;
    for (size_t i = 0; i < shown.partCount(); ++i) {
        EXPECT_EQ(shown.part(i).elementCount(), 12u);
        const std::vector<double>& v = values.valueGroup(group).values();
        EXPECT_EQ(v.size(), 12u);
        EXPECT_EQ(std::count(v.begin(), v.end(), vx::UNDEFINED_DOUBLE), 0);
        group += 1 + shown.part(i).boundaries().size();
    }
}

TEST(CaseLayouts, TopologyChangeLeavesTheLaterStatesUndefined) {
    const OFReader reader = openData("topology_change");
    ASSERT_EQ(stateFolders(reader), (std::vector<std::string>{"0", "0.05", "0.055", "0.105"}));
    for (size_t s = 0; s < reader.stateCount(); ++s)
        for (size_t i = 0; i < reader.state(s).resultCount(); ++i)
            EXPECT_NE(reader.state(s).result(i).type(), DISPLACEMENT) << "a whole mesh is no moved points";
    EXPECT_FALSE(reader.meshReplacedAtState(0, reader.state(1)));
    EXPECT_TRUE(reader.meshReplacedAtState(0, reader.state(2)));
    // 0.105 holds fields only: its mesh is the one written at 0.055.
    EXPECT_EQ(reader.meshFolderAtState(0, reader.state(3)), Str::fromUtf8(DATA + "/topology_change/0.055/polyMesh"));

    ProviderHarness host;
    ASSERT_TRUE(host.open(DATA + "/topology_change"));
    ASSERT_TRUE(host.geometry());
    EXPECT_EQ(host.geometryRecord().elementGroup(0).elementCount(), 100u);
    LogCapture log;
    for (const auto& published : host.metaData().results()) {
        for (const auto& state : host.metaData().states()) {
            vxphost::RecordingResult values;
            ASSERT_TRUE(host.result(published.id, state.id, &values)) << published.name << " at " << state.value;
            const std::vector<double>& v = values.valueGroup(0).values();
            const auto undefined = std::count(v.begin(), v.end(), vx::UNDEFINED_DOUBLE);
            // Sized for the mesh shown: 100 cells, 242 nodes.
            const size_t items = published.elementResult ? 100 : 242;
            EXPECT_TRUE(!v.empty() && v.size() % items == 0) << published.name << ": " << v.size();
            if (state.value > 0.05) {
                EXPECT_EQ(static_cast<size_t>(undefined), v.size()) << published.name << " at " << state.value;
            } else if (state.value > 0.0) {
                EXPECT_EQ(undefined, 0) << published.name << " at " << state.value;
            }
        }
    }
    const std::vector<std::string> infos = log.texts(3);
    for (const char* time : {"0.055", "0.105"}) {
        const std::string message = std::string("The mesh at time ") + time +
                                    " is not the mesh shown (default_region: 163 cells instead of 100): the results at "
                                    "this time are undefined.";
        EXPECT_EQ(std::count_if(infos.begin(), infos.end(),
                                [&message](const std::string& line) { return line.find(message) != std::string::npos; }),
                  1)
            << time;
    }
    EXPECT_FALSE(log.contains("not correctly dimensioned"));
    EXPECT_FALSE(log.contains("The mesh at time 0.05 "));
}

TEST(CaseLayouts, SurfacesOfEverySurfacesFunctionObject) {
    LogCapture log;
    const OFReader reader = openData("sampled_surfaces_regions");
    std::vector<std::string> names;
    for (size_t k = 0; k < reader.sampledSurfaceCount(); ++k) {
        const OFSampledSurface& surface = reader.sampledSurface(k);
        EXPECT_EQ(surface.id(), static_cast<int>(k) + 1);
        names.push_back(surface.userName().toStdString());
    }
    // The function object's folder (a region's one in front) leads the name; sampleSurface's
    // surfaces keep their own names.
    EXPECT_EQ(names, (std::vector<std::string>{"heater/surfaces/cut[Surf]", "planes/cut2[Surf]", "cut[Surf]"}));
    EXPECT_EQ(reader.sampledSurface(0).folder(),
              Str::fromUtf8(DATA + "/sampled_surfaces_regions/postProcessing/heater/surfaces/10/cut"));
    const std::vector<std::string> infos = log.texts(3);
    ASSERT_EQ(std::count_if(infos.begin(), infos.end(),
                            [](const std::string& line) { return line.find("Sampled surfaces not read") != std::string::npos; }),
              1);
    EXPECT_TRUE(log.contains("Sampled surfaces not read (only the foam surface format is read): postProcessing/surfacesRaw "
                             "(T_cut2.raw), postProcessing/surfacesVtk (cut.vtp)",
                             3));
    EXPECT_FALSE(log.contains("probes"));

    ProviderHarness host;
    ASSERT_TRUE(host.open(DATA + "/sampled_surfaces_regions"));
    ASSERT_TRUE(host.geometry());
    const OFReader& shown = providerOf(host).reader();
    size_t firstSurfaceGroup = 0;
    for (size_t i = 0; i < shown.partCount(); ++i) firstSurfaceGroup += 1 + shown.part(i).boundaries().size();
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.result(host.resultNamed("Temperature [N]")->id, 2, &values));
    ASSERT_EQ(values.valueGroupCount(), firstSurfaceGroup + 3);
    for (size_t k = 0; k < 3; ++k) {
        const std::vector<double>& v = values.valueGroup(firstSurfaceGroup + k).values();
        EXPECT_EQ(v.size(), shown.sampledSurface(k).nodeCount()) << k;
        EXPECT_EQ(std::count(v.begin(), v.end(), vx::UNDEFINED_DOUBLE), 0) << k;
    }
    // The same plane sampled by two function objects.
    EXPECT_EQ(values.valueGroup(firstSurfaceGroup).values(), values.valueGroup(firstSurfaceGroup + 2).values());
}

TEST(CaseLayouts, SampledFieldsWhoseNamesHoldADot) {
    // interFoam samples alpha.water; Euler solvers U.air beside U.
    namespace fs = std::filesystem;
    const std::string dir = testsupport::makeTempFolder("dotted_surfaces");
    fs::copy(DATA + "/sampled_surfaces", dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const std::string fields = dir + "/postProcessing/sampleSurface/0.1/midPlane/";
    fs::copy_file(fields + "scalarField/p", fields + "scalarField/alpha.water");
    fs::copy_file(fields + "vectorField/U", fields + "vectorField/U.air");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    ASSERT_NE(host.resultNamed("alpha.water [N]"), nullptr);
    ASSERT_NE(host.resultNamed("U.air [N]"), nullptr);
    EXPECT_EQ(host.resultNamed("alpha [N]"), nullptr);
    const OFReader& shown = providerOf(host).reader();
    size_t firstSurfaceGroup = 0;
    for (size_t i = 0; i < shown.partCount(); ++i) firstSurfaceGroup += 1 + shown.part(i).boundaries().size();
    for (const auto& [copy, original] : {std::pair<const char*, const char*>{"alpha.water [N]", "Pressure [N]"},
                                         {"U.air [N]", "Velocity [N]"}}) {
        vxphost::RecordingResult read, expected;
        ASSERT_TRUE(host.result(host.resultNamed(copy)->id, 3, &read)) << copy;
        ASSERT_TRUE(host.result(host.resultNamed(original)->id, 3, &expected)) << original;
        for (size_t k = 0; k < shown.sampledSurfaceCount(); ++k) {
            const std::vector<double>& values = read.valueGroup(firstSurfaceGroup + k).values();
            if (shown.sampledSurface(k).surfaceFolderName() == Str("midPlane"))
                EXPECT_EQ(values, expected.valueGroup(firstSurfaceGroup + k).values()) << copy;
            else  // the other surface has no such file
                EXPECT_EQ(std::count(values.begin(), values.end(), vx::UNDEFINED_DOUBLE), static_cast<long>(values.size()));
        }
    }
    testsupport::removeFolder(dir);
}

// The surfaces of the latest time are written after its fields, perhaps after the case was opened.
TEST(CaseLayouts, SurfacesSampledAfterTheLatestFolderWasListed) {
    namespace fs = std::filesystem;
    const std::string dir = copyOfData("sampled_surfaces");
    const std::string latest = dir + "/postProcessing/sampleSurface/0.15";
    fs::rename(latest, dir + "/later");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    const OFReader& shown = providerOf(host).reader();
    size_t firstSurfaceGroup = 0;
    for (size_t i = 0; i < shown.partCount(); ++i) firstSurfaceGroup += 1 + shown.part(i).boundaries().size();
    const int pressure = host.resultNamed("Pressure [N]")->id;
    const int state = host.metaData().states().back().id;
    const auto undefinedCount = [](const std::vector<double>& v) {
        return static_cast<size_t>(std::count(v.begin(), v.end(), vx::UNDEFINED_DOUBLE));
    };
    vxphost::RecordingResult before;
    ASSERT_TRUE(host.result(pressure, state, &before));
    EXPECT_EQ(before.valueGroupCount(), firstSurfaceGroup) << "no surface values yet";

    fs::rename(dir + "/later", latest);
    vxphost::RecordingResult after;
    ASSERT_TRUE(host.result(pressure, state, &after));
    for (size_t k = 0; k < shown.sampledSurfaceCount(); ++k) {
        const std::vector<double>& values = after.valueGroup(firstSurfaceGroup + k).values();
        EXPECT_EQ(values.size(), shown.sampledSurface(k).nodeCount()) << k;
        EXPECT_EQ(undefinedCount(values), 0u) << k;
    }
    testsupport::removeFolder(dir);
}

// A solver refining its mesh writes the new mesh beside the fields, file by file: a case opened
// (or polled) before the mesh was there must still see it once it is.
TEST(CaseLayouts, AMeshWrittenAfterTheFieldsOfItsTimeIsSeen) {
    using namespace testsupport;
    const std::string dir = makeTempFolder("refining");
    const Mesh mesh = hexBlockMesh(2, 1, 1);
    const Mesh refined = hexBlockMesh(4, 1, 1);
    writeCaseSkeleton(dir);
    writePolyMesh(dir + "/constant/polyMesh", mesh);
    std::vector<PatchField> patches;
    for (const Patch& p : mesh.patches) patches.push_back({p.name, "type zeroGradient;"});
    writeFile(dir + "/0/p", fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", {1.0, 2.0}, 1, patches, {}));
    writeFile(dir + "/1/p", fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", {1.0, 2.0, 3.0, 4.0}, 1, patches, {}));

    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    const auto expectUndefinedAtTime1 = [&](const std::string& cells) {
        LogCapture log;
        vxphost::RecordingResult values;
        ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, host.metaData().states()[1].id, &values));
        EXPECT_EQ(values.valueGroup(0).values(), std::vector<double>(2, vx::UNDEFINED_DOUBLE));
        EXPECT_TRUE(log.contains("The mesh at time 1 is not the mesh shown (default_region: " + cells +
                                     " cells instead of 2)", 3)) << cells;
        EXPECT_EQ(log.count(1), 0u) << (log.count(1) ? log.texts(1).front() : "");
    };
    writePolyMesh(dir + "/1/polyMesh", refined);
    std::filesystem::remove(dir + "/1/polyMesh/owner");
    std::filesystem::remove(dir + "/1/polyMesh/neighbour");
    expectUndefinedAtTime1("?");
    writePolyMesh(dir + "/1/polyMesh", refined);
    expectUndefinedAtTime1("4");
    removeFolder(dir);
}

TEST(CaseLayouts, MeshWrittenAgainOrRenumbered) {
    using namespace testsupport;
    const std::string dir = makeTempFolder("remeshed");
    const Mesh mesh = hexBlockMesh(2, 1, 1);
    writeCaseSkeleton(dir);
    writePolyMesh(dir + "/constant/polyMesh", mesh);
    std::vector<PatchField> patches;
    for (const Patch& p : mesh.patches) patches.push_back({p.name, "type zeroGradient;"});
    for (const char* time : {"0", "1", "2"})
        writeFile(dir + "/" + time + "/p", fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", {1.0, 2.0}, 1, patches, {}));
    // 1: the same mesh written again (binary this time, and with moved points); 2: its two cells
    // numbered the other way round.
    Mesh moved = mesh;
    for (double& x : moved.points) x += 0.5;
    WriteOptions binary;
    binary.binary = true;
    writePolyMesh(dir + "/1/polyMesh", moved, binary);
    Mesh renumbered = mesh;
    for (int& cell : renumbered.owner) cell = 1 - cell;
    for (int& cell : renumbered.neighbour) cell = 1 - cell;
    writePolyMesh(dir + "/2/polyMesh", renumbered);

    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    LogCapture log;
    for (int state : {2, 3}) {
        vxphost::RecordingResult values;
        ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, state, &values));
        const std::vector<double> expected =
            state == 2 ? std::vector<double>{1.0, 2.0} : std::vector<double>(2, vx::UNDEFINED_DOUBLE);
        EXPECT_EQ(values.valueGroup(0).values(), expected) << state;
    }
    EXPECT_FALSE(log.contains("The mesh at time 1 "));
    EXPECT_TRUE(log.contains("The mesh at time 2 is not the mesh shown (default_region: 2 cells instead of 2)", 3));
    removeFolder(dir);
}
