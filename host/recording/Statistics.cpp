#include "host/recording/Statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vxphost {

std::optional<BoundingBox> boundingBox(const std::vector<double>& xyz) {
    if (xyz.size() < 3) return std::nullopt;
    BoundingBox box{{xyz[0], xyz[1], xyz[2]}, {xyz[0], xyz[1], xyz[2]}};
    for (size_t i = 0; i + 2 < xyz.size(); i += 3) {
        for (size_t axis = 0; axis < 3; ++axis) {
            box.min[axis] = std::min(box.min[axis], xyz[i + axis]);
            box.max[axis] = std::max(box.max[axis], xyz[i + axis]);
        }
    }
    return box;
}

namespace {

std::optional<std::pair<int, int>> idRange(const std::vector<int>& ids) {
    if (ids.empty()) return std::nullopt;
    const auto range = std::minmax_element(ids.begin(), ids.end());
    return std::make_pair(*range.first, *range.second);
}

std::map<int, size_t> histogram(const std::vector<int>& values) {
    std::map<int, size_t> counts;
    for (int value : values) ++counts[value];
    return counts;
}

std::map<int, size_t> typeHistogram(const std::vector<VXPElementType>& types) {
    std::map<int, size_t> counts;
    for (VXPElementType type : types) ++counts[static_cast<int>(type)];
    return counts;
}

}  // namespace

ElementGroupStatistics elementGroupStatistics(const RecordingGeometry& geometry, size_t groupIndex) {
    const RecordingElementGroup& group = geometry.elementGroup(groupIndex);
    ElementGroupStatistics stats;
    stats.index = groupIndex;
    if (const RecordingNodeGroup* nodes = geometry.nodeGroupOf(group)) {
        stats.nodes = nodes->nodeCount();
        stats.nodeIdRange = idRange(nodes->nodeIds());
        stats.bounds = boundingBox(nodes->coordinates());
    }
    stats.elements = group.elementCount();
    stats.typeCounts = typeHistogram(group.types());
    stats.connectivity = group.connectivity().size();
    stats.polyhedra = group.polyhedronNodeCounts().size();
    stats.polyFaces = group.faceNodeCounts().size();
    if (group.hasPartIds()) stats.partIdCounts = histogram(group.partIds());
    return stats;
}

bool isUndefinedTuple(const double* tuple, int components) {
    for (int c = 0; c < components; ++c) {
        if (tuple[c] == UNDEFINED_VALUE) return true;
    }
    return false;
}

ValueGroupStatistics valueGroupStatistics(const RecordingResultValueGroup& group, size_t index) {
    ValueGroupStatistics stats;
    stats.index = index;
    stats.components = group.components();
    stats.tuples = group.tuples();
    const size_t components = static_cast<size_t>(std::max(group.components(), 0));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    stats.min.assign(components, nan);
    stats.max.assign(components, nan);
    std::vector<double> sum(components, 0.0);
    size_t defined = 0;
    const std::vector<double>& values = group.values();
    for (size_t t = 0; components > 0 && (t + 1) * components <= values.size(); ++t) {
        const double* tuple = &values[t * components];
        if (isUndefinedTuple(tuple, group.components())) {
            ++stats.undefined;
            continue;
        }
        for (size_t c = 0; c < components; ++c) {
            // fmin/fmax ignore the NaN the ranges start with.
            stats.min[c] = std::fmin(stats.min[c], tuple[c]);
            stats.max[c] = std::fmax(stats.max[c], tuple[c]);
            sum[c] += tuple[c];
        }
        ++defined;
    }
    stats.mean.assign(components, nan);
    for (size_t c = 0; c < components && defined > 0; ++c) stats.mean[c] = sum[c] / static_cast<double>(defined);
    return stats;
}

}  // namespace vxphost
