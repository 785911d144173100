#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/OFReader.h"
#include "model/OFUtilities.h"
#include "tests/support/CaseTree.h"
#include "tests/support/LogCapture.h"

using vx::Str;

namespace {

OFReader openCase(const CaseTree& tree, const std::vector<std::string>& timeFolders, const std::string& controlEntries = "") {
    tree.writeControlDict(controlEntries);
    tree.writeBoundary("constant/polyMesh/boundary", {{"walls", "wall", 4}});
    for (const std::string& folder : timeFolders) tree.mkdir(folder);
    OFReader reader;
    EXPECT_TRUE(reader.init(tree.root()));
    return reader;
}

std::vector<int> ids(const OFReader& reader) {
    std::vector<int> out;
    for (size_t i = 0; i < reader.stateCount(); ++i) out.push_back(reader.state(i).id());
    return out;
}

std::vector<size_t> steps(const OFReader& reader) {
    std::vector<size_t> out;
    for (size_t i = 0; i < reader.stateCount(); ++i) out.push_back(reader.state(i).stepIndex());
    return out;
}

long inFolderList(const OFReader& reader, const char* name) {
    return std::count(reader.statesFolder().begin(), reader.statesFolder().end(), Str(name));
}

}  // namespace

TEST(ModelStates, TimeOrderIdsInFolderTextOrderAndNames) {
    CaseTree tree;
    LogCapture log;
    const OFReader reader = openCase(tree, {"0", "0.5", "1", "10", "2", "dynamicCode"}, "writeInterval   1;\n");
    ASSERT_EQ(reader.stateCount(), 5u);
    EXPECT_EQ(ids(reader), (std::vector<int>{1, 2, 3, 5, 4}));
    EXPECT_EQ(steps(reader), (std::vector<size_t>{0, 1, 2, 3, 4}));
    std::vector<Str> names;
    for (size_t i = 0; i < reader.stateCount(); ++i) names.push_back(reader.state(i).name());
    EXPECT_EQ(names, (std::vector<Str>{"Time 0.00000 #0", "Time 0.50000 #1", "Time 1.00000 #2", "Time 2.00000 #3",
                                       "Time 10.00000 #4"}));
    EXPECT_EQ(reader.stateById(5)->folder(), tree.root() + "/2");
    EXPECT_EQ(reader.stateById(6), nullptr);
    EXPECT_EQ(reader.statesFolder(), (std::vector<Str>{"0", "0.5", "1", "10", "2", "constant", "dynamicCode", "system"}));
    EXPECT_TRUE(log.contains("OFReader : Parsed folder, non registered " + tree.root().toStdString() + "/dynamicCode state.", 3));
    EXPECT_FALSE(log.contains("/constant state."));
}

TEST(ModelStates, AddingAndDeletingRenumbersByTime) {
    CaseTree tree;
    OFReader reader = openCase(tree, {"0", "0.5", "1", "10", "2"});
    tree.mkdir("20");
    EXPECT_EQ(reader.addState("20"), 1006);
    EXPECT_EQ(ids(reader), (std::vector<int>{1001, 1002, 1003, 1004, 1005, 1006}));
    EXPECT_EQ(reader.state(5).name(), Str("Time 20.00000 #5"));
    EXPECT_EQ(inFolderList(reader, "20"), 1);

    EXPECT_EQ(reader.deleteState("2"), 3);
    EXPECT_EQ(ids(reader), (std::vector<int>{1001, 1002, 1003, 1004, 1005}));
    EXPECT_EQ(reader.state(3).folder(), tree.root() + "/10");
    EXPECT_EQ(reader.state(4).name(), Str("Time 20.00000 #4"));
    EXPECT_EQ(inFolderList(reader, "2"), 0);

    tree.mkdir("0.75");
    EXPECT_EQ(reader.addState("0.75"), 1003);
    // A folder that is no time folder is mirrored in the folder list only.
    tree.mkdir("VTK");
    EXPECT_EQ(reader.addState("VTK"), -1);
    EXPECT_EQ(inFolderList(reader, "VTK"), 1);
    EXPECT_EQ(reader.deleteState("VTK"), -1);
    EXPECT_EQ(reader.stateCount(), 6u);
    EXPECT_EQ(inFolderList(reader, "VTK"), 0);
}

