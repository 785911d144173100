#include "model/OFReader.h"

#include <algorithm>
#include <set>
#include <utility>

#include "io/CollatedFiles.h"
#include "io/OFFile.h"
#include "model/OFUtilities.h"
#include "plugin/OFLogger.h"
#include "vxp/VXPString.h"

using vx::Str;

namespace {

const char* const SOURCE = "OFReader";
const char* const DEFAULT_REGION_NAME = "default_region";
const char* const POST_PROCESSING_FOLDER = "/postProcessing";
const char* const SAMPLE_SURFACE = "sampleSurface";

void logError(const Str& message) { OFLogger::get()->logError(SOURCE, message); }
void logInfo(const Str& message) { OFLogger::get()->logInfo(SOURCE, message); }
void logDebug(const Str& message) { OFLogger::get()->logDebug(SOURCE, message); }

Str joined(const std::vector<Str>& names) {
    Str text;
    for (const Str& name : names) text += (text.isEmpty() ? Str() : Str(", ")) + name;
    return text;
}

// The folders below postProcessing (relative to it) that hold time folders: a function object's
// folder, or one level deeper when the first level is a region's folder (or holds one).
std::vector<Str> timeSeriesFolders(const Str& postProcessing) {
    auto holdsTimes = [](const Str& folder) {
        for (const Str& name : OFUtilities::subFolders(folder)) {
            double value = 0.0;
            if (OFUtilities::timeValueOfName(name, &value)) return true;
        }
        return false;
    };
    std::vector<Str> folders;
    for (const Str& first : OFUtilities::subFolders(postProcessing)) {
        if (holdsTimes(postProcessing + "/" + first)) {
            folders.push_back(first);
            continue;
        }
        for (const Str& second : OFUtilities::subFolders(postProcessing + "/" + first))
            if (holdsTimes(postProcessing + "/" + first + "/" + second)) folders.push_back(first + "/" + second);
    }
    return folders;
}

// A file as the surface writers of other formats than foam name them.
bool isOtherSurfaceFormat(const Str& path) {
    static const char* const extensions[] = {"vtk", "vtp", "raw", "stl", "stlb", "obj", "case", "nas", "bdf",
                                              "x3d", "inp", "gltf", "glb", "smesh", "ply"};
    const Str name = OFUtilities::fileNameFromPath(path);
    const Str base = OFUtilities::fileBaseName(name);
    if (base.isEmpty() || base.size() == name.size()) return false;
    const Str extension = name.subStr(base.size() + 1);
    for (const char* known : extensions)
        if (extension == known) return true;
    return false;
}

// A polyMesh folder holding a whole mesh, not only the moved points of a moving mesh.
bool holdsWholeMesh(const Str& meshFolder) { return OFUtilities::fileOrCompressedExists(meshFolder + "/faces"); }

// processor<k>: a processor folder of a run written per processor.
bool isRankFolderName(const Str& name) {
    if (!name.startsWith("processor") || name.size() == 9) return false;
    for (size_t i = 9; i < name.size(); ++i)
        if (name.at(i) < U'0' || name.at(i) > U'9') return false;
    return true;
}

// The part name of a processor folder: processors4/processor3 (a collated run's rank) shows
// as processor3, as the same run written per processor does.
Str rankName(const Str& processorFolder) { return OFUtilities::fileNameFromPath(processorFolder); }

// The processor folders of a decomposed run, in the order of their numbers.
std::vector<Str> processorFolderNames(const std::vector<Str>& caseFolders) {
    std::vector<Str> names;
    for (const Str& name : caseFolders)
        if (name.startsWith("processor")) names.push_back(name);
    std::sort(names.begin(), names.end(), OFUtilities::naturalLess);
    return names;
}

// The regions of a constant folder: its sub-folders that hold a polyMesh, in name order.
std::vector<Str> regionsIn(const Str& constantFolder) {
    std::vector<Str> regions;
    for (const Str& name : OFUtilities::subFolders(constantFolder))
        if (name != "polyMesh" && OFUtilities::isFolder(constantFolder + "/" + name + "/polyMesh")) regions.push_back(name);
    return regions;
}

// The names that are times, ordered by their values.
std::vector<Str> timeFoldersByValue(const std::vector<Str>& names) {
    std::vector<std::pair<double, Str>> times;
    for (const Str& name : names) {
        double value = 0.0;
        if (OFUtilities::timeValueOfName(name, &value)) times.emplace_back(value, name);
    }
    std::sort(times.begin(), times.end());
    std::vector<Str> sorted;
    for (auto& time : times) sorted.push_back(std::move(time.second));
    return sorted;
}

// The mesh a processor folder starts with: constant/polyMesh, else the first time folder that
// holds a whole mesh; empty when there is none.
Str processorBaseMesh(const Str& processorFolder) {
    if (OFUtilities::isFolder(processorFolder + "/constant/polyMesh")) return processorFolder + "/constant/polyMesh";
    for (const Str& time : timeFoldersByValue(OFUtilities::subFolders(processorFolder)))
        if (holdsWholeMesh(processorFolder + "/" + time + "/polyMesh")) return processorFolder + "/" + time + "/polyMesh";
    return Str();
}

}  // namespace

