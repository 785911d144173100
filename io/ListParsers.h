#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/LargeArrays.h"

// Parsers of ascii list chunks: zero-terminated texts of whole lines, parsed in memory.
namespace oflist {

enum class ScanStop {
    ChunkEnd,      // the whole text was consumed
    ListEnd,       // a ")" stood where the next item should start
    Incomplete,    // the text ended inside an item; tail marks where that item began
    Malformed,     // something that is not an item
    TooManyNodes,  // a face of more than 255 nodes
};

struct VectorScan {
    vx::UnsetVector<double> values;  // three per vector
    size_t count = 0;                 // doubles parsed
    ScanStop stop = ScanStop::ChunkEnd;
};

struct FaceScan {
    vx::UnsetVector<uint8_t> nodeCounts;
    vx::UnsetVector<int32_t> starts;  // relative to the first index of the scan
    vx::UnsetVector<int32_t> indices;
    size_t faceCount = 0;
    size_t indexCount = 0;
    ScanStop stop = ScanStop::ChunkEnd;
    const char* tail = nullptr;  // start of an incomplete face
};

// Lines of the form "(x y z)": numbers separated by runs of blanks or tabs.
void scanVectors(const char* text, VectorScan* scan);
// Lines of the form "n(i0 i1 ...)"; a face may also spread over several lines.
void scanFaces(const char* text, FaceScan* scan);

}  // namespace oflist
