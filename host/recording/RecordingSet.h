#pragma once
// Records the element sets a provider delivers.
#include <vector>

#include "vxp/VXPApi.h"

namespace vxphost {

struct SetElementsCall {
    int geometry = 0;
    int part = 0;
    std::vector<int> indices;
};

class RecordingSet final : public VXPSet {
public:
    void addElements(int geometry, int part, const int* indices, size_t count) override;

    const std::vector<SetElementsCall>& calls() const { return m_calls; }

private:
    std::vector<SetElementsCall> m_calls;
};

}  // namespace vxphost
