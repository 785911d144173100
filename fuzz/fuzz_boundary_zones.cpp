// boundary, cellZones and faceZones files.
#include "fuzz/FuzzSupport.h"
#include "io/OFFile.h"
#include "model/OFBoundary.h"
#include "model/OFCellZone.h"
#include "model/OFFaceZone.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzsupport::writeInput("list", data, size);
    {
        OFFile file(true);
        std::vector<OFBoundary> patches;
        file.readBoundary(path.c_str(), "boundary", patches, 1);
    }
    {
        OFFile file(true);
        std::vector<OFCellZone> zones;
        file.readCellZones(path.c_str(), "cellZones", zones, 1);
    }
    {
        OFFile file(true);
        std::vector<OFFaceZone> zones;
        file.readFaceZones(path.c_str(), "faceZones", zones, 1);
    }
    return 0;
}
