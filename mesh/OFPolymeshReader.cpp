#include "mesh/OFPolymeshReader.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_invoke.h>
#include <tbb/parallel_reduce.h>

#include <algorithm>

#include "core/Timer.h"
#include "io/OFFile.h"
#include "plugin/OFLogger.h"

namespace {
const char* const SOURCE = "OFPolymeshReader";

void logDone(const char* what, size_t items, vx::Timer& timer) {
    OFLogger::get()->logDebug(SOURCE, vx::Str("%1 file done. Read %2 items. Time used : %3")
                                          .arg(what)
                                          .arg(static_cast<unsigned long long>(items))
                                          .arg(timer.time()));
}

// Largest value of a label list (-1 when empty) and whether any is negative, in parallel.
struct LabelRange {
    long long max = -1;
    bool negative = false;
};

LabelRange labelRange(const int* labels, size_t n) {
    return tbb::parallel_reduce(
        tbb::blocked_range<size_t>(0, n, 65536), LabelRange{},
        [labels](const tbb::blocked_range<size_t>& r, LabelRange acc) {
            int lowest = 0, highest = -1;
            for (size_t i = r.begin(); i != r.end(); ++i) {
                lowest = std::min(lowest, labels[i]);
                highest = std::max(highest, labels[i]);
            }
            acc.max = std::max<long long>(acc.max, highest);
            acc.negative = acc.negative || lowest < 0;
            return acc;
        },
        [](LabelRange a, const LabelRange& b) {
            a.max = std::max(a.max, b.max);
            a.negative = a.negative || b.negative;
            return a;
        });
}

// The faces must lie inside the index list (they do when the reader built them; checked anyway).
bool facesInsideIndexList(const FacesData& faces) {
    const size_t n = faces.faceCount();
    if (faces.startOffsets.size() != n) return false;
    const size_t indexCount = faces.nodeIndices.size();
    return tbb::parallel_reduce(
        tbb::blocked_range<size_t>(0, n, 65536), true,
        [&faces, indexCount](const tbb::blocked_range<size_t>& r, bool ok) {
            for (size_t f = r.begin(); ok && f != r.end(); ++f) {
                const long long start = faces.startOffsets[f];
                ok = start >= 0 && faces.nodeCounts[f] > 0 &&
                     static_cast<size_t>(start) + faces.nodeCounts[f] <= indexCount;
            }
            return ok;
        },
        [](bool a, bool b) { return a && b; });
}

size_t usedIndexCount(const FacesData& faces) {
    const size_t n = faces.faceCount();
    return n == 0 ? 0 : static_cast<size_t>(faces.startOffsets[n - 1]) + faces.nodeCounts[n - 1];
}

}  // namespace

void OFPolymeshReadFunctor::operator()() const {
    switch (kind) {
        case POINTS: *result = reader->readPoints(folder, &mesh->points()); break;
        case NEIGHBOURS: *result = reader->readNeighbors(folder, &mesh->neighbors()); break;
        case FACES: *result = reader->readFaces(folder, &mesh->faces()); break;
        case OWNERS: *result = reader->readOwners(folder, &mesh->owners()); break;
    }
}

bool OFPolymeshReader::read(const vx::Str& folder, OFPolymesh* mesh) {
    m_folder = folder;
    return readPolymeshPar(folder, mesh);
}

bool OFPolymeshReader::readPoints(const vx::Str& folder, std::vector<double>* points) {
    vx::Timer timer;
    OFFile file(true);
    const bool ok = file.readVectorField(folder + "/points", "points", points);
    if (ok) logDone("Points", points->size(), timer);
    return ok;
}

bool OFPolymeshReader::readNeighbors(const vx::Str& folder, vx::UnsetVector<int>* neighbours) {
    vx::Timer timer;
    OFFile file(true);
    int ignoredCellCount = 0;
    const bool ok = file.readLabelList(folder + "/neighbour", "neighbour", neighbours, &ignoredCellCount);
    if (ok) logDone("Neighbours", neighbours->size(), timer);
    return ok;
}

