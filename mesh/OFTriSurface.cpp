#include "mesh/OFTriSurface.h"

#include <tbb/parallel_invoke.h>

#include <algorithm>
#include <numeric>

#include "core/Timer.h"
#include "io/OFFile.h"
#include "plugin/OFLogger.h"

namespace {
void logDone(const char* source, const char* what, size_t items, const vx::Timer& timer) {
    OFLogger::get()->logDebug(source, vx::Str("%1 file done. Read %2 items. Time used : %3")
                                          .arg(what)
                                          .arg(static_cast<unsigned long long>(items))
                                          .arg(timer.time()));
}
}  // namespace

bool OFTriSurfaceReader::readPoints(const vx::Str& folder, std::vector<double>* points) {
    vx::Timer timer;
    OFFile file(false);
    const bool ok = file.readVectorField(folder + "/points", "points", points);
    if (ok) logDone("OFTriSurfaceReader", "Points", points->size(), timer);
    return ok;
}

bool OFTriSurfaceReader::readFaceCenters(const vx::Str& folder, std::vector<double>* centres) {
    vx::Timer timer;
    OFFile file(false);
    const bool ok = file.readVectorField(folder + "/faceCentres", "faceCentres", centres);
    if (ok) logDone("OFTriSUrfaceReader", "FaceCentres", centres->size(), timer);
    return ok;
}

bool OFTriSurfaceReader::readFaces(const vx::Str& folder, FacesData* faces) {
    vx::Timer timer;
    OFFile file(false);
    const bool ok = file.readFaceList(folder + "/faces", "faces", faces);
    if (ok) logDone("OFTriSurfaceReader", "Faces", faces->faceCount(), timer);
    return ok;
}

bool OFTriSurfaceReader::readTriSurfacePar(const vx::Str& folder, OFTriSurface* surface) {
    // Separate flags: the three tasks write them at the same time.
    bool pointsOk = false;
    bool centresOk = false;
    bool facesOk = false;
    tbb::parallel_invoke([&] { pointsOk = readPoints(folder, &surface->points()); },
                         [&] { centresOk = readFaceCenters(folder, &surface->facecenters()); },
                         [&] { facesOk = readFaces(folder, &surface->faces()); });
    return pointsOk && centresOk && facesOk;
}

bool OFTriSurfaceReader::read(const vx::Str& folder, OFTriSurface* surface) { return readTriSurfacePar(folder, surface); }

bool OFTriSurfaceToVXP::populateNodeGroup(VXPNodeGroup* group, size_t* nodeCount) {
    const size_t n = m_surface->points().size() / 3;
    std::vector<int> ids(n);
    std::iota(ids.begin(), ids.end(), 1);
    group->setNodes(m_surface->points().data(), n);
    group->setNodeIds(ids.data(), n);
    if (nodeCount) *nodeCount = n;
    return true;
}

bool OFTriSurfaceToVXP::facesReferToPoints() const {
    const FacesData& faces = m_surface->faces();
    const size_t pointCount = m_surface->points().size() / 3;
    for (size_t f = 0; f < faces.faceCount(); ++f) {
        const size_t start = static_cast<size_t>(faces.startOffsets[f]);
        if (start + faces.nodeCounts[f] > faces.nodeIndices.size()) return false;
        for (size_t k = 0; k < faces.nodeCounts[f]; ++k)
            if (static_cast<size_t>(faces.nodeIndices[start + k]) >= pointCount) return false;
    }
    return true;
}

bool OFTriSurfaceToVXP::populateElementGroup(VXPElementGroup* group, size_t* elementCount) {
    const FacesData& faces = m_surface->faces();
    const size_t n = faces.faceCount();
    if (elementCount) *elementCount = n;
    if (!facesReferToPoints()) {
        OFLogger::get()->logError("OFTriSurfaceToVXP", "A face of the sampled surface refers to a point it does not have.");
        if (elementCount) *elementCount = 0;
        return false;
    }
    std::vector<int> ids(n);
    std::iota(ids.begin(), ids.end(), 1);
    const bool allTriangles =
        std::all_of(faces.nodeCounts.begin(), faces.nodeCounts.end(), [](uint8_t c) { return c == 3; });
    if (allTriangles) {
        group->setElementsOfType(VXP_TRIANGLE, n, faces.nodeIndices.data(), 3 * n, ids.data());
        return true;
    }
    // Quadrilaterals and polygons keep their own types, polygons described as one-face elements.
    std::vector<VXPElementType> types(n);
    std::vector<int> connectivity;
    std::vector<uint8_t> polygonNodeCounts;
    std::vector<uint8_t> polygonFaceCounts;
    std::vector<int> polygonNodes;
    for (size_t f = 0; f < n; ++f) {
        const uint8_t count = faces.nodeCounts[f];
        types[f] = count == 3 ? VXP_TRIANGLE : count == 4 ? VXP_QUADRILATERAL : VXP_POLYGON_OR_POLYHEDRON;
        const int* nodes = faces.nodeIndices.data() + faces.startOffsets[f];
        connectivity.insert(connectivity.end(), nodes, nodes + count);
        if (types[f] == VXP_POLYGON_OR_POLYHEDRON) {
            polygonNodeCounts.push_back(count);
            polygonFaceCounts.push_back(1);
            polygonNodes.insert(polygonNodes.end(), nodes, nodes + count);
        }
    }
    group->setElements(types.data(), n, connectivity.data(), connectivity.size(), ids.data());
    group->setPolyhedra(polygonNodeCounts.data(), polygonFaceCounts.data(), polygonNodeCounts.size(),
                        polygonNodeCounts.data(), polygonNodeCounts.size(), polygonNodes.data(), polygonNodes.size());
    return true;
}

bool OFTriSurfaceToVXP::populateNodeAndElementGroup(VXPNodeGroup* nodes, VXPElementGroup* elements, size_t* nodeCount,
                                                    size_t* elementCount) {
    bool nodesOk = false;
    bool elementsOk = false;
    tbb::parallel_invoke([&] { nodesOk = populateNodeGroup(nodes, nodeCount); },
                         [&] { elementsOk = populateElementGroup(elements, elementCount); });
    return nodesOk && elementsOk;
}
