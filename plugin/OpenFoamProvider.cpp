#include "plugin/OpenFoamProvider.h"

#include <algorithm>

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/version.h>

#include <set>

#include "core/Timer.h"
#include "io/CollatedFiles.h"
#include "mesh/OFPolymeshReader.h"
#include "mesh/OFPolymeshToVXP.h"
#include "mesh/OFSurfaceGroups.h"
#include "mesh/OFTriSurface.h"
#include "plugin/ProviderGuard.h"

namespace {

const char* const SOURCE = "OpenFoamProvider";

void logInfo(const vx::Str& message) { OFLogger::get()->logInfo(SOURCE, message); }
void logDebug(const vx::Str& message) { OFLogger::get()->logDebug(SOURCE, message); }

VXPString toHost(const vx::Str& text) { return VXPString::fromUtf8(text.toUtf8().c_str()); }

int hostResultType(OFResultType type) {
    switch (type) {
        case VECTOR: return 1;
        case TENSOR: return 4;
        case DISPLACEMENT: return 2;
        default: return 0;
    }
}

bool isPublished(const OFResult& r) { return static_cast<int>(r.type()) != -1 && static_cast<int>(r.mapping()) != -1; }

}  // namespace

OpenFoamProvider::~OpenFoamProvider() = default;

// ---------------------------------------------------------------- lifecycle and settings

bool OpenFoamProvider::init(const VXPString& path, const VXPInitOptions& options, VXPError*) {
    return runGuarded(SOURCE, "init", [&] { return initCase(path, options); });
}

bool OpenFoamProvider::initCase(const VXPString& path, const VXPInitOptions& options) {
    const vx::Str casePath = vx::Str::fromUtf8(path.utf8());
    logInfo(vx::Str("init(key = '%1')").arg(casePath));
    logInfo("Veltrix Data Providers version: " + vx::Str("1.10.0"));
    logInfo("Orvane version: " + vx::Str("3.10.0"));
    logInfo(vx::Str("VXP API version: %1.%2").arg(VXP_API_VERSION_MAJOR).arg(VXP_API_VERSION_MINOR));
    logInfo(vx::Str("Using Intel TBB version: %1.%2 (Interface version: %3) - Runtime interface: %4")
                .arg(TBB_VERSION_MAJOR)
                .arg(TBB_VERSION_MINOR)
                .arg(TBB_INTERFACE_VERSION)
                .arg(TBB_runtime_interface_version()));
    applyUserReaderSettings(options);
    vx::Str directory;
    if (!caseDirectoryFromPath(casePath, &directory)) return false;
    m_resultIds.clear();
    return m_reader.init(directory);
}

bool OpenFoamProvider::caseDirectoryFromPath(const vx::Str& path, vx::Str* directory) {
    vx::Str text = path;
    text.replace("\\", "/");
    const std::vector<vx::Str> pieces = text.split("/");
    if (pieces.empty()) return false;
    vx::Str result = text.startsWith("/") ? vx::Str("/") : vx::Str();
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (i > 0) result += "/";
        result += pieces[i];
    }
    // A bare "case.foam" lies in the working folder; an empty directory would name no folder at all.
    *directory = result.isEmpty() ? vx::Str(".") : result;
    return true;
}

void OpenFoamProvider::close() {
    runGuarded(SOURCE, "close", [&] {
        m_reader.close();
        m_resultIds.clear();
        return true;
    });
}

bool OpenFoamProvider::getBoolUserSetting(const VXPInitOptions& options, const OFInitOption& option) {
    bool value = option.defaultValue;
    if (options.hasSetting(option.key)) value = options.boolSetting(option.key);
    logInfo(vx::Str(" - %1: %2").arg(option.key.utf8()).arg(value ? "ON" : "OFF"));
    return value;
}

