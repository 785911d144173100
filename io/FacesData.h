#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A face list: per face its node count and the start of its nodes in nodeIndices.
// nodeIndices may hold spare entries behind the last face; go by counts and offsets.
struct FacesData {
    std::vector<uint8_t> nodeCounts;
    std::vector<int32_t> startOffsets;
    std::vector<int32_t> nodeIndices;

    size_t faceCount() const { return nodeCounts.size(); }
};