bool OFPolymeshReader::readFaces(const vx::Str& folder, FacesData* faces) {
    vx::Timer timer;
    OFFile file(true);
    const bool ok = file.readFaceList(folder + "/faces", "faces", faces);
    if (ok) logDone("Faces", faces->faceCount(), timer);
    return ok;
}

bool OFPolymeshReader::readOwners(const vx::Str& folder, vx::UnsetVector<int>* owners) {
    vx::Timer timer;
    OFFile file(true);
    const bool ok = file.readLabelList(folder + "/owner", "owner", owners, &m_cellCount);
    if (ok) logDone("Owners", owners->size(), timer);
    return ok;
}

bool OFPolymeshReader::readCellCount(const vx::Str& folder, size_t* cellCount) {
    OFFile file(true);
    int count = 0;
    if (!file.open(folder + "/owner") || !file.noteCellCount(&count) || count < 0) return false;
    *cellCount = static_cast<size_t>(count);
    return true;
}

namespace {

bool sameFaces(const FacesData& a, const FacesData& b) {
    if (a.nodeCounts != b.nodeCounts || a.startOffsets.size() < a.faceCount() || b.startOffsets.size() < b.faceCount())
        return false;
    for (size_t f = 0; f < a.faceCount(); ++f) {
        const size_t n = a.nodeCounts[f];
        const size_t startA = static_cast<size_t>(a.startOffsets[f]), startB = static_cast<size_t>(b.startOffsets[f]);
        if (a.startOffsets[f] < 0 || b.startOffsets[f] < 0 || startA + n > a.nodeIndices.size() ||
            startB + n > b.nodeIndices.size())
            return false;
        if (!std::equal(a.nodeIndices.begin() + static_cast<std::ptrdiff_t>(startA),
                        a.nodeIndices.begin() + static_cast<std::ptrdiff_t>(startA + n),
                        b.nodeIndices.begin() + static_cast<std::ptrdiff_t>(startB)))
            return false;
    }
    return true;
}

}  // namespace

bool OFPolymeshReader::sameTopology(const vx::Str& folder, const vx::Str& other) {
    {
        // Different counts in the owner files' notes settle it without reading the lists.
        OFFile a(true), b(true);
        if (a.open(folder + "/owner") && b.open(other + "/owner")) {
            const std::string noteA = a.headerValue("note"), noteB = b.headerValue("note");
            if (!noteA.empty() && !noteB.empty() && noteA != noteB) return false;
        }
    }
    OFPolymeshReader reader;
    vx::UnsetVector<int> listA, listB;
    if (!reader.readOwners(folder, &listA) || !reader.readOwners(other, &listB) || listA != listB) return false;
    if (!reader.readNeighbors(folder, &listA) || !reader.readNeighbors(other, &listB) || listA != listB) return false;
    FacesData facesA, facesB;
    return reader.readFaces(folder, &facesA) && reader.readFaces(other, &facesB) && sameFaces(facesA, facesB);
}

bool OFPolymeshReader::validate(const vx::Str& folder, const OFPolymesh& mesh) {
    auto fail = [&folder](const vx::Str& what) {
        OFLogger::get()->logError(SOURCE, vx::Str("Cannot read part polyMesh in folder %1. %2").arg(folder).arg(what));
        return false;
    };
    const FacesData& faces = mesh.faces();
    const size_t faceCount = faces.faceCount();
    if (mesh.neighbors().size() > faceCount)
        return fail("The neighbour list is longer than the face list.");
    if (!facesInsideIndexList(faces)) return fail("The face list is inconsistent.");
    const LabelRange points = labelRange(faces.nodeIndices.data(), usedIndexCount(faces));
    if (points.negative || points.max >= static_cast<long long>(mesh.nodeCount()))
        return fail(vx::Str("A face refers to point %1, but the mesh has %2 points.")
                        .arg(points.negative ? -1LL : points.max)
                        .arg(static_cast<unsigned long long>(mesh.nodeCount())));
    const LabelRange owners = labelRange(mesh.owners().data(), mesh.owners().size());
    const LabelRange neighbours = labelRange(mesh.neighbors().data(), mesh.neighbors().size());
    const long long cells = mesh.cellCount();
    if (owners.negative || neighbours.negative) return fail("A face owner or neighbour is negative.");
    const long long highest = std::max(owners.max, neighbours.max);
    if (highest >= cells)
        return fail(vx::Str("A face refers to cell %1, but the owner file announces %2 cells.").arg(highest).arg(cells));
    return true;
}