void OFReader::setCustomResultNames(const VXPString& names) { m_customResultNames = Str::fromUtf8(names.utf8()); }

bool OFReader::init(const Str& caseFolder) {
    const collated::RequestScope scope;
    Str folder(caseFolder);
    folder.replace("\\", "/");
    if (!OFUtilities::fileExists(folder)) {
        logError(Str("Failed to open case %1 - file does not exist").arg(folder));
        return false;
    }
    m_path = folder;
    m_controlDict.clear();
    OFFile file(true);
    if (!file.readDictionary(m_path + "/system/controlDict", "controlDict", &m_controlDict)) {
        logError(Str("Failed to open case %1 - could not read system/controlDict").arg(folder));
        return false;
    }
    return initGeometry() && initStates();
}

// The default region's part with its patches and zones; false, after the parsing-problem
// message, when one of its lists cannot be parsed. (The two layouts that have it spell the
// face-zone message differently.)
bool OFReader::addDefaultRegionPart(const Str& meshFolder, const char* faceZoneWord, int* idCounter) {
    OFPart part((*idCounter)++, DEFAULT_REGION_NAME, meshFolder);
    part.setDefaultRegion(true);
    if (!addBoundaries(part, meshFolder + "/boundary", idCounter)) {
        logError(Str("Cannot init Boundary. A parsing problem occurred in %1.").arg(meshFolder + "/boundary"));
        return false;
    }
    if (!addFaceZones(part, meshFolder + "/faceZones", idCounter)) {
        logError(Str("Cannot init %1. A parsing problem occurred in %2.").arg(faceZoneWord).arg(meshFolder + "/faceZones"));
        return false;
    }
    if (!addCellZones(part, meshFolder + "/cellZones", idCounter)) {
        logError(Str("Cannot init cell zones. A parsing problem occurred in %1.").arg(meshFolder + "/cellZones"));
        return false;
    }
    m_parts.push_back(std::move(part));
    return true;
}

bool OFReader::initGeometry() {
    m_simulationTitle = OFUtilities::folderNameOf(m_path);
    forgetCollatedRun();
    m_parts.clear();
    m_processorNames.clear();
    m_leftAsideFolders.clear();
    const std::vector<Str> caseFolders = OFUtilities::subFolders(m_path);
    const std::vector<Str> processors = processorFolderNames(caseFolders);
    if (!processors.empty()) {
        if (!isReconstructedRun(caseFolders)) return initParallelGeometry(caseFolders);
        m_leftAsideFolders = processors;
        logInfo(Str("The case holds its own time folders after the first one: it is read as reconstructed, "
                    "the processor folders are left aside (%1).")
                    .arg(joined(processors)));
    }

    const Str constantFolder = m_path + "/constant";
    if (!OFUtilities::fileExists(constantFolder)) {
        logError(Str("Cannot init geometry. Folder %1 does not exist.").arg(constantFolder));
        return false;
    }

    // The default region first, then the regions in name order.
    int idCounter = 1;
    if (m_loadGlobalMesh && OFUtilities::isFolder(constantFolder + "/polyMesh")) {
        if (!addDefaultRegionPart(constantFolder + "/polyMesh", "face zones", &idCounter)) return false;
    }
    if (m_loadLocalMeshes) {
        for (const Str& region : regionsIn(constantFolder)) {
            const Str meshFolder = constantFolder + "/" + region + "/polyMesh";
            OFPart part(idCounter++, region, meshFolder);
            part.setRegionName(region);
            if (!addBoundaries(part, meshFolder + "/boundary", &idCounter)) {
                logError(Str("Cannot init Boundary. A parsing problem occurred in %1.").arg(meshFolder + "/boundary"));
                return false;
            }
            m_parts.push_back(std::move(part));
        }
    }

    // Without a mesh in constant, the mesh may have been written into the first time folder.
    if (m_parts.empty() && OFUtilities::isFolder(m_path + "/0/polyMesh")) {
        // The case's only mesh: its fields lie in the time folders themselves.
        if (!addDefaultRegionPart(m_path + "/0/polyMesh", "face zone", &idCounter)) return false;
    }

    m_simulationDescription = m_parts.size() < 2 ? "Single-Region Simulation" : "Multi-Region Simulation\n";
    logDebug(Str("Parsed folder, registered %1 parts.").arg(m_parts.size()));

    findSampledSurfaces();
    return true;
}

