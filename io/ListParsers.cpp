#include "io/ListParsers.h"

#include <algorithm>
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

// The slot vectors start at what a chunk of n characters holds as solvers write it (a point in
// sixteen characters or more, a face of four indices in sixteen or more) and grow by half when a
// denser chunk needs more. Sizing them for the densest possible text ("1(0)" faces) took
// several times the memory, all of it fresh, for every slot of every file.
template <typename T, typename A>
void ensureCapacity(std::vector<T, A>& v, size_t n) {
    if (v.size() < n) v.resize(n);
}

template <typename T, typename A>
void ensureRoom(std::vector<T, A>& v, size_t needed) {
    if (needed > v.size()) v.resize(std::max(needed, v.size() + v.size() / 2));
}

}  // namespace

void scanVectors(const char* text, VectorScan* scan) {
    const char* end = text + std::strlen(text);
    ensureCapacity(scan->values, 3 * (static_cast<size_t>(end - text) / 16 + 1));
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
        ensureRoom(scan->values, used + 3);
        scan->values[used++] = xyz[0];
        scan->values[used++] = xyz[1];
        scan->values[used++] = xyz[2];
    }
    scan->count = used;
}

void scanFaces(const char* text, FaceScan* scan) {
    const char* end = text + std::strlen(text);
    const size_t length = static_cast<size_t>(end - text);
    ensureCapacity(scan->nodeCounts, length / 16 + 1);
    ensureCapacity(scan->starts, length / 16 + 1);
    ensureCapacity(scan->indices, length / 4 + 1);
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
        ensureRoom(scan->indices, indices + static_cast<size_t>(n));
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
        ensureRoom(scan->nodeCounts, faces + 1);
        ensureRoom(scan->starts, faces + 1);
        scan->nodeCounts[faces] = static_cast<uint8_t>(n);
        scan->starts[faces] = static_cast<int32_t>(indices);
        ++faces;
        indices += static_cast<size_t>(n);
    }
    scan->faceCount = faces;
    scan->indexCount = indices;
}

}  // namespace oflist
