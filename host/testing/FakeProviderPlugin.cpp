// A stand-in plug-in for testing vxphost end to end: it registers a factory whose provider serves
// one small fixed case whatever the path (except paths containing "broken", which fail to open).
//
// The case: part 1 "block" made of a hexahedron and a pentahedron sharing a face, its patch 2
// "bottom" (the two bottom faces) and face zone 3 "mid [FZ]" (the shared face); states 1 and 2;
// results 1 Pressure (per element), 2 Velocity (per node, one undefined tuple on the patch) and
// 3 Displacement (node positions lifted by 0.1 per state after the first). Polling reports a new
// state once, then re-sends all states once.
#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

#include "vxp/VXPApi.h"

namespace {

VXPString text(const char* value) { return VXPString::fromUtf8(value); }

const std::vector<double> BLOCK_POINTS = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0,  // 0-3: hexahedron base
                                          0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1,  // 4-7: hexahedron top
                                          2, 0, 0, 2, 0, 1};                   // 8, 9: the pentahedron's outer edge
const std::vector<int> BOTTOM_POINTS = {0, 1, 2, 3, 8};                        // mesh points of the patch, sorted
const std::vector<int> MID_POINTS = {1, 2, 5, 6};

std::vector<double> pointsOf(const std::vector<int>& meshPoints) {
    std::vector<double> xyz;
    for (int p : meshPoints) xyz.insert(xyz.end(), BLOCK_POINTS.begin() + 3 * p, BLOCK_POINTS.begin() + 3 * p + 3);
    return xyz;
}

std::vector<int> countingFrom(int first, size_t count) {
    std::vector<int> ids(count);
    for (size_t i = 0; i < count; ++i) ids[i] = first + static_cast<int>(i);
    return ids;
}

void sendNodes(VXPNodeGroup* group, const std::vector<double>& xyz, int firstId) {
    const std::vector<int> ids = countingFrom(firstId, xyz.size() / 3);
    group->setNodes(xyz.data(), ids.size());
    group->setNodeIds(ids.data(), ids.size());
}

void sendVolume(VXPNodeGroup* nodes, VXPElementGroup* elements) {
    sendNodes(nodes, BLOCK_POINTS, 1);
    const VXPElementType types[] = {VXP_HEXAHEDRON, VXP_PENTAHEDRON};
    const int connectivity[] = {0, 1, 2, 3, 4, 5, 6, 7, 1, 8, 2, 5, 9, 6};
    const int ids[] = {0, 1};
    elements->setElements(types, 2, connectivity, 14, ids);
}

void sendBottomPatch(VXPNodeGroup* nodes, VXPElementGroup* elements) {
    sendNodes(nodes, pointsOf(BOTTOM_POINTS), 0);
    const VXPElementType types[] = {VXP_QUADRILATERAL, VXP_TRIANGLE};
    const int connectivity[] = {0, 3, 2, 1, 1, 2, 4};
    const int ids[] = {0, 1};
    elements->setElements(types, 2, connectivity, 7, ids);
    elements->setPolyhedra(nullptr, nullptr, 0, nullptr, 0, nullptr, 0);
    const int partIds[] = {2, 2};
    elements->setElementPartIds(partIds, 2);
}

void sendMidZone(VXPNodeGroup* nodes, VXPElementGroup* elements) {
    sendNodes(nodes, pointsOf(MID_POINTS), 0);
    const int connectivity[] = {0, 1, 3, 2};
    const int ids[] = {0};
    elements->setElementsOfType(VXP_QUADRILATERAL, 1, connectivity, 4, ids);
    const int partIds[] = {3};
    elements->setElementPartIds(partIds, 1);
}

void sendValues(VXPResult* result, const std::vector<double>& values, int components) {
    result->addValueGroup()->setValues(values.data(), components, values.size() / static_cast<size_t>(components));
}

std::vector<double> lifted(std::vector<double> xyz, double dz) {
    for (size_t i = 2; i < xyz.size(); i += 3) xyz[i] += dz;
    return xyz;
}

class FakeProvider final : public VXPDataProvider {
public:
    bool init(const VXPString& path, const VXPInitOptions&, VXPError*) override {
        return std::strstr(path.utf8(), "broken") == nullptr;
    }
    void close() override {}

    bool getMetaData(VXPMetaData* metaData) override {
        metaData->setProblemInfo(text("fake"), text("two cells"), 4, 4);
        VXPGeometryInfo* geometry = metaData->geometryInfo();
        geometry->setGeometryIndex(0);
        geometry->addPart(1, text("block"));
        VXPElementGroupInfo* bottom = geometry->elementGroupInfo();
        bottom->addPart(2, text("bottom"));
        bottom->setParentPart(2, 1);
        bottom->setPartFlag(2, 1);
        bottom->setPartAttribute(2, text("type"), text("wall"));
        VXPElementGroupInfo* mid = geometry->elementGroupInfo();
        mid->addPart(3, text("mid [FZ]"));
        mid->setParentPart(3, 1);
        mid->setPartFlag(3, 0);
        mid->setPartAttribute(3, text("type"), text("FaceZone"));
        metaData->addState(1, text("Time 0 #1"), 0.0);
        metaData->addState(2, text("Time 1 #2"), 1.0);
        VXPResultInfo* pressure = metaData->addResult(0, 1, text("Pressure"), true);
        pressure->setIdString(text("p_E"));
        pressure->setUnit(text("Pa"));
        VXPResultInfo* velocity = metaData->addResult(1, 2, text("Velocity"), false);
        velocity->setIdString(text("U_N"));
        velocity->setUnit(text("m/s"));
        VXPResultInfo* displacement = metaData->addResult(2, 3, text("Displacement"), false);
        displacement->setIdString(text("D_N"));
        displacement->setDisplacementMode(1);
        return true;
    }