// reconstructPar (and a run continued serially at the root afterwards) leaves the root with
// time folders of its own beside the processor folders; decomposePar leaves it only the start
// time. A root mesh and field files in any time folder but the first tell the two apart.
bool OFReader::isReconstructedRun(const std::vector<Str>& caseFolders) const {
    const Str constantFolder = m_path + "/constant";
    const std::vector<Str> regions = regionsIn(constantFolder);
    if (!OFUtilities::isFolder(constantFolder + "/polyMesh") && regions.empty()) return false;
    const std::vector<Str> times = timeFoldersByValue(caseFolders);
    for (size_t i = 1; i < times.size(); ++i) {
        const Str folder = m_path + "/" + times[i];
        if (OFUtilities::holdsFile(folder)) return true;
        for (const Str& region : regions)
            if (OFUtilities::holdsFile(folder + "/" + region)) return true;
    }
    return false;
}

// Every folder of postProcessing (or one level below it, beside or below a region's folder)
// whose time folders hold surfaces in the foam layout, as the `surfaces` function objects write
// them. The surfaces are those of the first sampled time (in text order); those written in other
// formats are named once in the log.
void OFReader::findSampledSurfaces() {
    m_sampledSurfaces.clear();
    m_surfaceSources.clear();
    const Str root = m_path + POST_PROCESSING_FOLDER;
    if (!OFUtilities::fileExists(root)) return;
    std::vector<Str> notRead;
    for (const Str& source : timeSeriesFolders(root)) findSampledSurfacesOf(root, source, &notRead);
    if (!notRead.empty())
        logInfo(Str("Sampled surfaces not read (only the foam surface format is read): %1").arg(joined(notRead)));
    logDebug(Str("Parsed folder, registered %1 sampled Surfaces.").arg(m_sampledSurfaces.size()));
}

void OFReader::findSampledSurfacesOf(const Str& root, const Str& source, std::vector<Str>* notRead) {
    const Str sourceFolder = root + "/" + source;
    std::vector<Str> times;
    for (const Str& name : OFUtilities::subFolders(sourceFolder)) {
        double value = 0.0;
        if (OFUtilities::timeValueOfName(name, &value)) times.push_back(name);
    }
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    const Str timeFolder = sourceFolder + "/" + times.front();
    // sampleSurface keeps the surface names it always had, and takes every folder as a surface.
    const bool classic = source == SAMPLE_SURFACE;
    bool found = false;
    for (const Str& surface : OFUtilities::subFolders(timeFolder)) {
        if (!classic && !OFUtilities::fileOrCompressedExists(timeFolder + "/" + surface + "/points")) continue;
        OFSampledSurface sampled(static_cast<int>(m_sampledSurfaces.size()) + 1, classic ? surface : source + "/" + surface,
                                 timeFolder + "/" + surface);
        sampled.setSourceFolder(sourceFolder);
        sampled.setSurfaceFolderName(surface);
        m_sampledSurfaces.push_back(std::move(sampled));
        found = true;
    }
    if (found) m_surfaceSources.push_back(sourceFolder);
    std::vector<Str> others;
    for (const Str& entry : OFUtilities::filesInFolder(timeFolder))
        if (isOtherSurfaceFormat(entry)) others.push_back(OFUtilities::fileNameFromPath(entry));
    if (!others.empty())
        notRead->push_back(Str("postProcessing/%1 (%2)").arg(source).arg(joined(others)));
}

