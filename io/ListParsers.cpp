#include "io/ListParsers.h"

#include <cstring>

#include "io/NumberParsing.h"

namespace oflist {
namespace {

const char* skipBlanks(const char* p) {
    while (ofnum::isBlank(*p)) ++p;
    return p;
}

const char* skipSpaces(const char* p) {
    while (ofnum::isSpaceOrTab(*p)) ++p;
    return p;
}

template <typename T, typename A>
void appendGrowing(std::vector<T, A>& v, size_t used, T value, size_t step) {
    if (used >= v.size()) v.resize(v.size() + step);
    v[used] = value;
}

}  // namespace

// A chunk of n characters holds fewer than n / 2 + 3 numbers, n / 4 + 1 faces and n / 2 + 1
// face indices ("1(0)" is the shortest face): sizing the slot vectors to that once keeps
// them from growing in the middle of a scan, and small chunks from allocating much.
namespace {
template <typename T, typename A>
void ensureCapacity(std::vector<T, A>& v, size_t n) {
    if (v.size() < n) v.resize(n);
}
}  // namespace

void scanVectors(const char* text, VectorScan* scan) {
    const char* end = text + std::strlen(text);
    ensureCapacity(scan->values, static_cast<size_t>(end - text) / 2 + 3);
    const char* p = text;
    size_t used = 0;
    scan->stop = ScanStop::ChunkEnd;
    while (true) {
        p = skipBlanks(p);
        if (p >= end) break;
        if (*p == ')') {
            scan->stop = ScanStop::ListEnd;
            break;
        }
        if (*p != '(') {
            scan->stop = ScanStop::Malformed;
            break;
        }
        ++p;
        double xyz[3];
        bool ok = true;
        for (double& component : xyz) {
            p = skipSpaces(p);
            const char* next = ofnum::parseDouble(p, end, &component);
            if (!next) {
                ok = false;
                break;
            }
            p = next;
        }
        if (ok) {
            p = skipSpaces(p);
            ok = *p == ')';
        }
        if (!ok) {
            scan->stop = p >= end ? ScanStop::Incomplete : ScanStop::Malformed;
            break;
        }
        ++p;
        if (used + 3 > scan->values.size()) scan->values.resize(scan->values.size() + 72000);
        scan->values[used++] = xyz[0];
        scan->values[used++] = xyz[1];
        scan->values[used++] = xyz[2];
    }
    scan->count = used;
}

void scanFaces(const char* text, FaceScan* scan) {
    const char* end = text + std::strlen(text);
    const size_t length = static_cast<size_t>(end - text);
    ensureCapacity(scan->nodeCounts, length / 4 + 1);
    ensureCapacity(scan->starts, length / 4 + 1);
    ensureCapacity(scan->indices, length / 2 + 1);
    const char* p = text;
    size_t faces = 0;
    size_t indices = 0;
    scan->stop = ScanStop::ChunkEnd;
    scan->tail = nullptr;
    auto finish = [&](ScanStop stop, const char* faceStart) {
        scan->stop = stop;
        if (stop == ScanStop::Incomplete) scan->tail = faceStart;
    };
    while (true) {
        const char* faceStart = p;
        p = skipBlanks(p);
        if (p >= end) break;
        if (*p == ')') {
            finish(ScanStop::ListEnd, faceStart);
            break;
        }
        int32_t n = 0;
        const char* next = ofnum::parseLabelWide(p, end, &n);
        if (!next) {
            finish(ScanStop::Malformed, faceStart);
            break;
        }
        p = skipBlanks(next);
        if (p >= end) {
            finish(ScanStop::Incomplete, faceStart);
            break;
        }
        if (*p != '(' || n < 1) {
            finish(ScanStop::Malformed, faceStart);
            break;
        }
        if (n > 255) {
            finish(ScanStop::TooManyNodes, faceStart);
            break;
        }
        ++p;
        if (indices + static_cast<size_t>(n) > scan->indices.size()) {
            scan->indices.resize(scan->indices.size() + 640000 + static_cast<size_t>(n));
        }
        bool ok = true;
        int32_t* face = scan->indices.data() + indices;
        for (int32_t k = 0; k < n; ++k) {
            p = skipBlanks(p);
            next = ofnum::parseLabelWide(p, end, face + k);
            if (!next) {
                ok = false;
                break;
            }
            p = next;
        }
        if (ok) {
            p = skipBlanks(p);
            ok = *p == ')';
        }
        if (!ok) {
            finish(p >= end ? ScanStop::Incomplete : ScanStop::Malformed, faceStart);
            break;
        }
        ++p;
        appendGrowing(scan->nodeCounts, faces, static_cast<uint8_t>(n), 80000);
        appendGrowing(scan->starts, faces, static_cast<int32_t>(indices), 80000);
        ++faces;
        indices += static_cast<size_t>(n);
    }
    scan->faceCount = faces;
    scan->indexCount = indices;
}

}  // namespace oflist
