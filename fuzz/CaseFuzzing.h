#pragma once
// A tiny case written once per process (a 2x2x1 hexahedral mesh with a cell zone, a face zone,
// fields of every kind at time 1 and a sampled surface) and driven through the entry function
// as a host would: init, meta data, geometry, and every result at every state.
#include <map>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "plugin/OpenFoamProvider.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/ProviderHarness.h"

namespace fuzzsupport {

inline const std::string& tinyCase() {
    static const std::string root = [] {
        using namespace testsupport;
        const std::string path = folder() + "/case";
        const Mesh mesh = hexBlockMesh(2, 2, 1);
        writeCaseSkeleton(path);
        writePolyMesh(path + "/constant/polyMesh", mesh);
        const WriteOptions ascii;
        writeFile(path + "/constant/polyMesh/cellZones",
                  foamFile("regIOobject", "cellZones",
                           "1\n(\nleft\n{\n    type cellZone;\ncellLabels      List<label> 2(0 1)\n;\n}\n)\n", ascii));
        writeFile(path + "/constant/polyMesh/faceZones",
                  foamFile("regIOobject", "faceZones",
                           "1\n(\nmiddle\n{\n    type faceZone;\nfaceLabels      List<label> 2(0 1)\n;\n"
                           "flipMap         List<bool> 2{0};\n}\n)\n",
                           ascii));
        std::vector<PatchField> patches;
        for (const Patch& p : mesh.patches) patches.push_back({p.name, "type zeroGradient;"});
        std::vector<PatchField> fixed;
        for (const Patch& p : mesh.patches) fixed.push_back({p.name, "type fixedValue; value uniform 2;"});
        writeFile(path + "/1/p", fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", {1, 2, 3, 4}, 1, fixed, {}));
        writeFile(path + "/1/U", fieldFile("volVectorField", "U", "[0 1 -1 0 0 0 0]",
                                           {1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0}, 3, patches, {}));
        std::vector<double> tensors(36), symmTensors(24), points(18);
        for (size_t i = 0; i < tensors.size(); ++i) tensors[i] = static_cast<double>(i);
        for (size_t i = 0; i < symmTensors.size(); ++i) symmTensors[i] = static_cast<double>(i);
        for (size_t i = 0; i < points.size(); ++i) points[i] = static_cast<double>(i);
        writeFile(path + "/1/T", fieldFile("volTensorField", "T", "[0 0 0 0 0 0 0]", tensors, 9, patches, {}));
        writeFile(path + "/1/S", fieldFile("volSymmTensorField", "S", "[0 0 0 0 0 0 0]", symmTensors, 6, patches, {}));
        writeFile(path + "/1/q", fieldFile("pointScalarField", "q", "[0 0 0 0 0 0 0]", points, 1, patches, {}));
        const std::string surface = path + "/postProcessing/sampleSurface/1/cut";
        writeFile(surface + "/points", "4\n(\n(0 0 0.5)\n(2 0 0.5)\n(2 2 0.5)\n(0 2 0.5)\n)\n");
        writeFile(surface + "/faces", "2\n(\n3(0 1 2)\n3(0 2 3)\n)\n");
        writeFile(surface + "/scalarField/p", "4(1 2 3 4)\n");
        writeFile(surface + "/vectorField/U", "2((1 0 0) (0 1 0))\n");
        return path;
    }();
    return root;
}

// The files of the tiny case that fuzz inputs replace.
inline const std::vector<std::string>& tinyCaseFiles() {
    static const std::vector<std::string> files = {
        "constant/polyMesh/points",    "constant/polyMesh/faces",     "constant/polyMesh/owner",
        "constant/polyMesh/neighbour", "constant/polyMesh/boundary",  "constant/polyMesh/cellZones",
        "constant/polyMesh/faceZones", "system/controlDict",          "1/uniform/time",
        "1/p",                         "1/U",                         "1/T",
        "1/S",                         "1/q",                         "postProcessing/sampleSurface/1/cut/points",
        "postProcessing/sampleSurface/1/cut/faces", "postProcessing/sampleSurface/1/cut/scalarField/p"};
    return files;
}

// Whether a result of the host comes from the field: "p", "p [node]", "T axial vector".
inline bool fromField(const std::string& result, const std::string& field) {
    return result == field || result.rfind(field + " ", 0) == 0;
}

// Every wanted result at every state.
template <typename Wanted>
void requestResults(ProviderHarness& host, Wanted wanted) {
    for (const auto& state : host.metaData().states())
        for (const auto& result : host.metaData().results()) {
            if (!wanted(result.name)) continue;
            vxphost::RecordingResult values;
            host.result(result.id, state.id, &values);
        }
}

// Opens the case, builds its geometry and requests the wanted results.
template <typename Wanted>
void driveCase(const std::string& root, Wanted wanted) {
    ProviderHarness host;
    host.options().setBool("LOAD_FACE_ZONES", true);
    if (!host.open(root)) return;
    host.geometry();
    requestResults(host, wanted);
}

// Runs action with the case file relative replaced by the input, then puts the file back.
template <typename Action>
void withReplacedFile(const std::string& relative, const uint8_t* data, size_t size, Action action) {
    const std::string path = tinyCase() + "/" + relative;
    static std::map<std::string, std::string> originals;
    auto original = originals.find(relative);
    if (original == originals.end()) original = originals.emplace(relative, readFileText(path)).first;
    writeInput("case/" + relative, data, size);
    action();
    if (original->second.empty())
        std::remove(path.c_str());
    else
        testsupport::writeFile(path, original->second);
}

}  // namespace fuzzsupport
