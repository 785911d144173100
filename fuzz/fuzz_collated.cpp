// Containers of collated runs (decomposedBlockData): the block index, then each rank's block read
// by the ordinary readers as the rank's file. The first byte picks the reader and whether the
// container is gzip-compressed; the rest is the container.
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "io/CollatedFiles.h"
#include "io/OFFile.h"
#include "io/OFResultReader.h"

namespace {

// Rank 0 reads block 0 with its own header; every other rank reads its block with block 0's
// header borrowed, all through the same code, so one of them is enough.
constexpr int RANKS = 2;

// The run folder processors2 of the fuzzing folder, registered once.
const std::string& runRoot() {
    static const std::string root = [] {
        const std::string r = fuzzsupport::folder() + "/processors2";
        collated::registerRun(r, RANKS, {{r, 0, RANKS - 1}});
        return r;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    // The container is recognised and indexed (blockdata::isContainer, indexBlocks) when the
    // first rank reads it.
    const char* relative = (mode % 4) == 3 ? "0.1/p" : (mode % 4) == 0 ? "constant/polyMesh/points"
                                                    : (mode % 4) == 1 ? "constant/polyMesh/owner"
                                                                      : "constant/polyMesh/faces";
    const std::string path = fuzzsupport::writeInput(std::string("processors2/") + relative, data + 1, size - 1);
    // A compressed twin left by an earlier input would be read in place of this one.
    if (mode & 0x80)
        fuzzsupport::writeCompressed(path, data + 1, size - 1);
    else
        fuzzsupport::removeCompressed(path);
    const collated::RequestScope scope;  // one read of the container for all ranks
    for (int rank = 0; rank < RANKS; ++rank) {
        const std::string folder = runRoot() + "/processor" + std::to_string(rank);
        OFFile file(true);
        switch (mode % 4) {
            case 0: {
                std::vector<double> points;
                file.readVectorField((folder + "/" + relative).c_str(), "points", &points);
                break;
            }
            case 1: {
                std::vector<int> owners;
                int cells = 0;
                file.readLabelList((folder + "/" + relative).c_str(), "owner", &owners, &cells);
                break;
            }
            case 2: {
                FacesData faces;
                file.readFaceList((folder + "/" + relative).c_str(), "faces", &faces);
                break;
            }
            default: {
                OFResultReader reader;
                std::vector<double> values(25, 0.0);
                reader.readValues((folder + "/0.1").c_str(), "p", "volScalarField", &values);
                break;
            }
        }
    }
    return 0;
}