VXPString OpenFoamProvider::getStringUserSetting(const VXPInitOptions& options, const OFInitOptionString& option) {
    VXPString value = option.defaultValue;
    if (options.hasSetting(option.key)) value = options.stringSetting(option.key);
    logInfo(vx::Str(" - %1: %2").arg(option.key.utf8()).arg("ENABLED"));
    return value;
}

void OpenFoamProvider::applyUserReaderSettings(const VXPInitOptions& options) {
    logInfo("** User settings **");
    m_reader.setLoadGlobalMesh(getBoolUserSetting(options, OF_LOAD_GLOBAL_MESH));
    m_reader.setLoadLocalMeshes(getBoolUserSetting(options, OF_LOAD_LOCAL_MESHES));
    m_loadBoundaryParts = getBoolUserSetting(options, OF_LOAD_BOUNDARY_PARTS);
    m_reader.setLoadBoundariesFlag(m_loadBoundaryParts);
    m_reader.setLoadCellZonesFlag(getBoolUserSetting(options, OF_LOAD_CELL_ZONES));
    m_reader.setLoadFaceZonesFlag(getBoolUserSetting(options, OF_LOAD_FACE_ZONES));
    m_nodeAverageResults = getBoolUserSetting(options, OF_NODE_AVG_RESULTS);
    m_reader.setMakeNodeAverageResultFlag(m_nodeAverageResults);
    m_reader.setHideProcessorInterfacesAsBoundariesFlag(getBoolUserSetting(options, OF_HIDE_PARALLEL_INTERFACES));
    m_reader.setCustomResultNames(getStringUserSetting(options, OF_RESULTS_NAMES_MAPPING));
    logInfo(" ");
}

bool OpenFoamProvider::getRigidBodyTransformations(int, VXPRigidBodyTransformations*) { return false; }
bool OpenFoamProvider::getElementVisibilityResult(size_t, int, VXPVisibilityResult*) { return false; }
bool OpenFoamProvider::handleClientRequest(const VXPClientRequest&, VXPClientResponse*, VXPChangeNotifications*) {
    return false;
}

// ---------------------------------------------------------------- meta data

bool OpenFoamProvider::getMetaData(VXPMetaData* metaData) {
    return runGuarded(SOURCE, "getMetaData", [&] {
        metaData->setProblemInfo(toHost(m_reader.simulationTitle()), toHost(m_reader.simulationDescription()), 4,
                                 m_reader.stateCount() >= 2 ? 4 : 0);
        if (!addGeometryInfo(metaData)) {
            OFLogger::get()->logError(SOURCE, "Error adding geometry meta");
            return false;
        }
        if (!addStateInfo(metaData)) {
            OFLogger::get()->logError(SOURCE, "Error adding state meta");
            return false;
        }
        if (!addResultInfo(metaData)) {
            OFLogger::get()->logError(SOURCE, "Error adding result meta");
            return false;
        }
        if (!addSetInfo(metaData)) {
            OFLogger::get()->logError("OpenFoamProviver", "Error adding set meta");
            return false;
        }
        return true;
    });
}

namespace {

void publishCellZone(OFCellZone& zone, int base, VXPElementGroupInfo* info) {
    const int id = base + zone.id();
    zone.setGeometryGlobalPartId(id);
    info->addPart(id, toHost(zone.name()));
    info->setParentPart(id, zone.partId());
    info->setPartFlag(id, 0);
    info->setPartAttribute(id, VXPString::fromChar("type"), VXPString::fromChar("CellZone"));
}

void publishBoundary(OFBoundary& patch, int base, VXPElementGroupInfo* info) {
    const int id = base + patch.boundaryID();
    patch.setGeometryGlobalPartId(id);
    info->addPart(id, toHost(patch.patchName()));
    info->setParentPart(id, patch.partID());
    info->setPartFlag(id, 1);
    info->setPartAttribute(id, VXPString::fromChar("type"), toHost(patch.type()));
}

void publishFaceZone(OFFaceZone& zone, int base, VXPElementGroupInfo* info) {
    const int id = base + zone.id();
    zone.setGeometryGlobalPartId(id);
    info->addPart(id, toHost(zone.name() + " [FZ]"));
    info->setParentPart(id, zone.partId());
    info->setPartFlag(id, 0);
    info->setPartAttribute(id, VXPString::fromChar("type"), VXPString::fromChar("FaceZone"));
}

void publishSampledSurface(OFSampledSurface& surface, int base, VXPElementGroupInfo* info) {
    const int id = base + surface.id();
    surface.setGlobalPartId(id);
    info->addPart(id, toHost(surface.userName()));
    info->setPartFlag(id, 0);
    info->setPartAttribute(id, VXPString::fromChar("type"), VXPString::fromChar("SampledSurface"));
}

}  // namespace

