#include "mesh/OFPolymeshToVXP.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <numeric>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/parallel_invoke.h>
#include <tbb/partitioner.h>

#include "core/GroupedLists.h"
#include "core/LargeArrays.h"
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

template <typename T, typename A>
void release(std::vector<T, A>& v) {
    std::vector<T, A>().swap(v);
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

constexpr uint32_t NEIGHBOUR_ENTRY = 0x80000000u;
constexpr uint32_t FACE_OF_ENTRY = 0x7fffffffu;

void decodeCellFaces(const uint32_t* entries, size_t count, CellFace* out) {
    for (size_t i = 0; i < count; ++i) out[i] = CellFace{static_cast<int>(entries[i] & FACE_OF_ENTRY), !(entries[i] & NEIGHBOUR_ENTRY)};
}

// What a cell becomes, as far as the tables' sizes go.
struct CellSize {
    VXPElementType type;
    size_t nodes;
    size_t faces;
    size_t faceNodes;  // node references over all faces
    bool fits;         // within the one-byte counts
};

// From the face counts: a cell whose faces close around it has, by Euler's formula, 2 + E - F
// nodes, E being half its face node references. The four shapes are told by their face counts.
// False when the counts allow no such estimate (the cell is then recognised instead).
bool sizeFromFaceCounts(const uint32_t* entries, size_t faceCount, const uint8_t* nodeCounts, CellSize* size) {
    size_t triangles = 0, quadrilaterals = 0, references = 0;
    for (size_t i = 0; i < faceCount; ++i) {
        const uint8_t n = nodeCounts[entries[i] & FACE_OF_ENTRY];
        references += n;
        triangles += n == 3;
        quadrilaterals += n == 4;
    }
    size->faces = faceCount;
    size->faceNodes = references;
    size->fits = true;
    const bool onlyShapeFaces = triangles + quadrilaterals == faceCount;
    if (faceCount == 6 && quadrilaterals == 6) {
        size->type = VXP_HEXAHEDRON;
        size->nodes = 8;
    } else if (faceCount == 4 && triangles == 4) {
        size->type = VXP_TETRAHEDRON;
        size->nodes = 4;
    } else if (faceCount == 5 && onlyShapeFaces && triangles == 4) {
        size->type = VXP_PYRAMID;
        size->nodes = 5;
    } else if (faceCount == 5 && onlyShapeFaces && triangles == 2) {
        size->type = VXP_PENTAHEDRON;
        size->nodes = 6;
    } else {
        const long long nodes = 2 + static_cast<long long>(references / 2) - static_cast<long long>(faceCount);
        if (references % 2 != 0 || nodes < 4 || nodes > static_cast<long long>(OFCell::MAX_COUNT)) return false;
        size->type = VXP_POLYGON_OR_POLYHEDRON;
        size->nodes = static_cast<size_t>(nodes);
    }
    return true;
}

// By recognising the cell.
CellSize sizeByRecognition(OFCell& cell, const FacesData& faces) {
    CellSize size{};
    size.faces = cell.cellFaces().size();
    size.fits = cell.buildElementData(faces, &size.type);
    size.nodes = cell.elementNodes().size();
    for (const CellFace& f : cell.cellFaces()) size.faceNodes += faces.nodeCounts[static_cast<size_t>(f.face)];
    return size;
}

// Lowers `lowest` to `value` when smaller, from any task.
void lowerTo(std::atomic<int64_t>& lowest, int64_t value) {
    int64_t current = lowest.load();
    while (value < current && !lowest.compare_exchange_weak(current, value)) {
    }
}

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

std::vector<int> OFPolymeshToVXP::createCellsChunks(int cellCount, int chunkCount) {
    chunkCount = std::max(1, chunkCount);
    const int size = std::max(0, cellCount) / chunkCount;
    std::vector<int> chunks(static_cast<size_t>(chunkCount), size);
    chunks.back() = std::max(0, cellCount) - (chunkCount - 1) * size;
    return chunks;
}

void OFPolymeshToVXP::assignCellFaces() {
    const size_t cellCount = static_cast<size_t>(std::max(0, m_mesh->cellCount()));
    const FaceCounts counts = faceCounts(*m_mesh);
    const int* owners = m_mesh->owners().data();
    const int* neighbours = m_mesh->neighbors().data();
    auto inMesh = [cellCount](int cell) { return cell >= 0 && static_cast<size_t>(cell) < cellCount; };

    // The faces in two halves of about equal work (an internal face gives two entries).
    const size_t half = (counts.faces + counts.internal) / 2;
    size_t split = std::min(counts.faces, half <= 2 * counts.internal ? half / 2 : half - counts.internal);
    if (half < 32768) split = counts.faces;
    const size_t ranges[3] = {0, split, counts.faces};
    vx::groupInOrder(
        cellCount,
        [&](size_t r, auto&& take) {
            for (size_t f = ranges[r]; f < ranges[r + 1]; ++f) {
                if (inMesh(owners[f])) take(static_cast<size_t>(owners[f]), static_cast<uint32_t>(f));
                if (f < counts.internal && inMesh(neighbours[f]))
                    take(static_cast<size_t>(neighbours[f]), static_cast<uint32_t>(f) | NEIGHBOUR_ENTRY);
            }
        },
        m_cellFaceStarts, m_cellFaces);
}

void OFPolymeshToVXP::loadCell(int cell, OFCell* target) const {
    const uint32_t begin = m_cellFaceStarts[static_cast<size_t>(cell)];
    CellFaceList& faces = target->cellFaces();
    faces.resize(m_cellFaceStarts[static_cast<size_t>(cell) + 1] - begin);
    decodeCellFaces(m_cellFaces.data() + begin, faces.size(), faces.data());
}

void OFPolymeshToVXP::reportCellTooLarge(int cellIndex) const {
    OFCell cell;
    loadCell(cellIndex, &cell);
    const size_t faceCount = cell.cellFaces().size();
    if (faceCount > OFCell::MAX_COUNT) {
        OFLogger::get()->logError(
            SOURCE, vx::Str("Cannot convert cell %1: it has %2 faces, but a cell can have at most %3.")
                        .arg(static_cast<long long>(cellIndex))
                        .arg(static_cast<unsigned long long>(faceCount))
                        .arg(static_cast<unsigned long long>(OFCell::MAX_COUNT)));
        return;
    }
    VXPElementType type;
    cell.buildElementData(m_mesh->faces(), &type);
    OFLogger::get()->logError(
        SOURCE, vx::Str("Cannot convert cell %1: it has %2 distinct nodes, but a cell can have at most %3.")
                    .arg(static_cast<long long>(cellIndex))
                    .arg(static_cast<unsigned long long>(cell.elementNodes().size()))
                    .arg(static_cast<unsigned long long>(OFCell::MAX_COUNT)));
}

bool OFPolymeshToVXP::buildVXPMeshData(bool exact) {
    const int cellCount = std::max(0, m_mesh->cellCount());
    const std::vector<int> chunks = createCellsChunks(cellCount, std::max(1, cellCount / CHUNK_CELLS));
    m_chunkStarts.assign(chunks.size() + 1, ChunkStart{});
    for (size_t k = 0; k < chunks.size(); ++k) m_chunkStarts[k + 1].cell = m_chunkStarts[k].cell + chunks[k];
    m_elementTypes.resize(static_cast<size_t>(cellCount));
    m_nodesCountPerElt.resize(static_cast<size_t>(cellCount));

    const FacesData& faces = m_mesh->faces();
    std::atomic<int64_t> firstFailure{cellCount};
    parallelFor(chunks.size(), [&](size_t k) {
        OFCell cell;
        ChunkStart& total = m_chunkStarts[k + 1];  // the chunk's own sums for now
        for (int64_t c = m_chunkStarts[k].cell; c < m_chunkStarts[k + 1].cell; ++c) {
            const size_t at = static_cast<size_t>(c);
            const uint32_t* entries = m_cellFaces.data() + m_cellFaceStarts[at];
            const size_t faceCount = m_cellFaceStarts[at + 1] - m_cellFaceStarts[at];
            CellSize size{};
            if (faceCount > OFCell::MAX_COUNT) {
                size.fits = false;
            } else if (exact || !sizeFromFaceCounts(entries, faceCount, faces.nodeCounts.data(), &size)) {
                loadCell(static_cast<int>(c), &cell);
                size = sizeByRecognition(cell, faces);
            }
            if (!size.fits) {
                lowerTo(firstFailure, c);
                continue;
            }
            m_elementTypes[at] = size.type;
            m_nodesCountPerElt[at] = static_cast<uint8_t>(size.nodes);
            total.connectivity += static_cast<int64_t>(size.nodes);
            if (size.type != VXP_POLYGON_OR_POLYHEDRON) continue;
            total.poly += 1;
            total.polyFace += static_cast<int64_t>(size.faces);
            total.polyConnectivity += static_cast<int64_t>(size.faceNodes);
        }
    });
    if (firstFailure.load() < cellCount) {
        // The estimate may miss a cell of lower index that does not close: only recognising
        // every cell names the first one.
        if (!exact) return buildVXPMeshData(true);
        reportCellTooLarge(static_cast<int>(firstFailure.load()));
        return false;
    }
    for (size_t k = 0; k < chunks.size(); ++k) {
        ChunkStart& next = m_chunkStarts[k + 1];
        const ChunkStart& start = m_chunkStarts[k];
        next.connectivity += start.connectivity;
        next.poly += start.poly;
        next.polyFace += start.polyFace;
        next.polyConnectivity += start.polyConnectivity;
    }
    const ChunkStart& totals = m_chunkStarts.back();
    if (totals.connectivity > INT_MAX || totals.polyFace > INT_MAX || totals.polyConnectivity > INT_MAX) {
        logConnectivityTooLarge();
        return false;
    }
    vx::resizeLarge(m_connectivities, static_cast<size_t>(totals.connectivity));
    return true;
}

void OFPolymeshToVXP::BuildVXPMeshForPolys() {
    const ChunkStart& totals = m_chunkStarts.back();
    m_polyNodeCounts.resize(static_cast<size_t>(totals.poly));
    m_polyFaceCounts.resize(static_cast<size_t>(totals.poly));
    m_polyFaceNodeCounts.resize(static_cast<size_t>(totals.polyFace));
    vx::resizeLarge(m_polyFaceConnectivity, static_cast<size_t>(totals.polyConnectivity));
}

bool OFPolymeshToVXP::buildElementData() {
    const FacesData& faces = m_mesh->faces();
    std::atomic<bool> asSized{true};
    parallelFor(m_chunkStarts.size() - 1, [&](size_t k) {
        OFCell cell;
        CellFace cellFaces[OFCell::MAX_COUNT];
        ChunkStart at = m_chunkStarts[k];
        for (int64_t c = at.cell; c < m_chunkStarts[k + 1].cell; ++c) {
            const size_t i = static_cast<size_t>(c);
            const size_t faceCount = m_cellFaceStarts[i + 1] - m_cellFaceStarts[i];
            if (faceCount > OFCell::MAX_COUNT) {
                asSized = false;
                return;
            }
            decodeCellFaces(m_cellFaces.data() + m_cellFaceStarts[i], faceCount, cellFaces);
            VXPElementType type;
            const bool fits = cell.buildElementData(cellFaces, faceCount, faces, &type);
            const std::vector<int>& nodes = cell.elementNodes();
            if (!fits || type != m_elementTypes[i] || nodes.size() != m_nodesCountPerElt[i]) {
                asSized = false;
                return;
            }
            std::copy(nodes.begin(), nodes.end(), m_connectivities.begin() + at.connectivity);
            at.connectivity += static_cast<int64_t>(nodes.size());
            if (type != VXP_POLYGON_OR_POLYHEDRON) continue;
            const size_t p = static_cast<size_t>(at.poly++);
            m_polyNodeCounts[p] = static_cast<uint8_t>(nodes.size());
            m_polyFaceCounts[p] = static_cast<uint8_t>(faceCount);
            at.polyConnectivity += static_cast<int64_t>(OFCell::buildElementPolyTables(
                cellFaces, faceCount, faces, m_polyFaceNodeCounts.data() + at.polyFace,
                m_polyFaceConnectivity.data() + at.polyConnectivity));
            at.polyFace += static_cast<int64_t>(faceCount);
        }
    });
    return asSized.load();
}

void OFPolymeshToVXP::discardResults() {
    release(m_cellFaceStarts);
    release(m_cellFaces);
    release(m_chunkStarts);
    release(m_elementTypes);
    release(m_connectivities);
    release(m_elementIds);
    release(m_nodesCountPerElt);
    release(m_polyNodeCounts);
    release(m_polyFaceCounts);
    release(m_polyFaceNodeCounts);
    release(m_polyFaceConnectivity);
}

bool OFPolymeshToVXP::createMesh() {
    OFLogger* logger = OFLogger::get();
    vx::Timer timer;
    assignCellFaces();
    release(m_mesh->owners());
    release(m_mesh->neighbors());
    logger->track("B1 Assign CellFaces  ", timer.lapTime());

    bool ok = buildVXPMeshData(false);
    if (ok) {
        BuildVXPMeshForPolys();
        const double sizing = timer.lapTime();
        logger->track("B3 BuildVXPMeshData  ", sizing);
        // A cell whose faces do not close may come out otherwise than its face counts said:
        // then every cell is recognised for its size, and written again.
        if (!buildElementData()) {
            ok = buildVXPMeshData(true);
            if (ok) {
                BuildVXPMeshForPolys();
                ok = buildElementData();
            }
        }
        logger->track("B2 Build Cells       ", timer.lapTime());
        if (ok) {
            logger->logDebug(SOURCE, vx::Str("-----------------------buildCells().   Time [convert].a : %1").arg(timer.time() - sizing));
            logger->logDebug(SOURCE, vx::Str("-----------------------buildVXPMesh(). Time [convert].b : %1").arg(sizing));
        }
    }
    FacesData& faces = m_mesh->faces();
    release(faces.nodeCounts);
    release(faces.startOffsets);
    release(faces.nodeIndices);
    release(m_cellFaceStarts);
    release(m_cellFaces);
    release(m_chunkStarts);
    if (!ok) {
        discardResults();
        return false;
    }
    m_elementIds.resize(m_elementTypes.size());
    std::iota(m_elementIds.begin(), m_elementIds.end(), 0);
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
    vx::UnsetVector<int> ids(count);
    std::iota(ids.begin(), ids.end(), 1);
    group->setNodeIds(ids.data(), count);
    return true;
}

bool OFPolymeshToVXP::populateNodeAndElementGroup(VXPNodeGroup* nodes, VXPElementGroup* elements, size_t* nodeCount,
                                                  size_t* elementCount) {
    if (m_elementTypes.empty() || !elements || !nodes) return populateElementGroup(elements, elementCount);
    bool elementsSent = false, nodesSent = false;
    tbb::parallel_invoke([&] { elementsSent = populateElementGroup(elements, elementCount); },
                         [&] { nodesSent = populateNodeGroup(nodes, nodeCount); });
    return elementsSent && nodesSent;
}
