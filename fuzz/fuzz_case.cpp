// A whole tiny case with one of its files replaced by the input (picked by the first byte).
// A mesh, zone, time or surface file: the case is opened, its geometry built and the results of
// p requested, on cells and nodes (the mesh sizes every result alike). A field file: the results read from it
// are requested from the case opened once before, so that the input costs only its own reading,
// as when a solver rewrites a field while the case is shown.
#include "fuzz/CaseFuzzing.h"

namespace {

// The field a case file holds ("1/p", ".../scalarField/p" -> "p"); empty for other files.
std::string fieldOf(const std::string& relative) {
    const bool field = relative.rfind("1/", 0) == 0 || relative.find("Field/") != std::string::npos;
    return field && relative.find("uniform") == std::string::npos ? relative.substr(relative.rfind('/') + 1) : "";
}

struct OpenCase {
    ProviderHarness host;
    OpenCase() {
        host.options().setBool("LOAD_FACE_ZONES", true);
        host.open(fuzzsupport::tinyCase());
        host.geometry();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::vector<std::string>& files = fuzzsupport::tinyCaseFiles();
    const std::string& relative = files[data[0] % files.size()];
    const std::string field = fieldOf(relative);
    if (field.empty()) {
        fuzzsupport::withReplacedFile(relative, data + 1, size - 1, [] {
            fuzzsupport::driveCase(fuzzsupport::tinyCase(),
                                   [](const std::string& name) { return fuzzsupport::fromField(name, "p"); });
        });
        return 0;
    }
    static OpenCase open;
    fuzzsupport::withReplacedFile(relative, data + 1, size - 1, [&] {
        fuzzsupport::requestResults(open.host, [&](const std::string& name) { return fuzzsupport::fromField(name, field); });
    });
    return 0;
}