// Parts of a decomposed run: each processor's mesh of the default region, in processor order,
// then for each region (in name order) its mesh in each processor, named region/processorK.
bool OFReader::initParallelGeometry(const std::vector<Str>& caseSubFolders) {
    m_parts.clear();
    m_processorNames = processorFolderNames(caseSubFolders);
    useCollatedRun(caseSubFolders);
    int idCounter = 1;
    for (const Str& processor : m_processorNames) {
        const Str meshFolder = processorBaseMesh(m_path + "/" + processor);
        if (!meshFolder.isEmpty()) addProcessorPart(rankName(processor), processor, Str(), meshFolder, &idCounter);
    }
    std::vector<Str> regions;
    if (m_loadLocalMeshes) {
        for (const Str& processor : m_processorNames)
            for (const Str& region : regionsIn(m_path + "/" + processor + "/constant"))
                if (std::find(regions.begin(), regions.end(), region) == regions.end()) regions.push_back(region);
        std::sort(regions.begin(), regions.end(), OFUtilities::naturalLess);
    }
    for (const Str& region : regions) {
        for (const Str& processor : m_processorNames) {
            const Str meshFolder = m_path + "/" + processor + "/constant/" + region + "/polyMesh";
            if (OFUtilities::isFolder(meshFolder))
                addProcessorPart(region + "/" + rankName(processor), processor, region, meshFolder, &idCounter);
        }
    }
    m_simulationDescription = regions.empty() ? "Parallel Simulation\n" : "Parallel Multi-Region Simulation\n";
    logDebug(Str("Parsed folder, registered %1 parts.").arg(m_parts.size()));
    // Sampled surfaces of a decomposed run are written once, under the case folder.
    findSampledSurfaces();
    return true;
}

// A run written with the collated file handler (processors<N>, processors<N>_<a>-<b>) is read
// as the same run written per processor: its ranks' folders are processors<N>/processor<k>
// (io/CollatedFiles.h).
//
// A run decomposed per processor and then run with the collated file handler keeps its mesh and
// first time in processor<k> and writes its later times into processors<N>. As OpenFOAM does,
// rank k's file is then read from processor<k> when it is there, else from its block in
// processors<N>. Per-processor folders of another decomposition (not processor0 ... N-1) are
// read alone; the collated folders are no processor meshes either way.
void OFReader::useCollatedRun(const std::vector<Str>& caseSubFolders) {
    std::set<Str> rankFolders;
    std::vector<std::string> names;
    for (const Str& name : caseSubFolders) {
        if (isRankFolderName(name)) rankFolders.insert(name);
        names.push_back(name.toUtf8());
    }
    int ranks = 0;
    std::string runName;
    std::vector<collated::RankFolder> folders = collated::rankFoldersOf(m_path.toUtf8(), names, &ranks, &runName);
    if (folders.empty()) return;
    if (!rankFolders.empty()) {
        m_processorNames.erase(std::remove_if(m_processorNames.begin(), m_processorNames.end(),
                                              [&rankFolders](const Str& name) { return !rankFolders.count(name); }),
                               m_processorNames.end());
        if (rankFolders.size() != static_cast<size_t>(ranks)) return;
        for (int k = 0; k < ranks; ++k)
            if (!rankFolders.count(Str("processor%1").arg(k))) return;
        std::vector<collated::RankFolder> perProcessor;
        for (int k = 0; k < ranks; ++k)
            perProcessor.push_back({(m_path + Str("/processor%1").arg(k)).toUtf8(), k, k});
        folders.insert(folders.begin(), perProcessor.begin(), perProcessor.end());
    }
    m_collatedRoot = m_path + "/" + Str::fromUtf8(runName);
    collated::registerRun(m_collatedRoot.toUtf8(), ranks, std::move(folders));
    m_processorNames.clear();
    for (int k = 0; k < ranks; ++k) m_processorNames.push_back(Str::fromUtf8(runName) + Str("/processor%1").arg(k));
}

