// The reference host's recording objects and the helpers that read them back.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "host/recording/ElementLayout.h"
#include "host/recording/PieceCatalog.h"
#include "host/recording/RecordingChangeNotifications.h"
#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingInitOptions.h"
#include "host/recording/RecordingMetaData.h"
#include "host/recording/RecordingResult.h"
#include "host/recording/Selection.h"
#include "host/recording/Statistics.h"

using namespace vxphost;

namespace {

VXPString s(const char* text) { return VXPString::fromUtf8(text); }

void addChildPart(VXPElementGroupInfo* info, int id, const char* name, int parent, int flag, const char* type) {
    info->addPart(id, s(name));
    info->setParentPart(id, parent);
    info->setPartFlag(id, flag);
    info->setPartAttribute(id, s("type"), s(type));
}

// Publishes like the provider does: part 1 with a cell zone (through an element group info), a
// patch and a face zone; part 5 without zones (through the geometry info) with one patch; then a
// sampled surface.
void publishTwoPartCase(RecordingMetaData& metaData) {
    VXPGeometryInfo* geometry = metaData.geometryInfo();
    geometry->setGeometryIndex(0);
    VXPElementGroupInfo* fluid = geometry->elementGroupInfo();
    fluid->addPart(1, s("fluid"));
    addChildPart(fluid, 2, "rotor", 1, 0, "CellZone");
    addChildPart(geometry->elementGroupInfo(), 3, "inlet", 1, 1, "patch");
    addChildPart(geometry->elementGroupInfo(), 4, "baffle [FZ]", 1, 0, "FaceZone");
    geometry->addPart(5, s("solid"));
    addChildPart(geometry->elementGroupInfo(), 6, "wall", 5, 1, "wall");
    VXPElementGroupInfo* surface = geometry->elementGroupInfo();
    surface->addPart(7, s("cut[Surf]"));
    surface->setPartFlag(7, 0);
    surface->setPartAttribute(7, s("type"), s("SampledSurface"));
}

// One element group per piece, with the part ids the provider sends.
void addGroupWithPartIds(RecordingGeometry& geometry, std::vector<int> partIds) {
    VXPNodeGroup* nodes = geometry.addNodeGroup();
    VXPElementGroup* elements = geometry.addElementGroup(nodes->index());
    if (!partIds.empty()) elements->setElementPartIds(partIds.data(), partIds.size());
}

}  // namespace

TEST(HostInitOptions, AssignmentsFollowTheDeclaredSettingTypes) {
    const std::vector<DeclaredSetting> declared = {{"LOAD_BC_PARTS", "", SettingType::Bool, true, ""},
                                                   {"MAPPING", "", SettingType::String, false, "U=V"}};
    RecordingInitOptions options;
    EXPECT_EQ(applySettingAssignment("LOAD_BC_PARTS=Off", declared, &options), "");
    EXPECT_EQ(applySettingAssignment("MAPPING=1", declared, &options), "");  // a string keeps "1"
    EXPECT_EQ(applySettingAssignment("EXTRA=TRUE", declared, &options), "");
    EXPECT_EQ(applySettingAssignment("OTHER=some text=with equals", declared, &options), "");
    EXPECT_NE(applySettingAssignment("LOAD_BC_PARTS=maybe", declared, &options), "");
    EXPECT_NE(applySettingAssignment("=on", declared, &options), "");
    EXPECT_NE(applySettingAssignment("NOVALUE", declared, &options), "");

    EXPECT_EQ(options.values().at("LOAD_BC_PARTS"), SettingValue(false));
    EXPECT_EQ(options.values().at("MAPPING"), SettingValue(std::string("1")));
    EXPECT_EQ(options.values().at("EXTRA"), SettingValue(true));
    EXPECT_EQ(options.values().at("OTHER"), SettingValue(std::string("some text=with equals")));
}

