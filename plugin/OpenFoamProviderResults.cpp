// Result delivery: the values of one result at one state, for every part, patch and surface.
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <limits>

#include "core/LargeArrays.h"
#include "core/Timer.h"
#include "core/Undefined.h"
#include "io/CollatedFiles.h"
#include "io/OFResultReader.h"
#include "mesh/OFPolymeshReader.h"
#include "mesh/OFTriSurface.h"
#include "model/OFUtilities.h"
#include "plugin/OpenFoamProvider.h"
#include "plugin/ProviderGuard.h"

namespace {

const char* const SOURCE = "OpenFoamProvider";
constexpr size_t UNKNOWN = std::numeric_limits<size_t>::max();

// Whether the mesh folder holds the lists that give its cells: a solver writes them one after the other.
bool holdsCellLists(const vx::Str& meshFolder) {
    for (const char* list : {"/faces", "/owner", "/neighbour"})
        if (!OFUtilities::fileOrCompressedExists(meshFolder + list)) return false;
    return true;
}

// Values are sized by what the geometry delivered for the piece (plugin/PieceOrder.h).
std::vector<double> undefinedValues(const OFResult& r, PieceSize size) {
    const size_t n = r.expectedValueCount(size.nodes, size.elements);
    return vx::filledLarge(n == UNKNOWN ? 0 : n, vx::UNDEFINED_DOUBLE);
}

void send(VXPResultValueGroup* group, const std::vector<double>& values, int dimension) {
    if (dimension <= 0) return;
    group->setValues(values.data(), dimension, values.size() / static_cast<size_t>(dimension));
}

// Each sampled-surface node gets the mean of the values of the faces around it.
std::vector<double> faceValuesToNodes(const std::vector<double>& faceValues, const FacesData& faces, size_t nodeCount,
                                      int dimension) {
    const size_t m = static_cast<size_t>(dimension);
    std::vector<double> nodeValues(nodeCount * m, 0.0);
    std::vector<int> counts(nodeCount, 0);
    // The faces are read again: they must still be those the values were written for.
    const size_t faceCount = faces.faceCount() * m == faceValues.size() ? faces.faceCount() : 0;
    for (size_t f = 0; f < faceCount; ++f) {
        for (size_t k = 0; k < faces.nodeCounts[f]; ++k) {
            const size_t at = static_cast<size_t>(faces.startOffsets[f]) + k;
            if (at >= faces.nodeIndices.size()) break;
            const size_t node = static_cast<size_t>(faces.nodeIndices[at]);
            if (node >= nodeCount) continue;
            for (size_t c = 0; c < m; ++c) nodeValues[node * m + c] += faceValues[f * m + c];
            ++counts[node];
        }
    }
    for (size_t n = 0; n < nodeCount; ++n)
        for (size_t c = 0; c < m; ++c)
            nodeValues[n * m + c] = counts[n] ? nodeValues[n * m + c] / counts[n] : vx::UNDEFINED_DOUBLE;
    return nodeValues;
}

// Gives each part or sampled surface to one task.
struct OFReadResultsFunctor {
    OpenFoamProvider* provider;
    OFState* state;
    OFResult* result;
    CaseGroups<VXPResultValueGroup*>* groups;
    vx::Str nativeName;
    vx::Str className;
    size_t partCount;