void OFReader::forgetCollatedRun() {
    if (m_collatedRoot.isEmpty()) return;
    collated::unregisterRun(m_collatedRoot.toUtf8());
    m_collatedRoot = Str();
}

void OFReader::addProcessorPart(const Str& name, const Str& processor, const Str& region, const Str& meshFolder,
                                int* idCounter) {
    OFPart part((*idCounter)++, name, meshFolder);
    part.setProcessorFolder(processor);
    part.setRegionName(region);
    // A list that cannot be parsed is left out; the part stays.
    addBoundaries(part, meshFolder + "/boundary", idCounter);
    addFaceZones(part, meshFolder + "/faceZones", idCounter);
    addCellZones(part, meshFolder + "/cellZones", idCounter);
    m_parts.push_back(std::move(part));
}

bool OFReader::addBoundaries(OFPart& part, const Str& file, int* idCounter) {
    if (!m_loadBoundaries || !OFUtilities::fileOrCompressedExists(file)) return true;
    OFFile reader(true);
    if (!reader.readBoundary(file, "boundary", part.boundaries(), static_cast<size_t>(part.id()))) {
        logError(Str("Cannot init geometry. Boundary File/Folder %1 does not exist.").arg(file));
        part.boundaries().clear();
        return false;
    }
    filterBoundariesPartByName(part);
    filterBoundariesWithZeroFaceCount(part);
    std::vector<OFBoundary>& boundaries = part.boundaries();
    for (size_t i = 0; i < boundaries.size(); ++i) boundaries[i].setBoundaryId(static_cast<int>(i + 1));
    *idCounter += static_cast<int>(boundaries.size());
    return true;
}

bool OFReader::addFaceZones(OFPart& part, const Str& file, int* idCounter) {
    return addZones(part, file, idCounter, false);
}

bool OFReader::addCellZones(OFPart& part, const Str& file, int* idCounter) {
    return addZones(part, file, idCounter, true);
}

bool OFReader::addZones(OFPart& part, const Str& file, int* idCounter, bool cellZones) {
    if (!(cellZones ? m_loadCellZones : m_loadFaceZones) || !OFUtilities::fileOrCompressedExists(file)) return true;
    OFFile reader(true);
    const size_t partId = static_cast<size_t>(part.id());
    const bool ok = cellZones ? reader.readCellZones(file, "cellZones", part.cellZones(), partId)
                              : reader.readFaceZones(file, "faceZones", part.faceZones(), partId);
    if (!ok) {
        // The reader has logged the one error naming the file: the part goes on without these
        // zones, and so does the case.
        if (cellZones)
            part.cellZones().clear();
        else
            part.faceZones().clear();
        return true;
    }
    *idCounter += static_cast<int>(cellZones ? part.cellZones().size() : part.faceZones().size());
    return true;
}

void OFReader::filterBoundariesPartByName(OFPart& part) {
    if (!m_hideProcessorInterfaces) return;
    std::vector<OFBoundary>& boundaries = part.boundaries();
    boundaries.erase(std::remove_if(boundaries.begin(), boundaries.end(),
                                    [](const OFBoundary& b) { return b.patchName().startsWith("procBoundary"); }),
                     boundaries.end());
}

void OFReader::filterBoundariesWithZeroFaceCount(OFPart& part) {
    std::vector<OFBoundary>& boundaries = part.boundaries();
    boundaries.erase(std::remove_if(boundaries.begin(), boundaries.end(),
                                    [](const OFBoundary& b) { return b.faceCount() == 0; }),
                     boundaries.end());
}

void OFReader::close() {
    forgetCollatedRun();
    m_controlDict.clear();
    m_statesFolder.clear();
    m_parts.clear();
    m_processorNames.clear();
    m_leftAsideFolders.clear();
    m_states.clear();
}

// ---------------------------------------------------------------------------------------------
// States

// The time folders are those of the case folder and, for a decomposed run, those of its
// processor folders (listStateFolders).
bool OFReader::initStates() {
    m_states.clear();
    m_statesFolder = listStateFolders();
    populateStates(m_statesFolder, 1);
    offerPointsOfMovingMesh();
    return true;
}

