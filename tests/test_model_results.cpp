#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "io/OFFile.h"
#include "model/OFReader.h"
#include "model/OFResult.h"
#include "model/OFUnit.h"
#include "tests/support/CaseTree.h"
#include "tests/support/LogCapture.h"

using vx::Str;

namespace {

std::string field(const std::string& className, const std::string& object, const std::string& dimensions) {
    return CaseTree::header(className, object, "ascii", "0") + "dimensions      " + dimensions +
           ";\n\ninternalField   uniform 0;\n\nboundaryField\n{\n}\n";
}

// "name|idString|unit|type|mapping" of every result of the state.
std::vector<std::string> describe(const OFState& state) {
    std::vector<std::string> out;
    for (size_t i = 0; i < state.resultCount(); ++i) {
        const OFResult& r = state.result(i);
        out.push_back(r.name().toStdString() + "|" + r.idString().toStdString() + "|" + r.unit().toStdString() + "|" +
                      std::to_string(r.type()) + "|" + std::to_string(r.mapping()));
    }
    return out;
}

OFReader openCase(const CaseTree& tree, bool nodeAverages) {
    tree.writeControlDict();
    tree.writeBoundary("constant/polyMesh/boundary", {{"walls", "wall", 4}});
    OFReader reader;
    reader.setMakeNodeAverageResultFlag(nodeAverages);
    reader.setCustomResultNames("U=Velocity;p=Pressure;rho=Density");
    EXPECT_TRUE(reader.init(tree.root()));
    return reader;
}

}  // namespace

TEST(ModelUnit, TextsFromDimensionTokens) {
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[0", "1", "-1", "0", "0", "0", "0];"}).translate(), Str("m s-1 "));
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[", "0", "1", "-1", "0", "0", "0", "0", "];"}).translate(), Str("m s-1 "));
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[1", "-3", "0", "0", "0", "0", "0];"}).translate(), Str("Kg m-3 "));
    // OpenFOAM also reads the five-exponent form, named dimensions and unit expressions.
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[0", "2", "-2", "0", "0];"}).translate(), Str("m2 s-2 "));
    EXPECT_EQ(OFUnit::fromString({"dimensions", "0", "1", "-1", "0", "0", "0", "0;"}).translate(), Str("DIMENSIONLESS"));
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[m^2", "s^-2];"}).translate(), Str("m2 s-2 "));
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[kinematicPressure];"}).translate(), Str("m2 s-2 "));
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[kg/m^3];"}).translate(), Str("Kg m-3 "));
    bool known = true;
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[furlongs];"}, &known).translate(), Str("DIMENSIONLESS"));
    EXPECT_FALSE(known);
    EXPECT_EQ(OFUnit::fromString({"dimensions", "[m^0.5];"}, &known).translate(), Str("DIMENSIONLESS"));
    EXPECT_FALSE(known);
    EXPECT_EQ(OFUnit::fromBase(0, 0, 0, 1, 1, 1, 1).translate(), Str("K mol A cd "));

    // Both bracket spacings as they come out of a field file.
    CaseTree tree;
    tree.write("a", field("volVectorField", "U", "[0 1 -1 0 0 0 0]"));
    tree.write("b", field("volVectorField", "U", "[ 0 1 -1 0 0 0 0 ]"));
    for (const char* name : {"a", "b"}) {
        OFFile file(true);
        ASSERT_TRUE(file.open(tree.path(name)));
        std::vector<Str> tokens;
        file.readDimensions(&tokens);
        EXPECT_EQ(OFUnit::fromString(tokens), OFUnit::fromBase(0, 1, -1, 0, 0, 0, 0)) << name;
    }
}

