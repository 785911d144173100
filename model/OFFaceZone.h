#pragma once
#include <cstddef>
#include <vector>

#include "core/Str.h"

// One face zone of a part: mesh faces with one flip flag each, from the faceZones file.
class OFFaceZone {
public:
    OFFaceZone() = default;

    void setPartId(int id) { m_partId = id; }
    int partId() const { return m_partId; }
    // 1-based position of the zone in its file.
    void setId(int id) { m_id = id; }
    int id() const { return m_id; }
    void setName(const vx::Str& name) { m_name = name; }
    vx::Str name() const { return m_name; }
    void setGeometryGlobalPartId(int id) { m_geometryGlobalPartId = id; }
    int geometryGlobalPartId() const { return m_geometryGlobalPartId; }

    size_t faceCount() const { return m_faceIds.size(); }
    std::vector<int>& faceIds() { return m_faceIds; }
    const std::vector<int>& faceIds() const { return m_faceIds; }
    std::vector<int>& flipMap() { return m_flipMap; }
    const std::vector<int>& flipMap() const { return m_flipMap; }

private:
    vx::Str m_name;
    int m_partId = -1;
    int m_id = -1;
    int m_geometryGlobalPartId = 0;
    std::vector<int> m_faceIds;
    std::vector<int> m_flipMap;
};
