#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/Str.h"

// One boundary patch of a part. The mapping arrays stay empty until the patch surface is
// extracted from the mesh; result delivery and node averaging read them afterwards.
class OFBoundary {
public:
    static constexpr size_t UNKNOWN_COUNT = std::numeric_limits<size_t>::max();

    OFBoundary() = default;

    void setPartId(int id) { m_partId = id; }
    int partID() const { return m_partId; }
    void setBoundaryId(int id) { m_boundaryId = id; }
    int boundaryID() const { return m_boundaryId; }
    void setPatchName(const vx::Str& name) { m_patchName = name; }
    vx::Str patchName() const { return m_patchName; }
    void setType(const vx::Str& type) { m_type = type; }
    vx::Str type() const { return m_type; }
    // The face count the boundary file gives (nFaces).
    void setFaceCount(size_t count) { m_faceCount = count; }
    size_t faceCount() const { return m_faceCount; }
    void setStartFaceIndex(int index) { m_startFaceIndex = index; }
    int startFaceIndex() const { return m_startFaceIndex; }
    // Patch groups from the boundary file (inGroups).
    void setGroups(std::vector<std::string> groups) { m_groups = std::move(groups); }
    const std::vector<std::string>& groups() const { return m_groups; }
    // Whether a boundaryField key names one of the patch's groups: its inGroups, and the type of
    // constraint and wall patches, which OpenFOAM puts in the group named after their type.
    bool inGroup(const std::string& group) const;
    // What the geometry delivered for the patch: UNKNOWN_COUNT until the patch was cut out of
    // the mesh, and again after a geometry request that could not cut it out.
    void setNodeCount(size_t count) { m_nodeCount = count; }
    size_t nodeCount() const { return m_nodeCount; }
    void setElementCount(size_t count) { m_elementCount = count; }
    size_t elementCount() const { return m_elementCount; }
    void setGeometryGlobalPartId(int id) { m_geometryGlobalPartId = id; }
    int geometryGlobalPartId() const { return m_geometryGlobalPartId; }

    // Owning cell of each patch face.
    void createFaceToCellMapping(size_t count) { m_faceToCellMapping.resize(count, 0); }
    int& cellIndex(size_t i) { return m_faceToCellMapping[i]; }
    const std::vector<int>& faceToCellMapping() const { return m_faceToCellMapping; }

    // Mesh node of each surface-local node of the patch.
    void createNodeFaceToNodeMapping(size_t count) { m_faceNodeToNodeMapping.resize(count, 0); }
    int& nodeIndex(size_t i) { return m_faceNodeToNodeMapping[i]; }
    const std::vector<int>& faceNodeToNodeMapping() const { return m_faceNodeToNodeMapping; }

    // Mesh node indices of the patch faces, face after face, with the node count of each face.
    std::vector<int>& faceConnectivity() { return m_faceConnectivity; }
    const std::vector<int>& faceConnectivity() const { return m_faceConnectivity; }
    int faceConnectivity(int i) const { return m_faceConnectivity[static_cast<size_t>(i)]; }
    std::vector<uint8_t>& nodeCountPerFace() { return m_nodeCountPerFace; }
    const std::vector<uint8_t>& nodeCountPerFace() const { return m_nodeCountPerFace; }
    uint8_t nodeCountPerFace(int i) const { return m_nodeCountPerFace[static_cast<size_t>(i)]; }
    // The same face node references as surface-local nodes (as the patch's elements list them).
    std::vector<int>& faceLocalConnectivity() { return m_faceLocalConnectivity; }
    const std::vector<int>& faceLocalConnectivity() const { return m_faceLocalConnectivity; }

    // Host element type of a surface face with n nodes: triangle, quadrilateral or polygon.
    static int typeFromFaceNodeCount(size_t n);
    // Keys of a patch's boundaryField entry that carry values.
    static bool isResultKeyString(const std::string& key);
    // Patch types whose faces take the value of the adjacent cell.
    static bool isKeyForUsingCellValue(const std::string& key);

private:
    vx::Str m_patchName;
    vx::Str m_type;
    int m_partId = 0;
    int m_boundaryId = 0;
    int m_startFaceIndex = 0;
    int m_geometryGlobalPartId = 0;
    size_t m_faceCount = 0;
    size_t m_nodeCount = UNKNOWN_COUNT;
    size_t m_elementCount = UNKNOWN_COUNT;
    std::vector<std::string> m_groups;
    std::vector<int> m_faceToCellMapping;
    std::vector<int> m_faceNodeToNodeMapping;
    std::vector<int> m_faceConnectivity;
    std::vector<int> m_faceLocalConnectivity;
    std::vector<uint8_t> m_nodeCountPerFace;
};