bool OpenFoamProvider::addGeometryInfo(VXPMetaData* metaData) {
    VXPGeometryInfo* geometry = metaData->geometryInfo();
    geometry->setGeometryIndex(0);
    int surfaceBase = 0;
    for (size_t i = 0; i < m_reader.partCount(); ++i) {
        OFPart& part = m_reader.part(i);
        int base = part.id();
        if (!part.cellZones().empty()) {
            VXPElementGroupInfo* info = geometry->elementGroupInfo();
            info->addPart(part.id(), toHost(part.name()));
            for (OFCellZone& zone : part.cellZones()) publishCellZone(zone, base, info);
            base += static_cast<int>(part.cellZones().size());
        } else {
            geometry->addPart(base, toHost(part.name()));
        }
        for (OFBoundary& patch : part.boundaries()) publishBoundary(patch, base, geometry->elementGroupInfo());
        base += static_cast<int>(part.boundaries().size());
        for (OFFaceZone& zone : part.faceZones()) publishFaceZone(zone, base, geometry->elementGroupInfo());
        surfaceBase = base + static_cast<int>(part.faceZones().size());
    }
    for (size_t k = 0; k < m_reader.sampledSurfaceCount(); ++k)
        publishSampledSurface(m_reader.sampledSurface(k), surfaceBase, geometry->elementGroupInfo());
    return true;
}

bool OpenFoamProvider::addStateInfo(VXPMetaData* metaData) {
    m_hostStateIds.clear();
    for (size_t i = 0; i < m_reader.stateCount(); ++i) {
        const OFState& state = m_reader.state(i);
        metaData->addState(state.id(), toHost(state.name()), state.referenceValue());
        m_hostStateIds.insert(state.id());
    }
    return true;
}

bool OpenFoamProvider::addResultInfo(VXPMetaData* metaData) {
    // Publishing numbers every result afresh. Without a host object the ids the host holds stay
    // as they are, whatever order the states come in now: results new to the case come after them.
    std::map<vx::Str, int>& idOf = m_resultIds;
    if (metaData) idOf.clear();
    int counter = 1;
    for (const auto& known : idOf) counter = std::max(counter, known.second + 1);
    for (size_t s = 0; s < m_reader.stateCount(); ++s) {
        const OFState& state = m_reader.state(s);
        for (size_t i = 0; i < state.resultCount(); ++i) {
            const OFResult& r = state.result(i);
            if (!isPublished(r) || idOf.count(r.idString())) continue;
            const int id = counter++;
            idOf[r.idString()] = id;
            if (!metaData) continue;
            const int type = hostResultType(r.type());
            const bool elementResult = r.mapping() != NODE && r.mapping() != NODE_AVERAGE;
            VXPResultInfo* info = metaData->addResult(type, id, toHost(r.name()), elementResult);
            info->setIdString(toHost(r.idString()));
            info->setUnit(toHost(r.unit()));
            if (type == 2) {
                info->setDisplacementMode(1);
                m_displacementResultId = id;
            }
        }
    }
    if (!metaData) {
        // Without a host object the displacement result's id is still known from its id string.
        for (size_t s = 0; s < m_reader.stateCount(); ++s)
            for (size_t i = 0; i < m_reader.state(s).resultCount(); ++i) {
                const OFResult& r = m_reader.state(s).result(i);
                if (isPublished(r) && hostResultType(r.type()) == 2) m_displacementResultId = idOf[r.idString()];
            }
    }
    for (size_t s = 0; s < m_reader.stateCount(); ++s) {
        OFState& state = m_reader.state(s);
        for (size_t i = 0; i < state.resultCount(); ++i) {
            OFResult& r = state.result(i);
            if (isPublished(r)) r.setId(idOf[r.idString()]);
        }
        if (!m_nodeAverageResults) continue;
        for (size_t i = 0; i < state.resultCount(); ++i) {
            const OFResult& r = state.result(i);
            if (r.mapping() != ELEMENT) continue;
            const vx::Str idString = r.idString();
            const vx::Str counterpart = idString.subStr(0, idString.size() - 1) + "N";
            const auto it = idOf.find(counterpart);
            if (it != idOf.end()) state.registerVolumeResultSourceOfAverageNodeResult(it->second, r.id());
        }
    }
    return true;
}