    void operator()(const tbb::blocked_range<size_t>& range) const {
        for (size_t i = range.begin(); i != range.end(); ++i) {
            runGuarded(SOURCE, "getResult", [&] {
                if (i < partCount)
                    return provider->getResultForPart(static_cast<int>(i), *state, *result, groups->parts[i],
                                                      nativeName, className);
                return provider->getResultForTrisurface(static_cast<int>(i - partCount), *state, *result,
                                                        groups->surfaces[i - partCount], nativeName, className);
            });
        }
    }
};

CaseGroups<VXPResultValueGroup*> makeValueGroups(const OFReader& reader, PieceSet set, VXPResult* result) {
    return makeCaseGroups<VXPResultValueGroup*>(reader, set,
                                                [result](const Piece&) { return result->addValueGroup(); });
}

// Every piece of the part shows the result as undefined. Returns the volume's undefined values,
// for the caller to fill rather than build them again.
std::vector<double> sendUndefined(const OFResult& r, const OFPart& part, OpenFoamProvider::ValueGroups& groups) {
    std::vector<double> volume = undefinedValues(r, deliveredSize(part));
    send(groups.volume, volume, r.dimension());
    for (size_t b = 0; b < part.boundaries().size(); ++b)
        send(groups.patches[b], undefinedValues(r, deliveredSize(part.boundaries()[b])), r.dimension());
    return volume;
}

}  // namespace

bool OpenFoamProvider::getResult(const VXPResultSpec& spec, VXPResult* result) {
    return runGuarded(SOURCE, "getResult", [&] { return getResultOnCallingThread(spec, result); });
}

bool OpenFoamProvider::getResultOnCallingThread(const VXPResultSpec& spec, VXPResult* result) {
    // Each collated file is read once for all the ranks of the request.
    const collated::RequestScope scope;
    const int stateId = spec.stateId();
    const int resultId = spec.resultId();
    if (resultId == m_displacementResultId) return getDisplacements(stateId, result);
    OFState* state = m_reader.stateById(stateId);
    if (!state) return false;
    addWrittenSince(*state);
    resolveMeshChanges(*state);
    OFResult* r = state->resultById(resultId);
    if (r) {
        if (r->className().isEmpty()) return false;
        return buildDataResults(*state, *r, result, r->nativeName(), r->className());
    }
    const OFResult* elsewhere = m_reader.resultByIdInAllStates(resultId);
    if (!elsewhere) return false;
    // The result exists in other states only: every part and patch shows it as undefined.
    CaseGroups<VXPResultValueGroup*> groups = makeValueGroups(m_reader, PieceSet::PartValues, result);
    for (size_t i = 0; i < m_reader.partCount(); ++i) sendUndefined(*elsewhere, m_reader.part(i), groups.parts[i]);
    return true;
}

bool OpenFoamProvider::buildDataResults(OFState& state, OFResult& r, VXPResult* result, const vx::Str& nativeName,
                                        const vx::Str& className) {
    CaseGroups<VXPResultValueGroup*> groups = makeValueGroups(m_reader, PieceSet::Values, result);
    vx::Timer timer;
    if (!groups.empty()) {
        const OFReadResultsFunctor functor{this, &state, &r, &groups, nativeName, className, m_reader.partCount()};
        tbb::parallel_for(tbb::blocked_range<size_t>(0, groups.taskCount(), 1), functor);
    }
    OFLogger::get()->logInfo(SOURCE, vx::Str("getResult [Parallel] in %1 seconds").arg(timer.time()));
    return true;
}

vx::Str OpenFoamProvider::fieldFolder(const OFPart& part, const OFState& state) const {
    return state.fieldFolderForPart(part);
}

