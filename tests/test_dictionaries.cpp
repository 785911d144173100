#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "io/OFFile.h"
#include "model/OFBoundary.h"
#include "model/OFCellZone.h"
#include "model/OFFaceZone.h"
#include "tests/support/CaseTree.h"
#include "tests/support/LogCapture.h"

using vx::Str;

namespace {

std::string rawLabels(const std::vector<int32_t>& values) {
    std::string bytes(values.size() * sizeof(int32_t), '\0');
    std::memcpy(&bytes[0], values.data(), bytes.size());
    return bytes;
}

std::string zonesFile(const std::string& object, const std::string& zones, int count, const std::string& format = "ascii") {
    std::string text = CaseTree::header("regIOobject", object, format, "constant/polyMesh");
    if (format == "binary") text.replace(text.find("    class"), 0, "    arch        \"LSB;label=32;scalar=64\";\n");
    return text + std::to_string(count) + "\n(\n" + zones + ")\n";
}

std::string cellZone(const std::string& name, const std::string& list) {
    return name + "\n{\n    type cellZone;\n" + list + "}\n\n";
}

std::vector<OFCellZone> readCells(const CaseTree& tree, const std::string& content, bool* ok, bool gz = false) {
    gz ? tree.writeGz("cellZones.gz", content) : tree.write("cellZones", content);
    std::vector<OFCellZone> zones;
    OFFile reader(true);
    *ok = reader.readCellZones(tree.path("cellZones"), "cellZones", zones, 3);
    return zones;
}

std::vector<OFFaceZone> readFaces(const CaseTree& tree, const std::string& content, bool* ok) {
    tree.write("faceZones", content);
    std::vector<OFFaceZone> zones;
    OFFile reader(true);
    *ok = reader.readFaceZones(tree.path("faceZones"), "faceZones", zones, 3);
    return zones;
}

}  // namespace

TEST(DictDictionary, EntryRules) {
    CaseTree tree;
    tree.write("controlDict", CaseTree::header("dictionary", "controlDict", "ascii", "system") +
                                  "startTime 0; // start\n"
                                  "writeFormat     binary;\n"
                                  "writeInterval   5;   \n"
                                  "libs            (\"libA.so\" \"libB.so\");\n"
                                  "#include \"extra\"\n"
                                  "functions\n{\n    probes\n    {\n        type sets;\n"
                                  "        writeFormat ascii;\n    }\n}\n");
    std::map<Str, Str> entries;
    OFFile reader(true);
    ASSERT_TRUE(reader.readDictionary(tree.path("controlDict"), "controlDict", &entries));
    // Entries are read as OpenFOAM reads them: a comment behind an entry does not hide it, and the
    // entries of sub-dictionaries stay there.
    EXPECT_EQ(entries, (std::map<Str, Str>{{"startTime", "0"},
                                          {"writeFormat", "binary"},
                                          {"writeInterval", "5"},
                                          {"libs", "(\"libA.so\" \"libB.so\")"}}));
    LogCapture log;
    OFFile wrongObject(true);
    EXPECT_FALSE(wrongObject.readDictionary(tree.path("controlDict"), "time", &entries));
    EXPECT_TRUE(log.contains("OFFile : Unexpected object in dictionary file. File basename is " +
                             tree.path("controlDict").toStdString(), 1));
}

TEST(DictBoundary, IncompleteOrInvalidEntriesFailTheRead) {
    const std::string good = "    a\n    {\n        type wall;\n        nFaces 2;\n        startFace 0;\n    }\n";
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"no type", "1\n(\n    a\n    {\n        nFaces 2;\n        startFace 0;\n    }\n)\n"},
        {"no nFaces", "1\n(\n    a\n    {\n        type wall;\n        startFace 0;\n    }\n)\n"},
        {"no startFace", "1\n(\n    a\n    {\n        type wall;\n        nFaces 2;\n    }\n)\n"},
        {"negative nFaces", "1\n(\n    a\n    {\n        type wall;\n        nFaces -2;\n        startFace 0;\n    }\n)\n"},
        {"text startFace", "1\n(\n    a\n    {\n        type wall;\n        nFaces 2;\n        startFace abc;\n    }\n)\n"},
        {"fraction nFaces", "1\n(\n    a\n    {\n        type wall;\n        nFaces 2.5;\n        startFace 0;\n    }\n)\n"},
        {"fewer entries than announced", "2\n(\n" + good + ")\n"},
        {"file ends early", "2\n(\n" + good},
    };
    for (const auto& [what, body] : bad) {
        CaseTree tree;
        tree.write("boundary", CaseTree::header("polyBoundaryMesh", "boundary") + body);
        LogCapture log;
        std::vector<OFBoundary> boundaries;
        OFFile reader(true);
        EXPECT_FALSE(reader.readBoundary(tree.path("boundary"), "boundary", boundaries, 1)) << what;
        EXPECT_TRUE(log.contains("in boundary file. File basename is " + tree.path("boundary").toStdString(), 1)) << what;
    }
}

