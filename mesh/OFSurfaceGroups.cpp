#include "mesh/OFSurfaceGroups.h"

#include <tbb/parallel_sort.h>

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "plugin/OFLogger.h"

namespace ofsurface {
namespace {

const char* const SOURCE = "OFPolymeshToVXP";

// What a surface part hands to the host, built from a list of mesh faces.
struct Surface {
    std::vector<int> meshNodes;         // sorted distinct mesh points: surface node i is meshNodes[i]
    std::vector<int> faceMeshNodes;     // mesh points of all faces, face after face
    std::vector<int> faceSurfaceNodes;  // the same as surface nodes
    std::vector<uint8_t> faceNodeCounts;
};

Surface gatherFaces(const FacesData& faces, const std::vector<int>& faceIds) {
    Surface s;
    s.faceNodeCounts.resize(faceIds.size());
    size_t total = 0;
    for (int f : faceIds) total += faces.nodeCounts[static_cast<size_t>(f)];
    s.faceMeshNodes.reserve(total);
    for (size_t i = 0; i < faceIds.size(); ++i) {
        const size_t f = static_cast<size_t>(faceIds[i]);
        const int* nodes = faces.nodeIndices.data() + faces.startOffsets[f];
        s.faceNodeCounts[i] = faces.nodeCounts[f];
        s.faceMeshNodes.insert(s.faceMeshNodes.end(), nodes, nodes + faces.nodeCounts[f]);
    }
    // Every node reference as (mesh point, position), sorted: the distinct points come out in
    // order, and each reference learns its surface node on the way.
    std::vector<uint64_t> references(total);
    for (size_t k = 0; k < total; ++k)
        references[k] = (static_cast<uint64_t>(static_cast<uint32_t>(s.faceMeshNodes[k])) << 32) | k;
    tbb::parallel_sort(references.begin(), references.end());
    s.faceSurfaceNodes.resize(total);
    for (const uint64_t reference : references) {
        const int point = static_cast<int>(reference >> 32);
        if (s.meshNodes.empty() || s.meshNodes.back() != point) s.meshNodes.push_back(point);
        s.faceSurfaceNodes[static_cast<uint32_t>(reference)] = static_cast<int>(s.meshNodes.size() - 1);
    }
    return s;
}

void sendNodes(const OFPolymesh& mesh, const Surface& s, VXPNodeGroup* group) {
    const size_t n = s.meshNodes.size();
    std::vector<double> xyz(3 * n);
    for (size_t i = 0; i < n; ++i)
        std::copy_n(mesh.points().data() + 3 * static_cast<size_t>(s.meshNodes[i]), 3, xyz.data() + 3 * i);
    std::vector<int> ids(n);
    std::iota(ids.begin(), ids.end(), 0);
    group->setNodes(xyz.data(), n);
    group->setNodeIds(ids.data(), n);
}

void sendElements(const Surface& s, VXPElementGroup* group) {
    const size_t faceCount = s.faceNodeCounts.size();
    std::vector<VXPElementType> types(faceCount);
    std::vector<uint8_t> polygonNodeCounts, polygonFaceCounts;
    std::vector<int> polygonNodes;
    size_t at = 0;
    for (size_t f = 0; f < faceCount; ++f) {
        const uint8_t count = s.faceNodeCounts[f];
        types[f] = static_cast<VXPElementType>(OFBoundary::typeFromFaceNodeCount(count));
        if (types[f] == VXP_POLYGON_OR_POLYHEDRON) {
            polygonNodeCounts.push_back(count);
            polygonFaceCounts.push_back(1);
            polygonNodes.insert(polygonNodes.end(), s.faceSurfaceNodes.begin() + static_cast<long>(at),
                                s.faceSurfaceNodes.begin() + static_cast<long>(at + count));
        }
        at += count;
    }
    std::vector<int> ids(faceCount);
    std::iota(ids.begin(), ids.end(), 0);
    group->setElements(types.data(), faceCount, s.faceSurfaceNodes.data(), s.faceSurfaceNodes.size(), ids.data());
    group->setPolyhedra(polygonNodeCounts.data(), polygonFaceCounts.data(), polygonNodeCounts.size(),
                        polygonNodeCounts.data(), polygonNodeCounts.size(), polygonNodes.data(), polygonNodes.size());
}

bool facesInMesh(const OFPolymesh& mesh, const std::vector<int>& faceIds) {
    const size_t faceCount = mesh.faces().faceCount();
    return std::all_of(faceIds.begin(), faceIds.end(),
                       [faceCount](int f) { return f >= 0 && static_cast<size_t>(f) < faceCount; });
}

}  // namespace

bool populateBoundaryGroup(const OFPolymesh& mesh, OFBoundary& boundary, VXPNodeGroup* nodes, size_t* nodeCount,
                           VXPElementGroup* elements, size_t* elementCount) {
    *nodeCount = 0;
    *elementCount = 0;
    const long long start = boundary.startFaceIndex();
    const long long count = static_cast<long long>(boundary.faceCount());
    if (start < 0 || start + count > static_cast<long long>(mesh.faces().faceCount()) ||
        start + count > static_cast<long long>(mesh.owners().size())) {
        OFLogger::get()->logError(SOURCE, vx::Str("Patch %1 (faces %2 to %3) lies outside the mesh's %4 faces; skipped.")
                                              .arg(boundary.patchName())
                                              .arg(start)
                                              .arg(start + count - 1)
                                              .arg(static_cast<unsigned long long>(mesh.faces().faceCount())));
        return false;
    }
    std::vector<int> faceIds(static_cast<size_t>(count));
    std::iota(faceIds.begin(), faceIds.end(), static_cast<int>(start));
    Surface s = gatherFaces(mesh.faces(), faceIds);
    *elementCount = faceIds.size();
    *nodeCount = s.meshNodes.size();

    boundary.createNodeFaceToNodeMapping(s.meshNodes.size());
    for (size_t i = 0; i < s.meshNodes.size(); ++i) boundary.nodeIndex(i) = s.meshNodes[i];
    boundary.createFaceToCellMapping(faceIds.size());
    for (size_t i = 0; i < faceIds.size(); ++i) boundary.cellIndex(i) = mesh.owners()[static_cast<size_t>(faceIds[i])];

    sendNodes(mesh, s, nodes);
    sendElements(s, elements);
    boundary.nodeCountPerFace() = std::move(s.faceNodeCounts);
    boundary.faceConnectivity() = std::move(s.faceMeshNodes);
    boundary.faceLocalConnectivity() = std::move(s.faceSurfaceNodes);
    return true;
}

bool populateFaceZoneGroup(const OFPolymesh& mesh, const OFFaceZone& zone, VXPNodeGroup* nodes, size_t* nodeCount,
                           VXPElementGroup* elements, size_t* elementCount) {
    *nodeCount = 0;
    *elementCount = 0;
    if (!facesInMesh(mesh, zone.faceIds())) {
        OFLogger::get()->logError(SOURCE, vx::Str("Face zone %1 lists a face outside the mesh's %2 faces; skipped.")
                                              .arg(zone.name())
                                              .arg(static_cast<unsigned long long>(mesh.faces().faceCount())));
        return false;
    }
    const Surface s = gatherFaces(mesh.faces(), zone.faceIds());
    *elementCount = zone.faceCount();
    *nodeCount = s.meshNodes.size();
    sendNodes(mesh, s, nodes);
    sendElements(s, elements);
    return true;
}

}  // namespace ofsurface
