#include "host/recording/RecordingMetaData.h"

#include <cstdio>

namespace vxphost {

namespace {
std::string text(int value) { return std::to_string(value); }

std::string text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%.17g", value);
    return buffer;
}

std::string text(bool value) { return value ? "true" : "false"; }
}  // namespace

const char* partViaName(PartVia via) { return via == PartVia::Geometry ? "geometry" : "elementGroup"; }

const std::string* PublishedPart::attribute(const std::string& key) const {
    for (const auto& entry : attributes) {
        if (entry.first == key) return &entry.second;
    }
    return nullptr;
}

// ---- result info -------------------------------------------------------------------------

PublishedResult& RecordingResultInfo::result() { return m_owner->m_results[m_resultIndex]; }

void RecordingResultInfo::setIdString(const VXPString& idString) {
    m_owner->recordCall("resultInfo", static_cast<int>(m_resultIndex), "setIdString", {idString.utf8()});
    result().idString = idString.utf8();
}

void RecordingResultInfo::setUnit(const VXPString& unit) {
    m_owner->recordCall("resultInfo", static_cast<int>(m_resultIndex), "setUnit", {unit.utf8()});
    result().unit = unit.utf8();
}

void RecordingResultInfo::setDisplacementMode(int mode) {
    m_owner->recordCall("resultInfo", static_cast<int>(m_resultIndex), "setDisplacementMode", {text(mode)});
    result().displacementMode = mode;
}

// ---- element group info ------------------------------------------------------------------

void RecordingElementGroupInfo::addPart(int id, const VXPString& name) {
    m_owner->recordCall("elementGroupInfo", m_index, "addPart", {text(id), name.utf8()});
    m_owner->addPublishedPart(id, name, PartVia::ElementGroup, m_index);
}

void RecordingElementGroupInfo::setPartFlag(int id, int flag) {
    m_owner->recordCall("elementGroupInfo", m_index, "setPartFlag", {text(id), text(flag)});
    if (PublishedPart* part = m_owner->latestPart(id)) part->flag = flag;
}

void RecordingElementGroupInfo::setParentPart(int id, int parentId) {
    m_owner->recordCall("elementGroupInfo", m_index, "setParentPart", {text(id), text(parentId)});
    if (PublishedPart* part = m_owner->latestPart(id)) part->parent = parentId;
}

void RecordingElementGroupInfo::setPartAttribute(int id, const VXPString& key, const VXPString& value) {
    m_owner->recordCall("elementGroupInfo", m_index, "setPartAttribute", {text(id), key.utf8(), value.utf8()});
    PublishedPart* part = m_owner->latestPart(id);
    if (!part) return;
    for (auto& entry : part->attributes) {
        if (entry.first == key.utf8()) {
            entry.second = value.utf8();
            return;
        }
    }
    part->attributes.emplace_back(key.utf8(), value.utf8());
}

// ---- geometry info -----------------------------------------------------------------------

void RecordingGeometryInfo::addPart(int id, const VXPString& name) {
    m_owner->recordCall("geometryInfo", 0, "addPart", {text(id), name.utf8()});
    m_owner->addPublishedPart(id, name, PartVia::Geometry, -1);
}

VXPElementGroupInfo* RecordingGeometryInfo::elementGroupInfo() {
    m_owner->recordCall("geometryInfo", 0, "elementGroupInfo", {});
    return m_owner->newElementGroupInfo();
}

void RecordingGeometryInfo::setGeometryIndex(int index) {
    m_owner->recordCall("geometryInfo", 0, "setGeometryIndex", {text(index)});
    m_owner->m_geometryIndex = index;
}

// ---- meta data ---------------------------------------------------------------------------

RecordingMetaData::RecordingMetaData() : m_geometryInfo(this) {}

void RecordingMetaData::recordCall(const char* object, int objectIndex, const char* operation,
                                   std::vector<std::string> arguments) {
    m_calls.push_back({object, objectIndex, operation, std::move(arguments)});
}

void RecordingMetaData::addPublishedPart(int id, const VXPString& name, PartVia via, int elementGroupInfoIndex) {
    PublishedPart part;
    part.id = id;
    part.name = name.utf8();
    part.via = via;
    part.elementGroupInfoIndex = elementGroupInfoIndex;
    m_parts.push_back(std::move(part));
}

PublishedPart* RecordingMetaData::latestPart(int id) {
    for (auto it = m_parts.rbegin(); it != m_parts.rend(); ++it) {
        if (it->id == id) return &*it;
    }
    return nullptr;
}

VXPElementGroupInfo* RecordingMetaData::newElementGroupInfo() {
    m_elementGroupInfos.emplace_back(this, static_cast<int>(m_elementGroupInfos.size()));
    return &m_elementGroupInfos.back();
}

void RecordingMetaData::setProblemInfo(const VXPString& title, const VXPString& description, int value1, int value2) {
    recordCall("metaData", 0, "setProblemInfo", {title.utf8(), description.utf8(), text(value1), text(value2)});
    m_problemInfo = ProblemInfo{title.utf8(), description.utf8(), value1, value2};
}

VXPGeometryInfo* RecordingMetaData::geometryInfo() {
    recordCall("metaData", 0, "geometryInfo", {});
    return &m_geometryInfo;
}

void RecordingMetaData::addState(int id, const VXPString& name, double referenceValue) {
    recordCall("metaData", 0, "addState", {text(id), name.utf8(), text(referenceValue)});
    m_states.push_back({id, name.utf8(), referenceValue});
}

VXPResultInfo* RecordingMetaData::addResult(int type, int id, const VXPString& name, bool elementResult) {
    recordCall("metaData", 0, "addResult", {text(type), text(id), name.utf8(), text(elementResult)});
    PublishedResult result;
    result.type = type;
    result.id = id;
    result.name = name.utf8();
    result.elementResult = elementResult;
    m_results.push_back(std::move(result));
    m_resultInfos.emplace_back(this, m_results.size() - 1);
    return &m_resultInfos.back();
}

const PublishedPart* RecordingMetaData::findPart(int id) const {
    return const_cast<RecordingMetaData*>(this)->latestPart(id);
}

const PublishedState* RecordingMetaData::findState(int id) const {
    for (auto it = m_states.rbegin(); it != m_states.rend(); ++it) {
        if (it->id == id) return &*it;
    }
    return nullptr;
}

const PublishedResult* RecordingMetaData::findResult(int id) const {
    for (auto it = m_results.rbegin(); it != m_results.rend(); ++it) {
        if (it->id == id) return &*it;
    }
    return nullptr;
}

}  // namespace vxphost