bool OpenFoamProvider::addSetInfo(VXPMetaData*) { return true; }

bool OpenFoamProvider::getSet(int setId, VXPSet* set) {
    return runGuarded(SOURCE, "getSet", [&] {
        for (size_t i = 0; i < m_reader.partCount(); ++i) {
            for (const OFCellZone& zone : m_reader.part(i).cellZones()) {
                if (zone.id() != setId) continue;
                set->addElements(0, static_cast<int>(i), zone.cellIds().data(), zone.cellIds().size());
                return true;
            }
        }
        OFLogger::get()->logError(SOURCE, vx::Str(" Get Set with id=%1 failure").arg(setId));
        return false;
    });
}

// ---------------------------------------------------------------- geometry

namespace {

// Gives each part or sampled surface to one task; parts first, then surfaces.
struct OFReadPartMeshFunctor {
    OpenFoamProvider* provider;
    OpenFoamProvider::GroupList* groups;
    const VXPGeometrySpec* spec;
    size_t partCount;
    size_t surfaceCount;

    void operator()(const tbb::blocked_range<size_t>& range) const {
        OFPolymeshReader reader;
        OFTriSurfaceReader surfaceReader;
        for (size_t i = range.begin(); i != range.end(); ++i) {
            runGuarded(SOURCE, "getGeometry", [&] {
                if (i < partCount)
                    return provider->getGeometryForPart(static_cast<int>(i), reader, groups->parts[i], *spec);
                return provider->getGeometryForTrisurface(static_cast<int>(i - partCount), surfaceReader,
                                                          groups->surfaces[i - partCount], *spec);
            });
        }
    }
};

// Until a piece is delivered again it has no counts and no tables, so no values are sized or
// placed by those of an earlier request.
void forgetDeliveredPieces(OFPart& part) {
    part.setNodeCount(OFPart::UNKNOWN_COUNT);
    part.setElementCount(OFPart::UNKNOWN_COUNT);
    part.setConnectivities({});
    part.setNodesCountPerElt({});
    for (OFBoundary& patch : part.boundaries()) {
        patch.setNodeCount(OFBoundary::UNKNOWN_COUNT);
        patch.setElementCount(OFBoundary::UNKNOWN_COUNT);
        patch.createFaceToCellMapping(0);
        patch.createNodeFaceToNodeMapping(0);
        patch.faceConnectivity().clear();
        patch.faceLocalConnectivity().clear();
        patch.nodeCountPerFace().clear();
    }
}

}  // namespace

bool OpenFoamProvider::getGeometry(const VXPGeometrySpec& spec, VXPGeometry* geometry) {
    return runGuarded(SOURCE, "getGeometry", [&] { return getGeometryOnCallingThread(spec, geometry); });
}

