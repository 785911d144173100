// Small description files of a case: keyword dictionaries (controlDict, uniform/time), the
// boundary file of a polyMesh and its cellZones and faceZones files, all read through the
// dictionary reader.
#include <string>

#include "io/FoamDictionary.h"
#include "io/FoamFieldValues.h"
#include "io/NumberParsing.h"
#include "io/OFFile.h"
#include "model/OFBoundary.h"
#include "model/OFCellZone.h"
#include "model/OFFaceZone.h"
#include "plugin/OFLogger.h"

using foamdict::Dictionary;
using foamdict::Entry;
using foamdict::TokenKind;
using vx::Str;

namespace {

const char* const SOURCE = "OFFile";

void logError(const Str& message) { OFLogger::get()->logError(SOURCE, message); }
void logInfo(const Str& message) { OFLogger::get()->logInfo(SOURCE, message); }

// A whole non-negative integer that fits an int: the single token of an entry.
bool entryCount(const Dictionary& dict, const std::string& key, int* value) {
    const Entry* e = dict.findLiteral(key);
    if (!e || e->dict || e->tokens.size() != 1 || e->tokens[0].kind != TokenKind::Number) return false;
    const std::string& text = e->tokens[0].text;
    const char* end = text.data() + text.size();
    int32_t parsed = 0;
    if (ofnum::parseLabel(text.data(), end, &parsed) != end) return false;
    *value = parsed;
    return true;
}

bool headerEquals(const OFFile& file, const std::string& key, const std::string& expected) {
    const auto& header = file.headerMap();
    const auto it = header.find(key);
    return it != header.end() && it->second == expected;
}

// The words of a word list entry ("inGroups List<word> 2(wall baffles);", "(wall)").
std::vector<std::string> entryWords(const Dictionary& dict, const std::string& key) {
    std::vector<std::string> words;
    const Entry* e = dict.findLiteral(key);
    if (!e || e->dict) return words;
    bool inside = false;
    for (const foamdict::Token& t : e->tokens) {
        if (t.isPunct('(')) inside = true;
        else if (t.isPunct(')')) inside = false;
        else if (inside && (t.kind == TokenKind::Word || t.kind == TokenKind::String)) words.push_back(t.text);
    }
    return words;
}

// Loads a list file (boundary, cellZones, faceZones), checks its object and parses its entries.
bool loadEntryList(OFFile& file, const Str& path, const Str& objectName, const Str& openFailure, Dictionary* list,
                   long long* count) {
    if (!file.loadWhole(path)) {
        if (!file.failureReported()) logError(openFailure.arg(path));
        return false;
    }
    if (!headerEquals(file, "object", objectName.toStdString())) {
        logError(Str("Unexpected object in dictionary file. File basename is %1").arg(path));
        return false;
    }
    foamdict::ParseOptions options;
    options.binary = file.isBinary();
    options.labelBytes = file.labelBytes();
    options.scalarBytes = file.scalarBytes();
    foamdict::Parser parser(options);
    const bool ok = file.parseEntryList(&parser, list, count);
    logParseProblems(parser.problems(), file.openedPath());
    return ok;
}

}  // namespace

bool OFFile::parseEntryList(foamdict::Parser* parser, foamdict::Dictionary* list, long long* count) {
    if (!m_text) return false;
    return parser->parseEntryList(m_text, m_bodyOffset, m_openedPath.toUtf8(), list, count);
}

bool OFFile::readDictionary(const Str& path, const Str& objectName, std::map<Str, Str>* entries) {
    if (!loadWhole(path)) {
        if (!failureReported()) logError(Str("Failed to open dictionary file. File basename is %1").arg(path));
        return false;
    }
    if (!headerEquals(*this, "object", objectName.toStdString())) {
        logError(Str("Unexpected object in dictionary file. File basename is %1").arg(path));
        return false;
    }
    if (!headerEquals(*this, "class", "dictionary")) {
        logError(Str("Unexpected class in dictionary file. File basename is %1").arg(path));
        return false;
    }
    parseBody();
    // The plain entries of the top level, as OpenFOAM resolves them (a later entry replaces an
    // earlier one); entries whose value needs evaluation are left out.
    for (const auto& e : m_tree->entries()) {
        if (e->dict || !e->unresolved.empty() || e->tokens.empty()) continue;
        (*entries)[Str::fromUtf8(e->key)] = Str::fromUtf8(foamdict::joinTokens(e->tokens));
    }
    close();
    return true;
}