TEST(DictBoundary, ListWithoutItsCount) {
    // As converted meshes have it (tank3D): "(" right after the header, which OpenFOAM reads too.
    CaseTree tree;
    tree.write("boundary", CaseTree::header("polyBoundaryMesh", "boundary") +
                               "(\n    inlet\n    {\n        type patch;\n        startFace 4;\n        nFaces 2;\n    }\n\n"
                               "    WALL6\n    {\n        type wall;\n        startFace 6;\n        nFaces 3;\n    }\n)\n");
    LogCapture log;
    std::vector<OFBoundary> boundaries;
    OFFile reader(true);
    ASSERT_TRUE(reader.readBoundary(tree.path("boundary"), "boundary", boundaries, 1));
    ASSERT_EQ(boundaries.size(), 2u);
    EXPECT_EQ(boundaries[1].patchName(), Str("WALL6"));
    EXPECT_EQ(boundaries[1].startFaceIndex(), 6);
    EXPECT_EQ(boundaries[1].faceCount(), 3u);
    EXPECT_EQ(log.count(1), 0u);
}

TEST(DictZones, CellListFormsAndEmptyZones) {
    CaseTree tree;
    bool ok = false;
    const auto zones = readCells(tree,
                                 zonesFile("cellZones",
                                           cellZone("inline", "cellLabels      List<label> 3(4 5 6);\n") +
                                               cellZone("empty", "cellLabels      0();\n") +
                                               cellZone("ownLine", "cellLabels      List<label> \n3\n(\n4\n5\n6\n)\n;\n") +
                                               cellZone("countOnKeyword", "cellLabels      List<label> 3\n(\n4\n5\n6\n)\n;\n"),
                                           4),
                                 &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(zones.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(zones[i].cellIds(), (std::vector<int>{4, 5, 6})) << i;
        EXPECT_EQ(zones[i].id(), static_cast<int>(i) + 1);  // empty zones are dropped and not counted
        EXPECT_EQ(zones[i].partId(), 3);
    }
    EXPECT_EQ(zones[1].name(), Str("ownLine"));

    LogCapture log;
    EXPECT_TRUE(readCells(tree, zonesFile("cellZones", cellZone("e", "cellLabels      List<label> 0();\n"), 1), &ok).empty());
    EXPECT_TRUE(ok);
    EXPECT_TRUE(log.contains("OFFile : Found CellZones with 0 Conten for file " + tree.path("cellZones").toStdString() + ".", 3));
}

TEST(DictZones, CountNotMatchingTheListFailsTheRead) {
    const std::vector<std::string> cells = {
        "cellLabels      List<label> 3(4 5);\n",
        "cellLabels      List<label> \n4\n(\n4\n5\n6\n)\n;\n",
        "cellLabels      List<label> \n2\n(\n4\n5\n6\n)\n;\n",
        "cellLabels      List<label> \n(\n4\n5\n6\n)\n;\n",
        // A uniform list longer than its file has bytes: no allocation of 2^31 labels.
        "cellLabels      List<label> 2147483647{0};\n",
        "cellLabels      List<label> 268435456{7};\n",
        "cellLabels      List<label> -3{7};\n",
    };
    for (const std::string& list : cells) {
        CaseTree tree;
        LogCapture log;
        bool ok = true;
        readCells(tree, zonesFile("cellZones", cellZone("z", list), 1), &ok);
        EXPECT_FALSE(ok) << list;
        EXPECT_TRUE(log.contains("OFFile : Problem parsing file " + tree.path("cellZones").toStdString(), 1)) << list;
    }
    const std::vector<std::string> faces = {
        "faceLabels      List<label> 3(4 5);\nflipMap         List<bool> 3{0};\n",
        "faceLabels      List<label> 3(4 5 6);\nflipMap         List<bool> 4{0};\n",
        "faceLabels      List<label> \n2\n(\n4\n5\n6\n)\n;\nflipMap         List<bool> 2{0};\n",
        "faceLabels      List<label> 3(4 5 6);\nflipMap         List<bool> 2147483647{0};\n",
    };
    for (const std::string& lists : faces) {
        CaseTree tree;
        LogCapture log;
        bool ok = true;
        readFaces(tree, zonesFile("faceZones", "z\n{\n    type faceZone;\n" + lists + "}\n", 1), &ok);
        EXPECT_FALSE(ok) << lists;
        EXPECT_TRUE(log.contains("OFFile : Problem parsing file " + tree.path("faceZones").toStdString(), 1)) << lists;
    }
}

TEST(DictZones, BinaryCellAndFaceZones) {
    CaseTree tree;
    // Raw labels holding the bytes of "\n", "(", ")", "\r" and "}".
    const std::vector<int32_t> labels = {10, 40, 41, 2570, 13, 125};
    bool ok = false;
    const auto cells = readCells(tree,
                                 zonesFile("cellZones",
                                           cellZone("first", "cellLabels      List<label> \n6\n(" + rawLabels(labels) + ");\n") +
                                               cellZone("second", "cellLabels      List<label> 0;\n"),
                                           2, "binary"),
                                 &ok, true);
    ASSERT_TRUE(ok);
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0].cellIds(), std::vector<int>(labels.begin(), labels.end()));

    const std::string flags("\x01\x00\x01\x01\x00\x01", 6);  // one byte per flag
    const auto faces = readFaces(tree,
                                 zonesFile("faceZones",
                                           "baffle\n{\n    type faceZone;\nfaceLabels      List<label> \n6\n(" +
                                               rawLabels(labels) + ");\nflipMap         List<bool> \n6\n(" + flags + ");\n}\n",
                                           1, "binary"),
                                 &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_EQ(faces[0].faceIds(), std::vector<int>(labels.begin(), labels.end()));
    EXPECT_EQ(faces[0].flipMap(), (std::vector<int>{1, 0, 1, 1, 0, 1}));
}
