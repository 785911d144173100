// List bodies and the mesh list files (points, faces, owner, neighbour).
#include <tbb/parallel_invoke.h>
#include <tbb/task_group.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/LargeArrays.h"
#include "io/ListParsers.h"
#include "io/NumberParsing.h"
#include "io/OFFile.h"
#include "plugin/OFLogger.h"

namespace {

const char* const SOURCE = "OFFile";

void logError(const vx::Str& message) { OFLogger::get()->logError(SOURCE, message); }

using vx::resizeSafely;

// Room for at least `needed` face indices of a list of faceCount faces: first four per face
// (quadrilaterals, the common face), then half as much again whenever that is not enough, so
// that a list is copied into larger storage only a few times.
bool growIndices(vx::UnsetVector<int32_t>& indices, size_t needed, size_t faceCount) {
    size_t size = std::max(indices.size(), std::min<size_t>(4 * faceCount, INT32_MAX));
    while (size < needed) size += size / 2 + 1;
    return resizeSafely(indices, size);
}

template <typename F0, typename F1, typename F2, typename F3>
void invokeFour(F0&& f0, F1&& f1, F2&& f2, F3&& f3) {
    tbb::task_group_context context;
    tbb::parallel_invoke(f0, f1, f2, f3, context);
}

template <typename F0, typename F1, typename F2, typename F3, typename F4, typename F5>
void invokeSix(F0&& f0, F1&& f1, F2&& f2, F3&& f3, F4&& f4, F5&& f5) {
    tbb::task_group_context context;
    tbb::parallel_invoke(f0, f1, f2, f3, f4, f5, context);
}

// "-n" at p.
const char* negativeLabel(const char* p, const char* end, int* value) {
    const char* next = ofnum::parseLabel(p + 1, end, value);
    if (next) *value = -*value;
    return next;
}

// Builds faces from a compact list whose offsets (faces + 1 entries) were read into the start
// offsets, which then lose their last entry, and its flat index list.
bool facesFromCompact(vx::UnsetVector<int>&& indices, FacesData* faces, bool* tooManyNodes) {
    vx::UnsetVector<int32_t>& offsets = faces->startOffsets;
    const size_t faceCount = faces->nodeCounts.size();
    if (offsets.size() != faceCount + 1 || offsets[0] != 0) return false;
    if (static_cast<size_t>(offsets.back()) != indices.size()) return false;
    for (size_t f = 0; f < faceCount; ++f) {
        const int n = offsets[f + 1] - offsets[f];
        if (n < 1) return false;
        if (n > 255) {
            *tooManyNodes = true;
            return false;
        }
        faces->nodeCounts[f] = static_cast<uint8_t>(n);
    }
    offsets.pop_back();
    faces->nodeIndices = std::move(indices);
    return true;
}

// The faces of a compact list whose nodes all lie within the first indicesRead indices.
size_t facesCovered(const vx::UnsetVector<int>& offsets, size_t indicesRead) {
    size_t faces = 0;
    while (faces + 1 < offsets.size() && offsets[faces + 1] >= offsets[faces] &&
           static_cast<size_t>(offsets[faces + 1]) <= indicesRead)
        ++faces;
    return faces;
}

}  // namespace

bool OFFile::ensureChunkText() {
    if (m_chunkActive && m_cursor && m_cursor < m_chunkEnd) return true;
    m_chunkActive = false;
    m_cursor = nullptr;
    char* buffer = chunk();
    if (!buffer || !getNextChunkOfLines(&buffer, m_chunkCapacity)) return false;
    m_cursor = buffer;
    m_chunkActive = true;
    return true;
}

int OFFile::peekNonBlank() {
    while (ensureChunkText()) {
        while (m_cursor < m_chunkEnd && ofnum::isBlank(*m_cursor)) ++m_cursor;
        if (m_cursor < m_chunkEnd) return static_cast<unsigned char>(*m_cursor);
    }
    return -1;
}

