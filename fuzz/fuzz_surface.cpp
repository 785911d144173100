// The header-less files of a sampled surface: points, faces and face centres. The first byte
// picks the file the input replaces; the other two hold a small valid surface.
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "mesh/OFTriSurface.h"

namespace {

struct Nodes : VXPNodeGroup {
    void setNodes(const double*, size_t) override {}
    void setNodeIds(const int*, size_t) override {}
    int index() const override { return 0; }
};

struct Elements : VXPElementGroup {
    void setElementsOfType(VXPElementType, size_t, const int*, size_t, const int*) override {}
    void setElements(const VXPElementType*, size_t, const int*, size_t, const int*) override {}
    void setPolyhedra(const uint8_t*, const uint8_t*, size_t, const uint8_t*, size_t, const int*, size_t) override {}
    void setElementPartIds(const int*, size_t) override {}
};

const char* const NAMES[] = {"points", "faces", "faceCentres"};
const char* const VALID[] = {"3\n((0 0 0) (1 0 0) (0 1 0))\n", "1\n(\n3(0 1 2)\n)\n", "1((0.3 0.3 0))\n"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t pick = data[0] % 3;
    static size_t replaced = 3;  // the file the last input replaced; 3 before the first
    for (size_t k = 0; k < 3; ++k) {
        if (k == pick || (k != replaced && replaced != 3)) continue;
        fuzzsupport::writeInput(std::string("surface/") + NAMES[k], reinterpret_cast<const uint8_t*>(VALID[k]),
                                std::strlen(VALID[k]));
    }
    fuzzsupport::writeInput(std::string("surface/") + NAMES[pick], data + 1, size - 1);
    replaced = pick;
    OFTriSurfaceReader reader;
    OFTriSurface surface;
    const std::string folder = fuzzsupport::folder() + "/surface";
    if (reader.read(folder.c_str(), &surface)) {
        Nodes nodes;
        Elements elements;
        size_t nodeCount = 0, elementCount = 0;
        OFTriSurfaceToVXP(&surface).populateNodeAndElementGroup(&nodes, &elements, &nodeCount, &elementCount);
    }
    return 0;
}
