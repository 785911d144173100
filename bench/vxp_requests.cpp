// Loads the plug-in as a host does, opens one case, asks for its geometry and then for the
// named results at the first state, and prints one JSON line with the seconds of each request
// and the peak resident memory of the process. Used by bench/vs_vtk.sh.
//   vxp_requests PLUGIN CASE [RESULT_NAME ...]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/CaseSession.h"
#include "host/PluginLoader.h"
#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingInitOptions.h"
#include "host/recording/RecordingResult.h"

using namespace vxphost;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vxp_requests: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return fail("usage: vxp_requests PLUGIN CASE [RESULT_NAME ...]");
    std::string error;
    const std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(argv[1], &error);
    if (!plugin) return fail("cannot load " + std::string(argv[1]) + ": " + error);
    RecordingInitOptions options;
    CaseSession session(plugin->factory());
    const std::string problem = session.open(caseFilePath(argv[2]), options);
    if (!problem.empty()) return fail(problem);

    RecordingGeometry geometry;
    const RecordingGeometrySpec spec;
    auto start = std::chrono::steady_clock::now();
    const bool geometryOk = session.provider()->getGeometry(spec, &geometry);
    const double geometrySeconds = secondsSince(start);
    if (!geometryOk) return fail("getGeometry failed");

    const auto& states = session.metaData().states();
    if (argc > 3 && states.empty()) return fail("the case has no states");
    std::vector<std::unique_ptr<RecordingResult>> kept;  // a host keeps what it received
    std::string resultSeconds;
    for (int a = 3; a < argc; ++a) {
        const PublishedResult* published = nullptr;
        for (const PublishedResult& r : session.metaData().results())
            if (r.name == argv[a]) published = &r;
        if (!published) return fail(std::string("no result is called ") + argv[a]);
        kept.push_back(std::make_unique<RecordingResult>());
        const RecordingResultSpec resultSpec(published->id, states.front().id);
        start = std::chrono::steady_clock::now();
        const bool ok = session.provider()->getResult(resultSpec, kept.back().get());
        const double seconds = secondsSince(start);
        if (!ok) return fail(std::string("getResult failed for ") + argv[a]);
        resultSeconds += (resultSeconds.empty() ? "" : ", ") + std::to_string(seconds);
    }
    std::printf("{\"geometry\": %.6f, \"results\": [%s], \"peakKB\": %ld}\n", geometrySeconds, resultSeconds.c_str(),
                peakResidentKilobytes());
    return 0;
}