void OFFile::logShortList(const char* kind, size_t read, size_t expected) const {
    logError(vx::Str("Failed to read list in %1 file. Read %2 of %3 items. File basename is %4")
                 .arg(kind)
                 .arg(static_cast<unsigned long long>(std::min(read, expected)))
                 .arg(static_cast<unsigned long long>(expected))
                 .arg(m_openedPath));
}

size_t OFFile::slotCapacity() const {
    if (m_plainFileSize < 0) return CHUNK_BUFFER_SIZE;
    return static_cast<size_t>(
        std::min<unsigned long long>(CHUNK_BUFFER_SIZE, static_cast<unsigned long long>(m_plainFileSize) + LINE_BUFFER_SIZE + 1));
}

bool OFFile::readIntoSlot(std::unique_ptr<char[]>* buffer, size_t capacity, const std::string& carry, char** text) {
    if (!*buffer) buffer->reset(new char[capacity]);
    if (!carry.empty()) std::memcpy(buffer->get(), carry.data(), carry.size());
    *text = buffer->get() + carry.size();
    return getNextChunkOfLines(text, capacity - carry.size());
}

bool OFFile::readNextVectorFieldAsciiPar(std::vector<double>* values) {
    struct Slot {
        std::unique_ptr<char[]> buffer;  // made when the slot first reads
        char* text = nullptr;
        bool valid = false;
        oflist::VectorScan scan;
        size_t take = 0;
        size_t offset = 0;
    };
    const size_t target = values->size();
    std::array<Slot, 4> slots;
    const std::string noCarry;
    const size_t capacity = slotCapacity();
    size_t filled = 0;
    bool more = true;
    while (filled < target && more) {
        bool ended = false;
        for (Slot& slot : slots) {
            // Once the stream has ended the later slots stay empty; a small file takes one buffer.
            slot.valid = !ended && readIntoSlot(&slot.buffer, capacity, noCarry, &slot.text);
            ended = !slot.valid;
        }
        if (m_overflow) break;
        auto scan = [&slots](size_t k) {
            if (slots[k].valid) oflist::scanVectors(slots[k].text, &slots[k].scan);
        };
        invokeFour([&] { scan(0); }, [&] { scan(1); }, [&] { scan(2); }, [&] { scan(3); });

        bool stopped = false;
        size_t position = filled;
        for (Slot& slot : slots) {
            slot.take = 0;
            if (stopped || !slot.valid) continue;
            slot.offset = position;
            slot.take = std::min(slot.scan.count, target - position);
            position += slot.take;
            if (slot.scan.stop != oflist::ScanStop::ChunkEnd) stopped = true;
        }
        auto merge = [&slots, values](size_t k) {
            const Slot& slot = slots[k];
            if (slot.take) std::memcpy(values->data() + slot.offset, slot.scan.values.data(), slot.take * sizeof(double));
        };
        invokeFour([&] { merge(0); }, [&] { merge(1); }, [&] { merge(2); }, [&] { merge(3); });
        filled = position;
        more = !stopped && slots[3].valid;
    }
    m_itemsRead = filled / 3;
    return filled == target;
}