namespace {

// Meshes written by old versions of OpenFOAM give every face a neighbour, -1 for the boundary
// faces; OpenFOAM still reads them, ending the internal faces at the first -1.
void dropNeighbourPadding(vx::UnsetVector<int>& neighbours, size_t ownerCount) {
    if (neighbours.size() != ownerCount) return;
    const auto padding = std::find(neighbours.begin(), neighbours.end(), -1);
    neighbours.resize(static_cast<size_t>(padding - neighbours.begin()));
}

}  // namespace

bool OFPolymeshReader::finish(const vx::Str& folder, OFPolymesh* mesh, double seconds, const char* strategy) {
    dropNeighbourPadding(mesh->neighbors(), mesh->owners().size());
    if (mesh->owners().size() != mesh->faces().faceCount()) {
        OFLogger::get()->logError(SOURCE, vx::Str("Cannot read part polyMesh in folder %1. Invalid number of face owners, "
                                                  "it is not equal to the number of faces.")
                                              .arg(folder));
        return false;
    }
    if (m_cellCount < 0) {
        // No note to tell it (a collated rank's lists): one cell past the highest owner or neighbour.
        long long highest = -1;
        for (int cell : mesh->owners()) highest = std::max<long long>(highest, cell);
        for (int cell : mesh->neighbors()) highest = std::max<long long>(highest, cell);
        m_cellCount = static_cast<int>(std::min<long long>(highest + 1, INT32_MAX));
    }
    mesh->setCellCount(m_cellCount);
    if (!validate(folder, *mesh)) return false;
    OFLogger::get()->logDebug(SOURCE, vx::Str(">>> Polymesh reading done (%1). Time used : %2").arg(strategy).arg(seconds));
    return true;
}

bool OFPolymeshReader::readPolymeshPar(const vx::Str& folder, OFPolymesh* mesh) {
    vx::Timer timer;
    bool results[4] = {false, false, false, false};
    const OFPolymeshReadFunctor points{this, OFPolymeshReadFunctor::POINTS, folder, mesh, &results[0]};
    const OFPolymeshReadFunctor neighbours{this, OFPolymeshReadFunctor::NEIGHBOURS, folder, mesh, &results[1]};
    const OFPolymeshReadFunctor faces{this, OFPolymeshReadFunctor::FACES, folder, mesh, &results[2]};
    const OFPolymeshReadFunctor owners{this, OFPolymeshReadFunctor::OWNERS, folder, mesh, &results[3]};
    tbb::parallel_invoke(points, neighbours, faces, owners);
    if (!(results[0] && results[1] && results[2] && results[3])) return false;
    const double seconds = timer.time();
    if (!finish(folder, mesh, seconds, "parallel")) return false;
    OFLogger::get()->track("A Read Points,Faces..", seconds);
    return true;
}

bool OFPolymeshReader::readPolymeshSeq(const vx::Str& folder, OFPolymesh* mesh) {
    vx::Timer timer;
    if (!readPoints(folder, &mesh->points()) || !readNeighbors(folder, &mesh->neighbors()) ||
        !readFaces(folder, &mesh->faces()) || !readOwners(folder, &mesh->owners()))
        return false;
    return finish(folder, mesh, timer.time(), "sequential");
}
