// Field files with their boundaryField, and the value files of sampled surfaces, read from one
// reused file against the patches of a small fixed mesh (4 cells, 18 points, 16 boundary faces).
// The first byte picks the class the file is read as. Result delivery with node averages on top
// of this reader is driven by the whole-case target.
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "io/OFFile.h"
#include "io/OFResultReader.h"
#include "model/OFBoundary.h"

namespace {

const char* const BOUNDARY =
    "FoamFile\n{\n    version 2.0;\n    format ascii;\n    class polyBoundaryMesh;\n    object boundary;\n}\n"
    "4\n(\n"
    "movingWall\n{\n    type wall;\n    inGroups List<word> 1(wall);\n    nFaces 2;\n    startFace 4;\n}\n"
    "fixedWalls\n{\n    type wall;\n    inGroups 1(wall);\n    nFaces 6;\n    startFace 6;\n}\n"
    "frontAndBack\n{\n    type empty;\n    nFaces 8;\n    startFace 12;\n}\n"
    "outlet\n{\n    type patch;\n    nFaces 0;\n    startFace 20;\n}\n"
    ")\n";

constexpr size_t CELLS = 4;
constexpr size_t POINTS = 18;

struct FieldClass {
    const char* name;
    size_t components;
};

const FieldClass CLASSES[] = {{"volScalarField", 1},           {"volVectorField", 3},
                              {"volSymmTensorField", 6},       {"volTensorField", 9},
                              {"volScalarField::Internal", 1}, {"volVectorField::Internal", 3},
                              {"pointScalarField", 1},         {"pointVectorField", 3}};
constexpr size_t CLASS_COUNT = sizeof(CLASSES) / sizeof(CLASSES[0]);

std::vector<OFBoundary>& patches() {
    static std::vector<OFBoundary> boundaries = [] {
        const uint8_t* text = reinterpret_cast<const uint8_t*>(BOUNDARY);
        const std::string path = fuzzsupport::writeInput("boundary", text, std::string(BOUNDARY).size());
        std::vector<OFBoundary> read;
        OFFile(true).readBoundary(path.c_str(), "boundary", read, 1);
        return read;
    }();
    return boundaries;
}

void readField(const std::string& path, const FieldClass& fieldClass) {
    const bool onPoints = std::string(fieldClass.name).rfind("point", 0) == 0;
    std::vector<double> values((onPoints ? POINTS : CELLS) * fieldClass.components, 0.0);
    std::vector<OFBoundary>& boundaries = patches();
    std::vector<std::vector<double>> patchValues(boundaries.size());
    for (size_t b = 0; b < boundaries.size(); ++b)
        patchValues[b].assign(static_cast<size_t>(boundaries[b].faceCount()) * fieldClass.components, 0.0);
    OFFile file(true);
    file.setTime(0.5);  // so that tables of hand-written patches are evaluated
    file.readValuesOfCellAndBoundaries(path.c_str(), "f", fieldClass.name, &values, boundaries, patchValues);
}

void readSurfaceValues(const std::string& folder, bool vectors) {
    std::vector<double> values;
    OFResultReader().readNonHeaderValuesUpTo(folder.c_str(), "f", vectors ? "vectorField" : "scalarField", &values,
                                             vectors ? 3 * 64 : 64);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t pick = data[0] % (CLASS_COUNT + 2);
    const std::string path = fuzzsupport::writeInput("fields/f", data + 1, size - 1);
    if (pick < CLASS_COUNT)
        readField(path, CLASSES[pick]);
    else
        readSurfaceValues(fuzzsupport::folder() + "/fields", pick == CLASS_COUNT + 1);
    return 0;
}
