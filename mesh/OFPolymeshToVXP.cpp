#include "mesh/OFPolymeshToVXP.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <numeric>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_sort.h>
#include <tbb/partitioner.h>

#include "core/Str.h"
#include "core/Timer.h"
#include "plugin/OFLogger.h"

namespace {

const char* const SOURCE = "OFPolymeshToVXP";

template <typename Body>
void parallelFor(size_t n, const Body& body) {
    if (n == 0) return;
    tbb::parallel_for(
        tbb::blocked_range<size_t>(0, n, 1),
        [&body](const tbb::blocked_range<size_t>& r) {
            for (size_t i = r.begin(); i != r.end(); ++i) body(i);
        },
        tbb::auto_partitioner());
}

template <typename T>
void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

// Number of faces that can be assigned: every face has an owner; the first `internal` of them
// also have a neighbour.
struct FaceCounts {
    size_t faces;
    size_t internal;
};

FaceCounts faceCounts(const OFPolymesh& mesh) {
    const size_t faces = std::min(mesh.owners().size(), mesh.faces().faceCount());
    return FaceCounts{faces, std::min(mesh.neighbors().size(), faces)};
}

void logConnectivityTooLarge() {
    OFLogger::get()->logError(
        SOURCE, vx::Str("Cannot convert the mesh: its connectivity exceeds %1 node references.").arg(INT_MAX));
}

// Appends each face to the cells of [first, last) that own or neighbour it.
struct OFInsertCellFacesDataFunctor {
    std::vector<OFCell>* cells;
    const std::vector<int>* owners;
    const std::vector<int>* neighbours;
    size_t internalFaces;
    int first;
    int last;

    void operator()(const tbb::blocked_range<size_t>& range) const {
        for (size_t f = range.begin(); f != range.end(); ++f) insert(f);
    }

    void insert(size_t f) const {
        const int owner = (*owners)[f];
        if (owner >= first && owner < last) (*cells)[owner - first].cellFaces().push_back(CellFace{int(f), true});
        if (f < internalFaces) {
            const int neighbour = (*neighbours)[f];
            if (neighbour >= first && neighbour < last)
                (*cells)[neighbour - first].cellFaces().push_back(CellFace{int(f), false});
        }
    }
};

// Builds the element data of the chunk's cells; remembers the lowest cell that failed.
struct OFBuildElementDataFunctor {
    std::vector<OFCell>* cells;
    const FacesData* faces;
    VXPElementType* types;  // from the chunk's first cell
    PolyDataList* polys;
    std::atomic<size_t>* firstFailure;

    void operator()(const tbb::blocked_range<size_t>& range) const {
        for (size_t i = range.begin(); i != range.end(); ++i) build(i);
    }

    void build(size_t i) const {
        if ((*cells)[i].buildElementData(int(i), types, polys, faces)) return;
        size_t current = firstFailure->load();
        while (i < current && !firstFailure->compare_exchange_weak(current, i)) {
        }
    }
};

}  // namespace

int vx_exclusive_partial_sum(const unsigned char* counts, size_t n, int start, int* out) {
    int sum = start;
    for (size_t i = 0; i < n; ++i) {
        out[i] = sum;
        sum += counts[i];
    }
    return sum;
}

OFPolymeshToVXP::OFPolymeshToVXP(OFPolymesh* mesh) : m_mesh(mesh) {}

std::vector<int> OFPolymeshToVXP::createCellsChunks(int cellCount) {
    const int size = std::max(0, cellCount) / CHUNK_COUNT;
    std::vector<int> chunks(CHUNK_COUNT, size);
    chunks.back() = std::max(0, cellCount) - (CHUNK_COUNT - 1) * size;
    return chunks;
}

void OFPolymeshToVXP::allocateCells(size_t count) { m_cells.resize(count); }

// In face order: a cell's faces then come in the same order in every run. Appends from
// concurrent tasks would order them by scheduling, and with them the element's nodes.
void OFPolymeshToVXP::assignCellFaces(int first, int last) { assignCellFacesSeq(first, last); }

