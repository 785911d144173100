#pragma once
#include <limits>

namespace vx {
// Sent for every value that is not available.
constexpr double UNDEFINED_DOUBLE = std::numeric_limits<double>::max();
}  // namespace vx