bool OpenFoamProvider::getResultForPart(int partIndex, OFState& state, OFResult& r, ValueGroups& groups,
                                        const vx::Str& nativeName, const vx::Str& className) {
    OFPart& part = m_reader.part(static_cast<size_t>(partIndex));
    const vx::Str folder = fieldFolder(part, state);
    std::vector<OFBoundary>& patches = part.boundaries();
    std::vector<double> values = sendUndefined(r, part, groups);
    // Values on another mesh than the one shown have nowhere to go.
    if (isOnOtherMesh(static_cast<size_t>(partIndex), state)) return true;
    if (!state.hasResultForPart(r, part)) return true;
    OFResultReader reader;
    if (state.referenceValue() != OFState::UNKNOWN_TIME) reader.setTime(state.referenceValue());

    if (r.mapping() == NODE_AVERAGE) {
        const OFResult* source = state.sourceVolumefromAverageNodeResult(r);
        if (!source || part.connectivities().empty()) return false;
        const int dimension = source->dimension();
        const PieceSize size = deliveredSize(part);
        std::vector<double> cellValues = vx::filledLarge(source->expectedValueCount(size.nodes, size.elements), 0.0);
        const size_t nodeValueCount = r.expectedValueCount(size.nodes, size.elements);
        std::vector<double> nodeValues =
            nodeValueCount == values.size() ? std::move(values) : vx::filledLarge(nodeValueCount, 0.0);
        if (m_loadBoundaryParts) {
            std::vector<std::vector<double>> patchValues(patches.size());
            for (size_t b = 0; b < patches.size(); ++b)
                patchValues[b].assign(deliveredSize(patches[b]).elements * static_cast<size_t>(dimension),
                                      vx::UNDEFINED_DOUBLE);
            if (!reader.readValuesForCellAndBoundaries(folder, source->nativeName(), source->className(), &cellValues,
                                                       patches, patchValues))
                return false;
            part.computeAverageNodeResultAwareBC(cellValues, patchValues, nodeValues, dimension);
            send(groups.volume, nodeValues, dimension);
            for (size_t b = 0; b < patches.size(); ++b) {
                std::vector<double> patchNodeValues = undefinedValues(r, deliveredSize(patches[b]));
                // A patch with values of its own shows their mean at its nodes; one without keeps
                // the node values of the volume.
                const bool own = !patchValues[b].empty() && patchValues[b][0] != vx::UNDEFINED_DOUBLE &&
                                 OFPart::computePatchNodeValues(patches[b], patchValues[b], patchNodeValues, dimension);
                if (!own)
                    applyNodalDataInFace(nodeValues, patchNodeValues, dimension, patches[b].faceNodeToNodeMapping());
                send(groups.patches[b], patchNodeValues, dimension);
            }
            return true;
        }
        if (!reader.readValues(folder, source->nativeName(), source->className(), &cellValues)) return false;
        part.computeAverageNodeResult(cellValues, nodeValues, dimension);
        send(groups.volume, nodeValues, dimension);
        return true;
    }

    if (m_loadBoundaryParts) {
        getResultsWithBoundaries(patches, r.dimension(), reader, folder, nativeName, className, values, groups);
        return true;
    }
    if (!reader.readValues(folder, nativeName, className, &values)) return false;
    send(groups.volume, values, r.dimension());
    return true;
}

void OpenFoamProvider::getResultsWithBoundaries(std::vector<OFBoundary>& boundaries, int dimension,
                                                OFResultReader& reader, const vx::Str& folder,
                                                const vx::Str& nativeName, const vx::Str& className,
                                                std::vector<double>& values, ValueGroups& groups) {
    std::vector<std::vector<double>> patchValues(boundaries.size());
    for (size_t b = 0; b < boundaries.size(); ++b) {
        size_t items = 0;
        if (className.startsWith("point"))
            items = deliveredSize(boundaries[b]).nodes;
        else if (className.startsWith("vol"))
            items = deliveredSize(boundaries[b]).elements;
        else
            return;
        patchValues[b].assign(items * static_cast<size_t>(dimension), vx::UNDEFINED_DOUBLE);
    }
    reader.readValuesForCellAndBoundaries(folder, nativeName, className, &values, boundaries, patchValues);
    OFLogger::get()->printTrackedData();
    send(groups.volume, values, dimension);
    for (size_t b = 0; b < boundaries.size(); ++b) send(groups.patches[b], patchValues[b], dimension);
}