bool OpenFoamProvider::getGeometryOnCallingThread(const VXPGeometrySpec& spec, VXPGeometry* geometry) {
    if (spec.geometryIndex(0) != 0) return false;
    // Each collated file is read once for all the ranks of the request.
    const collated::RequestScope scope;
    GroupList groups = makeCaseGroups<GroupPair>(m_reader, PieceSet::Geometry, [geometry](const Piece&) {
        VXPNodeGroup* nodes = geometry->addNodeGroup();
        VXPElementGroup* elements = geometry->addElementGroup(nodes->index());
        return GroupPair(nodes, elements);
    });

    vx::Timer timer;
    if (!groups.empty()) {
        const OFReadPartMeshFunctor functor{this, &groups, &spec, m_reader.partCount(), m_reader.sampledSurfaceCount()};
        tbb::parallel_for(tbb::blocked_range<size_t>(0, groups.taskCount(), 1), functor);
    }
    logInfo(vx::Str(">>>> Get Geometry [Parallel] done. Total time used : %1").arg(timer.time()));
    OFLogger::get()->printTrackedData();
    return true;
}

bool OpenFoamProvider::getGeometryForPart(int partIndex, OFPolymeshReader& reader, PartGroupPairs& groups,
                                          const VXPGeometrySpec&) {
    vx::Timer total;
    OFPart& part = m_reader.part(static_cast<size_t>(partIndex));
    forgetDeliveredPieces(part);
    OFPolymesh mesh;
    if (!reader.read(part.folder(), &mesh)) return false;
    logDebug(vx::Str(" Get Part %1. polyReader.read() time [1] : %2 seconds").arg(partIndex).arg(total.lapTime()));

    OFPolymeshToVXP converter(&mesh);
    vx::Timer convert;
    if (!generateBoundaryParts(part.boundaries(), groups, converter)) return false;
    logDebug(vx::Str(" Get Part %1. BC creation %2 seconds").arg(partIndex).arg(convert.lapTime()));
    if (!generateFaceZones(part.faceZones(), groups, part.boundaries(), converter)) return false;
    if (!converter.createMesh()) return false;
    logDebug(vx::Str(" Get Part %1. converter.createMesh() time [2] : %2 seconds").arg(partIndex).arg(convert.lapTime()));

    size_t elementCount = 0, nodeCount = 0;
    const bool sent =
        converter.populateNodeAndElementGroup(groups.volume.first, groups.volume.second, &nodeCount, &elementCount);
    part.setElementCount(elementCount);
    if (!sent) return false;
    part.setNodeCount(nodeCount);
    generateCellZoneParts(part, elementCount, groups.volume.second);
    if (m_nodeAverageResults) {
        part.setConnectivities(std::move(converter.connectivities()));
        part.setNodesCountPerElt(std::move(converter.nodesCountPerElt()));
    }
    logDebug(vx::Str(" Get Part %1. PopulateGroups [BC,FZ,CZ included] time [3] : %2").arg(partIndex).arg(convert.lapTime()));
    logInfo(vx::Str(" Get Part %1. Nodes=%2, Elements=%3. Total time [read] + [convert] + [send] : %4")
                .arg(partIndex)
                .arg(static_cast<unsigned long long>(nodeCount))
                .arg(static_cast<unsigned long long>(elementCount))
                .arg(total.time()));
    return true;
}

