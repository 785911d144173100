#include "model/OFPart.h"

#include <utility>

void OFPart::setConnectivities(vx::UnsetVector<int>&& connectivities) {
    m_nodeElements = NodeElements{};
    m_connectivities = std::move(connectivities);
    // A moved-from vector is only "valid but unspecified": leave the argument empty for sure.
    connectivities.clear();
    connectivities.shrink_to_fit();
}

void OFPart::setNodesCountPerElt(vx::UnsetVector<uint8_t>&& counts) {
    m_nodeElements = NodeElements{};
    m_nodesCountPerElt = std::move(counts);
    counts.clear();
    counts.shrink_to_fit();
}