// A moving mesh writes its moved points into each time folder. A run opened before its first
// write has none yet: the result is offered all the same, so that the host knows it when the
// points come (the states without them show the mesh's own points).
void OFReader::offerPointsOfMovingMesh() {
    if (m_states.empty() || !meshMoves()) return;
    for (const OFState& state : m_states)
        for (size_t i = 0; i < state.resultCount(); ++i)
            if (state.result(i).type() == DISPLACEMENT) return;
    Str customNames = m_customResultNames;
    m_states.front().addDisplacementResult(buildResultsNamesMap(customNames));
}

// Whether constant/dynamicMeshDict (or a region's) names a mesh whose points move while its
// cells stay the same; meshes that change their cells write whole meshes instead.
bool OFReader::meshMoves() const {
    static const char* const MOVING_MESHES[] = {
        "dynamicMotionSolverFvMesh", "dynamicMotionSolverListFvMesh", "dynamicMultiMotionSolverFvMesh",
        "dynamicMotionSolverFvMeshAMI", "dynamicInkJetFvMesh", "dynamicOversetFvMesh",
        "solidBodyMotionFvMesh", "multiSolidBodyMotionFvMesh"};
    std::vector<Str> folders{m_path + "/constant"};
    for (const Str& region : regionNames()) folders.push_back(m_path + "/constant/" + region);
    for (const Str& folder : folders) {
        const Str path = folder + "/dynamicMeshDict";
        if (!OFUtilities::fileOrCompressedExists(path)) continue;
        std::map<Str, Str> entries;
        OFFile file(true);
        if (!file.readDictionary(path, "dynamicMeshDict", &entries)) continue;
        const auto type = entries.find("dynamicFvMesh");
        if (type == entries.end()) continue;
        for (const char* moving : MOVING_MESHES)
            if (type->second == moving) return true;
    }
    return false;
}

