#pragma once
// Generated mesh files shared by the benchmarks, written once per run into a temp folder.
#include <string>

#include "tests/support/CaseWriter.h"

namespace benchcase {

// A polyMesh folder of an n*n*n hexahedral block in the given format.
inline std::string hexPolyMesh(int n, const std::string& format) {
    static std::string base = testsupport::makeTempFolder("bench");
    const std::string folder = base + "/hex" + std::to_string(n) + "-" + format;
    static std::string lastWritten;
    testsupport::WriteOptions options;
    options.binary = format == "binary";
    options.gzip = format == "gzip";
    if (lastWritten.find("|" + folder + "|") == std::string::npos) {
        testsupport::writePolyMesh(folder, testsupport::hexBlockMesh(n, n, n), options);
        lastWritten += "|" + folder + "|";
    }
    return folder;
}

}  // namespace benchcase