bool OFFile::readNextFaceListAsciiPar(FacesData* faces) {
    struct Slot {
        std::unique_ptr<char[]> buffer;  // made when the slot first reads
        size_t capacity = CHUNK_BUFFER_SIZE;
        char* text = nullptr;
        bool valid = false;
        oflist::FaceScan scan;
        size_t take = 0;
        size_t faceOffset = 0;
        size_t indexOffset = 0;
    };
    const size_t target = faces->nodeCounts.size();
    std::array<Slot, 6> slots;
    const size_t capacity = slotCapacity();
    for (Slot& slot : slots) slot.capacity = capacity;
    std::string carry;
    const std::string noCarry;
    size_t filledFaces = 0;
    size_t filledIndices = 0;
    bool more = true;
    m_faceTooLarge = false;
    while (filledFaces < target && more) {
        bool newData = false;
        bool ended = false;
        for (size_t k = 0; k < slots.size(); ++k) {
            Slot& slot = slots[k];
            const size_t prefix = k == 0 ? carry.size() : 0;
            if (prefix && slot.capacity < prefix + capacity) {
                slot.capacity = prefix + capacity;
                slot.buffer.reset();
            }
            // Once the stream has ended the later slots stay empty; a small file takes one buffer.
            slot.valid = !ended && readIntoSlot(&slot.buffer, slot.capacity, k == 0 ? carry : noCarry, &slot.text);
            ended = !slot.valid;
            newData = newData || slot.valid;
            if (prefix) {
                // The carried tail of an incomplete face continues in this chunk.
                if (!slot.valid) slot.buffer[prefix] = '\0';
                slot.text = slot.buffer.get();
                slot.valid = true;
            }
        }
        const bool carried = !carry.empty();
        carry.clear();
        if (m_overflow || (!newData && !carried)) break;
        auto scan = [&slots](size_t k) {
            if (slots[k].valid) oflist::scanFaces(slots[k].text, &slots[k].scan);
        };
        invokeSix([&] { scan(0); }, [&] { scan(1); }, [&] { scan(2); }, [&] { scan(3); }, [&] { scan(4); },
                  [&] { scan(5); });

        bool stopped = false;
        bool finished = false;
        size_t facePosition = filledFaces;
        size_t indexPosition = filledIndices;
        for (size_t k = 0; k < slots.size(); ++k) {
            Slot& slot = slots[k];
            slot.take = 0;
            if (stopped || !slot.valid) continue;
            slot.faceOffset = facePosition;
            slot.indexOffset = indexPosition;
            slot.take = std::min(slot.scan.faceCount, target - facePosition);
            facePosition += slot.take;
            indexPosition += slot.take == slot.scan.faceCount ? slot.scan.indexCount
                             : slot.take == 0                 ? 0
                                                              : static_cast<size_t>(slot.scan.starts[slot.take]);
            if (slot.scan.stop == oflist::ScanStop::Incomplete) {
                stopped = true;
                carry.assign(slot.scan.tail);
                for (size_t later = k + 1; later < slots.size(); ++later)
                    if (slots[later].valid) carry += slots[later].text;
            } else if (slot.scan.stop != oflist::ScanStop::ChunkEnd) {
                stopped = finished = true;
                if (slot.scan.stop == oflist::ScanStop::TooManyNodes && facePosition < target) m_faceTooLarge = true;
            }
        }
        if (indexPosition > static_cast<size_t>(INT32_MAX)) break;
        if (faces->nodeIndices.size() < indexPosition && !growIndices(faces->nodeIndices, indexPosition, target))
            break;
        auto assemble = [&slots, faces](size_t k) {
            const Slot& slot = slots[k];
            for (size_t f = 0; f < slot.take; ++f) {
                faces->nodeCounts[slot.faceOffset + f] = slot.scan.nodeCounts[f];
                faces->startOffsets[slot.faceOffset + f] = slot.scan.starts[f] + static_cast<int32_t>(slot.indexOffset);
            }
            const size_t indexCount =
                slot.take == slot.scan.faceCount ? slot.scan.indexCount
                : slot.take == 0                 ? 0
                                                 : static_cast<size_t>(slot.scan.starts[slot.take]);
            if (indexCount)
                std::memcpy(faces->nodeIndices.data() + slot.indexOffset, slot.scan.indices.data(),
                            indexCount * sizeof(int32_t));
        };
        invokeSix([&] { assemble(0); }, [&] { assemble(1); }, [&] { assemble(2); }, [&] { assemble(3); },
                  [&] { assemble(4); }, [&] { assemble(5); });
        filledFaces = facePosition;
        filledIndices = indexPosition;
        // A carried tail is parsed again with the next chunk; without new data it cannot complete.
        more = !finished && (slots[5].valid || (!carry.empty() && newData));
    }
    if (filledFaces == target) faces->nodeIndices.resize(filledIndices);
    m_itemsRead = filledFaces;
    return filledFaces == target;
}

