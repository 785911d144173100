#include "model/OFState.h"

#include <utility>

#include "io/OFFile.h"
#include "model/OFPart.h"
#include "model/OFUtilities.h"
#include "plugin/OFLogger.h"

namespace {

const char* const SOURCE = "OFState";

const std::map<vx::Str, vx::Str>& openFoamIdStrings() {
    static const std::map<vx::Str, vx::Str> stems = {
        {"U", "VELOCITY"}, {"p", "PRESSURE"}, {"rho", "DENSITY"}, {"T", "TEMPERATURE"}};
    return stems;
}

// Opens the field file of a folder listing's entry: a compressed U.gz is read through U; a field
// whose name holds a dot (U.air beside U, alpha.water) is its own file, and a copy such as U.orig
// names its object U in its header. Failing that, the name without its extension. *path: the
// file opened.
bool openFieldFile(const vx::Str& folder, const vx::Str& entry, OFFile* file, vx::Str* path) {
    *path = folder + "/" + OFUtilities::fieldNameOfFile(entry);
    if (file->open(*path)) return true;
    const vx::Str baseName = folder + "/" + OFUtilities::fileBaseName(entry);
    if (baseName == *path || !file->open(baseName)) return false;
    *path = baseName;
    return true;
}

// The same entry in the first of the other ranks' folders where it opens.
bool openInOtherRank(const std::vector<vx::Str>& folders, const vx::Str& entry, OFFile* file, vx::Str* path) {
    for (const vx::Str& folder : folders) {
        if (openFieldFile(folder, entry, file, path)) return true;
        // A collated container's fault is every rank's, and it has been reported.
        if (file->failureReported()) return false;
    }
    return false;
}

// Whether the values of the field file at path, whose header names objectName, can be read:
// they are read from the file named after the object, beside it. A copy such as U.orig opened
// for want of U, or a hand-written file whose header names another object, would give a result
// that no read finds.
bool objectFileExists(const vx::Str& path, const std::string& objectName) {
    // An object is a plain name: one that reaches into other folders names no file beside this one.
    if (objectName.find_first_of("/\\") != std::string::npos) return false;
    const vx::Str name = OFUtilities::fileNameFromPath(path);
    if (name == vx::Str(objectName)) return true;
    const vx::Str folder = path.subStr(0, path.size() - name.size());
    return OFFile(true).open(folder + vx::Str(objectName));
}

bool headerEntry(const OFFile& file, const std::string& key, std::string* value) {
    const auto& header = file.headerMap();
    const auto it = header.find(key);
    if (it == header.end() || it->second.empty()) return false;
    *value = it->second;
    return true;
}

}  // namespace

bool OFState::init(const vx::Str& folder, const vx::Str& name, const std::vector<vx::Str>& regionNames,
                   const std::map<vx::Str, vx::Str>& resultNames) {
    m_timeDict.clear();
    m_folder = folder;
    m_name = name;

    // Only folders whose whole name is a number are time folders: decide that before reading
    // any of their files.
    if (m_referenceValue == UNKNOWN_TIME) {
        double value = 0.0;
        if (OFUtilities::timeValueOfName(OFUtilities::folderNameFromPath(folder), &value)) m_referenceValue = value;
    }
    if (m_referenceValue == UNKNOWN_TIME) return false;

    if (m_loadGlobalResult && !addResultsOfFolder(folder, resultNames)) return false;
    if (m_loadLocalResult) {
        for (const vx::Str& region : regionNames)
            if (!addResultsOfFolder(folder + "/" + region, resultNames)) return false;
    }

    // A decomposed run writes its fields into the processor folders, all of them alike: the
    // first processor holding this time (for a region, this time's region folder) lists them.
    if (!m_processorTimeFolders.empty()) {
        if (!addResultsOfFirstFolder("", resultNames)) return false;
        if (m_loadLocalResult) {
            for (const vx::Str& region : regionNames)
                if (!addResultsOfFirstFolder("/" + region, resultNames)) return false;
        }
    }

    std::vector<vx::Str> timeFolders{folder};
    timeFolders.insert(timeFolders.end(), m_processorTimeFolders.begin(), m_processorTimeFolders.end());
    for (const vx::Str& timeFolder : timeFolders) {
        const vx::Str timeFile = timeFolder + "/uniform/time";
        if (!OFUtilities::fileOrCompressedExists(timeFile)) continue;
        OFFile file(true);
        if (!file.readDictionary(timeFile, "time", &m_timeDict)) m_timeDict.clear();
        break;
    }
    return true;
}

