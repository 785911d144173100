// Field files with their boundaryField, read for every part and patch of a small fixed mesh.
#include "fuzz/CaseFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string root = fuzzsupport::tinyCase();
    const std::string relative = (data[0] & 1) ? "1/U" : "1/p";
    const std::string path = root + "/" + relative;
    const std::string saved = fuzzsupport::readFileText(path);
    fuzzsupport::writeInput("case/" + relative, data + 1, size - 1);
    fuzzsupport::driveCase(root);
    testsupport::writeFile(path, saved);
    return 0;
}
