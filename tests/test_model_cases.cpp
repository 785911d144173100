// Cases written by OpenFOAM itself (tests/data, facts in its README.md).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/OFReader.h"
#include "model/OFUtilities.h"
#include "tests/support/LogCapture.h"

using vx::Str;

namespace {

OFReader openData(const char* name, bool hideProcessorPatches = false) {
    OFReader reader;
    reader.setLoadBoundariesFlag(true);
    reader.setLoadCellZonesFlag(true);
    reader.setLoadFaceZonesFlag(true);
    reader.setMakeNodeAverageResultFlag(true);
    reader.setHideProcessorInterfacesAsBoundariesFlag(hideProcessorPatches);
    reader.setCustomResultNames("U=Velocity;p=Pressure;rho=Density;T=Temperature;g=Gravity");
    const Str folder = name[0] == '/' ? Str(name) : Str(FOAMPROVIDER_TEST_DATA_DIR) + "/" + name;
    EXPECT_TRUE(reader.init(folder)) << name;
    return reader;
}

// "name:type:nFaces:startFace " per patch.
std::string patches(const OFPart& part) {
    std::string text;
    for (const OFBoundary& b : part.boundaries())
        text += b.patchName().toStdString() + ":" + b.type().toStdString() + ":" + std::to_string(b.faceCount()) + ":" +
                std::to_string(b.startFaceIndex()) + " ";
    return text;
}

// "folder#step" per state.
std::vector<std::string> times(const OFReader& reader) {
    std::vector<std::string> out;
    for (size_t i = 0; i < reader.stateCount(); ++i)
        out.push_back(OFUtilities::folderNameFromPath(reader.state(i).folder()).toStdString() + "#" +
                      std::to_string(reader.state(i).stepIndex()));
    return out;
}

std::vector<std::string> idStrings(const OFState& state) {
    std::vector<std::string> out;
    for (size_t i = 0; i < state.resultCount(); ++i) out.push_back(state.result(i).idString().toStdString());
    std::sort(out.begin(), out.end());
    return out;
}

const OFPart* partNamed(const OFReader& reader, const char* name) {
    for (size_t i = 0; i < reader.partCount(); ++i)
        if (reader.part(i).name() == Str(name)) return &reader.part(i);
    return nullptr;
}

const std::vector<std::string> CAVITY_RESULTS = {"PRESSURE_E", "PRESSURE_N", "VELOCITY_E", "VELOCITY_N"};

}  // namespace

TEST(ModelCases, CavityAsciiAndBinaryCompressed) {
    for (const char* name : {"cavity_multi_time", "cavity_binary_gz"}) {
        SCOPED_TRACE(name);
        const OFReader reader = openData(name);
        ASSERT_EQ(reader.partCount(), 1u);
        EXPECT_TRUE(reader.part(0).isDefaultRegion());
        EXPECT_EQ(patches(reader.part(0)), "movingWall:wall:10:180 fixedWalls:wall:30:190 frontAndBack:empty:200:220 ");
        // writeInterval 0.05 reads as 0: the folder 0 without uniform/time gets step 0.
        std::vector<std::string> expected = {"0#0", "0.05#10", "0.1#20", "0.15#30"};
        if (std::string(name) == "cavity_multi_time") expected.push_back("0.2#40");
        EXPECT_EQ(times(reader), expected);
        for (size_t i = 0; i < reader.stateCount(); ++i) EXPECT_EQ(idStrings(reader.state(i)), CAVITY_RESULTS);
        const OFState& last = reader.state(reader.stateCount() - 1);
        EXPECT_EQ(last.result(0).unit(), Str(last.result(0).nativeName() == Str("U") ? "m s-1 " : "m2 s-2 "));
        EXPECT_TRUE(last.hasResultForPart(last.result(0), reader.part(0)));
    }
}