TEST(HostInitOptions, AnswersQueriesAcrossValueKindsAndRecordsThem) {
    RecordingInitOptions options;
    options.setBool("FLAG", true);
    options.setString("TEXT", "on");
    options.setString("WORDS", "not a flag");
    EXPECT_TRUE(options.hasSetting(s("FLAG")));
    EXPECT_FALSE(options.hasSetting(s("MISSING")));
    EXPECT_TRUE(options.boolSetting(s("TEXT")));
    EXPECT_FALSE(options.boolSetting(s("WORDS")));
    EXPECT_FALSE(options.boolSetting(s("MISSING")));
    EXPECT_STREQ(options.stringSetting(s("FLAG")).utf8(), "true");
    EXPECT_STREQ(options.stringSetting(s("WORDS")).utf8(), "not a flag");
    EXPECT_STREQ(options.stringSetting(s("MISSING")).utf8(), "");
    ASSERT_EQ(options.queries().size(), 8u);
    EXPECT_EQ(options.queries()[0].operation, "hasSetting");
    EXPECT_EQ(options.queries()[7].key, "MISSING");
}

TEST(HostMetaData, PartsKeepReceptionOrderAndCollectTheirCalls) {
    RecordingMetaData metaData;
    publishTwoPartCase(metaData);
    const std::vector<PublishedPart>& parts = metaData.parts();
    ASSERT_EQ(parts.size(), 7u);
    EXPECT_EQ(parts[0].via, PartVia::ElementGroup);
    EXPECT_FALSE(parts[0].parent);
    EXPECT_FALSE(parts[0].flag);
    EXPECT_EQ(parts[1].name, "rotor");
    EXPECT_EQ(parts[1].parent, 1);
    EXPECT_EQ(parts[1].elementGroupInfoIndex, parts[0].elementGroupInfoIndex);
    EXPECT_EQ(parts[2].flag, 1);
    EXPECT_NE(parts[2].elementGroupInfoIndex, parts[1].elementGroupInfoIndex);
    EXPECT_EQ(parts[4].via, PartVia::Geometry);
    EXPECT_EQ(parts[4].elementGroupInfoIndex, -1);
    EXPECT_FALSE(parts[6].parent);
    EXPECT_EQ(*parts[6].attribute("type"), "SampledSurface");
    EXPECT_EQ(metaData.geometryIndex(), 0);
    EXPECT_EQ(metaData.elementGroupInfoCount(), 5);

    const MetaDataCall& first = metaData.calls().front();
    EXPECT_EQ(first.object + "." + first.operation, "metaData.geometryInfo");
    const MetaDataCall& parent = metaData.calls()[5];
    EXPECT_EQ(parent.operation, "setParentPart");
    EXPECT_EQ(parent.arguments, (std::vector<std::string>{"2", "1"}));
}

TEST(HostMetaData, LaterCallsChangeTheLatestPartWithThatId) {
    RecordingMetaData metaData;
    VXPElementGroupInfo* info = metaData.geometryInfo()->elementGroupInfo();
    info->addPart(9, s("first"));
    info->addPart(9, s("second"));
    info->setPartAttribute(9, s("type"), s("patch"));
    info->setPartAttribute(9, s("colour"), s("red"));
    info->setPartAttribute(9, s("type"), s("wall"));
    info->setPartFlag(42, 1);  // no such part: only the call is kept
    ASSERT_EQ(metaData.parts().size(), 2u);
    EXPECT_TRUE(metaData.parts()[0].attributes.empty());
    const auto& attributes = metaData.parts()[1].attributes;
    ASSERT_EQ(attributes.size(), 2u);
    EXPECT_EQ(attributes[0], std::make_pair(std::string("type"), std::string("wall")));
    EXPECT_EQ(metaData.findPart(9)->name, "second");
    EXPECT_EQ(metaData.calls().back().operation, "setPartFlag");
}

TEST(HostMetaData, ResultInfosFillTheirOwnResult) {
    RecordingMetaData metaData;
    metaData.setProblemInfo(s("title"), s("description"), 4, 0);
    metaData.addState(1, s("Time 0 #1"), 0.0);
    VXPResultInfo* pressure = metaData.addResult(0, 1, s("Pressure"), true);
    VXPResultInfo* displacement = metaData.addResult(2, 2, s("Displacement"), false);
    pressure->setIdString(s("p_E"));
    displacement->setDisplacementMode(1);
    pressure->setUnit(s("Pa"));
    ASSERT_EQ(metaData.results().size(), 2u);
    EXPECT_EQ(metaData.results()[0].idString, "p_E");
    EXPECT_EQ(metaData.results()[0].unit, "Pa");
    EXPECT_FALSE(metaData.results()[0].displacementMode);
    EXPECT_EQ(metaData.results()[1].displacementMode, 1);
    EXPECT_EQ(metaData.problemInfo()->value1, 4);
    EXPECT_EQ(metaData.findState(1)->name, "Time 0 #1");
    EXPECT_EQ(metaData.calls().back().object, "resultInfo");
    EXPECT_EQ(metaData.calls().back().objectIndex, 0);
}

