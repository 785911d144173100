// The header-less files of a sampled surface: points, faces and face centres.
#include "fuzz/FuzzSupport.h"
#include "mesh/OFTriSurface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const names[] = {"points", "faces", "faceCentres"};
    const std::string name = names[data[0] % 3];
    const std::string path = fuzzsupport::writeInput("surface/" + name, data + 1, size - 1);
    const std::string folder = fuzzsupport::folder() + "/surface";
    static bool seeded = false;
    if (!seeded) {
        const char* const defaults[] = {"3\n((0 0 0) (1 0 0) (0 1 0))\n", "1\n(\n3(0 1 2)\n)\n", "1((0.3 0.3 0))\n"};
        for (int k = 0; k < 3; ++k) {
            const std::string text = defaults[k];
            if (names[k] != name)
                fuzzsupport::writeInput(std::string("surface/") + names[k], reinterpret_cast<const uint8_t*>(text.data()),
                                        text.size());
        }
        seeded = true;
    }
    OFTriSurfaceReader reader;
    OFTriSurface surface;
    if (reader.read(folder.c_str(), &surface)) {
        struct Nodes : VXPNodeGroup {
            void setNodes(const double*, size_t) override {}
            void setNodeIds(const int*, size_t) override {}
            int index() const override { return 0; }
        } nodes;
        struct Elements : VXPElementGroup {
            void setElementsOfType(VXPElementType, size_t, const int*, size_t, const int*) override {}
            void setElements(const VXPElementType*, size_t, const int*, size_t, const int*) override {}
            void setPolyhedra(const uint8_t*, const uint8_t*, size_t, const uint8_t*, size_t, const int*, size_t) override {}
            void setElementPartIds(const int*, size_t) override {}
        } elements;
        size_t nodeCount = 0, elementCount = 0;
        OFTriSurfaceToVXP(&surface).populateNodeAndElementGroup(&nodes, &elements, &nodeCount, &elementCount);
    }
    (void)path;
    return 0;
}