bool OFFile::readScalarsAscii(std::vector<double>* values, size_t* read) {
    const size_t n = values->size();
    for (*read = 0; *read < n; ++*read) {
        const int c = peekNonBlank();
        if (c < 0 || c == ')') return false;
        const char* next = ofnum::parseDouble(m_cursor, m_chunkEnd, &(*values)[*read]);
        if (!next || (next < m_chunkEnd && !ofnum::isBlank(*next) && *next != ')')) return false;
        m_cursor = const_cast<char*>(next);
    }
    return true;
}

bool OFFile::readVectorsAscii(std::vector<double>* values, size_t* read) {
    const size_t n = values->size() / 3;
    for (*read = 0; *read < n; ++*read) {
        if (peekNonBlank() != '(') return false;
        const char* p = m_cursor + 1;
        for (size_t c = 0; c < 3; ++c) {
            while (p < m_chunkEnd && ofnum::isSpaceOrTab(*p)) ++p;
            p = ofnum::parseDouble(p, m_chunkEnd, &(*values)[*read * 3 + c]);
            if (!p) return false;
        }
        while (p < m_chunkEnd && ofnum::isSpaceOrTab(*p)) ++p;
        if (p >= m_chunkEnd || *p != ')') return false;
        m_cursor = const_cast<char*>(p + 1);
    }
    return true;
}

// Behind the last value of a list: the list must close here, and reading goes on behind its ";".
bool OFFile::finishValueList() {
    if (peekNonBlank() != ')') return false;
    ++m_cursor;
    return skipAfterNext(';');
}

bool OFFile::readNextVolScalarFieldAscii(std::vector<double>* values) {
    if (values->empty()) {
        logError(vx::Str("Failed to read values from file. Read %1 values from %2").arg(0).arg(0));
        return false;
    }
    size_t read = 0;
    const bool ok = readScalarsAscii(values, &read) && finishValueList();
    m_itemsRead = read;
    return ok;
}

bool OFFile::readNextVectorFieldAscii(std::vector<double>* values) {
    size_t read = 0;
    const bool ok = readVectorsAscii(values, &read) && finishValueList();
    m_itemsRead = read;
    return ok;
}

bool OFFile::readNextLabelListAscii(int* out, size_t n) {
    size_t i = 0;
    bool stopped = false;
    // Chunk after chunk, parsed in place; a label never spans two chunks (they end at line ends).
    while (i < n && !stopped && ensureChunkText()) {
        const char* p = m_cursor;
        const char* end = m_chunkEnd;
        while (i < n) {
            while (p < end && ofnum::isBlank(*p)) ++p;
            if (p >= end) break;
            // Negative labels are read, for their lists to refuse them, except the -1 that pads
            // the neighbour lists of meshes written by old versions.
            const char* next = *p == '-' ? negativeLabel(p, end, &out[i]) : ofnum::parseLabelWide(p, end, &out[i]);
            if (!next) {
                stopped = true;
                break;
            }
            p = next;
            ++i;
        }
        m_cursor = const_cast<char*>(p);
    }
    m_itemsRead = i;
    // The list must close right behind its last label; the ")" is left for the caller.
    return i == n && peekNonBlank() == ')';
}