TEST(HostSelection, FindsResultsByIdThenNameThenIdString) {
    RecordingMetaData metaData;
    metaData.addResult(0, 1, s("Pressure"), true)->setIdString(s("p_E"));
    metaData.addResult(0, 2, s("7"), false)->setIdString(s("Pressure"));
    metaData.addResult(1, 7, s("Velocity"), true)->setIdString(s("U_E"));
    EXPECT_EQ(findPublishedResult(metaData, "7")->id, 7);  // ids win over names
    EXPECT_EQ(findPublishedResult(metaData, "Pressure")->id, 1);
    EXPECT_EQ(findPublishedResult(metaData, "U_E")->id, 7);
    EXPECT_EQ(findPublishedResult(metaData, "T"), nullptr);

    std::string error;
    const auto chosen = selectResults(metaData, "U_E,1", &error);
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0]->id, 7);
    EXPECT_EQ(selectResults(metaData, "all", &error).size(), 3u);
    EXPECT_TRUE(selectResults(metaData, "Pressure,T", &error).empty());
    EXPECT_NE(error.find("'T'"), std::string::npos);
}

TEST(HostSelection, PicksStatesByKeywordOrIdList) {
    RecordingMetaData metaData;
    for (int id : {1001, 1002, 1003}) metaData.addState(id, s("state"), id - 1000.0);
    std::string error;
    EXPECT_EQ(selectStates(metaData, "all", &error), (std::vector<int>{1001, 1002, 1003}));
    EXPECT_EQ(selectStates(metaData, "first", &error), (std::vector<int>{1001}));
    EXPECT_EQ(selectStates(metaData, "last", &error), (std::vector<int>{1003}));
    EXPECT_EQ(selectStates(metaData, "1003,1001", &error), (std::vector<int>{1003, 1001}));
    EXPECT_TRUE(error.empty());
    EXPECT_TRUE(selectStates(metaData, "1001,4", &error).empty());
    EXPECT_FALSE(error.empty());
    RecordingMetaData noStates;
    EXPECT_TRUE(selectStates(noStates, "first", &error).empty());
}

