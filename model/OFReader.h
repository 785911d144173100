#pragma once
#include <cstddef>
#include <map>
#include <vector>

#include "core/Str.h"
#include "model/OFPart.h"
#include "model/OFResult.h"
#include "model/OFSampledSurface.h"
#include "model/OFState.h"

class VXPString;

// The in-memory picture of one OpenFOAM case: its parts with their patches and zones, its
// sampled surfaces and its time states with their results.
class OFReader {
public:
    OFReader() = default;

    void setLoadBoundariesFlag(bool on) { m_loadBoundaries = on; }
    void setLoadCellZonesFlag(bool on) { m_loadCellZones = on; }
    void setLoadFaceZonesFlag(bool on) { m_loadFaceZones = on; }
    void setHideProcessorInterfacesAsBoundariesFlag(bool on) { m_hideProcessorInterfaces = on; }
    void setMakeNodeAverageResultFlag(bool on) { m_makeNodeAverageResult = on; }
    void setLoadGlobalMesh(bool on) { m_loadGlobalMesh = on; }
    void setLoadLocalMeshes(bool on) { m_loadLocalMeshes = on; }
    void setCustomResultNames(const VXPString& names);
    void setCustomResultNames(const vx::Str& names) { m_customResultNames = names; }

    // Opens the case folder: controlDict, parts, sampled surfaces, states and results.
    bool init(const vx::Str& caseFolder);
    bool initGeometry();
    bool initParallelGeometry(const std::vector<vx::Str>& caseSubFolders);
    // Read one patch or zone file into the part and advance the id counter by the number of
    // entries kept. A missing file is no failure; false only when the file cannot be parsed.
    bool addBoundaries(OFPart& part, const vx::Str& file, int* idCounter);
    bool addFaceZones(OFPart& part, const vx::Str& file, int* idCounter);
    bool addCellZones(OFPart& part, const vx::Str& file, int* idCounter);
    void filterBoundariesPartByName(OFPart& part);
    void filterBoundariesWithZeroFaceCount(OFPart& part);
    // Forgets the case (sampled surfaces, title, description and settings stay).
    void close();

    vx::Str path() const { return m_path; }
    const std::vector<vx::Str>& statesFolder() const { return m_statesFolder; }
    vx::Str simulationTitle() const { return m_simulationTitle; }
    vx::Str simulationDescription() const { return m_simulationDescription; }
    const std::map<vx::Str, vx::Str>& controlDict() const { return m_controlDict; }
    size_t partCount() const { return m_parts.size(); }
    const OFPart& part(size_t i) const { return m_parts[i]; }
    OFPart& part(size_t i) { return m_parts[i]; }
    size_t sampledSurfaceCount() const { return m_sampledSurfaces.size(); }
    const OFSampledSurface& sampledSurface(size_t i) const { return m_sampledSurfaces[i]; }
    OFSampledSurface& sampledSurface(size_t i) { return m_sampledSurfaces[i]; }

    // States.
    bool initStates();
    bool populateStates(const std::vector<vx::Str>& folderNames, int firstId);
    // Adds the state of a new time folder; its id, or -1 when the folder is no time folder.
    int addState(const vx::Str& folderName);
    // Removes the state of a vanished time folder; the position it had, or -1.
    int deleteState(const vx::Str& folderName);
    void sortStatesByReferenceValue();
    void setIdsToRespectReferenceValueOrder();
    void setStepIndex();
    size_t stateCount() const { return m_states.size(); }
    const OFState& state(size_t i) const { return m_states[i]; }
    OFState& state(size_t i) { return m_states[i]; }
    const OFState* stateById(int id) const;
    OFState* stateById(int id);
    // The polyMesh folder of the part's mesh at the state: the part's own folder until a time
    // folder up to the state's time holds a whole new mesh (a topology change, or the same
    // mesh written again).
    vx::Str meshFolderAtState(size_t partIndex, const OFState& state) const;
    bool meshReplacedAtState(size_t partIndex, const OFState& state) const;

    // Results.
    // Parses "U=Velocity;p=Pressure" into native name to display name. The text is trimmed in place.
    static std::map<vx::Str, vx::Str> buildResultsNamesMap(vx::Str& text);
    // Takes into a state read while its folders were still written what was written since: the
    // results of the new files, appended (true when there are any), and a whole new mesh.
    bool addWrittenSince(OFState& state);
    const OFResult* resultByIdInAllStates(int id) const;
    OFResult* resultByIdInAllStates(int id);

private:
    bool addZones(OFPart& part, const vx::Str& file, int* idCounter, bool cellZones);
    void findSampledSurfaces();
    void findSampledSurfacesOf(const vx::Str& root, const vx::Str& source, std::vector<vx::Str>* notRead);
    // The stamp of the folders the results of the time folder of that name are listed from.
    size_t contentsStampOf(const vx::Str& name, const std::vector<vx::Str>& processorTimeFolders) const;
    void offerPointsOfMovingMesh();
    bool meshMoves() const;
    // Reads the time folder of that name into the state; false when it is no state. A folder
    // still written gets the stamp of its contents (addWrittenSince).
    bool readState(const vx::Str& name, const std::vector<vx::Str>& regions,
                   const std::map<vx::Str, vx::Str>& resultNames, bool stillWritten, OFState* state) const;
    void addSampledSurfaceResults(OFState& state, const vx::Str& folderName,
                                  const std::map<vx::Str, vx::Str>& resultNames) const;
    // The regions of the parts, in part order: the sub-folders of the time folders holding
    // their fields.
    std::vector<vx::Str> regionNames() const;
    bool addDefaultRegionPart(const vx::Str& meshFolder, const char* faceZoneWord, int* idCounter);
    bool isReconstructedRun(const std::vector<vx::Str>& caseFolders) const;
    void addProcessorPart(const vx::Str& name, const vx::Str& processor, const vx::Str& region,
                          const vx::Str& meshFolder, int* idCounter);
    void useCollatedRun(const std::vector<vx::Str>& caseSubFolders);
    void forgetCollatedRun();

public:
    // The names of the folders that may be time folders, sorted: the case folder's sub-folders,
    // and for a decomposed run those of its processor folders too.
    std::vector<vx::Str> listStateFolders() const;

private:
    // The processor folders of a decomposed run, in number order.
    std::vector<vx::Str> m_processorNames;
    // The root under which a collated run's rank folders are read, empty for other runs.
    vx::Str m_collatedRoot;
    // The processor folders left beside a reconstructed run; they give no states.
    std::vector<vx::Str> m_leftAsideFolders;

    vx::Str m_path;
    std::vector<vx::Str> m_statesFolder;
    std::vector<OFPart> m_parts;
    std::vector<OFSampledSurface> m_sampledSurfaces;
    // The folders of the function objects whose surfaces are read (full paths).
    std::vector<vx::Str> m_surfaceSources;
    std::vector<OFState> m_states;
    std::map<vx::Str, vx::Str> m_controlDict;
    vx::Str m_simulationTitle;
    vx::Str m_simulationDescription;
    bool m_loadBoundaries = false;
    bool m_loadCellZones = false;
    bool m_loadFaceZones = false;
    bool m_hideProcessorInterfaces = false;
    bool m_makeNodeAverageResult = false;
    bool m_loadGlobalMesh = true;
    bool m_loadLocalMeshes = true;
    vx::Str m_customResultNames;
};
