#pragma once
#include <cstddef>
#include <vector>

#include "core/Str.h"

// One cell zone of a part: the mesh cells listed under a name in the cellZones file.
class OFCellZone {
public:
    OFCellZone() = default;

    void setPartId(int id) { m_partId = id; }
    int partId() const { return m_partId; }
    // 1-based position of the zone among the zones kept from its file.
    void setId(int id) { m_id = id; }
    int id() const { return m_id; }
    void setName(const vx::Str& name) { m_name = name; }
    vx::Str name() const { return m_name; }
    void setGeometryGlobalPartId(int id) { m_geometryGlobalPartId = id; }
    int geometryGlobalPartId() const { return m_geometryGlobalPartId; }

    size_t cellCount() const { return m_cellIds.size(); }
    std::vector<int>& cellIds() { return m_cellIds; }
    const std::vector<int>& cellIds() const { return m_cellIds; }

private:
    vx::Str m_name;
    int m_partId = -1;
    int m_id = -1;
    int m_geometryGlobalPartId = 0;
    std::vector<int> m_cellIds;
};