bool OpenFoamProvider::getResultForTrisurface(int surfaceIndex, OFState& state, OFResult& r, VXPResultValueGroup* group,
                                              const vx::Str& nativeName, const vx::Str& className) {
    const OFSampledSurface& surface = m_reader.sampledSurface(static_cast<size_t>(surfaceIndex));
    vx::Str folder = surface.sourceFolder() + "/" + OFUtilities::folderNameFromPath(state.folder()) + "/" +
                     surface.surfaceFolderName();
    switch (r.type()) {
        case SCALAR: folder += "/scalarField"; break;
        case VECTOR: folder += "/vectorField"; break;
        case TENSOR: folder += "/tensorField"; break;
        case DISPLACEMENT: return false;
    }
    const PieceSize size = deliveredSize(surface);
    std::vector<double> values = undefinedValues(r, size);
    if (r.mapping() == NODE) {
        for (const vx::Str& file : OFUtilities::filesInFolder(folder)) {
            if (OFUtilities::fieldNameOfFile(file) != nativeName) continue;
            OFResultReader reader;
            std::vector<double> read;
            // One value per node or per face: no file of this surface holds more.
            const size_t m = static_cast<size_t>(r.dimension());
            if (!reader.readNonHeaderValuesUpTo(folder, nativeName, className, &read, std::max(size.nodes, size.elements) * m))
                return false;
            if (read.size() == values.size()) {
                values = std::move(read);
            } else if (read.size() == size.elements * m) {
                // Sampled without interpolation: one value per face, shown at the nodes around it.
                OFTriSurfaceReader surfaceReader;
                FacesData faces;
                if (surfaceReader.readFaces(surface.folder(), &faces))
                    values = faceValuesToNodes(read, faces, size.nodes, r.dimension());
            } else {
                OFLogger::get()->logError(SOURCE, vx::Str("Sampled values of %1 do not match the surface %2: %3 values "
                                                          "for %4 points and %5 faces.")
                                                      .arg(nativeName)
                                                      .arg(surface.name())
                                                      .arg(static_cast<unsigned long long>(read.size() / m))
                                                      .arg(static_cast<unsigned long long>(size.nodes))
                                                      .arg(static_cast<unsigned long long>(size.elements)));
            }
            break;
        }
    }
    send(group, values, r.dimension());
    return true;
}

// A solver may have gone on writing into the state's folders after they were listed.
void OpenFoamProvider::addWrittenSince(OFState& state) {
    if (m_reader.addWrittenSince(state)) addResultInfo(nullptr);
}

bool OpenFoamProvider::getDisplacements(int stateId, VXPResult* result) {
    if (OFState* state = m_reader.stateById(stateId)) {
        addWrittenSince(*state);
        resolveMeshChanges(*state);
    }
    CaseGroups<VXPResultValueGroup*> groups = makeValueGroups(m_reader, PieceSet::PartValues, result);
    bool ok = true;
    for (size_t i = 0; i < m_reader.partCount() && ok; ++i)
        ok = updatePointsForPart(static_cast<int>(i), stateId, groups.parts[i]);
    return ok;
}

bool OpenFoamProvider::updatePointsForPart(int partIndex, int stateId, ValueGroups& groups) {
    if (partIndex < 0 || static_cast<size_t>(partIndex) >= m_reader.partCount()) return false;
    const OFPart& part = m_reader.part(static_cast<size_t>(partIndex));
    const OFState* state = m_reader.stateById(stateId);
    if (!state || groups.patches.size() != part.boundaries().size()) return false;
    const size_t nodeCount = deliveredSize(part).nodes;
    if (isOnOtherMesh(static_cast<size_t>(partIndex), *state) || nodeCount == 0) {
        send(groups.volume, std::vector<double>(nodeCount * 3, vx::UNDEFINED_DOUBLE), 3);
        for (size_t b = 0; b < part.boundaries().size(); ++b) {
            const size_t patchNodes = deliveredSize(part.boundaries()[b]).nodes;
            send(groups.patches[b], std::vector<double>(patchNodes * 3, vx::UNDEFINED_DOUBLE), 3);
        }
        return true;
    }
    // The state's own moved points when it has them, else the points of the part's mesh.
    vx::Str folder = part.folder();
    const vx::Str moved = fieldFolder(part, *state) + "/polyMesh";
    if (stateId != 1 && OFUtilities::fileOrCompressedExists(moved + "/points"))
        folder = moved;
    OFPolymeshReader reader;
    std::vector<double> points;
    if (!reader.readPoints(folder, &points)) return false;
    if (points.size() != 3 * nodeCount) {
        OFLogger::get()->logError(SOURCE, vx::Str("The points in %1 do not match the %2 nodes of part %3.")
                                              .arg(folder)
                                              .arg(static_cast<unsigned long long>(nodeCount))
                                              .arg(part.name()));
        return false;
    }
    send(groups.volume, points, 3);
    for (size_t b = 0; b < part.boundaries().size(); ++b) {
        std::vector<double> values(deliveredSize(part.boundaries()[b]).nodes * 3, vx::UNDEFINED_DOUBLE);
        applyNodalDataInFace(points, values, 3, part.boundaries()[b].faceNodeToNodeMapping());
        send(groups.patches[b], values, 3);
    }
    return true;
}