TEST(ModelStates, StepIndicesFromTimeDictionaryAndWriteInterval) {
    CaseTree tree;
    tree.write("1/uniform/time", CaseTree::header("dictionary", "time", "ascii", "1/uniform") +
                                     "value           1;\nname            \"1\";\nindex           250;\n");
    const OFReader reader = openCase(tree, {"0", "1", "2", "3"}, "writeInterval   5;\n");
    // The dictionary index wins; the counter advances for that state all the same.
    EXPECT_EQ(steps(reader), (std::vector<size_t>{0, 250, 10, 15}));
    EXPECT_EQ(reader.state(1).name(), Str("Time 1.00000 #250"));

    CaseTree other;
    LogCapture log;
    EXPECT_EQ(steps(openCase(other, {"0", "1", "2"}, "writeInterval   abc;\n")), (std::vector<size_t>{0, 1, 2}));
    EXPECT_TRUE(log.contains("OFReader : Failed to convert writeInterval value ( abc ) from controlDict. Using 1 instead", 3));
}

TEST(ModelStates, OnlyWholeNumbersNameTimeFolders) {
    CaseTree tree;
    LogCapture log;
    OFReader reader = openCase(tree, {"1e-05", "0", "-1", "+2", "0.orig", "0.5.bak", "5_old", ".0.3", "0x10", "inf",
                                      "nan", "1e", "VTK", "postProcessing"});
    std::vector<double> values;
    for (size_t i = 0; i < reader.stateCount(); ++i) values.push_back(reader.state(i).referenceValue());
    EXPECT_EQ(values, (std::vector<double>{-1.0, 0.0, 1e-05, 2.0}));
    EXPECT_EQ(reader.state(2).name(), Str("Time 0.00001 #2"));
    for (const char* name : {"0.orig", "0.5.bak", "5_old", ".0.3", "0x10", "inf", "nan", "1e", "VTK"})
        EXPECT_TRUE(log.contains("OFReader : Parsed folder, non registered " + tree.path(name).toStdString() + " state.", 3))
            << name;
    EXPECT_FALSE(log.contains("/postProcessing state."));

    // Polling follows the same rule.
    tree.mkdir("0.1_old");
    EXPECT_EQ(reader.addState("0.1_old"), -1);
    tree.mkdir("0.1");
    EXPECT_EQ(reader.addState("0.1"), 1004);
    EXPECT_EQ(reader.stateCount(), 5u);

    CaseTree none;
    EXPECT_EQ(openCase(none, {"VTK"}).stateCount(), 0u);
}

TEST(ModelStates, NaturalOrderAndTimeNames) {
    EXPECT_TRUE(OFUtilities::naturalLess("processor2", "processor10"));
    EXPECT_FALSE(OFUtilities::naturalLess("processor10", "processor2"));
    EXPECT_TRUE(OFUtilities::naturalLess("a02", "a2"));  // equal values: text order decides
    EXPECT_FALSE(OFUtilities::naturalLess("a2", "a02"));
    EXPECT_TRUE(OFUtilities::naturalLess("heater", "leftSolid"));
    EXPECT_TRUE(OFUtilities::naturalLess("p", "p1"));
    double value = 0.0;
    EXPECT_TRUE(OFUtilities::timeValueOfName("0.000200000000001", &value));
    EXPECT_DOUBLE_EQ(value, 0.000200000000001);
    EXPECT_TRUE(OFUtilities::timeValueOfName("2.5e+06", &value));
    EXPECT_DOUBLE_EQ(value, 2.5e6);
    for (const char* name : {"", "-", "+-1", "1e999", ".5", "1 ", "1,5", "١"})
        EXPECT_FALSE(OFUtilities::timeValueOfName(Str::fromUtf8(name), &value)) << name;
}

// A moving mesh opened before its first write already offers its moved points; a mesh that
// stays, or that changes its cells (writing whole meshes), does not.
TEST(ModelStates, MovingMeshOffersItsPointsBeforeTheyAreWritten) {
    const auto offersPoints = [](const char* dictFolder, const char* meshType) {
        CaseTree tree;
        tree.write(std::string(dictFolder) + "/dynamicMeshDict",
                   CaseTree::header("dictionary", "dynamicMeshDict") + "dynamicFvMesh " + meshType + ";\n");
        const OFReader reader = openCase(tree, {"0"});
        if (reader.stateCount() != 1) return false;
        for (size_t i = 0; i < reader.state(0).resultCount(); ++i)
            if (reader.state(0).result(i).type() == DISPLACEMENT) return true;
        return false;
    };
    EXPECT_TRUE(offersPoints("constant", "dynamicMotionSolverFvMesh"));
    EXPECT_TRUE(offersPoints("constant", "dynamicMultiMotionSolverFvMesh"));
    EXPECT_FALSE(offersPoints("constant", "staticFvMesh"));
    EXPECT_FALSE(offersPoints("constant", "dynamicRefineFvMesh"));
    EXPECT_FALSE(offersPoints("system", "dynamicMotionSolverFvMesh")) << "not where OpenFOAM reads it";
}