TEST(HostGeometry, GroupsRecordCopiesInCreationOrder) {
    RecordingGeometry geometry;
    VXPNodeGroup* first = geometry.addNodeGroup();
    VXPNodeGroup* second = geometry.addNodeGroup();
    EXPECT_EQ(first->index(), 0);
    EXPECT_EQ(second->index(), 1);
    VXPElementGroup* elements = geometry.addElementGroup(1);

    std::vector<double> xyz = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::vector<int> ids = {1, 2, 3};
    second->setNodes(xyz.data(), 3);
    second->setNodeIds(ids.data(), 3);
    std::vector<int> triangle = {0, 1, 2};
    std::vector<int> elementIds = {7};
    elements->setElementsOfType(VXP_TRIANGLE, 1, triangle.data(), 3, elementIds.data());
    xyz[0] = 99;  // the host keeps its own copy
    triangle[0] = 99;

    const RecordingElementGroup& group = geometry.elementGroup(0);
    EXPECT_EQ(group.nodeGroupIndex(), 1);
    EXPECT_EQ(geometry.nodeGroupOf(group), &geometry.nodeGroup(1));
    EXPECT_EQ(geometry.nodeGroup(1).coordinates()[0], 0.0);
    EXPECT_EQ(group.connectivity(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(group.types(), (std::vector<VXPElementType>{VXP_TRIANGLE}));
    EXPECT_EQ(group.elementIds(), (std::vector<int>{7}));
    EXPECT_FALSE(group.hasPartIds());
    EXPECT_EQ(geometry.nodeGroup(0).nodeCount(), 0u);

    VXPElementGroup* dangling = geometry.addElementGroup(5);
    (void)dangling;
    EXPECT_EQ(geometry.nodeGroupOf(geometry.elementGroup(1)), nullptr);
}

TEST(HostGeometry, NullArraysWithCountsAreReportedNotCopied) {
    RecordingGeometry geometry;
    VXPNodeGroup* nodes = geometry.addNodeGroup();
    VXPElementGroup* elements = geometry.addElementGroup(0);
    nodes->setNodes(nullptr, 4);
    nodes->setNodeIds(nullptr, 0);
    elements->setElements(nullptr, 2, nullptr, 8, nullptr);
    EXPECT_EQ(geometry.nodeGroup(0).callProblems().size(), 1u);
    EXPECT_EQ(geometry.elementGroup(0).callProblems().size(), 2u);
    EXPECT_EQ(geometry.elementGroup(0).setElementsCalls(), 1);
}

TEST(HostGeometry, GroupsFilledFromSeveralThreadsKeepTheirOwnData) {
    constexpr int GROUPS = 8;
    RecordingGeometry geometry;
    std::vector<VXPNodeGroup*> nodeGroups;
    std::vector<VXPElementGroup*> elementGroups;
    for (int g = 0; g < GROUPS; ++g) {
        nodeGroups.push_back(geometry.addNodeGroup());
        elementGroups.push_back(geometry.addElementGroup(nodeGroups.back()->index()));
    }
    std::vector<std::thread> workers;
    for (int g = 0; g < GROUPS; ++g) {
        workers.emplace_back([&, g] {
            for (int round = 0; round < 200; ++round) {
                const double xyz[3] = {double(g), double(round), 0.0};
                nodeGroups[g]->setNodes(xyz, 1);
                const int node = round;
                elementGroups[g]->setElementsOfType(VXP_TRIANGLE, 0, &node, 1, nullptr);
            }
        });
    }
    for (std::thread& worker : workers) worker.join();
    for (int g = 0; g < GROUPS; ++g) {
        const RecordingNodeGroup& nodes = geometry.nodeGroup(g);
        ASSERT_EQ(nodes.nodeCount(), 200u);
        EXPECT_EQ(nodes.coordinates()[3 * 199], double(g));
        EXPECT_EQ(nodes.coordinates()[3 * 199 + 1], 199.0);
        EXPECT_EQ(nodes.overlappingCalls(), 0);
        EXPECT_EQ(geometry.elementGroup(g).connectivity().size(), 200u);
    }
}

TEST(HostGeometry, OverlapGuardCountsCallsThatOverlap) {
    OverlapGuard guard;
    {
        OverlapGuard::Scope first(guard);
        OverlapGuard::Scope second(guard);
    }
    { OverlapGuard::Scope alone(guard); }
    EXPECT_EQ(guard.overlaps(), 1);
    EXPECT_EQ(RecordingGeometrySpec().geometryIndex(0), 0);
    EXPECT_EQ(RecordingGeometrySpec({3}).geometryIndex(1), -1);
}

TEST(HostElementLayout, PolyhedronRowsFollowElementOrder) {
    RecordingGeometry geometry;
    VXPElementGroup* group = geometry.addElementGroup(0);
    // tetra, polyhedron (5 nodes, 2 faces), triangle, polygon (4 nodes, 1 face)
    const VXPElementType types[] = {VXP_TETRAHEDRON, VXP_POLYGON_OR_POLYHEDRON, VXP_TRIANGLE,
                                    VXP_POLYGON_OR_POLYHEDRON};
    const std::vector<int> nodes = {0, 1, 2, 3, 0, 1, 2, 3, 4, 0, 1, 2, 5, 6, 7, 8};
    group->setElements(types, 4, nodes.data(), nodes.size(), nullptr);
    const uint8_t polyNodes[] = {5, 4};
    const uint8_t polyFaces[] = {2, 1};
    const uint8_t faceNodes[] = {3, 4, 4};
    const std::vector<int> faceNodeList = {0, 1, 2, 0, 2, 3, 4, 5, 6, 7, 8};
    group->setPolyhedra(polyNodes, polyFaces, 2, faceNodes, 3, faceNodeList.data(), faceNodeList.size());

    const ElementLayout layout = layoutElements(geometry.elementGroup(0));
    ASSERT_TRUE(layout.complete()) << layout.problems.front();
    EXPECT_EQ(layout.nodeStart, (std::vector<size_t>{0, 4, 9, 12, 16}));
    EXPECT_EQ(layout.polyhedronRow, (std::vector<int>{-1, 0, -1, 1}));
    EXPECT_EQ(layout.faceStart, (std::vector<size_t>{0, 2, 3}));
    EXPECT_EQ(layout.faceNodeStart, (std::vector<size_t>{0, 3, 7, 11}));
    EXPECT_TRUE(checkElementGroup(geometry.elementGroup(0), 9).empty());
    EXPECT_EQ(checkElementGroup(geometry.elementGroup(0), 8).size(), 2u);  // node 8 in both tables
}

TEST(HostElementLayout, ReportsTablesThatDoNotFitTogether) {
    RecordingGeometry geometry;
    VXPElementGroup* missingRow = geometry.addElementGroup(0);
    const VXPElementType types[] = {VXP_HEXAHEDRON, VXP_POLYGON_OR_POLYHEDRON};
    const std::vector<int> nodes(12, 0);
    missingRow->setElements(types, 2, nodes.data(), nodes.size(), nullptr);
    EXPECT_FALSE(layoutElements(geometry.elementGroup(0)).complete());

    VXPElementGroup* shortConnectivity = geometry.addElementGroup(0);
    shortConnectivity->setElementsOfType(VXP_QUADRILATERAL, 2, nodes.data(), 7, nullptr);
    const int partIds[] = {1};
    shortConnectivity->setElementPartIds(partIds, 1);
    const std::vector<std::string> problems = checkElementGroup(geometry.elementGroup(1), 1);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("connectivity length: expected 8, got 7"), std::string::npos);
    EXPECT_NE(problems[1].find("part id count"), std::string::npos);

    VXPElementGroup* unknownType = geometry.addElementGroup(0);
    const VXPElementType bad[] = {static_cast<VXPElementType>(4)};
    unknownType->setElements(bad, 1, nodes.data(), 4, nullptr);
    EXPECT_NE(layoutElements(geometry.elementGroup(2)).problems.front().find("unknown type 4"), std::string::npos);
}

TEST(HostStatistics, ElementGroupSummary) {
    RecordingGeometry geometry;
    VXPNodeGroup* nodes = geometry.addNodeGroup();
    const double xyz[] = {1, -2, 3, -1, 5, 0, 0, 0, 9, 2, 2, 2};
    const int nodeIds[] = {4, 9, 1, 5};
    nodes->setNodes(xyz, 4);
    nodes->setNodeIds(nodeIds, 4);
    VXPElementGroup* group = geometry.addElementGroup(0);
    const int triangles[] = {0, 1, 2, 1, 2, 3};
    group->setElementsOfType(VXP_TRIANGLE, 2, triangles, 6, nullptr);
    const int quad[] = {0, 1, 2, 3};
    group->setElementsOfType(VXP_QUADRILATERAL, 1, quad, 4, nullptr);
    const int partIds[] = {4, 4, 6};
    group->setElementPartIds(partIds, 3);

    const ElementGroupStatistics stats = elementGroupStatistics(geometry, 0);
    EXPECT_EQ(stats.nodes, 4u);
    EXPECT_EQ(stats.nodeIdRange, std::make_pair(1, 9));
    EXPECT_EQ(stats.elements, 3u);
    EXPECT_EQ(stats.typeCounts, (std::map<int, size_t>{{3, 2}, {5, 1}}));
    EXPECT_EQ(stats.connectivity, 10u);
    EXPECT_EQ(stats.partIdCounts, (std::map<int, size_t>{{4, 2}, {6, 1}}));
    ASSERT_TRUE(stats.bounds);
    EXPECT_EQ(stats.bounds->min, (std::array<double, 3>{-1, -2, 0}));
    EXPECT_EQ(stats.bounds->max, (std::array<double, 3>{2, 5, 9}));

    geometry.addElementGroup(geometry.addNodeGroup()->index());
    const ElementGroupStatistics empty = elementGroupStatistics(geometry, 1);
    EXPECT_FALSE(empty.bounds);
    EXPECT_FALSE(empty.nodeIdRange);
    EXPECT_FALSE(empty.partIdCounts);
}

TEST(HostStatistics, ValueGroupSkipsUndefinedTuples) {
    RecordingResultValueGroup group;
    const double first[] = {1, 2};
    group.setValues(first, 1, 2);
    const double values[] = {1, 10, UNDEFINED_VALUE, 5, 3, -2, 4, UNDEFINED_VALUE};
    group.setValues(values, 2, 4);  // replaces the first values
    EXPECT_EQ(group.setValuesCalls(), 2);

    const ValueGroupStatistics stats = valueGroupStatistics(group, 3);
    EXPECT_EQ(stats.index, 3u);
    EXPECT_EQ(stats.tuples, 4u);
    EXPECT_EQ(stats.undefined, 2u);
    EXPECT_EQ(stats.min, (std::vector<double>{1, -2}));
    EXPECT_EQ(stats.max, (std::vector<double>{3, 10}));
    EXPECT_EQ(stats.mean, (std::vector<double>{2, 4}));

    EXPECT_TRUE(group.callProblems().empty());

    const double undefined[] = {UNDEFINED_VALUE, UNDEFINED_VALUE};
    group.setValues(undefined, 1, 2);
    const ValueGroupStatistics none = valueGroupStatistics(group, 0);
    EXPECT_EQ(none.undefined, 2u);
    ASSERT_EQ(none.mean.size(), 1u);
    EXPECT_TRUE(std::isnan(none.mean[0]) && std::isnan(none.min[0]) && std::isnan(none.max[0]));

    group.setValues(nullptr, 3, 2);
    EXPECT_EQ(group.values().size(), 6u);
    EXPECT_EQ(group.callProblems().size(), 1u);
}

TEST(HostPieceCatalog, GroupsAreNamedAfterTheirParts) {
    RecordingMetaData metaData;
    publishTwoPartCase(metaData);
    RecordingGeometry geometry;
    addGroupWithPartIds(geometry, {1, 2, 1});  // fluid volume: mixed ids, matched by order
    addGroupWithPartIds(geometry, {3, 3});     // inlet
    addGroupWithPartIds(geometry, {4});        // face zone
    addGroupWithPartIds(geometry, {});         // solid volume: no part ids
    addGroupWithPartIds(geometry, {6});        // wall
    addGroupWithPartIds(geometry, {7, 7});     // sampled surface
    addGroupWithPartIds(geometry, {});         // nothing published for it

    const std::vector<Piece> pieces = matchPiecesToParts(metaData, geometry);
    ASSERT_EQ(pieces.size(), 7u);
    const std::vector<std::pair<int, PartKind>> expected = {
        {1, PartKind::Volume}, {3, PartKind::Patch},          {4, PartKind::FaceZone},  {5, PartKind::Volume},
        {6, PartKind::Patch},  {7, PartKind::SampledSurface}, {-1, PartKind::Unmatched}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(pieces[i].partId, expected[i].first) << i;
        EXPECT_EQ(pieces[i].kind, expected[i].second) << i;
    }
    EXPECT_EQ(pieces[6].name, "group_6");

    // Value groups skip the face zone.
    EXPECT_EQ(valueGroupPieces(pieces, 5), (std::vector<size_t>{0, 1, 3, 4, 5}));
    EXPECT_EQ(valueGroupPieces(pieces, 8).back(), NO_PIECE);
}

TEST(HostPieceCatalog, CarriedPartIdWinsOverTheOrder) {
    RecordingMetaData metaData;
    publishTwoPartCase(metaData);
    RecordingGeometry geometry;
    addGroupWithPartIds(geometry, {6});  // first group, but its elements say "wall"
    addGroupWithPartIds(geometry, {2});  // a cell zone id alone does not name a group
    const std::vector<Piece> pieces = matchPiecesToParts(metaData, geometry);
    EXPECT_EQ(pieces[0].name, "wall");
    EXPECT_EQ(pieces[1].name, "inlet");
}

TEST(HostPieceCatalog, FileStemsAreSafeAndUnique) {
    std::vector<Piece> pieces(5);
    pieces[0].name = "baffle [FZ]";
    pieces[1].name = "cut[Surf]";
    pieces[2].name = "wall";
    pieces[3].name = "wall";
    pieces[4].name = "../";
    pieces[4].groupIndex = 4;
    EXPECT_EQ(pieceFileStems(pieces), (std::vector<std::string>{"baffle_FZ", "cut_Surf", "wall", "wall_2", "group_4"}));
}

TEST(HostChangeNotifications, CallsAreTakenPollByPoll) {
    RecordingChangeNotifications notifications;
    notifications.updateState(1002, s("Time 0.5 #2"), 0.5);
    notifications.addState(1004, s("Time 2 #4"), 2.0);
    notifications.removeState(3);
    const std::vector<NotificationCall> calls = notifications.takeCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, NotificationKind::Update);
    EXPECT_EQ(calls[1].name, "Time 2 #4");
    EXPECT_EQ(calls[2].kind, NotificationKind::Remove);
    EXPECT_EQ(calls[2].id, 3);
    EXPECT_TRUE(notifications.calls().empty());
}
