// Small description files of a case: keyword dictionaries (controlDict, uniform/time), the
// boundary file of a polyMesh and its cellZones and faceZones files.
#include <cstring>
#include <string>

#include "io/NumberParsing.h"
#include "io/OFFile.h"
#include "model/OFBoundary.h"
#include "model/OFCellZone.h"
#include "model/OFFaceZone.h"
#include "plugin/OFLogger.h"

using vx::Str;

namespace {

const char* const SOURCE = "OFFile";

void logError(const Str& message) { OFLogger::get()->logError(SOURCE, message); }
void logInfo(const Str& message) { OFLogger::get()->logInfo(SOURCE, message); }

bool isSpace(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && ofnum::isBlank(text[first])) ++first;
    while (last > first && ofnum::isBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// The line without its line end (and anything behind a carriage return or line feed).
std::string lineText(const char* line) {
    const size_t end = std::strcspn(line, "\r\n");
    return std::string(line, end);
}

// A whole non-negative integer that fits an int.
bool parseCount(const std::string& text, int* value) {
    const std::string digits = trimmed(text);
    if (digits.empty()) return false;
    const char* end = digits.data() + digits.size();
    int32_t parsed = 0;
    if (ofnum::parseLabel(digits.data(), end, &parsed) != end) return false;
    *value = parsed;
    return true;
}

bool headerEquals(const OFFile& file, const std::string& key, const std::string& expected) {
    const auto& header = file.headerMap();
    const auto it = header.find(key);
    return it != header.end() && it->second == expected;
}

// Takes lines until one whose text (leading blanks ignored) begins with keyword. Stops with false
// at the end of the file or at a line that closes the current block ("}").
bool findEntryLine(OFFile& file, const std::string& keyword, std::string* found) {
    char* line = nullptr;
    while (file.getNextLine(&line)) {
        const std::string text = trimmed(lineText(line));
        if (text.compare(0, keyword.size(), keyword) == 0 &&
            (text.size() == keyword.size() || isSpace(text[keyword.size()]) || text[keyword.size()] == '('))
        {
            *found = text;
            return true;
        }
        if (!text.empty() && text[0] == '}') return false;
    }
    return false;
}

// Outcome of reading one list entry of a zone ("cellLabels List<label> ..."): the count on the
// keyword line or on a line of its own could not be read, or the entries do not match it.
enum class ListRead { OK, BAD_INLINE_COUNT, BAD_COUNT, BAD_LIST };

// Reads the list of a zone entry whose keyword line is `line`. OpenFOAM writes it in one of
// these forms:
//   keyword List<label> 3(4 5 6);      short lists, on one line
//   keyword List<label> 0();           empty lists
//   keyword List<bool> 12{0};          lists of one repeated value
//   keyword List<label> 0;             empty binary lists
//   keyword List<label>                longer lists: the count on a line of its own, then the
//   1234                               entries in parentheses, one per line (ascii) or as raw
//   (...)                              bytes (binary; flags are one byte each)
// A count on the keyword line followed by the list on the next lines is accepted as well. The
// number of entries must equal the count, and the count must equal expectedCount unless that is
// negative. The values go into `values`, resized to the count.
ListRead readZoneList(OFFile& file, const std::string& line, bool byteFlags, long long expectedCount,
                      std::vector<int>* values, bool* unexpectedFormat) {
    // A count the file cannot hold is refused before anything is allocated for it.
    const auto plausible = [&file, byteFlags, expectedCount](int count) {
        if (expectedCount >= 0) return count == expectedCount;
        const size_t itemBytes = !file.isBinary() ? 2 : byteFlags ? 1 : static_cast<size_t>(file.labelBytes());
        return file.countFitsFile(count, itemBytes);
    };

    const size_t close = line.find('>');
    *unexpectedFormat = close == std::string::npos;
    size_t p = close != std::string::npos ? close + 1 : line.find_first_of(" \t(");
    if (p == std::string::npos) p = line.size();
    while (p < line.size() && isSpace(line[p])) ++p;

    int count = 0;
    if (p >= line.size()) {
        // The count stands on the next line that begins with digits.
        if (!file.readNextIntLineFromCurrentChunk(&count)) return ListRead::BAD_COUNT;
        if (!plausible(count)) return ListRead::BAD_LIST;
        if (count == 0) {
            values->clear();
            return ListRead::OK;
        }
    } else {
        const char* begin = line.c_str() + p;
        const char* end = line.c_str() + line.size();
        int32_t parsed = 0;
        const char* q = ofnum::parseLabel(begin, end, &parsed);
        if (!q) return ListRead::BAD_INLINE_COUNT;
        count = parsed;
        while (q < end && isSpace(*q)) ++q;
        if (q < end && *q == '(') {
            // The whole list on this line.
            if (static_cast<size_t>(count) > line.size() || !plausible(count)) return ListRead::BAD_LIST;
            values->assign(static_cast<size_t>(count), 0);
            ++q;
            size_t n = 0;
            while (true) {
                while (q < end && isSpace(*q)) ++q;
                if (q < end && *q == ')') break;
                int32_t value = 0;
                const char* next = ofnum::parseLabel(q, end, &value);
                if (!next || n >= values->size()) return ListRead::BAD_LIST;
                (*values)[n++] = value;
                q = next;
            }
            return n == values->size() ? ListRead::OK : ListRead::BAD_LIST;
        }
        if (q < end && *q == '{') {
            int32_t value = 0;
            const char* next = ofnum::parseLabel(q + 1, end, &value);
            if (!next || next >= end || *next != '}' || !plausible(count)) return ListRead::BAD_LIST;
            values->assign(static_cast<size_t>(count), value);
            return ListRead::OK;
        }
        if (q < end && *q != ';') return ListRead::BAD_INLINE_COUNT;
        if (!plausible(count)) return ListRead::BAD_LIST;
        if (count == 0) {
            values->clear();
            return ListRead::OK;
        }
    }

    // The entries follow on the next lines.
    values->assign(static_cast<size_t>(count), 0);
    if (file.isBinary() && byteFlags) {
        std::vector<unsigned char> flags(static_cast<size_t>(count));
        if (!file.skipAfterNext('(') || !file.readRaw(flags.data(), 1, flags.size())) return ListRead::BAD_LIST;
        for (size_t i = 0; i < flags.size(); ++i) (*values)[i] = flags[i];
    } else if (!file.readNextLabelList(values)) {
        return ListRead::BAD_LIST;
    }
    if (file.isBinary()) {
        // Raw entries carry no separators: the list must close right behind the last one.
        char closing = 0;
        if (!file.readRaw(&closing, 1, 1) || closing != ')') return ListRead::BAD_LIST;
    }
    return ListRead::OK;
}

}  // namespace

bool OFFile::readDictionary(const Str& path, const Str& objectName, std::map<Str, Str>* entries) {
    if (!open(path)) {
        logError(Str("Failed to open dictionary file. File basename is %1").arg(path));
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
    char* line = nullptr;
    while (true) {
        const bool overflowedBefore = lineOverflowed();
        if (!getNextLine(&line)) {
            // A line too long for the line buffer is passed over.
            if (!overflowedBefore && lineOverflowed() && skipAfterNext('\n')) continue;
            break;
        }
        // Only entries closed by ";" count: braces, blank lines, #include lines and entries
        // followed by a comment are passed over. Trailing blanks do not hide the ";".
        std::string text = lineText(line);
        while (!text.empty() && isSpace(text.back())) text.pop_back();
        if (text.empty() || text.back() != ';') continue;
        text.pop_back();
        size_t i = 0;
        while (i < text.size() && isSpace(text[i])) ++i;
        const size_t keyStart = i;
        while (i < text.size() && !isSpace(text[i])) ++i;
        const size_t keyEnd = i;
        while (i < text.size() && isSpace(text[i])) ++i;
        if (keyEnd == keyStart || i >= text.size()) continue;
        entries->emplace(Str(text.substr(keyStart, keyEnd - keyStart)), Str(text.substr(i)));
    }
    close();
    return true;
}

bool OFFile::readBoundary(const Str& path, const Str& objectName, std::vector<OFBoundary>& boundaries,
                          size_t partId) {
    if (!open(path)) {
        logError(Str("Failed to open boundary file. File basename is %1").arg(path));
        return false;
    }
    if (!headerEquals(*this, "object", objectName.toStdString())) {
        logError(Str("Unexpected object in dictionary file. File basename is %1").arg(path));
        return false;
    }
    int count = 0;
    if (!readNextIntLine(&count)) {
        logError(Str("Failed to read number of boundaries in boundary file. File basename is %1").arg(path));
        return false;
    }
    boundaries.clear();
    if (count == 0) {
        close();
        return true;
    }
    if (!skipAfterNext('(')) return false;
    for (int i = 0; i < count; ++i) {
        std::map<std::string, std::string> info = readBoundaryInfo();
        const auto type = info.find("type");
        const auto faces = info.find("nFaces");
        const auto start = info.find("startFace");
        int faceCount = 0;
        int startFace = 0;
        // Also the case of a file that ends before its last patch: the entry is then incomplete.
        if (info["patchName"].empty() || type == info.end() || trimmed(type->second).empty() ||
            faces == info.end() || !parseCount(faces->second, &faceCount) || start == info.end() ||
            !parseCount(start->second, &startFace))
        {
            logError(Str("Failed to read patch %1 of %2 in boundary file. File basename is %3")
                         .arg(i + 1)
                         .arg(count)
                         .arg(path));
            return false;
        }
        OFBoundary boundary;
        boundary.setPartId(static_cast<int>(partId));
        boundary.setPatchName(Str(info["patchName"]));
        boundary.setType(Str(trimmed(type->second)));
        boundary.setFaceCount(static_cast<size_t>(faceCount));
        boundary.setStartFaceIndex(startFace);
        boundaries.push_back(std::move(boundary));
    }
    close();
    return true;
}

std::map<std::string, std::string> OFFile::readBoundaryInfo() {
    std::map<std::string, std::string> info;
    int state = 0;
    char* line = nullptr;
    while (getNextLine(&line)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (state == 0) {
            const size_t first = text.find_first_not_of(' ');
            if (first == std::string::npos) continue;
            info["patchName"] = text.substr(first);
            state = 1;
        } else if (state == 1) {
            if (Str(text).trimmed() == "{") state = 2;
        } else {
            if (Str(text).trimmed() == "}") return info;
            const size_t semicolon = text.rfind(';');
            if (semicolon == std::string::npos) continue;
            std::string keyword, value;
            OFFile::splitEntry(text.substr(0, semicolon), &keyword, &value);
            info.emplace(keyword, value);
        }
    }
    return info;
}

namespace {

// Opens a zone file, checks its object and reads its zone count, logging the kind's messages.
bool openZoneList(OFFile& file, const Str& path, const Str& objectName, const char* kind, int* count) {
    if (!file.open(path)) {
        logError(Str("Failed to open %1 file. File basename is %2").arg(kind).arg(path));
        return false;
    }
    if (!headerEquals(file, "object", objectName.toStdString())) {
        logError(Str("Unexpected object in dictionary file. File basename is %1").arg(path));
        return false;
    }
    if (!file.readNextIntLine(count)) {
        logError(Str("Failed to read number of %1s from file. File basename is %2").arg(kind).arg(path));
        return false;
    }
    return true;
}

}  // namespace

bool OFFile::readCellZones(const Str& path, const Str& objectName, std::vector<OFCellZone>& zones, size_t partId) {
    int count = 0;
    if (!openZoneList(*this, path, objectName, "CellZone", &count)) return false;
    zones.clear();
    if (count == 0) {
        close();
        return true;
    }
    const Str problem = Str("Problem parsing file %1").arg(path);
    if (!skipAfterNext('(')) {
        logError(problem);
        return false;
    }
    char* line = nullptr;
    for (int i = 0; i < count; ++i) {
        if (!skipEmptyLines() || !getNextLine(&line)) {
            logError(problem);
            return false;
        }
        const Str name = Str(lineText(line)).trimmed();
        std::string listLine;
        if (!skipAfterNext('{') || !findEntryLine(*this, "cellLabels", &listLine)) {
            logError(problem);
            return false;
        }
        OFCellZone zone;
        zone.setName(name);
        bool unexpectedFormat = false;
        const ListRead read = readZoneList(*this, listLine, false, -1, &zone.cellIds(), &unexpectedFormat);
        // Empty lists are also written without a type ("cellLabels 0();"); other lists
        // without one are worth a note.
        if (unexpectedFormat && read != ListRead::OK)
            logInfo(Str("Unexpected format parsing %1 in file %2").arg(name).arg(path));
        if (read == ListRead::BAD_INLINE_COUNT) {
            logError(Str("problem reading cell Count in cellZone %1 in file %2").arg(name).arg(path));
            return false;
        }
        if (read != ListRead::OK) {
            logError(problem);
            return false;
        }
        if (zone.cellIds().empty()) {
            // Empty zones are left out; the ids count the zones kept.
            if (!skipAfterNext('}'))
                logInfo(Str("Found empty list for cellIds in cellZone name %1 in file %2").arg(name).arg(path));
            continue;
        }
        zone.setPartId(static_cast<int>(partId));
        zone.setId(static_cast<int>(zones.size()) + 1);
        zones.push_back(std::move(zone));
        if (!skipAfterNext('}')) {
            logError(problem);
            return false;
        }
    }
    if (zones.empty()) logInfo(Str("Found CellZones with 0 Conten for file %1.").arg(path));
    close();
    return true;
}

bool OFFile::readFaceZones(const Str& path, const Str& objectName, std::vector<OFFaceZone>& zones, size_t partId) {
    int count = 0;
    if (!openZoneList(*this, path, objectName, "FaceZone", &count)) return false;
    zones.clear();
    if (count == 0) {
        close();
        return true;
    }
    if (!skipAfterNext('(')) return false;
    const Str problem = Str("Problem parsing file %1").arg(path);
    char* line = nullptr;
    for (int id = 1; id <= count; ++id) {
        if (!skipEmptyLines() || !getNextLine(&line)) {
            logInfo("Problem parsing file");
            return false;
        }
        OFFaceZone zone;
        zone.setName(Str(lineText(line)).trimmed());
        zone.setId(id);
        zone.setPartId(static_cast<int>(partId));
        std::string listLine;
        if (!skipAfterNext('{') || !findEntryLine(*this, "faceLabels", &listLine)) return false;
        bool unexpectedFormat = false;
        if (readZoneList(*this, listLine, false, -1, &zone.faceIds(), &unexpectedFormat) != ListRead::OK) {
            logError(problem);
            return false;
        }
        // The flip map, one flag per face. A zone written without one keeps it empty.
        std::string flipLine;
        const bool hasFlipMap = findEntryLine(*this, "flipMap", &flipLine);
        if (hasFlipMap) {
            const long long faces = static_cast<long long>(zone.faceIds().size());
            if (readZoneList(*this, flipLine, true, faces, &zone.flipMap(), &unexpectedFormat) != ListRead::OK) {
                logError(problem);
                return false;
            }
        }
        zones.push_back(std::move(zone));
        // Without a flip map the search above already took the zone's closing brace.
        if (hasFlipMap && !skipAfterNext('}')) return false;
    }
    close();
    return true;
}