TEST(ModelResults, DescriptorsAndNames) {
    const OFUnit none;
    EXPECT_EQ(OFResult("U", "Velocity", "VELOCITY_E", none, VECTOR, ELEMENT).expectedValueCount(10, 4), 12u);
    EXPECT_EQ(OFResult("R", "R [N]", "R_N*", none, TENSOR, NODE).className(), Str("pointTensorField"));
    const OFResult average("p", "p [node]", "P_N", none, SCALAR, NODE_AVERAGE);
    EXPECT_EQ(average.className(), Str("Veltrix averaged result from volume data"));
    EXPECT_EQ(average.expectedValueCount(10, 4), 10u);
    const OFResult points("points", "points", "POINTS", none, DISPLACEMENT, NODE);
    EXPECT_EQ(points.dimension(), -1);
    EXPECT_EQ(points.className(), Str(""));
    EXPECT_EQ(points.expectedValueCount(10, 4), static_cast<size_t>(-1));

    Str text("   U = Speed ;p=Druck;");
    EXPECT_EQ(OFReader::buildResultsNamesMap(text), (std::map<Str, Str>{{"U", "Speed"}, {"p", "Druck"}}));
    EXPECT_EQ(text, Str("U = Speed ;p=Druck;"));
    // Pieces without a name on both sides of "=" are skipped; later pieces replace earlier ones.
    Str messy("lonely;=x;k=;T==Temp=K;p=a;p=b; ; ");
    EXPECT_EQ(OFReader::buildResultsNamesMap(messy), (std::map<Str, Str>{{"T", "Temp"}, {"p", "b"}}));
    EXPECT_EQ(OFState::makeIdString("T"), Str("TEMPERATURE"));
    EXPECT_EQ(OFState::makeIdString("grad(U)"), Str("GRAD(U)"));
}

TEST(ModelResults, FieldFilesOfATimeFolder) {
    CaseTree tree;
    tree.write("0.1/U", field("volVectorField", "U", "[0 1 -1 0 0 0 0]"));
    tree.writeGz("0.1/U.gz", field("volVectorField", "U", "[0 1 -1 0 0 0 0]"));
    tree.write("0.1/U.orig", field("volVectorField", "U", "[0 1 -1 0 0 0 0]"));
    tree.write("0.1/rho", field("volScalarField", "rho", "[ 1 -3 0 0 0 0 0 ]"));
    tree.write("0.1/pointDisplacement", field("pointVectorField", "pointDisplacement", "[0 1 0 0 0 0 0]"));
    tree.write("0.1/phi", field("surfaceScalarField", "phi", "[0 3 -1 0 0 0 0]"));
    tree.write("0.1/noClass", "FoamFile\n{\n    version 2.0;\n    object noClass;\n}\n");
    tree.write("0.1/noObject", "FoamFile\n{\n    version 2.0;\n    class volScalarField;\n}\n");
    tree.write("0.1/alpha.water", field("volScalarField", "alpha.water", "[0 0 0 0 0 0 0]"));
    // A phase's field beside the mixture's, as Euler multiphase solvers write them.
    tree.write("0.1/U.air", field("volVectorField", "U.air", "[0 1 -1 0 0 0 0]"));
    // Moved points of a moving mesh (no faces: the topology stays) give the displacement result.
    tree.write("0.1/polyMesh/points", CaseTree::header("vectorField", "points") + "0\n()\n");
    LogCapture log;
    const OFReader reader = openCase(tree, false);
    ASSERT_EQ(reader.stateCount(), 1u);
    const OFState& state = reader.state(0);
    std::vector<std::string> results = describe(state);
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results[0], "points|POINTS|m |3|1");
    std::sort(results.begin() + 1, results.end());
    EXPECT_EQ(std::vector<std::string>(results.begin() + 1, results.end()),
              (std::vector<std::string>{"Density|DENSITY_E|Kg m-3 |0|0", "U.air|U.AIR_E|m s-1 |1|0",
                                        "Velocity|VELOCITY_E|m s-1 |1|0", "alpha.water|ALPHA.WATER_E|DIMENSIONLESS|0|0",
                                        "pointDisplacement [N]|POINTDISPLACEMENT_N*|m |1|1"}));
    const std::string folder = tree.root().toStdString() + "/0.1/";
    EXPECT_TRUE(log.contains("OFState : Ignoring class::surfaceScalarField foung in " + folder +
                                 "phi, result not supported in this reader", 3));
    EXPECT_TRUE(log.contains("Ignoring class:: foung in " + folder + "noClass,", 3));
    EXPECT_TRUE(log.contains("Ignoring class::volScalarField foung in " + folder + "noObject,", 3));
    // A field whose name holds a dot is found under its full name.
    for (size_t i = 0; i < state.resultCount(); ++i) {
        if (state.result(i).nativeName() == Str("alpha.water") || state.result(i).nativeName() == Str("U.air")) {
            EXPECT_TRUE(state.hasResultForPart(state.result(i), reader.part(0)));
        }
    }
}

