#include "host/recording/RecordingSet.h"

namespace vxphost {

void RecordingSet::addElements(int geometry, int part, const int* indices, size_t count) {
    SetElementsCall call{geometry, part, {}};
    if (indices) call.indices.assign(indices, indices + count);
    m_calls.push_back(std::move(call));
}

}  // namespace vxphost
