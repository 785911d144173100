#pragma once
// A tiny case written once per process; each input replaces one of its files and the case is
// then driven through the entry function as a host would: init, meta data, geometry, and
// every result at every state.
#include <string>

#include "fuzz/FuzzSupport.h"
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
        std::vector<PatchField> patches;
        for (const Patch& p : mesh.patches) patches.push_back({p.name, "type zeroGradient;"});
        writeFile(path + "/1/p", fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", {1, 2, 3, 4}, 1, patches, {}));
        writeFile(path + "/1/U", fieldFile("volVectorField", "U", "[0 1 -1 0 0 0 0]",
                                           {1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0}, 3, patches, {}));
        return path;
    }();
    return root;
}

inline void driveCase(const std::string& root) {
    ProviderHarness host;
    host.options().setBool("LOAD_FACE_ZONES", true);
    if (!host.open(root)) return;
    host.geometry();
    for (const auto& state : host.metaData().states())
        for (const auto& result : host.metaData().results()) {
            vxphost::RecordingResult values;
            host.result(result.id, state.id, &values);
        }
}

}  // namespace fuzzsupport
