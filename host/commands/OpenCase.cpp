#include "host/commands/OpenCase.h"

#include <chrono>
#include <iostream>

#include "host/Console.h"
#include "host/JsonReport.h"
#include "host/recording/Selection.h"

namespace vxphost {

void reportFailure(const HostContext& host, const std::string& message) {
    Console::get().error(message);
    if (host.options.json) std::cout << jsonText(Json{{"ok", false}, {"error", message}}) << std::endl;
}

std::unique_ptr<CaseSession> openCaseOrReport(HostContext& host, const std::string& caseArgument) {
    auto session = std::make_unique<CaseSession>(host.plugin->factory());
    std::string failure;
    {
        ProgressTicker progress("opening " + caseArgument);
        failure = session->open(caseFilePath(caseArgument), host.initOptions);
    }
    if (failure.empty()) return session;
    reportFailure(host, failure);
    return nullptr;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

GeometryRequest requestGeometry(CaseSession& session, RecordingGeometry* geometry) {
    const RecordingGeometrySpec spec;
    ProgressTicker progress("getGeometry");
    const auto start = std::chrono::steady_clock::now();
    GeometryRequest request;
    request.ok = session.provider()->getGeometry(spec, geometry);
    request.seconds = secondsSince(start);
    return request;
}

const PublishedResult* resultReadyToRead(HostContext& host, CaseSession& session, const std::string& key) {
    const PublishedResult* published = findPublishedResult(session.metaData(), key);
    if (!published) {
        reportFailure(host, "no published result is called '" + key + "'");
        return nullptr;
    }
    RecordingGeometry geometry;
    if (!requestGeometry(session, &geometry).ok) {
        reportFailure(host, "getGeometry failed");
        return nullptr;
    }
    return published;
}

}  // namespace vxphost
