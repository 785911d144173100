#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/LargeArrays.h"
#include "core/Str.h"
#include "model/OFBoundary.h"
#include "model/OFCellZone.h"
#include "model/OFFaceZone.h"

// One mesh of the case: the default region, a named region or a processor sub-mesh, with its
// patches and zones. Each part keeps its own polyMesh folder.
class OFPart {
public:
    static constexpr size_t UNKNOWN_COUNT = std::numeric_limits<size_t>::max();

    OFPart(int id, const vx::Str& name, const vx::Str& folder) : m_id(id), m_name(name), m_folder(folder) {}

    int id() const { return m_id; }
    vx::Str name() const { return m_name; }
    // The part's polyMesh folder (full path ending in /polyMesh).
    vx::Str folder() const { return m_folder; }
    bool isDefaultRegion() const { return m_defaultRegion; }
    void setDefaultRegion(bool defaultRegion) { m_defaultRegion = defaultRegion; }
    // The region of a multi-region case this mesh belongs to; empty for the default region.
    vx::Str regionName() const { return m_regionName; }
    void setRegionName(const vx::Str& region) { m_regionName = region; }
    // The processor folder (processor3) of a decomposed run's sub-mesh; empty otherwise.
    vx::Str processorFolder() const { return m_processorFolder; }
    void setProcessorFolder(const vx::Str& folder) { m_processorFolder = folder; }
    bool isProcessorPart() const { return !m_processorFolder.isEmpty(); }

    // UNKNOWN_COUNT until the part's geometry has been built once.
    size_t nodeCount() const { return m_nodeCount; }
    void setNodeCount(size_t count) { m_nodeCount = count; }
    size_t elementCount() const { return m_elementCount; }
    void setElementCount(size_t count) { m_elementCount = count; }

    std::vector<OFBoundary>& boundaries() { return m_boundaries; }
    const std::vector<OFBoundary>& boundaries() const { return m_boundaries; }
    std::vector<OFCellZone>& cellZones() { return m_cellZones; }
    const std::vector<OFCellZone>& cellZones() const { return m_cellZones; }
    std::vector<OFFaceZone>& faceZones() { return m_faceZones; }
    const std::vector<OFFaceZone>& faceZones() const { return m_faceZones; }

    // Element-to-node connectivity of the volume mesh, element after element, and the node
    // count of each element. Taken over from the volume assembly without copying.
    void setConnectivities(vx::UnsetVector<int>&& connectivities);
    void setNodesCountPerElt(vx::UnsetVector<uint8_t>&& counts);
    const vx::UnsetVector<int>& connectivities() const { return m_connectivities; }
    const vx::UnsetVector<uint8_t>& nodesCountPerElt() const { return m_nodesCountPerElt; }
    unsigned char getElementNodesCount(size_t i) const { return m_nodesCountPerElt[i]; }

    // Node averaging of cell values over the connectivity above (and, for the boundary-aware
    // variant, the patches' face connectivity) into nodeValues, whatever they held before;
    // defined with the node-averaging code.
    bool computeAverageNodeResult(const std::vector<double>& cellValues, std::vector<double>& nodeValues,
                                  int components) const;
    // Node values of one patch from its own face values: the mean of the faces around each of
    // its nodes (patchNodeValues is sized to the patch's nodes x components).
    static bool computePatchNodeValues(const OFBoundary& patch, const std::vector<double>& faceValues,
                                       std::vector<double>& patchNodeValues, int components);
    bool computeAverageNodeResultAwareBC(const std::vector<double>& cellValues,
                                         const std::vector<std::vector<double>>& boundaryValues,
                                         std::vector<double>& nodeValues, int components) const;

private:
    // The elements around each node, in element order (an element once per time it lists the
    // node), for averaging node by node in parallel; built when first needed.
    struct NodeElements {
        size_t nodeCount = 0;
        bool built = false;
        bool complete = false;  // every node reference lies below nodeCount
        vx::UnsetVector<uint32_t> starts;
        vx::UnsetVector<uint32_t> elements;
    };
    const NodeElements& nodeElements(size_t nodeCount) const;
    // The mean of the cell values around each node not in `skip`, added to the values a node
    // already holds; counts: contributions so far, per node.
    void averageCellsAtNodes(const NodeElements& lists, const std::vector<double>& cellValues,
                             std::vector<double>& nodeValues, std::vector<int>& counts, size_t m,
                             const std::vector<char>* skip) const;

    int m_id;
    vx::Str m_name;
    vx::Str m_folder;
    size_t m_nodeCount = UNKNOWN_COUNT;
    size_t m_elementCount = UNKNOWN_COUNT;
    bool m_defaultRegion = false;
    vx::Str m_regionName;
    vx::Str m_processorFolder;
    std::vector<OFBoundary> m_boundaries;
    std::vector<OFCellZone> m_cellZones;
    std::vector<OFFaceZone> m_faceZones;
    vx::UnsetVector<int> m_connectivities;
    vx::UnsetVector<uint8_t> m_nodesCountPerElt;
    mutable NodeElements m_nodeElements;
};