TEST(ModelCases, MultiRegion) {
    const OFReader reader = openData("multi_region");
    ASSERT_EQ(reader.partCount(), 3u);
    const OFPart* global = partNamed(reader, "default_region");
    const OFPart* heater = partNamed(reader, "heater");
    ASSERT_TRUE(global && heater && partNamed(reader, "plate"));
    EXPECT_EQ(patches(*global), "hot:wall:4:52 cold:wall:4:56 walls:wall:16:60 frontAndBack:empty:64:76 ");
    ASSERT_EQ(global->cellZones().size(), 2u);
    EXPECT_EQ(global->cellZones()[0].cellIds(), (std::vector<int>{0, 1, 2, 8, 9, 10, 16, 17, 18, 24, 25, 26}));
    EXPECT_EQ(patches(*heater), "hot:wall:4:17 walls:wall:6:21 frontAndBack:empty:24:27 heater_to_plate:mappedWall:4:51 ");
    EXPECT_TRUE(heater->cellZones().empty());  // zones are read for the default region only
    // Every id leaves room for the lists of the part before.
    for (size_t i = 1; i < reader.partCount(); ++i) {
        const OFPart& before = reader.part(i - 1);
        EXPECT_EQ(reader.part(i).id(), before.id() + 1 + static_cast<int>(before.boundaries().size() +
                                                                          before.cellZones().size() + before.faceZones().size()));
    }
    EXPECT_EQ(times(reader), (std::vector<std::string>{"0#0", "10#10", "20#20", "30#30"}));
    const OFState& t30 = reader.state(3);
    // Each region adds its renamed fields again (the names already taken are display names).
    EXPECT_EQ(idStrings(t30), (std::vector<std::string>{"PRESSURE_E", "PRESSURE_E", "PRESSURE_N", "PRESSURE_N",
                                                        "TEMPERATURE_E", "TEMPERATURE_E", "TEMPERATURE_N", "TEMPERATURE_N"}));
    for (size_t i = 0; i < t30.resultCount(); ++i) {
        const OFResult& r = t30.result(i);
        if (r.idString() != Str("TEMPERATURE_E")) continue;
        EXPECT_EQ(r.unit(), Str("K "));
        EXPECT_TRUE(t30.hasResultForPart(r, *heater));
        EXPECT_FALSE(t30.hasResultForPart(r, *global));
    }
}

TEST(ModelCases, DecomposedRun) {
    const OFReader shown = openData("decomposed");
    EXPECT_EQ(shown.simulationDescription(), Str("Parallel Simulation\n"));
    const OFPart* p1 = partNamed(shown, "processor1");
    ASSERT_TRUE(partNamed(shown, "processor0") && p1);
    EXPECT_EQ(p1->folder(), Str(FOAMPROVIDER_TEST_DATA_DIR) + "/decomposed/processor1/constant/polyMesh");
    EXPECT_EQ(patches(*p1),
              "movingWall:wall:5:85 fixedWalls:wall:15:90 frontAndBack:empty:100:105 procBoundary1to0:processor:10:205 ");
    // The time folders of the root and of the processor folders together; uniform/time from
    // the first place that has it, results from the first processor folder holding the time.
    EXPECT_EQ(times(shown), (std::vector<std::string>{"0#0", "0.05#10", "0.1#20", "0.15#30"}));
    const OFState& last = shown.state(3);
    EXPECT_EQ(idStrings(last), (std::vector<std::string>{"PRESSURE_E", "PRESSURE_N", "VELOCITY_E", "VELOCITY_N"}));
    for (size_t i = 0; i < last.resultCount(); ++i)
        if (last.result(i).mapping() == ELEMENT) {
            EXPECT_TRUE(last.hasResultForPart(last.result(i), *p1));
        }
    EXPECT_EQ(last.fieldFolderForPart(*p1), Str(FOAMPROVIDER_TEST_DATA_DIR) + "/decomposed/processor1/0.15");
    EXPECT_EQ(shown.statesFolder(), (std::vector<Str>{"0", "0.05", "0.1", "0.15", "constant", "processor0",
                                                      "processor1", "system"}));
    EXPECT_EQ(partNamed(openData("decomposed", true), "processor0")->boundaries().size(), 3u);
}

