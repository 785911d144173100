// A whole tiny case with one of its files replaced by the input (picked by the first byte).
#include "fuzz/CaseFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const files[] = {"constant/polyMesh/points",    "constant/polyMesh/faces",
                                        "constant/polyMesh/owner",     "constant/polyMesh/neighbour",
                                        "constant/polyMesh/boundary",  "constant/polyMesh/cellZones",
                                        "constant/polyMesh/faceZones", "system/controlDict",
                                        "1/uniform/time"};
    if (size < 1) return 0;
    const std::string root = fuzzsupport::tinyCase();
    const std::string relative = files[data[0] % (sizeof(files) / sizeof(files[0]))];
    const std::string path = root + "/" + relative;
    const std::string saved = fuzzsupport::readFileText(path);
    fuzzsupport::writeInput("case/" + relative, data + 1, size - 1);
    fuzzsupport::driveCase(root);
    testsupport::writeFile(path, saved);
    if (saved.empty()) std::remove(path.c_str());
    return 0;
}
