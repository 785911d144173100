#pragma once
#include <cstddef>
#include <vector>

#include "core/LargeArrays.h"
#include "io/FacesData.h"

// The face-based mesh of one polyMesh folder.
class OFPolymesh {
public:
    std::vector<double>& points() { return m_points; }
    const std::vector<double>& points() const { return m_points; }
    FacesData& faces() { return m_faces; }
    const FacesData& faces() const { return m_faces; }
    vx::UnsetVector<int>& neighbors() { return m_neighbours; }
    const vx::UnsetVector<int>& neighbors() const { return m_neighbours; }
    vx::UnsetVector<int>& owners() { return m_owners; }
    const vx::UnsetVector<int>& owners() const { return m_owners; }

    size_t nodeCount() const { return m_points.size() / 3; }
    int cellCount() const { return m_cellCount; }
    void setCellCount(int count) { m_cellCount = count; }

private:
    std::vector<double> m_points;  // x, y, z per point
    FacesData m_faces;
    vx::UnsetVector<int> m_neighbours;  // one per internal face
    vx::UnsetVector<int> m_owners;      // one per face
    int m_cellCount = 0;
};