// Only results that a read can find are offered: a leftover copy (alpha.water.orig before setFields
// has made alpha.water) or a hand-written file whose header names another object would be read
// from a file that is not there.
TEST(ModelResults, LeftoverCopiesAndMisnamedFilesGiveNoBrokenResults) {
    CaseTree tree;
    tree.write("0/p", field("volScalarField", "p", "[0 2 -2 0 0 0 0]"));
    tree.write("0/p.orig", field("volScalarField", "p", "[0 2 -2 0 0 0 0]"));
    tree.write("0/alpha.water.orig", field("volScalarField", "alpha.water", "[0 0 0 0 0 0 0]"));
    tree.write("0/nut.water", field("volScalarField", "nut", "[0 2 -1 0 0 0 0]"));
    tree.writeGz("0/U.orig.gz", field("volVectorField", "U", "[0 1 -1 0 0 0 0]"));
    tree.write("T", field("volScalarField", "T", "[0 0 0 1 0 0 0]"));
    tree.write("0/T", field("volScalarField", "../T", "[0 0 0 1 0 0 0]"));
    LogCapture log;
    const OFReader reader = openCase(tree, false);
    ASSERT_EQ(reader.stateCount(), 1u);
    const OFState& state = reader.state(0);
    EXPECT_EQ(describe(state), (std::vector<std::string>{"Pressure|PRESSURE_E|m2 s-2 |0|0"}));
    const std::string folder = tree.root().toStdString() + "/0/";
    EXPECT_TRUE(log.contains("Ignoring " + folder + "alpha.water.orig: its object alpha.water has no file", 3));
    EXPECT_TRUE(log.contains("Ignoring " + folder + "nut.water: its object nut has no file", 3));
    EXPECT_TRUE(log.contains("Ignoring " + folder + "U.orig: its object U has no file", 3));
    EXPECT_TRUE(log.contains("Ignoring " + folder + "T: its object ../T has no file", 3));

    // A copy is no file of the result's own once the file itself is gone.
    ASSERT_TRUE(state.hasResultForPart(state.result(0), reader.part(0)));
    tree.remove("0/p");
    EXPECT_FALSE(state.hasResultForPart(state.result(0), reader.part(0)));
}

TEST(ModelResults, NodeAverageCompanionsAndTheirSources) {
    CaseTree tree;
    tree.write("0/p", field("volScalarField", "p", "[0 2 -2 0 0 0 0]"));
    tree.writeGz("0/U.gz", field("volVectorField", "U", "[0 1 -1 0 0 0 0]"));
    OFReader reader = openCase(tree, true);
    ASSERT_EQ(reader.stateCount(), 1u);
    OFState& state = reader.state(0);
    ASSERT_EQ(state.resultCount(), 4u);
    for (size_t i = 0; i < 4; ++i) state.result(i).setId(static_cast<int>(i) + 1);
    // Each cell result is directly followed by its companion.
    const size_t u = state.result(0).nativeName() == Str("U") ? 0 : 2;
    const OFResult& velocity = state.result(u);
    const OFResult& velocityAverage = state.result(u + 1);
    const OFResult& pressure = state.result(2 - u);
    EXPECT_EQ(velocityAverage.name(), Str("Velocity [node]"));
    EXPECT_EQ(velocityAverage.idString(), Str("VELOCITY_N"));
    EXPECT_EQ(velocityAverage.unit(), Str("m s-1 "));
    EXPECT_TRUE(state.hasResultForPart(velocity, reader.part(0)));  // through U.gz
    EXPECT_FALSE(state.hasResultForPart(velocityAverage, reader.part(0)));  // no source known yet

    state.registerVolumeResultSourceOfAverageNodeResult(velocityAverage.id(), pressure.id());
    EXPECT_EQ(state.sourceVolumefromAverageNodeResult(velocityAverage), nullptr);  // other type and name
    EXPECT_TRUE(state.registerVolumeResultSourceOfAverageNodeResult(velocityAverage.id(), velocity.id()));
    EXPECT_EQ(state.getMappingSourceToAverageNode().size(), 1u);
    EXPECT_EQ(state.sourceVolumefromAverageNodeResult(velocityAverage), &velocity);
    EXPECT_TRUE(state.hasResultForPart(velocityAverage, reader.part(0)));
    EXPECT_EQ(reader.resultByIdInAllStates(pressure.id()), &pressure);
    EXPECT_EQ(reader.resultByIdInAllStates(99), nullptr);
}