void OFPolymeshToVXP::assignCellFacesSeq(int first, int last) {
    const FaceCounts counts = faceCounts(*m_mesh);
    OFInsertCellFacesDataFunctor functor{&m_cells, &m_mesh->owners(), &m_mesh->neighbors(), counts.internal,
                                         first, last};
    for (size_t f = 0; f < counts.faces; ++f) functor.insert(f);
}

void OFPolymeshToVXP::assignCellFacesPar(int first, int last) {
    const FaceCounts counts = faceCounts(*m_mesh);
    if (counts.faces == 0) return;
    OFInsertCellFacesDataFunctor functor{&m_cells, &m_mesh->owners(), &m_mesh->neighbors(), counts.internal,
                                         first, last};
    tbb::parallel_for(tbb::blocked_range<size_t>(0, counts.faces, 1), functor, tbb::auto_partitioner());
}

bool OFPolymeshToVXP::buildElementData(int first) {
    m_polys.clear();
    return buildElementDataPar(first);
}

void OFPolymeshToVXP::reportCellTooLarge(int first, size_t index) {
    const OFCell& cell = m_cells[index];
    const long long cellIndex = static_cast<long long>(first) + static_cast<long long>(index);
    const size_t faceCount = cell.cellFaces().size();
    if (faceCount > OFCell::MAX_COUNT) {
        OFLogger::get()->logError(
            SOURCE, vx::Str("Cannot convert cell %1: it has %2 faces, but a cell can have at most %3.")
                        .arg(cellIndex)
                        .arg(static_cast<unsigned long long>(faceCount))
                        .arg(static_cast<unsigned long long>(OFCell::MAX_COUNT)));
    } else {
        OFLogger::get()->logError(
            SOURCE, vx::Str("Cannot convert cell %1: it has %2 distinct nodes, but a cell can have at most %3.")
                        .arg(cellIndex)
                        .arg(static_cast<unsigned long long>(cell.elementNodes().size()))
                        .arg(static_cast<unsigned long long>(OFCell::MAX_COUNT)));
    }
}

bool OFPolymeshToVXP::buildElementDataSeq(int first) {
    const size_t n = m_cells.size();
    VXPElementType* types = m_elementTypes.data() + first;
    for (size_t i = 0; i < n; ++i) {
        if (!m_cells[i].buildElementData(int(i), types, &m_polys, &m_mesh->faces())) {
            reportCellTooLarge(first, i);
            return false;
        }
    }
    return true;
}

bool OFPolymeshToVXP::buildElementDataPar(int first) {
    const size_t n = m_cells.size();
    std::atomic<size_t> firstFailure{n};
    if (n > 0) {
        OFBuildElementDataFunctor functor{&m_cells, &m_mesh->faces(), m_elementTypes.data() + first, &m_polys,
                                          &firstFailure};
        tbb::parallel_for(tbb::blocked_range<size_t>(0, n, 1), functor, tbb::auto_partitioner());
    }
    if (firstFailure.load() < n) {
        reportCellTooLarge(first, firstFailure.load());
        return false;
    }
    // Appends came in any order; the polyhedron tables follow element order.
    if (!m_polys.empty())
        tbb::parallel_sort(m_polys.begin(), m_polys.end(),
                           [](const PolyData& a, const PolyData& b) { return a.cellIndex < b.cellIndex; });
    return true;
}

bool OFPolymeshToVXP::buildVXPMeshData(int first, int connectivityStart) {
    const size_t n = m_cells.size();
    uint8_t* counts = m_nodesCountPerElt.data() + first;
    // Every element counts at most 255 nodes here (checked while building the element data).
    parallelFor(n, [&](size_t i) { counts[i] = static_cast<uint8_t>(m_cells[i].elementNodes().size()); });

    const long long total = std::accumulate(counts, counts + n, static_cast<long long>(connectivityStart));
    if (total > INT_MAX) {
        logConnectivityTooLarge();
        return false;
    }
    m_connectivities.resize(static_cast<size_t>(vx_exclusive_partial_sum(counts, n, connectivityStart,
                                                                          m_cellOffsets.data())));
    parallelFor(n, [&](size_t i) {
        OFCell& cell = m_cells[i];
        std::copy(cell.elementNodes().begin(), cell.elementNodes().end(),
                  m_connectivities.begin() + m_cellOffsets[i]);
        cell.clear();
    });
    return true;
}

