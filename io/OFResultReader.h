#pragma once
#include <optional>
#include <vector>

#include "core/Str.h"

class OFBoundary;

// Reads the values of one result file for result delivery: the internal values of a field
// (cells or points), the header-less value files of sampled surfaces, or the internal values
// together with the values on every patch of a part. Targets are presized by the caller to
// items x components (1 scalar, 3 vector, 6 tensor) and pre-filled with the undefined value.
class OFResultReader {
public:
    OFResultReader() = default;
    ~OFResultReader() = default;

    // The time of the folder read from (see OFFile::setTime).
    void setTime(std::optional<double> time) { m_time = time; }

    // folder + "/" + name, a field file with a FoamFile header of class className.
    bool readValues(const vx::Str& folder, const vx::Str& name, const vx::Str& className,
                    std::vector<double>* values);
    // folder + "/" + name, a value file without header ("N(v0 v1 ...)", "N{v}" or the list on
    // several lines).
    bool readNonHeaderValues(const vx::Str& folder, const vx::Str& name, const vx::Str& className,
                             std::vector<double>* values);
    // As readNonHeaderValues, with values sized to the item count of the file x components, so
    // that the caller can tell per-face from per-point values; a file announcing more than
    // maxValues values is not read.
    bool readNonHeaderValuesUpTo(const vx::Str& folder, const vx::Str& name, const vx::Str& className,
                                 std::vector<double>* values, size_t maxValues);
    // Internal values into cellValues and the values of patch b into boundaryValues[b] (sized to
    // faces x components for vol fields, patch nodes x components for point fields).
    bool readValuesForCellAndBoundaries(const vx::Str& folder, const vx::Str& name, const vx::Str& className,
                                        std::vector<double>* cellValues, std::vector<OFBoundary>& boundaries,
                                        std::vector<std::vector<double>>& boundaryValues);

private:
    std::optional<double> m_time;
};
