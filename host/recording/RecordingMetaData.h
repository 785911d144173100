#pragma once
// Records everything a provider publishes as meta data: problem info, parts (through the
// geometry info and its element group infos), states and results, plus the full call log.
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vxp/VXPApi.h"

namespace vxphost {

enum class PartVia { Geometry, ElementGroup };

const char* partViaName(PartVia via);

struct ProblemInfo {
    std::string title;
    std::string description;
    int value1 = 0;
    int value2 = 0;
};

struct PublishedPart {
    int id = 0;
    std::string name;
    PartVia via = PartVia::Geometry;
    int elementGroupInfoIndex = -1;  // which elementGroupInfo() object added it; -1 via the geometry info
    std::optional<int> parent;
    std::optional<int> flag;
    std::vector<std::pair<std::string, std::string>> attributes;  // in first-set order; a later set replaces

    // The attribute's value, or null.
    const std::string* attribute(const std::string& key) const;
};

struct PublishedState {
    int id = 0;
    std::string name;
    double value = 0.0;
};

struct PublishedResult {
    int type = 0;
    int id = 0;
    std::string name;
    bool elementResult = false;
    std::string idString;
    std::string unit;
    std::optional<int> displacementMode;
};

// One call on any of the meta data objects; numbers are printed in decimal, doubles with %.17g.
struct MetaDataCall {
    std::string object;     // "metaData", "geometryInfo", "elementGroupInfo" or "resultInfo"
    int objectIndex = 0;    // which element group info or result info object
    std::string operation;  // the operation's name
    std::vector<std::string> arguments;
};

class RecordingMetaData;

class RecordingResultInfo final : public VXPResultInfo {
public:
    RecordingResultInfo(RecordingMetaData* owner, size_t resultIndex) : m_owner(owner), m_resultIndex(resultIndex) {}
    void setIdString(const VXPString& idString) override;
    void setUnit(const VXPString& unit) override;
    void setDisplacementMode(int mode) override;

private:
    PublishedResult& result();
    RecordingMetaData* m_owner;
    size_t m_resultIndex;
};

class RecordingElementGroupInfo final : public VXPElementGroupInfo {
public:
    RecordingElementGroupInfo(RecordingMetaData* owner, int index) : m_owner(owner), m_index(index) {}
    void addPart(int id, const VXPString& name) override;
    void setPartFlag(int id, int flag) override;
    void setParentPart(int id, int parentId) override;
    void setPartAttribute(int id, const VXPString& key, const VXPString& value) override;

private:
    RecordingMetaData* m_owner;
    int m_index;
};

class RecordingGeometryInfo final : public VXPGeometryInfo {
public:
    explicit RecordingGeometryInfo(RecordingMetaData* owner) : m_owner(owner) {}
    void addPart(int id, const VXPString& name) override;
    // Every call hands out a new element group info object.
    VXPElementGroupInfo* elementGroupInfo() override;
    void setGeometryIndex(int index) override;

private:
    RecordingMetaData* m_owner;
};

class RecordingMetaData final : public VXPMetaData {
public:
    RecordingMetaData();
    RecordingMetaData(const RecordingMetaData&) = delete;
    RecordingMetaData& operator=(const RecordingMetaData&) = delete;

    void setProblemInfo(const VXPString& title, const VXPString& description, int value1, int value2) override;
    VXPGeometryInfo* geometryInfo() override;
    void addState(int id, const VXPString& name, double referenceValue) override;
    VXPResultInfo* addResult(int type, int id, const VXPString& name, bool elementResult) override;

    const std::optional<ProblemInfo>& problemInfo() const { return m_problemInfo; }
    const std::optional<int>& geometryIndex() const { return m_geometryIndex; }
    // In the order received.
    const std::vector<PublishedPart>& parts() const { return m_parts; }
    const std::vector<PublishedState>& states() const { return m_states; }
    const std::vector<PublishedResult>& results() const { return m_results; }
    const std::vector<MetaDataCall>& calls() const { return m_calls; }
    int elementGroupInfoCount() const { return static_cast<int>(m_elementGroupInfos.size()); }

    // The latest part / state / result with this id, or null.
    const PublishedPart* findPart(int id) const;
    const PublishedState* findState(int id) const;
    const PublishedResult* findResult(int id) const;

private:
    friend class RecordingResultInfo;
    friend class RecordingElementGroupInfo;
    friend class RecordingGeometryInfo;

    void recordCall(const char* object, int objectIndex, const char* operation, std::vector<std::string> arguments);
    void addPublishedPart(int id, const VXPString& name, PartVia via, int elementGroupInfoIndex);
    PublishedPart* latestPart(int id);
    VXPElementGroupInfo* newElementGroupInfo();

    std::optional<ProblemInfo> m_problemInfo;
    std::optional<int> m_geometryIndex;
    std::vector<PublishedPart> m_parts;
    std::vector<PublishedState> m_states;
    std::vector<PublishedResult> m_results;
    std::vector<MetaDataCall> m_calls;
    RecordingGeometryInfo m_geometryInfo;
    std::deque<RecordingElementGroupInfo> m_elementGroupInfos;
    std::deque<RecordingResultInfo> m_resultInfos;
};

}  // namespace vxphost