bool OFPolymeshToVXP::BuildVXPMeshForPolys(int first, int polyStart, int faceStart, int connStart) {
    const size_t polyCount = m_polys.size();
    if (polyCount == 0) return true;

    m_polyNodeCounts.resize(polyStart + polyCount);
    m_polyFaceCounts.resize(polyStart + polyCount);
    parallelFor(polyCount, [&](size_t p) {
        const PolyData& poly = m_polys[p];
        // Both counts are at most 255 (checked while building the element data).
        m_polyFaceCounts[polyStart + p] = static_cast<uint8_t>(poly.faceCount);
        m_polyNodeCounts[polyStart + p] = m_nodesCountPerElt[first + poly.cellIndex];
    });

    const uint8_t* faceCountsOfChunk = m_polyFaceCounts.data() + polyStart;
    if (std::accumulate(faceCountsOfChunk, faceCountsOfChunk + polyCount, static_cast<long long>(faceStart)) >
        INT_MAX) {
        logConnectivityTooLarge();
        return false;
    }
    m_polyFaceOffsets.resize(polyCount);
    const int faceTotal =
        vx_exclusive_partial_sum(faceCountsOfChunk, polyCount, faceStart, m_polyFaceOffsets.data());
    // A polyhedron may hold more than 255 node references: full-width sums.
    m_polyConnOffsets.resize(polyCount);
    long long connTotal = connStart;
    for (size_t p = 0; p < polyCount; ++p) {
        m_polyConnOffsets[p] = static_cast<int>(connTotal);
        connTotal += static_cast<long long>(m_polys[p].connectivitySize);
        if (connTotal > INT_MAX) {
            logConnectivityTooLarge();
            return false;
        }
    }
    m_polyFaceNodeCounts.resize(faceTotal);
    m_polyFaceConnectivity.resize(static_cast<size_t>(connTotal));

    parallelFor(polyCount, [&](size_t p) {
        const PolyData& poly = m_polys[p];
        std::copy(poly.nodeCountPerFace.begin(), poly.nodeCountPerFace.end(),
                  m_polyFaceNodeCounts.begin() + m_polyFaceOffsets[p]);
        std::copy(poly.faceConnectivity.begin(), poly.faceConnectivity.end(),
                  m_polyFaceConnectivity.begin() + m_polyConnOffsets[p]);
    });
    m_polys.clear();
    return true;
}

void OFPolymeshToVXP::discardResults() {
    release(m_cells);
    PolyDataList().swap(m_polys);
    release(m_elementTypes);
    release(m_connectivities);
    release(m_elementIds);
    release(m_nodesCountPerElt);
    release(m_cellOffsets);
    release(m_polyNodeCounts);
    release(m_polyFaceCounts);
    release(m_polyFaceNodeCounts);
    release(m_polyFaceConnectivity);
    release(m_polyFaceOffsets);
    release(m_polyConnOffsets);
}

