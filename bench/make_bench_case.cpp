// Writes a generated case for timing whole-program runs:
//   make_bench_case FOLDER N ascii|binary [hex|tet|prism|pyramid|tetprism]
// An N*N*N block of hexahedra (or of each cube split into tetrahedra, prisms, pyramids or layers
// of tetrahedra and prisms) with fields p and U at time 1.
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/support/CaseWriter.h"

using namespace testsupport;

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_bench_case FOLDER N ascii|binary [hex|tet|prism|pyramid|tetprism]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const int n = std::stoi(argv[2]);
    WriteOptions options;
    options.binary = std::string(argv[3]) == "binary";
    const std::string shape = argc > 4 ? argv[4] : "hex";
    const Mesh mesh = shape == "hex" ? hexBlockMesh(n, n, n) : meshFromCells(splitBlockCells(n, n, n, shape));
    writeCaseSkeleton(folder);
    writePolyMesh(folder + "/constant/polyMesh", mesh, options);
    const size_t cells = static_cast<size_t>(mesh.cellCount);
    std::vector<double> p(cells), u(3 * cells);
    for (size_t c = 0; c < cells; ++c) {
        p[c] = std::sin(0.001 * static_cast<double>(c));
        u[3 * c] = 1.0 + 1e-6 * static_cast<double>(c);
        u[3 * c + 1] = -0.5;
        u[3 * c + 2] = std::cos(0.002 * static_cast<double>(c));
    }
    std::vector<PatchField> zeroGradient, fixedValue;
    for (const Patch& patch : mesh.patches) {
        zeroGradient.push_back({patch.name, "type zeroGradient;"});
        fixedValue.push_back({patch.name, "type fixedValue;\n        value uniform (0 0 0);"});
    }
    writeFile(folder + "/1/p", fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", p, 1, zeroGradient, options));
    writeFile(folder + "/1/U", fieldFile("volVectorField", "U", "[0 1 -1 0 0 0 0]", u, 3, fixedValue, options));
    std::printf("%s: %d cells, %zu points, %zu faces\n", folder.c_str(), mesh.cellCount, mesh.pointCount(),
                mesh.faces.size());
    return 0;
}