bool OFFile::readNextLabelListBinary(int* out, size_t n) {
    m_itemsRead = 0;
    if (m_bigEndian) return false;
    if (m_labelBytes == 4) {
        if (!readRaw(out, sizeof(int32_t), n)) return false;
        m_itemsRead = n;
        return true;
    }
    std::vector<int64_t> block(std::min<size_t>(n, 65536));
    for (size_t done = 0; done < n;) {
        const size_t count = std::min(block.size(), n - done);
        if (!readRaw(block.data(), sizeof(int64_t), count)) return false;
        for (size_t k = 0; k < count; ++k) {
            if (block[k] < INT32_MIN || block[k] > INT32_MAX) return false;
            out[done + k] = static_cast<int>(block[k]);
        }
        done += count;
        m_itemsRead = done;
    }
    return true;
}

bool OFFile::readNextScalarsBinary(std::vector<double>* values) {
    const size_t n = values->size();
    if (m_bigEndian) return false;
    if (m_scalarBytes == 8) return readRaw(values->data(), sizeof(double), n);
    std::vector<float> block(std::min<size_t>(n, 65536));
    for (size_t done = 0; done < n;) {
        const size_t count = std::min(block.size(), n - done);
        if (!readRaw(block.data(), sizeof(float), count)) return false;
        for (size_t k = 0; k < count; ++k) (*values)[done + k] = block[k];
        done += count;
    }
    return true;
}

bool OFFile::readNextVectorFieldBinary(std::vector<double>* values) { return readNextScalarsBinary(values); }

bool OFFile::readNextLabelList(int* out, size_t count) {
    if (!skipAfterNext('(')) return false;
    if (m_binary) return readNextLabelListBinary(out, count);
    if (!skipEmptyLines()) return false;
    return readNextLabelListAscii(out, count);
}

bool OFFile::readNextFaceList(FacesData* faces) {
    if (!skipAfterNext('(')) return false;
    if (m_binary) return readNextFaceListBinary(faces);
    if (!skipEmptyLines()) return false;
    return readNextFaceListAsciiPar(faces);
}

bool OFFile::readNextFaceCompactList(FacesData* faces) {
    if (!skipAfterNext('(')) return false;
    if (m_binary) return readNextFaceCompactListBinary(faces);
    if (!skipEmptyLines()) return false;
    return readNextFaceCompactListAscii(faces);
}

bool OFFile::readNextFaceListBinary(FacesData*) { return false; }

bool OFFile::readNextFaceCompactListAscii(FacesData* faces) {
    // Written face by face ("n(i0 i1 ...)"), or as the offsets list followed by the index list.
    if (peekNonBlank() < 0) return false;
    const char* p = m_cursor;
    while (p < m_chunkEnd && ofnum::isDigit(*p)) ++p;
    while (p < m_chunkEnd && ofnum::isBlank(*p)) ++p;
    if (p < m_chunkEnd && *p == '(') {
        faces->startOffsets.resize(faces->nodeCounts.size());
        return readNextFaceListAsciiPar(faces);
    }

    // A face is read once its offsets and its indices are: the offsets alone count for none.
    vx::UnsetVector<int>& offsets = faces->startOffsets;
    const bool offsetsRead = resizeSafely(offsets, faces->nodeCounts.size() + 1) &&
                             readNextLabelListAscii(offsets.data(), offsets.size());
    m_itemsRead = 0;
    if (!offsetsRead) return false;
    int indexCount = 0;
    if (!skipAfterNext(')') || !readNextIntLine(&indexCount) || !countFitsFile(indexCount, 2)) return false;
    vx::UnsetVector<int> indices;
    if (!resizeSafely(indices, static_cast<size_t>(indexCount))) return false;
    const bool indicesRead = readNextLabelList(indices.data(), indices.size());
    m_itemsRead = facesCovered(offsets, m_itemsRead);
    return indicesRead && facesFromCompact(std::move(indices), faces, &m_faceTooLarge);
}