TEST(ModelCases, Zones) {
    const OFReader reader = openData("zones");
    ASSERT_EQ(reader.partCount(), 1u);
    const OFPart& part = reader.part(0);
    EXPECT_EQ(patches(part), "inlet:patch:8:100 outlet:patch:8:108 walls:wall:72:116 ");
    ASSERT_EQ(part.cellZones().size(), 2u);
    EXPECT_EQ(part.cellZones()[0].cellIds(), (std::vector<int>{3, 4, 5, 9, 10, 11, 27, 28, 29, 33, 34, 35}));
    EXPECT_EQ(part.cellZones()[1].cellCount(), 36u);
    ASSERT_EQ(part.faceZones().size(), 2u);
    EXPECT_EQ(part.faceZones()[0].faceIds(), (std::vector<int>{6, 23, 27, 30, 32, 66, 77, 80, 82, 83}));
    EXPECT_EQ(part.faceZones()[0].flipMap(), (std::vector<int>{1, 1, 0, 0, 0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(part.faceZones()[1].flipMap(), std::vector<int>(8, 0));
    EXPECT_EQ(reader.state(0).resultCount(), 14u);  // p, U, C, Cx, Cy, Cz, V and their companions

    const OFReader polyhedra = openData("polyhedra");  // zone files with no entries: "0()"
    EXPECT_EQ(patches(polyhedra.part(0)), "floor:wall:7:52 walls:wall:36:59 ");
    EXPECT_TRUE(polyhedra.part(0).cellZones().empty());
    EXPECT_TRUE(polyhedra.part(0).faceZones().empty());
}

TEST(ModelCases, SampledSurfacesAndTensors) {
    const OFReader sampled = openData("sampled_surfaces");
    ASSERT_EQ(sampled.sampledSurfaceCount(), 2u);
    ASSERT_EQ(sampled.stateCount(), 4u);
    EXPECT_EQ(idStrings(sampled.state(0)), CAVITY_RESULTS);
    // Each written time adds the node results of both surfaces.
    EXPECT_EQ(idStrings(sampled.state(2)),
              (std::vector<std::string>{"PRESSURE_E", "PRESSURE_N", "PRESSURE_N*", "PRESSURE_N*", "VELOCITY_E", "VELOCITY_N",
                                        "VELOCITY_N*", "VELOCITY_N*"}));

    // turbulenceProperties:R is a symmetric tensor field, read as a tensor; phi is a surface field.
    const OFReader tensors = openData("tensors");
    ASSERT_EQ(tensors.stateCount(), 4u);
    EXPECT_EQ(idStrings(tensors.state(3)),
              (std::vector<std::string>{"EPSILON_E", "EPSILON_N", "GRAD(U)_AXIAL_E", "GRAD(U)_AXIAL_N", "GRAD(U)_E",
                                        "GRAD(U)_N", "K_E", "K_N", "NUT_E", "NUT_N",
                                        "PRESSURE_E", "PRESSURE_N", "TURBULENCEPROPERTIES:R_E",
                                        "TURBULENCEPROPERTIES:R_N", "VELOCITY_E", "VELOCITY_N", "WALLSHEARSTRESS_E",
                                        "WALLSHEARSTRESS_N"}));
}

TEST(ModelCases, ZoneHeadersWithMetaAndZoneFilesThatCannotBeRead) {
    namespace fs = std::filesystem;
    const fs::path copy = fs::temp_directory_path() / ("foamprovider_zones_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(copy);
    fs::copy(fs::path(FOAMPROVIDER_TEST_DATA_DIR) / "zones", copy, fs::copy_options::recursive);
    const fs::path cellZones = copy / "constant/polyMesh/cellZones";
    const fs::path faceZones = copy / "constant/polyMesh/faceZones";
    auto rewrite = [](const fs::path& file, const std::string& from, const std::string& to) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        std::string s = text.str();
        s.replace(s.find(from), from.size(), to);
        std::ofstream(file) << s;
    };
    // Newer writers put the zone names in a sub-dictionary of the header.
    rewrite(cellZones, "    object      cellZones;", "    meta\n    {\n        names\n        (\n corner all\n );\n    }\n    object      cellZones;");
    {
        const OFReader reader = openData(copy.string().c_str());
        ASSERT_EQ(reader.partCount(), 1u);
        EXPECT_EQ(reader.part(0).cellZones().size(), 2u);
    }
    // A zone file that cannot be read loses its zones with one error; the case opens.
    rewrite(faceZones, "flipMap", "flipMap List<bool> 3{0};\nbroken");
    LogCapture log;
    const OFReader reader = openData(copy.string().c_str());
    ASSERT_EQ(reader.partCount(), 1u);
    EXPECT_TRUE(reader.part(0).faceZones().empty());
    EXPECT_EQ(reader.part(0).cellZones().size(), 2u);
    EXPECT_EQ(log.count(1), 1u);
    EXPECT_TRUE(log.contains(faceZones.string(), 1));
    fs::remove_all(copy);
}