    bool getGeometry(const VXPGeometrySpec& spec, VXPGeometry* geometry) override {
        if (spec.geometryIndex(0) != 0) return false;
        VXPNodeGroup* nodes[3];
        VXPElementGroup* elements[3];
        for (int g = 0; g < 3; ++g) {
            nodes[g] = geometry->addNodeGroup();
            elements[g] = geometry->addElementGroup(nodes[g]->index());
        }
        sendVolume(nodes[0], elements[0]);
        sendBottomPatch(nodes[1], elements[1]);
        sendMidZone(nodes[2], elements[2]);
        return true;
    }

    bool getSet(int, VXPSet*) override { return false; }

    bool getResult(const VXPResultSpec& spec, VXPResult* result) override {
        const int state = spec.stateId();
        if (state != 1 && state != 2) return false;
        switch (spec.resultId()) {
            case 1:
                sendValues(result, {10.0 * state, 10.0 * state + 1}, 1);
                sendValues(result, {-1.0, -2.0}, 1);
                return true;
            case 2: {
                sendValues(result, std::vector<double>(3 * 10, 1.0 * state), 3);
                std::vector<double> patch(3 * 5, 0.5);
                patch[4] = DBL_MAX;
                sendValues(result, patch, 3);
                return true;
            }
            case 3:
                sendValues(result, lifted(BLOCK_POINTS, 0.1 * (state - 1)), 3);
                sendValues(result, lifted(pointsOf(BOTTOM_POINTS), 0.1 * (state - 1)), 3);
                return true;
            default: return false;
        }
    }

    bool getRigidBodyTransformations(int, VXPRigidBodyTransformations*) override { return false; }
    bool getElementVisibilityResult(size_t, int, VXPVisibilityResult*) override { return false; }

    bool pollForChanges(VXPChangeNotifications* notifications) override {
        ++m_polls;
        if (m_polls == 1) {  // a new time; the states of opening are numbered by position from now on
            notifications->addState(1003, text("Time 2 #3"), 2.0);
            notifications->removeState(1);
            notifications->removeState(2);
            notifications->addState(1001, text("Time 0 #1"), 0.0);
            notifications->addState(1002, text("Time 1 #2"), 1.0);
        }
        if (m_polls == 2) {
            notifications->updateState(1001, text("Time 0 #1"), 0.0);
            notifications->updateState(1002, text("Time 1 #2"), 1.0);
            notifications->updateState(1003, text("Time 2 #3"), 2.0);
        }
        if (m_polls == 4) {  // the first time folder was deleted
            notifications->updateState(1001, text("Time 1 #2"), 1.0);
            notifications->updateState(1002, text("Time 2 #3"), 2.0);
            notifications->removeState(1003);
        }
        return true;
    }

    bool handleClientRequest(const VXPClientRequest&, VXPClientResponse*, VXPChangeNotifications*) override {
        return false;
    }

private:
    int m_polls = 0;
};

class FakeFactory final : public VXPDataProviderFactory {
public:
    bool getProviderInfo(VXPDataProviderInfo* info) override {
        info->setName(text("Fake Reader"));
        info->setFileMask(text("case.foam"));
        info->addBoolSetting(text("FLAG"), text("A flag"), true);
        info->addStringSetting(text("MAPPING"), text("A mapping"), text("a=b"));
        return true;
    }
    bool isSupportedByProvider(const VXPString& path) override {
        const std::string name(path.utf8());
        return name.size() >= 9 && name.compare(name.size() - 9, 9, "case.foam") == 0;
    }
    VXPDataProvider* createProviderInstance() override { return new FakeProvider; }
    void destroyProviderInstance(VXPDataProvider* provider) override { delete provider; }
};

void destroyFactory(VXPDataProviderFactory* factory) { delete factory; }

void exitPlugin() {}

}  // namespace

extern "C" __attribute__((visibility("default"))) VXPPluginExitFunc initializeDataProviderPlugin(
    VXPPluginRecord* record) {
    if (record->logCallback) record->logCallback(3, "FakePlugin : initializeDataProviderPlugin");
    record->setPluginProperty("name", "FakePlugin");
    VXPProviderFactoryInfo info{VXP_API_VERSION_MAJOR, VXP_API_VERSION_MINOR, new FakeFactory, &destroyFactory};
    if (record->registerProviderFactory("FakeProvider", &info) != 0) return &exitPlugin;
    delete info.factory;
    return nullptr;
}