bool OFFile::readBoundary(const Str& path, const Str& objectName, std::vector<OFBoundary>& boundaries,
                          size_t partId) {
    Dictionary list;
    long long count = -1;
    const bool parsed = loadEntryList(*this, path, objectName, "Failed to open boundary file. File basename is %1",
                                      &list, &count);
    if (!m_text || headerValue("object") != objectName.toStdString()) return false;
    if (count < 0) {
        logError(Str("Failed to read number of boundaries in boundary file. File basename is %1").arg(path));
        return false;
    }
    boundaries.clear();
    const auto& patches = list.entries();
    for (long long i = 0; i < count; ++i) {
        const Dictionary* patch = static_cast<size_t>(i) < patches.size() ? patches[static_cast<size_t>(i)]->dict.get() : nullptr;
        int faceCount = 0;
        int startFace = 0;
        const std::string type = patch ? patch->text("type") : std::string();
        if (!patch || !parsed || type.empty() || !entryCount(*patch, "nFaces", &faceCount) ||
            !entryCount(*patch, "startFace", &startFace)) {
            logError(Str("Failed to read patch %1 of %2 in boundary file. File basename is %3")
                         .arg(static_cast<long long>(i + 1))
                         .arg(count)
                         .arg(path));
            return false;
        }
        OFBoundary boundary;
        boundary.setPartId(static_cast<int>(partId));
        boundary.setPatchName(Str::fromUtf8(patches[static_cast<size_t>(i)]->key));
        boundary.setType(Str::fromUtf8(type));
        boundary.setFaceCount(static_cast<size_t>(faceCount));
        boundary.setStartFaceIndex(startFace);
        boundary.setGroups(entryWords(*patch, "inGroups"));
        boundaries.push_back(std::move(boundary));
    }
    close();
    return true;
}

bool OFFile::readCellZones(const Str& path, const Str& objectName, std::vector<OFCellZone>& zones, size_t partId) {
    Dictionary list;
    long long count = -1;
    const bool parsed =
        loadEntryList(*this, path, objectName, "Failed to open CellZone file. File basename is %1", &list, &count);
    if (!m_text || headerValue("object") != objectName.toStdString()) return false;
    if (count < 0) {
        logError(Str("Failed to read number of CellZones from file. File basename is %1").arg(path));
        return false;
    }
    zones.clear();
    const Str problem = Str("Problem parsing file %1").arg(path);
    if (!parsed || list.entries().size() != static_cast<size_t>(count)) {
        logError(problem);
        return false;
    }
    // A zone's labels are no more than its file has bytes, however they are written ("N{v}").
    const size_t maxLabels = m_text->size();
    for (const auto& entry : list.entries()) {
        const Entry* labels = entry->dict->findLiteral("cellLabels");
        OFCellZone zone;
        zone.setName(Str::fromUtf8(entry->key));
        if (!labels || labels->dict || !foamvalues::readLabelList(labels->tokens, &zone.cellIds(), m_labelBytes, maxLabels)) {
            logError(problem);
            return false;
        }
        // Empty zones are left out; the ids count the zones kept.
        if (zone.cellIds().empty()) continue;
        zone.setPartId(static_cast<int>(partId));
        zone.setId(static_cast<int>(zones.size()) + 1);
        zones.push_back(std::move(zone));
    }
    if (zones.empty() && count > 0) logInfo(Str("Found CellZones with 0 Conten for file %1.").arg(path));
    close();
    return true;
}

bool OFFile::readFaceZones(const Str& path, const Str& objectName, std::vector<OFFaceZone>& zones, size_t partId) {
    Dictionary list;
    long long count = -1;
    const bool parsed =
        loadEntryList(*this, path, objectName, "Failed to open FaceZone file. File basename is %1", &list, &count);
    if (!m_text || headerValue("object") != objectName.toStdString()) return false;
    if (count < 0) {
        logError(Str("Failed to read number of FaceZones from file. File basename is %1").arg(path));
        return false;
    }
    zones.clear();
    const Str problem = Str("Problem parsing file %1").arg(path);
    if (!parsed || list.entries().size() != static_cast<size_t>(count)) {
        logError(problem);
        return false;
    }
    const size_t maxLabels = m_text->size();
    int id = 0;
    for (const auto& entry : list.entries()) {
        OFFaceZone zone;
        zone.setName(Str::fromUtf8(entry->key));
        zone.setId(++id);
        zone.setPartId(static_cast<int>(partId));
        const Entry* labels = entry->dict->findLiteral("faceLabels");
        if (!labels || labels->dict || !foamvalues::readLabelList(labels->tokens, &zone.faceIds(), m_labelBytes, maxLabels)) {
            logError(problem);
            return false;
        }
        // The flip map, one flag per face; a zone written without one keeps it empty.
        const Entry* flips = entry->dict->findLiteral("flipMap");
        if (flips && (flips->dict || !foamvalues::readLabelList(flips->tokens, &zone.flipMap(), m_labelBytes, zone.faceIds().size()) ||
                      zone.flipMap().size() != zone.faceIds().size())) {
            logError(problem);
            return false;
        }
        zones.push_back(std::move(zone));
    }
    close();
    return true;
}