// Compares, once per state and on the calling thread, the mesh of each part at the state with
// the part's own mesh, and logs one message when some differ: the host has that one geometry,
// so the values at such a state are sent as undefined.
void OpenFoamProvider::resolveMeshChanges(OFState& state) {
    if (state.partsOnOtherMesh().size() == m_reader.partCount()) return;
    std::vector<bool> other(m_reader.partCount(), false);
    vx::Str parts;
    for (size_t i = 0; i < m_reader.partCount(); ++i) {
        if (!m_reader.meshReplacedAtState(i, state)) continue;
        const OFPart& part = m_reader.part(i);
        const vx::Str meshFolder = m_reader.meshFolderAtState(i, state);
        // A mesh still being written is another mesh for now, and its lists are not read yet.
        const bool written = holdsCellLists(meshFolder);
        if (written && OFPolymeshReader::sameTopology(part.folder(), meshFolder)) continue;
        other[i] = true;
        size_t shown = part.elementCount();
        if (shown == UNKNOWN && !OFPolymeshReader::readCellCount(part.folder(), &shown)) shown = UNKNOWN;
        size_t changed = UNKNOWN;
        if (written) OFPolymeshReader::readCellCount(meshFolder, &changed);
        auto count = [](size_t n) { return n == UNKNOWN ? vx::Str("?") : vx::Str("%1").arg(static_cast<unsigned long long>(n)); };
        if (!parts.isEmpty()) parts += "; ";
        parts += vx::Str("%1: %2 cells instead of %3").arg(part.name()).arg(count(changed)).arg(count(shown));
    }
    state.setPartsOnOtherMesh(std::move(other));
    if (parts.isEmpty()) return;
    OFLogger::get()->logInfo(SOURCE, vx::Str("The mesh at time %1 is not the mesh shown (%2): the results at this "
                                             "time are undefined.")
                                         .arg(OFUtilities::folderNameFromPath(state.folder()))
                                         .arg(parts));
}

bool OpenFoamProvider::isOnOtherMesh(size_t partIndex, const OFState& state) const {
    const std::vector<bool>& other = state.partsOnOtherMesh();
    if (partIndex < other.size()) return other[partIndex];
    // Not compared yet (a call outside a request): compare now, without keeping the outcome.
    return m_reader.meshReplacedAtState(partIndex, state) &&
           !OFPolymeshReader::sameTopology(m_reader.part(partIndex).folder(), m_reader.meshFolderAtState(partIndex, state));
}

bool OpenFoamProvider::applyNodalDataInFace(const std::vector<double>& nodeValues, std::vector<double>& patchValues,
                                            int dimension, const std::vector<int>& mapping) {
    if (dimension <= 0) return false;
    const size_t m = static_cast<size_t>(dimension);
    const size_t n = std::min(patchValues.size() / m, mapping.size());
    for (size_t j = 0; j < n; ++j) {
        const size_t node = static_cast<size_t>(mapping[j]);
        if ((node + 1) * m > nodeValues.size()) continue;
        for (size_t c = 0; c < m; ++c) patchValues[j * m + c] = nodeValues[node * m + c];
    }
    return true;
}