bool OFState::addResultsOfFolder(const vx::Str& folder, const std::map<vx::Str, vx::Str>& resultNames) {
    const std::vector<vx::Str> files = OFUtilities::filesInFolder(folder);
    return addResultsFromFiles(folder, &files, resultNames);
}

bool OFState::addResultsOfFirstFolder(const vx::Str& suffix, const std::map<vx::Str, vx::Str>& resultNames) {
    for (size_t i = 0; i < m_processorTimeFolders.size(); ++i) {
        const vx::Str folder = m_processorTimeFolders[i] + suffix;
        if (!OFUtilities::fileExists(folder)) continue;
        // A file the first rank cannot read (cut short when the run was stopped) leaves the
        // field to the other ranks; that rank's own read says what is wrong with it.
        std::vector<vx::Str> others;
        for (size_t k = i + 1; k < m_processorTimeFolders.size(); ++k) others.push_back(m_processorTimeFolders[k] + suffix);
        const std::vector<vx::Str> files = OFUtilities::filesInFolder(folder);
        return addResultsFromFiles(folder, &files, resultNames, others);
    }
    return true;
}

void OFState::setDefaultName() {
    m_name = vx::Str("Time %1 #%2").arg(vx::Str::number(m_referenceValue, 'f', 5)).arg(static_cast<int>(m_stepIndex));
}

size_t OFState::stepIndexFromTimeDict() const {
    const auto it = m_timeDict.find("index");
    if (it == m_timeDict.end()) return UNKNOWN_STEP;
    bool ok = false;
    const unsigned int index = it->second.toUInt(&ok);
    return ok ? static_cast<size_t>(index) : UNKNOWN_STEP;
}

bool OFState::addResultsFromFiles(const vx::Str& folder, const std::vector<vx::Str>* files,
                                  const std::map<vx::Str, vx::Str>& resultNames,
                                  const std::vector<vx::Str>& sameFiles) {
    std::set<vx::Str> seen;
    for (const OFResult& result : m_results) seen.insert(result.name());

    findDisplacementResult(folder, seen, resultNames);

    const auto& classes = OFResult::supportedResultClasses();
    for (const vx::Str& entry : *files) {
        vx::Str path;
        OFFile file(true);
        if (!openFieldFile(folder, entry, &file, &path) &&
            (sameFiles.empty() || OFUtilities::isFolder(entry) || !openInOtherRank(sameFiles, entry, &file, &path)))
            continue;

        std::string className;
        std::string objectName;
        const bool hasClass = headerEntry(file, "class", &className);
        const bool hasObject = headerEntry(file, "object", &objectName);
        const auto found = classes.find(className);
        if (!hasClass || !hasObject || found == classes.end()) {
            OFLogger::get()->logInfo(
                SOURCE, vx::Str("Ignoring class::%1 foung in %2, result not supported in this reader").arg(className).arg(path));
            continue;
        }

        if (!objectFileExists(path, objectName)) {
            OFLogger::get()->logInfo(
                SOURCE, vx::Str("Ignoring %1: its object %2 has no file of that name").arg(path).arg(objectName));
            continue;
        }

        std::vector<vx::Str> tokens;
        file.readDimensions(&tokens);
        bool knownUnit = true;
        const OFUnit unit = OFUnit::fromString(tokens, &knownUnit);
        if (!knownUnit)
            OFLogger::get()->logInfo(
                SOURCE, vx::Str("Unknown dimensions in %1; the result is taken as DIMENSIONLESS").arg(path));

        const vx::Str nativeName(objectName);
        const vx::Str custom = makeCustomName(nativeName, resultNames);
        const vx::Str stem = makeIdString(nativeName);
        if (!seen.insert(nativeName).second) continue;

        addFieldResults(nativeName, custom, stem, unit, found->second.first, found->second.second, className);
        // A full tensor is published as its symmetric part and, beside it, as the axial vector of
        // its antisymmetric part, so that all nine numbers reach the host.
        if (className == "volTensorField" || className == "volTensorField::Internal" || className == "pointTensorField")
            addFieldResults(nativeName, custom + " axial vector", stem + "_AXIAL", unit, VECTOR, found->second.second,
                            className + "|axial");
    }
    return true;
}