bool OFFile::readNextFaceCompactListBinary(FacesData* faces) {
    vx::UnsetVector<int>& offsets = faces->startOffsets;
    const bool offsetsRead = resizeSafely(offsets, faces->nodeCounts.size() + 1) &&
                             readNextLabelListBinary(offsets.data(), offsets.size());
    m_itemsRead = 0;
    if (!offsetsRead || nextByte() != ')') return false;
    int indexCount = 0;
    if (!readNextIntLine(&indexCount) || !skipAfterNext('(')) return false;
    if (indexCount != offsets.back() || !countFitsFile(indexCount, static_cast<size_t>(m_labelBytes))) return false;
    vx::UnsetVector<int> indices;
    if (!resizeSafely(indices, static_cast<size_t>(indexCount))) return false;
    const bool indicesRead = readNextLabelListBinary(indices.data(), indices.size());
    m_itemsRead = facesCovered(offsets, m_itemsRead);
    return indicesRead && facesFromCompact(std::move(indices), faces, &m_faceTooLarge);
}

bool OFFile::readVectorField(const vx::Str& path, const vx::Str& objectName, std::vector<double>* values) {
    if (!open(path)) {
        if (!failureReported()) logError(vx::Str("Failed to open vector field file. File basename is %1").arg(path));
        return false;
    }
    if (m_readHeaderFlag) {
        if (vx::Str(headerValue("object")) != objectName) {
            logError(vx::Str("Unexpected object in vector field file. File basename is %1").arg(path));
            return false;
        }
        if (headerValue("class") != "vectorField") {
            logError(vx::Str("Unexpected class in vector field file. File basename is %1").arg(path));
            return false;
        }
    }
    if (m_bigEndian) {
        logError(vx::Str("Big-endian binary files are not supported. File basename is %1").arg(path));
        return false;
    }
    int n = 0;
    if (!readNextIntLine(&n)) {
        logError(vx::Str("Failed to read number of items in vector field file. File basename is %1").arg(path));
        return false;
    }
    if (n == 0) {
        values->clear();
        close();
        return true;
    }
    const size_t itemBytes = m_binary ? 3 * static_cast<size_t>(m_scalarBytes) : 2;
    if (n < 0 || n == INT32_MAX || !countFitsFile(n, itemBytes) || !resizeSafely(*values, 3 * static_cast<size_t>(n))) {
        logError(vx::Str("Invalid number of items in vector field file. File basename is %1").arg(path));
        return false;
    }
    if (!skipAfterNext('(') || (!m_binary && !skipEmptyLines())) {
        logShortList("vector field", 0, static_cast<size_t>(n));
        return false;
    }
    bool ok = false;
    if (m_binary) {
        ok = readNextVectorFieldBinary(values);
        if (!ok) logShortList("vector field", 0, static_cast<size_t>(n));
    } else {
        ok = readNextVectorFieldAsciiPar(values);
        if (!ok) logShortList("vector field", m_itemsRead, static_cast<size_t>(n));
    }
    close();
    return ok;
}

bool OFFile::noteCellCount(int* cellCount) const {
    const std::string note = headerValue("note");
    const size_t cells = note.find("nCells:");
    const size_t facesAt = note.find("nFaces:");
    if (cells == std::string::npos || facesAt == std::string::npos || cells > facesAt) return false;
    const char* p = note.c_str() + cells + 7;
    while (*p == ' ') ++p;
    int32_t count = 0;
    *cellCount = ofnum::parseLabel(p, note.c_str() + note.size(), &count) ? count : 0;
    return true;
}