std::vector<Str> OFReader::listStateFolders() const {
    std::vector<Str> names = OFUtilities::subFolders(m_path);
    // A decomposed run keeps its time folders inside the processor folders: same names are one state.
    for (const Str& processor : m_processorNames)
        for (const Str& name : OFUtilities::subFolders(m_path + "/" + processor))
            if (name != "constant") names.push_back(name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::vector<Str> OFReader::regionNames() const {
    std::vector<Str> names;
    for (const OFPart& part : m_parts) {
        const Str region = part.regionName();
        if (!region.isEmpty() && std::find(names.begin(), names.end(), region) == names.end()) names.push_back(region);
    }
    return names;
}

bool OFReader::populateStates(const std::vector<Str>& folderNames, int firstId) {
    const std::vector<Str> regions = regionNames();
    const std::map<Str, Str> resultNames = buildResultsNamesMap(m_customResultNames);
    // The latest time is the folder a running solver may still be writing.
    const std::vector<Str> times = timeFoldersByValue(folderNames);
    const Str latest = times.empty() ? Str() : times.back();
    int nextId = firstId;
    for (const Str& name : folderNames) {
        if (name == "constant" || name == "system" || name == "postProcessing") continue;
        // Already named in the one message about them.
        if (std::find(m_leftAsideFolders.begin(), m_leftAsideFolders.end(), name) != m_leftAsideFolders.end()) continue;
        OFState state(nextId);
        if (!readState(name, regions, resultNames, name == latest, &state)) {
            logInfo(Str("Parsed folder, non registered %1 state.").arg(m_path + "/" + name));
            continue;
        }
        m_states.push_back(std::move(state));
        ++nextId;
    }
    sortStatesByReferenceValue();
    setStepIndex();
    return true;
}

bool OFReader::readState(const Str& name, const std::vector<Str>& regions, const std::map<Str, Str>& resultNames,
                         bool stillWritten, OFState* state) const {
    state->setGenerateNodeAverageResult(m_makeNodeAverageResult);
    state->setLoadGlobalResultFlag(m_loadGlobalMesh);
    state->setLoadLocalResultFlag(m_loadLocalMeshes);
    std::vector<Str> processorTimes;
    for (const Str& processor : m_processorNames) processorTimes.push_back(m_path + "/" + processor + "/" + name);
    state->setProcessorTimeFolders(std::move(processorTimes));
    // Taken before the files are read: a file written while they are read changes it.
    if (stillWritten) state->setContentsStamp(contentsStampOf(name, state->processorTimeFolders()));
    if (!state->init(m_path + "/" + name, name, regions, resultNames)) return false;
    for (size_t i = 0; i < m_parts.size(); ++i)
        if (holdsWholeMesh(state->fieldFolderForPart(m_parts[i]) + "/polyMesh")) state->addPartWithNewMesh(i);
    addSampledSurfaceResults(*state, name, resultNames);
    return true;
}

size_t OFReader::contentsStampOf(const Str& name, const std::vector<Str>& processorTimeFolders) const {
    size_t stamp = OFUtilities::contentsStamp(m_path + "/" + name, 1);
    // Sampled surfaces are written after the fields: <time>/<surface>/<kind>/<field>.
    for (const Str& source : m_surfaceSources) stamp = stamp * 31 + OFUtilities::contentsStamp(source + "/" + name, 2);
    // A decomposed run's fields are listed from the first processor holding the time.
    for (const Str& processorFolder : processorTimeFolders) {
        if (!OFUtilities::isFolder(processorFolder)) continue;
        stamp = stamp * 31 + OFUtilities::contentsStamp(processorFolder, 1);
        break;
    }
    return stamp;
}

// A solver writes a time folder one file after the other, so the latest folder may have been
// listed before all of its fields were there. The state's results are kept as they are (the host
// knows them by id); results written since come after them.
bool OFReader::addWrittenSince(OFState& state) {
    const Str name = OFUtilities::folderNameFromPath(state.folder());
    if (!state.contentsStamp() || contentsStampOf(name, state.processorTimeFolders()) == *state.contentsStamp())
        return false;
    Str customNames = m_customResultNames;
    OFState now(state.id());
    if (!readState(name, regionNames(), buildResultsNamesMap(customNames), true, &now)) return false;
    std::set<std::pair<Str, int>> known;
    for (size_t i = 0; i < state.resultCount(); ++i)
        known.emplace(state.result(i).idString(), static_cast<int>(state.result(i).mapping()));
    bool added = false;
    for (size_t i = 0; i < now.resultCount(); ++i) {
        const OFResult& result = now.result(i);
        if (!known.emplace(result.idString(), static_cast<int>(result.mapping())).second) continue;
        state.addResult(result);
        added = true;
    }
    // A solver that changes the mesh writes it beside the fields, file by file: the mesh may have
    // been incomplete, or missing, when the state was read or its mesh compared.
    for (size_t i = 0; i < m_parts.size(); ++i)
        if (now.hasNewMeshForPart(i)) state.addPartWithNewMesh(i);
    for (OFState& later : m_states)
        if (later.referenceValue() >= state.referenceValue()) later.setPartsOnOtherMesh({});
    state.setContentsStamp(*now.contentsStamp());
    return added;
}

Str OFReader::meshFolderAtState(size_t partIndex, const OFState& state) const {
    const OFPart& part = m_parts[partIndex];
    Str folder = part.folder();
    // The states are in time order: the last whole mesh written up to the state's time is its mesh.
    for (const OFState& earlier : m_states) {
        if (earlier.referenceValue() > state.referenceValue()) break;
        if (earlier.hasNewMeshForPart(partIndex)) folder = earlier.fieldFolderForPart(part) + "/polyMesh";
    }
    return folder;
}

bool OFReader::meshReplacedAtState(size_t partIndex, const OFState& state) const {
    return meshFolderAtState(partIndex, state) != m_parts[partIndex].folder();
}

void OFReader::addSampledSurfaceResults(OFState& state, const Str& folderName,
                                        const std::map<Str, Str>& resultNames) const {
    static const struct {
        const char* folder;
        OFResultType type;
    } kinds[] = {{"scalarField", SCALAR}, {"vectorField", VECTOR}, {"tensorField", TENSOR}};
    for (const Str& source : m_surfaceSources) {
        const Str timeFolder = source + "/" + folderName;
        if (!OFUtilities::isFolder(timeFolder)) continue;
        for (const Str& surface : OFUtilities::subFolders(timeFolder)) {
            for (const auto& kind : kinds) {
                for (const Str& entry : OFUtilities::filesInFolder(timeFolder + "/" + surface + "/" + kind.folder)) {
                    const Str native = OFUtilities::fieldNameOfFile(entry);
                    state.addResult(OFResult(native, OFState::makeCustomName(native, resultNames) + " [N]",
                                             OFState::makeIdString(native) + "_N*", OFUnit(), kind.type, NODE));
                }
            }
        }
    }
}

int OFReader::addState(const Str& folderName) {
    populateStates({folderName}, static_cast<int>(m_states.size()));
    if (std::find(m_statesFolder.begin(), m_statesFolder.end(), folderName) == m_statesFolder.end()) {
        m_statesFolder.push_back(folderName);
        std::sort(m_statesFolder.begin(), m_statesFolder.end());
    }
    sortStatesByReferenceValue();
    setIdsToRespectReferenceValueOrder();
    setStepIndex();
    for (const OFState& state : m_states)
        if (OFUtilities::folderNameFromPath(state.folder()) == folderName) return state.id();
    return -1;
}

int OFReader::deleteState(const Str& folderName) {
    m_statesFolder.erase(std::remove(m_statesFolder.begin(), m_statesFolder.end(), folderName), m_statesFolder.end());
    const auto found = std::find_if(m_states.begin(), m_states.end(), [&folderName](const OFState& state) {
        return OFUtilities::folderNameFromPath(state.folder()) == folderName;
    });
    if (found == m_states.end()) return -1;
    const int position = static_cast<int>(found - m_states.begin());
    m_states.erase(found);
    sortStatesByReferenceValue();
    setIdsToRespectReferenceValueOrder();
    setStepIndex();
    return position;
}

// A state added or removed may change which mesh the later states use: their meshes are
// looked at again.
void OFReader::sortStatesByReferenceValue() {
    std::stable_sort(m_states.begin(), m_states.end(), OFStateLesser());
    for (OFState& state : m_states) state.setPartsOnOtherMesh({});
}

void OFReader::setIdsToRespectReferenceValueOrder() {
    sortStatesByReferenceValue();
    for (size_t p = 0; p < m_states.size(); ++p) m_states[p].setid(1001 + static_cast<int>(p));
}

void OFReader::setStepIndex() {
    int interval = 1;
    const auto entry = m_controlDict.find("writeInterval");
    if (entry != m_controlDict.end()) {
        const std::vector<Str> pieces = entry->second.split(" ");
        const Str last = pieces.empty() ? Str() : pieces.back();
        bool ok = false;
        const int value = last.toInt(&ok);
        if (ok) {
            interval = value;
        } else {
            logInfo(Str("Failed to convert writeInterval value ( %1 ) from controlDict. Using 1 instead").arg(last));
        }
    }
    size_t counter = 0;
    for (OFState& state : m_states) {
        state.setStepIndex(OFState::UNKNOWN_STEP);
        const size_t index = state.stepIndexFromTimeDict();
        state.setStepIndex(index != OFState::UNKNOWN_STEP ? index : counter);
        counter += static_cast<size_t>(static_cast<long long>(interval));
        state.setDefaultName();
    }
}

const OFState* OFReader::stateById(int id) const {
    for (const OFState& state : m_states)
        if (state.id() == id) return &state;
    return nullptr;
}

OFState* OFReader::stateById(int id) { return const_cast<OFState*>(static_cast<const OFReader*>(this)->stateById(id)); }

// ---------------------------------------------------------------------------------------------
// Results

std::map<Str, Str> OFReader::buildResultsNamesMap(Str& text) {
    text = text.trimmed();
    std::map<Str, Str> names;
    for (const Str& piece : text.split(";")) {
        // A piece needs a name on both sides of "="; further "=" parts are ignored.
        const size_t equal = piece.find("=");
        if (equal == Str::npos) continue;
        const Str key = piece.subStr(0, equal).trimmed();
        const std::vector<Str> values = piece.subStr(equal + 1).split("=");
        if (key.isEmpty() || values.empty()) continue;
        const Str value = values.front().trimmed();
        if (value.isEmpty()) continue;
        names[key] = value;
    }
    return names;
}

const OFResult* OFReader::resultByIdInAllStates(int id) const {
    for (const OFState& state : m_states)
        if (const OFResult* result = state.resultById(id)) return result;
    return nullptr;
}

OFResult* OFReader::resultByIdInAllStates(int id) {
    return const_cast<OFResult*>(static_cast<const OFReader*>(this)->resultByIdInAllStates(id));
}
