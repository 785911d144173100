#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/LargeArrays.h"

// A face list: per face its node count and the start of its nodes in nodeIndices.
// nodeIndices may hold spare entries behind the last face; go by counts and offsets.
struct FacesData {
    // Sized to what a file announces and then filled: left unwritten until then.
    vx::UnsetVector<uint8_t> nodeCounts;
    vx::UnsetVector<int32_t> startOffsets;
    vx::UnsetVector<int32_t> nodeIndices;

    size_t faceCount() const { return nodeCounts.size(); }
};