bool OFPolymeshToVXP::createMesh() {
    OFLogger* logger = OFLogger::get();
    const int cellCount = std::max(0, m_mesh->cellCount());
    m_elementTypes.resize(static_cast<size_t>(cellCount));
    const std::vector<int> chunks = createCellsChunks(cellCount);
    logger->track("Partion Cell Counts  ", static_cast<double>(chunks.size()) / 10000.0);
    // The last chunk is the largest: reserving for it keeps the cells (and the storage their
    // lists reserved) in place from chunk to chunk.
    m_cells.reserve(static_cast<size_t>(*std::max_element(chunks.begin(), chunks.end())));

    double buildTime = 0.0;
    double meshDataTime = 0.0;
    int first = 0;
    for (size_t c = 0; c < chunks.size(); ++c) {
        const bool lastChunk = c + 1 == chunks.size();
        const int size = chunks[c];
        const int last = first + size;

        vx::Timer timer;
        allocateCells(static_cast<size_t>(size));
        // An empty chunk would scan every face without finding any of its cells.
        if (size > 0) assignCellFaces(first, last);
        if (lastChunk) {
            release(m_mesh->owners());
            release(m_mesh->neighbors());
        }
        logger->track("B1 Assign CellFaces  ", timer.lapTime());

        const bool built = buildElementData(first);
        if (lastChunk) {
            FacesData& faces = m_mesh->faces();
            release(faces.nodeCounts);
            release(faces.startOffsets);
            release(faces.nodeIndices);
        }
        if (!built) {
            discardResults();
            return false;
        }
        logger->track("B2 Build Cells       ", timer.lapTime());
        buildTime += timer.time();

        vx::Timer meshTimer;
        m_nodesCountPerElt.resize(static_cast<size_t>(last));
        m_cellOffsets.resize(static_cast<size_t>(size));
        bool ok = buildVXPMeshData(first, static_cast<int>(m_connectivities.size()));
        if (lastChunk) {
            release(m_cellOffsets);
            release(m_cells);
        }
        ok = ok && BuildVXPMeshForPolys(first, static_cast<int>(m_polyNodeCounts.size()),
                                        static_cast<int>(m_polyFaceNodeCounts.size()),
                                        static_cast<int>(m_polyFaceConnectivity.size()));
        if (lastChunk) {
            release(m_polyFaceOffsets);
            release(m_polyConnOffsets);
            PolyDataList().swap(m_polys);
        }
        if (!ok) {
            discardResults();
            return false;
        }
        logger->track("B3 BuildVXPMeshData  ", meshTimer.lapTime());
        meshDataTime += meshTimer.time();
        first = last;
    }

    m_elementIds.resize(static_cast<size_t>(first));
    std::iota(m_elementIds.begin(), m_elementIds.end(), 0);

    logger->logDebug(SOURCE, vx::Str("-----------------------buildCells().   Time [convert].a : %1").arg(buildTime));
    logger->logDebug(SOURCE, vx::Str("-----------------------buildVXPMesh(). Time [convert].b : %1").arg(meshDataTime));
    return true;
}

bool OFPolymeshToVXP::populateElementGroup(VXPElementGroup* group, size_t* elementCount) {
    const size_t count = m_elementTypes.size();
    if (elementCount) *elementCount = count;
    if (count == 0 || !group) return false;

    group->setElements(m_elementTypes.data(), count, m_connectivities.data(), m_connectivities.size(),
                       m_elementIds.data());
    release(m_elementTypes);
    release(m_elementIds);

    if (!m_polyNodeCounts.empty()) {
        group->setPolyhedra(m_polyNodeCounts.data(), m_polyFaceCounts.data(), m_polyNodeCounts.size(),
                            m_polyFaceNodeCounts.data(), m_polyFaceNodeCounts.size(),
                            m_polyFaceConnectivity.data(), m_polyFaceConnectivity.size());
        release(m_polyNodeCounts);
        release(m_polyFaceCounts);
        release(m_polyFaceNodeCounts);
        release(m_polyFaceConnectivity);
    }
    return true;
}

bool OFPolymeshToVXP::populateNodeGroup(VXPNodeGroup* group, size_t* nodeCount) {
    const size_t count = m_mesh->nodeCount();
    if (nodeCount) *nodeCount = count;
    if (!group) return false;
    group->setNodes(m_mesh->points().data(), count);
    if (count == 0) {
        group->setNodeIds(nullptr, 0);
        return true;
    }
    std::vector<int> ids(count);
    std::iota(ids.begin(), ids.end(), 1);
    group->setNodeIds(ids.data(), count);
    return true;
}