void OFState::addFieldResults(const vx::Str& nativeName, const vx::Str& name, const vx::Str& stem, const OFUnit& unit,
                              OFResultType type, OFResultMapping mapping, const std::string& className) {
    if (mapping == NODE) {
        OFResult result(nativeName, name + " [N]", stem + "_N*", unit, type, NODE);
        result.setFileClassName(className);
        addResult(result);
        return;
    }
    OFResult result(nativeName, name, stem + "_E", unit, type, ELEMENT);
    result.setFileClassName(className);
    addResult(result);
    if (m_generateNodeAverageResult) addResult(OFResult(nativeName, name + " [node]", stem + "_N", unit, type, NODE_AVERAGE));
}

void OFState::findDisplacementResult(const vx::Str& folder, std::set<vx::Str>& seen,
                                     const std::map<vx::Str, vx::Str>& resultNames) {
    const vx::Str meshFolder = folder + "/polyMesh";
    const std::vector<vx::Str> entries = OFUtilities::filesInFolder(meshFolder);
    if (entries.empty()) return;
    // A whole mesh (faces too) is a change of topology, not moved points of the same mesh.
    for (const vx::Str& entry : entries)
        if (OFUtilities::fieldNameOfFile(entry) == "faces") return;
    OFFile file(true);
    for (const vx::Str& entry : entries) {
        if (!file.open(entry)) continue;
        if (file.headerValue("object") != "points" || file.headerValue("class") != "vectorField") continue;
        if (!seen.insert("points").second) continue;
        addDisplacementResult(resultNames);
    }
}

void OFState::addDisplacementResult(const std::map<vx::Str, vx::Str>& resultNames) {
    addResult(OFResult("points", makeCustomName("points", resultNames), makeIdString("points"),
                       OFUnit::fromBase(0, 1, 0, 0, 0, 0, 0), DISPLACEMENT, NODE));
}

const OFResult* OFState::resultById(int id) const {
    for (const OFResult& result : m_results)
        if (result.id() == id) return &result;
    return nullptr;
}

OFResult* OFState::resultById(int id) {
    return const_cast<OFResult*>(static_cast<const OFState*>(this)->resultById(id));
}

vx::Str OFState::fieldFolderForPart(const OFPart& part) const {
    vx::Str timeFolder = m_folder;
    if (part.isProcessorPart()) {
        const vx::Str time = OFUtilities::folderNameFromPath(m_folder);
        timeFolder = m_folder.subStr(0, m_folder.size() - time.size()) + part.processorFolder() + "/" + time;
    }
    return part.regionName().isEmpty() ? timeFolder : timeFolder + "/" + part.regionName();
}

void OFState::addPartWithNewMesh(size_t partIndex) { m_partsWithNewMesh.insert(partIndex); }

bool OFState::hasNewMeshForPart(size_t partIndex) const { return m_partsWithNewMesh.count(partIndex) != 0; }

bool OFState::hasResultForPart(const OFResult& result, const OFPart& part) const {
    const vx::Str folder = fieldFolderForPart(part);
    vx::Str native = result.nativeName();
    if (result.mapping() == NODE_AVERAGE) {
        const OFResult* source = sourceVolumefromAverageNodeResult(result);
        if (!source) return false;
        native = source->nativeName();
    }
    // The file named after the result, plain or compressed (U or U.gz); a copy such as U.orig
    // is not read.
    for (const vx::Str& entry : OFUtilities::filesInFolder(folder)) {
        if (OFUtilities::fieldNameOfFile(entry) == native) return true;
    }
    return false;
}

const OFResult* OFState::sourceVolumefromAverageNodeResult(const OFResult& averageResult) const {
    const auto it = m_sourceOfAverage.find(averageResult.id());
    if (it == m_sourceOfAverage.end()) return nullptr;
    const OFResult* source = resultById(it->second);
    if (!source || source->dimension() != averageResult.dimension() || source->type() != averageResult.type() ||
        source->name() + " [node]" != averageResult.name())
        return nullptr;
    return source;
}

bool OFState::registerVolumeResultSourceOfAverageNodeResult(int averageResultId, int sourceResultId) {
    m_sourceOfAverage[averageResultId] = sourceResultId;
    return true;
}

vx::Str OFState::makeCustomName(const vx::Str& nativeName, const std::map<vx::Str, vx::Str>& resultNames) {
    const auto it = resultNames.find(nativeName);
    return it == resultNames.end() ? nativeName : it->second;
}

vx::Str OFState::makeIdString(const vx::Str& nativeName) {
    const auto& stems = openFoamIdStrings();
    const auto it = stems.find(nativeName);
    return it == stems.end() ? nativeName.toUpper() : it->second;
}
