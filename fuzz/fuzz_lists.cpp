// Vector, label and face lists, with and without header; the first byte picks the reader and
// whether the file is gzip-compressed.
#include "fuzz/FuzzSupport.h"
#include "io/OFFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    const std::string path = fuzzsupport::writeInput("mesh", data + 1, size - 1);
    if (mode & 0x80)
        fuzzsupport::writeCompressed(path, data + 1, size - 1);
    else
        fuzzsupport::removeCompressed(path);
    OFFile file((mode & 0x40) == 0);
    switch (mode % 3) {
        case 0: {
            std::vector<double> values;
            file.readVectorField(path.c_str(), "points", &values);
            break;
        }
        case 1: {
            std::vector<int> labels;
            int cells = 0;
            file.readLabelList(path.c_str(), "owner", &labels, &cells);
            break;
        }
        default: {
            FacesData faces;
            file.readFaceList(path.c_str(), "faces", &faces);
            break;
        }
    }
    return 0;
}