template <typename Labels>
bool OFFile::readLabelList(const vx::Str& path, const vx::Str& objectName, Labels* labels, int* cellCount) {
    if (!open(path)) {
        if (!failureReported()) logError(vx::Str("Failed to open labels file. File basename is %1").arg(path));
        return false;
    }
    if (vx::Str(headerValue("object")) != objectName) {
        logError(vx::Str("Unexpected object in labels file. File basename is %1").arg(path));
        return false;
    }
    if (headerValue("class") != "labelList") {
        logError(vx::Str("Unexpected class in labels file. File basename is %1").arg(path));
        return false;
    }
    // OpenFOAM itself does not need the note (meshes written by converters and older versions
    // lack it): without it the cells are counted from the owners and neighbours.
    if (!noteCellCount(cellCount)) *cellCount = -1;
    if (m_bigEndian) {
        logError(vx::Str("Big-endian binary files are not supported. File basename is %1").arg(path));
        return false;
    }
    int n = 0;
    if (!readNextIntLine(&n)) {
        logError(vx::Str("Failed to read number of items in labels file. File basename is %1").arg(path));
        return false;
    }
    const size_t itemBytes = m_binary ? static_cast<size_t>(m_labelBytes) : 2;
    if (n < 0 || n == INT32_MAX || !countFitsFile(n, itemBytes) || !resizeSafely(*labels, static_cast<size_t>(n))) {
        logError(vx::Str("Invalid number of items in labels file. File basename is %1").arg(path));
        return false;
    }
    if (n > 0 && !readNextLabelList(labels->data(), labels->size())) {
        logShortList("labels", m_itemsRead, static_cast<size_t>(n));
        return false;
    }
    close();
    return true;
}

template bool OFFile::readLabelList(const vx::Str&, const vx::Str&, std::vector<int>*, int*);
template bool OFFile::readLabelList(const vx::Str&, const vx::Str&, vx::UnsetVector<int>*, int*);

bool OFFile::readFaceList(const vx::Str& path, const vx::Str& objectName, FacesData* faces) {
    if (!open(path)) {
        if (!failureReported()) logError(vx::Str("Failed to open face list file. File basename is %1").arg(path));
        return false;
    }
    bool compact = false;
    if (m_readHeaderFlag) {
        if (vx::Str(headerValue("object")) != objectName) {
            logError(vx::Str("Unexpected object in face list file. File basename is %1").arg(path));
            return false;
        }
        const std::string className = headerValue("class");
        if (className == "faceCompactList") {
            compact = true;
        } else if (className != "faceList") {
            logError(vx::Str("Unexpected class in face list file. File basename is %1").arg(path));
            return false;
        }
    }
    if (m_bigEndian) {
        logError(vx::Str("Big-endian binary files are not supported. File basename is %1").arg(path));
        return false;
    }
    int n = 0;
    if (!readNextIntLine(&n)) {
        logError(vx::Str("Failed to read number of items in face list file. File basename is %1").arg(path));
        return false;
    }
    if (n == 0) {
        faces->nodeCounts.clear();
        faces->startOffsets.clear();
        faces->nodeIndices.clear();
        close();
        return true;
    }
    const long long faceCount = compact ? static_cast<long long>(n) - 1 : n;
    const size_t itemBytes = m_binary ? static_cast<size_t>(m_labelBytes) : 2;
    faces->nodeIndices.clear();
    if (faceCount < 0 || n == INT32_MAX || !countFitsFile(n, itemBytes) ||
        !resizeSafely(faces->nodeCounts, static_cast<size_t>(faceCount)) ||
        !resizeSafely(faces->startOffsets, static_cast<size_t>(faceCount) + (compact ? 1 : 0))) {
        logError(vx::Str("Invalid number of items in face list file. File basename is %1").arg(path));
        return false;
    }
    std::fill(faces->nodeCounts.begin(), faces->nodeCounts.end(), 0);
    m_faceTooLarge = false;
    m_itemsRead = 0;
    const bool ok = compact ? readNextFaceCompactList(faces) : readNextFaceList(faces);
    if (!ok) {
        if (m_faceTooLarge)
            logError(vx::Str("Face with more than 255 nodes in face list file. File basename is %1").arg(path));
        else if (m_binary && !compact)
            logError(vx::Str("Binary faceList files are not supported. File basename is %1").arg(path));
        else
            logShortList("face list", m_itemsRead, static_cast<size_t>(faceCount));
        return false;
    }
    close();
    return true;
}
