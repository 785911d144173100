#include "host/recording/RecordingGeometry.h"

#include "host/recording/LargeStorage.h"

namespace vxphost {

namespace {
template <typename T>
bool appendArray(std::vector<T>& target, const T* source, size_t count) {
    if (count == 0) return true;
    if (!source) return false;
    reserveToAppend(target, count);
    target.insert(target.end(), source, source + count);
    return true;
}

std::string nullArrayProblem(const char* operation, const char* array, size_t count) {
    return std::string(operation) + ": null " + array + " with count " + std::to_string(count);
}
}  // namespace

int RecordingGeometrySpec::geometryIndex(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= m_indices.size()) return -1;
    return m_indices[static_cast<size_t>(i)];
}

OverlapGuard::Scope::Scope(OverlapGuard& guard) : m_guard(guard) {
    if (m_guard.m_busy.exchange(true)) m_guard.m_overlaps.fetch_add(1);
}

OverlapGuard::Scope::~Scope() { m_guard.m_busy.store(false); }

// ---- node group --------------------------------------------------------------------------

void RecordingNodeGroup::setNodes(const double* xyz, size_t count) {
    OverlapGuard::Scope scope(m_guard);
    ++m_setNodesCalls;
    if (!appendArray(m_coordinates, xyz, 3 * count)) {
        m_callProblems.push_back(nullArrayProblem("setNodes", "coordinates", count));
    }
}

void RecordingNodeGroup::setNodeIds(const int* ids, size_t count) {
    OverlapGuard::Scope scope(m_guard);
    ++m_setNodeIdsCalls;
    if (!appendArray(m_nodeIds, ids, count)) m_callProblems.push_back(nullArrayProblem("setNodeIds", "ids", count));
}

// ---- element group -----------------------------------------------------------------------

void RecordingElementGroup::appendElementIds(const int* ids, size_t count) {
    // Element ids are optional: a null array means the provider sent none.
    if (ids) appendArray(m_elementIds, ids, count);
}

void RecordingElementGroup::setElementsOfType(VXPElementType type, size_t count, const int* nodes, size_t nodeCount,
                                              const int* ids) {
    OverlapGuard::Scope scope(m_guard);
    ++m_setElementsOfTypeCalls;
    m_types.insert(m_types.end(), count, type);
    if (!appendArray(m_connectivity, nodes, nodeCount)) {
        m_callProblems.push_back(nullArrayProblem("setElementsOfType", "nodes", nodeCount));
    }
    appendElementIds(ids, count);
}

void RecordingElementGroup::setElements(const VXPElementType* types, size_t count, const int* nodes, size_t nodeCount,
                                        const int* ids) {
    OverlapGuard::Scope scope(m_guard);
    ++m_setElementsCalls;
    if (!appendArray(m_types, types, count)) m_callProblems.push_back(nullArrayProblem("setElements", "types", count));
    if (!appendArray(m_connectivity, nodes, nodeCount)) {
        m_callProblems.push_back(nullArrayProblem("setElements", "nodes", nodeCount));
    }
    appendElementIds(ids, count);
}

void RecordingElementGroup::setPolyhedra(const uint8_t* nodesPerElement, const uint8_t* facesPerElement,
                                         size_t elementCount, const uint8_t* nodesPerFace, size_t faceCount,
                                         const int* faceNodes, size_t faceNodeCount) {
    OverlapGuard::Scope scope(m_guard);
    ++m_setPolyhedraCalls;
    const bool complete = appendArray(m_polyNodeCounts, nodesPerElement, elementCount) &&
                          appendArray(m_polyFaceCounts, facesPerElement, elementCount) &&
                          appendArray(m_faceNodeCounts, nodesPerFace, faceCount) &&
                          appendArray(m_faceNodes, faceNodes, faceNodeCount);
    if (!complete) m_callProblems.push_back("setPolyhedra: a null table with a non-zero length");
}

void RecordingElementGroup::setElementPartIds(const int* partIds, size_t count) {
    OverlapGuard::Scope scope(m_guard);
    ++m_setPartIdsCalls;
    if (!appendArray(m_partIds, partIds, count)) {
        m_callProblems.push_back(nullArrayProblem("setElementPartIds", "part ids", count));
    }
}

// ---- geometry ----------------------------------------------------------------------------

VXPNodeGroup* RecordingGeometry::addNodeGroup() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nodeGroups.push_back(std::make_unique<RecordingNodeGroup>(static_cast<int>(m_nodeGroups.size())));
    return m_nodeGroups.back().get();
}

VXPElementGroup* RecordingGeometry::addElementGroup(int nodeGroupIndex) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_elementGroups.push_back(
        std::make_unique<RecordingElementGroup>(static_cast<int>(m_elementGroups.size()), nodeGroupIndex));
    return m_elementGroups.back().get();
}

size_t RecordingGeometry::nodeGroupCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nodeGroups.size();
}

size_t RecordingGeometry::elementGroupCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_elementGroups.size();
}

const RecordingNodeGroup& RecordingGeometry::nodeGroup(size_t index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return *m_nodeGroups.at(index);
}

const RecordingElementGroup& RecordingGeometry::elementGroup(size_t index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return *m_elementGroups.at(index);
}

const RecordingNodeGroup* RecordingGeometry::nodeGroupOf(const RecordingElementGroup& group) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int index = group.nodeGroupIndex();
    if (index < 0 || static_cast<size_t>(index) >= m_nodeGroups.size()) return nullptr;
    return m_nodeGroups[static_cast<size_t>(index)].get();
}

}  // namespace vxphost