bool OpenFoamProvider::generateBoundaryParts(std::vector<OFBoundary>& boundaries, PartGroupPairs& groups,
                                             OFPolymeshToVXP& converter) {
    if (boundaries.empty()) return true;
    const OFPolymesh& mesh = *converter.mesh();
    tbb::parallel_for(tbb::blocked_range<size_t>(0, boundaries.size(), 1), [&](const tbb::blocked_range<size_t>& r) {
        for (size_t b = r.begin(); b != r.end(); ++b) {
            size_t nodeCount = 0, elementCount = 0;
            OFBoundary& patch = boundaries[b];
            GroupPair& pair = groups.patches[b];
            // A patch that cannot be cut out has logged why; the other patches are still made.
            if (!ofsurface::populateBoundaryGroup(mesh, patch, pair.first, &nodeCount, pair.second, &elementCount))
                continue;
            patch.setNodeCount(nodeCount);
            patch.setElementCount(elementCount);
            const std::vector<int> ids(elementCount, patch.geometryGlobalPartId());
            pair.second->setElementPartIds(ids.data(), ids.size());
        }
    });
    return true;
}

bool OpenFoamProvider::generateFaceZones(std::vector<OFFaceZone>& faceZones, PartGroupPairs& groups,
                                         std::vector<OFBoundary>&, OFPolymeshToVXP& converter) {
    if (faceZones.empty()) return true;
    const OFPolymesh& mesh = *converter.mesh();
    tbb::parallel_for(tbb::blocked_range<size_t>(0, faceZones.size(), 1), [&](const tbb::blocked_range<size_t>& r) {
        for (size_t z = r.begin(); z != r.end(); ++z) {
            size_t nodeCount = 0, elementCount = 0;
            GroupPair& pair = groups.faceZones[z];
            if (!ofsurface::populateFaceZoneGroup(mesh, faceZones[z], pair.first, &nodeCount, pair.second, &elementCount))
                continue;
            const std::vector<int> ids(elementCount, faceZones[z].geometryGlobalPartId());
            pair.second->setElementPartIds(ids.data(), ids.size());
        }
    });
    return true;
}

void OpenFoamProvider::generateCellZoneParts(const OFPart& part, size_t elementCount, VXPElementGroup* group) {
    if (part.cellZones().empty()) return;
    std::vector<int> ids(elementCount, part.id());
    for (const OFCellZone& zone : part.cellZones())
        for (int cell : zone.cellIds())
            if (cell >= 0 && static_cast<size_t>(cell) < elementCount) ids[static_cast<size_t>(cell)] = zone.geometryGlobalPartId();
    group->setElementPartIds(ids.data(), ids.size());
}

bool OpenFoamProvider::getGeometryForTrisurface(int surfaceIndex, OFTriSurfaceReader& reader, GroupPair& groups,
                                                const VXPGeometrySpec&) {
    vx::Timer timer;
    OFSampledSurface& surface = m_reader.sampledSurface(static_cast<size_t>(surfaceIndex));
    surface.setNodeCount(OFSampledSurface::UNKNOWN_COUNT);
    surface.setElementCount(OFSampledSurface::UNKNOWN_COUNT);
    OFTriSurface triSurface;
    if (!reader.read(surface.folder(), &triSurface)) return false;
    logDebug(vx::Str(" Get triSurface %1. surfaceReader.read() time [1] : %2 seconds").arg(surfaceIndex).arg(timer.lapTime()));
    OFTriSurfaceToVXP converter(&triSurface);
    size_t nodeCount = 0, faceCount = 0;
    if (!converter.populateNodeAndElementGroup(groups.first, groups.second, &nodeCount, &faceCount)) return false;
    const std::vector<int> ids(faceCount, surface.globalPartId());
    groups.second->setElementPartIds(ids.data(), ids.size());
    surface.setNodeCount(nodeCount);
    surface.setElementCount(faceCount);
    logDebug(vx::Str(" Get surface sampled %1. PopulateGroups [SampledSurfaces] time [3] : %2").arg(surfaceIndex).arg(timer.lapTime()));
    logInfo(vx::Str(" Get surface sampled %1. Nodes=%2, triangleCount=%3. Total time [read] + [convert] + [send] : %4")
                .arg(surfaceIndex)
                .arg(static_cast<unsigned long long>(nodeCount))
                .arg(static_cast<unsigned long long>(faceCount))
                .arg(timer.time()));
    return true;
}
