// The FoamFile header and the keyword dictionary reader on a file, as controlDict and
// uniform/time are read.
#include <map>

#include "fuzz/FuzzSupport.h"
#include "io/OFFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzsupport::writeInput("controlDict", data, size);
    OFFile file(true);
    std::map<vx::Str, vx::Str> entries;
    file.readDictionary(path.c_str(), "controlDict", &entries);
    std::vector<vx::Str> tokens;
    OFFile dims(true);
    if (dims.open(path.c_str())) dims.readDimensions(&tokens);
    return 0;
}
