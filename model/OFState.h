#pragma once
#include <cstddef>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "core/Str.h"
#include "model/OFResult.h"

class OFPart;

// One time state: a time folder of the case with its time value, step index, display name and
// the results found in the folder.
class OFState {
public:
    static constexpr size_t UNKNOWN_STEP = std::numeric_limits<size_t>::max();
    static constexpr double UNKNOWN_TIME = std::numeric_limits<double>::max();

    explicit OFState(int id) : m_id(id) {}

    int id() const { return m_id; }
    void setid(int id) { m_id = id; }
    vx::Str folder() const { return m_folder; }
    vx::Str name() const { return m_name; }
    void setName(const vx::Str& name) { m_name = name; }
    double referenceValue() const { return m_referenceValue; }
    size_t stepIndex() const { return m_stepIndex; }
    void setStepIndex(size_t index) { m_stepIndex = index; }

    void setGenerateNodeAverageResult(bool on) { m_generateNodeAverageResult = on; }
    void setLoadGlobalResultFlag(bool on) { m_loadGlobalResult = on; }
    void setLoadLocalResultFlag(bool on) { m_loadLocalResult = on; }
    // For a decomposed run: the state's time folder inside each processor folder, in processor
    // order (they need not all exist).
    void setProcessorTimeFolders(std::vector<vx::Str> folders) { m_processorTimeFolders = std::move(folders); }
    const std::vector<vx::Str>& processorTimeFolders() const { return m_processorTimeFolders; }
    // What the state's folders held when their results were listed (OFUtilities::contentsStamp);
    // taken only for a folder that may still be written.
    void setContentsStamp(size_t stamp) { m_contentsStamp = stamp; }
    std::optional<size_t> contentsStamp() const { return m_contentsStamp; }

    // Reads the time folder: its results (the folder's own field files and those of its region
    // sub-folders, and for a decomposed run those of the processor folders' time folder), its
    // uniform/time dictionary and its time value. False when the folder name is no number.
    bool init(const vx::Str& folder, const vx::Str& name, const std::vector<vx::Str>& regionNames,
              const std::map<vx::Str, vx::Str>& resultNames);
    // "Time <time, 5 decimals> #<step index>".
    void setDefaultName();
    // The "index" entry of uniform/time, or UNKNOWN_STEP.
    size_t stepIndexFromTimeDict() const;
    const std::map<vx::Str, vx::Str>& timeDictionary() const { return m_timeDict; }

    // Results.
    // sameFiles: folders of other ranks that hold the same files; a file whose header cannot be
    // read in folder is listed from the first of them where it can.
    bool addResultsFromFiles(const vx::Str& folder, const std::vector<vx::Str>* files,
                             const std::map<vx::Str, vx::Str>& resultNames,
                             const std::vector<vx::Str>& sameFiles = {});
    void findDisplacementResult(const vx::Str& folder, std::set<vx::Str>& seen,
                                const std::map<vx::Str, vx::Str>& resultNames);
    void addResult(const OFResult& result) { m_results.push_back(result); }
    // The moved points of the mesh, as "points" (displacement).
    void addDisplacementResult(const std::map<vx::Str, vx::Str>& resultNames);
    // The result of a field file (and its node average for cell values).
    void addFieldResults(const vx::Str& nativeName, const vx::Str& name, const vx::Str& stem, const OFUnit& unit,
                         OFResultType type, OFResultMapping mapping, const std::string& className);
    size_t resultCount() const { return m_results.size(); }
    const OFResult& result(size_t i) const { return m_results[i]; }
    OFResult& result(size_t i) { return m_results[i]; }
    const OFResult* resultById(int id) const;
    OFResult* resultById(int id);
    // Whether the state's folder for the part holds the field file of the result.
    bool hasResultForPart(const OFResult& result, const OFPart& part) const;
    // The folder holding the part's field files at this state: the time folder (inside the
    // part's processor folder for a decomposed run), and its sub-folder of the part's region.
    vx::Str fieldFolderForPart(const OFPart& part) const;
    // Parts (by index) whose polyMesh in this time folder is a whole new mesh.
    void addPartWithNewMesh(size_t partIndex);
    bool hasNewMeshForPart(size_t partIndex) const;
    // Per part: whether its mesh at this state is another one than the part's own mesh (set by
    // the provider once it has compared them; empty until then).
    const std::vector<bool>& partsOnOtherMesh() const { return m_partsOnOtherMesh; }
    void setPartsOnOtherMesh(std::vector<bool> parts) { m_partsOnOtherMesh = std::move(parts); }
    // The cell result a node-average result is computed from, or null.
    const OFResult* sourceVolumefromAverageNodeResult(const OFResult& averageResult) const;
    bool registerVolumeResultSourceOfAverageNodeResult(int averageResultId, int sourceResultId);
    // Node-average result id to source result id.
    std::map<int, int>& getMappingSourceToAverageNode() { return m_sourceOfAverage; }
    const std::map<int, int>& getMappingSourceToAverageNode() const { return m_sourceOfAverage; }

    // Display name of a field: its entry in the result names map, else the field name.
    static vx::Str makeCustomName(const vx::Str& nativeName, const std::map<vx::Str, vx::Str>& resultNames);
    // Stable identifier stem of a field: VELOCITY, PRESSURE, ... or the name in upper case.
    static vx::Str makeIdString(const vx::Str& nativeName);

private:
    bool addResultsOfFolder(const vx::Str& folder, const std::map<vx::Str, vx::Str>& resultNames);
    // The results of the first processor time folder that holds folder + suffix.
    bool addResultsOfFirstFolder(const vx::Str& suffix, const std::map<vx::Str, vx::Str>& resultNames);

    int m_id;
    vx::Str m_folder;
    vx::Str m_name;
    std::vector<OFResult> m_results;
    size_t m_stepIndex = UNKNOWN_STEP;
    double m_referenceValue = UNKNOWN_TIME;
    std::map<vx::Str, vx::Str> m_timeDict;
    std::map<int, int> m_sourceOfAverage;
    bool m_generateNodeAverageResult = false;
    bool m_loadGlobalResult = true;
    bool m_loadLocalResult = true;
    std::vector<vx::Str> m_processorTimeFolders;
    std::optional<size_t> m_contentsStamp;
    std::set<size_t> m_partsWithNewMesh;
    std::vector<bool> m_partsOnOtherMesh;
};

// Orders states by ascending time value.
struct OFStateLesser {
    bool operator()(const OFState& a, const OFState& b) const { return a.referenceValue() < b.referenceValue(); }
};
