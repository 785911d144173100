#pragma once
// Summaries of recorded geometry and result groups, as the host commands report them.
#include <array>
#include <cfloat>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingResult.h"

namespace vxphost {

// The value a provider sends for anything it does not know.
constexpr double UNDEFINED_VALUE = DBL_MAX;

struct BoundingBox {
    std::array<double, 3> min;
    std::array<double, 3> max;
};

struct ElementGroupStatistics {
    size_t index = 0;
    size_t nodes = 0;  // of the element group's node group
    std::optional<std::pair<int, int>> nodeIdRange;
    size_t elements = 0;
    std::map<int, size_t> typeCounts;
    size_t connectivity = 0;
    size_t polyhedra = 0;
    size_t polyFaces = 0;
    std::optional<std::map<int, size_t>> partIdCounts;  // absent when no part ids were sent
    std::optional<BoundingBox> bounds;                  // absent without nodes
};

std::optional<BoundingBox> boundingBox(const std::vector<double>& xyz);

ElementGroupStatistics elementGroupStatistics(const RecordingGeometry& geometry, size_t groupIndex);

struct ValueGroupStatistics {
    size_t index = 0;
    int components = 0;
    size_t tuples = 0;
    size_t undefined = 0;
    // Per component over the defined tuples; NaN when no tuple is defined.
    std::vector<double> min;
    std::vector<double> max;
    std::vector<double> mean;
};

// A tuple is undefined when any of its components is the undefined value.
bool isUndefinedTuple(const double* tuple, int components);

ValueGroupStatistics valueGroupStatistics(const RecordingResultValueGroup& group, size_t index);

}  // namespace vxphost
