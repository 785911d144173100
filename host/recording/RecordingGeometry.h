#pragma once
// Records the geometry a provider sends: node groups and element groups in creation order, with
// copies of every array. Groups are created from one thread; different groups may then be filled
// from different threads at the same time (each group by one thread at a time, which every group
// checks and counts violations of).
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vxp/VXPApi.h"

namespace vxphost {

class RecordingGeometrySpec final : public VXPGeometrySpec {
public:
    explicit RecordingGeometrySpec(std::vector<int> indices = {0}) : m_indices(std::move(indices)) {}
    // The i-th requested geometry index, -1 beyond the list.
    int geometryIndex(int i) const override;

private:
    std::vector<int> m_indices;
};

// Flags two calls on one group that overlap in time.
class OverlapGuard {
public:
    class Scope {
    public:
        explicit Scope(OverlapGuard& guard);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        OverlapGuard& m_guard;
    };
    int overlaps() const { return m_overlaps.load(); }

private:
    std::atomic<bool> m_busy{false};
    std::atomic<int> m_overlaps{0};
};

class RecordingNodeGroup final : public VXPNodeGroup {
public:
    explicit RecordingNodeGroup(int index) : m_index(index) {}

    // Each call appends to the recorded arrays.
    void setNodes(const double* xyz, size_t count) override;
    void setNodeIds(const int* ids, size_t count) override;
    int index() const override { return m_index; }

    const std::vector<double>& coordinates() const { return m_coordinates; }  // x, y, z per node
    size_t nodeCount() const { return m_coordinates.size() / 3; }
    const std::vector<int>& nodeIds() const { return m_nodeIds; }
    int setNodesCalls() const { return m_setNodesCalls; }
    int setNodeIdsCalls() const { return m_setNodeIdsCalls; }
    // Calls that passed a null array with a non-zero count; their data is missing.
    const std::vector<std::string>& callProblems() const { return m_callProblems; }
    int overlappingCalls() const { return m_guard.overlaps(); }

private:
    int m_index;
    std::vector<double> m_coordinates;
    std::vector<int> m_nodeIds;
    int m_setNodesCalls = 0;
    int m_setNodeIdsCalls = 0;
    std::vector<std::string> m_callProblems;
    OverlapGuard m_guard;
};

class RecordingElementGroup final : public VXPElementGroup {
public:
    RecordingElementGroup(int index, int nodeGroupIndex) : m_index(index), m_nodeGroupIndex(nodeGroupIndex) {}

    // Each call appends its elements (and polyhedra, part ids) to the recorded arrays.
    void setElementsOfType(VXPElementType type, size_t count, const int* nodes, size_t nodeCount,
                           const int* ids) override;
    void setElements(const VXPElementType* types, size_t count, const int* nodes, size_t nodeCount,
                     const int* ids) override;
    void setPolyhedra(const uint8_t* nodesPerElement, const uint8_t* facesPerElement, size_t elementCount,
                      const uint8_t* nodesPerFace, size_t faceCount, const int* faceNodes,
                      size_t faceNodeCount) override;
    void setElementPartIds(const int* partIds, size_t count) override;

    int index() const { return m_index; }
    // The node group index passed to addElementGroup.
    int nodeGroupIndex() const { return m_nodeGroupIndex; }
    size_t elementCount() const { return m_types.size(); }
    const std::vector<VXPElementType>& types() const { return m_types; }
    const std::vector<int>& connectivity() const { return m_connectivity; }
    const std::vector<int>& elementIds() const { return m_elementIds; }
    // Polyhedron tables: per polyhedron its node and face count, per face its node count, face nodes.
    const std::vector<uint8_t>& polyhedronNodeCounts() const { return m_polyNodeCounts; }
    const std::vector<uint8_t>& polyhedronFaceCounts() const { return m_polyFaceCounts; }
    const std::vector<uint8_t>& faceNodeCounts() const { return m_faceNodeCounts; }
    const std::vector<int>& faceNodes() const { return m_faceNodes; }
    const std::vector<int>& partIds() const { return m_partIds; }
    bool hasPartIds() const { return m_setPartIdsCalls > 0; }

    int setElementsOfTypeCalls() const { return m_setElementsOfTypeCalls; }
    int setElementsCalls() const { return m_setElementsCalls; }
    int setPolyhedraCalls() const { return m_setPolyhedraCalls; }
    int setElementPartIdsCalls() const { return m_setPartIdsCalls; }
    const std::vector<std::string>& callProblems() const { return m_callProblems; }
    int overlappingCalls() const { return m_guard.overlaps(); }

private:
    void appendElementIds(const int* ids, size_t count);

    int m_index;
    int m_nodeGroupIndex;
    std::vector<VXPElementType> m_types;
    std::vector<int> m_connectivity;
    std::vector<int> m_elementIds;
    std::vector<uint8_t> m_polyNodeCounts;
    std::vector<uint8_t> m_polyFaceCounts;
    std::vector<uint8_t> m_faceNodeCounts;
    std::vector<int> m_faceNodes;
    std::vector<int> m_partIds;
    int m_setElementsOfTypeCalls = 0;
    int m_setElementsCalls = 0;
    int m_setPolyhedraCalls = 0;
    int m_setPartIdsCalls = 0;
    std::vector<std::string> m_callProblems;
    OverlapGuard m_guard;
};

class RecordingGeometry final : public VXPGeometry {
public:
    VXPNodeGroup* addNodeGroup() override;
    VXPElementGroup* addElementGroup(int nodeGroupIndex) override;

    size_t nodeGroupCount() const;
    size_t elementGroupCount() const;
    const RecordingNodeGroup& nodeGroup(size_t index) const;
    const RecordingElementGroup& elementGroup(size_t index) const;
    // The node group an element group refers to, or null when its index names none.
    const RecordingNodeGroup* nodeGroupOf(const RecordingElementGroup& group) const;

private:
    mutable std::mutex m_mutex;
    std::deque<std::unique_ptr<RecordingNodeGroup>> m_nodeGroups;
    std::deque<std::unique_ptr<RecordingElementGroup>> m_elementGroups;
};

}  // namespace vxphost
